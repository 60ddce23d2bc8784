// Two real players: the second start hands its command line to the first and ends.
#include "tempfolder.h"
#include "testutil.h"

#include "player/presets/presetrecord.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>
#include <optional>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

extern char** environ;

namespace {

struct Outcome {
    int status = -1;
    std::string output; // standard output and error
    std::chrono::milliseconds took{};
};

class Instances : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* dist = std::getenv("SONAVEIL_DIST");
        ASSERT_NE(dist, nullptr);
        for (const char* f : {"quietdeck", "liblumidot.so"})
            fs::copy_file(fs::path(dist) / f, folder / f);
        fs::create_directory_symlink(fs::path(dist) / "bin", folder / "bin");
        fs::create_directory(folder / "saves");
        std::string preset;
        for (int n = 1; n <= 35; ++n)
            preset += n <= 2 ? "1," : "0,";
        for (int i = 0; i < 102; ++i)
            preset += std::string(i == 31 ? "70" : "100") + (i + 1 < 102 ? "," : "\r\n");
        std::ofstream(folder / "saves" / "Night.svp", std::ios::binary) << preset;
        std::ofstream(folder / "saves" / "Bad.svp", std::ios::binary) << "1,nan,inf,1e300\r\n";

        env = {"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + runtime.path().string(),
               // No session bus: the player runs on without the media keys.
               "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (runtime / "no-bus").string(),
               "SONAVEIL_READY_FILE=" + (folder / "ready").string(), "HOME=" + runtime.path().string()};
        for (const char* keep : {"PATH", "PULSE_SERVER", "PULSE_COOKIE", "PULSE_RUNTIME_PATH", "LD_LIBRARY_PATH"})
            if (const char* v = std::getenv(keep))
                env.push_back(std::string(keep) + "=" + v);
    }
    void TearDown() override
    {
        if (first > 0) {
            kill(first, SIGKILL);
            waitpid(first, nullptr, 0);
        }
    }

    std::vector<char*> envp()
    {
        std::vector<char*> out;
        for (auto& e : env)
            out.push_back(e.data());
        out.push_back(nullptr);
        return out;
    }
    pid_t spawn(std::vector<std::string> args, int outFd = -1)
    {
        std::string program = (place / "quietdeck").string();
        std::vector<char*> argv{program.data()};
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (outFd >= 0) {
            posix_spawn_file_actions_adddup2(&actions, outFd, 1);
            posix_spawn_file_actions_adddup2(&actions, outFd, 2);
        }
        auto e = envp();
        pid_t pid = -1;
        posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), e.data());
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }
    // Runs a later start to its end (at most 20 s).
    Outcome run(std::vector<std::string> args)
    {
        Outcome r;
        const fs::path out = runtime / "out.txt";
        FILE* f = std::fopen(out.c_str(), "w");
        const auto start = Clock::now();
        const pid_t pid = spawn(std::move(args), fileno(f));
        std::fclose(f);
        int status = 0;
        if (!waitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 20s)) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return r;
        }
        r.took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.output = fileText(out);
        return r;
    }
    void startFirst(std::vector<std::string> args = {})
    {
        first = spawn(std::move(args));
        ASSERT_GT(first, 0);
        ASSERT_TRUE(waitFor([&] { return fs::exists(folder / "ready"); }, 15s)) << "the first player did not start";
    }
    bool firstRuns() { return first > 0 && waitpid(first, nullptr, WNOHANG) == 0; }

    // Copies the program into `sub` of the folder, which then is its program folder; its
    // samples are links to the built ones, each of them replaced by `replace` when it says so.
    void moveTo(const fs::path& sub, const std::function<bool(const fs::path& sample)>& replace = {})
    {
        place = folder / sub;
        fs::create_directories(place / "bin");
        fs::create_directory(place / "saves");
        const fs::path dist = std::getenv("SONAVEIL_DIST");
        for (const char* f : {"quietdeck", "liblumidot.so"})
            fs::copy_file(dist / f, place / f);
        for (const auto& e : fs::directory_iterator(dist / "bin"))
            if (!replace || !replace(place / "bin" / e.path().filename()))
                fs::create_symlink(e.path(), place / "bin" / e.path().filename());
    }
    void killFirst()
    {
        kill(first, SIGKILL);
        waitpid(first, nullptr, 0);
        first = -1;
        fs::remove(folder / "ready");
    }
    bool quitFirst()
    {
        int status = -1;
        if (run({"--quit"}).status != 0 || !waitFor([&] { return waitpid(first, &status, WNOHANG) == first; }, 20s))
            return false;
        first = -1;
        fs::remove(folder / "ready");
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    TempFolder folder;
    TempFolder runtime;
    fs::path place = folder.path();
    std::vector<std::string> env;
    pid_t first = -1;
};

