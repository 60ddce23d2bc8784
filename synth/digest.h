#pragma once

// What the sample files we ship are: a digest of each, written when they are synthesised, so
// that a file the user has replaced is told from ours.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace sonaveil::synth {

// Beside the sample files, in the program folder.
inline constexpr const char* kDigestFile = "bin/sounds.digest";

// A 64-bit digest of the file's bytes (FNV-1a steps over 64-bit words in four interleaved
// lanes, so that it runs at the speed of reading); nothing when the file cannot be read.
std::optional<std::uint64_t> fileDigest(const std::string& path);

// Relative path (as "bin/7.isz") → digest. An unreadable or missing digest file gives an empty map;
// lines that do not parse are skipped.
std::map<std::string, std::uint64_t> readDigests(const std::string& digestFile);
// One line per file, "<relative path> <16 hex digits>", written through a temporary name.
// Returns "" or an error message.
std::string writeDigests(const std::string& digestFile, const std::map<std::string, std::uint64_t>& digests);

} // namespace sonaveil::synth
