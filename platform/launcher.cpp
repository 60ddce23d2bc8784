#include "platform/launcher.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>

namespace sonaveil::platform {

bool DesktopLauncher::start(const QString& program, const QStringList& arguments, const QString& workingFolder)
{
    const QFileInfo info(program);
    if (program.contains(QLatin1Char('/')) && !(info.isFile() && info.isExecutable()))
        return false;
    const QString folder = workingFolder.isEmpty() && program.contains(QLatin1Char('/')) ? info.absolutePath() : workingFolder;
    return QProcess::startDetached(program, arguments, folder);
}

namespace {

// Whether the desktop knows a program for `url`. xdg-open starts and reports success even when it
// then finds nothing to run, so the association is asked for first; where it cannot be asked
// (no xdg-mime) the desktop is trusted.
bool desktopCanOpen(const QUrl& url)
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return false;
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty() || !qEnvironmentVariableIsEmpty("BROWSER"))
        return true;
    QString type;
    if (url.isLocalFile()) {
        const QFileInfo file(url.toLocalFile());
        if (file.isDir())
            return true; // a file manager is part of every desktop that has xdg-open
        type = QMimeDatabase().mimeTypeForFile(file).name();
    } else {
        type = QStringLiteral("x-scheme-handler/") + url.scheme();
    }
    QProcess process;
    process.start(query, {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(1000);
        return true;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return true;
    return !process.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace

bool DesktopLauncher::open(const QUrl& url)
{
    if (!desktopCanOpen(url))
        return false;
    return QDesktopServices::openUrl(url);
}

bool DesktopLauncher::requestPowerOff(int delaySeconds)
{
    // Scheduled with logind the way `shutdown` does it (announced to the users, cancelled with
    // `shutdown -c`), but to the second. Where busctl is missing or logind refuses, `shutdown`
    // itself takes the request, rounded up to whole minutes. Nothing powers off before the delay.
    const int delay = std::max(0, delaySeconds);
    const int minutes = (delay + 59) / 60;
    const QStringList fallback{QStringLiteral("-P"),
                               minutes == 0 ? QStringLiteral("now") : QStringLiteral("+%1").arg(minutes)};
    const qint64 whenUsec = (QDateTime::currentMSecsSinceEpoch() + qint64(delay) * 1000) * 1000;
    auto* process = new QProcess;
    QObject::connect(process, &QProcess::finished, process,
                     [process, fallback](int code, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || code != 0)
                             QProcess::startDetached(QStringLiteral("shutdown"), fallback);
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, fallback](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        QProcess::startDetached(QStringLiteral("shutdown"), fallback);
        process->deleteLater();
    });
    process->start(QStringLiteral("busctl"),
                   {QStringLiteral("call"), QStringLiteral("org.freedesktop.login1"),
                    QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
                    QStringLiteral("ScheduleShutdown"), QStringLiteral("st"), QStringLiteral("poweroff"),
                    QString::number(whenUsec)});
    return true;
}

bool DesktopLauncher::cancelPowerOff()
{
    // Both ways the request may have gone: logind's schedule and `shutdown`'s own.
    auto* process = new QProcess;
    QObject::connect(process, &QProcess::finished, process, [process](int, QProcess::ExitStatus) {
        QProcess::startDetached(QStringLiteral("shutdown"), {QStringLiteral("-c")});
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        QProcess::startDetached(QStringLiteral("shutdown"), {QStringLiteral("-c")});
        process->deleteLater();
    });
    process->start(QStringLiteral("busctl"),
                   {QStringLiteral("call"), QStringLiteral("org.freedesktop.login1"),
                    QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
                    QStringLiteral("CancelScheduledShutdown")});
    return true;
}

} // namespace sonaveil::platform