std::optional<sonaveil::player::PresetRecord> recordIn(const fs::path& file)
{
    return sonaveil::player::PresetRecord::parse(fileText(file));
}

int lines(const std::string& s)
{
    int n = 0;
    for (char c : s)
        n += c == '\n' ? 1 : 0;
    return n;
}

} // namespace

TEST_F(Instances, ASecondStartHandsOverAndEndsAtOnce)
{
    startFirst({"--tray"});
    const Outcome plain = run({});
    EXPECT_EQ(plain.status, 0) << plain.output;
    EXPECT_LT(plain.took, 3s);
    EXPECT_EQ(plain.output, "");
    EXPECT_TRUE(firstRuns());
    fs::remove(folder / "ready");
    const Outcome again = run({"--tray"});
    EXPECT_EQ(again.status, 0);
    EXPECT_FALSE(fs::exists(folder / "ready")) << "no second player started";
    EXPECT_TRUE(firstRuns());
}

TEST_F(Instances, EveryOptionReachesTheRunningPlayer)
{
    startFirst();
    const std::string night = (folder / "saves" / "Night.svp").string();
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--load", night}, {"--mute"}, {"--unmute"}, {"--stop-all"}, {"--tray"}}) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 0) << args[0] << ": " << r.output;
        EXPECT_LT(r.took, 3s) << args[0];
    }
    // Errors: one line, status 2, and the running mix left alone.
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--load", (folder / "saves" / "Gone.svp").string()},
             {"--load", (folder / "saves" / "Bad.svp").string()},
             {"--load", "/dev/zero"},
             {"--load", (folder / "saves").string()},
             {"--bogus"}}) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_EQ(lines(r.output), 1) << r.output;
        EXPECT_EQ(r.output.rfind("quietdeck: ", 0), 0u) << r.output;
        EXPECT_LT(r.took, 3s) << r.output;
    }
    // The mix of this session is kept on disk seconds after it changed, apart from the last
    // close's: never closed, there is no previous mix yet.
    EXPECT_TRUE(waitFor([&] { return fs::exists(folder / "running.tmp"); }, 20s));
    EXPECT_FALSE(fs::exists(folder / "previous.tmp"));
    EXPECT_EQ(run({"--previous"}).status, 2);
    EXPECT_TRUE(firstRuns());

    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("--stop-all"), std::string::npos);
    const Outcome version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output.rfind("quietdeck (Sonaveil) ", 0), 0u) << version.output;

    // The mix the options left (Night loaded, then every sound stopped) is what --quit keeps.
    ASSERT_EQ(run({"--load", night}).status, 0);
    ASSERT_EQ(run({"--mute"}).status, 0);
    const Outcome quit = run({"--quit"});
    EXPECT_EQ(quit.status, 0);
    int status = -1;
    ASSERT_TRUE(waitFor([&] { return waitpid(first, &status, WNOHANG) == first; }, 10s));
    first = -1;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const auto record = sonaveil::player::PresetRecord::parse(fileText(folder / "previous.tmp"));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->checks[0], 1);
    EXPECT_EQ(record->checks[1], 1);
    EXPECT_EQ(record->sliders[31], 0) << "muted when it closed";

    // Nothing runs any more: --quit has nothing to do, --previous starts a player with the mix.
    EXPECT_EQ(run({"--quit"}).status, 0);
}

