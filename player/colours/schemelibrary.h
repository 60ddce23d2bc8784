#pragma once

#include "common/atomicfile.h"
#include "player/colours/colourscheme.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sonaveil::player {

// The scheme files in "config/colors" of the program folder, one "<name>.clr" per scheme.
class SchemeLibrary {
public:
    static constexpr const char* kFolder = "config/colors";
    static constexpr const char* kDefaultName = "Default";
    // The longest scheme name in bytes: the longest name the atomic writer takes, less ".clr"
    // (the same limit as an equaliser preset's).
    static constexpr std::size_t kMaxNameLength = kMaxAtomicFileName - 4;

    explicit SchemeLibrary(const std::filesystem::path& programFolder);

    const std::filesystem::path& folder() const { return m_folder; }

    // The names of the scheme files (the file names without ".clr"), in alphabetical order
    // without regard to case, as a file manager lists them.
    std::vector<std::string> names() const;

    // Whether a name stays a plain file name inside the folder: no path separator, no "..", no
    // control character, at most kMaxNameLength bytes. Empty names are refused too.
    static bool acceptableName(std::string_view name);

    // Writes the scheme under `name`, replacing a scheme of that name atomically. False, and
    // nothing written, when the name is not acceptable or the file cannot be written.
    bool save(const std::string& name, const ColourScheme& scheme, std::string* error = nullptr) const;
    // Deletes the scheme file; false when the name is not acceptable or there is none to delete.
    bool remove(const std::string& name) const;
    // The bytes of the scheme file, or nothing when the name is not acceptable or it cannot be read.
    std::optional<std::string> read(const std::string& name) const;

private:
    std::filesystem::path pathOf(const std::string& name) const;

    std::filesystem::path m_folder;
};

} // namespace sonaveil::player
