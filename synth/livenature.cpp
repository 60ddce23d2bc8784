// Noises, rain, surf, insects, aquariums and fire, made live: nature.cpp's recipes with every
// event placed and shaped at random as the sound plays.

#include "synth/liverecipes.h"

#include "synth/choruses.h"
#include "synth/rainstyles.h"

#include <algorithm>
#include <array>
#include <numbers>
#include <optional>

namespace sonaveil::synth::live {

namespace {


// One part of a sound, adding its next kBlock frames.
class Layer {
public:
    virtual ~Layer() = default;
    virtual void add(float* out) = 0;
};

// A sound made of layers, the whole optionally swelling (chorus()'s swell, rain()'s gust).
class LayeredSound : public LiveSound {
public:
    LayeredSound(int rate, Rng& rng) : LiveSound(rate, rng.next()) {}
    void push(std::unique_ptr<Layer> layer) { m_layers.push_back(std::move(layer)); }
    void swell(int rate, Rng& rng, double hz, double depth, double floor) { m_swell.emplace(rate, rng, hz, depth, floor); }

protected:
    void block(float* out) override
    {
        for (auto& l : m_layers)
            l->add(out);
        if (m_swell) {
            m_swell->next();
            multiplyRamp(out, kBlock, m_swell->from(), m_swell->to());
        }
    }

private:
    std::vector<std::unique_ptr<Layer>> m_layers;
    std::optional<Wobble> m_swell;
};

// shapedNoise() at a level, optionally times a wobble (not levelled again, as in the files).
// A layer's level, wobbling slowly when asked to.
class WobblingGain {
public:
    explicit WobblingGain(double levelDb) : m_gain(float(dbToGain(levelDb))) {}
    void wobble(int rate, Rng& rng, double hz, double depth, double floor) { m_wobble.emplace(rate, rng, hz, depth, floor); }
    // The gains at the start and the end of the next block.
    std::pair<float, float> next()
    {
        if (!m_wobble)
            return {m_gain, m_gain};
        m_wobble->next();
        return {m_gain * m_wobble->from(), m_gain * m_wobble->to()};
    }

private:
    float m_gain;
    std::optional<Wobble> m_wobble;
};

class NoiseLayer : public Layer {
public:
    NoiseLayer(int rate, Rng& rng, const Response& response, double levelDb)
        : m_noise(rate, response, rng), m_gain(levelDb)
    {
    }
    NoiseLayer& wobbling(int rate, Rng& rng, double hz, double depth, double floor = 0.05)
    {
        m_gain.wobble(rate, rng, hz, depth, floor);
        return *this;
    }
    void add(float* out) override
    {
        const auto [a, b] = m_gain.next();
        m_noise.addRamped(out, kBlock, a, b);
    }

private:
    NoiseStream m_noise;
    WobblingGain m_gain;
};

std::unique_ptr<NoiseLayer> noiseLayer(int rate, Rng& rng, const Response& response, double levelDb)
{
    return std::make_unique<NoiseLayer>(rate, rng, response, levelDb);
}

// A noise layer whose sound lies below a few kHz (the rest far below the sound's other layers),
// made in a baseband from 0 Hz up to about twice its centre.
class LowNoiseLayer : public Layer {
public:
    LowNoiseLayer(int rate, Rng& rng, const Response& response, double levelDb)
        : m_band(rate, centreFor(rate)), m_noise(m_band, response, 0.0, 1e9, rng), m_gain(levelDb)
    {
    }
    LowNoiseLayer& wobbling(int rate, Rng& rng, double hz, double depth, double floor = 0.05)
    {
        m_gain.wobble(rate, rng, hz, depth, floor);
        return *this;
    }
    void add(float* out) override
    {
        const auto [a, b] = m_gain.next();
        m_noise.addRamped(m_band, a, b);
        m_band.add(out);
    }
    // The centre at which a band reaches from 0 Hz as high as it can.
    static double centreFor(int rate) { return Baseband(rate, 1000.0).reach(); }

private:
    Baseband m_band;
    BasebandNoise m_noise;
    WobblingGain m_gain;
};

// Events from a bank at Poisson times (perSecond before any thinning), levelled to RMS 1 and then
// to levelDb; optionally thinned by a wobbling density (kept with chance density / densityMax).
class ScatterLayer : public Layer {
public:
    ScatterLayer(int rate, Rng& rng, int variants, const KernelBank::Maker& make, const Response& colour,
                 double perSecond, double levelDb, std::optional<Wobble> density = {}, double densityMax = 1.0)
        : m_bank(variants, rate, rng, make, colour), m_density(std::move(density)), m_densityMax(densityMax),
          m_events(perSecond, rate, rng), m_ring(m_bank.longest() + kBlock)
    {
        const double kept = m_density ? std::min(1.0, m_density->mean() / densityMax) : 1.0;
        m_gain = float(dbToGain(levelDb) / m_bank.layerRms(perSecond * kept, rate, kJitterSquare));
    }
    void add(float* out) override
    {
        double keep = 1.0;
        if (m_density) {
            m_density->next();
            keep = m_density->to() / m_densityMax;
        }
        Rng& r = m_events.rng();
        m_events.block(keep, [&](int at) {
            const float jitter = float(0.8 + 0.4 * r.uniform());
            m_ring.add(m_bank, m_bank.choose(r.next()), at, m_gain * jitter);
        });
        m_ring.read(out, kBlock);
    }

