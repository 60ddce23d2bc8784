#include "playerfixture.h"

#include "controls/mastervolume.h"
#include "controls/multibuttonwidget.h"
#include "controls/ucsliderwidget.h"
#include "lumidot/lcd.h"
#include "player/app/mainwindow.h"
#include "player/app/playercolours.h"
#include "player/app/colourswindow.h"
#include "player/app/optionswindow.h"
#include "player/presets/presetrecord.h"

#include <QAction>
#include <QImage>
#include <cmath>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>

#include <gtest/gtest.h>

using namespace sonaveil;
using namespace sonaveil::player;
namespace fs = std::filesystem;

namespace {

// A mix that differs from the start-up one in every kind of field.
PresetRecord sampleMix()
{
    PresetRecord r;
    for (std::size_t i = 0; i < r.checks.size(); ++i)
        r.checks[i] = 0;
    r.checks[4] = 1;   // sound 5
    r.checks[19] = 1;  // sound 20
    r.checks[27] = 1;  // sound 28
    const auto& order = catalogue::sliderRecordOrder();
    for (std::size_t i = 0; i < order.size(); ++i)
        r.sliders[i] = catalogue::sliderRange(order[i]).start;
    auto set = [&](int slider, int v) {
        for (std::size_t i = 0; i < order.size(); ++i)
            if (order[i] == slider)
                r.sliders[i] = v;
    };
    set(5, 180);
    set(15, 5000);
    set(25, 3);
    set(kUnusedSlider, 42);
    set(kMasterSlider, 80);
    set(33, 90);
    set(80, 2222); // pitch of sound 28
    set(103, 20);
    return r;
}

class MainWindowTest : public ::testing::Test {
protected:
    PlayerFixture f;
};

} // namespace

TEST_F(MainWindowTest, FirstStartWithNoOptionalFiles)
{
    Player& p = f.start();
    MainWindow* w = p.mainWindow();
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "Sonaveil");
    EXPECT_EQ(w->objectName(), "frmmain");
    EXPECT_FALSE(p.splash()->isVisible());
    EXPECT_EQ(line(p, 2), "Alarm:Off");
    EXPECT_EQ(line(p, 4), "Current:None");
    EXPECT_TRUE(line(p, 1).startsWith("Time:"));
    EXPECT_EQ(w->display()->LCDRow(), 4);
    EXPECT_EQ(w->display()->LCDCol(), 25);
    EXPECT_EQ(w->display()->DisplayType(), 1);
    EXPECT_EQ(w->display()->ColorPresetPalette(), 2);
    EXPECT_EQ(p.options().driver(), 0);
    EXPECT_EQ(p.tray()->icon()->toolTip(), "Sonaveil");
    for (int s = 1; s <= kSoundCount; ++s) {
        EXPECT_FALSE(p.model().entry(s).on()) << s;
        EXPECT_NE(p.model().entry(s).sample, 0) << s;
        EXPECT_FALSE(p.engine().isPlaying(p.model().entry(s).channel)) << s;
    }
    // Sound 1 was switched on and off once, so its channel is no longer 0; the others never played.
    EXPECT_NE(p.model().entry(1).channel, 0);
    EXPECT_EQ(p.model().entry(2).channel, 0);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(w->quickCaption(i), "") << i;
    // Every control of every sound is on the window with its name and range.
    for (int s = 1; s <= kSoundCount; ++s) {
        const SoundInfo& info = catalogue::sound(s);
        EXPECT_EQ(w->check(s)->objectName(), QString("Check%1").arg(s));
        for (int n : {info.volumeSlider, info.pitchSlider, info.panSlider}) {
            if (!n)
                continue;
            controls::UcSlider* slider = w->slider(n);
            ASSERT_NE(slider, nullptr) << n;
            EXPECT_EQ(slider->objectName(), QString("ucSlider%1").arg(n));
            EXPECT_EQ(slider->minimum(), catalogue::sliderRange(n).minimum);
            EXPECT_EQ(slider->maximum(), catalogue::sliderRange(n).maximum);
        }
        if (info.pitchSlider) {
            EXPECT_EQ(w->slider(info.pitchSlider)->isEnabled(), !info.pitchDisabled) << s;
        }
    }
    EXPECT_EQ(w->slider(98), nullptr);
    EXPECT_FALSE(w->slider(kUnusedSlider)->isVisible());
    EXPECT_EQ(w->check(12)->text(), "Cicada 2");
    EXPECT_EQ(w->check(2)->text(), "Pink Noise ");
    EXPECT_NE(w->findChild<controls::MasterVolume*>("MasterVolume1"), nullptr);
    for (const auto& [name, caption] : std::vector<std::pair<QString, QString>>{
             {"chameleonButton14", " <<"}, {"chameleonButton25", "><"}, {"chameleonButton21", ">>"}}) {
        EXPECT_EQ(w->button(name)->caption(), caption);
        EXPECT_EQ(w->button(name)->buttonStyle(), 7);
    }
    // No files are written until the player closes.
    EXPECT_FALSE(fs::exists(f.file("previous.tmp")));
    EXPECT_FALSE(fs::exists(f.file("scard2.tmp")));
    EXPECT_FALSE(fs::exists(f.file("startup.tmp")));
}

