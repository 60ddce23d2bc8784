#include "common/programfolder.h"

#include "common/atomicfile.h"
#include "tempfolder.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <sys/mount.h>
#include <unistd.h>

using namespace sonaveil;
namespace fs = std::filesystem;

namespace {

// Makes a folder read-only with what it holds still visible: its permissions for an ordinary
// user, a read-only bind mount over itself for root.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(fs::path folder)
        : m_folder(std::move(folder))
    {
        if (::geteuid() != 0) {
            std::error_code ec;
            fs::permissions(m_folder, fs::perms::owner_read | fs::perms::owner_exec, ec);
            m_active = !ec;
        } else if (::mount(m_folder.c_str(), m_folder.c_str(), nullptr, MS_BIND, nullptr) == 0) {
            m_mounted = true;
            m_active = ::mount(nullptr, m_folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
        }
    }
    ~ReadOnlyFolder()
    {
        if (m_mounted)
            ::umount2(m_folder.c_str(), MNT_DETACH);
        else if (m_active)
            fs::permissions(m_folder, fs::perms::owner_all);
    }
    bool active() const { return m_active; }

private:
    fs::path m_folder;
    bool m_active = false;
    bool m_mounted = false;
};

void put(const fs::path& file, const std::string& bytes)
{
    fs::create_directories(file.parent_path());
    ASSERT_TRUE(writeFileAtomically(file, bytes)) << file;
}

std::string text(const fs::path& file)
{
    return readWholeFile(file).value_or("<missing>");
}

// A program folder as a package installs it: the program, samples and the starter files.
struct Installed {
    TempFolder root;
    fs::path program = root / "usr/lib/sonaveil";
    fs::path home = root / "home/listener";
    ProgramFolder::Environment env{"", home.string()};

    Installed()
    {
        put(program / "bin/1.isz", "samples");
        put(program / "saves/Ocean Night.svp", "ocean 1");
        put(program / "saves/Soft Rain.svp", "rain 1");
        put(program / "presets/Flat.eqf", "flat 1");
        put(program / "config/colors/Night.clr", "night 1");
        put(program / "config/alarms/default.wav", "alarm 1");
        fs::create_directories(home);
    }
    fs::path user() const { return home / ".local/share/sonaveil"; }
};

// An installed program folder that cannot be written, as a package leaves it.
class ReadOnlyInstall : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!readOnly.active())
            GTEST_SKIP() << "cannot make a folder read-only here";
    }

    Installed tree;
    ReadOnlyFolder readOnly{tree.program};
};

} // namespace

TEST(ProgramFolder, AWritableProgramFolderKeepsEverythingBesideThePrograms)
{
    Installed tree;
    const ProgramFolder folder = ProgramFolder::decide(tree.program / "", tree.env);
    EXPECT_EQ(folder.program(), tree.program);
    EXPECT_EQ(folder.user(), tree.program);
    EXPECT_FALSE(folder.separate());

    ASSERT_TRUE(folder.prepare());
    EXPECT_TRUE(fs::is_directory(tree.program / "saved recordings"));
    EXPECT_FALSE(fs::exists(tree.user()));
    EXPECT_FALSE(fs::exists(tree.program / ProgramFolder::kStarterRecord));
    EXPECT_EQ(text(tree.program / "saves/Ocean Night.svp"), "ocean 1");
}

TEST_F(ReadOnlyInstall, AReadOnlyProgramFolderSendsTheUsersFilesToTheDataFolder)
{
    const ProgramFolder folder = ProgramFolder::decide(tree.program, tree.env);
    EXPECT_EQ(folder.program(), tree.program);
    EXPECT_EQ(folder.user(), tree.user());
    EXPECT_TRUE(folder.separate());

    // $XDG_DATA_HOME wins when it is absolute; a relative one is ignored, as the standard says.
    EXPECT_EQ(ProgramFolder::decide(tree.program, {"/srv/data/", "/home/x"}).user(), "/srv/data/sonaveil");
    EXPECT_EQ(ProgramFolder::decide(tree.program, {"data", "/home/x"}).user(), "/home/x/.local/share/sonaveil");
}

