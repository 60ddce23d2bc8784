#include "common/atomicfile.h"

#include "tempfolder.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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
    EXPECT_EQ(entriesIn(dir.path()), 1);
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
    EXPECT_EQ(entriesIn(dir.path()), 1);
}

TEST(AtomicFile, ReadingAMissingFileGivesNothing)
{
    TempFolder dir;
    EXPECT_FALSE(readWholeFile(dir / "nothing"));
}

// The temporaries a write really leaves when it dies half-way are the ones the start-up cleaner
// takes, and names that only look alike stay.
TEST(AtomicFile, TheCleanerRemovesExactlyTheTemporariesThatInterruptedWritesLeave)
{
    TempFolder dir;
    const std::vector<std::string> targets = {"previous.tmp", "Night.svp", "settings.ini", "a b.clr"};
    for (const std::string& target : targets) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Killed by the file-size limit in the middle of the write, as by a crash.
            rlimit small{4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &small);
            ::signal(SIGXFSZ, SIG_DFL);
            writeFileAtomically(dir / target, std::string(1 << 16, 'x'));
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the write was not interrupted";
    }
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        left.push_back(entry.path().filename().string());
    ASSERT_EQ(left.size(), targets.size());
    for (const std::string& name : left)
        EXPECT_TRUE(isWriteTemporaryName(name)) << name;

    const std::vector<std::string> lookalikes = {"previous.tmp", ".previous.tmp.part-Ab12C", ".previous.tmp.part-Ab12Cde",
                                                 "previous.tmp.part-Ab12Cd", ".previous.tmp-part-Ab12Cd"};
    for (const std::string& name : lookalikes)
        std::ofstream(dir / name) << "x";
    EXPECT_EQ(removeStaleTemporaries(dir.path()), int(targets.size()));
    for (const std::string& name : left)
        EXPECT_FALSE(fs::exists(dir / name)) << name;
    for (const std::string& name : lookalikes)
        EXPECT_TRUE(fs::exists(dir / name)) << name;
}