    // E[g²] of the jitter uniform in [0.8, 1.2].
    static constexpr double kJitterSquare = 1.0 + 0.4 * 0.4 / 12.0;

private:
    KernelBank m_bank;
    std::optional<Wobble> m_density;
    double m_densityMax;
    Poisson m_events;
    EventRing m_ring;
    float m_gain = 1.0f;
};

Signal scaled(Signal k, double g)
{
    for (float& v : k)
        v *= float(g);
    return k;
}

Signal plus(Signal a, const Signal& b, float g)
{
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        a[i] += g * b[i];
    return a;
}

// rain(): drops (in stretches when the style patters), drops into water, the bed, the gusts.
class RainLayer : public Layer {
public:
    // `dropVariants` drops in the bank: more where a band is carried by the rare biggest drops alone
    // (their resonances sink with size), so that a few variants do not leave it thin.
    RainLayer(int rate, Rng& rng, const RainStyle& s, int dropVariants = 128)
    {
        const auto drop = [rate, s](Rng& r, const KernelBank::Shares& q) {
            const double size = sizeAt(q.size, s.sizeSigma, 4.0);
            const double tau = r.range(s.tickTauMs[0], s.tickTauMs[1]) * std::sqrt(size);
            const double res = logSpread(q.pitch, s.resHz[0], s.resHz[1]) / std::sqrt(size);
            const double resTau = spread(q.length, s.resTauMs[0], s.resTauMs[1]);
            return scaled(tick(r, rate, tau, res, resTau, s.resShare), size);
        };
        std::optional<Wobble> density;
        double densityMax = 1.0;
        if (s.patterDepth > 0) {
            density.emplace(rate, rng, s.patterHz, s.patterDepth);
            densityMax = 1.0 + 2.5 * s.patterDepth;
        }
        m_parts.push_back(std::make_unique<ScatterLayer>(rate, rng, dropVariants, drop, s.dropColour,
                                                        s.dropsPerSecond * densityMax, s.dropsDb,
                                                        std::move(density), densityMax));
        if (s.plinksPerSecond > 0) {
            const auto plink = [rate, s](Rng& r, const KernelBank::Shares& q) {
                const double hz = logSpread(q.pitch, s.plinkHz[0], s.plinkHz[1]);
                const double tau = r.range(s.plinkTauMs[0], s.plinkTauMs[1]);
                const double size = sizeAt(q.size, 0.5, 3.0);
                return scaled(quickBubble(rate, hz, tau, r.range(0.1, 0.4)), size);
            };
            m_parts.push_back(std::make_unique<ScatterLayer>(rate, rng, 64, plink, Response{}, s.plinksPerSecond,
                                                            s.plinksDb));
        }
        if (s.bed)
            m_parts.push_back(noiseLayer(rate, rng, s.bed, s.bedDb));
        if (s.gustDepth > 0)
            m_gust.emplace(rate, rng, s.gustHz, s.gustDepth, 0.3);
    }
    void add(float* out) override
    {
        float x[kBlock] = {};
        for (auto& p : m_parts)
            p->add(x);
        float a = 1.0f, b = 1.0f;
        if (m_gust) {
            m_gust->next();
            a = m_gust->from();
            b = m_gust->to();
        }
        addRamp(out, x, kBlock, a, b);
    }

private:
    std::vector<std::unique_ptr<Layer>> m_parts;
    std::optional<Wobble> m_gust;
};

std::unique_ptr<LiveSound> rainSound(int rate, Rng& rng, const RainStyle& s)
{
    auto sound = std::make_unique<LayeredSound>(rate, rng);
    sound->push(std::make_unique<RainLayer>(rate, rng, s));
    return sound;
}

// Distant thunder: a group of four peals every 20 s or more (40 s on average, once per loop in
// the file), each group's peals drawn as the file draws its one group.
class ThunderLayer : public Layer {
public:
    ThunderLayer(int rate, Rng& rng, double levelDb)
        : m_rate(rate), m_rng(rng.fork()), m_rumble(rate, product({bandpass(28, 180, 2), tilt(-3, 60)}), rng),
          m_wobble(rate, rng, 6.0, 0.6, 0.1)
    {
        // The file levels the rumble after its envelope: the envelope's mean square over the
        // long run is one group's integral over the mean gap, times the wobble's.
        Rng probe = m_rng.fork();
        double integral = 0.0;
        const int groups = 64;
        for (int g = 0; g < groups; ++g) {
            Peal p[4];
            drawGroup(probe, 0.0, p);
            for (double t = -1.0; t < 12.0; t += 0.01) {
                const double e = envelopeAt(p, t);
                integral += e * e * 0.01;
            }
        }
        const double meanSquare = integral / groups / kMeanGap * m_wobble.meanSquare();
        m_gain = float(dbToGain(levelDb) / std::sqrt(meanSquare));
        m_nextGroup = m_rng.range(5.0, kMeanGap);
        drawGroup(m_rng, m_nextGroup, m_peals);
        m_nextGroup += gap();
    }
    void add(float* out) override
    {
        const double t0 = double(m_now) / m_rate, t1 = double(m_now + kBlock) / m_rate;
        m_now += kBlock;
        m_wobble.next();
        if (t0 > m_nextGroup - 1.0) {
            drawGroup(m_rng, m_nextGroup, m_peals);
            m_nextGroup += gap();
        }
        const double a = envelopeAt(m_peals, t0), b = envelopeAt(m_peals, t1);
        if (a < 1e-5 && b < 1e-5)
            return; // nothing to hear: the rumble is noise, so it need not run meanwhile
        m_rumble.addRamped(out, kBlock, float(a * m_wobble.from()) * m_gain, float(b * m_wobble.to()) * m_gain);
    }

private:
    struct Peal {
        double at, size, decay;
    };
    static constexpr double kMeanGap = 40.0;

