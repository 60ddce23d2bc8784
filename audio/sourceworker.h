#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

namespace sonaveil::audio {

class LiveSource;

// Runs the generators of the live voices ahead of the mixer, on a thread of its own at normal
// priority: each source's ring is topped up a batch of several hundred milliseconds at a time,
// so a generator runs seldom and for long, with its tables warm in the cache. A generator may
// block (reading a file) without holding up the mix or the other sources for longer than the
// ring lasts.
//
// The sources are handed over in a fixed table of atomic pointers; the mixer only wakes the
// worker (wake() never blocks). A source taken out of the table may be freed once released()
// says the worker no longer touches it.
class SourceWorker {
public:
    explicit SourceWorker(int slots);
    ~SourceWorker();
    SourceWorker(const SourceWorker&) = delete;
    SourceWorker& operator=(const SourceWorker&) = delete;

    // Starts the thread (an output that plays in real time); without it the sources are filled
    // by fillNow() on the caller's thread.
    void start();
    // Ends the thread after the batch it is making.
    void stop();
    bool running() const { return m_thread.joinable(); }

    // The calling thread's source for `slot` (nullptr takes it out); the worker is woken.
    void set(int slot, LiveSource* source);
    // True once `source`, taken out of the table, is no longer used by the worker.
    bool released(const LiveSource* source) const;
    // Any thread, never blocks: asks the worker to look at its sources again.
    void wake();

    // Called on the worker's thread when a source has the frames its voice waits for before it
    // starts; set before start(). It must not block.
    void setOnFirstFrames(std::function<void()> callback) { m_onFirstFrames = std::move(callback); }

    // Batches the worker has made since it started.
    std::uint64_t batches() const { return m_batches.load(std::memory_order_relaxed); }

private:
    void run();
    // One round over every source; true when one of them still wants frames.
    bool fillRound();

    int m_slotCount;
    std::unique_ptr<std::atomic<LiveSource*>[]> m_sources;
    // The source being filled, so that whoever takes it out knows to wait before freeing it.
    std::atomic<LiveSource*> m_busy{nullptr};
    std::atomic<std::uint32_t> m_signal{0};
    std::atomic<bool> m_stopping{false};
    std::atomic<std::uint64_t> m_batches{0};
    std::function<void()> m_onFirstFrames;
    std::thread m_thread;
};

} // namespace sonaveil::audio
