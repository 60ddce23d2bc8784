#pragma once

#include "player/equaliser/eqpreset.h"
#include "player/tinnitus/testsound.h"

#include <optional>
#include <vector>

namespace sonaveil::player {

// "Make my masking sound": a noise from the shipped sounds, shaped by the equaliser so that it
// is about equally audible across the bands the hearing check measured (raised where hearing
// is weaker), at the minimum masking level, with the notch on the matched pitch.
struct MaskingSound {
    struct Threshold {
        double hz = 0;
        double db = 0;
    };
    // Shipped sounds 1 and 2.
    static constexpr int kWhiteNoise = 1;
    static constexpr int kPinkNoise = 2;
    // The shipped noises and the test voice's noises both peak near full scale, so a volume
    // gives the noise about the level the masking was measured at.
    static constexpr double kSoundPeakDb = 0.0;

    int sound = kPinkNoise;
    EqualiserBands equaliser;
    // The volume slider's position (0 … 255) for the master slider at `masterPosition`.
    int volumePosition = 0;
    std::optional<double> notchHz;

    // The better ear's thresholds at each frequency both ears were measured at (either one's
    // where only one was).
    static std::vector<Threshold> betterEar(const std::vector<Threshold>& left, const std::vector<Threshold>& right);
    // The curve's level at `hz`, straight between measured points on a log-frequency scale and
    // held beyond the ends. Needs at least one point.
    static double curveAt(const std::vector<Threshold>& curve, double hz);

    // Nothing without a curve. `noise` picks the sound (a band around the pitch becomes pink).
    static std::optional<MaskingSound> make(const std::vector<Threshold>& curve, double maskingLevelDb, TestKind noise,
                                            std::optional<double> matchedHz, int masterPosition);
};

} // namespace sonaveil::player
