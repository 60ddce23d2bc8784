// A sound server that does not honour rewrites: a proxy in front of a real one turns every seek
// of the client's audio into a plain append, as a server that ignores seeks would. The output
// must notice it from the server's own figures, go over to its short queue on the same stream,
// and go on playing, with later changes heard within that short queue.
#include "audio/mixer.h"
#include "audio/output.h"
#include "monitorrecorder.h"
#include "noisemix.h"
#include "privatepulse.h"
#include "tempfolder.h"

#include "../audio/audiotestutil.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

using namespace sonaveil::audio;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRate = 44100;

int connectTo(const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

bool sendAll(int fd, const std::uint8_t* data, std::size_t length)
{
    for (std::size_t done = 0; done < length;) {
        const ssize_t n = ::send(fd, data + done, length - done, MSG_NOSIGNAL);
        if (n > 0)
            done += std::size_t(n);
        else if (n == 0 || errno != EINTR)
            return false;
    }
    return true;
}

// Passes the native protocol through between clients and a server, except that the seek of
// every block of audio a client sends becomes "relative, by nothing": the server appends what a
// rewrite meant to put back into its queue. Needs a server without shared memory (the audio is
// then in the frames themselves). The frames: a descriptor of five big-endian words (length,
// channel, offset high, offset low, flags with the seek mode in the low byte), then `length`
// bytes; channel 0xffffffff is a command, any other a block of audio.
class SeekDroppingProxy {
public:
    SeekDroppingProxy(std::string serverPath) : m_serverPath(std::move(serverPath)) {}

    ~SeekDroppingProxy()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        for (const Link& link : m_links) {
            ::close(link.client);
            ::close(link.server);
        }
        if (m_listener >= 0)
            ::close(m_listener);
    }

    bool start()
    {
        m_path = (m_folder.path() / "native").string();
        m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, m_path.c_str(), sizeof address.sun_path - 1);
        if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
            || ::listen(m_listener, 8) != 0)
            return false;
        m_thread = std::thread([this] { run(); });
        return true;
    }

    std::string server() const { return "unix:" + m_path; }
    int seeksDropped() const { return m_dropped.load(); }

private:
    struct Link {
        int client = -1;
        int server = -1;
        std::vector<std::uint8_t> pending; // from the client, not yet a whole frame
        bool open = true;
    };

    void run()
    {
        while (!m_stop) {
            std::vector<pollfd> fds{{m_listener, POLLIN, 0}};
            for (const Link& link : m_links)
                if (link.open) {
                    fds.push_back({link.client, POLLIN, 0});
                    fds.push_back({link.server, POLLIN, 0});
                }
            if (::poll(fds.data(), fds.size(), 50) <= 0)
                continue;
            if (fds[0].revents & POLLIN)
                accept();
            std::size_t at = 1;
            for (Link& link : m_links) {
                if (!link.open)
                    continue;
                const short fromClient = fds[at++].revents;
                const short fromServer = fds[at++].revents;
                if ((fromClient && !forwardFromClient(link)) || (fromServer && !forwardFromServer(link))) {
                    link.open = false;
                    ::shutdown(link.client, SHUT_RDWR);
                    ::shutdown(link.server, SHUT_RDWR);
                }
            }
        }
    }

    void accept()
    {
        const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            return;
        const int server = connectTo(m_serverPath);
        if (server < 0) {
            ::close(client);
            return;
        }
        Link link;
        link.client = client;
        link.server = server;
        m_links.push_back(std::move(link));
    }

    bool forwardFromServer(Link& link)
    {
        std::uint8_t buffer[65536];
        const ssize_t n = ::read(link.server, buffer, sizeof buffer);
        return n > 0 && sendAll(link.client, buffer, std::size_t(n));
    }

    bool forwardFromClient(Link& link)
    {
        std::uint8_t buffer[65536];
        const ssize_t n = ::read(link.client, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        link.pending.insert(link.pending.end(), buffer, buffer + n);
        constexpr std::size_t kDescriptor = 20;
        std::size_t done = 0;
        while (link.pending.size() - done >= kDescriptor) {
            std::uint32_t words[5];
            std::memcpy(words, link.pending.data() + done, sizeof words);
            const std::size_t length = ntohl(words[0]);
            if (link.pending.size() - done < kDescriptor + length)
                break;
            if (ntohl(words[1]) != 0xffffffffu) {
                if (words[2] != 0 || words[3] != 0)
                    ++m_dropped;
                words[2] = 0;
                words[3] = 0;
                words[4] = htonl(ntohl(words[4]) & ~0xffu);
                std::memcpy(link.pending.data() + done, words, sizeof words);
            }
            done += kDescriptor + length;
        }
        const bool ok = sendAll(link.server, link.pending.data(), done);
        link.pending.erase(link.pending.begin(), link.pending.begin() + std::ptrdiff_t(done));
        return ok;
    }

    std::string m_serverPath;
    TempFolder m_folder;
    std::string m_path;
    int m_listener = -1;
    std::vector<Link> m_links;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_dropped{0};
};

