#include "playerfixture.h"

#include "common/atomicfile.h"
#include "controls/multibuttonwidget.h"
#include "controls/ucsliderwidget.h"
#include "lumidot/lcd.h"
#include "player/app/mainwindow.h"
#include "player/app/pitchmatchwindow.h"
#include "player/app/alarmwindow.h"
#include "player/app/equaliserwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace sonaveil;
using namespace sonaveil::player;
namespace fs = std::filesystem;

// How long the player's own timers (a tick every 250 ms, the alarm followed once a second) may
// take to act on a moved clock on a loaded machine.
constexpr int kTimerDeadlineMs = 20'000;

TEST(PitchMatchWindow, FindsSavesAndStopsTheMatch)
{
    PlayerFixture f;
    Player& p = f.start();
    click(p.mainWindow()->button("cmdPitchMatch"));
    PitchMatchWindow* w = p.pitchMatchWindow();
    ASSERT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "Pitch Match");
    EXPECT_EQ(w->levelSlider()->value(), -60) << "it starts quiet";
    EXPECT_EQ(w->display()->GetDisplay(1), "4.00 kHz    Tone");

    click(w->button("cmdUpCoarse"));
    click(w->button("cmdDownFine"));
    EXPECT_EQ(p.pitchMatch().step(), 96 + 8 - 1);
    QTest::keyClick(w, Qt::Key_Right);
    EXPECT_EQ(p.pitchMatch().step(), 104);
    QTest::keyClick(w, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(p.pitchMatch().step(), 96);
    click(w->kindOption(MatchKind::Band));
    EXPECT_EQ(p.pitchMatch().kind(), MatchKind::Band);
    w->levelSlider()->setValue(-45);
    EXPECT_EQ(p.pitchMatch().levelDb(), -45.0);

    click(w->button("cmdPlay"));
    EXPECT_TRUE(p.pitchMatch().playing());
    EXPECT_EQ(w->button("cmdPlay")->caption(), "&Stop");
    click(w->button("cmdCheck"));
    EXPECT_TRUE(p.pitchMatch().checking());
    EXPECT_TRUE(w->button("cmdPickSame")->value()) << "the sounding octave is lit";
    click(w->button("cmdPickBelow"));
    EXPECT_FALSE(p.pitchMatch().checking());
    EXPECT_DOUBLE_EQ(p.pitchMatch().frequency(), 2000.0);

    click(w->button("cmdSave"));
    EXPECT_EQ(f.read("tinnitus.ini"), "[Match]\r\nFrequency=2000\r\nKind=band\r\n");
    EXPECT_EQ(w->statusLabel()->text(), "Saved: 2.00 kHz, narrow band");

    click(w->button("cmdPlay"));
    EXPECT_TRUE(p.pitchMatch().playing());
    click(w->button("cmdClose"));
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(p.pitchMatch().playing()) << "a hidden window is silent";

    // The next start finds the match again.
    f.close();
    Player& again = f.start();
    EXPECT_DOUBLE_EQ(again.pitchMatch().frequency(), 2000.0);
    EXPECT_EQ(again.pitchMatch().kind(), MatchKind::Band);
}

TEST(PitchMatchWindow, ASaveThatFailsSaysSoAndKeepsTheMatch)
{
    PlayerFixture f;
    Player& p = f.start();
    fs::create_directory(f.file("tinnitus.ini")); // a folder where the file should be
    p.pitchMatchWindow()->bringUp();
    click(p.pitchMatchWindow()->button("cmdSave"));
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_TRUE(f.dialogs.messages[0].startsWith("Sonaveil|The match could not be saved in \"tinnitus.ini\""));
    EXPECT_DOUBLE_EQ(p.pitchMatch().frequency(), 4000.0);
}

TEST(PitchMatchWindow, Picture)
{
    PlayerFixture f;
    Player& p = f.start();
    p.pitchMatchWindow()->bringUp();
    PitchMatchWindow* w = p.pitchMatchWindow();
    p.pitchMatch().setStep(101);
    const QImage image = w->grab().toImage();
    EXPECT_TRUE(image.save(pictureFolder() + "/pitch-match.png"));
    // Dragging the background moves the window.
    const QPoint before = w->pos();
    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(w->width() - 8, 8));
    QMouseEvent move(QEvent::MouseMove, QPointF(w->width() - 8 + 30, 8 + 20),
                     QPointF(w->mapToGlobal(QPoint(w->width() - 8 + 30, 8 + 20))), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(w, &move);
    QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(w->width() - 8 + 30, 8 + 20));
    EXPECT_EQ(w->pos() - before, QPoint(30, 20));
}

