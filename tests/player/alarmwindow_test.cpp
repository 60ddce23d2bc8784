#include "playerfixture.h"

#include "controls/multibuttonwidget.h"
#include "controls/scombobox.h"
#include "controls/timecontrol.h"
#include "controls/ucsliderwidget.h"
#include "lumidot/lcd.h"
#include "player/app/alarmwindow.h"
#include "player/app/equaliserwindow.h"
#include "player/app/mainwindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLabel>
#include <QTest>
#include <QTime>

#include <gtest/gtest.h>

using namespace sonaveil;
using namespace sonaveil::player;

namespace {

void clickBox(QCheckBox* box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

// An alarm time a minute or two from now that stays clear of midnight.
QString soonTime()
{
    return QTime::currentTime().addSecs(120).toString("HH:mm:00");
}

// The current minute as an alarm time, with at least four seconds of it left.
QString thisMinute()
{
    while (QTime::currentTime().second() >= 56)
        QTest::qWait(200);
    return QTime::currentTime().toString("HH:mm:00");
}

class AlarmWindowTest : public ::testing::Test {
protected:
    AlarmWindowTest()
    {
        // The program folder's own alarm sound, as the build makes it.
        const char* dist = std::getenv("SONAVEIL_DIST");
        const auto sound = dist ? std::filesystem::path(dist) / "config/alarms/default.wav" : std::filesystem::path();
        std::filesystem::create_directories(f.file("config/alarms"));
        if (!sound.empty() && std::filesystem::exists(sound))
            std::filesystem::create_symlink(sound, f.file("config/alarms/default.wav"));
    }
    PlayerFixture f;
};

} // namespace

TEST_F(AlarmWindowTest, TheClockSleepsWhileItsLineIsUnseenAndIsRightTheMomentItShows)
{
    Player& p = f.start();
    AlarmWindow* a = p.alarmWindow();
    MainWindow* w = p.mainWindow();
    ASSERT_TRUE(w->isVisible());
    EXPECT_TRUE(a->timer(AlarmClock::Clock).isActive());

    w->hide(); // as in the tray
    EXPECT_FALSE(a->clockSeen());
    EXPECT_FALSE(a->timer(AlarmClock::Clock).isActive());
    w->display()->SetDisplay(1, "Time:stale");
    QTest::qWait(1100);
    EXPECT_EQ(line(p, 1), "Time:stale") << "the clock ticked while hidden";
    // The alarm check does not tick every second either: it sleeps until it may be due.
    EXPECT_TRUE(a->timer(AlarmClock::AlarmCheck).isActive());
    EXPECT_GT(a->timer(AlarmClock::AlarmCheck).remainingTime(), 1000);

    const QString before = "Time:" + QTime::currentTime().toString("HH:mm:ss");
    w->show();
    const QString after = "Time:" + QTime::currentTime().toString("HH:mm:ss");
    EXPECT_TRUE(line(p, 1) == before || line(p, 1) == after) << line(p, 1).toStdString();
    EXPECT_TRUE(a->timer(AlarmClock::Clock).isActive());
    const QString shown = line(p, 1);
    QTest::qWaitFor([&] { return line(p, 1) != shown; }, 3000);
    EXPECT_NE(line(p, 1), shown) << "the clock ticks again";
}

TEST_F(AlarmWindowTest, LoadedHiddenAtStartUpWithItsTimersRunning)
{
    Player& p = f.start();
    AlarmWindow* a = p.alarmWindow();
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->isVisible());
    EXPECT_FALSE(p.equaliserWindow()->isVisible());
    EXPECT_EQ(a->objectName(), "Alarm");
    EXPECT_EQ(a->windowTitle(), "Alarm Clock");
    EXPECT_TRUE(a->timer(AlarmClock::AlarmCheck).isActive());
    EXPECT_TRUE(a->timer(AlarmClock::Clock).isActive());
    EXPECT_FALSE(a->timer(AlarmClock::Fade).isActive());
    EXPECT_FALSE(a->timer(AlarmClock::Countdown).isActive());
    EXPECT_EQ(line(p, 2), "Alarm:Off");
    EXPECT_EQ(line(p, 3), "EQL:Off");
    // The clock line moves on by itself.
    const QString first = line(p, 1);
    EXPECT_TRUE(first.startsWith("Time:")) << first.toStdString();
    QTest::qWait(1100);
    EXPECT_NE(line(p, 1), first);

