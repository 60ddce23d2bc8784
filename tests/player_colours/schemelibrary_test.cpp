#include "player/colours/schemelibrary.h"

#include "tempfolder.h"

#include <fstream>

#include <gtest/gtest.h>

using namespace sonaveil::player;
namespace fs = std::filesystem;

namespace {

void touch(const fs::path& p, const std::string& bytes = "x")
{
    std::ofstream(p, std::ios::binary) << bytes;
}

// Every file under `root`, relative to it.
std::vector<std::string> everyFile(const fs::path& root)
{
    std::vector<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file())
            files.push_back(fs::relative(e.path(), root).generic_string());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

TEST(SchemeLibrary, ListsSchemeFilesAlphabetically)
{
    TempFolder prog;
    SchemeLibrary lib(prog.path());
    EXPECT_TRUE(lib.names().empty()); // no folder yet
    fs::create_directories(lib.folder());
    for (const char* name : {"night.clr", "Default.clr", "Moss.clr", "Dawn.clr", "notes.txt", "Old.CLR", ".clr"})
        touch(lib.folder() / name);
    fs::create_directory(lib.folder() / "Folder.clr");
    EXPECT_EQ(lib.names(), (std::vector<std::string>{"Dawn", "Default", "Moss", "night"}));
}

TEST(SchemeLibrary, NamesThatLeaveTheFolderAreRefused)
{
    for (const char* good : {"Night", "my scheme", "Blue (2)", "a.b", "Nacht-ä", "!<>&*$%"})
        EXPECT_TRUE(SchemeLibrary::acceptableName(good)) << good;
    for (const char* bad : {"", "..", "../x", "a/b", "/abs", "a\\b", "x..y", "tab\there", "line\nbreak", "bell\x07",
                            "del\x7F"})
        EXPECT_FALSE(SchemeLibrary::acceptableName(bad)) << bad;

    TempFolder prog;
    SchemeLibrary lib(prog.path());
    ColourScheme s;
    for (const char* bad : {"../../escaped", "sub/dir", "..", "a\\b", "ctl\x01"}) {
        std::string error;
        EXPECT_FALSE(lib.save(bad, s, &error)) << bad;
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(lib.remove(bad));
        EXPECT_FALSE(lib.read(bad));
    }
    EXPECT_TRUE(everyFile(prog.path()).empty());
}

TEST(SchemeLibrary, SavesReadsReplacesAndDeletes)
{
    TempFolder prog;
    SchemeLibrary lib(prog.path());
    ColourScheme s;
    s.gradient1 = "1";
    s.palette = 3;
    ASSERT_TRUE(lib.save("Night", s)); // makes the folder when it is missing
    EXPECT_EQ(everyFile(prog.path()), std::vector<std::string>{"config/colors/Night.clr"});
    EXPECT_EQ(lib.read("Night"), SchemeFile::bytes(s));
    s.palette = 9;
    ASSERT_TRUE(lib.save("Night", s));
    EXPECT_EQ(lib.read("Night"), SchemeFile::bytes(s));
    EXPECT_TRUE(lib.remove("Night"));
    EXPECT_FALSE(lib.remove("Night"));
    EXPECT_FALSE(lib.read("Night"));
}

TEST(SchemeLibrary, AFolderThatCannotBeWrittenFailsTheSave)
{
    TempFolder prog;
    // A file where the folder should be.
    fs::create_directories(prog / "config");
    touch(prog / "config" / "colors");
    SchemeLibrary lib(prog.path());
    std::string error;
    EXPECT_FALSE(lib.save("Night", ColourScheme{}, &error));
    EXPECT_FALSE(error.empty());
}
