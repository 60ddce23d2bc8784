#include "synth/choruses.h"

namespace sonaveil::synth::choruses {

namespace {

InsectVoice voice(double hz, double octaves, double pulseHz, double duty, double depth, double levelDb)
{
    return {.hz = hz, .octaves = octaves, .pulseHz = pulseHz, .duty = duty, .pulseDepth = depth, .levelDb = levelDb};
}

InsectVoice calling(InsectVoice v, double callSeconds, double periodSeconds, double attack, double release,
                    double jitter, double offset = -1)
{
    v.callSeconds = callSeconds;
    v.periodSeconds = periodSeconds;
    v.attack = attack;
    v.release = release;
    v.jitter = jitter;
    v.offset = offset;
    return v;
}

} // namespace

ChorusStyle drone()
{
    std::vector<InsectVoice> v = {
        voice(4800, 0.08, 210, 0.5, 0.8, 0), voice(5100, 0.07, 190, 0.5, 0.8, -2),
        voice(5350, 0.09, 235, 0.5, 0.8, -3), voice(4950, 0.06, 180, 0.5, 0.8, -4),
        voice(5600, 0.1, 220, 0.5, 0.8, -5),
    };
    return {v, 4000, 7000, -10, 0.3, 0.25};
}

ChorusStyle swells()
{
    std::vector<InsectVoice> v = {
        calling(voice(4400, 0.1, 120, 0.35, 0.95, 0), 5.0, 8.0, 0.6, 0.15, 0.08),
        calling(voice(4650, 0.1, 128, 0.35, 0.95, -2), 4.5, 7.0, 0.6, 0.15, 0.08),
        calling(voice(4250, 0.09, 113, 0.35, 0.95, -3), 5.5, 9.0, 0.6, 0.15, 0.08),
    };
    return {v, 4000, 6000, -8, 0, 0};
}

ChorusStyle chirps()
{
    std::vector<InsectVoice> v = {
        calling(voice(6400, 0.05, 95, 0.4, 0.9, 0), 0.14, 0.36, 0.02, 0.04, 0.02),
        calling(voice(6700, 0.05, 101, 0.4, 0.9, -2), 0.12, 0.33, 0.02, 0.04, 0.02),
        calling(voice(6200, 0.05, 90, 0.4, 0.9, -3), 0.15, 0.40, 0.02, 0.04, 0.02),
        calling(voice(6900, 0.05, 105, 0.4, 0.9, -4), 0.13, 0.38, 0.02, 0.04, 0.02),
    };
    return {v, 5500, 8000, -12, 0, 0};
}

ChorusStyle ticking()
{
    std::vector<InsectVoice> v = {
        calling(voice(6000, 0.12, 28, 0.12, 1.0, 0), 1.6, 2.6, 0.2, 0.2, 0.05),
        calling(voice(6400, 0.12, 33, 0.12, 1.0, -1), 1.4, 2.3, 0.2, 0.2, 0.05),
        calling(voice(6800, 0.12, 36, 0.12, 1.0, -3), 1.8, 3.1, 0.2, 0.2, 0.05),
        calling(voice(6200, 0.12, 30, 0.12, 1.0, -4), 1.5, 2.8, 0.2, 0.2, 0.05),
    };
    return {v, 5000, 8000, -12, 0, 0};
}

ChorusStyle weeOo()
{
    const double period = 0.83;
    std::vector<InsectVoice> v = {
        calling(voice(4100, 0.07, 300, 0.5, 0.7, 0), period, period, 0.5, 0.5, 0.0, 0.0),
        calling(voice(4350, 0.07, 280, 0.5, 0.7, -1.5), period, period, 0.5, 0.5, 0.0, period / 2),
    };
    return {v, 4000, 6500, -9, 0.25, 0.15};
}

ChorusStyle shimmer()
{
    // A group calling together four times a second, each a little behind the last.
    std::vector<InsectVoice> v;
    const double hz[] = {7000, 7250, 7500, 7800, 7150};
    for (int i = 0; i < 5; ++i)
        v.push_back(calling(voice(hz[i], 0.07, 150 + 5 * i, 0.45, 0.85, -1.0 * i), 0.16, 0.25, 0.3, 0.4, 0.01,
                            0.012 * i));
    return {v, 6000, 8500, -10, 0.22, 0.2};
}

} // namespace sonaveil::synth::choruses
