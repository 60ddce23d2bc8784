// Real-time scheduling for the output's thread: granted, it never gets the program stopped by the
// kernel's limit on real-time running; refused, the thread goes on as it was. Each case runs in a child
// process of its own, since it changes the process's limits and signal handling.
#include "audio/threadpriority.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <linux/capability.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <thread>
#include <time.h>
#include <unistd.h>

using sonaveil::audio::RealtimeThread;
using Clock = std::chrono::steady_clock;

namespace {

std::int64_t threadCpuUsec()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// The calling thread's policy, without the flag that keeps children from inheriting it.
int policy()
{
    return ::sched_getscheduler(0) & ~SCHED_RESET_ON_FORK;
}

long voluntarySwitches()
{
    rusage use{};
    ::getrusage(RUSAGE_THREAD, &use);
    return use.ru_nvcsw;
}

// Takes CAP_SYS_NICE from the calling thread (threads it starts inherit that) and leaves the
// process no real-time priority of its own: as an ordinary user runs the program.
bool dropRealtimePermission()
{
    rlimit none{0, 0};
    if (::setrlimit(RLIMIT_RTPRIO, &none) != 0)
        return false;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    for (auto& d : data) {
        d.effective &= ~(1u << CAP_SYS_NICE);
        d.permitted &= ~(1u << CAP_SYS_NICE);
    }
    return ::syscall(SYS_capset, &header, data) == 0;
}

// Runs `body` on a thread of its own and leaves the process with its exit code.
template <typename Body>
[[noreturn]] void exitWith(Body body)
{
    int code = 99;
    std::thread([&] { code = body(); }).join();
    std::_Exit(code);
}

} // namespace

class RealtimeThreadTest : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(RealtimeThreadTest, ALongStretchOfWorkSleepsBeforeTheKernelsLimit)
{
    // 300 ms of processor time at real-time priority, looking in every millisecond: past the
    // hard limit (200 ms) were it not for the short sleeps.
    EXPECT_EXIT(exitWith([] {
                    RealtimeThread thread;
                    if (!thread.request("test"))
                        return 2; // this test needs root or a real-time priority limit
                    rlimit limit{};
                    ::getrlimit(RLIMIT_RTTIME, &limit);
                    if (limit.rlim_max == RLIM_INFINITY || thread.budgetUsec() * 2 > std::int64_t(limit.rlim_cur))
                        return 3;
                    const long switches = voluntarySwitches();
                    const std::int64_t start = threadCpuUsec();
                    while (threadCpuUsec() - start < 300000) {
                        thread.beforeWork();
                        const std::int64_t slice = threadCpuUsec();
                        while (threadCpuUsec() - slice < 1000) {
                        }
                    }
                    if (policy() != SCHED_RR)
                        return 4; // it was demoted: it ran past the soft limit
                    return voluntarySwitches() - switches >= 3 ? 0 : 5;
                }),
                ::testing::ExitedWithCode(0), "");
}

TEST_F(RealtimeThreadTest, RunningPastTheSoftLimitReturnsTheThreadToNormalScheduling)
{
    // A thread that never looks (stuck in a long mix): SIGXCPU must demote it, not end the
    // program, and well before the hard limit's SIGKILL.
    EXPECT_EXIT(exitWith([] {
                    RealtimeThread thread;
                    if (!thread.request("test"))
                        return 2;
                    const auto deadline = Clock::now() + std::chrono::seconds(10);
                    while (policy() == SCHED_RR) {
                        if (Clock::now() > deadline)
                            return 3;
                    }
                    return policy() == SCHED_OTHER ? 0 : 4;
                }),
                ::testing::ExitedWithCode(0), "");
}

TEST_F(RealtimeThreadTest, ARefusedRequestLeavesTheThreadAsItWas)
{
    EXPECT_EXIT(exitWith([] {
                    if (!dropRealtimePermission())
                        return 2;
                    RealtimeThread thread;
                    if (thread.request("test") || thread.realtime())
                        return 3;
                    if (policy() != SCHED_OTHER)
                        return 4;
                    // Asked once: the answer stands, and work goes on without sleeps.
                    if (thread.request("test"))
                        return 5;
                    const long switches = voluntarySwitches();
                    const std::int64_t start = threadCpuUsec();
                    while (threadCpuUsec() - start < 50000)
                        thread.beforeWork();
                    return voluntarySwitches() == switches ? 0 : 6;
                }),
                ::testing::ExitedWithCode(0), "no real-time scheduling");
}
