#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

// The bytes of a file; empty when it cannot be read.
std::string fileText(const std::filesystem::path& file);
// Polls `done` every 20 ms until it holds or `limit` has passed; its last answer.
bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit);