TEST_F(ReadOnlyInstall, TheFirstStartCreatesTheDataFolderAndCopiesTheStartersOnce)
{
    const ProgramFolder folder = ProgramFolder::decide(tree.program, tree.env);

    ProgramFolder::Problem problem;
    ASSERT_TRUE(folder.prepare(&problem)) << problem.folder << ": " << problem.systemReason;
    for (const auto& sub : ProgramFolder::userFolders())
        EXPECT_TRUE(fs::is_directory(tree.user() / sub)) << sub;
    EXPECT_EQ(text(tree.user() / "saves/Ocean Night.svp"), "ocean 1");
    EXPECT_EQ(text(tree.user() / "saves/Soft Rain.svp"), "rain 1");
    EXPECT_EQ(text(tree.user() / "presets/Flat.eqf"), "flat 1");
    EXPECT_EQ(text(tree.user() / "config/colors/Night.clr"), "night 1");
    EXPECT_EQ(text(tree.user() / "config/alarms/default.wav"), "alarm 1");
    // Samples, pictures and help are read from the program folder, never copied.
    EXPECT_FALSE(fs::exists(tree.user() / "bin"));

    // The user edits one starter and deletes another; the next start brings neither back.
    put(tree.user() / "saves/Ocean Night.svp", "ocean, my way");
    fs::remove(tree.user() / "saves/Soft Rain.svp");
    ASSERT_TRUE(folder.prepare());
    EXPECT_EQ(text(tree.user() / "saves/Ocean Night.svp"), "ocean, my way");
    EXPECT_FALSE(fs::exists(tree.user() / "saves/Soft Rain.svp"));
}

TEST(ProgramFolder, AnUpgradeKeepsTheUsersFilesAndBringsOnlyNewStarters)
{
    Installed tree;
    // A user of an older version: their own presets and state files are already there, one of
    // them under a starter's name, and no record of starters exists yet.
    put(tree.user() / "saves/Ocean Night.svp", "my ocean");
    put(tree.user() / "saves/Mine.svp", "mine");
    put(tree.user() / "previous.tmp", "last mix");
    put(tree.user() / "config/colors/Night.clr", "my night");

    {
        ReadOnlyFolder readOnly(tree.program);
        if (!readOnly.active())
            GTEST_SKIP() << "cannot make a folder read-only here";
        ASSERT_TRUE(ProgramFolder::decide(tree.program, tree.env).prepare());
    }
    EXPECT_EQ(text(tree.user() / "saves/Ocean Night.svp"), "my ocean");
    EXPECT_EQ(text(tree.user() / "config/colors/Night.clr"), "my night");
    EXPECT_EQ(text(tree.user() / "saves/Soft Rain.svp"), "rain 1");
    fs::remove(tree.user() / "saves/Soft Rain.svp");

    // The upgrade changes every starter and adds one.
    put(tree.program / "saves/Ocean Night.svp", "ocean 2");
    put(tree.program / "saves/Soft Rain.svp", "rain 2");
    put(tree.program / "saves/Forest.svp", "forest 2");
    put(tree.program / "presets/Flat.eqf", "flat 2");
    ReadOnlyFolder readOnly(tree.program);
    ASSERT_TRUE(readOnly.active());
    ASSERT_TRUE(ProgramFolder::decide(tree.program, tree.env).prepare());

    EXPECT_EQ(text(tree.user() / "saves/Ocean Night.svp"), "my ocean");
    EXPECT_EQ(text(tree.user() / "saves/Mine.svp"), "mine");
    EXPECT_EQ(text(tree.user() / "previous.tmp"), "last mix");
    EXPECT_EQ(text(tree.user() / "presets/Flat.eqf"), "flat 1");
    EXPECT_FALSE(fs::exists(tree.user() / "saves/Soft Rain.svp"));
    EXPECT_EQ(text(tree.user() / "saves/Forest.svp"), "forest 2");
}

TEST_F(ReadOnlyInstall, AUserFolderThatCannotBeCreatedIsReported)
{
    // A file where the data folder should be.
    put(tree.home / ".local/share/sonaveil", "in the way");
    ProgramFolder::Problem problem;
    EXPECT_FALSE(ProgramFolder::decide(tree.program, tree.env).prepare(&problem));
    EXPECT_NE(problem.folder.string().find(".local/share/sonaveil"), std::string::npos) << problem.folder;
}

