#include "player/alarm/alarmclock.h"

#include "../player_core/fakebinding.h"
#include "common/atomicfile.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

using namespace sonaveil;
using namespace sonaveil::player;

namespace {

// An alarm clock on a fake clock: advance() moves the time of day and runs every timer that
// falls due, in 10 ms steps, as the window's timers would. A sleeping rig runs the alarm check
// as the window does: each time after checkDelayMs(), and again whenever the arming changes.
class Rig {
public:
    explicit Rig(int startSecondOfDay = 7 * 3600 + 29 * 60 + 50, int phaseMs = 0, bool sleeping = false)
        : m_wallOffset(std::int64_t(startSecondOfDay) * 1000 + phaseMs), m_sleeping(sleeping)
    {
        AlarmClock::Hooks hooks;
        hooks.now = [this] {
            const int s = int(((m_ms + m_wallOffset) / 1000) % 86400);
            return TimeOfDay{s / 3600, s / 60 % 60, s % 60};
        };
        hooks.display = [this](int line, const std::string& text) { lines[line] = text; };
        hooks.closeProgram = [this] { ++closes; };
        hooks.powerOff = [this](int seconds) { powerOffs.push_back(seconds); };
        hooks.timerChanged = [this](AlarmClock::Timer t, bool running) {
            if (running)
                m_due[std::size_t(t)] = m_ms + interval(t);
        };
        hooks.armingChanged = [this] {
            ++armingChanges;
            if (m_sleeping)
                m_due[AlarmClock::AlarmCheck] = m_ms + interval(AlarmClock::AlarmCheck);
        };
        alarm = std::make_unique<AlarmClock>(audio, folder.path().string(), hooks);
    }

    void advance(int ms)
    {
        for (int step = 0; step < ms; step += 10) {
            m_ms += 10;
            for (int t = 0; t < AlarmClock::kTimerCount; ++t) {
                const auto timer = AlarmClock::Timer(t);
                if (alarm->timerRunning(timer) && m_due[std::size_t(t)] <= m_ms) {
                    if (m_sleeping && timer == AlarmClock::AlarmCheck)
                        ++checks;
                    alarm->tick(timer);
                    m_due[std::size_t(t)] = (m_sleeping ? m_ms : m_due[std::size_t(t)]) + interval(timer);
                }
            }
        }
    }
    // The clock of the day steps (as when the system time is set); the timers keep their pace.
    void jumpTo(int secondOfDay)
    {
        const std::int64_t wall = m_ms + m_wallOffset;
        m_wallOffset = std::int64_t(secondOfDay) * 1000 + wall % 1000 - m_ms;
    }
    std::string time() const { return alarm->hooks().now().text(); }
    int interval(AlarmClock::Timer t) const
    {
        if (!m_sleeping || t != AlarmClock::AlarmCheck)
            return AlarmClock::kIntervalMs[std::size_t(t)];
        // The window's 5 ms past the second, rounded up to the rig's steps.
        return alarm->checkDelayMs(int((m_ms + m_wallOffset) % 1000)) + 10;
    }

    void writeFile(const std::string& name, const std::string& bytes)
    {
        std::ofstream(folder / name, std::ios::binary) << bytes;
    }
    FakeBinding::Channel* channel() { return audio.live(alarm->channel()); }

    FakeBinding audio;
    TempFolder folder;
    std::map<int, std::string> lines;
    int closes = 0;
    std::vector<int> powerOffs;
    int armingChanges = 0;
    int checks = 0;                 // alarm checks run by a sleeping rig
    std::unique_ptr<AlarmClock> alarm;

private:
    std::int64_t m_ms = 0;          // the timers' steady clock
    std::int64_t m_wallOffset;      // the time of day is m_ms + this
    bool m_sleeping;
    std::array<std::int64_t, AlarmClock::kTimerCount> m_due{};
};

constexpr int at(int h, int m, int s) { return h * 3600 + m * 60 + s; }

// Loaded and armed for 07:30 with the given duration index.
void armFor0730(Rig& r, int durationIndex = 0)
{
    r.alarm->load();
    r.alarm->setTime("07:30:00");
    r.alarm->setDurationIndex(durationIndex);
    r.alarm->arm();
}

// Armed for 07:30 with the fade in, rising to `volume`.
void armFadingFor0730(Rig& r, int volume)
{
    armFor0730(r, 2);
    r.alarm->setFadeIn(true);
    r.alarm->setVolume(volume);
}

} // namespace