    // The four buttons of the main window are live and do their work.
    MainWindow* w = p.mainWindow();
    for (const char* name : {"chameleonButton3", "chameleonButton4", "chameleonButton22", "Multibutton1"})
        EXPECT_TRUE(w->button(name)->isEnabled()) << name;
    click(w->button("chameleonButton3"));
    EXPECT_TRUE(a->isVisible());
    click(w->button("Multibutton1"));
    EXPECT_TRUE(p.equaliserWindow()->isVisible());
    a->timeControl()->setValue("07:30");
    click(w->button("chameleonButton4"));
    EXPECT_EQ(line(p, 2), "Alarm:07:30:00");
    a->timeControl()->setValue("07:45:00");
    EXPECT_EQ(line(p, 2), "Alarm:07:45:00");
    click(w->button("chameleonButton22"));
    EXPECT_EQ(line(p, 2), "Alarm:Off");
    EXPECT_EQ(p.alarm().armedFlag(), "False");
    click(a->button("cmdClose"));
    EXPECT_FALSE(a->isVisible());
}

TEST_F(AlarmWindowTest, TheAlarmTimeIsHoursAndMinutesTypedOverTheShownOne)
{
    Player& p = f.start();
    AlarmWindow* a = p.alarmWindow();
    a->bringUp();
    controls::TimeControl* time = a->timeControl();
    time->setValue("16:28");
    EXPECT_EQ(time->model().text(), "16:28") << "no seconds to show or edit";
    time->model().mousePressedAt(0);
    for (char c : std::string("1630"))
        time->model().typeChar(char32_t(c));
    EXPECT_EQ(p.alarm().time(), "16:30:00");
    // "Play for [60] seconds": the list keeps apart from the words on both sides.
    QWidget* list = a->findChild<QWidget*>("scombobox1");
    ASSERT_NE(list, nullptr);
    for (QLabel* label : a->findChildren<QLabel*>()) {
        if (label->text() == "Play for") {
            EXPECT_GE(list->geometry().left() - label->geometry().right(), 4);
        }
        if (label->text() == "seconds") {
            EXPECT_GE(label->geometry().left() - list->geometry().right(), 4);
        }
    }
}

