#include "player/core/livebuilder.h"

#include "common/freememory.h"

#include <algorithm>

namespace sonaveil::player {

LiveBuilder::LiveBuilder(std::function<void()> finished)
    : m_finished(std::move(finished))
{
}

LiveBuilder::~LiveBuilder()
{
    std::deque<std::pair<std::uint64_t, Job>> dropped;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        dropped.swap(m_waiting);
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

std::uint64_t LiveBuilder::submit(Job job)
{
    std::uint64_t ticket = 0;
    {
        std::lock_guard lock(m_mutex);
        ticket = ++m_lastTicket;
        m_waiting.emplace_back(ticket, std::move(job));
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
    }
    m_wake.notify_one();
    return ticket;
}

void LiveBuilder::cancel(std::uint64_t ticket)
{
    Job dropped; // destroyed after the lock is let go
    std::lock_guard lock(m_mutex);
    const auto found = std::find_if(m_waiting.begin(), m_waiting.end(),
                                    [ticket](const auto& waiting) { return waiting.first == ticket; });
    if (found == m_waiting.end())
        return;
    dropped = std::move(found->second);
    m_waiting.erase(found);
    if (m_waiting.empty() && !m_running)
        m_idle.notify_all();
}

std::vector<LiveBuilder::Done> LiveBuilder::take()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_done, {});
}

void LiveBuilder::wait()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_waiting.empty() && !m_running; });
}

std::size_t LiveBuilder::busy() const
{
    std::lock_guard lock(m_mutex);
    return m_waiting.size() + (m_running ? 1 : 0);
}

void LiveBuilder::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
        if (m_stopping)
            return;
        auto [ticket, job] = std::move(m_waiting.front());
        m_waiting.pop_front();
        m_running = true;
        lock.unlock();
        Done done{ticket, {}};
        try {
            done.made = job();
        } catch (...) {
            // Nothing made (out of memory): the sound plays its file.
            done.made = {};
        }
        job = nullptr;
        lock.lock();
        m_done.push_back(std::move(done));
        // Told before the job counts as done, so that whoever waits for it finds it told.
        if (m_finished && !m_stopping) {
            lock.unlock();
            m_finished();
            lock.lock();
        }
        if (!m_stopping) {
            // This thread allocates from a heap of its own, where the scratch memory of making a
            // generator stays once freed, and no other thread reuses it: it goes back to the system
            // after each job (2 MB less at the peak with a dozen sounds).
            lock.unlock();
            releaseFreeMemory();
            lock.lock();
        }
        m_running = false;
        if (m_waiting.empty())
            m_idle.notify_all();
    }
}

} // namespace sonaveil::player