TEST(AlarmSettingsFile, EightFieldsByteForByte)
{
    AlarmSettings s;
    s.time = "07:30:00";
    s.durationIndex = 1;
    s.repeat = true;
    s.fadeIn = false;
    s.volume = 200;
    s.closeProgram = false;
    s.shutDown = true;
    s.file = "/home/me/Sonaveil/config/alarms/default.wav";
    EXPECT_EQ(s.toFileText(), "\"07:30:00\",1,1,0,200,0,1,\"/home/me/Sonaveil/config/alarms/default.wav\"\r\n");
    EXPECT_EQ(AlarmSettings{}.toFileText(), "\"00:00:00\",-1,0,0,100,0,0,\"\"\r\n");

    AlarmSettings back;
    EXPECT_EQ(back.readFileText(s.toFileText()), 8);
    EXPECT_EQ(back.toFileText(), s.toFileText());
    // Lenient reading: blanks, line breaks between fields, #TRUE#.
    EXPECT_EQ(back.readFileText(" \"06:05:00\" , 5\n#TRUE#,0,255,1,0,\"/a b,c.wav\""), 8);
    EXPECT_EQ(back.time, "06:05:00");
    EXPECT_EQ(back.durationIndex, 5);
    EXPECT_TRUE(back.repeat);
    EXPECT_EQ(back.file, "/a b,c.wav");
}

TEST(AlarmSettingsFile, DamagedFieldLeavesItAndTheRestAsTheyWere)
{
    AlarmSettings s;
    EXPECT_EQ(s.readFileText("\"07:45:00\",2,1,x,50,0,0,\"f.wav\""), 3);
    EXPECT_EQ(s.time, "07:45:00");
    EXPECT_EQ(s.durationIndex, 2);
    EXPECT_TRUE(s.repeat);
    EXPECT_FALSE(s.fadeIn);
    EXPECT_EQ(s.volume, 100);
    EXPECT_EQ(s.file, "");
    AlarmSettings t;
    EXPECT_EQ(t.readFileText("\"25:00:00\",2"), 0);
    EXPECT_EQ(t.readFileText("\"07:00:00\",9"), 1); // no such duration
    EXPECT_EQ(t.durationIndex, -1);
    EXPECT_EQ(t.readFileText(""), 0);
    // A volume beyond the slider is taken at its end.
    EXPECT_EQ(t.readFileText("\"07:00:00\",0,0,0,999,0,0,\"a\""), 8);
    EXPECT_EQ(t.volume, 255);
}

TEST(AlarmClockStart, DefaultsWithoutFileAndRestoredAfterRestart)
{
    Rig r;
    r.alarm->load();
    EXPECT_EQ(r.alarm->time(), "00:00:00");
    EXPECT_EQ(r.alarm->durationText(), "60");
    EXPECT_EQ(r.alarm->durationIndex(), -1);
    EXPECT_FALSE(r.alarm->repeat());
    EXPECT_FALSE(r.alarm->fadeIn());
    EXPECT_EQ(r.alarm->volume(), 100);
    EXPECT_EQ(r.alarm->file(), (r.folder / "config/alarms/default.wav").string());
    EXPECT_FALSE(r.alarm->armed());
    EXPECT_TRUE(r.alarm->timerRunning(AlarmClock::AlarmCheck));
    EXPECT_TRUE(r.alarm->timerRunning(AlarmClock::Clock));
    EXPECT_FALSE(r.alarm->timerRunning(AlarmClock::Fade));
    EXPECT_FALSE(r.alarm->timerRunning(AlarmClock::Countdown));
    EXPECT_EQ(r.lines[1], "Time:07:29:50");
    r.advance(2000);
    EXPECT_EQ(r.lines[1], "Time:07:29:52");

    r.alarm->setTime("06:15:00");
    r.alarm->setDurationIndex(4);
    r.alarm->setRepeat(true);
    r.alarm->setFadeIn(true);
    r.alarm->setVolume(180);
    r.alarm->setFile("/music/wake up.ogg");
    r.alarm->setShutDown(true);
    r.alarm->arm();
    ASSERT_TRUE(r.alarm->unload());
    EXPECT_FALSE(r.alarm->timerRunning(AlarmClock::Clock));
    EXPECT_EQ(*readWholeFile(r.folder / "alarm.tmp"), "\"06:15:00\",4,1,1,180,0,1,\"/music/wake up.ogg\"\r\n");

    AlarmClock again(r.audio, r.folder.path().string(), {});
    again.load();
    EXPECT_EQ(again.time(), "06:15:00");
    EXPECT_EQ(again.durationText(), "300");
    EXPECT_TRUE(again.repeat());
    EXPECT_FALSE(again.durationEnabled());
    EXPECT_TRUE(again.fadeIn());
    EXPECT_EQ(again.volume(), 180);
    EXPECT_EQ(again.file(), "/music/wake up.ogg");
    // Not armed, and a sleep option of last night is not carried into this one.
    EXPECT_FALSE(again.armed());
    EXPECT_FALSE(again.shutDown());
    EXPECT_FALSE(again.closeProgram());
}

