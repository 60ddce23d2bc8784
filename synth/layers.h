#pragma once

// Sound layers shared by the recipes: short event kernels (drops, bubbles, crackles, knocks),
// rain, insect voices and machine hums, all periodic in their loop.

#include "synth/dsp.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace sonaveil::synth {

// Frames for an event that decays with the time constant `tauMs`: seven of them, at least 8.
inline std::size_t eventLength(int rate, double tauMs)
{
    return std::size_t(std::max(8.0, 7.0 * tauMs * 1e-3 * rate));
}

// From 0 to 1 over `seconds` along a smooth step (zero slope at both ends), then 1.
inline double smoothOnset(double t, double seconds)
{
    if (t >= seconds)
        return 1.0;
    const double u = t / seconds;
    return u * u * (3.0 - 2.0 * u);
}

// A rise over `rise` seconds before the moment (smooth), then an exponential fall.
inline double swellAndFall(double d, double rise, double decay)
{
    if (d < -rise)
        return 0.0;
    if (d < 0.0) {
        const double u = (d + rise) / rise;
        return u * u * (3.0 - 2.0 * u);
    }
    return std::exp(-d / decay);
}

// A noise burst decaying with `tauMs`, plus a damped resonance at `resHz` that makes up
// `resShare` of its peak. Peak about 1.
Signal tick(Rng& rng, int rate, double tauMs, double resHz, double resTauMs, double resShare);
// A bubble: a sine whose pitch rises by `rise` (a fraction) per decay time, decaying with tauMs.
Signal bubble(int rate, double hz, double tauMs, double rise);
// A damped sine with a soft 1 ms onset.
Signal knock(int rate, double hz, double tauMs);

struct RainStyle {
    double dropsPerSecond = 300;
    double tickTauMs[2] = {0.3, 1.2};
    double resHz[2] = {1500, 4000};
    double resTauMs[2] = {1.5, 4.0};
    double resShare = 0.3;
    double sizeSigma = 0.7;          // spread of drop sizes (log-normal)
    Response dropColour;             // spectrum of the drop layer
    double dropsDb = 0;
    double patterHz = 0;             // drops come in denser and sparser stretches
    double patterDepth = 0;
    double plinksPerSecond = 0;      // drops landing in water
    double plinkHz[2] = {1200, 3500};
    double plinkTauMs[2] = {6, 14};
    double plinksDb = -8;
    Response bed;                    // the steady hiss of far-away drops
    double bedDb = 0;
    double gustHz = 0.08;            // slow swelling of the whole rain
    double gustDepth = 0.15;
};
Signal rain(const Loop& loop, Rng& rng, const RainStyle& style);

struct InsectVoice {
    double hz = 5000;                // centre of the song
    double octaves = 0.08;           // width of the song's band
    double pulseHz = 200;            // tymbal pulse rate
    double duty = 0.5;               // share of each pulse that sounds
    double pulseDepth = 0.9;
    double callSeconds = 0;          // 0: one endless song
    double periodSeconds = 1;        // from one call's start to the next
    double jitter = 0.05;            // of the period
    double offset = -1;              // start of the first call in seconds; below 0: at random
    double attack = 0.1;             // seconds (share of the call when below 1)
    double release = 0.1;
    double levelDb = 0;
};
Signal insect(const Loop& loop, Rng& rng, const InsectVoice& voice);

struct Hum {
    double f0 = 100;
    std::vector<double> harmonicsDb;
    double widthHz = 2;              // how far the pitch wanders, in Hz
    double levelDb = 0;
};
// Harmonics of f0 at steady levels, the pitch wandering slowly; RMS from levelDb.
Signal hum(const Loop& loop, Rng& rng, const Hum& h);
// Broadband air with `air` spectrum plus the hums, each part scaled by its level (RMS 1 = 0 dB).
Signal machine(const Loop& loop, Rng& rng, const Response& air, double airDb,
               const std::vector<Hum>& hums);
// Multiplies by 1 + depth·sin at a whole number of cycles per loop.
void amplitudeBeat(Signal& x, const Loop& loop, double hz, double depth, double phase = 0);

} // namespace sonaveil::synth
