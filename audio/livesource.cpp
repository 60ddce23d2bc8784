#include "audio/livesource.h"

#include <algorithm>
#include <cstring>

namespace sonaveil::audio {

namespace {

constexpr std::uint64_t kUnitStep = std::uint64_t(1) << 32;

} // namespace

LiveSource::LiveSource(std::unique_ptr<Generator> generator)
    : m_generator(std::move(generator))
    , m_rate(m_generator ? m_generator->rate() : 0)
    , m_storage(std::size_t(kRingFrames + kWindow), 0)
    , m_batch(std::size_t(Generator::kMaxFrames), 0)
{
    m_ahead = std::int64_t(double(std::max(m_rate, 1)) * kAheadSeconds);
    m_lowMark = m_ahead - std::int64_t(double(std::max(m_rate, 1)) * kBatchSeconds);
    m_start = std::int64_t(double(std::max(m_rate, 1)) * kStartSeconds);
}

std::int64_t LiveSource::wanted() const
{
    const std::int64_t written = m_written.load(std::memory_order_relaxed);
    const std::int64_t read = m_read.load(std::memory_order_acquire);
    const std::int64_t retain = m_retainFrom.load(std::memory_order_acquire);
    // A voice played faster reads further ahead in the same time.
    const std::uint64_t step = std::max(m_step.load(std::memory_order_relaxed), kUnitStep);
    const std::int64_t ahead = std::int64_t((std::uint64_t(m_ahead) * (step >> 16)) >> 16);
    const std::int64_t until = std::min(read + ahead, retain + kRingFrames);
    return std::max<std::int64_t>(until - written, 0);
}

int LiveSource::fill(int maxFrames)
{
    const int n = int(std::min<std::int64_t>({wanted(), maxFrames, Generator::kMaxFrames}));
    if (n <= 0)
        return 0;
    makeFrames(n);
    return n;
}

void LiveSource::makeFrames(int n)
{
    const std::int64_t written = m_written.load(std::memory_order_relaxed);
    if (m_generator)
        m_generator->generate(m_batch.data(), n);
    else
        std::fill_n(m_batch.begin(), n, SourceFrame(0));
    // Into the ring, wrapping at its end, and the ring's first kWindow slots again after it.
    int done = 0;
    while (done < n) {
        const int at = int((written + done) & (kRingFrames - 1));
        const int run = std::min(n - done, kRingFrames - at);
        std::memcpy(m_storage.data() + at, m_batch.data() + done, sizeof(SourceFrame) * std::size_t(run));
        if (at < kWindow) {
            const int mirrored = std::min(run, kWindow - at);
            std::memcpy(m_storage.data() + kRingFrames + at, m_batch.data() + done,
                        sizeof(SourceFrame) * std::size_t(mirrored));
        }
        done += run;
    }
    m_written.store(written + n, std::memory_order_release);
}

void LiveSource::fillTo(std::int64_t frame)
{
    while (m_written.load(std::memory_order_relaxed) < frame) {
        const std::int64_t room = m_retainFrom.load(std::memory_order_relaxed) + kRingFrames
            - m_written.load(std::memory_order_relaxed);
        const int n = int(std::min<std::int64_t>({frame - m_written.load(std::memory_order_relaxed), room,
                                                  Generator::kMaxFrames}));
        if (n <= 0)
            return;
        makeFrames(n);
    }
}

bool LiveSource::setReadPosition(std::int64_t frame, std::int64_t retainFrom, std::uint64_t step)
{
    m_step.store(step, std::memory_order_relaxed);
    m_retainFrom.store(retainFrom, std::memory_order_release);
    m_read.store(frame, std::memory_order_release);
    if (m_written.load(std::memory_order_acquire) - frame >= m_lowMark)
        return false;
    return !m_wakeAsked.exchange(true, std::memory_order_acq_rel);
}

} // namespace sonaveil::audio