TEST_F(AlarmWindowTest, ControlsForwardToTheAlarm)
{
    Player& p = f.start();
    AlarmWindow* a = p.alarmWindow();
    a->show();
    AlarmClock& alarm = p.alarm();

    a->volumeSlider()->setValue(222);
    EXPECT_EQ(alarm.volume(), 222);
    emit a->durationList()->SelectionMade("30", 2); // as a click in the list
    EXPECT_EQ(alarm.durationSeconds(), 30);
    clickBox(a->repeatBox());
    EXPECT_EQ(alarm.foreverFlag(), 1);
    EXPECT_FALSE(a->durationList()->isEnabled());
    clickBox(a->repeatBox());
    EXPECT_TRUE(a->durationList()->isEnabled());
    clickBox(a->closeBox());
    EXPECT_TRUE(a->closeBox()->isChecked());
    clickBox(a->shutDownBox());
    EXPECT_TRUE(a->shutDownBox()->isChecked());
    EXPECT_FALSE(a->closeBox()->isChecked()) << "only the shut-down box stays ticked";

    // Test Alarm swaps for Stop Test; Stop Test disarms.
    click(p.mainWindow()->button("chameleonButton4"));
    EXPECT_TRUE(alarm.armed());
    click(a->button("cmdTest"));
    EXPECT_TRUE(alarm.testing());
    EXPECT_TRUE(p.engine().isPlaying(alarm.channel()));
    EXPECT_FALSE(a->button("cmdTest")->isVisible());
    EXPECT_TRUE(a->button("cmdStopTest")->isVisible());
    click(a->button("cmdStopTest"));
    EXPECT_FALSE(alarm.armed());
    EXPECT_FALSE(p.engine().isPlaying(alarm.channel()));
    EXPECT_TRUE(a->button("cmdTest")->isVisible());

    // Choose Alarm: the dialog starts in config/alarms with the filter; Cancel keeps the file.
    const std::string before = alarm.file();
    f.dialogs.files.push_back("");
    click(a->button("cmdChoose"));
    ASSERT_EQ(f.dialogs.requests.size(), 1u);
    EXPECT_EQ(f.dialogs.requests[0].folder, f.prog() + "/config/alarms");
    EXPECT_EQ(f.dialogs.requests[0].filter,
              "All Supported Samples (*.wav, *.mp3, *.ogg, *.wma)|*.wav;*.ogg;*.mp3;*.wma");
    EXPECT_EQ(QtDialogs::qtFilter(f.dialogs.requests[0].filter),
              "All Supported Samples (*.wav *.ogg *.mp3 *.wma)");
    EXPECT_EQ(alarm.file(), before);
    f.dialogs.files.push_back("/somewhere/else/rooster.ogg");
    click(a->button("cmdChoose"));
    EXPECT_EQ(alarm.file(), "/somewhere/else/rooster.ogg");
    EXPECT_EQ(a->fileLabel()->text(), "/somewhere/else/rooster.ogg");
    EXPECT_TRUE(a->fileLabel()->toolTip().isEmpty()) << "shown whole, it is not said twice";
    f.dialogs.files.push_back("/bad/\"quoted\".wav");
    click(a->button("cmdChoose"));
    EXPECT_EQ(alarm.file(), "/somewhere/else/rooster.ogg");
    EXPECT_EQ(f.dialogs.messages.size(), 1u);
    click(a->button("cmdDefault"));
    EXPECT_EQ(alarm.file(), f.file("config/alarms/default.wav").string());
}

TEST_F(AlarmWindowTest, FiresWithTheRealClockAndStopsWithStopAlarm)
{
    Player& p = f.start();
    AlarmWindow* a = p.alarmWindow();
    AlarmClock& alarm = p.alarm();
    // Armed for the current minute: the next check fires.
    a->timeControl()->setValue(thisMinute());
    alarm.arm();
    EXPECT_FALSE(a->button("cmdStopAlarm")->isEnabled());
    for (int i = 0; i < 30 && !alarm.playing(); ++i)
        QTest::qWait(100);
    ASSERT_TRUE(alarm.playing());
    EXPECT_EQ(line(p, 2), "Alarm:Playing");
    EXPECT_TRUE(a->timer(AlarmClock::Countdown).isActive());
    EXPECT_TRUE(a->button("cmdStopAlarm")->isEnabled());
    click(a->button("cmdStopAlarm"));
    EXPECT_FALSE(alarm.playing());
    EXPECT_FALSE(a->timer(AlarmClock::Countdown).isActive());
    EXPECT_EQ(line(p, 2), "Alarm:Off");
}

TEST_F(AlarmWindowTest, CloseProgramAtTheAlarmTimeWritesEveryFile)
{
    Player& p = f.start();
    p.equaliser().setOn(true);
    p.alarm().setCloseProgram(true);
    p.alarmWindow()->timeControl()->setValue(thisMinute());
    p.alarm().arm();
    bool quit = false;
    QObject::connect(&p, &Player::quitRequested, [&quit] { quit = true; });
    for (int i = 0; i < 30 && !quit; ++i)
        QTest::qWait(100);
    ASSERT_TRUE(quit);
    EXPECT_TRUE(p.shutDown());
    for (const char* name : {"previous.tmp", "scard2.tmp", "alarm.tmp", "effects.tmp"})
        EXPECT_TRUE(std::filesystem::exists(f.file(name))) << name;
    EXPECT_EQ(f.read("effects.tmp"), "#TRUE#,\"Flat\",15,15,15,15,15,15,15,15,15,15\r\n");
    EXPECT_TRUE(f.read("alarm.tmp").starts_with('"' + p.alarm().time() + "\",-1,0,0,100,1,0,\""));
    EXPECT_TRUE(f.launcher.powerOffRequests.empty());
}