TEST(AlarmClockLine, ArmedLineFollowsTheTimeAtOnce)
{
    Rig r;
    armFor0730(r);
    EXPECT_EQ(r.lines[2], "Alarm:07:30:00");
    r.alarm->setTime("07:45:00");
    EXPECT_EQ(r.lines[2], "Alarm:07:45:00");
    r.alarm->setTime("not a time");
    EXPECT_EQ(r.alarm->time(), "07:45:00");
    r.alarm->disarm();
    EXPECT_EQ(r.lines[2], "Alarm:Off");
    EXPECT_EQ(r.alarm->armedFlag(), "False");
    r.alarm->setTime("08:00:00");
    EXPECT_EQ(r.lines[2], "Alarm:Off");
}

TEST(AlarmClockFiring, PlaysLoopedAtTheSetVolumeAndStopsAfterTheDuration)
{
    Rig r;
    armFor0730(r, 0); // 10 seconds
    r.alarm->setVolume(170);
    r.advance(9000);
    EXPECT_EQ(r.time(), "07:29:59");
    EXPECT_FALSE(r.alarm->playing());
    r.advance(1000);
    EXPECT_EQ(r.time(), "07:30:00");
    ASSERT_TRUE(r.alarm->playing());
    EXPECT_EQ(r.lines[2], "Alarm:Playing");
    EXPECT_FALSE(r.alarm->armed());
    ASSERT_NE(r.channel(), nullptr);
    EXPECT_EQ(r.channel()->volume, 170);
    EXPECT_EQ(r.channel()->loop, audio::kLoopNormal);
    EXPECT_EQ(r.audio.loaded.back(), r.alarm->file());
    EXPECT_TRUE(r.alarm->timerRunning(AlarmClock::Countdown));

    r.advance(10500);
    EXPECT_NE(r.channel(), nullptr) << "still playing after 10.5 s";
    EXPECT_EQ(r.lines[2], "Alarm:Playing");
    r.advance(1000);
    EXPECT_EQ(r.channel(), nullptr) << "stopped after about 11 s";
    EXPECT_EQ(r.lines[2], "Alarm:Off");
    EXPECT_FALSE(r.alarm->playing());
    EXPECT_FALSE(r.alarm->timerRunning(AlarmClock::Countdown));
    EXPECT_EQ(r.alarm->countdown(), 0);
    // Disarmed: the same minute does not fire again.
    r.advance(30000);
    EXPECT_EQ(r.audio.loaded.size(), 1u);
}

TEST(AlarmClockFiring, TheMinuteCannotBeMissedNorFireTwice)
{
    // The sleep timer asks for the power-off once, however many ticks fall within the minute.
    Rig late(at(7, 29, 58), 995);
    armFor0730(late);
    late.alarm->setShutDown(true);
    late.advance(1000);
    EXPECT_EQ(late.time(), "07:29:59");
    EXPECT_TRUE(late.powerOffs.empty());
    late.advance(1000);
    ASSERT_EQ(late.powerOffs, std::vector<int>{30});
    // A whole minute of ticks, and the clock stepping back into the minute: asked once only.
    late.advance(61000);
    late.jumpTo(at(7, 30, 5));
    late.advance(5000);
    EXPECT_EQ(late.powerOffs.size(), 1u);
    EXPECT_TRUE(late.alarm->armed()) << "the shut-down leaves the alarm armed";
    EXPECT_FALSE(late.alarm->playing());

    // A tick that comes only at 07:30:01.
    Rig skipped(at(7, 29, 59));
    armFor0730(skipped);
    skipped.jumpTo(at(7, 30, 1));
    skipped.advance(1000);
    EXPECT_TRUE(skipped.alarm->playing());

    // The clock stepping into the minute from far away.
    Rig stepped(at(5, 0, 0));
    armFor0730(stepped);
    stepped.jumpTo(at(7, 30, 40));
    stepped.advance(1000);
    EXPECT_TRUE(stepped.alarm->playing());

    // Arming again after firing allows one more alarm.
    late.alarm->arm();
    late.jumpTo(at(7, 30, 10));
    late.advance(1000);
    EXPECT_EQ(late.powerOffs.size(), 2u);
}