TEST_F(MainWindowTest, SavedPresetFileByteForByte)
{
    Player& p = f.start();
    sampleMix().applyTo(p.model());
    const std::string target = (f.folder / "saves" / "Mix.svp").string();
    f.dialogs.files.push_back(QString::fromStdString(target));
    p.presetActions().save();
    ASSERT_EQ(f.dialogs.requests.size(), 1u);
    EXPECT_EQ(f.dialogs.requests[0].filter, "Sonaveil Files (*.svp)|*.svp");
    EXPECT_EQ(f.dialogs.requests[0].folder, f.prog() + "/saves");
    EXPECT_EQ(f.dialogs.requests[0].fileName, "");

    const std::string bytes = f.read("saves/Mix.svp");
    std::string expected;
    for (int s = 1; s <= 35; ++s)
        expected += (s == 5 || s == 20 || s == 28) ? "1," : "0,";
    for (int slider : catalogue::sliderRecordOrder()) {
        const std::map<int, int> changed{{5, 180}, {15, 5000}, {25, 3}, {31, 42}, {32, 80}, {33, 90}, {80, 2222}, {103, 20}};
        const auto it = changed.find(slider);
        expected += std::to_string(it != changed.end() ? it->second : catalogue::sliderRange(slider).start);
        expected += slider == 103 ? "\r\n" : ",";
    }
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), ','), 136);
    EXPECT_EQ(line(p, 4), "Current:None"); // saving never changes the display
}

TEST_F(MainWindowTest, LenientFileGivesTheSameMix)
{
    Player& p = f.start();
    const std::string single = sampleMix().toText();
    // The same fields over several lines, padded with blanks, some quoted, with blank lines.
    std::string spread;
    int n = 0;
    std::size_t at = 0;
    const std::string body = single.substr(0, single.size() - 2);
    while (at <= body.size()) {
        std::size_t comma = body.find(',', at);
        if (comma == std::string::npos)
            comma = body.size();
        const std::string field = body.substr(at, comma - at);
        spread += (n % 7 == 0) ? "\"" + field + "\"" : "  " + field + " ";
        spread += (n % 10 == 9) ? "\r\n" : (n % 13 == 12 ? "\n\n" : ",");
        at = comma + 1;
        ++n;
    }
    f.write("saves/Spread.svp", spread);
    f.dialogs.files.push_back(QString::fromStdString((f.folder / "saves" / "Spread.svp").string()));
    p.presetActions().load();
    EXPECT_TRUE(f.dialogs.messages.empty());
    EXPECT_EQ(PresetRecord::capture(p.model()), sampleMix());
    EXPECT_EQ(line(p, 4), "Current:Spread");
    // The widgets follow the model.
    EXPECT_EQ(p.mainWindow()->slider(80)->value(), 2222);
    EXPECT_EQ(p.mainWindow()->check(20)->checkState(), Qt::Checked);
}

TEST_F(MainWindowTest, ShortPresetFailsAndChangesNothing)
{
    Player& p = f.start();
    p.model().setCheck(3, CheckState::Checked);
    ASSERT_TRUE(voicesStarted(p));
    const PresetRecord before = PresetRecord::capture(p.model());
    const audio::ChannelHandle playing = p.model().entry(3).channel;
    std::string text = sampleMix().toText();
    text = text.substr(0, text.rfind(',')) + "\r\n";
    f.write("saves/Short.svp", text);
    f.dialogs.files.push_back(QString::fromStdString((f.folder / "saves" / "Short.svp").string()));
    p.presetActions().load();
    EXPECT_EQ(f.dialogs.messages, (std::vector<QString>{"Sonaveil|There was a problem opening this file!"}));
    EXPECT_EQ(PresetRecord::capture(p.model()), before);
    EXPECT_TRUE(p.engine().isPlaying(playing));
    EXPECT_EQ(line(p, 4), "Current:None");
}

