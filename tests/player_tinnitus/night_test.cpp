#include "player/tinnitus/night.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace sonaveil::player;

namespace {

constexpr std::int64_t kMinute = 60'000;
constexpr std::int64_t kDay = 24 * 60 * kMinute;

// A night on a clock without time zones: the tests set `now` and read what the night did.
class NightTest : public ::testing::Test {
protected:
    NightTest()
        : night(fakeClock())
    {
        Night::Hooks& h = night.hooks();
        h.fade = [this](double g) { events.push_back("fade " + std::to_string(g).substr(0, 4)); gains.push_back(g); };
        h.silence = [this] { events.push_back("silence"); };
        h.changed = [this] { ++changes; };
        h.tickingChanged = [this](bool on) { events.push_back(on ? "ticking" : "still"); };
    }

    NightClock fakeClock()
    {
        NightClock c;
        c.now = [this] { return now; };
        c.timeOfDay = [](std::int64_t ms) {
            const int s = int((ms % kDay) / 1000);
            return ClockTime{s / 3600, s / 60 % 60, s % 60};
        };
        c.dayAt = [](std::int64_t ms, const ClockTime& t, int days) {
            return (ms / kDay + days) * kDay + ((t.hour * 60 + t.minute) * 60 + t.second) * 1000;
        };
        return c;
    }

    static std::int64_t at(int hour, int minute, int second = 0, int day = 100)
    {
        return day * kDay + ((hour * 60 + minute) * 60 + second) * 1000;
    }

    std::int64_t now = at(22, 45);
    Night night;
    std::vector<std::string> events;
    std::vector<double> gains;
    int changes = 0;
};

} // namespace

TEST_F(NightTest, SleepInSetsTheMomentTicksItsEntryAndMarksLineOne)
{
    EXPECT_EQ(night.tickedSleep(), 0);
    EXPECT_FALSE(night.cancelEnabled());
    EXPECT_EQ(night.cancelText(), "Cancel sleep");
    EXPECT_EQ(night.clockMark(), "");

    night.sleepIn(60);
    EXPECT_EQ(night.sleep().endMs(), at(23, 45));
    EXPECT_EQ(night.tickedSleep(), 60);
    EXPECT_TRUE(night.cancelEnabled());
    EXPECT_EQ(night.cancelText(), "Cancel sleep (at 23:45)");
    EXPECT_EQ(night.clockMark(), " S23:45");
    EXPECT_TRUE(night.ticking());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(events, std::vector<std::string>{"ticking"}) << "full volume until the last ten minutes";

    // A new choice replaces the old one.
    now = at(23, 0);
    night.sleepIn(90);
    EXPECT_EQ(night.sleep().endMs(), at(0, 30, 0, 101));
    EXPECT_EQ(night.tickedSleep(), 90);
    EXPECT_EQ(night.clockMark(), " S00:30");
    EXPECT_EQ(changes, 2);
}

TEST_F(NightTest, CancelBringsTheSoundsBackOverTwoSecondsWithoutAJump)
{
    night.sleepIn(30);
    const std::int64_t end = *night.sleep().endMs();
    night.tick(end - 5 * kMinute);
    EXPECT_NEAR(night.gain(), 0.25, 1e-9) << "halfway through the last ten minutes";

    now = end - 2 * kMinute;
    night.tick(now);
    const double low = night.gain();
    night.cancelSleep();
    EXPECT_EQ(night.tickedSleep(), 0);
    EXPECT_FALSE(night.cancelEnabled());
    EXPECT_EQ(night.cancelText(), "Cancel sleep");
    EXPECT_EQ(night.clockMark(), "");
    EXPECT_NEAR(night.gain(), low, 1e-12);
    EXPECT_TRUE(night.ticking()) << "the way back is followed";
    double last = low;
    for (std::int64_t ms = 250; ms < SleepTimer::kRecoverMs; ms += 250) {
        night.tick(now + ms);
        EXPECT_GT(night.gain(), last);
        last = night.gain();
    }
    night.tick(now + SleepTimer::kRecoverMs);
    EXPECT_EQ(night.gain(), 1.0);
    EXPECT_FALSE(night.ticking());
    EXPECT_EQ(events.back(), "still");
}

