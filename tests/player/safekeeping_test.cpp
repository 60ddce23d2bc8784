// What the player does so that a night's mix is not lost and a new user is not puzzled:
// torsos of interrupted writes cleared, a folder it cannot write named at start-up, presets
// saved under a name Load lists, and messages where the desktop cannot open a page.
#include "playerfixture.h"

#include "common/atomicfile.h"
#include "controls/multibuttonwidget.h"
#include "player/app/mainwindow.h"
#include "player/app/optionswindow.h"
#include "player/presets/presetrecord.h"

#include <QDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>

using namespace sonaveil;
using namespace sonaveil::player;
namespace fs = std::filesystem;

TEST(Safekeeping, TemporariesOfAnInterruptedSessionAreRemovedAtStartUp)
{
    PlayerFixture f;
    f.write(".previous.tmp.part-Ab12Cd", "1,0,");
    f.write("saves/.Night.svp.part-x1y2z3", "1,");
    f.write("saves/Night.svp", "keep");
    f.write("notes.part-Ab12Cd", "not ours");
    f.start();
    EXPECT_FALSE(fs::exists(f.file(".previous.tmp.part-Ab12Cd")));
    EXPECT_FALSE(fs::exists(f.file("saves/.Night.svp.part-x1y2z3")));
    EXPECT_EQ(f.read("saves/Night.svp"), "keep");
    EXPECT_TRUE(fs::exists(f.file("notes.part-Ab12Cd")));
    f.close();
    for (const auto& e : fs::directory_iterator(f.folder.path()))
        EXPECT_FALSE(isWriteTemporaryName(e.path().filename().string())) << e.path() << " left by the close";
}

TEST(Safekeeping, AProgramFolderThatCannotBeWrittenIsNamedOnceAtStartUp)
{
    PlayerFixture f;
    f.start();
    QTest::qWait(20);
    EXPECT_TRUE(f.dialogs.messages.empty()) << "a writable folder says nothing";
    f.close();

    UnwritableFolder locked(f.folder.path());
    if (!locked.active())
        GTEST_SKIP() << "cannot make a folder unwritable here";
    f.start();
    QTest::qWait(20);
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    const QString& text = f.dialogs.messages[0];
    EXPECT_TRUE(text.startsWith("Sonaveil|Sonaveil cannot write to its folder \"" + f.prog() + "\"")) << text.toStdString();
    EXPECT_TRUE(text.contains("will not be kept")) << text.toStdString();
    // The player works on, and closing it adds no second message.
    click(f.player->mainWindow()->check(1));
    f.close();
    EXPECT_EQ(f.dialogs.messages.size(), 1u);
}

