#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sonaveil::audio {

// Fills `frames` frames of interleaved stereo float (-1 … 1) with the next part of the mix.
// Called on the output's own thread; it must neither block nor allocate.
using RenderFunction = std::function<void(float* interleaved, int frames)>;

struct OutputConfig {
    int mixRate = 44100;
    int bufferMilliseconds = 100;
    std::string device; // the device's name on its server; "" for the default device
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
};

// PulseAudio (and PipeWire through its PulseAudio service).
std::unique_ptr<Output> makePulseOutput();
// The server's sinks, the default sink first; empty when no server answers within `timeoutMs`.
std::vector<OutputDevice> listPulseSinks(int timeoutMs = 1500);

} // namespace sonaveil::audio
