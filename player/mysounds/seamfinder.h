#pragma once

#include "audio/streamsource.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace sonaveil::player {

// Chooses, once, where a sound's end joins its start when it loops: the loop ends at the frame
// whose preceding window is most like the sound's opening window (correlated and of the same
// level), and the two windows fade into each other with the power kept (audio::seamGains).
class SeamFinder {
public:
    // The fade's length and how far back from the end the loop's end may move.
    static constexpr double kFadeSeconds = 0.2;
    static constexpr double kSearchSeconds = 0.5;
    // Sounds up to this long are read whole to find the seam; of longer ones only the opening
    // window and the last seconds are read.
    static constexpr double kWholeSeconds = 120.0;

    // `head` holds the sound's first frames (at least the fade), `tail` its frames from
    // `tailStart` to the end, `frames` the sound's length. The seam keeps the loop at least three
    // fades long; a sound too short for a fade loops plainly.
    static audio::LoopSeam find(std::span<const float> head, std::span<const float> tail, std::int64_t tailStart,
                                std::int64_t frames, int rate);
    // The same for a sound held whole.
    static audio::LoopSeam find(std::span<const float> frames, int rate);
    // Reads the file (whole, or its ends) and finds its seam; the seam's end is the length the
    // file really has (an MP3's header only estimates it). Nothing when the file cannot be read.
    static std::optional<audio::LoopSeam> findInFile(const std::string& path);
};

} // namespace sonaveil::player
