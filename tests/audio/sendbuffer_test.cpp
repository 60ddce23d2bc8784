#include "audio/sendbuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace sonaveil::audio;

namespace {

// A listening socket at a path of its own, and connections to it.
struct Listener {
    Listener()
    {
        char folder[] = "/tmp/sonaveil-sendbuffer-XXXXXX";
        if (::mkdtemp(folder))
            path = std::string(folder) + "/native";
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        listening = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(fd, 4) == 0;
    }
    ~Listener()
    {
        ::close(fd);
        ::unlink(path.c_str());
        ::rmdir(path.substr(0, path.rfind('/')).c_str());
    }

    // A connection whose send buffer is as small as libpulse leaves its own.
    int connectSmall() const
    {
        const int client = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        if (::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(client);
            return -1;
        }
        const int small = 65472;
        ::setsockopt(client, SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
        return client;
    }

    std::string path;
    int fd = -1;
    bool listening = false;
};

int sendBuffer(int fd)
{
    int size = 0;
    socklen_t length = sizeof size;
    ::getsockopt(fd, SOL_SOCKET, SO_SNDBUF, &size, &length);
    return size;
}

} // namespace

TEST(SendBuffer, OnlyALocalServersSocketPathCounts)
{
    EXPECT_EQ(localSocketPath("unix:/run/user/1000/pulse/native"), "/run/user/1000/pulse/native");
    EXPECT_EQ(localSocketPath("{0123abcd}unix:/tmp/pulse/native"), "/tmp/pulse/native");
    EXPECT_EQ(localSocketPath("/tmp/pulse/native"), "/tmp/pulse/native");
    EXPECT_EQ(localSocketPath("tcp:localhost:4713"), "");
    EXPECT_EQ(localSocketPath("{0123abcd"), "");
    EXPECT_EQ(localSocketPath("unix:"), "");
    EXPECT_EQ(localSocketPath(""), "");
}

TEST(SendBuffer, ConnectionsToTheServerAreWidenedAndNoOthers)
{
    Listener server;
    Listener other;
    ASSERT_TRUE(server.listening && other.listening);
    const int toServer = server.connectSmall();
    const int toOther = other.connectSmall();
    ASSERT_GE(toServer, 0);
    ASSERT_GE(toOther, 0);
    const int small = sendBuffer(toServer);
    ASSERT_EQ(sendBuffer(toOther), small);

    EXPECT_EQ(widenSendBuffers("unix:" + server.path), 1);
    // A second of 16-bit stereo at 48 kHz (192 KB) must fit, unless the machine's own limit
    // is lower than libpulse's.
    FILE* limitFile = std::fopen("/proc/sys/net/core/wmem_max", "r");
    ASSERT_NE(limitFile, nullptr);
    int limit = 0;
    ASSERT_EQ(std::fscanf(limitFile, "%d", &limit), 1);
    std::fclose(limitFile);
    EXPECT_EQ(sendBuffer(toServer), std::max(small, 2 * limit));
    EXPECT_EQ(sendBuffer(toOther), small) << "a connection to another socket was changed";
    ::close(toServer);
    ::close(toOther);
}
