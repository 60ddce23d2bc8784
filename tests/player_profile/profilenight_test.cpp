// The rest of the player around the profile: the mix and the alarm while a measure runs, heard
// at the sound server's sink, and the diary's daily reminder through the real timer and notice.
#include "playerfixture.h"

#include "../audio_pulse/monitorrecorder.h"
#include "player/app/tinnitusprofile.h"
#include "player/app/tinnituswindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using namespace sonaveil;
using namespace sonaveil::player;
using namespace std::chrono_literals;

namespace {

constexpr int kRate = 48000;

// The loudest sample at the sink over `seconds` from now, in dB of full scale; -200 for silence
// and for a recording that did not come.
double peakOverNext(MonitorRecorder& sink, double seconds)
{
    const std::size_t from = sink.frames();
    const auto frames = std::size_t(seconds * kRate);
    // The event loop runs meanwhile, so that the player's timers tick.
    QElapsedTimer deadline;
    deadline.start();
    while (sink.frames() < from + frames && deadline.elapsed() < 30'000)
        QTest::qWait(20);
    const std::vector<float> s = sink.samples();
    if (s.size() < 2 * (from + frames))
        return -200.0;
    float peak = 0;
    for (std::size_t i = 2 * from; i < 2 * (from + frames); ++i)
        peak = std::max(peak, std::fabs(s[i]));
    return peak > 0 ? 20 * std::log10(peak) : -200.0;
}

// Waits (up to 20 s of sound) until the sink is louder than `db`; the peak that came.
double waitForSound(MonitorRecorder& sink, double db)
{
    double peak = -200.0;
    for (int i = 0; i < 40 && peak <= db; ++i)
        peak = std::max(peak, peakOverNext(sink, 0.5));
    return peak;
}

} // namespace

// A measure silences the mix and the alarm; they come back when it ends. An alarm due during a
// measure waits: it starts when the measure ends, and nothing of it is heard before.
TEST(ProfileAndNight, TheMixAndTheAlarmAreSilentDuringAMeasureAndComeBackAfter)
{
    PlayerFixture f;
    // The program folder's alarm sound and the mix's sounds, as the build makes them.
    const char* dist = std::getenv("SONAVEIL_DIST");
    ASSERT_NE(dist, nullptr) << "SONAVEIL_DIST names the built program folder";
    std::filesystem::create_directories(f.file("config/alarms"));
    std::filesystem::create_symlink(std::filesystem::path(dist) / "config/alarms/default.wav",
                                    f.file("config/alarms/default.wav"));
    Player& p = f.start();
    MonitorRecorder sink("sonaveil_test.monitor", kRate);
    ASSERT_TRUE(sink.start()) << "cannot record the sink's monitor";
    p.tinnitus().setMatch(5200, MatchKind::Tone);
    p.profile()->showWindow();
    TinnitusWindow* w = p.profile()->window();

    // The mix plays; the loudness match holds it silent, with only its quiet tone at the sink.
    p.model().setCheck(3, CheckState::Checked);
    ASSERT_TRUE(voicesStarted(p));
    EXPECT_GT(waitForSound(sink, -45), -45) << "the mix is heard before the measure";
    click(w->button("cmdLoudness"));
    ASSERT_EQ(p.profile()->session().running(), ProfileSession::Measure::Loudness);
    peakOverNext(sink, 0.5); // the mix's fade out
    EXPECT_LT(peakOverNext(sink, 1.0), SafeSound::kStartDb + 1) << "the mix is silent during the measure";
    QTest::keyClick(w, Qt::Key_Escape);
    EXPECT_GT(waitForSound(sink, -45), -45) << "the mix comes back after the measure";
    p.model().setCheck(3, CheckState::Unchecked);

    // The alarm falls due during the next measure.
    TimeOfDay now{7, 29, 58};
    p.alarm().hooks().now = [&now] { return now; };
    p.alarm().setTime("07:30:00");
    p.alarm().setVolume(255);
    p.alarm().arm();
    click(w->button("cmdLoudness"));
    ASSERT_EQ(p.profile()->session().running(), ProfileSession::Measure::Loudness);
    now = {7, 30, 0};
    for (int i = 0; i < 200 && !p.alarm().waiting() && !p.alarm().playing(); ++i)
        QTest::qWait(50);
    ASSERT_TRUE(p.alarm().waiting() || p.alarm().playing()) << "the alarm's check did not see its minute";
    EXPECT_TRUE(p.alarm().waiting()) << "due during a measure, the alarm waits for its end";
    EXPECT_FALSE(p.alarm().playing());
    EXPECT_LT(peakOverNext(sink, 1.5), SafeSound::kStartDb + 1) << "nothing of the alarm is heard during the measure";
    now = {7, 31, 0};
    QTest::keyClick(w, Qt::Key_Escape);
    EXPECT_TRUE(p.alarm().playing()) << "the alarm starts when the measure ends";
    EXPECT_GT(waitForSound(sink, -40), -40) << "and is heard";
    p.alarm().stopAlarm();

    // Ringing already when a measure starts: silent during it, heard again after.
    p.alarm().testAlarm();
    EXPECT_GT(waitForSound(sink, -40), -40);
    click(w->button("cmdLoudness"));
    peakOverNext(sink, 0.3);
    EXPECT_LT(peakOverNext(sink, 1.0), SafeSound::kStartDb + 1) << "a ringing alarm is held silent";
    QTest::keyClick(w, Qt::Key_Escape);
    EXPECT_GT(waitForSound(sink, -40), -40) << "and sounds again after";
    p.alarm().stopTest();
}

// The time picked in the diary's page arms the reminder at once: at that time the player offers
// the diary by a notice, and the notice's button opens the entry form.
TEST(ProfileAndNight, TheReminderAtThePickedTimeOffersTheDiary)
{
    PlayerFixture f;
    Player& p = f.start();
    // Two seconds before eight in the morning, moving as the real clock does.
    const QDateTime start(QDate(2026, 3, 2), QTime(7, 59, 58));
    QElapsedTimer elapsed;
    elapsed.start();
    p.profile()->clock = [&] { return start.addMSecs(elapsed.elapsed()); };
    p.profile()->showWindow(TinnitusWindow::DiaryTab);
    TinnitusWindow* w = p.profile()->window();
    auto* time = w->findChild<QComboBox*>("cboRemindTime");
    auto* atTime = w->findChild<QCheckBox*>("chkRemindAtTime");
    ASSERT_NE(time, nullptr);
    ASSERT_NE(atTime, nullptr);
    const auto noticesBefore = f.dialogs.notices.size();
    click(atTime);
    time->setCurrentIndex(time->findText("08:00"));
    ASSERT_EQ(time->currentText(), "08:00");
    w->close();

    for (int i = 0; i < 300 && f.dialogs.notices.size() == noticesBefore; ++i)
        QTest::qWait(50);
    ASSERT_EQ(f.dialogs.notices.size(), noticesBefore + 1) << "no notice at the picked time";
    EXPECT_GE(p.profile()->clock(), QDateTime(start.date(), QTime(8, 0))) << "not before its time";
    EXPECT_TRUE(f.dialogs.notices.back().contains("this morning"));
    EXPECT_TRUE(f.dialogs.notices.back().endsWith("|Open the diary"));
    f.dialogs.noticeActions.back()();
    ASSERT_TRUE(w->isVisible());
    EXPECT_EQ(w->tabs()->currentIndex(), int(TinnitusWindow::DiaryTab));
    EXPECT_TRUE(w->findChild<QWidget*>("sldLoudness")->isEnabled());
}
