#include "privatepulse.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <thread>
#include <vector>

extern char** environ;

PrivatePulse::PrivatePulse(Server server)
    : m_kind(server)
{
}

PrivatePulse::~PrivatePulse()
{
    stop();
}

std::string PrivatePulse::server() const
{
    if (m_kind == Server::PipeWire)
        return "unix:" + (m_folder / "pw" / "pulse" / "native").string();
    return "unix:" + (m_folder / "native").string();
}

namespace {

// Writes the variable only when it changes: libpulse clients that are already running read the
// environment on their own threads whenever they connect.
void setEnvironment(const char* name, const std::string& value)
{
    const char* current = std::getenv(name);
    if (!current || value != current)
        ::setenv(name, value.c_str(), 1);
}

// What the daemon must not take from a desktop session the tests may run in: its session bus
// (where the desktop's own sound server holds org.PulseAudio1, so a second daemon would give
// up), its runtime and configuration folders and its display.
bool replacedForDaemon(std::string_view entry)
{
    for (const std::string_view name : {"HOME=", "DBUS_SESSION_BUS_ADDRESS=", "XDG_RUNTIME_DIR=", "XDG_CONFIG_HOME=",
                                        "XDG_STATE_HOME=", "XDG_DATA_HOME=", "XDG_CACHE_HOME=", "DISPLAY=",
                                        "WAYLAND_DISPLAY="})
        if (entry.rfind(name, 0) == 0)
            return true;
    return false;
}

std::vector<std::string> daemonEnvironment(const std::string& dir)
{
    // A bus address that leads nowhere: without one libdbus would look for the session bus in
    // the runtime folder or launch one for the display.
    return {"HOME=" + dir, "DBUS_SESSION_BUS_ADDRESS=unix:path=" + dir + "/no-bus", "XDG_RUNTIME_DIR=" + dir};
}

} // namespace

void PrivatePulse::useEnvironment() const
{
    const std::string dir = m_folder.path().string();
    setEnvironment("PULSE_SERVER", server());
    setEnvironment("PULSE_RUNTIME_PATH", dir + "/runtime");
    // The daemon and pactl keep their cookie and state under HOME; keep them in our folder.
    setEnvironment("PULSE_COOKIE", dir + "/cookie");
}

bool PrivatePulse::start()
{
    if (m_pid > 0)
        return true;
    const std::string dir = m_folder.path().string();
    useEnvironment();
    if (m_kind == Server::PipeWire)
        return startPipeWire();

    std::vector<std::string> args = {
        "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
        "--disable-shm=yes", "--log-target=file:" + dir + "/pulse.log",
        "-L", "module-native-protocol-unix socket=" + dir + "/native auth-anonymous=1",
        // Without rewinds: with them, a new stream on a null sink (pulseaudio 16) plays its
        // first buffer and then stalls for up to two seconds, the length the idle sink renders
        // ahead.
        "-L", "module-null-sink sink_name=sonaveil_test norewinds=1 sink_properties=device.description=Sonaveil_Test",
        "-L", "module-null-sink sink_name=sonaveil_second norewinds=1 sink_properties=device.description=Second_Sink",
    };
    m_pid = spawn(std::move(args), daemonEnvironment(dir));
    if (m_pid < 0)
        return false;
    if (!waitUntilAnswering(10000)) {
        stop();
        return false;
    }
    return true;
}

pid_t PrivatePulse::spawn(std::vector<std::string> args, const std::vector<std::string>& environment) const
{
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    // The desktop's session is not passed on (replacedForDaemon), nor whatever `environment` sets.
    std::vector<std::string> own = environment;
    std::vector<char*> env;
    for (char** e = environ; *e; ++e) {
        const std::string_view entry(*e);
        const bool replaced = std::any_of(own.begin(), own.end(), [&](const std::string& o) {
            return entry.substr(0, entry.find('=') + 1) == o.substr(0, o.find('=') + 1);
        });
        if (!replaced && !replacedForDaemon(entry))
            env.push_back(*e);
    }
    for (auto& o : own)
        env.push_back(o.data());
    env.push_back(nullptr);

    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        // The daemon ends with the test program however that ends (a crash, a kill, a timeout),
        // and holds none of its output pipes, for which CTest would wait.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(1);
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        ::execvpe(argv[0], argv.data(), env.data());
        ::_exit(127);
    }
    return pid;
}

bool PrivatePulse::startPipeWire()
{
    const std::string dir = m_folder.path().string();
    const std::string runtime = dir + "/pw";
    std::filesystem::create_directories(runtime);
    const std::vector<std::string> environment = {
        "HOME=" + dir, "XDG_RUNTIME_DIR=" + runtime, "PIPEWIRE_RUNTIME_DIR=" + runtime,
        "XDG_CONFIG_HOME=" + dir + "/config", "XDG_STATE_HOME=" + dir + "/state",
        "DBUS_SESSION_BUS_ADDRESS=unix:path=" + dir + "/bus", "PULSE_RUNTIME_PATH=" + runtime + "/pulse",
    };
    // The session manager wants a message bus; the session's own is not ours to use.
    for (std::vector<std::string> args : {
             std::vector<std::string>{"dbus-daemon", "--session", "--nofork", "--address=unix:path=" + dir + "/bus"},
             std::vector<std::string>{"pipewire"},
             std::vector<std::string>{"wireplumber"},
         }) {
        const pid_t pid = spawn(args, environment);
        if (pid < 0)
            return false;
        m_helpers.push_back(pid);
        // Each needs the one before it to be listening.
        const std::string socket = args[0] == "dbus-daemon" ? dir + "/bus" : runtime + "/pipewire-0";
        for (int i = 0; i < 200 && !std::filesystem::exists(socket); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_pid = spawn({"pipewire-pulse"}, environment);
    if (m_pid < 0)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (pactl("info").find("Server Name") == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    pactl("load-module module-null-sink sink_name=sonaveil_test sink_properties=device.description=Sonaveil_Test");
    pactl("load-module module-null-sink sink_name=sonaveil_second sink_properties=device.description=Second_Sink");
    pactl("set-default-sink sonaveil_test");
    if (!waitUntilAnswering(10000)) {
        stop();
        return false;
    }
    return true;
}

bool PrivatePulse::waitUntilAnswering(int timeoutMs) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (pactl("list short sinks").find("sonaveil_test") != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

void PrivatePulse::kill()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    // PipeWire's helpers last first: the session manager, the daemon, the bus.
    for (auto it = m_helpers.rbegin(); it != m_helpers.rend(); ++it) {
        ::kill(*it, SIGKILL);
        ::waitpid(*it, nullptr, 0);
    }
    m_helpers.clear();
}

void PrivatePulse::freeze()
{
    if (m_pid > 0)
        ::kill(m_pid, SIGSTOP);
}

void PrivatePulse::thaw()
{
    if (m_pid > 0)
        ::kill(m_pid, SIGCONT);
}

void PrivatePulse::stop()
{
    if (m_pid <= 0) {
        kill(); // helpers left from a start that failed
        return;
    }
    ::kill(m_pid, SIGTERM);
    ::kill(m_pid, SIGCONT); // a frozen daemon handles SIGTERM only once it runs
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_pid = -1;
            kill(); // PipeWire's helpers
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill();
}

std::string PrivatePulse::pactl(const std::string& arguments) const
{
    const std::string command = "pactl --server='" + server() + "' " + arguments + " 2>/dev/null";
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        std::array<char, 4096> buf{};
        std::size_t n;
        while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
            out.append(buf.data(), n);
        ::pclose(p);
    }
    return out;
}