TEST(SleepTimer, TrayEntriesSetTheTimeAndTheEndStopsEverySound)
{
    PlayerFixture f;
    Player& p = f.start(true);
    QMenu* menu = p.tray()->menu();
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            texts << a->text();
    EXPECT_EQ(texts, (QStringList{"&Load", "&Mute", "Sleep in 30 min", "Sleep in 60 min", "Sleep in 90 min",
                                  "Cancel sleep", "My &Tinnitus…", "&Quit"}));
    Tray& tray = *p.tray();
    EXPECT_FALSE(tray.cancelSleepAction()->isEnabled());

    p.model().setCheck(1, CheckState::Checked);
    p.model().setCheck(5, CheckState::Checked);
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    tray.sleepAction(60)->trigger();
    const qint64 after = QDateTime::currentMSecsSinceEpoch();
    const auto end60 = p.night().sleep().endMs();
    ASSERT_TRUE(end60);
    EXPECT_GE(*end60, before + 60 * 60'000);
    EXPECT_LE(*end60, after + 60 * 60'000);
    EXPECT_TRUE(tray.sleepAction(60)->isChecked());
    EXPECT_FALSE(tray.sleepAction(30)->isChecked());
    EXPECT_TRUE(tray.cancelSleepAction()->isEnabled());
    const QString at = QDateTime::fromMSecsSinceEpoch(*end60).toString("HH:mm");
    EXPECT_EQ(tray.cancelSleepAction()->text(), "Cancel sleep (at " + at + ")");
    EXPECT_TRUE(line(p, 1).startsWith("Time:"));
    EXPECT_TRUE(line(p, 1).endsWith(" S" + at)) << line(p, 1).toStdString();
    EXPECT_EQ(line(p, 2), "Alarm:Off") << "the alarm line stays";

    tray.sleepAction(30)->trigger();
    EXPECT_TRUE(tray.sleepAction(30)->isChecked());
    EXPECT_FALSE(tray.sleepAction(60)->isChecked());
    tray.cancelSleepAction()->trigger();
    EXPECT_FALSE(p.night().sleep().active());
    EXPECT_FALSE(line(p, 1).contains(" S"));
    EXPECT_FALSE(tray.cancelSleepAction()->isEnabled());

    // Five minutes before the end the sounds are on their way down; at the end they stop.
    tray.sleepAction(90)->trigger();
    const qint64 end = *p.night().sleep().endMs();
    p.night().tick(end - 5 * 60'000);
    EXPECT_NEAR(p.fading().fade(), 0.25, 1e-9);
    EXPECT_TRUE(p.model().entry(1).on());
    p.night().tick(end);
    EXPECT_FALSE(p.model().entry(1).on());
    EXPECT_FALSE(p.model().entry(5).on());
    EXPECT_FALSE(tray.sleepAction(90)->isChecked());
    EXPECT_EQ(p.fading().fade(), 1.0) << "the next sound switched on plays at its own volume";
    EXPECT_FALSE(p.shutDown()) << "the player keeps running";
    EXPECT_EQ(line(p, 2), "Alarm:Off");
}

TEST(Notch, TheSwitchBesideTheEqualisersMarksLineThreeAndIsKept)
{
    PlayerFixture f;
    Player& p = f.start();
    p.equaliserWindow()->bringUp();
    EqualiserWindow* eq = p.equaliserWindow();
    controls::Multibutton* notch = eq->notchSwitch();
    ASSERT_NE(notch, nullptr);
    EXPECT_EQ(notch->parentWidget(), eq->onSwitch()->parentWidget()) << "beside check_eq";
    EXPECT_EQ(line(p, 3), "EQL:Off");
    click(notch);
    EXPECT_TRUE(notch->value());
    EXPECT_TRUE(p.bandStop().on());
    EXPECT_EQ(line(p, 3), "EQL:Off N4.0k");
    EXPECT_EQ(f.read("tinnitus.ini"), "[Notch]\r\nEnabled=1\r\nWidth=1.0\r\n");
    click(eq->onSwitch());
    EXPECT_EQ(line(p, 3), "EQL:Flat N4.0k");
    const QImage image = eq->grab().toImage();
    EXPECT_TRUE(image.save(pictureFolder() + "/equaliser-notch.png"));
    click(notch);
    EXPECT_EQ(line(p, 3), "EQL:Flat");
    EXPECT_EQ(f.read("tinnitus.ini"), "[Notch]\r\nEnabled=0\r\nWidth=1.0\r\n");

    // A new match moves the mark; the next start finds the switch on again.
    p.bandStop().setOn(true);
    p.pitchMatch().setStep(PitchLadder::nearestStep(2000));
    click(p.pitchMatchWindow()->button("cmdSave"));
    EXPECT_EQ(line(p, 3), "EQL:Flat N2.0k");
    f.close();
    Player& again = f.start();
    EXPECT_TRUE(again.equaliserWindow()->notchSwitch()->value());
    EXPECT_EQ(line(again, 3), "EQL:Flat N2.0k") << "the equaliser was left on too";
}

TEST(SleepTimer, TheAlarmWindowsFadeOutChoiceIsKeptAndFollowed)
{
    PlayerFixture f;
    f.write("tinnitus.ini", "[Sleep]\r\nAlarmFade=5\r\n");
    Player& p = f.start();
    QComboBox* list = p.alarmWindow()->fadeOutList();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->itemText(0), "off");
    EXPECT_EQ(list->itemText(2), "15 minutes");
    EXPECT_EQ(list->currentText(), "5 minutes") << "the stored choice";
    EXPECT_EQ(p.night().alarmFadeMinutes(), 5);
    list->setCurrentIndex(2);
    emit list->activated(2);
    EXPECT_EQ(TinnitusSettings::read(f.file("tinnitus.ini")).alarmFadeMinutes, 15);
    EXPECT_EQ(p.night().alarmFadeMinutes(), 15);
    p.alarmWindow()->bringUp();
    EXPECT_TRUE(p.alarmWindow()->grab().toImage().save(pictureFolder() + "/alarm-fade.png"));

    // The close option armed ten minutes ahead: the fade is set and has begun.
    p.model().setCheck(1, CheckState::Checked);
    const QDateTime at = QDateTime::currentDateTime().addSecs(10 * 60);
    p.alarm().setTime(at.time().toString("HH:mm").toStdString() + ":00");
    p.alarm().setCloseProgram(true);
    p.alarm().arm();
    ASSERT_TRUE(p.night().alarmFadeEnd()) << "the night follows the arming at once";
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.fading().fade() < 1.0; }, kTimerDeadlineMs))
        << "the fade never began";
    EXPECT_GT(p.fading().fade(), 0.0);
    p.alarm().disarm();
    EXPECT_FALSE(p.night().alarmFadeEnd());
    EXPECT_TRUE(QTest::qWaitFor([&] { return p.fading().fade() == 1.0; }, kTimerDeadlineMs))
        << "a disarmed alarm leaves the fade set";
}

