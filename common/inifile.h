#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace sonaveil {

// Reads and writes "key=value" entries under "[section]" headers the way profile files work:
// section and key names compare without regard to case, a written key replaces the existing
// line in place, and every other line of the file, comments included, is kept as it was.
// New files and new lines end in CR LF.
class IniFile {
public:
    // Sets `key` in `section`, creating the file, the section or the key as needed.
    // The file is replaced atomically; false (with `error`) when it cannot be written.
    static bool writeString(const std::filesystem::path& path, std::string_view section,
                            std::string_view key, std::string_view value,
                            std::string* error = nullptr);

    // The value of `key` in `section`, or nothing when the file, section or key is missing.
    static std::optional<std::string> readString(const std::filesystem::path& path,
                                                 std::string_view section, std::string_view key);

    // The same two operations on text in memory.
    static std::string withValue(std::string_view content, std::string_view section,
                                 std::string_view key, std::string_view value);
    static std::optional<std::string> valueIn(std::string_view content, std::string_view section,
                                              std::string_view key);
};

} // namespace sonaveil
