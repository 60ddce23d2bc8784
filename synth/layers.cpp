#include "synth/layers.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sonaveil::synth {

namespace {


} // namespace

Signal tick(Rng& rng, int rate, double tauMs, double resHz, double resTauMs, double resShare)
{
    const std::size_t n = std::max(eventLength(rate, tauMs), eventLength(rate, resShare > 0 ? resTauMs : 0.0));
    Signal k(n);
    // Decays and the resonance run as recurrences: drops are made by the hundred thousand.
    const double noiseStep = std::exp(-1.0 / (tauMs * 1e-3 * rate));
    const double ringStep = std::exp(-1.0 / (resTauMs * 1e-3 * rate));
    const double w = 2.0 * std::numbers::pi * resHz / rate;
    const double cw = std::cos(w), sw = std::sin(w);
    const double phase = rng.uniform() * 2.0 * std::numbers::pi;
    double re = std::cos(phase), im = std::sin(phase);
    double noiseGain = 0.85 * (1.0 - resShare), ringGain = resShare;
    const std::size_t attack = std::max<std::size_t>(1, std::size_t(0.00015 * rate));
    for (std::size_t i = 0; i < n; ++i) {
        const double a = i < attack ? double(i + 1) / double(attack + 1) : 1.0;
        const double noise = 2.0 * rng.uniform() - 1.0;
        k[i] = float(a * (noiseGain * noise + ringGain * im));
        noiseGain *= noiseStep;
        ringGain *= ringStep;
        const double r = re * cw - im * sw;
        im = re * sw + im * cw;
        re = r;
    }
    return k;
}

Signal bubble(int rate, double hz, double tauMs, double rise)
{
    const std::size_t n = eventLength(rate, tauMs);
    Signal k(n);
    const double tau = tauMs * 1e-3;
    double phase = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = double(i) / rate;
        const double f = hz * (1.0 + rise * t / tau);
        phase += 2.0 * std::numbers::pi * f / rate;
        k[i] = float(smoothOnset(t, 0.0004) * std::sin(phase) * std::exp(-t / tau));
    }
    return k;
}

Signal knock(int rate, double hz, double tauMs)
{
    const std::size_t n = eventLength(rate, tauMs);
    Signal k(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = double(i) / rate;
        k[i] = float(smoothOnset(t, 0.001) * std::sin(2.0 * std::numbers::pi * hz * t) * std::exp(-t / (tauMs * 1e-3)));
    }
    return k;
}

Signal rain(const Loop& loop, Rng& rng, const RainStyle& s)
{
    const double seconds = loop.seconds();
    Signal out(std::size_t(loop.frames), 0.0f);

    // Drops: a Poisson stream thinned by a slow density so that they come in stretches.
    Rng dropRng = rng.fork();
    Signal density = s.patterDepth > 0 ? wobble(loop, dropRng, s.patterHz, s.patterDepth)
                                       : Signal(std::size_t(loop.frames), 1.0f);
    float maxDensity = *std::max_element(density.begin(), density.end());
    Signal drops(std::size_t(loop.frames), 0.0f);
    for (double t : poissonTimes(dropRng, s.dropsPerSecond * maxDensity, seconds)) {
        const long at = loop.at(t);
        if (dropRng.uniform() * maxDensity > density[std::size_t(at)])
            continue;
        // Capped: one drop many times louder than the rest would be heard at every repeat.
        const double size = std::min(4.0, dropRng.logNormal(s.sizeSigma));
        const double tau = dropRng.range(s.tickTauMs[0], s.tickTauMs[1]) * std::sqrt(size);
        const double res = std::exp(dropRng.range(std::log(s.resHz[0]), std::log(s.resHz[1])))
                           / std::sqrt(size);
        const double resTau = dropRng.range(s.resTauMs[0], s.resTauMs[1]);
        addWrapped(drops, at, tick(dropRng, loop.rate, tau, res, resTau, s.resShare), float(size));
    }
    if (s.dropColour)
        filter(drops, loop, s.dropColour);
    scaleToRms(drops, 1.0);
    mixDb(out, drops, s.dropsDb);

    if (s.plinksPerSecond > 0) {
        Rng plinkRng = rng.fork();
        Signal plinks(std::size_t(loop.frames), 0.0f);
        for (double t : poissonTimes(plinkRng, s.plinksPerSecond, seconds)) {
            const double hz = std::exp(plinkRng.range(std::log(s.plinkHz[0]), std::log(s.plinkHz[1])));
            const double tau = plinkRng.range(s.plinkTauMs[0], s.plinkTauMs[1]);
            const double size = std::min(3.0, plinkRng.logNormal(0.5));
            addWrapped(plinks, loop.at(t), bubble(loop.rate, hz, tau, plinkRng.range(0.1, 0.4)),
                       float(size));
        }
        scaleToRms(plinks, 1.0);
        mixDb(out, plinks, s.plinksDb);
    }

    if (s.bed) {
        Rng bedRng = rng.fork();
        mixDb(out, shapedNoise(loop, bedRng, s.bed), s.bedDb);
    }
    if (s.gustDepth > 0) {
        Rng gustRng = rng.fork();
        multiply(out, wobble(loop, gustRng, s.gustHz, s.gustDepth, 0.3));
    }
    return out;
}

