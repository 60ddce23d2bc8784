#pragma once

#include "audio/safesoundfile.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

class QObject;
class QWidget;

namespace sonaveil::platform {
class Launcher;
}

namespace sonaveil::player {

class Dialogs;

// What the player tells about what it could not do or what it has asked the system to do.
// None of these notices waits for an answer, so a night or a closing session is never held up.
class PlayerNotices {
    Q_DECLARE_TR_FUNCTIONS(PlayerNotices)

public:
    static constexpr const char* kFolderNotWritable =
        "Sonaveil cannot write to its folder \"%1\" (%2).\n\nThe mix, the options and the quick "
        "presets of this session will not be kept when Sonaveil closes. Make the folder writable, "
        "or install Sonaveil where you can write (\"make install\").";

    PlayerNotices(Dialogs& dialogs, platform::Launcher& launcher, std::function<QWidget*()> owner);

    // The folder of the user's files cannot be written (`why` as the file system says it): told
    // just after the start-up, while the player plays, unless `closed` holds by then. The
    // folder's files are not told again.
    void folderNotWritable(const QString& folder, std::string why, QObject* context, std::function<bool()> closed);
    // The mix could not be kept on disk during the session; told unless the player closes.
    void keptMixFailed(const std::string& file, const std::string& why, bool closing);
    // The alarm's shut-down option asked for a power-off in `seconds`; the notice offers to
    // cancel it and `cancelled` runs after it was withdrawn. Returns display line 2's text.
    std::string powerOffAsked(int seconds, std::function<void()> cancelled);
    // A sound whose file could not be loaded at start-up: its name, its file, why (worded by
    // soundFileProblem) and whether it plays live all the same.
    struct UnloadedSound {
        QString name;
        QString file;
        QString why;
        bool live = false;
    };
    // Tells, in one notice, every sound that could not be loaded.
    void soundsNotLoaded(const std::vector<UnloadedSound>& sounds);
    // Why a sound file could not be loaded, in words for the user.
    static QString soundFileProblem(audio::SafeSoundFile::Problem problem, const std::string& systemReason);
    // The Tray button on a desktop without a tray: told once.
    void minimisedForNoTray();

    // At close: each file that could not be written, then one notice for all of them.
    void noteClosingWrite(bool ok, const char* file, const std::string& why = {});
    void tellClosingFailures();

private:
    Dialogs& m_dialogs;
    platform::Launcher& m_launcher;
    std::function<QWidget*()> m_owner;
    QStringList m_closingFailures;
    bool m_folderReported = false;
    bool m_toldNoTray = false;
};

} // namespace sonaveil::player
