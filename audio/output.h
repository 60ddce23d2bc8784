#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sonaveil::audio {

// Fills `frames` frames of interleaved stereo float (-1 … 1) with the next part of the mix.
// Called on the output's own thread; it must neither block nor allocate.
using RenderFunction = std::function<void(float* interleaved, int frames)>;

// What an output with a deep queue needs of the mix besides its frames, to replace the part of
// the queue not played yet: the mix goes back to a point it kept and is mixed again from there.
// Called only on the output's thread, like the render function.
class RewindableMix {
public:
    virtual ~RewindableMix() = default;
    // Rewind points fall on multiples of this many frames; the output asks for whole multiples.
    virtual int rewindGranularity() const = 0;
    // Frames mixed so far (the next frame the render function makes), in the present line of
    // time: a rewind to `frame` makes this `frame`.
    virtual std::uint64_t mixedFrames() const = 0;
    // The oldest frame a rewind can go back to now.
    virtual std::uint64_t oldestRewind() const = 0;
    virtual bool rewindTo(std::uint64_t frame) = 0;
    // Frames before `frame` have been played: never rewound to.
    virtual void setRewindFloor(std::uint64_t frame) = 0;
};

struct OutputConfig {
    int mixRate = 44100;
    int bufferMilliseconds = 100;
    std::string device; // the device's name on its server; "" for the default device
    // With it, the output queues deep (about two seconds) and replaces the unplayed part of the
    // queue on mixChanged(); without it, it queues as bufferMilliseconds says.
    RewindableMix* rewindable = nullptr;
};

// What an output is doing, for tests and measurements.
struct OutputStatus {
    bool streaming = false;      // a stream is connected and playing
    bool deep = false;           // the deep queue with rewrites is in use
    bool fellBack = false;       // the server did not honour rewrites: a short queue instead
    bool realtime = false;       // the output's thread got real-time scheduling
    int queueMilliseconds = 0;   // the most the stream queues
    std::uint64_t rewrites = 0;  // times the unplayed queue was replaced
    std::uint64_t lateRewrites = 0; // of them, those the server had already played into
    std::uint64_t refills = 0;   // times the queue was topped up
    std::uint64_t lastRewriteFrame = 0; // the mix's frame the last rewrite began at
};

struct OutputDevice {
    std::string name;        // the server's name for it (a sink name)
    std::string description; // what a person reads
};

// A sound output that pulls the mix from a render function on a thread of its own.
class Output {
public:
    virtual ~Output() = default;
    // Starts pulling. Returns at once; connecting and reconnecting happen in the background.
    // False only when the output cannot work at all.
    virtual bool start(const OutputConfig& config, RenderFunction render) = 0;
    // Stops pulling; when it returns, `render` is no longer called. Never hangs on the server.
    virtual void stop() = 0;
    // Any thread, never blocks: what is to be heard has changed; an output with a deep queue
    // replaces the part of the queue that has not been played.
    virtual void mixChanged() {}
    virtual OutputStatus status() const { return {}; }
};

// PulseAudio (and PipeWire through its PulseAudio service).
std::unique_ptr<Output> makePulseOutput();
// The server's sinks, the default sink first; empty when no server answers within `timeoutMs`.
std::vector<OutputDevice> listPulseSinks(int timeoutMs = 1500);

} // namespace sonaveil::audio
