// The synthesiser as a command: options are answered, never taken for a folder to fill.
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

TEST(SynthTool, AnswersHelpAndRefusesUnknownOptionsWithoutWritingAnything)
{
    TempFolder dir;
    auto run = [&](const std::string& args) {
        const std::string command = "cd " + dir.path().string() + " && " SYNTH_TOOL " " + args + " >out.txt 2>err.txt";
        return WEXITSTATUS(std::system(command.c_str()));
    };
    auto read = [&](const char* name) {
        std::ostringstream s;
        s << std::ifstream(dir / name).rdbuf();
        return s.str();
    };
    EXPECT_EQ(run("--help"), 0);
    EXPECT_NE(read("out.txt").find("usage:"), std::string::npos);
    EXPECT_EQ(run("-h"), 0);
    EXPECT_EQ(run("--version"), 2);
    EXPECT_NE(read("err.txt").find("unknown option \"--version\""), std::string::npos);
    EXPECT_EQ(run(""), 2);
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_TRUE(entry.path().filename() == "out.txt" || entry.path().filename() == "err.txt")
            << "made " << entry.path();
}
