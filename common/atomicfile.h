#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace sonaveil {

// The most a preset or state file may hold; anything larger is not one of ours.
constexpr std::size_t kMaxStateFileBytes = std::size_t(1) << 20;

// The longest file name writeFileAtomically can write: a name takes at most 255 bytes, and its
// temporary name is 13 bytes longer (".name.part-Ab12Cd").
constexpr std::size_t kMaxAtomicFileName = 255 - 13;

// Replaces `target` with `bytes` so that a reader sees either the old file or the new one, never
// a half-written one: the bytes go to a temporary file beside the target, are flushed to the disk,
// the temporary file is renamed over the target and the folder is flushed so that the rename
// survives a power cut. On failure the target is untouched, the temporary file removed, and
// `error` (when given) says why.
bool writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         std::string* error = nullptr);

// The whole content of a regular file of at most `maxBytes`, or nothing when it is missing, is
// not a regular file (a folder, a FIFO, a device), is larger, or cannot be read; `error` (when
// given) says which. Never blocks on a FIFO and never reads more than `maxBytes` + 1 bytes.
std::optional<std::string> readWholeFile(const std::filesystem::path& path,
                                         std::size_t maxBytes = kMaxStateFileBytes,
                                         std::string* error = nullptr);

// Writes all of `bytes` to `fd`, again after an interruption; false on an error (a full disk).
bool writeAll(int fd, std::string_view bytes);

// Whether `name` is a temporary file of writeFileAtomically.
bool isWriteTemporaryName(std::string_view name);
// Removes the temporary files that writes interrupted by a crash or a power cut left in
// `folder` (not in its subfolders). Returns how many were removed.
int removeStaleTemporaries(const std::filesystem::path& folder);

// Whether a file can be created, written and flushed in `folder`; `error` (when given) says why
// not (read-only, full, no permission, missing).
bool folderIsWritable(const std::filesystem::path& folder, std::string* error = nullptr);

} // namespace sonaveil
