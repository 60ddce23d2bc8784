#include "recorderfixture.h"

#include "recorder/app/form1.h"
#include "recorder/app/frmdrive.h"

#include "controls/multibuttonwidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QTest>
#include <QTreeWidget>

using namespace sonaveil;

TEST_F(RecorderTest, MixOpensTheRecordingMixerAndTheHelpWindowUntilSwitchedOff)
{
    installed = {"pavucontrol"};
    window->on_command1_Click();
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, "/usr/bin/pavucontrol");
    EXPECT_EQ(launcher.started[0].arguments, QStringList{"--tab=2"});
    recorder::Form1* help = window->helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), "Recording Help");
    EXPECT_TRUE(help->showInFuture()->isChecked());
    picture(help, "form1");

    help->on_Command1_Click();
    help->on_Command2_Click();
    ASSERT_EQ(launcher.opened.size(), 2u);
    EXPECT_EQ(launcher.opened[0].toLocalFile(), file("help/recording-pulseaudio.html"));
    EXPECT_EQ(launcher.opened[1].toLocalFile(), file("help/recording-pipewire.html"));

    // While open, Mix only brings it up again.
    window->on_command1_Click();
    EXPECT_EQ(window->helpWindow(), help);

    help->showInFuture()->click(); // off
    EXPECT_EQ(store->value("Options/Show Tips at Start2").toString(), "0");
    help->showInFuture()->click(); // on again while open
    EXPECT_EQ(store->value("Options/Show Tips at Start2").toString(), "1");
    help->showInFuture()->click();
    help->on_cmdOK_Click();
    runFor(20);
    EXPECT_EQ(window->helpWindow(), nullptr);

    window->on_command1_Click();
    EXPECT_EQ(window->helpWindow(), nullptr);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(launcher.started.size(), 3u);
}

TEST_F(RecorderTest, AMixerThatFailsToStartShowsNoHelp)
{
    installed = {"pavucontrol"};
    launcher.startSucceeds = false;
    window->on_command1_Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(window->helpWindow(), nullptr);
}

TEST_F(RecorderTest, TheDriveBrowserListsFixedFileSystemsAndChoosesTheMonitoredOne)
{
    disk.list.push_back({"/media/stick", 16'000'000'000, 3'000'000'000, 3'000'000'000, false});
    disk.list.push_back({"/d1", 80'023'715'840, 123'456'789, 200'000'000, true});
    window->on_picturebutton1_Click();
    recorder::frmDRIVE* browser = window->driveBrowser();
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->windowTitle(), "Available Drive Space");
    QTreeWidget* list = browser->list();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    QTreeWidgetItem* data = list->topLevelItem(1);
    EXPECT_EQ(data->text(0), "/d1");
    EXPECT_EQ(data->text(1), "80 GB");
    EXPECT_EQ(data->text(2), "123 MB");
    EXPECT_EQ(data->text(3), "79 GB");
    EXPECT_EQ(data->text(4), "Fixed");
    picture(browser, "frmdrive");

    // The choice shows at the next refresh, not at once.
    const QString before = line(2, 1);
    emit list->itemClicked(data, 0);
    EXPECT_EQ(window->session().monitoredDrive(), "/d1");
    EXPECT_EQ(line(2, 1), before);
    emit child<controls::Multibutton>("Command4")->Click();
    EXPECT_EQ(line(2, 1), " Space: 123MBs (d1)");

    // Escape closes it, as it closes every other window.
    QApplication::setActiveWindow(browser);
    ASSERT_TRUE(QTest::qWaitForWindowActive(browser));
    QTest::keyClick(browser->list(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->driveBrowser() == nullptr; }, 10000));

    // It comes up again; Close unloads it.
    window->on_picturebutton1_Click();
    browser = window->driveBrowser();
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(window->driveBrowser(), browser);
    browser->close();
    runFor(20);
    EXPECT_EQ(window->driveBrowser(), nullptr);
}