TEST_F(MainWindowTest, LoadingKeepsAPlayingSoundAndAppliesItsSliders)
{
    Player& p = f.start();
    click(p.mainWindow()->check(5));
    ASSERT_TRUE(p.model().entry(5).on());
    ASSERT_TRUE(voicesStarted(p));
    const audio::ChannelHandle channel = p.model().entry(5).channel;
    ASSERT_TRUE(p.engine().isPlaying(channel));
    f.write("saves/Five.svp", sampleMix().toText());
    f.dialogs.files.push_back(QString::fromStdString((f.folder / "saves" / "Five.svp").string()));
    p.presetActions().load();
    ASSERT_TRUE(voicesStarted(p));
    EXPECT_EQ(p.model().entry(5).channel, channel);
    EXPECT_TRUE(p.engine().isPlaying(channel));
    EXPECT_EQ(p.model().slider(5), 180);
    EXPECT_EQ(p.model().slider(15), 5000);
    EXPECT_EQ(p.model().slider(25), 3);
    EXPECT_TRUE(p.engine().isPlaying(p.model().entry(20).channel));
}

TEST_F(MainWindowTest, CloseRestartPreviousGivesBackTheMix)
{
    Player& first = f.start();
    sampleMix().applyTo(first.model());
    // Nothing to go back to yet.
    first.presetActions().previous();
    EXPECT_EQ(line(first, 4), "Current:None");
    f.close();
    ASSERT_EQ(f.read("previous.tmp"), sampleMix().toText());

    Player& second = f.start();
    EXPECT_FALSE(second.model().entry(5).on());
    click(second.mainWindow()->button("chameleonButton33"));
    EXPECT_EQ(PresetRecord::capture(second.model()), sampleMix());
    EXPECT_EQ(line(second, 4), "Current:Previous");
    ASSERT_TRUE(voicesStarted(second));
    EXPECT_TRUE(second.engine().isPlaying(second.model().entry(28).channel));
    // The same file through the Load dialog reads the same.
    f.dialogs.files.push_back(f.prog() + "/previous.tmp");
    second.presetActions().load();
    EXPECT_EQ(line(second, 4), "Current:Previous");
}

TEST_F(MainWindowTest, PresetFromSavesShowsItsName)
{
    Player& p = f.start();
    f.write("saves/Rain.svp", sampleMix().toText());
    f.dialogs.files.push_back(f.prog() + "/saves/Rain.svp");
    click(p.mainWindow()->button("chameleonButton31"));
    EXPECT_EQ(line(p, 4), "Current:Rain");
}

