// The test's own sound server ends with the test program, however the program ends.
#include "privatepulse.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Dead or a zombie waiting for its new parent.
bool gone(pid_t pid)
{
    if (::kill(pid, 0) != 0)
        return true;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pidText, name, state;
    stat >> pidText >> name >> state;
    return state == "Z" || state == "X";
}

} // namespace

TEST(PrivatePulse, DiesWithACrashedTestProgramAndLeavesItsOutputClosed)
{
    int report[2], output[2];
    ASSERT_EQ(::pipe(report), 0);
    ASSERT_EQ(::pipe(output), 0);
    const pid_t program = ::fork();
    ASSERT_GE(program, 0);
    if (program == 0) {
        // A test program whose output goes to a pipe, as under CTest, and which crashes.
        ::dup2(output[1], 1);
        ::dup2(output[1], 2);
        ::close(output[0]);
        ::close(report[0]);
        PrivatePulse pulse;
        const pid_t daemon = pulse.start() ? pulse.pid() : -1;
        (void)!::write(report[1], &daemon, sizeof daemon);
        std::abort();
    }
    ::close(report[1]);
    ::close(output[1]);
    pid_t daemon = -1;
    ASSERT_EQ(::read(report[0], &daemon, sizeof daemon), ssize_t(sizeof daemon));
    ::close(report[0]);
    int status = 0;
    ::waitpid(program, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    if (daemon <= 0) {
        ::close(output[0]);
        FAIL() << "pulseaudio did not start";
    }

    // The pipe closes at once: nothing of the program is left holding it.
    pollfd p{output[0], POLLIN, 0};
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    bool closed = false;
    while (!closed && std::chrono::steady_clock::now() < until) {
        if (::poll(&p, 1, 100) > 0) {
            char buffer[256];
            closed = ::read(output[0], buffer, sizeof buffer) <= 0;
        }
    }
    ::close(output[0]);
    EXPECT_TRUE(closed) << "the output pipe stayed open";
    for (int i = 0; i < 100 && !gone(daemon); ++i)
        ::usleep(20000);
    EXPECT_TRUE(gone(daemon)) << "pulseaudio " << daemon << " outlived its test program";
    if (!gone(daemon))
        ::kill(daemon, SIGKILL);
}
