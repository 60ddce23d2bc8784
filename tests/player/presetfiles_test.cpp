#include "player/presets/presetfiles.h"
#include "player/presets/presetrecord.h"

#include "../player_core/fakebinding.h"
#include "tempfolder.h"
#include "testutil.h"

#include <gtest/gtest.h>


using namespace sonaveil;
using namespace sonaveil::player;
namespace fs = std::filesystem;

TEST(TrimAppPath, RemovesTheSavesFolderAndEveryExtension)
{
    EXPECT_EQ(PresetFiles::trimAppPath("/opt/sv/saves/Rain.svp", "/opt/sv"), "Rain");
    EXPECT_EQ(PresetFiles::trimAppPath("/home/me/Storm.svp", "/opt/sv"), "/home/me/Storm");
    EXPECT_EQ(PresetFiles::trimAppPath("/opt/sv/saves/a.svp.svp", "/opt/sv"), "a");
    // Case-sensitive: another spelling of the folder or the extension stays.
    EXPECT_EQ(PresetFiles::trimAppPath("/opt/sv/Saves/Rain.SVP", "/opt/sv"), "/opt/sv/Saves/Rain.SVP");
}

class PresetFilesTest : public ::testing::Test {
protected:
    PresetFilesTest()
    {
        fs::create_directory(folder / "saves");
        model.loadSamples(folder.path());
        files.showCurrent = [this](const std::string& t) { shown.push_back(t); };
    }
    TempFolder folder;
    FakeBinding audio;
    ChannelModel model{audio};
    PresetFiles files{model, folder.path()};
    std::vector<std::string> shown;
};

TEST_F(PresetFilesTest, LoadNamesThePresetOnLineFour)
{
    ASSERT_TRUE(files.save(files.savesFolder() + "/Rain.svp"));
    ASSERT_TRUE(files.save(files.lastMixPath()));
    ASSERT_TRUE(files.load(files.savesFolder() + "/Rain.svp"));
    ASSERT_TRUE(files.load(files.lastMixPath()));
    EXPECT_EQ(shown, (std::vector<std::string>{"Current:Rain", "Current:Previous"}));
    EXPECT_EQ(files.currentName(), "Previous");

    // From outside "saves" the line has room for the name, not the start of the folder.
    fs::create_directories(folder / "home/listener/My Presets");
    const std::string outside = (folder / "home/listener/My Presets/Storm.svp").string();
    ASSERT_TRUE(files.save(outside));
    ASSERT_TRUE(files.load(outside));
    EXPECT_EQ(shown.back(), "Current:Storm");
    ASSERT_TRUE(files.save(files.savesFolder() + "/Mine"));
    ASSERT_TRUE(files.load(files.savesFolder() + "/Mine"));
    EXPECT_EQ(shown.back(), "Current:Mine");
}

TEST_F(PresetFilesTest, AFailedLoadChangesNothing)
{
    model.setCheck(3, CheckState::Checked);
    model.setSlider(3, 77);
    const PresetRecord before = PresetRecord::capture(model);

    PresetRecord other;
    other.checks[0] = 1;
    std::string text = other.toText();
    text = text.substr(0, text.rfind(',')) + "\r\n"; // 136 fields
    writeFileText(folder / "short.svp", text);
    std::string error;
    EXPECT_FALSE(files.load((folder / "short.svp").string(), &error));
    EXPECT_FALSE(files.load((folder / "missing.svp").string()));
    // A bad field early in the record: nothing before it is applied either.
    std::string bad = other.toText();
    bad[4] = 'x'; // field 3, after the first check state that a partial load would apply
    writeFileText(folder / "bad.svp", bad);
    EXPECT_FALSE(files.load((folder / "bad.svp").string()));

    EXPECT_EQ(PresetRecord::capture(model), before);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(files.currentName(), "None");
}

TEST(QuickSlots, ReadingLetsLaterLinesWinAndSkipsBadSlots)
{
    TempFolder folder;
    writeFileText(folder / "preset.txt", "\"3\",\"Rain\"\r\n\"3\",\"Storm\"\r\n\"x\",\"Bad\"\r\n\"11\",\"Far\"\r\n"
                               "\r\n 1 , \"Fan, loud\"\n\"2.5\",\"Half\"\r\n\"0.5\",\"Zero\"\r\n");
    QuickSlots slots(folder / "preset.txt");
    slots.read();
    EXPECT_EQ(slots.caption(2), "Half"); // 2.5 − 1 = 1.5 goes to the even 2: the third slot
    EXPECT_EQ(slots.caption(0), "Zero"); // 0.5 − 1 = −0.5 goes to 0
    EXPECT_EQ(slots.caption(1), "");
    for (int i = 3; i < 10; ++i)
        EXPECT_EQ(slots.caption(i), "") << i;
    writeFileText(folder / "preset.txt", "\"3\",\"Rain\"\r\n\"3\",\"Storm\"\r\n\"1\",\"Fan, loud\"\r\n");
    slots.read();
    EXPECT_EQ(slots.caption(2), "Storm");
    EXPECT_EQ(slots.caption(0), "Fan, loud");
}

TEST(QuickSlots, AssignAcceptsOnlyWholeNumbersOneToTen)
{
    for (const char* good : {"1", "10", " 3 ", "03"})
        EXPECT_TRUE(QuickSlots::slotNumber(good)) << good;
    for (const char* bad : {"", "0", "11", "-1", "2.5", "three", "1e1", " "})
        EXPECT_FALSE(QuickSlots::slotNumber(bad)) << bad;

    TempFolder folder;
    QuickSlots slots(folder / "preset.txt");
    EXPECT_EQ(slots.assign("0", "Rain"), QuickSlots::Assign::NotANumber);
    EXPECT_FALSE(fs::exists(folder / "preset.txt"));
    EXPECT_EQ(slots.assign("3", "Rain"), QuickSlots::Assign::Done);
    writeFileText(folder / "preset.txt", fileText(folder / "preset.txt") + "\"4\",\"NoLineEnd\"");
    EXPECT_EQ(slots.assign("4", "Storm"), QuickSlots::Assign::Done);
    EXPECT_EQ(fileText(folder / "preset.txt"), "\"3\",\"Rain\"\r\n\"4\",\"NoLineEnd\"\r\n\"4\",\"Storm\"\r\n");
}
