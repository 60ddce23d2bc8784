#pragma once

#include "player/core/endlesssounds.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace sonaveil::player {

// Makes live sounds' generators on a thread of its own, one job after another, so that the thread
// that switches a sound on never waits while tables, kernel banks and transforms are set up (nor
// while the sample file is checked). What is made waits here until the owner takes it on its own
// thread; nothing made here reaches the engine from the worker.
class LiveBuilder {
public:
    using Job = std::function<EndlessSounds::Made()>;
    struct Done {
        std::uint64_t ticket = 0;
        EndlessSounds::Made made;
    };

    // `finished` runs on the worker each time a job is done, to have take() called on the
    // owner's thread; it must not call back into the builder.
    explicit LiveBuilder(std::function<void()> finished);
    // Drops the waiting jobs, waits for the one being made and frees whatever was not taken.
    ~LiveBuilder();
    LiveBuilder(const LiveBuilder&) = delete;
    LiveBuilder& operator=(const LiveBuilder&) = delete;

    // Queues `job` behind the others; its ticket (never 0) comes back with what it made.
    std::uint64_t submit(Job job);
    // A job still waiting is dropped; one being made or done comes back all the same.
    void cancel(std::uint64_t ticket);
    // The jobs done since the last call, in the order they were submitted.
    std::vector<Done> take();
    // Blocks until no job waits or runs.
    void wait();
    // Jobs waiting or running.
    std::size_t busy() const;

private:
    void run();

    std::function<void()> m_finished;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::pair<std::uint64_t, Job>> m_waiting;
    std::vector<Done> m_done;
    std::uint64_t m_lastTicket = 0;
    bool m_running = false; // a job is being made
    bool m_stopping = false;
    std::thread m_thread; // started with the first job
};

} // namespace sonaveil::player
