// Real-time scheduling for the output's thread: granted by the kernel or by the desktop's broker,
// it never gets the program stopped by the kernel's limit on real-time running; refused, the
// thread goes on as it was. Each case runs in a child
// process of its own, since it changes the process's limits and signal handling.
#include "audio/threadpriority.h"
#include "realtimepermission.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
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

// Runs `body` on a thread of its own and leaves the process with its exit code.
template <typename Body>
[[noreturn]] void exitWith(Body body)
{
    int code = 99;
    std::thread([&] { code = body(); }).join();
    std::_Exit(code);
}

// The desktop's real-time broker, as far as the output uses it: it makes the thread real-time
// itself (this test runs where the kernel lets it), and, like the real one, refuses a process
// whose RLIMIT_RTTIME is not limited.
class FakeRealtimeKit : public QDBusVirtualObject {
public:
    explicit FakeRealtimeKit(bool grant) : m_grant(grant) {}
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.member() != QLatin1String("MakeThreadRealtime") || message.arguments().size() != 2)
            return false;
        ++calls;
        rlimit limit{};
        ::getrlimit(RLIMIT_RTTIME, &limit);
        sched_param param{};
        param.sched_priority = int(message.arguments().at(1).toUInt());
        const pid_t tid = pid_t(message.arguments().at(0).toULongLong());
        if (m_grant && limit.rlim_max != RLIM_INFINITY && limit.rlim_max <= 200000
            && ::sched_setscheduler(tid, SCHED_RR | SCHED_RESET_ON_FORK, &param) == 0)
            connection.send(message.createReply());
        else
            connection.send(message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
                                                     QStringLiteral("refused")));
        return true;
    }
    std::atomic<int> calls{0};

private:
    bool m_grant;
};

// In a child process: a private bus standing in for the system bus, the broker on it, and a
// thread without the right to real-time scheduling of its own asking for it. Exit code 0 when
// the thread ended up as `expectRealtime` says.
int askThroughBroker(bool grant, bool expectRealtime)
{
    char folder[] = "/tmp/sonaveil-rtkit-XXXXXX";
    if (!::mkdtemp(folder))
        return 10;
    const std::string socket = std::string(folder) + "/bus";
    const pid_t daemon = ::fork();
    if (daemon == 0) {
        ::execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--nopidfile",
                 ("--address=unix:path=" + socket).c_str(), static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    int result = 11;
    QElapsedTimer waited;
    waited.start();
    while (!std::filesystem::exists(socket) && waited.elapsed() < 10000)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (std::filesystem::exists(socket)) {
        const std::string address = "unix:path=" + socket;
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);
        int argc = 1;
        char name[] = "test";
        char* argv[] = {name, nullptr};
        QCoreApplication app(argc, argv);
        QDBusConnection service = QDBusConnection::connectToBus(QString::fromStdString(address), QStringLiteral("broker"));
        FakeRealtimeKit broker(grant);
        if (service.isConnected() && service.registerService(QStringLiteral("org.freedesktop.RealtimeKit1"))
            && service.registerVirtualObject(QStringLiteral("/org/freedesktop/RealtimeKit1"), &broker)) {
            std::atomic<int> outcome{-1};
            std::thread asking([&] {
                if (!dropRealtimePermission()) {
                    outcome = 12;
                    return;
                }
                RealtimeThread thread;
                const bool granted = thread.request("test");
                const bool realtime = policy() == SCHED_RR;
                outcome = granted == expectRealtime && realtime == expectRealtime ? 0 : 13;
            });
            while (outcome.load() < 0 && waited.elapsed() < 30000)
                app.processEvents(QEventLoop::WaitForMoreEvents, 50);
            asking.join();
            result = broker.calls.load() == 1 ? outcome.load() : 14;
        }
    }
    ::kill(daemon, SIGTERM);
    ::waitpid(daemon, nullptr, 0);
    std::filesystem::remove_all(folder);
    return result;
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

TEST_F(RealtimeThreadTest, WithoutTheRightOfItsOwnTheThreadAsksTheDesktopsBroker)
{
    EXPECT_EXIT(std::_Exit(askThroughBroker(true, true)), ::testing::ExitedWithCode(0), "through RealtimeKit");
}

TEST_F(RealtimeThreadTest, ABrokerThatRefusesLeavesTheThreadAtNormalPriority)
{
    EXPECT_EXIT(std::_Exit(askThroughBroker(false, false)), ::testing::ExitedWithCode(0),
                "no real-time scheduling .*RealtimeKit: refused");
}
