#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/safesoundfile.h"

namespace sonaveil::audio {

// One frame of a voice's source as the resampling kernel reads it.
using SourceFrame = std::int16_t;

// A decoded sound, held as 16-bit mono (several channels are mixed down on loading). The frames
// are stored with a margin on both sides that repeats the other end of the sound, so that the
// resampling kernel can read the neighbours it needs anywhere, across the loop's wrap included.
//
// A sample may be made before its frames are known (decoded later, on another thread): `rate`
// is set from the start, `frames` only once `ready` is true, which is published with release
// order after everything else. While it is decoded, `storage` is allocated once and filled from
// the front: frames 0 … available - 1 may be read once `available` says so (acquire order), so a
// voice can start before the whole file is decoded.
struct Sample {
    // What the resampling kernel reads around a position, at its longest (its fastest speed).
    static constexpr int kMarginBefore = 127;
    static constexpr int kMarginAfter = 128;

    int frames = 0;
    int rate = 0;
    std::vector<std::int16_t> storage; // kMarginBefore + frames + kMarginAfter values
    std::atomic<bool> ready{true};
    std::atomic<int> available{0}; // frames decoded so far, while not ready

    // Frame 0; frames -kMarginBefore … frames + kMarginAfter - 1 may be read.
    const SourceFrame* data() const { return storage.data() + kMarginBefore; }
    std::size_t bytes() const { return storage.capacity() * sizeof(std::int16_t); }
};

// Fills the margins of `storage` (kMarginBefore + frames + kMarginAfter values) from the
// frames, as the loop wraps: before frame 0 the sound's end, after its end its start.
void fillMargins(std::vector<std::int16_t>& storage, int frames);

// Builds a sample from mono frames (used by the loader and by tests).
std::unique_ptr<Sample> makeSample(std::vector<std::int16_t> monoFrames, int rate);

// Checks that `path` is a sound file libsndfile can read, decoding only its first frame. Returns
// a sample that is not ready yet (its rate set), or nothing, `problem` saying why: a missing,
// empty or non-audio file, or one that is not a regular file (never waited on).
std::unique_ptr<Sample> openSampleFile(const std::string& path, SafeSoundFile::Problem* problem = nullptr);
// Decodes `path` into `sample` (made by openSampleFile) and marks it ready; a file that can no
// longer be read leaves it ready with no frames.
void decodeInto(Sample& sample, const std::string& path);

// Decodes a sound file of any format libsndfile recognises from its content (WAV, FLAC, Ogg
// Vorbis, Opus, MP3, AIFF …), whatever its name. Nothing for a missing, empty, truncated-to-
// nothing or non-audio file.
std::unique_ptr<Sample> loadSampleFile(const std::string& path);

} // namespace sonaveil::audio