TEST(ProgramFolder, AFolderBelongingToAnInstallationIsNeverWrittenEvenWhenItCouldBe)
{
    // Root runs the programs of a system install: the folder is writable, and still only read.
    Installed tree;
    put(tree.program / ProgramFolder::kInstallationMark, "installed");
    ASSERT_EQ(::access(tree.program.c_str(), W_OK), 0);
    const ProgramFolder folder = ProgramFolder::decide(tree.program, tree.env);
    EXPECT_TRUE(folder.separate());
    EXPECT_EQ(folder.user(), tree.user());
    ASSERT_TRUE(folder.prepare());
    EXPECT_FALSE(fs::exists(tree.program / "saved recordings"));
    EXPECT_EQ(text(tree.user() / "saves/Ocean Night.svp"), "ocean 1");
}

TEST(ProgramFolder, AFolderWhoseNameIsNotUtf8IsReachedUnderANameThatIs)
{
    EXPECT_TRUE(ProgramFolder::validUtf8("/usr/lib/sonaveil/Kl\xc3\xa4nge \xe2\x99\xab \xf0\x9f\x8e\xb5"));
    for (const char* bad : {"/a\xff", "/a\xc3", "/a\xc0\xaf", "/a\xed\xa0\x80", "/a\xf4\x90\x80\x80", "/a\xe2\x99"})
        EXPECT_FALSE(ProgramFolder::validUtf8(bad)) << bad;

    TempFolder root;
    const fs::path odd = root / "Kl\xe4nge"; // Latin-1, as an old archive unpacks it
    put(odd / "saves/Night.svp", "night");
    put(odd / "conver", "#!/bin/sh\necho converted \"$1\"\n");
    fs::permissions(odd / "conver", fs::perms::owner_all);

    const ProgramFolder folder = ProgramFolder::decide(odd, {"", (root / "home").string()});
    EXPECT_FALSE(folder.separate()) << "a writable folder keeps the user's files, whatever its name";
    EXPECT_TRUE(ProgramFolder::validUtf8(folder.program().string())) << folder.program();
    EXPECT_EQ(text(folder.program() / "saves/Night.svp"), "night");
    ASSERT_TRUE(writeFileAtomically(folder.user() / "previous.tmp", "mix"));
    EXPECT_EQ(text(odd / "previous.tmp"), "mix");
    // Messages name the folder as the user knows it.
    EXPECT_EQ(ProgramFolder::shownPath(folder.program() / "bin/6.isz"), odd / "bin/6.isz");
    EXPECT_EQ(ProgramFolder::shownPath("/usr/lib/sonaveil/bin/6.isz"), "/usr/lib/sonaveil/bin/6.isz");
    // A program started from here reaches the same folder under the same name.
    const std::string command = "'" + (folder.program() / "conver").string() + "' '"
        + (folder.program() / "saves/Night.svp").string() + "' > '" + (root / "said").string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(text(root / "said").rfind("converted ", 0), 0u) << text(root / "said");

    // File dialogs show the folder under a readable name that leads to the same files, and what
    // they answer comes back under the program's own name.
    const fs::path runtime = root / "run";
    fs::create_directory(runtime);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    const fs::path shown = ProgramFolder::readablePath(folder.program() / "saves");
    EXPECT_TRUE(ProgramFolder::validUtf8(shown.string())) << shown;
    EXPECT_EQ(shown.parent_path().filename(), "Kl_nge");
    EXPECT_EQ(shown.parent_path().parent_path().parent_path(), runtime);
    EXPECT_EQ(text(shown / "Night.svp"), "night");
    EXPECT_EQ(ProgramFolder::readablePath(folder.program()), shown.parent_path()) << "one name for one folder";
    EXPECT_EQ(ProgramFolder::fromReadablePath(shown / "Dawn.svp"), folder.program() / "saves/Dawn.svp");
    EXPECT_EQ(ProgramFolder::fromReadablePath(shown.parent_path()), folder.program());
    EXPECT_EQ(ProgramFolder::fromReadablePath(root / "Dawn.svp"), root / "Dawn.svp");
    EXPECT_EQ(ProgramFolder::readablePath(root / "Dawn.svp"), root / "Dawn.svp");
    ::unsetenv("XDG_RUNTIME_DIR");

    // A name that is valid UTF-8 stays as it is.
    Installed tree;
    EXPECT_EQ(ProgramFolder::decide(tree.program, tree.env).program(), tree.program);
}
