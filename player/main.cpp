// quietdeck: the masking-sound player.
#include "platform/autostart.h"
#include "platform/launcher.h"
#include "player/app/dialogs.h"
#include "player/app/player.h"
#include "player/app/terminationwatcher.h"

#include <QApplication>

using namespace sonaveil;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("quietdeck");
    QApplication::setApplicationDisplayName("Sonaveil");
    QApplication::setDesktopFileName("quietdeck");
    // The player lives on in the tray when its window is hidden.
    QApplication::setQuitOnLastWindowClosed(false);

    player::QtDialogs dialogs;
    platform::DesktopLauncher launcher;
    platform::XdgAutostart autostart;

    player::PlayerSetup setup;
    setup.programFolder = QCoreApplication::applicationDirPath();
    setup.programPath = QCoreApplication::applicationFilePath();
    setup.dialogs = &dialogs;
    setup.launcher = &launcher;
    setup.autostart = &autostart;
    setup.readyFile = qEnvironmentVariable("SONAVEIL_READY_FILE");

    player::Player player(setup);
    player::TerminationWatcher watcher;
    QObject::connect(&watcher, &player::TerminationWatcher::terminationRequested, &player, &player::Player::close);
    QObject::connect(&player, &player::Player::quitRequested, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    player.launch();
    return app.exec();
}
