#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

// The bytes of a file; empty when it cannot be read.
std::string fileText(const std::filesystem::path& file);
// Writes `bytes` to `file` in place of what it held; false when it cannot.
bool writeFileText(const std::filesystem::path& file, const std::string& bytes);
// How many files and folders `folder` holds (not counting what is in its folders).
int entriesIn(const std::filesystem::path& folder);
// Polls `done` every 20 ms until it holds or `limit` has passed; its last answer.
bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit);
