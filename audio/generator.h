#pragma once

#include "audio/sample.h"

namespace sonaveil::audio {

// A source that makes its sound as it plays, block after block and without end: 16-bit mono at
// rate(). The engine plays it on a voice like a sample (volume, pitch as a playback speed, pan,
// fades); it never knows what the generator makes or how.
class Generator {
public:
    virtual ~Generator() = default;
    // Frames per second of what generate() makes: a voice at this frequency plays at natural pitch.
    virtual int rate() const = 0;
    // Writes the next `frames` frames (any count up to kMaxFrames). Runs on the engine's source
    // worker, a batch of several hundred milliseconds ahead of the mix, never on the mixing
    // thread: it may block (reading and decoding a file, for instance) for as long as the batches
    // already made last, and it should cost little.
    virtual void generate(SourceFrame* out, int frames) = 0;

    static constexpr int kMaxFrames = 8192;
};

} // namespace sonaveil::audio
