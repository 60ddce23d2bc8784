#include "playerfixture.h"

#include "common/inifile.h"
#include "controls/multibuttonwidget.h"
#include "player/app/mainwindow.h"
#include "player/app/optionswindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

#include <fstream>

#include <gtest/gtest.h>

using namespace sonaveil;
using namespace sonaveil::player;
namespace fs = std::filesystem;

namespace {

// Near the left edge, where a check box or an option button has its box.
void clickNearLeft(QWidget* w)
{
    ASSERT_NE(w, nullptr);
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(std::min(10, w->width() / 2), w->height() / 2));
}

std::string setting(const PlayerFixture& f, const char* key)
{
    return IniFile::readString(f.file("settings.ini"), "Startup", key).value_or("(none)");
}

} // namespace

TEST(OptionsWindow, FilesOfTheChoices)
{
    PlayerFixture f;
    Player& p = f.start();
    clickNearLeft(p.mainWindow()->button("chameleonButton23"));
    OptionsWindow* o = p.optionsWindow();
    ASSERT_TRUE(o->isVisible());
    EXPECT_EQ(o->windowTitle(), "Program Options");
    EXPECT_EQ(o->objectName(), "FRMOPTIONS");
    EXPECT_TRUE(o->displayOption(0)->isChecked());

    clickNearLeft(o->displayOption(2));
    EXPECT_EQ(setting(f, "Display"), "2");
    const fs::path entry = f.home / "autostart" / "Sonaveil.desktop";
    clickNearLeft(o->startupCheck());
    EXPECT_EQ(setting(f, "AutoLaunch"), "1");
    ASSERT_TRUE(fs::exists(entry));
    std::ifstream in(entry);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find((f.prog() + "/quietdeck").toStdString()), std::string::npos);
    clickNearLeft(o->startupCheck());
    EXPECT_EQ(setting(f, "AutoLaunch"), "0");
    EXPECT_FALSE(fs::exists(entry));

    clickNearLeft(o->resumeCheck());
    EXPECT_EQ(setting(f, "ResumeLastMix"), "1");
    EXPECT_TRUE(o->endlessCheck()->isChecked());
    EXPECT_EQ(o->endlessCheck()->text(), "&Endless sounds (never repeat)");
    clickNearLeft(o->endlessCheck());
    EXPECT_EQ(setting(f, "EndlessSounds"), "0");
    EXPECT_FALSE(p.model().endless().enabled());
    // Unticked, a sound plays its file.
    p.model().setCheck(9, CheckState::Checked);
    EXPECT_FALSE(p.model().entry(9).live);
    p.model().setCheck(9, CheckState::Unchecked);
    clickNearLeft(o->button("cmdClose"));
    EXPECT_FALSE(o->isVisible());
    p.showOptions();
    EXPECT_TRUE(o->isVisible());
    QTest::keyClick(o, Qt::Key_Escape);
    EXPECT_FALSE(o->isVisible());

    // "startup.tmp" is written when the player closes.
    EXPECT_FALSE(fs::exists(f.file("startup.tmp")));
    f.close();
    EXPECT_EQ(f.read("startup.tmp"), "0,#FALSE#,#TRUE#\r\n");

    // The next start sets the choices again from the file.
    Player& again = f.start(true);
    EXPECT_TRUE(again.optionsWindow()->displayOption(2)->isChecked());
    EXPECT_FALSE(again.optionsWindow()->startupCheck()->isChecked());
    EXPECT_TRUE(again.optionsWindow()->resumeCheck()->isChecked());
    EXPECT_FALSE(again.optionsWindow()->endlessCheck()->isChecked());
    EXPECT_FALSE(again.model().endless().enabled());
    EXPECT_FALSE(again.mainWindow()->isVisible());
}

