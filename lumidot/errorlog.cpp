#include "lumidot/errorlog.h"

#include <ctime>
#include <cstdio>
#include <fstream>
#include <system_error>

#ifndef LUMIDOT_VERSION
#define LUMIDOT_VERSION "1.0.0"
#endif

namespace sonaveil::lumidot {

std::filesystem::path ErrorTempFolder()
{
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec || folder.empty())
        folder = "/tmp";
    return folder;
}

std::string libraryVersion()
{
    return LUMIDOT_VERSION;
}

namespace {

// "mm/dd/yyyy h:mm:ss AM/PM" in local time.
std::string timestamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    int hour = local.tm_hour % 12;
    if (hour == 0)
        hour = 12;
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %d:%02d:%02d %s", local.tm_mon + 1, local.tm_mday,
                  local.tm_year + 1900, hour, local.tm_min, local.tm_sec, local.tm_hour < 12 ? "AM" : "PM");
    return text;
}

} // namespace

void LogError(const LcdError& error, const std::string& location)
{
    if ((error.number & 16777216L) == 16777216L)
        return;
    std::string report;
    report += "Date/Time  : " + timestamp() + "\r\n";
    report += "Version    : " + libraryVersion() + "\r\n";
    report += std::string(20, '-') + "\r\n";
    report += "Location   : " + location + "\r\n";
    report += "Error      : " + std::to_string(error.number) + "\r\n";
    report += "Error Sourc: " + error.source + "\r\n";
    report += "Error Description: " + error.description + "\r\n";
    report += std::string(20, '=') + "\r\n";
    try {
        std::ofstream out(ErrorTempFolder() / "lcderror.log", std::ios::binary | std::ios::app);
        out.write(report.data(), std::streamsize(report.size()));
    } catch (...) {
        // The log is a courtesy; a display never fails because of it.
    }
}

} // namespace sonaveil::lumidot
