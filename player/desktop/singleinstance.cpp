#include "player/desktop/singleinstance.h"

#include <QFileSystemWatcher>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <QVariant>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

// The conversation on the socket: the second start sends the number of arguments on a line of
// its own, then each argument ended by a NUL byte (arguments cannot hold one); the player answers
// with one line, "<exit status> <message>".

namespace sonaveil::player {

namespace {

constexpr std::size_t kMaxRequestBytes = 64 * 1024;
constexpr int kMaxArguments = 256;

// A folder only this user can reach, or false.
bool privateFolder(const std::string& folder)
{
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return false;
    return (info.st_mode & 0077) == 0;
}

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point end)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

bool waitFor(int fd, short events, Clock::time_point end)
{
    pollfd p{fd, events, 0};
    for (;;) {
        const int r = ::poll(&p, 1, remainingMs(end));
        if (r > 0)
            return true;
        if (r == 0 || errno != EINTR)
            return false;
    }
}

int connectTo(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::string InstanceLock::defaultFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat info {};
    if (runtime && *runtime == '/' && ::stat(runtime, &info) == 0 && S_ISDIR(info.st_mode))
        return std::string(runtime) + "/sonaveil";
    return "/tmp/sonaveil-" + std::to_string(::geteuid());
}

InstanceLock::InstanceLock(std::string folder)
    : m_folder(std::move(folder))
{
}

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool InstanceLock::acquire()
{
    if (m_fd >= 0)
        return true;
    m_usable = privateFolder(m_folder);
    if (!m_usable)
        return false;
    const std::string path = m_folder + "/quietdeck.lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        m_usable = false;
        return false;
    }
    // The kernel lets go of the lock when the process ends, however it ends.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

std::optional<InstanceReply> forwardToRunning(const std::string& socketPath,
                                              const std::vector<std::string>& arguments, int timeoutMs)
{
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    // The player may hold the lock but not listen yet (it is just starting): try again a while.
    int fd = -1;
    while ((fd = connectTo(socketPath)) < 0) {
        if (remainingMs(end) == 0)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::string request = std::to_string(arguments.size()) + "\n";
    for (const std::string& a : arguments) {
        request += a;
        request += '\0';
    }
    std::size_t sent = 0;
    while (sent < request.size()) {
        if (!waitFor(fd, POLLOUT, end)) {
            ::close(fd);
            return std::nullopt;
        }
        const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno != EINTR && errno != EAGAIN) {
            ::close(fd);
            return std::nullopt;
        }
        if (n > 0)
            sent += std::size_t(n);
    }
    std::string answer;
    char buffer[512];
    while (answer.find('\n') == std::string::npos && answer.size() < kMaxRequestBytes) {
        if (!waitFor(fd, POLLIN, end))
            break;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        answer.append(buffer, std::size_t(n));
    }
    ::close(fd);
    const std::size_t newline = answer.find('\n');
    if (newline == std::string::npos || newline == 0)
        return std::nullopt;
    answer.resize(newline);
    InstanceReply reply;
    const std::size_t blank = answer.find(' ');
    char* endOfCode = nullptr;
    const std::string code = answer.substr(0, blank);
    reply.code = int(std::strtol(code.c_str(), &endOfCode, 10));
    if (endOfCode != code.c_str() + code.size())
        return std::nullopt;
    if (blank != std::string::npos)
        reply.message = answer.substr(blank + 1);
    return reply;
}

InstanceServer::InstanceServer(QObject* parent)
    : QObject(parent)
    , m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::accept);
    // QLocalServer closes itself (and removes its socket file) when accept() fails, without a
    // signal: the file's going says so, and a slow look covers anything else.
    m_watch = new QTimer(this);
    m_watch->setSingleShot(true);
    connect(m_watch, &QTimer::timeout, this, &InstanceServer::listenAgain);
    m_socketWatch = new QFileSystemWatcher(this);
    connect(m_socketWatch, &QFileSystemWatcher::fileChanged, this, &InstanceServer::listenAgain);
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::listen(const QString& socketPath)
{
    m_path = socketPath;
    // Only the holder of the lock gets here: a socket file that is there is a dead player's.
    QLocalServer::removeServer(socketPath);
    const bool ok = m_server->listen(socketPath);
    if (ok)
        watchSocket();
    return ok;
}

void InstanceServer::watchSocket()
{
    if (!m_socketWatch->files().contains(m_path))
        m_socketWatch->addPath(m_path);
    m_watch->start(kLookMs);
}

bool InstanceServer::listening() const
{
    return m_server->isListening();
}

void InstanceServer::listenAgain()
{
    if (m_path.isEmpty())
        return;
    if (!m_server->isListening()) {
        QLocalServer::removeServer(m_path);
        if (!m_server->listen(m_path)) {
            m_watch->start(kRelistenMs); // descriptors may still be short: soon again
            return;
        }
    }
    watchSocket();
}

void InstanceServer::accept()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        if (m_open >= kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++m_open;
        connect(socket, &QObject::destroyed, this, [this] { --m_open; });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        // Whoever does not finish the request in time gives its place to the next.
        QPointer<QLocalSocket> alive(socket);
        QTimer::singleShot(m_requestTimeoutMs, socket, [alive] {
            if (alive && !alive->property("answered").toBool()) {
                alive->abort();
                alive->deleteLater();
            }
        });
        if (socket->bytesAvailable() > 0)
            readFrom(socket);
    }
}

void InstanceServer::readFrom(QLocalSocket* socket)
{
    if (socket->property("answered").toBool())
        return;
    QByteArray buffer = socket->property("request").toByteArray() + socket->readAll();
    auto refuse = [socket] {
        socket->setProperty("answered", true);
        socket->write("2 the request could not be read\n");
        socket->disconnectFromServer();
    };
    if (buffer.size() > qsizetype(kMaxRequestBytes))
        return refuse();
    socket->setProperty("request", buffer);
    const qsizetype newline = buffer.indexOf('\n');
    if (newline < 0)
        return;
    bool ok = false;
    const int count = buffer.left(newline).toInt(&ok);
    if (!ok || count < 0 || count > kMaxArguments)
        return refuse();
    const QByteArray rest = buffer.mid(newline + 1);
    if (rest.count('\0') < count)
        return; // more to come
    std::vector<std::string> arguments;
    qsizetype at = 0;
    for (int i = 0; i < count; ++i) {
        const qsizetype nul = rest.indexOf('\0', at);
        arguments.emplace_back(rest.constData() + at, std::size_t(nul - at));
        at = nul + 1;
    }
    socket->setProperty("answered", true);
    QPointer<QLocalSocket> alive(socket);
    Answer answer = [alive](const InstanceReply& reply) {
        if (!alive)
            return;
        std::string line = std::to_string(reply.code);
        if (!reply.message.empty())
            line += " " + reply.message;
        for (char& c : line)
            if (c == '\n' || c == '\r')
                c = ' ';
        alive->write(QByteArray::fromStdString(line + "\n"));
        alive->flush();
        alive->disconnectFromServer();
    };
    if (received)
        received(arguments, std::move(answer));
    else
        answer({0, {}});
}

} // namespace sonaveil::player