TEST_F(NightTest, TheSleepsMomentSilencesEverySoundOnceAndFreesTheGain)
{
    night.sleepIn(30);
    const std::int64_t end = *night.sleep().endMs();
    night.tick(end - 1);
    EXPECT_GT(night.gain(), 0.0);
    events.clear();
    changes = 0;
    night.tick(end);
    EXPECT_EQ(events, (std::vector<std::string>{"fade 0.00", "silence", "fade 1.00", "still"}));
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(night.sleep().active());
    EXPECT_EQ(night.tickedSleep(), 0);
    EXPECT_EQ(night.clockMark(), "");
    night.tick(end + 1000);
    EXPECT_EQ(events.size(), 4u) << "nothing more after the moment";
}

TEST_F(NightTest, TheAlarmFadeEndsAtTheNextAlarmTimeAndTheLowerGainWins)
{
    now = at(7, 20);
    night.followAlarm(now, true, "07:30:00");
    EXPECT_FALSE(night.alarmFadeEnd()) << "no fade chosen";
    night.setAlarmFadeMinutes(15);
    ASSERT_TRUE(night.alarmFadeEnd()) << "the choice acts on the alarm as last seen";
    EXPECT_EQ(*night.alarmFadeEnd(), at(7, 30));
    EXPECT_TRUE(night.ticking());
    const double alarmGain = FadeOut::gainAt(now, at(7, 30), 15 * kMinute);
    EXPECT_DOUBLE_EQ(night.gain(), alarmGain);

    // A sleep further down its own fade wins; once it is cancelled, the alarm's fade again.
    night.sleepIn(5); // ends 07:25: halfway through its ten minutes
    EXPECT_NEAR(night.gain(), 0.25, 1e-9);
    night.cancelSleep();
    night.tick(at(7, 29));
    EXPECT_DOUBLE_EQ(night.gain(), FadeOut::gainAt(at(7, 29), at(7, 30), 15 * kMinute));

    // At the alarm time silence, held for two minutes while the alarm's option acts…
    night.followAlarm(at(7, 30), true, "07:30:00");
    night.tick(at(7, 30));
    EXPECT_EQ(night.gain(), 0.0);
    night.followAlarm(at(7, 31, 59), true, "07:30:00");
    EXPECT_EQ(*night.alarmFadeEnd(), at(7, 30));
    EXPECT_EQ(night.gain(), 0.0);
    // …then the next day's alarm time, and the sounds back.
    night.followAlarm(at(7, 32), true, "07:30:00");
    EXPECT_EQ(*night.alarmFadeEnd(), at(7, 30, 0, 101));
    EXPECT_EQ(night.gain(), 1.0);

    // Disarmed, or without its close and shut-down options: no fade at all.
    night.followAlarm(at(7, 40), false, "07:30:00");
    EXPECT_FALSE(night.alarmFadeEnd());
    EXPECT_FALSE(night.ticking());
    // A time already gone today is tomorrow's; "off" clears the fade.
    now = at(23, 0);
    night.followAlarm(now, true, "06:15:00");
    EXPECT_EQ(*night.alarmFadeEnd(), at(6, 15, 0, 101));
    night.setAlarmFadeMinutes(0);
    EXPECT_FALSE(night.alarmFadeEnd());
    EXPECT_EQ(night.gain(), 1.0);
}

TEST(NightParts, AlarmTimesAndTheSystemClock)
{
    EXPECT_EQ(Night::parseTime("07:30:00")->minute, 30);
    EXPECT_EQ(Night::parseTime("23:59:59")->hour, 23);
    for (const char* bad : {"", "7:30:00", "24:00:00", "07:60:00", "07-30-00", "07:30:0x", "07:30:000"})
        EXPECT_FALSE(Night::parseTime(bad)) << bad;

    const NightClock clock = NightClock::system();
    const std::int64_t now = clock.now();
    const ClockTime t{3, 4, 5};
    const std::int64_t today = clock.dayAt(now, t, 0);
    const ClockTime back = clock.timeOfDay(today);
    EXPECT_EQ(back.hour * 3600 + back.minute * 60 + back.second, 3 * 3600 + 4 * 60 + 5);
    EXPECT_LT(std::abs(today - now), kDay);
    const std::int64_t tomorrow = clock.dayAt(now, t, 1);
    EXPECT_GE(tomorrow - today, kDay - 3'600'000) << "a day, give or take a change of summer time";
    EXPECT_LE(tomorrow - today, kDay + 3'600'000);
}
