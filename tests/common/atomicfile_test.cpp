#include "common/atomicfile.h"

#include "tempfolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace sonaveil;
namespace fs = std::filesystem;

TEST(AtomicFile, WritesExactlyTheBytesAndLeavesNoTemporaryFile)
{
    TempFolder dir;
    const std::string bytes("1,0,\r\n\0x", 8);
    ASSERT_TRUE(writeFileAtomically(dir / "previous.tmp", bytes));
    EXPECT_EQ(readWholeFile(dir / "previous.tmp"), bytes);
    ASSERT_TRUE(writeFileAtomically(dir / "previous.tmp", "short"));
    EXPECT_EQ(readWholeFile(dir / "previous.tmp"), "short");
    int files = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(AtomicFile, ANewFileGetsTheUsualModeAndAReplacedOneKeepsItsOwn)
{
    TempFolder dir;
    const mode_t saved = ::umask(022);
    const bool written = writeFileAtomically(dir / "new.tmp", "1\r\n");
    ::umask(saved);
    ASSERT_TRUE(written);
    EXPECT_EQ(fs::status(dir / "new.tmp").permissions(), fs::perms(0644));

    for (const fs::perms mode : {fs::perms(0600), fs::perms(0640), fs::perms(0664)}) {
        fs::permissions(dir / "new.tmp", mode);
        ASSERT_TRUE(writeFileAtomically(dir / "new.tmp", "2\r\n"));
        EXPECT_EQ(fs::status(dir / "new.tmp").permissions(), mode);
    }
    EXPECT_EQ(readWholeFile(dir / "new.tmp"), "2\r\n");
}

TEST(AtomicFile, FailureLeavesTheTargetAsItWas)
{
    TempFolder dir;
    std::string error;
    EXPECT_FALSE(writeFileAtomically(dir / "missing-folder" / "x.tmp", "data", &error));
    EXPECT_FALSE(error.empty());

    // A target that is a folder cannot be replaced by a file.
    fs::create_directory(dir / "taken");
    EXPECT_FALSE(writeFileAtomically(dir / "taken", "data", &error));
    EXPECT_TRUE(fs::is_directory(dir / "taken"));
    int files = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(AtomicFile, ReadingAMissingFileGivesNothing)
{
    TempFolder dir;
    EXPECT_FALSE(readWholeFile(dir / "nothing"));
}
