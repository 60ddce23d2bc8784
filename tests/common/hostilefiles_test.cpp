// Files that are not what a reader expects: FIFOs, devices, folders, huge files, numbers that
// are no numbers, and the torsos of interrupted writes.
#include "common/atomicfile.h"
#include "common/inifile.h"
#include "common/textrecord.h"

#include "tempfolder.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace sonaveil;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

TEST(HostileFiles, ReadingRefusesAnythingButASmallRegularFileAtOnce)
{
    TempFolder dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    fs::create_directory(dir / "folder");
    {
        std::ofstream big(dir / "big", std::ios::binary);
        big << std::string(10 << 20, '1');
    }
    {
        std::ofstream edge(dir / "edge", std::ios::binary);
        edge << std::string(kMaxStateFileBytes, '1');
    }
    struct Case {
        fs::path path;
        const char* why;
    };
    for (const Case& c : {Case{dir / "fifo", "not a regular file"}, Case{"/dev/zero", "not a regular file"},
                          Case{dir / "folder", "folder"}, Case{dir / "big", "larger than"},
                          Case{dir / "missing", "No such file"}}) {
        SCOPED_TRACE(c.path.string());
        const auto start = Clock::now();
        std::string error;
        EXPECT_FALSE(readWholeFile(c.path, kMaxStateFileBytes, &error));
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
        EXPECT_NE(error.find(c.why), std::string::npos) << error;
    }
    // Exactly the limit is still read; one byte less of a limit refuses it.
    EXPECT_EQ(readWholeFile(dir / "edge")->size(), kMaxStateFileBytes);
    EXPECT_FALSE(readWholeFile(dir / "edge", kMaxStateFileBytes - 1));
}

TEST(HostileFiles, AnIniFileThatCannotBeReadIsNotReplaced)
{
    TempFolder dir;
    fs::create_directory(dir / "settings.ini");
    std::string error;
    EXPECT_FALSE(IniFile::writeString(dir / "settings.ini", "Startup", "Display", "1", &error));
    EXPECT_TRUE(fs::is_directory(dir / "settings.ini"));
    {
        std::ofstream big(dir / "big.ini", std::ios::binary);
        big << "[Startup]\r\n" << std::string(2 << 20, ';');
    }
    EXPECT_FALSE(IniFile::writeString(dir / "big.ini", "Startup", "Display", "1", &error));
    EXPECT_EQ(fs::file_size(dir / "big.ini"), 11u + (2u << 20));
}

TEST(HostileFiles, NumbersThatAreNotFiniteOrFarOutOfRangeAreBadFields)
{
    for (const char* bad : {"nan", "NaN", "-nan", "inf", "-inf", "infinity", "1e300", "-1e300", "1e10",
                            "0x10", "", "+", "1.5.2", "1e", "--1"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(fieldToNumber(bad));
        if (*bad) { // an empty field is 0 as an integer
            EXPECT_FALSE(fieldToInteger(bad));
        }
    }
    EXPECT_EQ(fieldToNumber(" 2.5 "), 2.5);
    EXPECT_EQ(fieldToNumber("+3"), 3.0);
    EXPECT_EQ(fieldToNumber("-1e3"), -1000.0);
    EXPECT_EQ(fieldToNumber("1e9"), 1e9);
    EXPECT_FALSE(fieldToInt32("99999999999999999999999"));
    EXPECT_FALSE(fieldToInt16("32768"));
}

TEST(HostileFiles, WritingLeavesOnlyTheTargetAndNamesItsTemporariesRecognisably)
{
    TempFolder dir;
    ASSERT_TRUE(writeFileAtomically(dir / "previous.tmp", "1,2\r\n"));
    EXPECT_EQ(entriesIn(dir.path()), 1);
    EXPECT_TRUE(isWriteTemporaryName(".previous.tmp.part-Ab12Cd"));
    EXPECT_FALSE(isWriteTemporaryName("previous.tmp"));
    EXPECT_FALSE(isWriteTemporaryName(".previous.tmp.part-"));
    EXPECT_FALSE(isWriteTemporaryName("previous.tmp.part-Ab12Cd"));
    EXPECT_FALSE(isWriteTemporaryName(".part-Ab12Cd"));
}

TEST(HostileFiles, TemporariesOfInterruptedWritesAreRemovedAndNothingElse)
{
    TempFolder dir;
    for (const char* name : {".previous.tmp.part-Ab12Cd", ".settings.ini.part-000000", "previous.tmp",
                             "Night.svp", ".hidden", "x.part-Ab12Cd"}) {
        std::ofstream(dir / name) << "x";
    }
    fs::create_directory(dir / ".folder.part-Ab12Cd"); // not a file: left alone
    EXPECT_EQ(removeStaleTemporaries(dir.path()), 2);
    EXPECT_FALSE(fs::exists(dir / ".previous.tmp.part-Ab12Cd"));
    EXPECT_FALSE(fs::exists(dir / ".settings.ini.part-000000"));
    EXPECT_EQ(entriesIn(dir.path()), 5);
    EXPECT_EQ(removeStaleTemporaries(dir / "missing"), 0);
}

TEST(HostileFiles, AFolderThatCannotBeWrittenIsNoticed)
{
    TempFolder dir;
    std::string error;
    EXPECT_TRUE(folderIsWritable(dir.path(), &error));
    EXPECT_EQ(entriesIn(dir.path()), 0);
    EXPECT_FALSE(folderIsWritable(dir / "missing", &error));
    EXPECT_NE(error.find("missing"), std::string::npos);
    fs::create_directory(dir / "locked");
    UnwritableFolder locked(dir / "locked");
    if (!locked.active())
        GTEST_SKIP() << "cannot make a folder unwritable here";
    EXPECT_FALSE(folderIsWritable(dir / "locked", &error));
    EXPECT_NE(error.find("locked"), std::string::npos) << error;
    EXPECT_FALSE(writeFileAtomically(dir / "locked" / "previous.tmp", "1", &error));
}
