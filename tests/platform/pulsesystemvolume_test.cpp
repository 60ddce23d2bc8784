#include "platform/systemvolume.h"

#include "privatepulse.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

using namespace sonaveil::platform;
using Clock = std::chrono::steady_clock;

namespace {

// Deadlines that a loaded machine meets with room to spare.
constexpr int kDeadlineMs = 10000;
// Longer than any work these calls do, far shorter than the sound server's own time-outs that a
// call waiting for the server would take.
constexpr long kBlockedMs = 2000;

// Waits up to timeoutMs for the condition; returns how long it took, or -1.
long waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < deadline) {
        if (condition())
            return long(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return -1;
}

// pactl turns percentages into levels with its own rounding: allow one step either way.
bool levelIs(const SystemVolume& v, unsigned level)
{
    const auto r = v.volume();
    return r && r->volume + 1 >= level && r->volume <= level + 1;
}

// The system volume open on a private server, its first reading in.
class OnAPrivateServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pulse.start());
        volume = createPulseSystemVolume();
        ASSERT_TRUE(volume->open());
        ASSERT_GE(waitFor([&] { return volume->volume().has_value(); }, 3000), 0);
    }

    PrivatePulse pulse;
    // Counted by the listeners the tests set; it outlives the volume, which may call them until it goes.
    std::atomic<int> announced{0};
    std::unique_ptr<SystemVolume> volume;
};

} // namespace

TEST_F(OnAPrivateServer, FollowsAndSetsTheDefaultSink)
{
    EXPECT_EQ(volume->volume()->maximum, 65536u);
    EXPECT_TRUE(volume->announcesChanges());
    volume->setChangeListener([&] { ++announced; });

    // A change made by another program arrives without being asked for, and is announced.
    pulse.pactl("set-sink-volume sonaveil_test 50%");
    ASSERT_GE(waitFor([&] { return levelIs(*volume, 32768) && announced >= 1; }, kDeadlineMs), 0);

    // Only what the reader sees counts: another sink's volume is no news, the mute switch is.
    const int base = announced;
    pulse.pactl("set-sink-volume sonaveil_second 70%");
    pulse.pactl("set-sink-mute sonaveil_test 1");
    ASSERT_GE(waitFor([&] { return volume->mute() == true && announced > base; }, kDeadlineMs), 0);
    EXPECT_EQ(announced, base + 1);
    pulse.pactl("set-sink-mute sonaveil_test 0");
    ASSERT_GE(waitFor([&] { return volume->mute() == false && announced == base + 2; }, kDeadlineMs), 0);

    volume->setVolume(65536);
    EXPECT_TRUE(levelIs(*volume, 65536)); // answered at once, before the server confirms
    EXPECT_GE(waitFor([&] { return pulse.pactl("get-sink-volume sonaveil_test").find("100%") != std::string::npos; }, kDeadlineMs), 0);

    volume->setMute(true);
    EXPECT_GE(waitFor([&] { return pulse.pactl("get-sink-mute sonaveil_test").find("yes") != std::string::npos; }, kDeadlineMs), 0);
    pulse.pactl("set-sink-mute sonaveil_test 0");
    EXPECT_GE(waitFor([&] { return volume->mute() == false; }, kDeadlineMs), 0);

    // The default sink changing is followed too.
    pulse.pactl("set-sink-volume sonaveil_second 30%");
    pulse.pactl("set-default-sink sonaveil_second");
    EXPECT_GE(waitFor([&] { return levelIs(*volume, 19661); }, kDeadlineMs), 0);

    // Once the listener is replaced, the old one is never called again.
    volume->setChangeListener({});
    const int before = announced;
    pulse.pactl("set-sink-volume sonaveil_second 60%");
    EXPECT_GE(waitFor([&] { return levelIs(*volume, 39322); }, kDeadlineMs), 0);
    EXPECT_EQ(announced, before);

    volume->close();
    EXPECT_FALSE(volume->isOpen());
    EXPECT_FALSE(volume->volume().has_value());
}

TEST_F(OnAPrivateServer, SurvivesALostServerAndFollowsItsReturn)
{
    volume->setChangeListener([&] { ++announced; });
    pulse.kill();
    // The loss is announced too: a reader learns that nothing is known now.
    ASSERT_GE(waitFor([&] { return !volume->volume().has_value() && announced == 1; }, kDeadlineMs), 0);
    // Nothing waits for the missing server.
    const auto start = Clock::now();
    for (int i = 0; i < 100; ++i) {
        volume->setVolume(1000);
        volume->setMute(true);
        (void)volume->volume();
        (void)volume->mute();
    }
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), kBlockedMs);

    ASSERT_TRUE(pulse.start());
    pulse.pactl("set-sink-volume sonaveil_test 25%");
    EXPECT_GE(waitFor([&] { return levelIs(*volume, 16384) && announced >= 2; }, kDeadlineMs), 0);
}

TEST_F(OnAPrivateServer, NoSinkOrNoServerGivesNothing)
{
    pulse.pactl("unload-module module-null-sink");
    EXPECT_GE(waitFor([&] { return !volume->volume().has_value() && !volume->mute().has_value(); }, kDeadlineMs), 0);
    volume->setVolume(100); // no sink: ignored
    volume->close();

    // A server that is not there at all: opening works, reads give nothing, closing is quick.
    ::setenv("PULSE_SERVER", "unix:/nonexistent/sonaveil/native", 1);
    auto lonely = createPulseSystemVolume();
    ASSERT_TRUE(lonely->open());
    // Nothing to wait for: no answer ever comes. Reads give nothing all along.
    EXPECT_EQ(waitFor([&] { return lonely->volume().has_value(); }, 400), -1);
    const auto start = Clock::now();
    lonely->close();
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), kBlockedMs);
}

TEST(PulseSystemVolume, AServerThatNeverAnswersBlocksNothing)
{
    // A socket that takes connections and then says nothing, as a hung server does.
    TempFolder folder;
    const std::string path = (folder / "native").string();
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ::setenv("PULSE_SERVER", ("unix:" + path).c_str(), 1);

    auto volume = createPulseSystemVolume();
    ASSERT_TRUE(volume->open());
    // The calls below come once the connection is made and the server is silent on it.
    pollfd connecting{listener, POLLIN, 0};
    ASSERT_EQ(::poll(&connecting, 1, kDeadlineMs), 1);
    const auto start = Clock::now();
    for (int i = 0; i < 100; ++i) {
        volume->setVolume(30000);
        volume->setMute(false);
        EXPECT_FALSE(volume->volume().has_value());
    }
    volume->close();
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), kBlockedMs);
    ::close(listener);
}
