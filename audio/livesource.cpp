#include "audio/livesource.h"

#include <algorithm>
#include <cstring>

namespace sonaveil::audio {

LiveSource::LiveSource(std::unique_ptr<Generator> generator)
    : m_generator(std::move(generator))
    , m_rate(m_generator ? m_generator->rate() : 0)
    , m_storage(std::size_t(kCapacity), 0)
{
}

void LiveSource::prepare(std::uint64_t& position, int reach)
{
    int frame = int(position >> 32);
    if (frame >= kSlideAt) {
        // What the kernel may still read (from kMarginBefore before the position) to the start.
        const int from = frame; // the storage index of frame - kMarginBefore
        const int keep = Sample::kMarginBefore + m_generated - from;
        std::memmove(m_storage.data(), m_storage.data() + from, sizeof(SourceFrame) * std::size_t(std::max(keep, 0)));
        m_generated -= frame;
        position -= std::uint64_t(frame) << 32;
        frame = 0;
    }
    const int want = std::min(frame + std::clamp(reach, 0, kMaxReach) + Sample::kMarginAfter + 1,
                              kCapacity - Sample::kMarginBefore);
    if (!m_generator) {
        if (want > m_generated) {
            std::fill(m_storage.begin() + Sample::kMarginBefore + m_generated,
                      m_storage.begin() + Sample::kMarginBefore + want, SourceFrame(0));
            m_generated = want;
        }
        return;
    }
    if (m_generated >= want)
        return;
    // A generator asked for one mixing block at a time would find its tables and state pushed out
    // of the cache by the other voices between calls; a longer run keeps them warm.
    const int target = std::min(want + kBatch, kCapacity - Sample::kMarginBefore);
    while (m_generated < target) {
        const int n = std::min(target - m_generated, Generator::kMaxFrames);
        m_generator->generate(m_storage.data() + Sample::kMarginBefore + m_generated, n);
        m_generated += n;
        m_total += std::uint64_t(n);
    }
}

} // namespace sonaveil::audio
