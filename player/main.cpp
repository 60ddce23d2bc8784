// quietdeck: the masking-sound player.
#include "common/atomicfile.h"
#include "common/programfolder.h"
#include "l10n/language.h"
#include "platform/autostart.h"
#include "platform/launcher.h"
#include "platform/terminationwatcher.h"
#include "player/app/desktopbridge.h"
#include "player/app/dialogs.h"
#include "player/app/player.h"
#include "player/desktop/commandline.h"
#include "player/desktop/singleinstance.h"
#include "player/presets/presetrecord.h"

#include <QApplication>
#include <QDBusConnection>
#include <QFile>

#include <cstdio>
#include <filesystem>
#include <optional>

using namespace sonaveil;

namespace {

// The command line's messages in the language the program speaks.
QString said(const char* text)
{
    return QCoreApplication::translate("quietdeck", text);
}

// Why the user's folder could not be made, in the user's language.
QString folderProblem(const ProgramFolder::Problem& problem)
{
    const QString folder = QString::fromStdString(problem.folder.string());
    if (problem.systemReason.empty())
        return said(QT_TRANSLATE_NOOP("quietdeck", "cannot create the folder %1: a file of that name is in the way"))
            .arg(folder);
    return said(QT_TRANSLATE_NOOP("quietdeck", "cannot create the folder %1: %2"))
        .arg(folder, QString::fromStdString(problem.systemReason));
}

// The program folder under a name Qt can carry (see ProgramFolder::decide).
std::filesystem::path programFolder()
{
    const std::filesystem::path here = ProgramFolder::ofRunningProgram();
    return ProgramFolder::reachable(here.empty() ? std::filesystem::path(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString())
                                                 : here);
}

QString folderName(const std::filesystem::path& folder)
{
    return QFile::decodeName(QByteArray::fromStdString(folder.string()));
}

int failure(const std::string& line)
{
    std::fprintf(stderr, "quietdeck: %s\n", line.c_str());
    return 2;
}

// Checks the presets the command line names before anything starts or is forwarded, so that a
// wrong name is reported here and no mix is touched; relative names become absolute, since the
// running player has a folder of its own.
bool checkPresets(player::CommandLine& line, std::string& error)
{
    for (auto& step : line.steps) {
        if (step.action != player::CommandLine::Action::Load && step.action != player::CommandLine::Action::AddSound)
            continue;
        std::error_code ec;
        const std::filesystem::path absolute = std::filesystem::absolute(step.file, ec);
        if (!ec)
            step.file = absolute.lexically_normal().string();
        // A sound is checked by the player that adds it, which says what is wrong with it.
        if (step.action == player::CommandLine::Action::AddSound)
            continue;
        std::string why;
        const auto text = readWholeFile(step.file, kMaxStateFileBytes, &why);
        if (!text) {
            error = said(QT_TRANSLATE_NOOP("quietdeck", "cannot load \"%1\": %2"))
                        .arg(QString::fromStdString(step.file), QString::fromStdString(why))
                        .toStdString();
            return false;
        }
        if (!player::PresetRecord::parse(*text)) {
            error = said(QT_TRANSLATE_NOOP("quietdeck", "cannot load \"%1\": it does not hold a preset"))
                        .arg(QString::fromStdString(step.file))
                        .toStdString();
            return false;
        }
    }
    return true;
}

// What the command line asks before any window: help, the version, a wrong option or preset, or
// a player already running that takes the command line over. The exit code when this start ends
// here. Its messages are in the desktop's language, read without the window system so that
// --help works on a console.
std::optional<int> consoleStart(int argc, char** argv, player::CommandLine& line, player::InstanceLock& lock)
{
    QCoreApplication console(argc, argv);
    l10n::installTranslations(console, folderName(programFolder()));
    std::string error;
    auto parsed = player::CommandLine::parse(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!parsed)
        return failure(error);
    line = *parsed;
    if (line.help) {
        std::printf("%s\n", player::CommandLine::usage().c_str());
        return 0;
    }
    if (line.version) {
        std::printf("quietdeck (Sonaveil) %s\n", SONAVEIL_VERSION);
        return 0;
    }
    if (!checkPresets(line, error))
        return failure(error);

    // One player per user: a later start hands its command line over and ends.
    if (!lock.acquire() && lock.usable()) {
        const auto reply = player::forwardToRunning(lock.socketPath(), line.arguments(), 15000);
        if (!reply)
            return failure(said(QT_TRANSLATE_NOOP("quietdeck", "the running player does not answer")).toStdString());
        if (!reply->message.empty())
            std::fprintf(reply->code == 0 ? stdout : stderr, "quietdeck: %s\n", reply->message.c_str());
        return reply->code;
    }
    if (line.quits())
        return 0; // nothing runs that could be closed
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    player::CommandLine line;
    player::InstanceLock lock;
    if (const auto ended = consoleStart(argc, argv, line, lock))
        return *ended;

    QApplication app(argc, argv);
    QApplication::setApplicationName("quietdeck");
    QApplication::setApplicationDisplayName("Sonaveil");
    QApplication::setApplicationVersion(SONAVEIL_VERSION);
    QApplication::setDesktopFileName("sonaveil");
    // The desktop's language, with Qt's own dialogs in it; the English texts need no catalogue.
    const std::filesystem::path here = programFolder();
    l10n::installTranslations(app, folderName(here));
    // The player lives on in the tray when its window is hidden.
    QApplication::setQuitOnLastWindowClosed(false);

    player::QtDialogs dialogs;
    platform::DesktopLauncher launcher;
    platform::XdgAutostart autostart;

    // A read-only program folder (a package) sends the user's files to their data folder.
    const ProgramFolder folders = ProgramFolder::decide(here);
    ProgramFolder::Problem problem;
    if (!folders.prepare(&problem))
        std::fprintf(stderr, "quietdeck: %s\n", qPrintable(folderProblem(problem)));

    player::PlayerSetup setup;
    setup.programFolder = folderName(folders.program());
    setup.userFolder = folderName(folders.user());
    setup.programPath = QCoreApplication::applicationFilePath();
    setup.dialogs = &dialogs;
    setup.launcher = &launcher;
    setup.autostart = &autostart;
    setup.readyFile = qEnvironmentVariable("SONAVEIL_READY_FILE");
    setup.startInTray = line.tray;

    player::Player player(setup);
    player::DesktopBridge bridge(player);
    player::InstanceServer server;
    if (lock.usable()) {
        server.received = [&bridge](const std::vector<std::string>& arguments, player::InstanceServer::Answer answer) {
            bridge.receive(arguments, std::move(answer));
        };
        if (!server.listen(QString::fromStdString(lock.socketPath())))
            std::fprintf(stderr, "quietdeck: %s\n",
                         said(QT_TRANSLATE_NOOP("quietdeck", "later starts cannot reach this player (%1)"))
                             .arg(QString::fromStdString(lock.socketPath()))
                             .toLocal8Bit()
                             .constData());
    }
    // Without a session bus the player runs as ever, only without media keys.
    bridge.publishOn(QDBusConnection::sessionBus());

    platform::TerminationWatcher watcher;
    QObject::connect(&watcher, &platform::TerminationWatcher::terminationRequested, &player, &player::Player::close);
    QObject::connect(&player, &player::Player::quitRequested, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    if (!line.steps.empty())
        bridge.execute(line, [](const player::InstanceReply& reply) {
            if (!reply.message.empty())
                std::fprintf(stderr, "quietdeck: %s\n", reply.message.c_str());
        });
    player.launch();
    return app.exec();
}
