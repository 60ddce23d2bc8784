// The real program in a temporary program folder.
#include "tempfolder.h"
#include "testutil.h"

#include "player/presets/presetrecord.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <fstream>
#include <sstream>
#include <thread>
#include <spawn.h>
#include <sys/wait.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

extern char** environ;

class Program : public ::testing::TestWithParam<int> {};

TEST_P(Program, StartsAndWritesItsFilesWhenSignalled)
{
    const char* dist = std::getenv("SONAVEIL_DIST");
    ASSERT_NE(dist, nullptr);
    TempFolder folder;
    for (const char* f : {"quietdeck", "liblumidot.so"})
        fs::copy_file(fs::path(dist) / f, folder / f);
    fs::create_directory_symlink(fs::path(dist) / "bin", folder / "bin");
    fs::create_directory(folder / "saves");
    const fs::path ready = folder / "ready";

    // A runtime folder of its own: one player per user, and this one must not meet another's.
    TempFolder runtime;
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::string_view(*e).rfind("SONAVEIL_READY_FILE=", 0) != 0 && std::string_view(*e).rfind("XDG_RUNTIME_DIR=", 0) != 0)
            env.emplace_back(*e);
    env.push_back("SONAVEIL_READY_FILE=" + ready.string());
    env.push_back("XDG_RUNTIME_DIR=" + runtime.path().string());
    env.push_back("QT_QPA_PLATFORM=offscreen");
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = (folder / "quietdeck").string();
    char* argv[] = {program.data(), nullptr};
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);

    const bool started = waitFor([&] { return fs::exists(ready); }, 10s);
    if (!started)
        kill(pid, SIGKILL);
    ASSERT_TRUE(started);
    const long readyMs = std::stol(fileText(ready));
    EXPECT_GT(readyMs, 400); // the splash shows for 500 ms first
    EXPECT_FALSE(fs::exists(folder / "previous.tmp"));
    // Qt Charts is loaded with the profile's plots, when they are first shown: a player that
    // runs all night without them does not carry it.
    const std::string maps = fileText("/proc/" + std::to_string(pid) + "/maps");
    EXPECT_NE(maps.find("liblumidot.so"), std::string::npos);
    EXPECT_EQ(maps.find("libQt6Charts"), std::string::npos);

    ASSERT_EQ(kill(pid, GetParam()), 0);
    int status = 0;
    const bool ended = waitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 10s);
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    ASSERT_TRUE(ended);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const auto record = sonaveil::player::PresetRecord::parse(fileText(folder / "previous.tmp"));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->sliders[31], 100); // the master, at its start
    EXPECT_EQ(fileText(folder / "scard2.tmp"), "0\r\n");
    EXPECT_EQ(fileText(folder / "startup.tmp"), "0,#TRUE#,#FALSE#\r\n");
}

INSTANTIATE_TEST_SUITE_P(Signals, Program, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGTERM ? "SIGTERM" : info.param == SIGINT ? "SIGINT" : "SIGHUP");
                         });
