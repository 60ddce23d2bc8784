#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sonaveil::audio {

// A decoded sound, held as 16-bit mono (several channels are mixed down on loading). The frames
// are stored with a margin on both sides that repeats the other end of the sound, so that the
// interpolator can read its four neighbours anywhere, across the loop's wrap included.
//
// A sample may be made before its frames are known (decoded later, on another thread): `rate`
// is set from the start, `frames` only once `ready` is true, which is published with release
// order after everything else. While it is decoded, `storage` is allocated once and filled from
// the front: frames 0 … available - 1 may be read once `available` says so (acquire order), so a
// voice can start before the whole file is decoded.
//
// For playing faster than one frame per output frame a sample carries band-limited versions
// (built on request, see bandlimit.h): version k has nothing above the output's Nyquist frequency
// at speeds up to speedOfVersion(k), and holds the sound at twice the frame rate, so that the
// interpolator's own images stay far out of the way.
struct Sample {
    static constexpr int kMarginBefore = 1;
    static constexpr int kMarginAfter = 4;
    // Versions for speeds up to 2^((k + 1) / 4), k = 0 … kVersions - 1: up to 8 times.
    static constexpr int kVersions = 12;
    static constexpr int kVersionUpsampling = 2;

    int frames = 0;
    int rate = 0;
    std::vector<std::int16_t> storage; // kMarginBefore + frames + kMarginAfter values
    std::atomic<bool> ready{true};
    std::atomic<int> available{0}; // frames decoded so far, while not ready
    std::array<std::atomic<const Sample*>, kVersions> versions{};
    std::array<std::unique_ptr<Sample>, kVersions> ownedVersions{};

    // Frame 0; frames -1 … frames + kMarginAfter - 1 may be read.
    const std::int16_t* data() const { return storage.data() + kMarginBefore; }
    std::size_t bytes() const { return storage.capacity() * sizeof(std::int16_t); }

    // The highest speed (frames per output frame) version k serves.
    static double speedOfVersion(int k);
    // The version a voice at `speed` frames per output frame needs; -1 up to speed 1.
    static int versionFor(double speed);
};

// Builds a sample from mono frames (used by the loader and by tests).
std::unique_ptr<Sample> makeSample(std::vector<std::int16_t> monoFrames, int rate);

// Checks that `path` is a sound file libsndfile can read, without decoding it. Returns a sample
// that is not ready yet (its rate set), or nothing for a missing, empty or non-audio file.
std::unique_ptr<Sample> openSampleFile(const std::string& path);
// Decodes `path` into `sample` (made by openSampleFile) and marks it ready; a file that can no
// longer be read leaves it ready with no frames.
void decodeInto(Sample& sample, const std::string& path);

// Decodes a sound file of any format libsndfile recognises from its content (WAV, FLAC, Ogg
// Vorbis, Opus, MP3, AIFF …), whatever its name. Nothing for a missing, empty, truncated-to-
// nothing or non-audio file.
std::unique_ptr<Sample> loadSampleFile(const std::string& path);

} // namespace sonaveil::audio
