// The running player's socket against clients that never finish, crowds of them, and a process
// that runs out of file descriptors.
#include "player/desktop/singleinstance.h"

#include "tempfolder.h"
#include "testexit.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace sonaveil::player;
using Clock = std::chrono::steady_clock;

namespace {

void spin(int ms)
{
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < until)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

int rawClient(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// True when the server has closed `fd` (end of file or reset), without waiting.
bool closedByServer(int fd)
{
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 0) <= 0)
        return false;
    char c;
    return ::recv(fd, &c, 1, MSG_DONTWAIT) <= 0;
}

// A later start, run beside the event loop that serves it.
std::optional<InstanceReply> forwardWhileServing(const std::string& path, std::vector<std::string> arguments)
{
    std::optional<InstanceReply> reply;
    bool done = false;
    std::thread later([&] {
        reply = forwardToRunning(path, arguments, 4000);
        done = true;
    });
    const auto until = Clock::now() + std::chrono::seconds(5);
    while (!done && Clock::now() < until)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    later.join();
    return reply;
}

class Server : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.listen(QString::fromStdString(path)));
        server.received = [](const std::vector<std::string>& arguments, InstanceServer::Answer answer) {
            answer({0, arguments.empty() ? "" : arguments.front()});
        };
    }
    void TearDown() override
    {
        for (int fd : clients)
            ::close(fd);
    }
    TempFolder folder;
    std::string path = (folder / "quietdeck.socket").string();
    InstanceServer server;
    std::vector<int> clients;
};

} // namespace

TEST_F(Server, ClientsThatSendNothingOrHalfARequestAreDroppedInTime)
{
    server.setRequestTimeout(300);
    const int silent = rawClient(path);
    const int half = rawClient(path);
    ASSERT_GE(silent, 0);
    ASSERT_GE(half, 0);
    clients = {silent, half};
    ASSERT_EQ(::send(half, "2\n--mu", 6, MSG_NOSIGNAL), 6);
    spin(100);
    EXPECT_EQ(server.connections(), 2);
    EXPECT_FALSE(closedByServer(silent));
    spin(500);
    EXPECT_TRUE(closedByServer(silent));
    EXPECT_TRUE(closedByServer(half));
    EXPECT_EQ(server.connections(), 0);

    const auto reply = forwardWhileServing(path, {"--mute"});
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->message, "--mute");
}

TEST_F(Server, NoMoreThanTheCapAreKeptAndTheRestCloseAtOnce)
{
    for (int i = 0; i < InstanceServer::kMaxConnections + 8; ++i) {
        clients.push_back(rawClient(path));
        ASSERT_GE(clients.back(), 0);
        spin(2);
    }
    spin(200);
    EXPECT_EQ(server.connections(), 32);
    int closed = 0;
    for (int fd : clients)
        closed += closedByServer(fd) ? 1 : 0;
    EXPECT_EQ(closed, 8);
    // Once the crowd goes, later starts get through again.
    for (int fd : clients)
        ::close(fd);
    clients.clear();
    spin(200);
    EXPECT_EQ(server.connections(), 0);
    EXPECT_TRUE(forwardWhileServing(path, {"--unmute"}));
}

TEST_F(Server, AServerThatFailedToAcceptListensAgain)
{
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &before), 0);
    const int client = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(client, 0);
    clients.push_back(client);
    // Every descriptor taken: the server's accept() has none left.
    rlimit tight = before;
    tight.rlim_cur = rlim_t(client + 1);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
    std::vector<int> fillers;
    for (int fd; (fd = ::dup(0)) >= 0;)
        fillers.push_back(fd);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    ASSERT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    spin(100);
    // The failed accept() closed the listening socket, and the waiting client with it.
    const bool failed = closedByServer(client);
    for (int fd : fillers)
        ::close(fd);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &before), 0);
    ASSERT_TRUE(failed) << "accept() did not fail; nothing to recover from";

    // Listening again follows the closing, not the slow look.
    spin(InstanceServer::kRelistenMs + 300);
    EXPECT_TRUE(server.listening());
    const auto reply = forwardWhileServing(path, {"--mute"});
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->code, 0);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return testProgramResult(RUN_ALL_TESTS());
}
