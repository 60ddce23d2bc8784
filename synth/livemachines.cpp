// Air conditioners, cabins, fan and household machines, made live: machines.cpp's recipes with
// their hums, beats and sways drifting slowly at random.

#include "synth/liverecipes.h"

#include <array>
#include <optional>

namespace sonaveil::synth::live {

namespace {

// How a whole machine moves: amplitudeBeat() and slowDrift() of the file recipes.
struct Motion {
    double beatHz = 0, beatDepth = 0;
    double driftHz = 0, driftDepth = 0;
};

// A beat's rate drifts by this much (a fraction) so that its rhythm never lines up with itself.
constexpr double kBeatDrift = 0.02;

class MachineSound : public LiveSound {
public:
    MachineSound(int rate, Rng& rng, const Response& air, double airDb, const std::vector<Hum>& hums,
                 const Motion& motion)
        : LiveSound(rate, rng.next()), m_machine(rate, rng, air, airDb, hums)
    {
        if (motion.beatDepth > 0)
            m_beat.emplace(rate, rng, sineBeat(motion.beatDepth, rng.uniform() * 6.283185307), motion.beatHz,
                          kBeatDrift);
        if (motion.driftDepth > 0)
            m_drift.emplace(rate, rng, motion.driftHz, motion.driftDepth, 0.5);
    }

protected:
    void block(float* out) override
    {
        m_machine.add(out);
        if (m_beat)
            m_beat->multiply(out);
        if (m_drift) {
            m_drift->next();
            multiplyRamp(out, kBlock, m_drift->from(), m_drift->to());
        }
    }

private:
    Machine m_machine;
    std::optional<PulseTrain> m_beat;
    std::optional<Wobble> m_drift;
};

std::unique_ptr<LiveSound> machineSound(int rate, Rng& rng, const Response& air, double airDb,
                                        const std::vector<Hum>& hums, const Motion& motion = {})
{
    return std::make_unique<MachineSound>(rate, rng, air, airDb, hums, motion);
}

Motion drift(double hz, double depth)
{
    Motion m;
    m.driftHz = hz;
    m.driftDepth = depth;
    return m;
}

Motion beat(double hz, double depth)
{
    Motion m;
    m.beatHz = hz;
    m.beatDepth = depth;
    return m;
}

class FanSound : public LiveSound {
public:
    FanSound(int rate, Rng& rng)
        : LiveSound(rate, rng.next()),
          m_dark(rate, rng, product({bandpass(50, 3000, 2), tilt(-2.5, 400), bump(400, 0.8, 3)}), 0,
                {Hum{58.0, {0, -8, -12}, 1.0, -20}, Hum{100.0, {0}, 0.5, -26}}),
          m_bright(rate, bandpass(1000, 6000, 2), rng),
          // The oscillating head: its period wanders around 8 s.
          m_head(rate, rng, sineBeat(0.8, rng.uniform() * 6.283185307), 0.125, 0.04)
    {
    }

protected:
    void block(float* out) override
    {
        m_dark.add(out);
        float bright[kBlock];
        m_bright.read(bright, kBlock);
        m_head.multiply(bright);
        const float g = float(dbToGain(-8));
        addRamp(out, bright, kBlock, g, g);
    }

private:
    Machine m_dark;
    NoiseStream m_bright;
    PulseTrain m_head;
};

// A train's rail joints: at each joint the front bogie's two axles, then the rear bogie's, the
// joints' spacing following the train's slowly changing speed.
class TrainSound : public LiveSound {
public:
    TrainSound(int rate, Rng& rng)
        : LiveSound(rate, rng.next()),
          m_machine(rate, rng, product({bandpass(35, 3000, 2), tilt(-3, 100), bump(120, 0.5, 4)}), 0,
                   {Hum{37.5, {0, -6, -10}, 0.8, -18}}),
          m_sway(rate, rng, 0.3, 0.1, 0.5), m_speed(rate, rng, 0.01), m_jointRng(rng.fork()),
          m_thumps(64, rate, rng, [rate](Rng& j, const KernelBank::Shares&) {
              Signal k = quickKnock(rate, j.range(65, 80), j.range(35, 50));
              Signal k2 = quickKnock(rate, j.range(140, 170), j.range(15, 25));
              for (std::size_t n = 0; n < k2.size(); ++n)
                  k[n] += 0.5f * k2[n];
              return k;
          }),
          m_clicks(64, rate, rng, [rate](Rng& j, const KernelBank::Shares&) { return tick(j, rate, 2.5, j.range(900, 1400), 6, 0.4); },
                  bandpass(400, 5000, 2)),
          m_ring(int(1.0 * rate) + std::max(m_thumps.longest(), m_clicks.longest()))
    {
        // The file's mean square size of a hit: the four axles' sizes and the joint's spread.
        double sizeSquare = 0.0;
        for (double s : kSizes)
            sizeSquare += s * s / 4.0;
        sizeSquare *= std::exp(2.0 * 0.15 * 0.15);
        const double hitsPerSecond = 4.0 / kPeriod;
        m_thumpGain = float(dbToGain(-3) / m_thumps.layerRms(hitsPerSecond, rate, sizeSquare));
        m_clickGain = float(dbToGain(-9) / m_clicks.layerRms(hitsPerSecond, rate, sizeSquare));
        m_nextJoint = m_jointRng.range(0.1, kPeriod) * rate;
    }

protected:
    void block(float* out) override
    {
        const double end = double(m_now + kBlock);
        const double speed = 1.0 + 0.03 * m_speed.next();
        while (m_nextJoint < end) {
            const double joint = m_nextJoint + m_jointRng.gauss() * 0.006 * m_rate;
            const double jointSize = m_jointRng.logNormal(0.15);
            for (int a = 0; a < 4; ++a) {
                const double at = joint + kOffsets[a] / speed * m_rate + m_jointRng.gauss() * 0.002 * m_rate;
                const long ahead = std::max(0L, long(at) - m_now);
                const float size = float(kSizes[a] * jointSize);
                m_ring.add(m_thumps, m_thumps.choose(m_jointRng.next()), ahead, size * m_thumpGain);
                m_ring.add(m_clicks, m_clicks.choose(m_jointRng.next()), ahead, size * m_clickGain);
            }
            m_nextJoint += kPeriod / speed * m_rate;
        }
        m_machine.add(out);
        m_sway.next();
        multiplyRamp(out, kBlock, m_sway.from(), m_sway.to());
        m_ring.read(out, kBlock);
        m_now += kBlock;
    }

private:
    static constexpr double kPeriod = 0.93;
    static constexpr std::array<double, 4> kOffsets = {0.0, 0.105, 0.70, 0.805};
    static constexpr std::array<double, 4> kSizes = {1.0, 0.85, 0.6, 0.5};

