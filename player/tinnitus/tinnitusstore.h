#pragma once

#include "player/tinnitus/tinnitussettings.h"

#include <filesystem>
#include <string>

namespace sonaveil::player {

// The one owner of "tinnitus.ini": read once at start-up, then changed a section at a time.
// What it holds is what the file would give when read again (the frequency in whole hertz).
class TinnitusStore {
public:
    explicit TinnitusStore(const std::filesystem::path& programFolder);

    const std::filesystem::path& file() const { return m_file; }
    const TinnitusSettings& settings() const { return m_settings; }
    // Reads the file (a missing or damaged one gives the defaults).
    void load();

    // Each writes its own section; false with `error` when the file could not be written.
    // A match that cannot be kept is not taken; the notch and the alarm fade are taken all the
    // same, so that the program follows the user's choice for this session.
    bool setMatch(double frequencyHz, MatchKind kind, std::string* error = nullptr);
    bool setNotchEnabled(bool on, std::string* error = nullptr);
    bool setAlarmFadeMinutes(int minutes, std::string* error = nullptr);

private:
    std::filesystem::path m_file;
    TinnitusSettings m_settings;
};

} // namespace sonaveil::player
