#include "player/desktop/commandline.h"

#include <QCoreApplication>

namespace sonaveil::player {

namespace {

constexpr const char* kContext = "sonaveil::player::CommandLine";

std::string translated(const char* text)
{
    return QCoreApplication::translate(kContext, text).toStdString();
}

} // namespace

const char* const CommandLine::kUsage = QT_TRANSLATE_NOOP("sonaveil::player::CommandLine",
    "Usage: quietdeck [options] [FILE.svp]\n"
    "Sonaveil: masking sounds for the night. A second start hands its options to the player\n"
    "that is running and brings its window forward.\n"
    "\n"
    "  --load FILE   load a preset (.svp) as \"Load\" does; a FILE on its own does the same\n"
    "  --previous    load the mix of the last session\n"
    "  --add-sound FILE  add a sound file (or a folder of music) to My Sounds\n"
    "  --stop-all    switch every sound off\n"
    "  --mute        mute the mix\n"
    "  --unmute      bring the muted mix back\n"
    "  --tray        start hidden in the tray (a running player stays where it is)\n"
    "  --tinnitus    open \"My Tinnitus\": the measures, the diary and the plots\n"
    "  --quit        close the running player\n"
    "  --help        show this text\n"
    "  --version     show the version");

std::string CommandLine::usage()
{
    return translated(kUsage);
}

std::optional<CommandLine> CommandLine::parse(const std::vector<std::string>& arguments, std::string& error)
{
    CommandLine line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--load") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                error = translated(QT_TRANSLATE_NOOP("sonaveil::player::CommandLine", "--load needs a preset file"));
                return std::nullopt;
            }
            line.steps.push_back({Action::Load, arguments[++i]});
        } else if (a.rfind("--load=", 0) == 0 && a.size() > 7) {
            line.steps.push_back({Action::Load, a.substr(7)});
        } else if (a == "--add-sound") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                error = translated(QT_TRANSLATE_NOOP("sonaveil::player::CommandLine",
                                                     "--add-sound needs a sound file or a folder"));
                return std::nullopt;
            }
            line.steps.push_back({Action::AddSound, arguments[++i]});
        } else if (a.rfind("--add-sound=", 0) == 0 && a.size() > 12) {
            line.steps.push_back({Action::AddSound, a.substr(12)});
        } else if (a == "--previous") {
            line.steps.push_back({Action::Previous, {}});
        } else if (a == "--stop-all") {
            line.steps.push_back({Action::StopAll, {}});
        } else if (a == "--mute") {
            line.steps.push_back({Action::Mute, {}});
        } else if (a == "--unmute") {
            line.steps.push_back({Action::Unmute, {}});
        } else if (a == "--quit") {
            line.steps.push_back({Action::Quit, {}});
        } else if (a == "--tinnitus") {
            line.steps.push_back({Action::Tinnitus, {}});
        } else if (a == "--tray") {
            line.tray = true;
        } else if (a == "--help" || a == "-h") {
            line.help = true;
        } else if (a == "--version") {
            line.version = true;
        } else if (!a.empty() && a[0] != '-') {
            // A file on its own, as the file manager and the menu entry pass it.
            line.steps.push_back({Action::Load, a});
        } else {
            error = QCoreApplication::translate("sonaveil::player::CommandLine",
                                                "unknown option \"%1\" (quietdeck --help lists the options)")
                        .arg(QString::fromStdString(a))
                        .toStdString();
            return std::nullopt;
        }
    }
    return line;
}

std::vector<std::string> CommandLine::arguments() const
{
    std::vector<std::string> out;
    for (const Step& s : steps) {
        switch (s.action) {
        case Action::Load:
            out.push_back("--load");
            out.push_back(s.file);
            break;
        case Action::AddSound:
            out.push_back("--add-sound");
            out.push_back(s.file);
            break;
        case Action::Previous: out.push_back("--previous"); break;
        case Action::StopAll: out.push_back("--stop-all"); break;
        case Action::Mute: out.push_back("--mute"); break;
        case Action::Unmute: out.push_back("--unmute"); break;
        case Action::Quit: out.push_back("--quit"); break;
        case Action::Tinnitus: out.push_back("--tinnitus"); break;
        }
    }
    if (tray)
        out.push_back("--tray");
    return out;
}

bool CommandLine::quits() const
{
    for (const Step& s : steps)
        if (s.action == Action::Quit)
            return true;
    return false;
}

} // namespace sonaveil::player