TEST_F(Instances, AKilledPlayerLeavesTheMixItPlayedForPreviousAndACloseLeavesItsOwn)
{
    startFirst();
    ASSERT_EQ(run({"--load", (folder / "saves" / "Night.svp").string()}).status, 0);
    ASSERT_TRUE(waitFor([&] { return fs::exists(folder / "running.tmp"); }, 20s));
    killFirst();
    EXPECT_FALSE(fs::exists(folder / "previous.tmp"));

    startFirst();
    auto last = recordIn(folder / "previous.tmp");
    ASSERT_TRUE(last) << "the killed session's mix is the last mix";
    EXPECT_EQ(last->checks[0], 1);
    EXPECT_EQ(last->sliders[31], 70);
    EXPECT_FALSE(fs::exists(folder / "running.tmp"));
    // Changes during this run leave it as it is.
    ASSERT_EQ(run({"--mute"}).status, 0);
    ASSERT_TRUE(waitFor([&] { return fs::exists(folder / "running.tmp"); }, 20s));
    EXPECT_EQ(recordIn(folder / "previous.tmp"), last);
    ASSERT_TRUE(quitFirst());
    last = recordIn(folder / "previous.tmp");
    ASSERT_TRUE(last);
    EXPECT_EQ(last->sliders[31], 0) << "the close's own mix: muted";
    EXPECT_FALSE(fs::exists(folder / "running.tmp"));
}

