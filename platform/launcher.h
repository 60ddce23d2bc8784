#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <vector>

namespace sonaveil::platform {

// Starts other programs and opens documents, never through a shell and never waiting.
class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts `program` with `arguments` in `workingFolder` ("" for the program's own folder).
    // False when it cannot be started (missing, not executable).
    virtual bool start(const QString& program, const QStringList& arguments = {},
                       const QString& workingFolder = {}) = 0;
    // Opens a file, folder or link with the desktop's default handler. False when the desktop
    // has nothing to open it with.
    virtual bool open(const QUrl& url) = 0;
    // Asks the system to power off after `delaySeconds`.
    virtual bool requestPowerOff(int delaySeconds) = 0;
    // Withdraws a power-off asked for before.
    virtual bool cancelPowerOff() = 0;
};

class DesktopLauncher : public Launcher {
public:
    bool start(const QString& program, const QStringList& arguments, const QString& workingFolder) override;
    bool open(const QUrl& url) override;
    bool requestPowerOff(int delaySeconds) override;
    bool cancelPowerOff() override;
};

// Records what it was asked, for tests; starts nothing, opens nothing, never powers off.
class FakeLauncher : public Launcher {
public:
    struct Started {
        QString program;
        QStringList arguments;
    };
    bool start(const QString& program, const QStringList& arguments, const QString&) override
    {
        started.push_back({program, arguments});
        return startSucceeds;
    }
    bool open(const QUrl& url) override
    {
        opened.push_back(url);
        return openSucceeds;
    }
    bool requestPowerOff(int delaySeconds) override
    {
        powerOffRequests.push_back(delaySeconds);
        return true;
    }
    bool cancelPowerOff() override
    {
        ++powerOffCancels;
        return true;
    }

    bool startSucceeds = true;
    bool openSucceeds = true;
    std::vector<Started> started;
    std::vector<QUrl> opened;
    std::vector<int> powerOffRequests;
    int powerOffCancels = 0;
};

} // namespace sonaveil::platform
