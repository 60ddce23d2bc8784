// The file beside a preset that keeps the user's sounds.
#include "player/mysounds/companionfile.h"

#include "tempfolder.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace sonaveil::player;
namespace fs = std::filesystem;

TEST(CompanionFile, RoundTripsBesideThePresetAndIsRemovedWhenNoSoundIsOn)
{
    TempFolder folder;
    const std::string preset = (folder / "Rain.svp").string();
    EXPECT_EQ(CompanionFile::pathFor(preset), preset + ".mysounds");
    const std::vector<CompanionFile::Entry> entries{{"fan.wav", "Fan, \"ours\"", 120, 4410, 12},
                                                    {"/home/x/My Album", "My Album", 0, 10, 25}};
    ASSERT_TRUE(CompanionFile::write(preset, entries));
    EXPECT_EQ(CompanionFile::read(preset), entries);
    // No sound on: no companion left to bring old sounds back.
    ASSERT_TRUE(CompanionFile::write(preset, {}));
    EXPECT_FALSE(fs::exists(CompanionFile::pathFor(preset)));
    EXPECT_EQ(CompanionFile::read(preset), std::vector<CompanionFile::Entry>{});
}

TEST(CompanionFile, ADamagedCompanionIsNotTakenForNone)
{
    TempFolder folder;
    const std::string preset = (folder / "Night.svp").string();
    for (const char* text : {"", "junk", "\"Sonaveil preset sounds\",2\r\n",
                             "\"Sonaveil preset sounds\",1\r\n\"a\",\"A\",1,2\r\n",
                             "\"Sonaveil preset sounds\",1\r\n\"a\",\"A\",x,2,3\r\n"}) {
        std::ofstream(CompanionFile::pathFor(preset), std::ios::binary) << text;
        EXPECT_FALSE(CompanionFile::read(preset)) << text;
    }
    EXPECT_EQ(CompanionFile::parse("\"Sonaveil preset sounds\",1\r\n"), std::vector<CompanionFile::Entry>{});
}