TEST_F(MainWindowTest, QuickSlotAssignments)
{
    Player& p = f.start();
    f.write("saves/Rain.svp", sampleMix().toText());
    f.write("saves/Storm.svp", PresetRecord::capture(p.model()).toText());

    f.dialogs.files.push_back(f.prog() + "/saves/Rain.svp");
    f.dialogs.inputs.push_back(QString("3"));
    click(p.mainWindow()->button("chameleonButton34"));
    ASSERT_EQ(f.dialogs.requests.size(), 1u);
    EXPECT_EQ(f.dialogs.requests[0].title, "Select the Preset File");
    EXPECT_EQ(f.dialogs.requests[0].filter, "Sonaveil Files (*.svp)| *.svp");
    EXPECT_EQ(f.dialogs.prompts.at(0), "Sonaveil|Please Enter a Preset Number between 1 and 10 both inclusive ");
    EXPECT_EQ(p.mainWindow()->quickCaption(2), "Rain");
    EXPECT_EQ(f.read("preset.txt"), "\"3\",\"Rain\"\r\n");

    f.dialogs.files.push_back(f.prog() + "/saves/Storm.svp");
    f.dialogs.inputs.push_back(QString("3"));
    p.presetActions().assign();
    // The assign dialog starts from the file chosen last time.
    EXPECT_EQ(f.dialogs.requests[1].fileName, f.prog() + "/saves/Rain.svp");
    EXPECT_EQ(p.mainWindow()->quickCaption(2), "Storm");
    EXPECT_EQ(f.read("preset.txt"), "\"3\",\"Rain\"\r\n\"3\",\"Storm\"\r\n");

    // Answers that name no slot, and Cancel at either step, change nothing.
    for (std::optional<QString> answer : {std::optional<QString>("0"), std::optional<QString>("11"),
                                          std::optional<QString>(""), std::optional<QString>()}) {
        f.dialogs.files.push_back(f.prog() + "/saves/Rain.svp");
        f.dialogs.inputs.push_back(answer);
        p.presetActions().assign();
    }
    f.dialogs.files.push_back(QString());
    p.presetActions().assign();
    EXPECT_EQ(f.read("preset.txt"), "\"3\",\"Rain\"\r\n\"3\",\"Storm\"\r\n");
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(p.mainWindow()->quickCaption(i), i == 2 ? "Storm" : "") << i;
    EXPECT_TRUE(f.dialogs.messages.empty());

    // The slot loads its preset; a blank slot does nothing.
    click(p.mainWindow()->button("chameleonButton32(0)"));
    EXPECT_EQ(line(p, 4), "Current:None");
    click(p.mainWindow()->button("chameleonButton32(2)"));
    EXPECT_EQ(line(p, 4), "Current:Storm");

    // After a restart the slot still reads Storm; with its file gone it tells the user.
    Player& again = f.start();
    EXPECT_EQ(again.mainWindow()->quickCaption(2), "Storm");
    fs::remove(f.folder / "saves" / "Storm.svp");
    again.model().setCheck(7, CheckState::Checked);
    again.presetActions().quickPreset(2);
    EXPECT_EQ(f.dialogs.messages, (std::vector<QString>{"Sonaveil|There was a problem opening this file!"}));
    EXPECT_TRUE(again.model().entry(7).on());
}

TEST_F(MainWindowTest, MuteFromTheTrayMenu)
{
    Player& p = f.start();
    QAction* mute = p.tray()->muteAction();
    ASSERT_NE(mute, nullptr);
    const QList<QAction*> items = p.tray()->menu()->actions();
    // Load, Mute, the sleep entries, My Tinnitus, Quit.
    ASSERT_EQ(items.size(), 12);
    EXPECT_EQ(items[0]->text(), "&Load");
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2], mute);
    EXPECT_TRUE(items[3]->isSeparator());
    EXPECT_TRUE(items[8]->isSeparator());
    EXPECT_EQ(items[9]->text(), "My &Tinnitus…");
    EXPECT_TRUE(items[10]->isSeparator());
    EXPECT_EQ(items[11]->text(), "&Quit");
    EXPECT_TRUE(mute->isCheckable());

    p.model().setCheck(1, CheckState::Checked);
    p.model().setSlider(kMasterSlider, 60);
    mute->trigger();
    EXPECT_EQ(p.model().slider(kMasterSlider), 0);
    EXPECT_EQ(p.mainWindow()->slider(kMasterSlider)->value(), 0);
    EXPECT_TRUE(mute->isChecked());
    mute->trigger();
    EXPECT_EQ(p.model().slider(kMasterSlider), 60);
    EXPECT_FALSE(mute->isChecked());
    // Moving the master by hand while muted ends the mute.
    mute->trigger();
    QTest::keyClick(p.mainWindow()->slider(kMasterSlider), Qt::Key_Up);
    EXPECT_EQ(p.model().slider(kMasterSlider), 1);
    EXPECT_FALSE(mute->isChecked());

    Player& fresh = f.start();
    fresh.model().setSlider(kMasterSlider, 0);
    fresh.tray()->muteAction()->trigger();
    EXPECT_EQ(fresh.model().slider(kMasterSlider), 0);
    EXPECT_FALSE(fresh.tray()->muteAction()->isChecked());
}

