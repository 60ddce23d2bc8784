#pragma once

#include <cstdint>
#include <sys/types.h>

namespace sonaveil::audio {

// Real-time scheduling for the thread that feeds the sound server. At a normal priority the
// server, woken by each packet the thread writes, takes the processor from it at once, packet
// after packet; a real-time thread writes a refill in one go and the server takes it in one go.
//
// Round-robin at the lowest real-time priority, asked of the kernel directly (allowed to root
// and to users given a real-time priority limit), else of the desktop's broker (RealtimeKit,
// which wants RLIMIT_RTTIME limited). The thread must work the same without it.
// A real-time thread that runs too long without sleeping is stopped by the kernel
// (RLIMIT_RTTIME: SIGXCPU at the soft limit, SIGKILL at the hard one), so:
// - the limit is made finite if it is not (soft 100 ms, hard 200 ms);
// - beforeWork() sleeps a moment when the thread has run a quarter of the soft limit without
//   sleeping (only a long rewrite or a refill on a slow machine does);
// - should it be exceeded all the same, SIGXCPU (when nobody else handles it) returns the
//   thread to normal scheduling instead of ending the program.
class RealtimeThread {
public:
    RealtimeThread() = default;
    RealtimeThread(const RealtimeThread&) = delete;
    RealtimeThread& operator=(const RealtimeThread&) = delete;
    ~RealtimeThread();

    // On the thread: asks once (later calls return the first answer). What came of it is
    // written to the standard error once per process.
    bool request(const char* threadName);
    // On the thread, before a stretch of work (a block of the mix).
    void beforeWork();
    bool realtime() const { return m_realtime; }
    // Budget of processor time between sleeps, in microseconds (0 when not real-time).
    std::int64_t budgetUsec() const { return m_realtime ? m_budgetUsec : 0; }

private:
    bool m_asked = false;
    bool m_realtime = false;
    pid_t m_tid = 0;
    std::int64_t m_budgetUsec = 0;
    long m_switches = -1;            // voluntary switches at the last look
    std::int64_t m_lastLookUsec = 0; // the thread's processor time then
    std::int64_t m_awakeSinceUsec = 0; // its processor time when it last slept, at the latest
};

} // namespace sonaveil::audio
