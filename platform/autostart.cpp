#include "platform/autostart.h"

#include "common/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace sonaveil::platform {

namespace {

QString defaultUserFolder()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart");
}

// An Exec argument is quoted, with " ` $ and \ escaped inside the quotes; the value as a whole
// then escapes its backslashes once more, as every desktop-entry string does.
QString execValue(const QString& path)
{
    QString argument;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            argument += QLatin1Char('\\');
        argument += c;
    }
    argument = QLatin1Char('"') + argument + QLatin1Char('"');
    argument.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return argument;
}

bool folderWritable(const QString& folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

} // namespace

bool autostartCanName(const QString& programPath)
{
    if (!QDir::isAbsolutePath(programPath) || programPath.startsWith(QStringLiteral("/proc/")))
        return false;
    // A replacement character stands for bytes that were not UTF-8, unless the name really holds one.
    return !programPath.contains(QChar::ReplacementCharacter) || QFileInfo::exists(programPath);
}

XdgAutostart::XdgAutostart(QString systemFolder, QString userFolder)
    : m_system(systemFolder.isEmpty() ? QStringLiteral("/etc/xdg/autostart") : std::move(systemFolder))
    , m_user(userFolder.isEmpty() ? defaultUserFolder() : std::move(userFolder))
{
}

QByteArray XdgAutostart::entryText(const QString& name, const QString& programPath)
{
    QString text;
    text += QStringLiteral("[Desktop Entry]\n");
    text += QStringLiteral("Type=Application\n");
    text += QStringLiteral("Name=") + name + QLatin1Char('\n');
    text += QStringLiteral("Exec=") + execValue(programPath) + QLatin1Char('\n');
    text += QStringLiteral("Path=") + QFileInfo(programPath).absolutePath() + QLatin1Char('\n');
    text += QStringLiteral("Terminal=false\n");
    text += QStringLiteral("X-GNOME-Autostart-enabled=true\n");
    return text.toUtf8();
}

bool XdgAutostart::enable(const QString& name, const QString& programPath)
{
    if (!autostartCanName(programPath))
        return false;
    const QString file = name + QStringLiteral(".desktop");
    const QByteArray text = entryText(name, programPath);
    if (folderWritable(m_system)
        && writeFileAtomically((m_system + QLatin1Char('/') + file).toStdString(), text.toStdString()))
        return true;
    if (!QDir().mkpath(m_user))
        return false;
    return writeFileAtomically((m_user + QLatin1Char('/') + file).toStdString(), text.toStdString());
}

bool XdgAutostart::disable(const QString& name)
{
    const QString file = name + QStringLiteral(".desktop");
    bool clear = true;
    for (const QString& folder : {m_system, m_user}) {
        const QString path = folder + QLatin1Char('/') + file;
        if (QFile::exists(path) && !QFile::remove(path))
            clear = false;
    }
    return clear;
}

bool XdgAutostart::isEnabled(const QString& name) const
{
    const QString file = name + QStringLiteral(".desktop");
    return QFile::exists(m_system + QLatin1Char('/') + file) || QFile::exists(m_user + QLatin1Char('/') + file);
}

bool FakeAutostart::enable(const QString& name, const QString& programPath)
{
    if (failWrites || !autostartCanName(programPath))
        return false;
    m_name = name;
    m_path = programPath;
    return true;
}

bool FakeAutostart::disable(const QString& name)
{
    if (m_name == name)
        m_path.clear();
    return true;
}

} // namespace sonaveil::platform