TEST_F(MainWindowTest, StopActsOnTheShownPageAndStopAllOnEverySound)
{
    Player& p = f.start();
    MainWindow* w = p.mainWindow();
    for (int s = 1; s <= 12; ++s)
        p.model().setCheck(s, CheckState::Checked);
    p.model().setCheck(20, CheckState::Checked);
    p.model().setCheck(33, CheckState::Checked);
    EXPECT_EQ(w->check(20)->checkState(), Qt::Checked);
    click(w->button("chameleonButton10"));
    for (int s = 1; s <= 12; ++s) {
        EXPECT_FALSE(p.model().entry(s).on()) << s;
        EXPECT_EQ(w->check(s)->checkState(), Qt::Unchecked) << s;
    }
    EXPECT_TRUE(p.model().entry(20).on());
    ASSERT_TRUE(voicesStarted(p));
    EXPECT_TRUE(p.engine().isPlaying(p.model().entry(20).channel));

    click(w->button("pageButton2"));
    EXPECT_EQ(w->page(), 2);
    EXPECT_TRUE(w->check(20)->isVisible());
    EXPECT_FALSE(w->check(1)->isVisible());
    click(w->button("chameleonButton10"));
    EXPECT_FALSE(p.model().entry(20).on());
    EXPECT_TRUE(p.model().entry(33).on());
    click(w->button("stopAllButton"));
    EXPECT_FALSE(p.model().entry(33).on());
}

TEST_F(MainWindowTest, StepButtonsOnThePageShown)
{
    Player& p = f.start();
    MainWindow* w = p.mainWindow();
    p.model().setCheck(9, CheckState::Checked);
    for (int i = 0; i < 3; ++i)
        click(w->button("chameleonButton16"));
    for (int s : catalogue::soundsOnPage(1)) {
        EXPECT_EQ(p.model().slider(catalogue::sound(s).volumeSlider), 145) << s;
        EXPECT_EQ(w->slider(catalogue::sound(s).volumeSlider)->value(), 145) << s;
    }
    EXPECT_EQ(p.model().slider(catalogue::sound(13).volumeSlider), 100);
    // The disabled pitch sliders of page 1 move too.
    click(w->button("chameleonButton19"));
    EXPECT_EQ(p.model().slider(catalogue::sound(11).pitchSlider), 4260);
    click(w->button("chameleonButton17"));
    EXPECT_EQ(p.model().slider(catalogue::sound(9).volumeSlider), 255);
    click(w->button("chameleonButton14"));
    EXPECT_EQ(p.model().slider(catalogue::sound(9).volumeSlider), 0);

    w->showPage(3);
    click(w->button("chameleonButton21"));
    EXPECT_EQ(p.model().slider(catalogue::sound(28).pitchSlider), 7056);
    EXPECT_EQ(p.model().slider(catalogue::sound(1).pitchSlider), 4260);
}

TEST_F(MainWindowTest, RecordAndHelp)
{
    Player& p = f.start();
    f.launcher.startSucceeds = false;
    click(p.mainWindow()->button("chameleonButton6"));
    ASSERT_EQ(f.launcher.started.size(), 1u);
    EXPECT_EQ(f.launcher.started[0].program, f.prog() + "/recorder");
    EXPECT_TRUE(f.launcher.started[0].arguments.isEmpty());
    EXPECT_EQ(f.dialogs.messages,
              (std::vector<QString>{"Sonaveil|The recorder could not be found. Please re-install the program."}));
    EXPECT_TRUE(p.mainWindow()->isVisible());
    click(p.mainWindow()->button("chameleonButton29"));
    ASSERT_EQ(f.launcher.opened.size(), 1u);
    EXPECT_EQ(f.launcher.opened[0].toLocalFile(), f.prog() + "/help/index.html");
}

TEST_F(MainWindowTest, TrayHidesAndTheIconBringsTheWindowBack)
{
    Player& p = f.start(true);
    click(p.mainWindow()->button("chameleonButton26"));
    EXPECT_FALSE(p.mainWindow()->isVisible());
    emit p.tray()->icon()->activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(p.mainWindow()->isVisible());
    emit p.tray()->icon()->activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(p.mainWindow()->isVisible());

    // Without a tray the window is minimised, never hidden.
    Player& noTray = f.start(false);
    noTray.toTray();
    EXPECT_TRUE(noTray.mainWindow()->isVisible());
    EXPECT_TRUE(noTray.mainWindow()->isMinimized());
}