    double gap() { return 20.0 - std::log(1.0 - m_rng.uniform()) * (kMeanGap - 20.0); }
    static void drawGroup(Rng& r, double start, Peal* p)
    {
        double t = start;
        for (int i = 0; i < 4; ++i) {
            p[i] = {t, i == 0 ? 1.0 : r.range(0.3, 0.8), r.range(0.6, 1.4)};
            t += r.range(0.9, 2.2);
        }
    }
    static double envelopeAt(const Peal* p, double t)
    {
        double e = 0.0;
        for (int i = 0; i < 4; ++i)
            e += p[i].size * swellAndFall(t - p[i].at, 0.5, p[i].decay);
        return e;
    }

    int m_rate;
    Rng m_rng;
    NoiseStream m_rumble;
    Wobble m_wobble;
    Peal m_peals[4];
    double m_nextGroup;
    long m_now = 0;
    float m_gain = 1.0f;
};

// Drips at a steady pace each, the paces drifting slowly: rainGutter()'s two drips.
class DripsLayer : public Layer {
public:
    struct Drip {
        double period, hz, gain;
    };
    DripsLayer(int rate, Rng& rng, std::vector<Drip> drips, double levelDb) : m_rate(rate), m_rng(rng.fork())
    {
        double energy = 0.0;
        int longest = 0;
        for (const Drip& d : drips) {
            Voice v{d, std::make_unique<KernelBank>(64, rate, rng, [rate, d](Rng& r, const KernelBank::Shares&) {
                        Signal k = quickBubble(rate, d.hz * r.range(0.96, 1.04), r.range(25, 35), 0.3);
                        return plus(std::move(k), tick(r, rate, 0.5, 3000, 2, 0.2), 0.4f);
                    }),
                    SlowNoise(rate, rng, 0.02), m_rng.uniform() * d.period * rate};
            energy += v.bank->meanEnergy() * d.gain * d.gain * std::exp(2.0 * 0.15 * 0.15) / d.period;
            longest = std::max(longest, v.bank->longest());
            m_voices.push_back(std::move(v));
        }
        m_gain = float(dbToGain(levelDb) / std::sqrt(energy / rate));
        m_ring.emplace(longest + int(0.1 * rate) + kBlock);
    }
    void add(float* out) override
    {
        const double end = double(m_now + kBlock);
        for (Voice& v : m_voices) {
            const double pace = 1.0 + 0.04 * v.pace.next();
            while (v.next < end) {
                const double at = v.next + m_rng.gauss() * 0.02 * v.drip.period * m_rate;
                const long ahead = std::max(0L, long(at) - m_now + long(0.05 * m_rate));
                m_ring->add(*v.bank, v.bank->choose(m_rng.next()), ahead,
                           float(v.drip.gain * m_rng.logNormal(0.15)) * m_gain);
                v.next += v.drip.period * pace * m_rate;
            }
        }
        m_ring->read(out, kBlock);
        m_now += kBlock;
    }

private:
    struct Voice {
        Drip drip;
        std::unique_ptr<KernelBank> bank;
        SlowNoise pace;
        double next;
    };
    int m_rate;
    Rng m_rng;
    std::vector<Voice> m_voices;
    std::optional<EventRing> m_ring;
    long m_now = 0;
    float m_gain = 1.0f;
};

// Bursts of events at Poisson times: gurgles of bubbles, clusters of crackles. Each burst has
// countMin + U[0, countSpan) events spaced U[gapLo, gapHi) seconds; with `singles`, a second bank
// of lone events (sap pops) at their own rate and gain, levelled together with the bursts.
class BurstLayer : public Layer {
public:
    struct Burst {
        double perSecond;
        int countMin, countSpan;
        double gapLo, gapHi;
    };
    BurstLayer(int rate, Rng& rng, std::unique_ptr<KernelBank> bank, const Burst& burst, double levelDb,
               std::unique_ptr<KernelBank> singles = {}, double singlesPerSecond = 0, double singlesGain = 1.0)
        : m_rate(rate), m_bank(std::move(bank)), m_singles(std::move(singles)), m_burst(burst),
          m_bursts(burst.perSecond, rate, rng), m_lone(singlesPerSecond, rate, rng), m_singlesGain(singlesGain)
    {
        const double eventsPerSecond = burst.perSecond * (burst.countMin + (burst.countSpan - 1) / 2.0);
        double energy = eventsPerSecond * m_bank->meanEnergy();
        int longest = m_bank->longest();
        if (m_singles) {
            energy += singlesPerSecond * m_singles->meanEnergy() * singlesGain * singlesGain;
            longest = std::max(longest, m_singles->longest());
        }
        m_gain = float(dbToGain(levelDb) / std::sqrt(energy / rate));
        m_ring.emplace(longest + int(burst.gapHi * (burst.countMin + burst.countSpan) * rate) + kBlock);
    }
    void add(float* out) override
    {
        Rng& r = m_bursts.rng();
        m_bursts.block(1.0, [&](int at) {
            const int n = m_burst.countMin + int(r.uniform() * m_burst.countSpan);
            double t = at;
            for (int i = 0; i < n; ++i) {
                m_ring->add(*m_bank, m_bank->choose(r.next()), long(t), m_gain);
                t += r.range(m_burst.gapLo, m_burst.gapHi) * m_rate;
            }
        });
        if (m_singles) {
            Rng& s = m_lone.rng();
            m_lone.block(1.0, [&](int at) {
                m_ring->add(*m_singles, m_singles->choose(s.next()), at, float(m_singlesGain) * m_gain);
            });
        }
        m_ring->read(out, kBlock);
    }

private:
    int m_rate;
    std::unique_ptr<KernelBank> m_bank, m_singles;
    Burst m_burst;
    Poisson m_bursts, m_lone;
    double m_singlesGain;
    std::optional<EventRing> m_ring;
    float m_gain = 1.0f;
};

class MachineLayer : public Layer {
public:
    MachineLayer(int rate, Rng& rng, const Response& air, double airDb, const std::vector<Hum>& hums, double levelDb)
        : m_machine(rate, rng, air, airDb, hums), m_gain(float(dbToGain(levelDb)))
    {
    }
    void add(float* out) override { m_machine.add(out, m_gain); }

private:
    Machine m_machine;
    float m_gain;
};

class NoiseSound : public LiveSound {
public:
    NoiseSound(int rate, Rng& rng, double dbPerOctave)
        : LiveSound(rate, rng.next()), m_noise(rate, product({tilt(dbPerOctave), highpass(27.0, 10)}), rng)
    {
    }

protected:
    void block(float* out) override { m_noise.read(out, kBlock); }

private:
    NoiseStream m_noise;
};

// ocean(): waves of many sizes at uneven gaps, each swelling low, breaking bright and washing out
// in foam; drawn one after another as the sea plays.
class OceanSound : public LiveSound {
public:
    OceanSound(int rate, Rng& rng)
        : LiveSound(rate, rng.next()), m_rng(rng.fork()),
          m_band(rate, LowNoiseLayer::centreFor(rate)),
          m_low(m_band, product({bandpass(40, 500, 2), tilt(-3, 100)}), 0.0, 1e9, rng),
          m_mid(m_band, bandpass(300, 2500, 2), 0.0, 1e9, rng),
          m_wash(rate, product({bandpass(1500, 12000, 2), tilt(-1, 3000)}), rng), m_washWobble(rate, rng, 30.0, 0.5, 0.1),
          m_foamBank(128, rate, rng,
                    [rate](Rng& r, const KernelBank::Shares& q) {
                        return scaled(tick(r, rate, r.range(0.1, 0.3), spread(q.pitch, 3000, 8000), 0.8, 0.3),
                                      sizeAt(q.size, 0.6, 3.0));
                    },
                    highpass(2000, 2)),
          m_foam(1500, rate, rng), m_ring(m_foamBank.longest() + kBlock)
    {
        // The foam follows the wash; the file thins it by the wash's highest point in the loop
        // and levels it afterwards: both from a long probe of the same wave process.
        Rng probe = m_rng.fork();
        std::array<Wave, kWaves> waves{};
        double next = 1.0, sum = 0.0, highest = 0.0;
        int count = 0;
        for (double t = 0.0; t < 900.0; t += 0.05, ++count) {
            while (next < t + 4.0)
                next = place(probe, waves, next);
            const double e = bandEnvelope(waves, t, 0.05, 0.1, 1.2);
            sum += e;
            highest = std::max(highest, e);
        }
        m_washMax = highest * 0.9;
        const double kept = sum / count / m_washMax;
        m_foamGain = float(dbToGain(-11) / m_foamBank.layerRms(1500 * std::min(1.0, kept), rate));
        m_next = m_rng.range(0.5, 2.0);
        while (m_next < 4.0)
            m_next = place(m_rng, m_waves, m_next);
        const double now = 0.0;
        m_lowEnv = bandEnvelope(m_waves, now, 0.2, 1.0, 1.0);
        m_midEnv = bandEnvelope(m_waves, now, 0.08, 0.45, 0.6);
        m_washEnv = bandEnvelope(m_waves, now, 0.05, 0.1, 1.2);
    }

protected:
    void block(float* out) override
    {
        m_now += kBlock;
        const double t = double(m_now) / m_rate;
        while (m_next < t + 4.0)
            m_next = place(m_rng, m_waves, m_next);
        const double low = bandEnvelope(m_waves, t, 0.2, 1.0, 1.0);
        const double mid = bandEnvelope(m_waves, t, 0.08, 0.45, 0.6);
        const double wash = bandEnvelope(m_waves, t, 0.05, 0.1, 1.2);
        m_washWobble.next();
        m_low.addRamped(m_band, float(m_lowEnv), float(low));
        // dbToGain(-3) and dbToGain(-4).
        constexpr float midDb = 0.70794578f, washDb = 0.63095734f;
        m_mid.addRamped(m_band, float(m_midEnv) * midDb, float(mid) * midDb);
        m_band.add(out);
        m_wash.addRamped(out, kBlock, float(m_washEnv * m_washWobble.from()) * washDb,
                        float(wash * m_washWobble.to()) * washDb);
        Rng& r = m_foam.rng();
        m_foam.block(wash / m_washMax, [&](int at) {
            m_ring.add(m_foamBank, m_foamBank.choose(r.next()), at, m_foamGain);
        });
        m_ring.read(out, kBlock);
        m_lowEnv = low;
        m_midEnv = mid;
        m_washEnv = wash;
    }

private:
    struct Wave {
        double at = -1e9, size = 0, rise = 1, decay = 1;
    };
    static constexpr int kWaves = 8;