TEST_F(Instances, HostileSampleFilesAndAFolderNameThatIsNotUtf8HoldNothingUp)
{
    const fs::path dist = std::getenv("SONAVEIL_DIST");
    // A FIFO for one sample (its reader would wait for good), a few bytes claiming 600 M frames
    // for another, and the whole folder under a Latin-1 name.
    moveTo("Kl\xe4nge", [&](const fs::path& sample) {
        if (sample.filename() == "6.isz")
            return ::mkfifo(sample.c_str(), 0600) == 0;
        if (sample.filename() == "13.isz") {
            std::string flac = fileText(dist / "bin" / "13.isz").substr(0, 4096);
            std::uint64_t field = 0;
            for (int i = 0; i < 8; ++i)
                field = field << 8 | std::uint8_t(flac[std::size_t(18 + i)]);
            field = (field & ~((std::uint64_t(1) << 36) - 1)) | 600'000'000;
            for (int i = 7; i >= 0; --i, field >>= 8)
                flac[std::size_t(18 + i)] = char(field & 0xff);
            std::ofstream(sample, std::ios::binary) << flac;
            return true;
        }
        return false;
    });
    startFirst();
    std::string status = fileText("/proc/" + std::to_string(first) + "/status");
    const auto peak = status.find("VmHWM:");
    ASSERT_NE(peak, std::string::npos);
    EXPECT_LT(std::stol(status.substr(peak + 6)), 400'000) << "kB at most: nothing of the claimed length was set aside";
    ASSERT_TRUE(quitFirst());
    // The folder is written as the folder it is, not taken for one that cannot be written.
    EXPECT_TRUE(recordIn(place / "previous.tmp"));
    EXPECT_FALSE(fs::exists(runtime / ".local/share/sonaveil"));
}

#ifdef SONAVEIL_TEST_XCB
#include <xcb/xcb.h>

namespace {

// An X server with a tray host, for watching the player's windows from outside.
class XDisplay {
public:
    XDisplay()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        const std::string fd = std::to_string(fds[1]);
        const std::string display = ":" + std::to_string(200 + ::getpid() % 300);
        m_server = ::fork();
        if (m_server == 0) {
            ::close(fds[0]);
            ::execlp("Xvfb", "Xvfb", display.c_str(), "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24",
                     "-nolisten", "tcp", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        char buffer[32] = {};
        pollRead(fds[0], buffer, sizeof buffer - 1);
        ::close(fds[0]);
        if (std::atoi(buffer) <= 0)
            return;
        m_name = ":" + std::to_string(std::atoi(buffer));
        m_tray = ::fork();
        if (m_tray == 0) {
            ::setenv("DISPLAY", m_name.c_str(), 1);
            ::execlp("trayer", "trayer", "--edge", "top", "--width", "10", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        m_connection = xcb_connect(m_name.c_str(), nullptr);
        std::this_thread::sleep_for(500ms); // the tray host takes its selection
    }
    ~XDisplay()
    {
        if (m_connection)
            xcb_disconnect(m_connection);
        for (pid_t p : {m_tray, m_server})
            if (p > 0) {
                ::kill(p, SIGTERM);
                ::waitpid(p, nullptr, 0);
            }
    }
    bool ready() const { return m_connection && !xcb_connection_has_error(m_connection) && m_tray > 0; }
    const std::string& name() const { return m_name; }

    // Top-level windows of process `pid` that are on the screen.
    int viewableWindowsOf(pid_t pid)
    {
        const xcb_atom_t pidAtom = atom("_NET_WM_PID");
        xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, root), nullptr);
        if (!tree)
            return 0;
        int count = 0;
        xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            auto* attributes = xcb_get_window_attributes_reply(
                m_connection, xcb_get_window_attributes(m_connection, children[i]), nullptr);
            const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
            std::free(attributes);
            if (!viewable)
                continue;
            auto* property = xcb_get_property_reply(
                m_connection, xcb_get_property(m_connection, 0, children[i], pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
            if (property && xcb_get_property_value_length(property) == 4
                && *static_cast<std::uint32_t*>(xcb_get_property_value(property)) == std::uint32_t(pid))
                ++count;
            std::free(property);
        }
        std::free(tree);
        return count;
    }

private:
    static void pollRead(int fd, char* buffer, std::size_t size)
    {
        const auto end = Clock::now() + 10s;
        std::size_t have = 0;
        while (Clock::now() < end && have < size && (have == 0 || buffer[have - 1] != '\n')) {
            const ssize_t n = ::read(fd, buffer + have, size - have);
            if (n <= 0)
                break;
            have += std::size_t(n);
        }
    }
    xcb_atom_t atom(const char* name)
    {
        auto* reply = xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 0, std::strlen(name), name), nullptr);
        const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return a;
    }

    pid_t m_server = -1;
    pid_t m_tray = -1;
    std::string m_name;
    xcb_connection_t* m_connection = nullptr;
};

} // namespace

TEST_F(Instances, ASecondStartRaisesTheFirstFromTheTray)
{
    XDisplay x;
    if (!x.ready())
        FAIL() << "Xvfb or trayer did not start";
    for (auto& e : env)
        if (e.rfind("QT_QPA_PLATFORM=", 0) == 0)
            e = "QT_QPA_PLATFORM=xcb";
    env.push_back("DISPLAY=" + x.name());
    startFirst({"--tray"});
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(x.viewableWindowsOf(first), 0) << "started hidden in the tray";

    const Outcome tray = run({"--tray"});
    EXPECT_EQ(tray.status, 0);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(x.viewableWindowsOf(first), 0) << "--tray leaves it there";

    const Outcome plain = run({});
    EXPECT_EQ(plain.status, 0);
    EXPECT_LT(plain.took, 3s);
    EXPECT_TRUE(waitFor([&] { return x.viewableWindowsOf(first) == 1; }, 3s)) << "the window came forward";
    EXPECT_TRUE(firstRuns());
    // Closed before its X server goes.
    EXPECT_EQ(run({"--quit"}).status, 0);
    EXPECT_TRUE(waitFor([&] { return waitpid(first, nullptr, WNOHANG) == first; }, 10s));
    first = -1;
}
#endif
