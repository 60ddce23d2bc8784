#include "player/desktop/commandline.h"

#include <QCoreApplication>

namespace sonaveil::player {

namespace {

constexpr const char* kContext = "sonaveil::player::CommandLine";

std::string translated(const char* text)
{
    return QCoreApplication::translate(kContext, text).toStdString();
}

using Action = CommandLine::Action;

// The options that ask for an action, read and written alike. One that takes a file says so
// when the file is missing.
struct Option {
    const char* name;
    Action action;
    const char* withoutFile = nullptr;
};
const Option kOptions[] = {
    {"--load", Action::Load, QT_TRANSLATE_NOOP("sonaveil::player::CommandLine", "--load needs a preset file")},
    {"--add-sound", Action::AddSound,
     QT_TRANSLATE_NOOP("sonaveil::player::CommandLine", "--add-sound needs a sound file or a folder")},
    {"--previous", Action::Previous},
    {"--stop-all", Action::StopAll},
    {"--mute", Action::Mute},
    {"--unmute", Action::Unmute},
    {"--quit", Action::Quit},
    {"--tinnitus", Action::Tinnitus},
};

const Option& optionOf(Action action)
{
    for (const Option& o : kOptions)
        if (o.action == action)
            return o;
    return kOptions[0];
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
        const Option* option = nullptr;
        std::string file; // given after "=" in the same argument
        for (const Option& o : kOptions) {
            const std::string name = o.name;
            if (a == name || (o.withoutFile && a.size() > name.size() + 1 && a.rfind(name + "=", 0) == 0)) {
                option = &o;
                if (a != name)
                    file = a.substr(name.size() + 1);
                break;
            }
        }
        if (option) {
            if (option->withoutFile && file.empty()) {
                if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                    error = translated(option->withoutFile);
                    return std::nullopt;
                }
                file = arguments[++i];
            }
            line.steps.push_back({option->action, file});
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
        const Option& option = optionOf(s.action);
        out.push_back(option.name);
        if (option.withoutFile)
            out.push_back(s.file);
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