TEST(Safekeeping, ANameTypedWithoutExtensionIsSavedAsAPresetLoadLists)
{
    EXPECT_EQ(PresetFiles::withPresetExtension("/p/saves/Night1"), "/p/saves/Night1.svp");
    EXPECT_EQ(PresetFiles::withPresetExtension("/p/saves/Night1."), "/p/saves/Night1.svp");
    EXPECT_EQ(PresetFiles::withPresetExtension("/p/saves/Night.svp"), "/p/saves/Night.svp");
    EXPECT_EQ(PresetFiles::withPresetExtension("/p/saves/Rain.txt"), "/p/saves/Rain.txt");
    EXPECT_EQ(PresetFiles::withPresetExtension("/p/sa.ves/Storm"), "/p/sa.ves/Storm.svp");
    EXPECT_EQ(PresetFiles::withPresetExtension("/p/saves/.hidden"), "/p/saves/.hidden.svp");

    PlayerFixture f;
    Player& p = f.start();
    f.dialogs.files.push_back(f.prog() + "/saves/Night1");
    click(p.mainWindow()->button("chameleonButton30"));
    ASSERT_EQ(f.dialogs.requests.size(), 1u);
    EXPECT_EQ(f.dialogs.requests[0].filter, "Sonaveil Files (*.svp)|*.svp");
    // What Load's dialog lists with that filter:
    EXPECT_EQ(QDir(f.prog() + "/saves").entryList({"*.svp"}, QDir::Files), QStringList{"Night1.svp"});
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST(Safekeeping, HelpAndContactSaySoWhenTheDesktopCannotOpenThem)
{
    PlayerFixture f;
    Player& p = f.start();
    click(p.mainWindow()->button("chameleonButton29"));
    EXPECT_TRUE(f.dialogs.messages.empty()) << "opened: nothing to say";
    f.launcher.openSucceeds = false;
    click(p.mainWindow()->button("chameleonButton29"));
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_EQ(f.dialogs.messages[0], "Sonaveil|There is no program on this desktop to show the help with. "
                                     "The help is the file \"" + f.prog() + "/help/index.html\".");
    p.showOptions();
    click(p.optionsWindow()->button("cmdContact"));
    ASSERT_EQ(f.dialogs.messages.size(), 2u);
    EXPECT_TRUE(f.dialogs.messages[1].startsWith("Sonaveil|There is no e-mail program on this desktop"));
    EXPECT_TRUE(f.dialogs.messages[1].contains('@'));
    EXPECT_FALSE(f.dialogs.messages[1].contains("mailto:"));
}

TEST(Safekeeping, FrequencyStepsShowOnlyOnPagesWithPitch)
{
    PlayerFixture f;
    Player& p = f.start();
    MainWindow* w = p.mainWindow();
    ASSERT_TRUE(w->isVisible());
    const QPoint centre = w->button("chameleonButton25")->mapTo(w, QPoint());
    for (int page = 1; page <= MainWindow::kPageCount; ++page) {
        w->showPage(page);
        QCoreApplication::processEvents();
        for (const char* name : {"chameleonButton18", "chameleonButton19", "chameleonButton20", "chameleonButton21"})
            EXPECT_EQ(w->button(name)->isVisible(), page != 4) << name << " page " << page;
        EXPECT_TRUE(w->button("chameleonButton25")->isVisible());
        EXPECT_EQ(w->button("chameleonButton25")->mapTo(w, QPoint()), centre) << "the other buttons stay put";
    }
}

TEST(Safekeeping, TheLastMixIsKeptSecondsAfterItChangedAndAFailureIsToldOnceNamingTheFile)
{
    PlayerFixture f;
    Player& p = f.start();
    p.model().setCheck(3, CheckState::Checked);
    QTest::qWait(MixKeeper::kDelayMs + 500);
    // On the disk while the player still runs, as a power cut would find it.
    ASSERT_TRUE(std::filesystem::exists(f.file(MixKeeper::kRunningName)));
    EXPECT_EQ(f.read(MixKeeper::kRunningName), PresetRecord::capture(p.model()).toText());

    UnwritableFolder locked(f.folder.path());
    if (!locked.active())
        GTEST_SKIP() << "cannot make a folder unwritable here";
    for (int sound : {4, 5}) {
        p.model().setCheck(sound, CheckState::Checked);
        QTest::qWait(MixKeeper::kDelayMs + 500);
    }
    ASSERT_EQ(f.dialogs.notices.size(), 1u) << "told once";
    EXPECT_TRUE(f.dialogs.notices[0].contains(f.file(MixKeeper::kRunningName).string().c_str())) << f.dialogs.notices[0].toStdString();
    EXPECT_TRUE(f.dialogs.messages.empty()) << "nothing that waits for an answer";
    // At close every file that cannot be written is named, in a notice that holds nothing up.
    f.close();
    ASSERT_EQ(f.dialogs.closingNotices.size(), 1u);
    const QString& closing = f.dialogs.closingNotices[0];
    for (const char* name : {"previous.tmp", "scard2.tmp", "alarm.tmp", "effects.tmp"})
        EXPECT_TRUE(closing.contains(name)) << name << ": " << closing.toStdString();
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST(Safekeeping, TrayWithoutATrayMinimisesAndSaysWhyOnce)
{
    PlayerFixture f;
    Player& p = f.start(false);
    p.showMainWindow();
    click(p.mainWindow()->button("chameleonButton26"));
    EXPECT_TRUE(p.mainWindow()->isVisible()) << "never hidden with no way back";
    EXPECT_TRUE(p.mainWindow()->isMinimized());
    ASSERT_EQ(f.dialogs.notices.size(), 1u);
    EXPECT_TRUE(f.dialogs.notices[0].contains("no tray")) << f.dialogs.notices[0].toStdString();
    p.showMainWindow();
    click(p.mainWindow()->button("chameleonButton26"));
    EXPECT_EQ(f.dialogs.notices.size(), 1u) << "once";
}
