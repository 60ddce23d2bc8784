#pragma once

#include "audio/sample.h"

#include <atomic>
#include <cstdint>

namespace sonaveil::audio {

class LiveSource;

// What the calling thread wants of one voice, read by the mixer at the start of every block.
// The caller fills in a new voice and then publishes it by storing a new generation (release);
// the mixer answers by storing that generation in `finishedGeneration` once the voice has gone
// silent, and only then may the caller reuse the slot. No lock is shared between the two.
struct VoiceSlot {
    std::atomic<std::uint32_t> generation{0};
    std::atomic<const Sample*> sample{nullptr};
    // Or a generator's frames (owned by the caller, who frees them once the voice is finished).
    std::atomic<LiveSource*> live{nullptr};
    std::atomic<bool> keyOn{false};
    std::atomic<std::int32_t> volume{255};
    std::atomic<std::int32_t> pan{128};
    std::atomic<std::int32_t> frequency{0};
    std::atomic<bool> loop{false};
    // A gain on top of the volume, for fades: from where it is, the voice moves in a straight
    // line to `fade` (0 … 1) over `fadeFrames` output frames, from the block after `fadeSerial`
    // changes (store it last, release). A new voice starts at `fade` as it stands.
    std::atomic<float> fade{1.0f};
    std::atomic<std::int32_t> fadeFrames{0};
    std::atomic<std::uint32_t> fadeSerial{0};

    std::atomic<std::uint32_t> finishedGeneration{0}; // written by the mixer
};

} // namespace sonaveil::audio