Signal insect(const Loop& loop, Rng& rng, const InsectVoice& v)
{
    const double centre = v.hz;
    const double width = v.octaves;
    Signal x = shapedNoise(loop, rng, [centre, width](double f) {
        if (f <= 0.0)
            return 0.0;
        const double d = std::log2(f / centre) / width;
        return std::exp(-0.5 * d * d);
    });

    // Tymbal pulses: a raised cosine for `duty` of each cycle, a whole number of cycles per loop.
    const double pulseHz = loop.wholeCycles(v.pulseHz);
    const double pulsePhase = rng.uniform();
    for (long i = 0; i < loop.frames; ++i) {
        double ph = std::fmod(double(i) * pulseHz / loop.rate + pulsePhase, 1.0);
        double p = ph < v.duty ? 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * ph / v.duty) : 0.0;
        x[std::size_t(i)] *= float((1.0 - v.pulseDepth) + v.pulseDepth * p);
    }

    if (v.callSeconds > 0) {
        const double seconds = loop.seconds();
        const int calls = std::max(1, int(std::lround(seconds / v.periodSeconds)));
        const double period = seconds / calls;
        std::vector<double> starts(static_cast<std::size_t>(calls));
        const double offset = v.offset >= 0 ? v.offset : rng.uniform() * period;
        for (int i = 0; i < calls; ++i)
            starts[std::size_t(i)] = offset + i * period + rng.gauss() * v.jitter * period;
        std::vector<double> sizes(static_cast<std::size_t>(calls));
        for (double& s : sizes)
            s = rng.logNormal(0.15);
        const double len = v.callSeconds;
        const double attack = v.attack < 1 ? v.attack * len : v.attack;
        const double release = v.release < 1 ? v.release * len : v.release;
        Signal env = envelope(loop, [&](double t) {
            double e = 0.0;
            const int i = int(std::floor((t - offset) / period));
            for (int k = i - 2; k <= i + 1; ++k) {
                const int c = ((k % calls) + calls) % calls;
                double d = circularOffset(t, starts[std::size_t(c)], seconds);
                if (d < 0 || d > len)
                    continue;
                double a = d < attack ? 0.5 - 0.5 * std::cos(std::numbers::pi * d / attack) : 1.0;
                if (d > len - release)
                    a *= 0.5 + 0.5 * std::cos(std::numbers::pi * (d - (len - release)) / release);
                e = std::max(e, a * sizes[std::size_t(c)]);
            }
            return e;
        }, 8);
        multiply(x, env);
    }
    scaleToRms(x, dbToGain(v.levelDb));
    return x;
}

Signal hum(const Loop& loop, Rng& rng, const Hum& h)
{
    // Steady harmonics whose common pitch wanders by about widthHz: the phase moves smoothly
    // (a loop-periodic motion), so the level stays constant as a real motor's does.
    const double f0 = loop.wholeCycles(h.f0);
    Signal drift = slowNoise(loop, rng, 2.0);
    const double depth = h.widthHz / 2.0;
    std::vector<double> amps, phases;
    for (double db : h.harmonicsDb) {
        amps.push_back(dbToGain(db));
        phases.push_back(rng.uniform() * 2.0 * std::numbers::pi);
    }
    Signal x(static_cast<std::size_t>(loop.frames));
    for (long i = 0; i < loop.frames; ++i) {
        // The whole cycles are counted exactly, so the phase closes at the loop's end.
        const double cycles = std::fmod(double(i) * f0 / loop.rate, 1.0);
        const double base = 2.0 * std::numbers::pi * cycles + depth * drift[std::size_t(i)];
        double v = 0.0;
        for (std::size_t k = 0; k < amps.size(); ++k)
            v += amps[k] * std::sin(double(k + 1) * base + phases[k]);
        x[std::size_t(i)] = float(v);
    }
    scaleToRms(x, dbToGain(h.levelDb));
    return x;
}

Signal machine(const Loop& loop, Rng& rng, const Response& air, double airDb, const std::vector<Hum>& hums)
{
    Signal out = shapedNoise(loop, rng, air);
    scaleToRms(out, dbToGain(airDb));
    for (const Hum& h : hums)
        mixDb(out, hum(loop, rng, h), 0.0);
    return out;
}

void amplitudeBeat(Signal& x, const Loop& loop, double hz, double depth, double phase)
{
    const double f = loop.wholeCycles(hz);
    for (long i = 0; i < loop.frames; ++i)
        x[std::size_t(i)] *= float(1.0 + depth * std::sin(2.0 * std::numbers::pi * f * i / loop.rate + phase));
}

} // namespace sonaveil::synth
