#include "platform/launcher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

namespace sonaveil::platform {

bool DesktopLauncher::start(const QString& program, const QStringList& arguments, const QString& workingFolder)
{
    const QFileInfo info(program);
    if (program.contains(QLatin1Char('/')) && !(info.isFile() && info.isExecutable()))
        return false;
    const QString folder = workingFolder.isEmpty() && program.contains(QLatin1Char('/')) ? info.absolutePath() : workingFolder;
    return QProcess::startDetached(program, arguments, folder);
}

bool DesktopLauncher::open(const QUrl& url)
{
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
