// Air conditioners, cabins, fan, household machines and the alarm chime.

#include "synth/recipes.h"

#include "synth/layers.h"

#include <cmath>
#include <numbers>

namespace sonaveil::synth::recipes {

namespace {


void slowDrift(Signal& x, const Loop& loop, Rng& rng, double hz, double depth)
{
    multiply(x, wobble(loop, rng, hz, depth, 0.5));
}

} // namespace

Signal airConditionerDuct(const Loop& loop, Rng& rng)
{
    Signal x = machine(loop, rng,
                       product({bandpass(60, 2500, 2), tilt(-2, 300), bump(180, 0.5, 3), bump(450, 0.6, 2)}), 0,
                       {Hum{50.0, {-20, 0, -8, -14}, 0.8, -17}});
    slowDrift(x, loop, rng, 0.05, 0.04);
    return x;
}

Signal airConditionerWindow(const Loop& loop, Rng& rng)
{
    Signal x = machine(loop, rng, product({bandpass(120, 6000, 2), tilt(-1, 1000), bump(1100, 0.8, 4)}), 0,
                       {Hum{49.5, {-6, 0, -4, -10, -12, -16}, 1.5, -12},   // compressor
                        Hum{83.0, {0, -8, -12}, 3.0, -19},                 // fan blades
                        Hum{1610.0, {0}, 6.0, -27}});                      // compressor whine
    amplitudeBeat(x, loop, 11.3, 0.05);
    slowDrift(x, loop, rng, 0.05, 0.03);
    return x;
}

Signal aircraftCabin(const Loop& loop, Rng& rng)
{
    // Two engines a fraction of a hertz apart beat slowly against each other.
    Signal x = machine(loop, rng,
                       product({bandpass(30, 9000, 2), bump(180, 1.2, 10), tilt(-4, 300), bump(2500, 1.0, 9)}), 0,
                       {Hum{112.0, {0, -10, -14}, 0.3, -14}, Hum{112.35, {0, -10, -14}, 0.3, -15},
                        Hum{1935.0, {0}, 4.0, -28}});
    slowDrift(x, loop, rng, 0.04, 0.03);
    return x;
}

Signal trainCabin(const Loop& loop, Rng& rng)
{
    const double seconds = loop.seconds();
    Signal x = machine(loop, rng, product({bandpass(35, 3000, 2), tilt(-3, 100), bump(120, 0.5, 4)}), 0,
                       {Hum{37.5, {0, -6, -10}, 0.8, -18}});
    // The car sways.
    slowDrift(x, loop, rng, 0.3, 0.1);

    // Rail joints: at each one the front bogie's two axles, then the rear bogie's.
    Rng j = rng.fork();
    const int joints = int(std::lround(seconds / 0.93));
    const double period = seconds / joints;
    Signal thumps(std::size_t(loop.frames), 0.0f);
    Signal clicks(std::size_t(loop.frames), 0.0f);
    for (int i = 0; i < joints; ++i) {
        const double joint = 0.3 + i * period + j.gauss() * 0.006;
        const double jointSize = j.logNormal(0.15);
        for (auto [offset, size] : {std::pair{0.0, 1.0}, std::pair{0.105, 0.85}, std::pair{0.70, 0.6},
                                    std::pair{0.805, 0.5}}) {
            const double at = joint + offset + j.gauss() * 0.002;
            Signal k = knock(loop.rate, j.range(65, 80), j.range(35, 50));
            Signal k2 = knock(loop.rate, j.range(140, 170), j.range(15, 25));
            for (std::size_t n = 0; n < k2.size(); ++n)
                k[n] += 0.5f * k2[n];
            addWrapped(thumps, loop.at(at), k, float(size * jointSize));
            addWrapped(clicks, loop.at(at), tick(j, loop.rate, 2.5, j.range(900, 1400), 6, 0.4),
                       float(size * jointSize));
        }
    }
    filter(clicks, loop, bandpass(400, 5000, 2));
    scaleToRms(thumps, 1.0);
    scaleToRms(clicks, 1.0);
    mixDb(x, thumps, -3);
    mixDb(x, clicks, -9);
    return x;
}

Signal fan(const Loop& loop, Rng& rng)
{
    Signal dark = machine(loop, rng, product({bandpass(50, 3000, 2), tilt(-2.5, 400), bump(400, 0.8, 3)}), 0,
                          {Hum{58.0, {0, -8, -12}, 1.0, -20}, Hum{100.0, {0}, 0.5, -26}});
    // An oscillating head: the brighter part of the air swells as it turns this way.
    Signal bright = shapedNoise(loop, rng, bandpass(1000, 6000, 2));
    amplitudeBeat(bright, loop, 0.125, 0.8);
    Signal x;
    mixDb(x, dark, 0);
    mixDb(x, bright, -8);
    return x;
}

Signal hoover(const Loop& loop, Rng& rng)
{
    // Upright with a beater bar that knocks the floor about 38 times a second.
    Signal x = machine(loop, rng, product({bandpass(150, 8000, 2), bump(900, 1.0, 6)}), 0,
                       {Hum{260.0, {0, -4, -9, -12, -15, -18}, 2.0, -14}, Hum{2100.0, {0, -10}, 5.0, -16}});
    amplitudeBeat(x, loop, 38.0, 0.15);
    return x;
}

Signal hairdryerHot(const Loop& loop, Rng& rng)
{
    Signal x = machine(loop, rng, product({bandpass(500, 8000, 2), bump(2500, 1.0, 6)}), 0,
                       {Hum{187.0, {0, -6, -10, -14}, 1.5, -18}, Hum{1310.0, {0, -8}, 4.0, -18}});
    slowDrift(x, loop, rng, 0.2, 0.02);
    return x;
}

Signal hairdryerLow(const Loop& loop, Rng& rng)
{
    Signal x = machine(loop, rng, product({bandpass(200, 5000, 2), bump(1200, 0.9, 5)}), 0,
                       {Hum{143.0, {-6, 0, -8, -12}, 1.2, -15}, Hum{100.0, {0}, 0.5, -24}});
    amplitudeBeat(x, loop, 7.0, 0.05);
    return x;
}

Signal vacuumCanister(const Loop& loop, Rng& rng)
{
    return machine(loop, rng, product({bandpass(200, 12000, 2), bump(1500, 1.0, 6)}), 0,
                   {Hum{470.0, {0, -5, -10, -14}, 3.0, -15}, Hum{3300.0, {0, -9}, 8.0, -13}});
}

Signal vacuumCentral(const Loop& loop, Rng& rng)
{
    Signal x = machine(loop, rng, product({bandpass(60, 2500, 2), bump(350, 1.0, 6)}), 0,
                       {Hum{120.0, {0, -6, -12}, 1.0, -22}, Hum{1050.0, {0}, 10.0, -20}});
    slowDrift(x, loop, rng, 0.15, 0.05);
    return x;
}

Signal vacuumHandheld(const Loop& loop, Rng& rng)
{
    return machine(loop, rng, product({bandpass(800, 12000, 2), bump(3500, 0.8, 5)}), 0,
                   {Hum{920.0, {0, -4, -9, -14}, 4.0, -10}});
}

Signal vacuumWorkshop(const Loop& loop, Rng& rng)
{
    Signal x = machine(loop, rng, product({bandpass(70, 7000, 2), bump(600, 1.2, 7)}), 0,
                       {Hum{205.0, {0, -2, -4, -6, -8, -10, -12, -14, -16, -18}, 3.0, -12}});
    amplitudeBeat(x, loop, 17.0, 0.1);
    return x;
}

Signal alarmChime(const Loop& loop, Rng& rng)
{
    // Two rising four-note phrases of a soft bell, each note decaying under the next.
    Signal x(std::size_t(loop.frames), 0.0f);
    const double notes[] = {523.25, 659.26, 783.99, 1046.50};
    const double partials[][3] = {{1.0, 1.0, 1.0}, {2.0, 0.3, 0.5}, {3.01, 0.12, 0.3}, {4.2, 0.05, 0.2}};
    const double phrase = loop.seconds() / 2;
    for (int p = 0; p < 2; ++p) {
        for (int n = 0; n < 4; ++n) {
            const double start = 0.25 + p * phrase + n * 0.28;
            const double decay = 0.55;
            Signal k(static_cast<std::size_t>(loop.rate * decay * 6));
            for (std::size_t i = 0; i < k.size(); ++i) {
                const double t = double(i) / loop.rate;
                const double attack = std::min(1.0, t / 0.006);
                double v = 0.0;
                for (const auto& q : partials)
                    v += q[1] * std::sin(2.0 * std::numbers::pi * notes[n] * q[0] * t) * std::exp(-t / (decay * q[2]));
                k[i] = float(attack * v);
            }
            addWrapped(x, loop.at(start), k, n == 3 ? 1.0f : 0.8f);
        }
    }
    (void)rng;
    return x;
}

} // namespace sonaveil::synth::recipes