    Machine m_machine;
    Wobble m_sway;
    SlowNoise m_speed;
    Rng m_jointRng;
    KernelBank m_thumps, m_clicks;
    EventRing m_ring;
    float m_thumpGain = 1.0f, m_clickGain = 1.0f;
    double m_nextJoint = 0.0;
    long m_now = 0;
};

} // namespace

std::unique_ptr<LiveSound> airConditionerDuct(int rate, Rng& rng)
{
    return machineSound(rate, rng,
                        product({bandpass(60, 2500, 2), tilt(-2, 300), bump(180, 0.5, 3), bump(450, 0.6, 2)}), 0,
                        {Hum{50.0, {-20, 0, -8, -14}, 0.8, -17}}, drift(0.05, 0.04));
}

std::unique_ptr<LiveSound> airConditionerWindow(int rate, Rng& rng)
{
    Motion m = beat(11.3, 0.05);
    m.driftHz = 0.05;
    m.driftDepth = 0.03;
    return machineSound(rate, rng, product({bandpass(120, 6000, 2), tilt(-1, 1000), bump(1100, 0.8, 4)}), 0,
                        {Hum{49.5, {-6, 0, -4, -10, -12, -16}, 1.5, -12}, Hum{83.0, {0, -8, -12}, 3.0, -19},
                         Hum{1610.0, {0}, 6.0, -27}},
                        m);
}

std::unique_ptr<LiveSound> aircraftCabin(int rate, Rng& rng)
{
    return machineSound(rate, rng,
                        product({bandpass(30, 9000, 2), bump(180, 1.2, 10), tilt(-4, 300), bump(2500, 1.0, 9)}), 0,
                        {Hum{112.0, {0, -10, -14}, 0.3, -14}, Hum{112.35, {0, -10, -14}, 0.3, -15},
                         Hum{1935.0, {0}, 4.0, -28}},
                        drift(0.04, 0.03));
}

std::unique_ptr<LiveSound> trainCabin(int rate, Rng& rng)
{
    return std::make_unique<TrainSound>(rate, rng);
}

std::unique_ptr<LiveSound> fan(int rate, Rng& rng)
{
    return std::make_unique<FanSound>(rate, rng);
}

std::unique_ptr<LiveSound> hoover(int rate, Rng& rng)
{
    return machineSound(rate, rng, product({bandpass(150, 8000, 2), bump(900, 1.0, 6)}), 0,
                        {Hum{260.0, {0, -4, -9, -12, -15, -18}, 2.0, -14}, Hum{2100.0, {0, -10}, 5.0, -16}},
                        beat(38.0, 0.15));
}

std::unique_ptr<LiveSound> hairdryerHot(int rate, Rng& rng)
{
    return machineSound(rate, rng, product({bandpass(500, 8000, 2), bump(2500, 1.0, 6)}), 0,
                        {Hum{187.0, {0, -6, -10, -14}, 1.5, -18}, Hum{1310.0, {0, -8}, 4.0, -18}},
                        drift(0.2, 0.02));
}

std::unique_ptr<LiveSound> hairdryerLow(int rate, Rng& rng)
{
    return machineSound(rate, rng, product({bandpass(200, 5000, 2), bump(1200, 0.9, 5)}), 0,
                        {Hum{143.0, {-6, 0, -8, -12}, 1.2, -15}, Hum{100.0, {0}, 0.5, -24}}, beat(7.0, 0.05));
}

std::unique_ptr<LiveSound> vacuumCanister(int rate, Rng& rng)
{
    return machineSound(rate, rng, product({bandpass(200, 12000, 2), bump(1500, 1.0, 6)}), 0,
                        {Hum{470.0, {0, -5, -10, -14}, 3.0, -15}, Hum{3300.0, {0, -9}, 8.0, -13}});
}

std::unique_ptr<LiveSound> vacuumCentral(int rate, Rng& rng)
{
    return machineSound(rate, rng, product({bandpass(60, 2500, 2), bump(350, 1.0, 6)}), 0,
                        {Hum{120.0, {0, -6, -12}, 1.0, -22}, Hum{1050.0, {0}, 10.0, -20}}, drift(0.15, 0.05));
}

std::unique_ptr<LiveSound> vacuumHandheld(int rate, Rng& rng)
{
    return machineSound(rate, rng, product({bandpass(800, 12000, 2), bump(3500, 0.8, 5)}), 0,
                        {Hum{920.0, {0, -4, -9, -14}, 4.0, -10}});
}

std::unique_ptr<LiveSound> vacuumWorkshop(int rate, Rng& rng)
{
    return machineSound(rate, rng, product({bandpass(70, 7000, 2), bump(600, 1.2, 7)}), 0,
                        {Hum{205.0, {0, -2, -4, -6, -8, -10, -12, -14, -16, -18}, 3.0, -12}},
                        beat(17.0, 0.1));
}

} // namespace sonaveil::synth::live
