#include "helpers.h"

#include "lumidot/errorlog.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

using namespace lumidot_test;

namespace {

// Points the user's temporary folder at a fresh folder for the life of the test.
struct TempLog : ::testing::Test {
    TempFolder folder;
    std::string saved;
    bool had = false;
    void SetUp() override
    {
        if (const char* t = std::getenv("TMPDIR")) {
            had = true;
            saved = t;
        }
        setenv("TMPDIR", folder.path().c_str(), 1);
    }
    void TearDown() override
    {
        if (had)
            setenv("TMPDIR", saved.c_str(), 1);
        else
            unsetenv("TMPDIR");
    }
    std::string log() const
    {
        std::ifstream in(folder / "lcderror.log", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

} // namespace

TEST_F(TempLog, ReportIsAppendedInItsFormat)
{
    EXPECT_EQ(ErrorTempFolder(), folder.path());
    LogError({5, "lumidot", "Invalid procedure call or argument"}, "Sub: 1000\r\nLine: 3");
    LogError({16777216 | 7, "x", "skipped"}, "Sub: 1000\r\nLine: 4");
    LogError({11, "lumidot", "Division by zero"}, "Sub: alr1002\r\nLine: 9");
    const std::string text = log();
    const std::regex one(
        "Date/Time  : \\d\\d/\\d\\d/\\d{4} \\d{1,2}:\\d\\d:\\d\\d (AM|PM)\r\n"
        "Version    : \\d+\\.\\d+\\.\\d+\r\n"
        "-{20}\r\n"
        "Location   : Sub: 1000\r\nLine: 3\r\n"
        "Error      : 5\r\n"
        "Error Sourc: lumidot\r\n"
        "Error Description: Invalid procedure call or argument\r\n"
        "={20}\r\n"
        "Date/Time  : [^\r]*\r\n"
        "Version    : [^\r]*\r\n"
        "-{20}\r\n"
        "Location   : Sub: alr1002\r\nLine: 9\r\n"
        "Error      : 11\r\n"
        "Error Sourc: lumidot\r\n"
        "Error Description: Division by zero\r\n"
        "={20}\r\n");
    EXPECT_TRUE(std::regex_match(text, one)) << text;
}

TEST_F(TempLog, AnimationStepThatCannotRunIsLoggedAndSkipped)
{
    DisplayModel m;
    m.setLCDCol(10);
    m.ResizeDisplay();
    m.SetAnimationOpts(1, Bounce, 10, true, false, 0);
    m.SetAnimation(1, u"AB");
    for (int i = 0; i < 6; ++i)
        m.tick(0);
    const std::u16string frame = m.GetDisplay(1);
    m.setLCDCol(3); // the running cycle now asks for a negative count of spaces
    m.tick(0);
    EXPECT_EQ(m.GetDisplay(1), frame);
    EXPECT_FALSE(m.timerEnabled(0));
    EXPECT_NE(log().find("Location   : Sub: alr1002\r\nLine: 12\r\n"), std::string::npos) << log();
}
