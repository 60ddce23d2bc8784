#include "playerfixture.h"

#include "controls/multibuttonwidget.h"
#include "controls/scombobox.h"
#include "controls/ucsliderwidget.h"
#include "lumidot/lcd.h"
#include "player/app/equaliserwindow.h"
#include "player/app/mainwindow.h"

#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

using namespace sonaveil;
using namespace sonaveil::player;
namespace fs = std::filesystem;

namespace {

class EqualiserWindowTest : public ::testing::Test {
protected:
    EqualiserWindowTest()
    {
        fs::create_directory(f.file("presets"));
        f.write("presets/Bright.eqf", "30,15,15,15,15,15,15,15,15,15\r\n");
        f.write("presets/Dark.eqf", "0,20,15,15,15,15,15,15,15,10\r\n");
    }
    PlayerFixture f;
};

} // namespace

TEST_F(EqualiserWindowTest, ControlsForwardToTheEqualiser)
{
    Player& p = f.start();
    EqualiserWindow* e = p.equaliserWindow();
    e->show();
    EXPECT_EQ(e->objectName(), "frmeffects");
    Equaliser& eq = p.equaliser();
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(e->band(i)->objectName(), QString("vscroll1(%1)").arg(i));
        EXPECT_EQ(e->band(i)->minimum(), 0);
        EXPECT_EQ(e->band(i)->maximum(), 30);
        EXPECT_EQ(e->band(i)->value(), 15);
    }
    EXPECT_EQ(e->onSwitch()->objectName(), "check_eq");
    EXPECT_EQ(e->onSwitch()->caption(), "Off");
    EXPECT_EQ(e->presetList()->objectName(), "Combo1");
    EXPECT_EQ(e->presetList()->text(), "Flat");
    EXPECT_EQ(e->presetList()->listCount(), 2);

    // A band moved by the user (keys on the focused slider) reaches the model and its label.
    e->band(4)->setFocus();
    QTest::keyClick(e->band(4), Qt::Key_Up);
    EXPECT_EQ(eq.position(4), 16);
    EXPECT_EQ(e->gainLabel(4)->text(), "+1 dB");
    e->band(0)->setValue(3);
    EXPECT_EQ(eq.position(0), 3);
    EXPECT_EQ(e->gainLabel(0)->text(), "\u221212 dB");

    click(e->onSwitch());
    EXPECT_TRUE(eq.on());
    EXPECT_EQ(e->onSwitch()->caption(), "On");
    EXPECT_EQ(line(p, 3), "EQL:Flat");
    click(e->onSwitch());
    EXPECT_FALSE(eq.on());
    EXPECT_EQ(line(p, 3), "EQL:Off");
    click(e->onSwitch());

    click(e->button("cmdNext"));
    EXPECT_EQ(e->presetList()->text(), "Bright");
    EXPECT_EQ(e->band(9)->value(), 30);
    EXPECT_EQ(line(p, 3), "EQL:Bright");
    click(e->button("cmdNext"));
    EXPECT_EQ(e->presetList()->text(), "Dark");
    EXPECT_EQ(e->band(0)->value(), 20);
    EXPECT_EQ(e->band(9)->value(), 0);
    click(e->button("cmdCenter"));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(eq.position(i), 15);
    click(e->button("cmdClose"));
    EXPECT_FALSE(e->isVisible());
}

TEST_F(EqualiserWindowTest, SaveAndDeleteAskFirst)
{
    Player& p = f.start();
    EqualiserWindow* e = p.equaliserWindow();
    Equaliser& eq = p.equaliser();
    eq.setPosition(3, 22);

    f.dialogs.inputs.push_back(QString("Evening"));
    click(e->button("cmdSave"));
    ASSERT_EQ(f.dialogs.prompts.size(), 1u);
    EXPECT_EQ(f.dialogs.prompts[0], "Sonaveil|Please type a name to identify this equalizer configuration");
    EXPECT_EQ(f.read("presets/Evening.eqf"), "15,15,15,15,22,15,15,15,15,15\r\n");
    EXPECT_EQ(e->presetList()->text(), "Evening");
    EXPECT_EQ(e->presetList()->listCount(), 3);

    // Cancel and an empty answer write nothing; a bad name is explained.
    f.dialogs.inputs.push_back(std::nullopt);
    click(e->button("cmdSave"));
    f.dialogs.inputs.push_back(QString());
    click(e->button("cmdSave"));
    f.dialogs.inputs.push_back(QString("../../outside"));
    click(e->button("cmdSave"));
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_TRUE(f.dialogs.messages[0].startsWith("Sonaveil|A preset name cannot contain"));
    EXPECT_FALSE(fs::exists(f.folder.path().parent_path() / "outside.eqf"));
    EXPECT_EQ(e->presetList()->listCount(), 3);

    // "Delete" then No changes nothing.
    f.dialogs.answers.push_back(false);
    click(e->button("cmdDelete"));
    ASSERT_EQ(f.dialogs.questions.size(), 1u);
    EXPECT_EQ(f.dialogs.questions[0], "Sonaveil|This will delete the current preset. Continue?");
    EXPECT_TRUE(fs::exists(f.file("presets/Evening.eqf")));
    EXPECT_EQ(e->presetList()->text(), "Evening");
    // Yes deletes it.
    f.dialogs.answers.push_back(true);
    click(e->button("cmdDelete"));
    EXPECT_FALSE(fs::exists(f.file("presets/Evening.eqf")));
    EXPECT_EQ(e->presetList()->text(), "No Preset Selected");
    EXPECT_EQ(e->presetList()->listCount(), 2);
    EXPECT_EQ(eq.position(3), 22);
}

TEST_F(EqualiserWindowTest, StateSurvivesARestart)
{
    {
        Player& p = f.start();
        p.equaliser().selectPreset(1); // Dark
        p.equaliser().setOn(true);
        f.close();
    }
    EXPECT_EQ(f.read("effects.tmp"), "#TRUE#,\"Dark\",20,15,15,15,15,15,15,15,10,0\r\n");
    Player& p = f.start();
    EXPECT_TRUE(p.equaliser().on());
    EXPECT_EQ(line(p, 3), "EQL:Dark");
    EXPECT_EQ(p.equaliserWindow()->onSwitch()->caption(), "On");
    EXPECT_EQ(p.equaliserWindow()->band(0)->value(), 20);
    EXPECT_EQ(p.equaliserWindow()->presetList()->text(), "Dark");
    ASSERT_EQ(p.equaliser().handles().size(), 10u);
    EXPECT_GT(p.equaliser().handles()[0], 0) << "the chain is on the engine";
}

TEST_F(EqualiserWindowTest, PictureOfTheWindow)
{
    Player& p = f.start();
    EqualiserWindow* e = p.equaliserWindow();
    p.equaliser().setOn(true);
    p.equaliser().selectPreset(1);
    e->show();
    QTest::qWait(50);
    const QImage image = e->grab().toImage();
    EXPECT_EQ(image.size(), e->size());
    EXPECT_TRUE(image.save(pictureFolder() + "/equaliser-window.png"));
    for (int i = 0; i < 10; ++i)
        EXPECT_GE(e->gainLabel(i)->width(),
                  QFontMetrics(e->gainLabel(i)->font()).horizontalAdvance("\u221215 dB"));
}