    // Draws the wave at `at` into the oldest slot; returns when the next one comes.
    static double place(Rng& r, std::array<Wave, kWaves>& waves, double at)
    {
        auto oldest = std::min_element(waves.begin(), waves.end(),
                                       [](const Wave& a, const Wave& b) { return a.at < b.at; });
        const double size = r.range(0.3, 1.0);
        *oldest = {at, size * size, r.range(1.0, 2.6), r.range(1.4, 3.6)};
        return at + 4.0 + 4.0 * -std::log(1.0 - 0.95 * r.uniform());
    }
    static double bandEnvelope(const std::array<Wave, kWaves>& waves, double t, double base, double riseShare,
                               double decayShare)
    {
        double e = base;
        for (const Wave& w : waves)
            if (w.size > 0)
                e += w.size * swellAndFall(t - w.at, w.rise * riseShare, w.decay * decayShare);
        return e;
    }

    Rng m_rng;
    // The swell and the break, below a few kHz, in one baseband; the wash at the full rate.
    Baseband m_band;
    BasebandNoise m_low, m_mid;
    NoiseStream m_wash;
    Wobble m_washWobble;
    KernelBank m_foamBank;
    Poisson m_foam;
    EventRing m_ring;
    std::array<Wave, kWaves> m_waves{};
    double m_next = 0.0, m_washMax = 1.0;
    double m_lowEnv = 0, m_midEnv = 0, m_washEnv = 0;
    float m_foamGain = 1.0f;
    long m_now = 0;
};

// The start of each cycle of a group of callers: a steady period that drifts slowly by a few per
// cent, shared by the voices that call together (each adds its own offset and jitter).
class CallClock {
public:
    CallClock(int rate, Rng& rng, double periodSeconds)
        : m_period(periodSeconds * rate), m_drift(rate, rng, 0.05), m_factor(1.0)
    {
        m_starts[0] = 0.0;
    }
    // Once per block, before the voices.
    void tick() { m_factor = 1.0 + 0.04 * m_drift.next(); }
    // The start (in frames) of cycle k; cycles are counted from 0, k at most the newest + 1.
    double start(long k)
    {
        while (m_count <= k) {
            m_starts[std::size_t(m_count % kKept)] = m_starts[std::size_t((m_count - 1 + kKept) % kKept)] + m_period * m_factor;
            ++m_count;
        }
        return m_starts[std::size_t(k % kKept)];
    }
    double period() const { return m_period; }

private:
    static constexpr long kKept = 16;
    double m_period;
    SlowNoise m_drift;
    double m_factor;
    std::array<double, kKept> m_starts{};
    long m_count = 1;
};

// insect(): a narrow song band, its tymbal pulses and, for a calling voice, its calls; made in
// the chorus's baseband.
class InsectVoiceLayer {
public:
    // The reach of a song's band (the file's Gaussian 69 dB down) and of its pulses' sidebands.
    static double lowest(const InsectVoice& v) { return v.hz * std::exp2(-4.0 * v.octaves) - kPulseReach; }
    static double highest(const InsectVoice& v) { return v.hz * std::exp2(4.0 * v.octaves) + kPulseReach; }

