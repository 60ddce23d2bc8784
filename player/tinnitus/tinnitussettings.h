#pragma once

#include <filesystem>
#include <string>

namespace sonaveil::player {

// What the matched sound was: a pure tone or a narrow band of noise.
enum class MatchKind { Tone, Band };

// "tinnitus.ini" in the program folder: the matched pitch ([Match] Frequency in Hz, Kind "tone"
// or "band") and the band-stop ([Notch] Enabled 1 or 0, Width in octaves). Written key by key
// with the INI writer, so that other lines of the file stay as they are.
struct TinnitusSettings {
    static constexpr const char* kFileName = "tinnitus.ini";
    static constexpr double kLowestHz = 250.0;
    static constexpr double kHighestHz = 16000.0;
    static constexpr double kDefaultHz = 4000.0;
    static constexpr double kDefaultWidth = 1.0;
    static constexpr double kMinWidth = 0.25;
    static constexpr double kMaxWidth = 2.0;

    double frequencyHz = kDefaultHz;
    MatchKind kind = MatchKind::Tone;
    bool notchEnabled = false;
    double notchWidth = kDefaultWidth;

    // Reads the file; a missing file, section or key, or a value that cannot be read, leaves
    // that value's default. A frequency or width outside its range is brought into it.
    static TinnitusSettings read(const std::filesystem::path& file);
    // Writes [Match] (Frequency, Kind) or [Notch] (Enabled, Width). False, with `error`, when
    // the file cannot be written.
    bool writeMatch(const std::filesystem::path& file, std::string* error = nullptr) const;
    bool writeNotch(const std::filesystem::path& file, std::string* error = nullptr) const;

    // "4000", "257": whole hertz.
    static std::string frequencyText(double hz);
    // "1.0", "0.5", "1.25": at least one decimal, at most two.
    static std::string widthText(double octaves);
    // "tone" or "band".
    static const char* kindText(MatchKind kind);
    // Short form for the status display: "250", "4.0k", "12.7k".
    static std::string shortFrequency(double hz);
    // Line 3 of the status display with the band-stop added when it is on: "EQL:Flat" becomes
    // "EQL:Flat N4.0k"; a long preset name is shortened so that the mark fits `columns`.
    std::string equaliserLine(const std::string& line, std::size_t columns = 25) const;

    // [Sleep] AlarmFade: the alarm window's "Fade out over" choice in minutes (0, 5, 15, 30).
    static constexpr int kAlarmFadeChoices[4] = {0, 5, 15, 30};
    int alarmFadeMinutes = 0;
    bool writeAlarmFade(const std::filesystem::path& file, std::string* error = nullptr) const;
};

} // namespace sonaveil::player
