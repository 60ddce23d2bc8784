#pragma once

#include "lumidot/export.h"

#include <filesystem>
#include <string>

namespace sonaveil::lumidot {

// An error as the display reports it in its log.
struct LcdError {
    long number = 0;
    std::string source;
    std::string description;
};

// The user's temporary folder, where "lcderror.log" lives.
LUMIDOT_EXPORT std::filesystem::path ErrorTempFolder();

// The library's version as "major.minor.revision".
LUMIDOT_EXPORT std::string libraryVersion();

// Appends a report of `error` at `location` to "lcderror.log" in the temporary folder, unless the
// error number has bit 24 set. Never throws: a log that cannot be written is given up silently.
LUMIDOT_EXPORT void LogError(const LcdError& error, const std::string& location);

} // namespace sonaveil::lumidot