TEST_F(MainWindowTest, SystemTrayStartUp)
{
    f.write("startup.tmp", "0,#FALSE#,#TRUE#\r\n");
    Player& p = f.start(true);
    EXPECT_FALSE(p.mainWindow()->isVisible());
    EXPECT_TRUE(p.started());
    emit p.tray()->icon()->activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(p.mainWindow()->isVisible());

    Player& noTray = f.start(false);
    EXPECT_TRUE(noTray.mainWindow()->isMinimized());
}

TEST_F(MainWindowTest, ResumeTheLastMixAtStartUp)
{
    f.write("previous.tmp", sampleMix().toText());
    f.write("settings.ini", "[Startup]\r\nResumeLastMix=1\r\n");
    Player& p = f.start();
    EXPECT_EQ(PresetRecord::capture(p.model()), sampleMix());
    EXPECT_EQ(line(p, 4), "Current:Previous");
    ASSERT_TRUE(voicesStarted(p));
    EXPECT_TRUE(p.engine().isPlaying(p.model().entry(5).channel));
}

TEST_F(MainWindowTest, PicturesOfEveryPage)
{
    Player& p = f.start();
    MainWindow* w = p.mainWindow();
    p.model().setCheck(2, CheckState::Checked);
    p.model().setCheck(9, CheckState::Checked);
    w->setQuickCaption(0, "Rain & wind");
    w->setQuickCaption(2, "Storm");
    w->setQuickCaption(6, "Thunder and heavy rain at night");
    for (int page = 1; page <= MainWindow::kPageCount; ++page) {
        w->showPage(page);
        const QImage image = w->grab().toImage();
        EXPECT_EQ(image.size(), w->size());
        EXPECT_TRUE(image.save(pictureFolder() + QString("/main-page%1.png").arg(page)));
    }
    EXPECT_EQ(w->quickCaption(0), "Rain & wind");
    // Dragging the background moves the window by the pointer's way.
    const QPoint before = w->pos();
    QWidget* background = w;
    QTest::mousePress(background, Qt::LeftButton, {}, QPoint(4, w->height() - 4));
    QMouseEvent move(QEvent::MouseMove, QPointF(34, w->height() + 16), w->mapToGlobal(QPointF(34, w->height() + 16)),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(background, &move);
    QTest::mouseRelease(background, Qt::LeftButton, {}, QPoint(34, w->height() + 16));
    EXPECT_EQ(w->pos(), before + QPoint(30, 20));
}

TEST_F(MainWindowTest, TaskbarStartUpShowsTheWindowMinimised)
{
    f.write("startup.tmp", "0,#FALSE#,#FALSE#\r\n");
    Player& p = f.start(true);
    EXPECT_TRUE(p.mainWindow()->isMinimized());
    f.close();
    EXPECT_EQ(f.read("startup.tmp"), "0,#FALSE#,#FALSE#\r\n");
}

TEST_F(MainWindowTest, QuitAndCloseEndTheProgramWithItsFiles)
{
    Player& p = f.start(true);
    int quits = 0;
    QObject::connect(&p, &Player::quitRequested, [&] { ++quits; });
    p.tray()->menu()->actions().last()->trigger();
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(p.shutDown());
    EXPECT_FALSE(p.tray()->icon()->isVisible());
    EXPECT_FALSE(p.mainWindow()->isVisible());
    EXPECT_FALSE(p.engine().initialised());
    EXPECT_TRUE(fs::exists(f.file("previous.tmp")));
    EXPECT_TRUE(fs::exists(f.file("scard2.tmp")));
    EXPECT_TRUE(fs::exists(f.file("startup.tmp")));
    // A second route to the end changes nothing more.
    fs::remove(f.file("previous.tmp"));
    p.close();
    EXPECT_FALSE(fs::exists(f.file("previous.tmp")));

    // The window manager's close button is the Close button.
    Player& again = f.start();
    int closes = 0;
    QObject::connect(&again, &Player::quitRequested, [&] { ++closes; });
    again.mainWindow()->close();
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(fs::exists(f.file("previous.tmp")));
}

TEST_F(MainWindowTest, TheKeyboardStartsOnTheFirstSoundAndReachesAlarmOnAndColours)
{
    Player& p = f.start();
    MainWindow* w = p.mainWindow();
    QApplication::setActiveWindow(w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    EXPECT_EQ(QApplication::focusWidget(), w->check(1));
    // "Alarm On" and "Colors" have access keys of their own.
    QTest::keyClick(w, Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(p.alarm().armed());
    QTest::keyClick(w, Qt::Key_L, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.colours().editor() && p.colours().editor()->isVisible(); }, 10000));
    p.colours().closeEditor();
    // Pitch Match is in the keyboard's order, after the equaliser.
    w->button("Multibutton1")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w->button("cmdPitchMatch"));
}

