// recorder: the sound recorder.
#include "l10n/language.h"
#include "recorder/app/dialogs.h"
#include "recorder/app/frmmain.h"
#include "recorder/capture/capturecontrol.h"

#include "common/programfolder.h"
#include "platform/diskspace.h"
#include "platform/launcher.h"
#include "platform/terminationwatcher.h"

#include <QApplication>
#include <QFile>
#include <QSessionManager>
#include <QSettings>
#include <QStandardPaths>

#include <cstdio>

using namespace sonaveil;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Sonaveil");
    QApplication::setApplicationName("recorder");
    QApplication::setApplicationDisplayName("Recorder");
    QApplication::setDesktopFileName("sonaveil-recorder");
    // The desktop's language, with Qt's own dialogs in it; the English texts need no catalogue.
    // The program folder under a name Qt can carry (see ProgramFolder::decide).
    const std::filesystem::path running = ProgramFolder::ofRunningProgram();
    const std::filesystem::path here = ProgramFolder::reachable(
        running.empty() ? std::filesystem::path(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString()) : running);
    auto folderName = [](const std::filesystem::path& folder) {
        return QFile::decodeName(QByteArray::fromStdString(folder.string()));
    };
    l10n::installTranslations(app, folderName(here));
    // The window hides itself while it releases the devices; the program ends when it says so.
    QApplication::setQuitOnLastWindowClosed(false);

    recorder::QtDialogs dialogs;
    platform::DesktopLauncher launcher;
    platform::StorageDiskSpace disk;
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Sonaveil", "recorder");
    recorder::CaptureControl capture;

    // A read-only program folder (a package) sends the user's files to their data folder.
    const ProgramFolder folders = ProgramFolder::decide(here);
    ProgramFolder::Problem problem;
    if (!folders.prepare(&problem)) {
        const QString folder = QString::fromStdString(problem.folder.string());
        const QString line = problem.systemReason.empty()
            ? QCoreApplication::translate("recorder", "cannot create the folder %1: a file of that name is in the way").arg(folder)
            : QCoreApplication::translate("recorder", "cannot create the folder %1: %2")
                  .arg(folder, QString::fromStdString(problem.systemReason));
        std::fprintf(stderr, "recorder: %s\n", qPrintable(line));
    }

    recorder::RecorderSetup setup;
    setup.programFolder = folderName(folders.program());
    setup.userFolder = folderName(folders.user());
    setup.dialogs = &dialogs;
    setup.launcher = &launcher;
    setup.disk = &disk;
    setup.store = &store;
    setup.capture = &capture;
    setup.findProgram = [](const QString& name) { return QStandardPaths::findExecutable(name); };

    recorder::FRMMAIN window(setup);
    platform::TerminationWatcher watcher;
    QObject::connect(&watcher, &platform::TerminationWatcher::terminationRequested, &window,
                     &recorder::FRMMAIN::on_chameleonButton1_Click);
    // The end of the desktop session may not wait for the close pause: save at once.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window, [&window](QSessionManager&) {
        window.saveForSessionEnd();
    });
    QObject::connect(&window, &recorder::FRMMAIN::finished, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    window.load();
    window.show();
    return app.exec();
}
