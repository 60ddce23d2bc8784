#include "audio/livesource.h"

#include <algorithm>
#include <cstring>

namespace sonaveil::audio {

namespace {

constexpr std::uint64_t kUnitStep = std::uint64_t(1) << 32;

// Rings come in whole windows.
std::int64_t ringFrames(std::int64_t frames)
{
    const std::int64_t rounded = (frames + LiveSource::kWindow - 1) / LiveSource::kWindow * LiveSource::kWindow;
    return std::clamp(rounded, LiveSource::kMinRingFrames, LiveSource::kMaxRingFrames);
}

} // namespace

LiveSource::Ring::Ring(std::int64_t count)
    : frames(count)
    , slots(new SourceFrame[std::size_t(count + kWindow)]())
{
}

void LiveSource::Ring::store(std::int64_t first, const SourceFrame* from, std::int64_t n)
{
    std::int64_t done = 0;
    while (done < n) {
        const std::int64_t at = slot(first + done);
        const std::int64_t run = std::min(n - done, frames - at);
        std::memcpy(slots.get() + at, from + done, sizeof(SourceFrame) * std::size_t(run));
        if (at < kWindow) {
            const std::int64_t mirrored = std::min<std::int64_t>(run, kWindow - at);
            std::memcpy(slots.get() + frames + at, from + done, sizeof(SourceFrame) * std::size_t(mirrored));
        }
        done += run;
    }
}

LiveSource::LiveSource(std::unique_ptr<Generator> generator)
    : m_generator(std::move(generator))
    , m_rate(m_generator ? m_generator->rate() : 0)
    , m_batch(std::size_t(Generator::kMaxFrames), 0)
{
    const double rate = double(std::max(m_rate, 1));
    m_ahead = std::int64_t(rate * kAheadSeconds);
    m_lowMark = m_ahead - std::int64_t(rate * kBatchSeconds);
    m_start = std::int64_t(rate * kStartSeconds);
    m_startRing = ringFrames(std::int64_t(rate * (kAheadSeconds + kRetainSeconds)));
    m_ring.store(new Ring(m_startRing), std::memory_order_release);
}

LiveSource::~LiveSource()
{
    delete m_ring.load(std::memory_order_acquire);
}

std::int64_t LiveSource::aheadFrames() const
{
    // A voice played faster reads further ahead in the same time.
    const std::uint64_t step = std::max(m_step.load(std::memory_order_relaxed), kUnitStep);
    return std::int64_t((std::uint64_t(m_ahead) * (step >> 16)) >> 16);
}

std::int64_t LiveSource::wanted() const
{
    const std::int64_t written = m_written.load(std::memory_order_relaxed);
    const std::int64_t read = m_read.load(std::memory_order_acquire);
    const std::int64_t retain = m_retainFrom.load(std::memory_order_acquire);
    const std::int64_t end = read + aheadFrames();
    // What fitRing() would make room for, unless the last move is still waiting for the reader.
    std::int64_t room = capacity();
    if (!m_oldRing)
        room = std::max(room, std::min(end - retain, kMaxRingFrames));
    return std::max<std::int64_t>(std::min(end, retain + room) - written, 0);
}

void LiveSource::retireOldRing()
{
    if (m_oldRing && m_readSerial.load(std::memory_order_seq_cst) > m_oldRingUntil)
        m_oldRing.reset();
}

void LiveSource::fitRing(std::int64_t end)
{
    retireOldRing();
    if (m_oldRing)
        return;
    Ring* ring = m_ring.load(std::memory_order_relaxed);
    const std::int64_t written = m_written.load(std::memory_order_relaxed);
    const std::int64_t retain = m_retainFrom.load(std::memory_order_acquire);
    const std::int64_t need = std::min(end - retain, kMaxRingFrames);
    // What a move must carry over: everything from the retained frame on.
    const std::int64_t held = written - retain;
    std::int64_t frames = ring->frames;
    if (need > ring->frames)
        frames = ringFrames(std::max(need, held) + need / 4);
    else if (ring->frames > 2 * need && ring->frames > m_startRing)
        frames = need <= m_startRing ? m_startRing : ringFrames(need + need / 4);
    if (frames == ring->frames || frames < held)
        return;

    // Everything the old ring holds that the new one has room for: all that is retained.
    auto moved = std::make_unique<Ring>(frames);
    for (std::int64_t f = std::max<std::int64_t>({written - ring->frames, written - frames, 0}); f < written;) {
        const std::int64_t n = std::min<std::int64_t>(kWindow, written - f);
        moved->store(f, ring->slots.get() + ring->slot(f), n);
        f += n;
    }
    m_ring.store(moved.release(), std::memory_order_seq_cst);
    // A reader that took the old ring before this store has not yet published the read
    // position of the block it reads it for: once a position beyond this serial is published,
    // every read of the old ring is done (window() is read before setReadPosition()).
    m_oldRingUntil = m_readSerial.load(std::memory_order_seq_cst);
    m_oldRing.reset(ring);
}

int LiveSource::fill(int maxFrames)
{
    fitRing(m_read.load(std::memory_order_acquire) + aheadFrames());
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
    m_ring.load(std::memory_order_relaxed)->store(written, m_batch.data(), n);
    m_written.store(written + n, std::memory_order_release);
}

void LiveSource::fillTo(std::int64_t frame)
{
    fitRing(frame);
    while (m_written.load(std::memory_order_relaxed) < frame) {
        const std::int64_t room = m_retainFrom.load(std::memory_order_relaxed) + capacity()
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
    // Every window() of the block this position ends is read by now.
    m_readSerial.fetch_add(1, std::memory_order_seq_cst);
    m_step.store(step, std::memory_order_relaxed);
    m_retainFrom.store(retainFrom, std::memory_order_release);
    m_read.store(frame, std::memory_order_release);
    if (m_written.load(std::memory_order_acquire) - frame >= m_lowMark)
        return false;
    return !m_wakeAsked.exchange(true, std::memory_order_acq_rel);
}

} // namespace sonaveil::audio