TEST(AlarmClockFiring, FadeRisesToTheSetVolumeInTenSeconds)
{
    Rig r(at(7, 29, 59));
    armFadingFor0730(r, 200);
    r.advance(1000);
    ASSERT_TRUE(r.alarm->playing());
    EXPECT_EQ(r.alarm->volume(), 0);
    EXPECT_EQ(r.channel()->volume, 0);
    EXPECT_TRUE(r.alarm->timerRunning(AlarmClock::Fade));
    r.advance(5000);
    EXPECT_NEAR(r.alarm->volume(), 100, 1);
    EXPECT_EQ(r.channel()->volume, r.alarm->volume());
    // Stored meanwhile, the volume is the one the user set, not the fade's.
    EXPECT_EQ(r.alarm->settings().volume, 200);
    r.advance(4900);
    EXPECT_LT(r.alarm->volume(), 200);
    r.advance(100);
    EXPECT_EQ(r.alarm->volume(), 200);
    EXPECT_EQ(r.channel()->volume, 200);
    EXPECT_FALSE(r.alarm->timerRunning(AlarmClock::Fade));

    // Stopped during a fade, the slider returns to where the user set it.
    Rig s(at(7, 29, 59));
    armFadingFor0730(s, 90);
    s.advance(2000);
    s.alarm->stopAlarm();
    EXPECT_EQ(s.alarm->volume(), 90);
    EXPECT_FALSE(s.alarm->timerRunning(AlarmClock::Fade));
    EXPECT_EQ(s.lines[2], "Alarm:Off");
}

TEST(AlarmClockFiring, SleepOptions)
{
    Rig r(at(7, 29, 59));
    armFor0730(r);
    r.alarm->setCloseProgram(true);
    EXPECT_TRUE(r.alarm->closeProgram());
    r.alarm->setShutDown(true);
    EXPECT_TRUE(r.alarm->shutDown());
    EXPECT_FALSE(r.alarm->closeProgram());
    r.alarm->setCloseProgram(true);
    EXPECT_FALSE(r.alarm->shutDown());
    r.advance(3000);
    EXPECT_EQ(r.closes, 1);
    EXPECT_TRUE(r.powerOffs.empty());
    EXPECT_FALSE(r.alarm->timerRunning(AlarmClock::AlarmCheck));
    EXPECT_TRUE(r.audio.loaded.empty()) << "no alarm sound";
}

TEST(AlarmClockFiring, RepeatPlaysUntilStopped)
{
    Rig r(at(7, 29, 59));
    armFor0730(r, 0);
    r.alarm->setRepeat(true);
    EXPECT_EQ(r.alarm->foreverFlag(), 1);
    EXPECT_FALSE(r.alarm->durationEnabled());
    r.advance(1000);
    EXPECT_FALSE(r.alarm->timerRunning(AlarmClock::Countdown));
    r.advance(60000);
    EXPECT_NE(r.channel(), nullptr);
    r.alarm->stopAlarm();
    EXPECT_EQ(r.channel(), nullptr);
    EXPECT_EQ(r.lines[2], "Alarm:Off");
}

TEST(AlarmClockFiring, StopAlarmResetsTheCountSoTheNextAlarmPlaysItsWholeDuration)
{
    Rig r(at(7, 29, 59));
    armFor0730(r, 0);
    r.advance(6000);
    r.alarm->stopAlarm();
    r.alarm->setTime("07:31:00");
    r.alarm->arm();
    r.advance(55000);
    ASSERT_TRUE(r.alarm->playing());
    r.advance(10000);
    EXPECT_TRUE(r.alarm->playing());
}

TEST(AlarmClockSound, UndecodableFilePlaysTheDefaultSound)
{
    Rig r(at(7, 29, 59));
    armFor0730(r);
    r.alarm->setFile("/music/broken.mp3");
    r.audio.missing["/music/broken.mp3"] = 1;
    r.advance(1000);
    ASSERT_NE(r.channel(), nullptr);
    EXPECT_EQ(r.audio.loaded, (std::vector<std::string>{"/music/broken.mp3", r.alarm->defaultFile()}));
    EXPECT_EQ(r.lines[2], "Alarm:Playing");
    // Paths the settings file cannot hold are refused.
    r.alarm->setFile("/music/say \"hi\".wav");
    r.alarm->setFile("/music/two\nlines.wav");
    EXPECT_EQ(r.alarm->file(), "/music/broken.mp3");
}

