// Sample files that cannot be loaded, and the last mix across an unclean end, as the player
// meets them at its start.
#include "playerfixture.h"

#include "player/presets/mixkeeper.h"
#include "player/presets/presetrecord.h"
#include "synth/endless.h"

#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace sonaveil;
using namespace sonaveil::player;
namespace fs = std::filesystem;

namespace {

// The fixture's samples as links of their own, so that single files can be replaced.
void ownSamples(PlayerFixture& f)
{
    const fs::path shipped = fs::read_symlink(f.file("bin"));
    fs::remove(f.file("bin"));
    fs::create_directory(f.file("bin"));
    for (const auto& e : fs::directory_iterator(shipped))
        fs::create_symlink(e.path(), f.file("bin") / e.path().filename());
}

} // namespace

TEST(SoundFiles, ASoundWhoseFileCannotBeLoadedIsToldOnceWithItsNameAndWhy)
{
    PlayerFixture f;
    ASSERT_TRUE(fs::is_symlink(f.file("bin"))) << "the fixture needs the built samples";
    ownSamples(f);
    fs::remove(f.file("bin/6.isz"));
    ASSERT_EQ(::mkfifo(f.file("bin/6.isz").c_str(), 0600), 0); // would hold the start-up up for good
    fs::remove(f.file("bin/9.isz"));
    fs::remove(f.file("bin/27.isz"));
    f.write("bin/27.isz", "a file of the user's that is no sound");
    ASSERT_TRUE(synth::hasEndless(6) && synth::hasEndless(9) && synth::hasEndless(27));

    Player& p = f.start();
    ASSERT_TRUE(p.started());
    ASSERT_EQ(f.dialogs.notices.size(), 1u) << "one notice for every sound";
    const QString text = f.dialogs.notices[0];
    const QStringList lines = text.split('\n');
    ASSERT_EQ(lines.size(), 4) << text.toStdString();
    EXPECT_TRUE(lines[1].startsWith("\"Rain1\" from \"" + f.prog() + "/bin/6.isz\": it is not a regular file"))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith("It plays live while endless sounds are on.")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("\"Ocean\" from")) << lines[2].toStdString();
    EXPECT_TRUE(lines[2].contains("the file is missing. It plays live")) << lines[2].toStdString();
    EXPECT_TRUE(lines[3].startsWith("\"Fan\" from")) << lines[3].toStdString();
    EXPECT_TRUE(lines[3].contains("not a sound file Sonaveil can read. It stays silent.")) << lines[3].toStdString();

    // As told: the built-in sounds play live, the user's file that fails stays silent.
    for (int sound : {6, 9, 27})
        p.model().setCheck(sound, CheckState::Checked);
    ASSERT_TRUE(voicesStarted(p));
    EXPECT_TRUE(p.model().entry(6).live);
    EXPECT_TRUE(p.model().entry(9).live);
    EXPECT_FALSE(p.model().entry(27).live);
    EXPECT_EQ(f.dialogs.notices.size(), 1u) << "told once";

    // With every file in place there is nothing to say.
    f.close();
    fs::remove(f.file("bin/6.isz"));
    fs::remove(f.file("bin/27.isz"));
    for (const char* name : {"6.isz", "9.isz", "27.isz"})
        fs::create_symlink(fs::path(std::getenv("SONAVEIL_DIST")) / "bin" / name, f.file("bin") / name);
    f.dialogs.notices.clear();
    f.start();
    EXPECT_TRUE(f.dialogs.notices.empty()) << f.dialogs.notices[0].toStdString();
}

TEST(SoundFiles, PreviousRestoresTheLastClosesMixAndAfterAnUncleanEndTheMixThatPlayed)
{
    PlayerFixture f;
    Player& p = f.start();
    p.model().setCheck(3, CheckState::Checked);
    f.close();
    const std::string closed = f.read("previous.tmp");

    Player& again = f.start();
    again.model().setCheck(3, CheckState::Unchecked);
    again.model().setCheck(4, CheckState::Checked);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fs::exists(f.file(MixKeeper::kRunningName)); }, 30000));
    EXPECT_EQ(f.read("previous.tmp"), closed) << "a change during the run leaves the last close's mix";
    again.presetActions().previous();
    EXPECT_TRUE(again.model().entry(3).on());
    EXPECT_FALSE(again.model().entry(4).on());

    // The running mix a session left when it was killed becomes the last mix at the next start.
    f.player.reset(); // its shutdown closes cleanly: the killed session's file is put by hand
    auto record = PresetRecord::parse(closed);
    ASSERT_TRUE(record);
    record->checks[7] = 1;
    const std::string killed = record->toText();
    f.write(MixKeeper::kRunningName, killed);
    f.write("previous.tmp", closed);
    Player& third = f.start();
    EXPECT_EQ(f.read("previous.tmp"), killed);
    EXPECT_FALSE(fs::exists(f.file(MixKeeper::kRunningName)));
    third.presetActions().previous();
    EXPECT_TRUE(third.model().entry(8).on());
}
