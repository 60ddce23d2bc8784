#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sonaveil::audio {

// A decoded sound, held as 16-bit mono (several channels are mixed down on loading). The frames
// are stored with a margin on both sides that repeats the other end of the sound, so that the
// interpolator can read its four neighbours anywhere, across the loop's wrap included.
struct Sample {
    static constexpr int kMarginBefore = 1;
    static constexpr int kMarginAfter = 4;

    int frames = 0;
    int rate = 0;
    std::vector<std::int16_t> storage; // kMarginBefore + frames + kMarginAfter values

    // Frame 0; frames -1 … frames + kMarginAfter - 1 may be read.
    const std::int16_t* data() const { return storage.data() + kMarginBefore; }
    std::size_t bytes() const { return storage.capacity() * sizeof(std::int16_t); }
};

// Builds a sample from mono frames (used by the loader and by tests).
std::unique_ptr<Sample> makeSample(std::vector<std::int16_t> monoFrames, int rate);

// Decodes a sound file of any format libsndfile recognises from its content (WAV, FLAC, Ogg
// Vorbis, Opus, MP3, AIFF …), whatever its name. Nothing for a missing, empty, truncated-to-
// nothing or non-audio file.
std::unique_ptr<Sample> loadSampleFile(const std::string& path);

} // namespace sonaveil::audio
