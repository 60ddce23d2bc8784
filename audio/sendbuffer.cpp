#include "audio/sendbuffer.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace sonaveil::audio {

namespace {

// Asked for; the kernel keeps it within net.core.wmem_max (and doubles it for its bookkeeping).
constexpr int kWantedBytes = 4 << 20;

bool isConnectedTo(int fd, const std::string& path)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISSOCK(st.st_mode))
        return false;
    sockaddr_un peer{};
    socklen_t length = sizeof peer;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0 || peer.sun_family != AF_UNIX)
        return false;
    const std::size_t pathLength = length > offsetof(sockaddr_un, sun_path) ? length - offsetof(sockaddr_un, sun_path) : 0;
    const std::string peerPath(peer.sun_path, strnlen(peer.sun_path, pathLength));
    return peerPath == path;
}

} // namespace

std::string localSocketPath(const std::string& server)
{
    std::string s = server;
    if (!s.empty() && s.front() == '{') { // a machine's id before the address
        const std::size_t close = s.find('}');
        if (close == std::string::npos)
            return {};
        s.erase(0, close + 1);
    }
    if (s.rfind("unix:", 0) == 0)
        s.erase(0, 5);
    return !s.empty() && s.front() == '/' ? s : std::string();
}

int widenSendBuffers(const std::string& server)
{
    const std::string path = localSocketPath(server);
    if (path.empty())
        return 0;
    DIR* fds = ::opendir("/proc/self/fd");
    if (!fds)
        return 0;
    int widened = 0;
    const int own = ::dirfd(fds);
    while (const dirent* entry = ::readdir(fds)) {
        char* end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || fd == own || !isConnectedTo(int(fd), path))
            continue;
        if (::setsockopt(int(fd), SOL_SOCKET, SO_SNDBUF, &kWantedBytes, sizeof kWantedBytes) == 0)
            ++widened;
    }
    ::closedir(fds);
    return widened;
}

} // namespace sonaveil::audio
