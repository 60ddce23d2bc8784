#include "player/app/outsidelinks.h"

#include "platform/launcher.h"
#include "player/app/dialogs.h"

#include <QDir>
#include <QRegularExpression>
#include <QUrl>

namespace sonaveil::player {

OutsideLinks::OutsideLinks(QString programFolder, platform::Launcher& launcher, Dialogs& dialogs, QObject* parent)
    : QObject(parent)
    , m_folder(std::move(programFolder))
    , m_launcher(launcher)
    , m_dialogs(dialogs)
{
}

QString OutsideLinks::path(const QString& name) const
{
    return QDir(m_folder).filePath(name);
}

void OutsideLinks::record()
{
    if (!m_launcher.start(path("recorder"), {}, m_folder))
        m_dialogs.information(m_owner, kMessageTitle, kRecorderMissing);
}

void OutsideLinks::help()
{
    const QString page = path("help/index.html");
    if (!m_launcher.open(QUrl::fromLocalFile(page)))
        m_dialogs.information(m_owner, kMessageTitle, QString(kHelpMissing).arg(QDir::toNativeSeparators(page)));
}

void OutsideLinks::helpPage(const QString& name)
{
    m_launcher.open(QUrl::fromLocalFile(path("help/" + name)));
}

void OutsideLinks::contact(const QString& url, QWidget* owner)
{
    if (m_launcher.open(QUrl(url)))
        return;
    QString address = url;
    address.remove(QRegularExpression("^mailto:", QRegularExpression::CaseInsensitiveOption));
    address = address.section('?', 0, 0);
    m_dialogs.information(owner, kMessageTitle, QString(kMailMissing).arg(address));
}

} // namespace sonaveil::player
