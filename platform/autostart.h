#pragma once

#include <QString>

namespace sonaveil::platform {

// Whether an entry read by the desktop at log-on can name the program at `programPath`: an
// absolute path that is not this process's own (/proc/self/…), and that the system knows under
// that text (a folder whose name is not valid UTF-8 reaches Qt with its bad bytes replaced).
bool autostartCanName(const QString& programPath);

// The run-at-log-on entry of a program: an XDG autostart file "<name>.desktop" holding the
// program's full path, machine-wide when that folder is writable, else the user's own.
class Autostart {
public:
    virtual ~Autostart() = default;
    // Creates or replaces the entry; false when no folder takes it, or when the entry cannot
    // name the program (autostartCanName).
    virtual bool enable(const QString& name, const QString& programPath) = 0;
    // Removes the entry wherever it is; true when none is left.
    virtual bool disable(const QString& name) = 0;
    virtual bool isEnabled(const QString& name) const = 0;
};

class XdgAutostart : public Autostart {
public:
    // `systemFolder` (normally /etc/xdg/autostart) and `userFolder` (normally
    // $XDG_CONFIG_HOME/autostart or ~/.config/autostart); empty for the defaults.
    explicit XdgAutostart(QString systemFolder = {}, QString userFolder = {});

    bool enable(const QString& name, const QString& programPath) override;
    bool disable(const QString& name) override;
    bool isEnabled(const QString& name) const override;

    // The entry's text for a program.
    static QByteArray entryText(const QString& name, const QString& programPath);
    QString systemFolder() const { return m_system; }
    QString userFolder() const { return m_user; }

private:
    QString m_system;
    QString m_user;
};

// Remembers entries in memory, for tests.
class FakeAutostart : public Autostart {
public:
    bool enable(const QString& name, const QString& programPath) override;
    bool disable(const QString& name) override;
    bool isEnabled(const QString& name) const override { return m_name == name && !m_path.isEmpty(); }
    QString path() const { return m_path; }
    bool failWrites = false;

private:
    QString m_name;
    QString m_path;
};

} // namespace sonaveil::platform