TEST(OptionsWindow, AStartUpEntryThatCannotBeMadeLeavesTheOptionOffAndSaysWhy)
{
    PlayerFixture f;
    // A program folder whose name is not UTF-8: Qt names the program with replacement characters.
    f.programPath = QStringLiteral("/home/u/Kl\uFFFDnge/Sonaveil/quietdeck");
    Player& p = f.start();
    p.showOptions();
    OptionsWindow* o = p.optionsWindow();
    const fs::path entry = f.home / "autostart" / "Sonaveil.desktop";
    clickNearLeft(o->startupCheck());
    EXPECT_FALSE(o->startupCheck()->isChecked());
    EXPECT_FALSE(p.options().launchAtLogOn());
    EXPECT_EQ(setting(f, "AutoLaunch"), "(none)");
    EXPECT_FALSE(fs::exists(entry));
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_TRUE(f.dialogs.messages[0].contains("cannot start automatically from the folder it is in"))
        << f.dialogs.messages[0].toStdString();

    // A program that can be named, but no folder takes the entry: a file stands where the
    // user's start-up folder belongs (the machine-wide one is not writable in the fixture).
    f.close();
    f.programPath.reset();
    { std::ofstream blocker(f.home / "autostart"); }
    Player& again = f.start();
    again.showOptions();
    clickNearLeft(again.optionsWindow()->startupCheck());
    EXPECT_FALSE(again.optionsWindow()->startupCheck()->isChecked());
    EXPECT_EQ(setting(f, "AutoLaunch"), "(none)");
    ASSERT_EQ(f.dialogs.messages.size(), 2u);
    EXPECT_TRUE(f.dialogs.messages[1].contains("could not be written")) << f.dialogs.messages[1].toStdString();

    // Once the folder can be written, the option works.
    fs::remove(f.home / "autostart");
    clickNearLeft(again.optionsWindow()->startupCheck());
    EXPECT_TRUE(again.optionsWindow()->startupCheck()->isChecked());
    EXPECT_EQ(setting(f, "AutoLaunch"), "1");
    EXPECT_TRUE(fs::exists(entry));
    EXPECT_EQ(f.dialogs.messages.size(), 2u);
}

TEST(OptionsWindow, SoundCardListLastDriverFirst)
{
    PlayerFixture f;
    Player& p = f.start();
    OptionsWindow* o = p.optionsWindow();
    QComboBox* list = o->driverList();
    const int count = p.engine().driverCount();
    ASSERT_EQ(list->count(), count);
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(list->itemData(i).toInt(), count - 1 - i);
        EXPECT_EQ(list->itemText(i).toStdString(), p.engine().driverName(count - 1 - i));
    }
    EXPECT_EQ(o->driverLabel()->text().toStdString(), "Current Soundcard: " + p.engine().driverName(0));
    if (count < 2)
        FAIL() << "the private sound server offers fewer than its two devices";

    o->show();
    o->showPanel(1);
    list->setCurrentIndex(0); // the last driver
    clickNearLeft(o->button("cmdSelect"));
    EXPECT_EQ(p.options().driver(), count - 1);
    EXPECT_EQ(f.dialogs.messages,
              (std::vector<QString>{"Sonaveil|Please restart the application for the change to take effect."}));
    const std::string name = p.engine().driverName(count - 1);
    f.close();
    EXPECT_EQ(f.read("scard2.tmp"), std::to_string(count - 1) + "\r\n");

    Player& again = f.start();
    EXPECT_EQ(again.options().driver(), count - 1);
    EXPECT_EQ(again.optionsWindow()->driverLabel()->text().toStdString(), "Current Soundcard: " + name);
}

TEST(OptionsWindow, SelectWithNothingChosenStoresMinusOne)
{
    PlayerFixture f;
    Player& p = f.start();
    p.optionsWindow()->driverList()->setCurrentIndex(-1);
    clickNearLeft(p.optionsWindow()->button("cmdSelect"));
    EXPECT_EQ(p.options().driver(), -1);
}

TEST(OptionsWindow, Pictures)
{
    PlayerFixture f;
    Player& p = f.start();
    OptionsWindow* o = p.optionsWindow();
    o->show();
    for (int panel : {0, 1}) {
        o->showPanel(panel);
        const QImage image = o->grab().toImage();
        EXPECT_TRUE(image.save(pictureFolder() + QString("/options-panel%1.png").arg(panel)));
    }
    clickNearLeft(o->button("cmdContact"));
    ASSERT_EQ(f.launcher.opened.size(), 1u);
    EXPECT_EQ(f.launcher.opened[0].scheme(), "mailto");
}