TEST_F(MainWindowTest, TheCheckedPageButtonsCaptionReadsAtFourAndAHalfToOne)
{
    auto luminance = [](QRgb c) {
        auto lin = [](int v) {
            const double s = v / 255.0;
            return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * lin(qRed(c)) + 0.7152 * lin(qGreen(c)) + 0.0722 * lin(qBlue(c));
    };
    auto contrast = [&](QRgb a, QRgb b) {
        const double la = luminance(a), lb = luminance(b);
        return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
    };
    Player& p = f.start();
    MainWindow* w = p.mainWindow();
    w->showPage(1);
    QApplication::processEvents();
    const QImage picture = w->button("pageButton1")->grab().toImage();
    // The face on either side of the caption, and the caption's own colour: the one that
    // stands out most from the face in the middle row.
    const int mid = picture.height() / 2;
    for (int row : {mid - 4, mid + 4}) {
        const QRgb face = picture.pixel(6, row);
        double best = 1;
        for (int x = 6; x < picture.width() - 6; ++x)
            best = std::max(best, contrast(face, picture.pixel(x, mid)));
        EXPECT_GE(best, 4.5) << "row " << row << " face " << QColor(face).name().toStdString();
    }
}

TEST_F(MainWindowTest, KeyboardReachesTheShownPageOnly)
{
    Player& p = f.start();
    MainWindow* w = p.mainWindow();
    QApplication::setActiveWindow(w);
    w->showPage(4);
    w->button("stopAllButton")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w->check(31));
    // Space on the focused check box switches its sound on.
    QTest::keyClick(w->check(31), Qt::Key_Space);
    EXPECT_TRUE(p.model().entry(31).on());
    // From the last control of the page the focus goes on to the step buttons.
    w->slider(catalogue::sound(35).panSlider)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w->button("chameleonButton10"));
    // An access key runs its button.
    QTest::keyClick(w, Qt::Key_T, Qt::AltModifier);
    EXPECT_FALSE(p.model().entry(31).on());
}

TEST_F(MainWindowTest, BackgroundPictureFromTheProgramFolder)
{
    // Without "bronze.jpg" the window paints its own background.
    Player& drawn = f.start();
    const QColor fallback = drawn.mainWindow()->grab().toImage().pixelColor(6, 300);
    EXPECT_GT(fallback.red(), fallback.blue());

    QImage picture(300, 200, QImage::Format_RGB32);
    picture.fill(QColor(0, 40, 200));
    ASSERT_TRUE(picture.save(f.prog() + "/bronze.jpg"));
    Player& p = f.start();
    const QImage shown = p.mainWindow()->grab().toImage();
    const QColor corner = shown.pixelColor(6, shown.height() / 2);
    EXPECT_GT(corner.blue(), 150);
    EXPECT_LT(corner.red(), 40);
    EXPECT_GT(p.optionsWindow()->grab().toImage().pixelColor(6, 100).blue(), 150);
}

TEST_F(MainWindowTest, SplashRunsTheStartUpAfterHalfASecond)
{
    player::PlayerSetup setup;
    setup.programFolder = f.prog();
    setup.programPath = f.prog() + "/quietdeck";
    setup.dialogs = &f.dialogs;
    setup.launcher = &f.launcher;
    setup.autostart = f.autostart.get();
    setup.systemVolume = [] { return std::make_unique<platform::FakeSystemVolume>(); };
    setup.readyFile = f.prog() + "/ready";
    Player p(setup);
    p.launch();
    EXPECT_TRUE(p.splash()->isVisible());
    EXPECT_EQ(p.splash()->objectName(), "frmstartup");
    QTest::qWait(250);
    EXPECT_FALSE(p.started());
    EXPECT_TRUE(QTest::qWaitFor([&] { return p.started(); }, 2000));
    EXPECT_FALSE(p.splash()->isVisible());
    EXPECT_TRUE(p.mainWindow()->isVisible());
    EXPECT_GT(std::stol(f.read("ready")), 0);
}
