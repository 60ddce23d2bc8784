#include "platform/launcher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

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
    // logind powers off without a password for the user at the seat; `shutdown` where it does not.
    const int minutes = delaySeconds <= 0 ? 0 : (delaySeconds + 59) / 60;
    if (QProcess::startDetached(QStringLiteral("systemctl"), {QStringLiteral("poweroff")}) && minutes == 0)
        return true;
    return QProcess::startDetached(QStringLiteral("shutdown"),
                                   {QStringLiteral("-P"), QStringLiteral("+%1").arg(minutes)});
}

} // namespace sonaveil::platform