TEST(AlarmClockTest, TestAndStopTest)
{
    Rig r;
    armFor0730(r);
    r.alarm->setVolume(60);
    r.alarm->testAlarm();
    EXPECT_TRUE(r.alarm->testing());
    ASSERT_NE(r.channel(), nullptr);
    EXPECT_EQ(r.channel()->volume, 60);
    EXPECT_EQ(r.channel()->loop, audio::kLoopNormal);
    r.alarm->setVolume(90);
    EXPECT_EQ(r.channel()->volume, 90);
    r.alarm->stopTest();
    EXPECT_FALSE(r.alarm->testing());
    EXPECT_EQ(r.channel(), nullptr);
    // "Stop Test" after "Alarm On" leaves the alarm disarmed, and says so: 07:30 passes in silence.
    EXPECT_FALSE(r.alarm->armed());
    EXPECT_EQ(r.lines[2], "Alarm:Off");
    r.advance(20000);
    EXPECT_FALSE(r.alarm->playing());
    EXPECT_EQ(r.audio.loaded.size(), 1u);
}

TEST(AlarmClockTest, AlarmFiringDuringATestStopsTheTestSound)
{
    Rig r(at(7, 29, 59));
    armFor0730(r);
    r.alarm->testAlarm();
    const audio::ChannelHandle test = r.alarm->channel();
    r.advance(1000);
    ASSERT_TRUE(r.alarm->playing());
    EXPECT_EQ(r.audio.live(test), nullptr);
    EXPECT_FALSE(r.alarm->testing());
    EXPECT_NE(r.channel(), nullptr);
    EXPECT_EQ(r.lines[2], "Alarm:Playing");
    // "Stop Test", still on the window, stops the alarm too: line 2 follows at once.
    r.alarm->stopTest();
    EXPECT_EQ(r.channel(), nullptr);
    EXPECT_FALSE(r.alarm->playing());
    EXPECT_EQ(r.lines[2], "Alarm:Off");
    EXPECT_FALSE(r.alarm->timerRunning(AlarmClock::Countdown));
    r.advance(12000);
    EXPECT_EQ(r.lines[2], "Alarm:Off");
}

TEST(AlarmClockDuration, TextDecidesHowLong)
{
    Rig r;
    r.alarm->load();
    EXPECT_EQ(r.alarm->durationSeconds(), 60);
    r.alarm->setDurationIndex(5);
    EXPECT_EQ(r.alarm->durationSeconds(), 600);
    r.alarm->setDurationText("45");
    EXPECT_EQ(r.alarm->durationSeconds(), 45);
    EXPECT_EQ(r.alarm->durationIndex(), -1);
    r.alarm->setDurationText("30");
    EXPECT_EQ(r.alarm->durationIndex(), 1);
    // A text without a number would end the alarm at once: it counts as the design 60 seconds.
    r.alarm->setDurationText("soon");
    EXPECT_EQ(r.alarm->durationSeconds(), 60);
}

TEST(AlarmClockSleepingCheck, FiresAtItsMinuteWhileWakingRarely)
{
    // Armed at 05:00 for 07:30: the check sleeps in steps of kCheckSleepMs and wakes within the
    // first second of 07:30.
    Rig r(at(5, 0, 0), 400, true);
    armFor0730(r, 0);
    r.advance(at(2, 29, 59) * 1000 + 590);
    EXPECT_EQ(r.time(), "07:29:59");
    EXPECT_FALSE(r.alarm->playing());
    EXPECT_LE(r.checks, at(2, 30, 0) * 1000 / AlarmClock::kCheckSleepMs + 2);
    r.advance(30);
    EXPECT_EQ(r.time(), "07:30:00");
    EXPECT_TRUE(r.alarm->playing()) << "fired within 20 ms of the minute";

    // Disarmed, the check only wakes at its longest sleep.
    EXPECT_EQ(r.alarm->checkDelayMs(0), AlarmClock::kCheckSleepMs);
    // Within the set minute an armed check is due at once; just after it, a day later at most
    // the longest sleep.
    Rig d(at(7, 30, 30), 0, true);
    armFor0730(d, 0);
    d.alarm->setShutDown(true);
    EXPECT_EQ(d.alarm->checkDelayMs(0), 0);
    d.jumpTo(at(7, 31, 0));
    EXPECT_EQ(d.alarm->checkDelayMs(0), AlarmClock::kCheckSleepMs);
    d.jumpTo(at(7, 29, 58));
    EXPECT_EQ(d.alarm->checkDelayMs(250), 1750);
}

