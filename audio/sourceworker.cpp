#include "audio/sourceworker.h"

#include "audio/livesource.h"

#include <algorithm>

#if defined(__linux__)
#include <pthread.h>
#endif

namespace sonaveil::audio {

SourceWorker::SourceWorker(int slots)
    : m_slotCount(std::max(slots, 0))
    , m_sources(std::make_unique<std::atomic<LiveSource*>[]>(std::size_t(m_slotCount)))
{
    for (int i = 0; i < m_slotCount; ++i)
        m_sources[std::size_t(i)].store(nullptr, std::memory_order_relaxed);
}

SourceWorker::~SourceWorker()
{
    stop();
}

void SourceWorker::start()
{
    if (m_thread.joinable())
        return;
    m_stopping.store(false, std::memory_order_relaxed);
    m_thread = std::thread([this] { run(); });
#if defined(__linux__)
    // Named, so that its wake-ups and its time can be told apart from the program's other threads.
    ::pthread_setname_np(m_thread.native_handle(), "sonaveil-src");
#endif
}

void SourceWorker::stop()
{
    if (!m_thread.joinable())
        return;
    m_stopping.store(true, std::memory_order_release);
    wake();
    m_thread.join();
}

void SourceWorker::set(int slot, LiveSource* source)
{
    if (slot < 0 || slot >= m_slotCount)
        return;
    m_sources[std::size_t(slot)].store(source, std::memory_order_seq_cst);
    wake();
}

bool SourceWorker::released(const LiveSource* source) const
{
    // Pairs with the worker's seq_cst store of m_busy before it reads the table again: either
    // the worker saw the source gone, or it is marked busy here.
    return m_busy.load(std::memory_order_seq_cst) != source;
}

void SourceWorker::wake()
{
    m_signal.fetch_add(1, std::memory_order_release);
    m_signal.notify_one();
}

bool SourceWorker::fillRound()
{
    bool more = false;
    for (int i = 0; i < m_slotCount && !m_stopping.load(std::memory_order_relaxed); ++i) {
        LiveSource* source = m_sources[std::size_t(i)].load(std::memory_order_acquire);
        if (!source)
            continue;
        m_busy.store(source, std::memory_order_seq_cst);
        if (m_sources[std::size_t(i)].load(std::memory_order_seq_cst) == source) {
            source->takeWakeRequest();
            const bool waited = source->written() < source->startFrames();
            const int batch = std::max(1, int(double(source->rate()) * LiveSource::kBatchSeconds));
            int made = 0;
            // A new voice's start is made in one go: it waits for it.
            const int want = std::max<int>(batch, int(source->startFrames() - source->written()));
            while (made < want) {
                const int n = source->fill(want - made);
                if (n <= 0)
                    break;
                made += n;
            }
            if (made > 0) {
                m_batches.fetch_add(1, std::memory_order_relaxed);
                if (waited && source->written() >= source->startFrames() && m_onFirstFrames)
                    m_onFirstFrames();
            }
            more = more || source->wanted() > 0;
        }
        m_busy.store(nullptr, std::memory_order_seq_cst);
    }
    return more;
}

void SourceWorker::run()
{
    while (!m_stopping.load(std::memory_order_acquire)) {
        const std::uint32_t seen = m_signal.load(std::memory_order_acquire);
        if (fillRound())
            continue;
        m_signal.wait(seen, std::memory_order_acquire);
    }
}

} // namespace sonaveil::audio
