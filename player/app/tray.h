#pragma once

#include "player/tinnitus/night.h"

#include <QObject>

#include <map>
#include <memory>

class QAction;
class QIcon;
class QMenu;
class QSystemTrayIcon;

namespace sonaveil::player {

// The tray icon and its menu mnutray: "Load", "Mute", the sleep entries of the Night ("Sleep in
// 30 / 60 / 90 min", "Cancel sleep") and "Quit". The sleep entries forward to the Night and
// show its state; the others are signals for the player.
class Tray : public QObject {
    Q_OBJECT
public:
    Tray(Night& night, const QIcon& icon, QObject* parent = nullptr);
    ~Tray() override;

    QSystemTrayIcon* icon() const { return m_icon; }
    QMenu* menu() const { return m_menu.get(); }
    QAction* muteAction() const { return m_mute; }
    QAction* sleepAction(int minutes) const;
    QAction* cancelSleepAction() const { return m_cancelSleep; }
    // Shows the Night's sleep: the entry ticked, "Cancel sleep" with its time.
    void refreshSleep();
    // No icon is left in the tray.
    void remove();

signals:
    void loadClicked();
    void muteClicked();
    void quitClicked();
    // A click on the icon: the main window should come.
    void activated();

private:
    Night& m_night;
    std::unique_ptr<QMenu> m_menu;
    QSystemTrayIcon* m_icon = nullptr;
    QAction* m_mute = nullptr;
    std::map<int, QAction*> m_sleep;
    QAction* m_cancelSleep = nullptr;
};

} // namespace sonaveil::player