namespace {

// The system's calendar with a clock the test moves.
NightClock movableClock(std::int64_t& now)
{
    NightClock clock = NightClock::system();
    clock.now = [&now] { return now; };
    return clock;
}

} // namespace

TEST(SleepTimer, ItsOwnTimerFadesAndStopsTheSoundsAsTimePasses)
{
    PlayerFixture f;
    std::int64_t now = QDateTime::currentMSecsSinceEpoch();
    f.nightClock = movableClock(now);
    Player& p = f.start(true);
    p.model().setCheck(1, CheckState::Checked);
    p.tray()->sleepAction(30)->trigger();
    // Nothing calls the tick by hand: the player's timer reads the clock.
    now += 25 * 60'000;
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.fading().fade() < 1.0; }, kTimerDeadlineMs)) << "the fade never began";
    EXPECT_NEAR(p.fading().fade(), 0.25, 0.01) << "five minutes before the end";
    EXPECT_TRUE(p.model().entry(1).on());
    now += 5 * 60'000;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !p.model().entry(1).on(); }, kTimerDeadlineMs))
        << "at 30 minutes every sound stops";
    EXPECT_FALSE(p.tray()->sleepAction(30)->isChecked());
    EXPECT_FALSE(p.shutDown());
}

TEST(SleepTimer, TheFadeBeforeTheAlarmRunsForBothOfItsOptions)
{
    for (const bool shutDown : {false, true}) {
        SCOPED_TRACE(shutDown ? "shut down" : "close the program");
        PlayerFixture f;
        std::int64_t now = QDateTime::currentMSecsSinceEpoch();
        f.nightClock = movableClock(now);
        f.write("tinnitus.ini", "[Sleep]\r\nAlarmFade=15\r\n");
        Player& p = f.start(true);
        p.model().setCheck(1, CheckState::Checked);
        // The alarm 20 minutes from the movable clock's now, on the minute.
        const QDateTime at = QDateTime::fromMSecsSinceEpoch(now).addSecs(20 * 60);
        p.alarm().setTime(at.time().toString("HH:mm").toStdString() + ":00");
        if (shutDown)
            p.alarm().setShutDown(true);
        else
            p.alarm().setCloseProgram(true);
        p.alarm().arm();
        ASSERT_TRUE(QTest::qWaitFor([&] { return p.night().alarmFadeEnd().has_value(); }, kTimerDeadlineMs))
            << "the night never learnt of the alarm";
        EXPECT_EQ(p.fading().fade(), 1.0) << "the fade has not begun 20 minutes before";
        const std::int64_t end = *p.night().alarmFadeEnd();
        now = end - 5 * 60'000;
        EXPECT_TRUE(QTest::qWaitFor([&] { return p.fading().fade() < 0.9; }, kTimerDeadlineMs))
            << "ten of the fifteen minutes are gone";
        EXPECT_GT(p.fading().fade(), 0.0);
        now = end;
        EXPECT_TRUE(QTest::qWaitFor([&] { return p.fading().fade() == 0.0; }, kTimerDeadlineMs))
            << "silent at the alarm time";
        p.alarm().disarm();
    }
}