    InsectVoiceLayer(int rate, Rng& rng, const InsectVoice& v, CallClock* clock, const Baseband& band)
        : m_rate(rate), m_voice(v), m_rng(rng.fork()),
          m_song(band,
                [centre = v.hz, width = v.octaves](double f) {
                    if (f <= 0.0)
                        return 0.0;
                    const double d = std::log2(f / centre) / width;
                    return std::exp(-0.5 * d * d);
                },
                lowest(v) + kPulseReach, highest(v) - kPulseReach, rng),
          m_pulse(rate, rng, tymbalPulse(v.duty, v.pulseDepth), v.pulseHz, 0.01), m_clock(clock)
    {
        double meanSquare = m_pulse.meanSquare();
        if (m_clock) {
            m_len = v.callSeconds;
            m_attack = v.attack < 1 ? v.attack * m_len : v.attack;
            m_release = v.release < 1 ? v.release * m_len : v.release;
            // E[env²]: one call's integral of a² times E[size²], per period.
            double integral = 0.0;
            for (int i = 0; i < 2000; ++i) {
                const double a = shape((i + 0.5) / 2000 * m_len);
                integral += a * a * m_len / 2000;
            }
            meanSquare *= integral * std::exp(2.0 * 0.15 * 0.15) / v.periodSeconds;
            m_offset = (v.offset >= 0 ? v.offset : m_rng.uniform() * v.periodSeconds) * rate;
            for (Call& c : m_calls)
                c = draw(m_next++);
            m_envelope = envelopeAt(0.0);
        }
        m_gain = float(dbToGain(v.levelDb) / std::sqrt(meanSquare));
    }
    // Adds this block's baseband frames into the band's; without `pulsed`, the song only, for
    // pulsing() at the full rate.
    void add(Baseband& band, bool pulsed = true)
    {
        float p[Baseband::kFrames];
        if (pulsed)
            m_pulse.values(p, Baseband::kDecimation);
        float a = m_gain, b = m_gain;
        if (m_clock) {
            const double t = double(m_now + kBlock);
            // Keep the two calls around now: the one sounding (or last) and the next.
            while (m_calls[1].start <= t) {
                m_calls[0] = m_calls[1];
                m_calls[1] = draw(m_next++);
            }
            const double e = envelopeAt(t);
            a *= float(m_envelope);
            b *= float(e);
            m_envelope = e;
        }
        m_song.addRamped(band, a, b, pulsed ? p : nullptr);
        m_now += kBlock;
    }
    PulseTrain& pulsing() { return m_pulse; }

private:
    static constexpr double kPulseReach = 600.0;

