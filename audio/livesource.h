#pragma once

#include "audio/generator.h"
#include "audio/sample.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace sonaveil::audio {

// A generator's frames laid out as the resampling kernel reads a sample's: one linear array
// with the kernel's margins on both sides, so a voice reads it exactly as it reads a sample.
// Frames are made on the mixing thread, a batch at a time, just before the kernel needs them;
// the array never grows: once the read position has run far enough, what is still to be read
// (and the margin before it) moves back to the start, and the caller's position moves with it.
// After the constructor nothing allocates, locks or waits.
class LiveSource {
public:
    // Once the read position is this far in, the array slides back.
    static constexpr int kSlideAt = 4096;
    // Most frames a caller may ask to be readable beyond its position at one time.
    static constexpr int kMaxReach = 2048;
    // Frames made beyond what a call needs, so that a generator runs seldom and for long.
    static constexpr int kBatch = 1024;
    // Values held: the margin before frame 0, the run-up to a slide, the longest reach and the
    // margin after it.
    static constexpr int kCapacity = Sample::kMarginBefore + kSlideAt + kMaxReach + Sample::kMarginAfter;

    explicit LiveSource(std::unique_ptr<Generator> generator);

    int rate() const { return m_rate; }

    // Mixing thread: makes frames -kMarginBefore … floor(position) + reach + kMarginAfter of the
    // array readable (reach at most kMaxReach frames), sliding the array back first when the
    // position has run past kSlideAt. `position` is 32.32 fixed-point frames from data() and is
    // moved by as many frames as the array slid.
    void prepare(std::uint64_t& position, int reach);

    // Frame 0 of the array: frames -kMarginBefore … generated() - 1 may be read.
    const SourceFrame* data() const { return m_storage.data() + Sample::kMarginBefore; }
    // Frames made so far from data() on.
    int generated() const { return m_generated; }
    // Frames the generator has made since the start.
    std::uint64_t totalGenerated() const { return m_total; }

private:
    std::unique_ptr<Generator> m_generator;
    int m_rate = 0;
    std::vector<SourceFrame> m_storage; // kCapacity values; before frame 0 silence at first
    int m_generated = 0;
    std::uint64_t m_total = 0;
};

} // namespace sonaveil::audio
