#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sonaveil::player {

// The player's command line: what it asks of the player, in the order given.
struct CommandLine {
    enum class Action { Load, Previous, StopAll, Mute, Unmute, Quit, AddSound, Tinnitus };
    struct Step {
        Action action;
        std::string file; // Load and AddSound
        bool operator==(const Step&) const = default;
    };

    std::vector<Step> steps;
    // Start hidden in the tray; to a running player: do not bring its window forward.
    bool tray = false;
    bool help = false;
    bool version = false;

    // Reads the arguments after the program name. Nothing, with `error` set to one line, for
    // an unknown option or a --load without a file.
    static std::optional<CommandLine> parse(const std::vector<std::string>& arguments, std::string& error);
    // The arguments that give this command line again (for a running player).
    std::vector<std::string> arguments() const;
    // Started with nothing to do: a running player brings its window forward.
    bool bringsWindowForward() const { return steps.empty() && !tray; }
    bool quits() const;

    static const char* const kUsage;
    // kUsage in the language the program speaks.
    static std::string usage();
};

} // namespace sonaveil::player