TEST(AlarmClockSleepingCheck, ANewTimeOrAStepOfTheClockIsNotSleptThrough)
{
    // The check sleeps its longest; then the alarm is set for the next minute, 3 s away: the
    // change wakes it, and the alarm fires at the minute, not up to kCheckSleepMs late.
    Rig r(at(7, 29, 35), 0, true);
    r.alarm->load();
    r.alarm->setDurationIndex(0);
    r.advance(22000);
    EXPECT_EQ(r.time(), "07:29:57");
    const int before = r.armingChanges;
    r.alarm->setTime("07:30:00");
    r.alarm->arm();
    EXPECT_GT(r.armingChanges, before);
    r.advance(2990);
    EXPECT_FALSE(r.alarm->playing());
    r.advance(20);
    EXPECT_TRUE(r.alarm->playing());

    // The system clock steps from 05:00 into 07:30:40: the sleeping check still catches the
    // minute.
    Rig stepped(at(5, 0, 0), 0, true);
    armFor0730(stepped);
    stepped.advance(4000);
    stepped.jumpTo(at(7, 30, 40));
    stepped.advance(AlarmClock::kCheckSleepMs + 20);
    EXPECT_TRUE(stepped.alarm->playing());

    // Every change that can change whether the alarm ends the night is told.
    Rig t;
    t.alarm->load();
    for (auto change : std::initializer_list<std::function<void()>>{
             [&] { t.alarm->arm(); }, [&] { t.alarm->setTime("06:00:00"); },
             [&] { t.alarm->setCloseProgram(true); }, [&] { t.alarm->setShutDown(true); },
             [&] { t.alarm->disarm(); }}) {
        const int n = t.armingChanges;
        change();
        EXPECT_GT(t.armingChanges, n);
    }
}

// While a hearing measure holds the alarm, nothing of it reaches the output: an alarm due then
// waits and sounds whole (its fade, its full duration) when the hold ends; a ringing one, a
// test sound and a rising fade stay silent until then; "Alarm Off" meanwhile ends the wait.
TEST(AlarmClockHeld, DueDuringAMeasureItSoundsWholeAfterwards)
{
    Rig r(at(7, 29, 59));
    armFor0730(r, 0); // 10 seconds
    r.alarm->setVolume(170);
    r.alarm->setHeld(true);
    r.advance(30000);
    EXPECT_FALSE(r.alarm->playing());
    EXPECT_TRUE(r.alarm->waiting());
    EXPECT_EQ(r.channel(), nullptr) << "nothing started while held";
    r.alarm->setHeld(false);
    ASSERT_TRUE(r.alarm->playing());
    ASSERT_NE(r.channel(), nullptr);
    EXPECT_EQ(r.channel()->volume, 170);
    r.advance(10500);
    EXPECT_TRUE(r.alarm->playing()) << "the whole duration, counted from when it sounds";

    // Ringing with a fade when a measure starts: silent through the fade's ticks, back after.
    Rig f(at(7, 29, 59));
    armFadingFor0730(f, 200);
    f.advance(3000);
    ASSERT_TRUE(f.alarm->playing());
    f.alarm->setHeld(true);
    EXPECT_EQ(f.channel()->volume, 0);
    f.advance(2000);
    EXPECT_GT(f.alarm->volume(), 0) << "the fade goes on";
    EXPECT_EQ(f.channel()->volume, 0) << "but none of it is heard";
    f.alarm->testAlarm();
    EXPECT_EQ(f.channel()->volume, 0);
    f.alarm->setHeld(false);
    EXPECT_EQ(f.channel()->volume, f.alarm->volume());

    // Turned off while it waits: it never sounds.
    Rig o(at(7, 29, 59));
    armFor0730(o);
    o.alarm->setHeld(true);
    o.advance(2000);
    ASSERT_TRUE(o.alarm->waiting());
    o.alarm->disarm();
    EXPECT_FALSE(o.alarm->waiting());
    o.alarm->setHeld(false);
    EXPECT_FALSE(o.alarm->playing());
    EXPECT_EQ(o.channel(), nullptr);
}
