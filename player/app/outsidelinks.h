#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace sonaveil::platform {
class Launcher;
}

namespace sonaveil::player {

class Dialogs;

// Where the player hands over to other programs: "Record" starts the recorder, "Help" opens the
// user guide, the options window's mail link the e-mail program. Each says so when the desktop
// has nothing to do it with.
class OutsideLinks : public QObject {
    Q_OBJECT
public:
    OutsideLinks(QString programFolder, platform::Launcher& launcher, Dialogs& dialogs, QObject* parent = nullptr);

    static constexpr const char* kRecorderMissing = "The recorder could not be found. Please re-install the program.";
    static constexpr const char* kHelpMissing =
        "There is no program on this desktop to show the help with. The help is the file \"%1\".";
    static constexpr const char* kMailMissing =
        "There is no e-mail program on this desktop to write to us with. Our address is %1.";

    // The window the messages belong to.
    void setOwner(QWidget* owner) { m_owner = owner; }
    void record();
    void help();
    // A page of the help folder ("tinnitus.html"), without a message when it cannot be opened.
    void helpPage(const QString& name);
    void contact(const QString& url, QWidget* owner);

private:
    QString path(const QString& name) const;

    QString m_folder;
    platform::Launcher& m_launcher;
    Dialogs& m_dialogs;
    QWidget* m_owner = nullptr;
};

} // namespace sonaveil::player
