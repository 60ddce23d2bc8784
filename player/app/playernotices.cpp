#include "player/app/playernotices.h"

#include "platform/launcher.h"
#include "player/app/dialogs.h"

#include <QDateTime>
#include <QDir>
#include <QTimer>

namespace sonaveil::player {

PlayerNotices::PlayerNotices(Dialogs& dialogs, platform::Launcher& launcher, std::function<QWidget*()> owner)
    : m_dialogs(dialogs)
    , m_launcher(launcher)
    , m_owner(std::move(owner))
{
}

void PlayerNotices::folderNotWritable(const QString& folder, std::string why, QObject* context,
                                      std::function<bool()> closed)
{
    m_folderReported = true;
    // Only the reason; the folder is named in the message.
    if (const auto colon = why.rfind(": "); colon != std::string::npos)
        why = why.substr(colon + 2);
    const QString text = QString(kFolderNotWritable).arg(QDir::toNativeSeparators(folder), QString::fromStdString(why));
    QTimer::singleShot(0, context, [this, text, closed = std::move(closed)] {
        if (!closed())
            m_dialogs.information(m_owner(), kMessageTitle, text);
    });
}

void PlayerNotices::keptMixFailed(const std::string& file, const std::string& why, bool closing)
{
    if (closing || m_folderReported)
        return; // told with the other files of the close, or at start-up with the folder
    m_dialogs.notice(m_owner(), kMessageTitle,
                     tr("The mix that plays could not be kept in \"%1\": %2. Sonaveil tells you again "
                        "only if the reason changes.")
                         .arg(QString::fromStdString(file), QString::fromStdString(why)));
}

std::string PlayerNotices::powerOffAsked(int seconds, std::function<void()> cancelled)
{
    m_launcher.requestPowerOff(seconds);
    const QString when = QDateTime::currentDateTime().addSecs(seconds).toString(QStringLiteral("HH:mm:ss"));
    m_dialogs.notice(m_owner(), kMessageTitle,
                     tr("The alarm's shut-down option has asked the computer to power off in %1 "
                        "seconds, at %2.")
                         .arg(seconds)
                         .arg(when),
                     tr("Cancel shut-down"), [this, cancelled = std::move(cancelled)] {
                         m_launcher.cancelPowerOff();
                         if (cancelled)
                             cancelled();
                     });
    return "Power off " + when.toStdString();
}

QString PlayerNotices::soundFileProblem(audio::SafeSoundFile::Problem problem, const std::string& systemReason)
{
    using P = audio::SafeSoundFile::Problem;
    switch (problem) {
    case P::None:
        break;
    case P::Missing:
        return tr("the file is missing");
    case P::NotRegular:
        return tr("it is not a regular file (a folder, a pipe or a device stands in its place)");
    case P::Unreadable:
        return tr("it cannot be read (%1)").arg(QString::fromLocal8Bit(systemReason.c_str()));
    case P::NotAudio:
        return tr("it is not a sound file Sonaveil can read");
    case P::NoFrames:
        return tr("it is damaged: it holds no sound");
    }
    return {};
}

void PlayerNotices::soundsNotLoaded(const std::vector<UnloadedSound>& sounds)
{
    if (sounds.empty())
        return;
    QStringList lines{tr("Sonaveil could not load these sounds:")};
    for (const UnloadedSound& s : sounds)
        lines << tr("\"%1\" from \"%2\": %3. %4")
                     .arg(s.name, QDir::toNativeSeparators(s.file), s.why,
                          s.live ? tr("It plays live while endless sounds are on.") : tr("It stays silent."));
    m_dialogs.notice(m_owner(), kMessageTitle, lines.join(QStringLiteral("\n")));
}

void PlayerNotices::minimisedForNoTray()
{
    if (m_toldNoTray)
        return;
    m_toldNoTray = true;
    m_dialogs.notice(m_owner(), kMessageTitle,
                     tr("This desktop shows no tray icons, so Sonaveil is minimised instead of hidden: "
                        "you find it on the task bar."));
}

void PlayerNotices::noteClosingWrite(bool ok, const char* file, const std::string& why)
{
    if (!ok)
        m_closingFailures << QStringLiteral("%1: %2").arg(QString::fromLatin1(file),
                                                          why.empty() ? tr("it cannot be written")
                                                                      : QString::fromStdString(why));
}

void PlayerNotices::tellClosingFailures()
{
    // A folder named at start-up as one that cannot be written is not told again.
    if (m_closingFailures.isEmpty() || m_folderReported)
        return;
    m_dialogs.closingNotice(kMessageTitle, tr("Sonaveil could not save these files as it closed:\n%1")
                                        .arg(m_closingFailures.join(QLatin1Char('\n'))));
    m_closingFailures.clear();
}

} // namespace sonaveil::player
