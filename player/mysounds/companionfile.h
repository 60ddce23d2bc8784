#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sonaveil::player {

// The state of the user's own sounds in a preset, kept in a file of its own beside the preset
// ("Rain.svp" keeps its own sounds in "Rain.svp.mysounds"), so that the preset file stays
// exactly what every reader of presets expects. It lists the sounds that are on; a preset
// without one has none of the user's sounds on.
class CompanionFile {
public:
    static constexpr const char* kSuffix = ".mysounds";

    // One sound that is on, by its key in the list and its name then (to say which is missing).
    struct Entry {
        std::string id;
        std::string name;
        int volume = 0;
        int pitch = 0;
        int pan = 0;
        bool operator==(const Entry&) const = default;
    };

    static std::string pathFor(const std::string& presetPath);

    static std::string toText(const std::vector<Entry>& entries);
    // Nothing for text that is not such a file.
    static std::optional<std::vector<Entry>> parse(std::string_view text);

    // Writes the companion of `presetPath`, or removes it when no sound is on (so that an old
    // one cannot bring back sounds the preset no longer has).
    static bool write(const std::string& presetPath, const std::vector<Entry>& entries, std::string* why = nullptr);
    // The entries beside `presetPath`: none when there is no companion, nothing when there is
    // one that cannot be read.
    static std::optional<std::vector<Entry>> read(const std::string& presetPath);
};

} // namespace sonaveil::player
