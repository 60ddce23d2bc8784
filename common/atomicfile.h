#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace sonaveil {

// Replaces `target` with `bytes` so that a reader sees either the old file or the new one, never
// a half-written one: the bytes go to a temporary file beside the target, are flushed to the disk,
// and the temporary file is renamed over the target. On failure the target is untouched, the
// temporary file removed, and `error` (when given) says why.
bool writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         std::string* error = nullptr);

// The whole content of a file, or nothing when it cannot be read.
std::optional<std::string> readWholeFile(const std::filesystem::path& path);

} // namespace sonaveil
