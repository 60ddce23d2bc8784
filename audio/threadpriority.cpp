#include "audio/threadpriority.h"

#include "audio/realtimekit.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

namespace sonaveil::audio {

namespace {

constexpr int kPriority = 1; // above every normal thread, below the servers' own real-time ones
constexpr rlim_t kSoftLimitUsec = 100000;
constexpr rlim_t kHardLimitUsec = 200000;
constexpr std::int64_t kMinimumBudgetUsec = 5000;
constexpr int kBrokerTimeoutMs = 1000;

// Threads made real-time here, for the SIGXCPU handler (0: a free place).
constexpr int kPlaces = 8;
std::atomic<pid_t> g_realtimeThreads[kPlaces];
std::atomic<bool> g_reported{false};

void onCpuLimit(int)
{
    const int saved = errno;
    for (auto& place : g_realtimeThreads) {
        const pid_t tid = place.load(std::memory_order_relaxed);
        if (tid == 0)
            continue;
        sched_param normal{};
        ::syscall(SYS_sched_setscheduler, tid, SCHED_OTHER, &normal);
    }
    errno = saved;
}

void watchCpuLimit()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction current {};
        if (::sigaction(SIGXCPU, nullptr, &current) != 0 || current.sa_handler != SIG_DFL
            || (current.sa_flags & SA_SIGINFO))
            return; // the program deals with it itself
        struct sigaction action {};
        action.sa_handler = &onCpuLimit;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGXCPU, &action, nullptr);
    });
}

void remember(pid_t tid)
{
    for (auto& place : g_realtimeThreads) {
        pid_t expected = 0;
        if (place.compare_exchange_strong(expected, tid))
            return;
    }
}

void forget(pid_t tid)
{
    for (auto& place : g_realtimeThreads) {
        pid_t expected = tid;
        place.compare_exchange_strong(expected, 0);
    }
}

// Makes RLIMIT_RTTIME finite; returns the soft limit in microseconds.
rlim_t limitRealtimeRun()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_RTTIME, &limit) != 0)
        return kSoftLimitUsec;
    if (limit.rlim_max == RLIM_INFINITY) {
        limit.rlim_max = kHardLimitUsec;
        limit.rlim_cur = std::min<rlim_t>(limit.rlim_cur, kSoftLimitUsec);
    } else if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max / 2;
    }
    ::setrlimit(RLIMIT_RTTIME, &limit);
    ::getrlimit(RLIMIT_RTTIME, &limit);
    return limit.rlim_cur == RLIM_INFINITY ? kSoftLimitUsec : limit.rlim_cur;
}

std::int64_t threadCpuUsec()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

long voluntarySwitches()
{
    rusage use{};
    ::getrusage(RUSAGE_THREAD, &use);
    return use.ru_nvcsw;
}

void reportOnce(const char* threadName, const std::string& outcome)
{
    if (!g_reported.exchange(true))
        std::fprintf(stderr, "%s: %s\n", threadName, outcome.c_str());
}

} // namespace

RealtimeThread::~RealtimeThread()
{
    if (m_realtime)
        forget(m_tid);
}

bool RealtimeThread::request(const char* threadName)
{
    if (m_asked)
        return m_realtime;
    m_asked = true;
    m_tid = pid_t(::syscall(SYS_gettid));
    // The limit comes first: once the thread is real-time it must already hold.
    const rlim_t soft = limitRealtimeRun();
    m_budgetUsec = std::max<std::int64_t>(std::int64_t(soft) / 4, kMinimumBudgetUsec);
    watchCpuLimit();
    remember(m_tid);
    sched_param param{};
    param.sched_priority = kPriority;
    // Children started from this thread do not inherit the policy.
    const std::string priority = "round-robin, priority " + std::to_string(kPriority);
    std::string outcome;
    m_realtime = ::sched_setscheduler(0, SCHED_RR | SCHED_RESET_ON_FORK, &param) == 0;
    if (m_realtime) {
        outcome = "real-time scheduling (" + priority + ")";
    } else {
        // Not allowed to by itself: the desktop's broker may allow it.
        const std::string refused = std::strerror(errno);
        std::string why;
        m_realtime = askRealtimeKit(m_tid, kPriority, kBrokerTimeoutMs, why);
        if (m_realtime)
            outcome = "real-time scheduling (" + priority + ", through RealtimeKit)";
        else
            outcome = "no real-time scheduling (" + refused + "; RealtimeKit: " + why + "); normal priority";
    }
    if (!m_realtime)
        forget(m_tid);
    reportOnce(threadName, outcome);
    m_switches = voluntarySwitches();
    m_lastLookUsec = m_awakeSinceUsec = threadCpuUsec();
    return m_realtime;
}

void RealtimeThread::beforeWork()
{
    if (!m_realtime)
        return;
    const long switches = voluntarySwitches();
    const std::int64_t now = threadCpuUsec();
    if (switches != m_switches) {
        // It slept somewhere since the last look, so it has run at most this long since.
        m_switches = switches;
        m_awakeSinceUsec = m_lastLookUsec;
    }
    m_lastLookUsec = now;
    if (now - m_awakeSinceUsec < m_budgetUsec)
        return;
    const timespec moment{0, 100000};
    ::nanosleep(&moment, nullptr);
    m_switches = voluntarySwitches();
    m_lastLookUsec = m_awakeSinceUsec = threadCpuUsec();
}

} // namespace sonaveil::audio
