#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;

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

// The running player's end: receives the arguments of later starts.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    using Answer = std::function<void(const InstanceReply&)>;

    explicit InstanceServer(QObject* parent = nullptr);
    ~InstanceServer() override;

    // Listens on `socketPath`, replacing a socket file a dead player left behind.
    bool listen(const QString& socketPath);

    // Called for every later start with its arguments; `answer` is called once, now or later.
    std::function<void(const std::vector<std::string>& arguments, Answer answer)> received;

private:
    void accept();
    void readFrom(QLocalSocket* socket);

    QLocalServer* m_server = nullptr;
};

} // namespace sonaveil::player