    struct Call {
        double start = 0, size = 0;
    };
    Call draw(long k)
    {
        const double period = m_clock->period();
        return {m_clock->start(k) + m_offset + m_rng.gauss() * m_voice.jitter * period, m_rng.logNormal(0.15)};
    }
    double shape(double d) const
    {
        if (d < 0 || d > m_len)
            return 0.0;
        double a = d < m_attack ? 0.5 - 0.5 * std::cos(std::numbers::pi * d / m_attack) : 1.0;
        if (d > m_len - m_release)
            a *= 0.5 + 0.5 * std::cos(std::numbers::pi * (d - (m_len - m_release)) / m_release);
        return a;
    }
    double envelopeAt(double frame) const
    {
        double e = 0.0;
        for (const Call& c : m_calls)
            e = std::max(e, c.size * shape((frame - c.start) / m_rate));
        return e;
    }

    int m_rate;
    InsectVoice m_voice;
    Rng m_rng;
    BasebandNoise m_song;
    PulseTrain m_pulse;
    CallClock* m_clock;
    double m_len = 0, m_attack = 0, m_release = 0, m_offset = 0;
    std::array<Call, 2> m_calls{};
    long m_next = 0;
    double m_envelope = 0.0;
    float m_gain = 1.0f;
    long m_now = 0;
};

// The songs of a chorus, made together in one baseband around their middle.
class ChorusLayer : public Layer {
public:
    // Voices with the same period call together when `together`. With `ownBands`, each voice is
    // made in a baseband of its own and pulsed at the full rate: fast deep pulses spread a song's
    // sidebands further than one baseband reaches. The band's interpolators are the cheapest that
    // reach the voices' span, unless `wholeReach`: the wide ones let through the faint far
    // sidebands of the pulses' higher harmonics, which some sounds' profiles hold.
    ChorusLayer(int rate, Rng& rng, const std::vector<InsectVoice>& voices, bool together, bool ownBands,
                bool wholeReach)
        : m_band(rate, middle(voices), wholeReach ? 0.0 : halfSpan(voices))
    {
        for (const InsectVoice& v : voices) {
            if (ownBands)
                m_bands.push_back(std::make_unique<Baseband>(
                    rate, v.hz, std::max(v.hz - InsectVoiceLayer::lowest(v), InsectVoiceLayer::highest(v) - v.hz)));
            CallClock* clock = nullptr;
            if (v.callSeconds > 0) {
                if (!together || m_clocks.empty())
                    m_clocks.push_back(std::make_unique<CallClock>(rate, rng, v.periodSeconds));
                clock = m_clocks.back().get();
            }
            Rng voiceRng = rng.fork();
            m_voices.push_back(
                std::make_unique<InsectVoiceLayer>(rate, voiceRng, v, clock, ownBands ? *m_bands.back() : m_band));
        }
    }
    void add(float* out) override
    {
        for (auto& c : m_clocks)
            c->tick();
        if (m_bands.empty()) {
            for (auto& v : m_voices)
                v->add(m_band);
            m_band.add(out);
            return;
        }
        for (std::size_t i = 0; i < m_voices.size(); ++i) {
            m_voices[i]->add(*m_bands[i], false);
            float x[kBlock] = {};
            m_bands[i]->add(x);
            m_voices[i]->pulsing().multiply(x);
            addRamp(out, x, kBlock, 1.0f, 1.0f);
        }
    }

private:
    // The middle of the voices' reaches and how far they spread on either side of it.
    static std::pair<double, double> span(const std::vector<InsectVoice>& voices)
    {
        double lo = 1e9, hi = 0.0;
        for (const InsectVoice& v : voices) {
            lo = std::min(lo, InsectVoiceLayer::lowest(v));
            hi = std::max(hi, InsectVoiceLayer::highest(v));
        }
        return {0.5 * (lo + hi), 0.5 * (hi - lo)};
    }
    static double middle(const std::vector<InsectVoice>& voices) { return span(voices).first; }
    static double halfSpan(const std::vector<InsectVoice>& voices) { return span(voices).second; }

