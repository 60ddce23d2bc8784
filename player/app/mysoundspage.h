#pragma once

#include "player/mysounds/usersounds.h"
#include "player/mysounds/uservoices.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>

class QCheckBox;
class QGridLayout;
class QLabel;

namespace sonaveil::controls {
class Multibutton;
class UcSlider;
}

namespace sonaveil::player {

class Dialogs;

// The "My Sounds" page of the main window: a row for each of the user's own sounds with the
// controls of a built-in sound (switch, volume, pitch, balance) and a menu to rename it, remove
// it or change a folder's order, and below the rows the buttons that add a sound file or a
// folder of music.
class MySoundsPage : public QWidget {
    Q_OBJECT
public:
    MySoundsPage(UserSounds& sounds, UserVoices& voices, Dialogs& dialogs, QWidget* parent = nullptr);
    ~MySoundsPage() override;

    // The row of buttons shown under the page in place of the built-in pages' step buttons.
    QWidget* footer() const { return m_footer; }

    // Adds a file or a folder; "" when it was added, else the message that says why not. The
    // copy and the seam search run on a worker, with a progress dialog that can cancel them after
    // `progressDelay()` ms; the window stays responsive meanwhile.
    QString add(const QString& path);
    UserSounds::Outcome addPath(const QString& path);
    bool adding() const { return m_adding; }
    int progressDelay() const { return m_progressDelay; }
    void setProgressDelay(int ms) { m_progressDelay = ms; }
    // The message for an outcome of UserSounds::add, "" for Added.
    static QString messageFor(const UserSounds::Outcome& outcome, const QString& path, const QString& folder);

    // Shows the list as it is now (after a change outside the page).
    void refresh();

    QCheckBox* check(int index) const;
    controls::UcSlider* volumeSlider(int index) const;
    controls::UcSlider* pitchSlider(int index) const;
    controls::UcSlider* panSlider(int index) const;
    controls::Multibutton* menuButton(int index) const;
    controls::Multibutton* addFileButton() const { return m_addFile; }
    controls::Multibutton* addFolderButton() const { return m_addFolder; }

    // The actions of a row's menu, also for tests.
    void renameSound(int index);
    void removeSound(int index);
    void toggleShuffle(int index);

signals:
    // The user changed something of the mix (a switch or a slider) or of the list.
    void edited();

private:
    struct Row {
        QCheckBox* check = nullptr;
        controls::UcSlider* volume = nullptr;
        controls::UcSlider* pitch = nullptr;
        controls::UcSlider* pan = nullptr;
        controls::Multibutton* menu = nullptr;
    };
    void buildRow(int index);
    void showRow(int index);
    void addFileAsked();
    void addFolderAsked();
    void addAsked(const QString& path);
    void openMenu(int index);
    void saveList();
    void tellAdded(const QString& message);

    UserSounds& m_sounds;
    UserVoices& m_voices;
    Dialogs& m_dialogs;
    QGridLayout* m_grid = nullptr;
    QLabel* m_empty = nullptr;
    std::array<Row, UserSounds::kMaxSounds> m_rows{};
    QPointer<QWidget> m_footer; // placed on the main window, which may delete it first
    controls::Multibutton* m_addFile = nullptr;
    controls::Multibutton* m_addFolder = nullptr;
    QString m_lastFolder;
    bool m_syncing = false;
    bool m_adding = false;
    int m_progressDelay = 400;
};

} // namespace sonaveil::player