bool waitFor(const Output& output, const std::function<bool(const OutputStatus&)>& condition,
             std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    while (!condition(output.status())) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// The RMS of the recording over `frames` frames from `from`.
double levelFrom(const std::vector<float>& samples, std::size_t from, std::size_t frames)
{
    double sum = 0;
    for (std::size_t i = 2 * from; i < 2 * (from + frames) && i < samples.size(); ++i)
        sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / double(2 * frames));
}

} // namespace

TEST(IgnoredRewrites, AServerThatAppendsInsteadIsLeftToTheShortQueueAndChangesStillArrive)
{
    PrivatePulse pulse;
    ASSERT_TRUE(pulse.start()) << "cannot start a private sound server";
    const std::string native = pulse.server().substr(std::strlen("unix:"));
    SeekDroppingProxy proxy(native);
    ASSERT_TRUE(proxy.start());
    ::setenv("PULSE_SERVER", proxy.server().c_str(), 1);

    NoiseMix mix(kRate, true);
    std::unique_ptr<Output> output = makePulseOutput();
    OutputConfig config;
    config.mixRate = kRate;
    config.rewindable = &mix.mixer;
    ASSERT_TRUE(output->start(config, [&mix](float* out, int frames) { mix.mixer.render(out, frames); }));
    MonitorRecorder recorder("sonaveil_test.monitor", kRate);
    ASSERT_TRUE(recorder.start()) << "cannot record the sink's monitor";
    ASSERT_TRUE(waitFor(*output, [](const OutputStatus& s) { return s.streaming && s.refills > 0; }, 5000ms));
    ASSERT_TRUE(output->status().deep) << "the deep queue is the start on any server";
    ASSERT_TRUE(recorder.waitForFrames(kRate, 5000ms));

    // The first rewrite is appended by the server; the output sees its write index elsewhere.
    mix.mixer.slot(0).volume.store(100);
    output->mixChanged();
    ASSERT_TRUE(waitFor(*output, [](const OutputStatus& s) { return s.fellBack; }, 5000ms))
        << "a server that appends rewrites was not noticed";
    EXPECT_GT(proxy.seeksDropped(), 0);
    const OutputStatus fallen = output->status();
    EXPECT_FALSE(fallen.deep);
    EXPECT_TRUE(fallen.streaming);
    EXPECT_LE(fallen.queueMilliseconds, 300);

    // What was queued deep plays out (with the appended stretch); from then on changes go into
    // the short queue and are heard within it.
    ASSERT_TRUE(recorder.waitForFrames(recorder.frames() + 4 * kRate, 8000ms));
    const std::size_t before = recorder.frames();

    const double loud = levelFrom(recorder.samples(), before - kRate / 2, kRate / 2);
    const auto changed = Clock::now();
    mix.mixer.slot(0).volume.store(25);
    output->mixChanged();
    ASSERT_TRUE(recorder.waitForFrames(before + 2 * kRate, 6000ms));
    const auto samples = recorder.samples();
    std::size_t quiet = before;
    const std::size_t window = kRate / 50;
    while (quiet + window < samples.size() / 2 && levelFrom(samples, quiet, window) > loud / 2)
        quiet += window / 2;
    ASSERT_LT(quiet + window, samples.size() / 2) << "the change was never heard";
    const double ms = std::chrono::duration<double, std::milli>(recorder.arrivalOf(quiet) - changed).count();
    std::printf("after falling back, a change reached the monitor after %.0f ms\n", ms);
    EXPECT_LT(ms, 600.0);
    EXPECT_GT(levelFrom(samples, samples.size() / 2 - kRate / 2, kRate / 2), loud / 16) << "silent after the change";
    EXPECT_EQ(output->status().rewrites, fallen.rewrites) << "rewritten again on a server that ignores it";
    output->stop();
}