TEST_F(AlarmWindowTest, ShutDownAsksTheLauncherOnce)
{
    Player& p = f.start();
    p.alarm().setShutDown(true);
    p.alarmWindow()->timeControl()->setValue(thisMinute());
    p.alarm().arm();
    for (int i = 0; i < 25 && f.launcher.powerOffRequests.empty(); ++i)
        QTest::qWait(100);
    QTest::qWait(2100); // two more checks within the minute
    EXPECT_EQ(f.launcher.powerOffRequests, std::vector<int>{30});
    EXPECT_FALSE(p.shutDown());
    EXPECT_FALSE(p.alarm().playing());
    // The screen says so: line 2 and a notice that does not wait, with a way to cancel.
    EXPECT_TRUE(line(p, 2).startsWith("Power off ")) << line(p, 2).toStdString();
    ASSERT_EQ(f.dialogs.notices.size(), 1u);
    EXPECT_TRUE(f.dialogs.notices[0].contains("power off in 30 seconds")) << f.dialogs.notices[0].toStdString();
    EXPECT_TRUE(f.dialogs.notices[0].endsWith("|Cancel shut-down"));
    EXPECT_TRUE(f.dialogs.messages.empty()) << "nothing modal";
    f.dialogs.noticeActions[0]();
    EXPECT_EQ(f.launcher.powerOffCancels, 1);
    EXPECT_EQ(line(p, 2), "Alarm:" + QString::fromStdString(p.alarm().time()));
}

TEST_F(AlarmWindowTest, SettingsComeBackAfterARestart)
{
    const QString soon = soonTime();
    {
        Player& p = f.start();
        AlarmWindow* a = p.alarmWindow();
        a->timeControl()->setValue(soon);
        a->volumeSlider()->setValue(180);
        p.alarm().setDurationIndex(0);
        clickBox(a->fadeBox());
        p.alarm().arm();
        f.close();
    }
    const std::string stored = f.read("alarm.tmp");
    EXPECT_TRUE(stored.ends_with(",0,0,1,180,0,0,\"" + f.file("config/alarms/default.wav").string() + "\"\r\n"))
        << stored;
    Player& p = f.start();
    EXPECT_EQ(p.alarm().time(), soon.toStdString());
    EXPECT_EQ(p.alarmWindow()->timeControl()->value(), soon);
    EXPECT_EQ(p.alarm().volume(), 180);
    EXPECT_EQ(p.alarmWindow()->volumeSlider()->value(), 180);
    EXPECT_TRUE(p.alarmWindow()->fadeBox()->isChecked());
    EXPECT_EQ(p.alarmWindow()->durationList()->text(), "10");
    EXPECT_FALSE(p.alarm().armed());
    EXPECT_EQ(line(p, 2), "Alarm:Off");
}

TEST_F(AlarmWindowTest, PictureOfTheWindow)
{
    Player& p = f.start();
    AlarmWindow* a = p.alarmWindow();
    a->timeControl()->setValue("07:30:00");
    a->show();
    QTest::qWait(50);
    const QImage image = a->grab().toImage();
    EXPECT_EQ(image.size(), a->size());
    EXPECT_TRUE(image.save(pictureFolder() + "/alarm-window.png"));
    // Every caption fits its control.
    for (QCheckBox* box : {a->repeatBox(), a->fadeBox(), a->closeBox(), a->shutDownBox()})
        EXPECT_GE(box->width(), box->sizeHint().width()) << box->text().toStdString();
}