    Baseband m_band;
    std::vector<std::unique_ptr<Baseband>> m_bands;
    std::vector<std::unique_ptr<CallClock>> m_clocks;
    std::vector<std::unique_ptr<InsectVoiceLayer>> m_voices;
};

std::unique_ptr<LiveSound> chorus(int rate, Rng& rng, const ChorusStyle& style, bool together = false,
                                  bool ownBands = false, bool wholeReach = false)
{
    auto sound = std::make_unique<LayeredSound>(rate, rng);
    sound->push(std::make_unique<ChorusLayer>(rate, rng, style.voices, together, ownBands, wholeReach));
    // Many more insects further away, one shimmering band.
    auto far = noiseLayer(rate, rng, bandpass(style.lo, style.hi, 4), style.backgroundDb);
    far->wobbling(rate, rng, 0.3, 0.3);
    sound->push(std::move(far));
    if (style.swellDepth > 0)
        sound->swell(rate, rng, style.swellHz, style.swellDepth, 0.3);
    return sound;
}

// Kernels of the recipes' events.
KernelBank::Maker knockAndTick(int rate, double lo, double hi, double tauLo, double tauHi, double tickTau,
                                         double tickHzLo, double tickHzHi, double tickResTau, double tickShare,
                                         double tickGain, double sizeSigma, double sizeCap)
{
    return [=](Rng& r, const KernelBank::Shares& q) {
        Signal k = quickKnock(rate, spread(q.pitch, lo, hi), r.range(tauLo, tauHi));
        k = plus(std::move(k), tick(r, rate, tickTau, r.range(tickHzLo, tickHzHi), tickResTau, tickShare),
                 float(tickGain));
        return scaled(std::move(k), sizeSigma > 0 ? sizeAt(q.size, sizeSigma, sizeCap) : 1.0);
    };
}

} // namespace

std::unique_ptr<LiveSound> colouredNoise(int rate, Rng& rng, double dbPerOctave)
{
    return std::make_unique<NoiseSound>(rate, rng, dbPerOctave);
}


std::unique_ptr<LiveSound> rainGarden(int rate, Rng& rng)
{
    return rainSound(rate, rng, rainstyles::garden());
}

std::unique_ptr<LiveSound> rainRoof(int rate, Rng& rng)
{
    auto sound = std::make_unique<LayeredSound>(rate, rng);
    sound->push(std::make_unique<RainLayer>(rate, rng, rainstyles::roof()));
    // Heavier drops falling from the eaves onto a sill.
    sound->push(std::make_unique<ScatterLayer>(
        rate, rng, 64, knockAndTick(rate, 280, 420, 18, 30, 0.6, 1200, 2000, 4, 0.4, 0.5, 0.3, 3.0), Response{},
        1.6, -9));
    return sound;
}

std::unique_ptr<LiveSound> rainDownpour(int rate, Rng& rng)
{
    return rainSound(rate, rng, rainstyles::downpour());
}

std::unique_ptr<LiveSound> rainThunder(int rate, Rng& rng)
{
    auto sound = std::make_unique<LayeredSound>(rate, rng);
    sound->push(std::make_unique<RainLayer>(rate, rng, rainstyles::thunder()));
    sound->push(std::make_unique<ThunderLayer>(rate, rng, -6));
    return sound;
}

std::unique_ptr<LiveSound> rainLeaves(int rate, Rng& rng)
{
    auto sound = std::make_unique<LayeredSound>(rate, rng);
    // Only drops of the largest sizes ring as low as 1.1-1.4 kHz.
    sound->push(std::make_unique<RainLayer>(rate, rng, rainstyles::leaves(), 512));
    // Big drops gathered on leaves and let go: soft low pats. The sample file's loop drew its
    // hundred pats more often from the top of their range than the range's middle, and a little
    // softer: its pats are matched here (the pitch share warped towards the top).
    const KernelBank::Maker pat = knockAndTick(rate, 500, 900, 6, 10, 0.8, 2500, 2500, 2, 0.2, 0.6, 0.4, 3.0);
    sound->push(std::make_unique<ScatterLayer>(
        rate, rng, 256,
        [pat](Rng& r, KernelBank::Shares q) {
            q.pitch = std::pow(q.pitch, 0.8);
            return pat(r, q);
        },
        Response{}, 3.0, -8.5));
    return sound;
}

std::unique_ptr<LiveSound> rainDrizzle(int rate, Rng& rng)
{
    return rainSound(rate, rng, rainstyles::drizzle());
}

std::unique_ptr<LiveSound> rainGutter(int rate, Rng& rng)
{
    auto sound = std::make_unique<LayeredSound>(rate, rng);
    sound->push(std::make_unique<RainLayer>(rate, rng, rainstyles::gutter()));
    // Two drips from a gutter into a water butt, each at its own pace.
    sound->push(std::make_unique<DripsLayer>(
        rate, rng, std::vector<DripsLayer::Drip>{{0.62, 1150.0, 1.0}, {0.91, 820.0, 0.7}}, -7));
    return sound;
}

std::unique_ptr<LiveSound> rainTinRoof(int rate, Rng& rng)
{
    return rainSound(rate, rng, rainstyles::tinRoof());
}

std::unique_ptr<LiveSound> ocean(int rate, Rng& rng)
{
    return std::make_unique<OceanSound>(rate, rng);
}

std::unique_ptr<LiveSound> cicadaDrone(int rate, Rng& rng)
{
    // Its profile reaches down to the pulses' far sidebands, 78 dB below the songs at 800 Hz.
    return chorus(rate, rng, choruses::drone(), false, false, true);
}

std::unique_ptr<LiveSound> cicadaSwells(int rate, Rng& rng)
{
    return chorus(rate, rng, choruses::swells());
}

std::unique_ptr<LiveSound> cicadaChirps(int rate, Rng& rng)
{
    return chorus(rate, rng, choruses::chirps());
}

std::unique_ptr<LiveSound> cicadaTicking(int rate, Rng& rng)
{
    return chorus(rate, rng, choruses::ticking());
}

std::unique_ptr<LiveSound> cicadaWeeOo(int rate, Rng& rng)
{
    // The two singers alternate on one clock (the second half a period behind), each in a band
    // of its own: their fast, deep pulses reach further than one band.
    return chorus(rate, rng, choruses::weeOo(), true, true);
}

std::unique_ptr<LiveSound> cicadaShimmer(int rate, Rng& rng)
{
    // A group calling together on one clock.
    return chorus(rate, rng, choruses::shimmer(), true);
}

std::unique_ptr<LiveSound> aquariumAirStone(int rate, Rng& rng)
{
    auto sound = std::make_unique<LayeredSound>(rate, rng);
    std::optional<Wobble> density;
    density.emplace(rate, rng, 3.0, 0.4);
    sound->push(std::make_unique<ScatterLayer>(
        rate, rng, 128,
        [rate](Rng& b, const KernelBank::Shares& q) {
            const double hz = 2200 * std::exp(0.35 * normalQuantile(q.pitch));
            return scaled(quickBubble(rate, hz, b.range(3, 8), b.range(0.2, 0.6)), sizeAt(q.size, 0.5, 3.0));
        },
        Response{}, 70, 0, std::move(density), 1.8));
    // The surface: water broken by the rising stream.
    auto surface = noiseLayer(rate, rng, bandpass(400, 4000, 2), -6);
    surface->wobbling(rate, rng, 15.0, 0.6, 0.1);
    sound->push(std::move(surface));
    sound->push(std::make_unique<MachineLayer>(rate, rng, bandpass(80, 1500, 2), -40,
                                               std::vector<Hum>{Hum{100.0, {0, -6, -14, -20}, 0.6, 0}}, -15));
    return sound;
}

std::unique_ptr<LiveSound> aquariumFilter(int rate, Rng& rng)
{
    auto sound = std::make_unique<LayeredSound>(rate, rng);
    // Gurgles: bursts of large bubbles where the outflow meets the surface.
    auto bubbles = std::make_unique<KernelBank>(256, rate, rng, [rate](Rng& g, const KernelBank::Shares& q) {
        const double hz = 650 * std::exp(0.35 * normalQuantile(q.pitch));
        return scaled(quickBubble(rate, hz, g.range(10, 25), g.range(0.3, 0.8)), sizeAt(q.size, 0.4, 3.0));
    });
    sound->push(std::make_unique<BurstLayer>(rate, rng, std::move(bubbles), BurstLayer::Burst{2.2, 3, 8, 0.03, 0.07}, 0));
    auto stream = noiseLayer(rate, rng, product({bandpass(200, 6000, 2), tilt(-2, 800)}), -3);
    stream->wobbling(rate, rng, 6.0, 0.35);
    sound->push(std::move(stream));
    sound->push(std::make_unique<MachineLayer>(rate, rng, bandpass(60, 800, 2), -30,
                                               std::vector<Hum>{Hum{50.0, {-4, -14, 0, -16, -6, -20, -12}, 1.2, 0}},
                                               -11));
    return sound;
}

std::unique_ptr<LiveSound> fire(int rate, Rng& rng)
{
    auto sound = std::make_unique<LayeredSound>(rate, rng);
    auto roar = std::make_unique<LowNoiseLayer>(rate, rng, product({bandpass(60, 900, 2), tilt(-2, 200)}), 0);
    roar->wobbling(rate, rng, 3.0, 0.4, 0.2);
    sound->push(std::move(roar));
    // Crackles come in clusters; a few bigger pops of sap.
    const Response colour = highpass(250, 2);
    auto crackles = std::make_unique<KernelBank>(256, rate, rng, [rate](Rng& c, const KernelBank::Shares& q) {
        return scaled(tick(c, rate, c.range(0.15, 1.2), spread(q.pitch, 2000, 6000), 0.5, 0.2), sizeAt(q.size, 0.8, 3.5));
    }, colour);
    auto pops = std::make_unique<KernelBank>(32, rate, rng,
                                             knockAndTick(rate, 300, 600, 5, 12, 1.5, 2500, 2500, 2, 0.1, 1.0, 0.3, 10.0),
                                             colour);
    // The sample file's limiter turned its loudest events down (by up to 11 dB, over 2 % of the
    // loop), taking more off the crackles above 2 kHz than the live sound's ceiling does: the
    // crackles are softer here, the pops as loud as in the file.
    sound->push(std::make_unique<BurstLayer>(rate, rng, std::move(crackles), BurstLayer::Burst{3.0, 1, 6, 0.003, 0.05},
                                             -6.5, std::move(pops), 0.35, 1.87));
    auto hiss = noiseLayer(rate, rng, bandpass(3000, 9000, 2), -16);
    hiss->wobbling(rate, rng, 1.0, 0.5, 0.1);
    sound->push(std::move(hiss));
    return sound;
}

} // namespace sonaveil::synth::live
