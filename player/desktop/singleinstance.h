#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QFileSystemWatcher;
class QLocalServer;
class QLocalSocket;
class QTimer;

namespace sonaveil::player {

// One player per user. The first start holds a lock file in the user's private runtime folder
// and listens on a local socket beside it; a later start finds the lock held and hands its
// arguments to that socket instead of starting a second mix. Plain POSIX, so that a second
// start needs no display.
class InstanceLock {
public:
    // "$XDG_RUNTIME_DIR/sonaveil", else "/tmp/sonaveil-<uid>"; created private to the user.
    static std::string defaultFolder();

    explicit InstanceLock(std::string folder = defaultFolder());
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock for the life of this object: true when this process is the player. False
    // also when the folder is unsafe (not ours, open to others); `usable()` tells which.
    bool acquire();
    bool usable() const { return m_usable; }
    std::string socketPath() const { return m_folder + "/quietdeck.socket"; }

private:
    std::string m_folder;
    int m_fd = -1;
    bool m_usable = false;
};

// What the running player answered: the exit status for the second start and one line for it
// to print ("" for nothing).
struct InstanceReply {
    int code = 0;
    std::string message;
};

// Sends `arguments` to the player listening on `socketPath` and waits for its answer. Nothing
// when no player answers within `timeoutMs` (none listening, or it hangs).
std::optional<InstanceReply> forwardToRunning(const std::string& socketPath,
                                              const std::vector<std::string>& arguments, int timeoutMs);

// The running player's end: receives the arguments of later starts. A client that does not
// deliver its whole request in time is dropped, at most kMaxConnections are open at once (more
// are closed as they come), and when the server stops listening (the process ran out of file
// descriptors while accepting) it listens again, so later starts keep reaching the player. It
// notices that by the socket file going (QLocalServer removes it as it closes), with a slow look
// besides, so that a player waiting in the tray does not wake for it every second.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    using Answer = std::function<void(const InstanceReply&)>;
    static constexpr int kMaxConnections = 32;
    static constexpr int kRequestTimeoutMs = 3000;
    // A failed attempt to listen again is repeated after kRelistenMs; besides the socket file's
    // watch, the server is looked at every kLookMs.
    static constexpr int kRelistenMs = 1000;
    static constexpr int kLookMs = 60'000;

    explicit InstanceServer(QObject* parent = nullptr);
    ~InstanceServer() override;

    // Listens on `socketPath`, replacing a socket file a dead player left behind.
    bool listen(const QString& socketPath);
    bool listening() const;
    // Connections open now, answered or not.
    int connections() const { return m_open; }
    // For tests: how long a client may take to send its request.
    void setRequestTimeout(int ms) { m_requestTimeoutMs = ms; }

    // Called for every later start with its arguments; `answer` is called once, now or later.
    std::function<void(const std::vector<std::string>& arguments, Answer answer)> received;

private:
    void accept();
    void readFrom(QLocalSocket* socket);
    void listenAgain();
    void watchSocket();

    QLocalServer* m_server = nullptr;
    QTimer* m_watch = nullptr;
    QFileSystemWatcher* m_socketWatch = nullptr;
    QString m_path;
    int m_open = 0;
    int m_requestTimeoutMs = kRequestTimeoutMs;
};

} // namespace sonaveil::player
