#include "player/tinnitus/tinnitussettings.h"

#include "common/inifile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

namespace sonaveil::player {

namespace {

constexpr const char* kMatch = "Match";
constexpr const char* kNotch = "Notch";

std::string trimmed(std::string s)
{
    const auto first = s.find_first_not_of(" \t");
    const auto last = s.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
}

std::optional<double> number(const std::optional<std::string>& text)
{
    if (!text)
        return std::nullopt;
    const std::string t = trimmed(*text);
    double v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::string lower(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

TinnitusSettings TinnitusSettings::read(const std::filesystem::path& file)
{
    TinnitusSettings s;
    if (const auto hz = number(IniFile::readString(file, kMatch, "Frequency")); hz && *hz > 0)
        s.frequencyHz = std::clamp(*hz, kLowestHz, kHighestHz);
    if (const auto kind = IniFile::readString(file, kMatch, "Kind")) {
        const std::string k = lower(trimmed(*kind));
        if (k == "band")
            s.kind = MatchKind::Band;
        else if (k == "tone")
            s.kind = MatchKind::Tone;
    }
    if (const auto on = number(IniFile::readString(file, kNotch, "Enabled")))
        s.notchEnabled = *on != 0;
    if (const auto width = number(IniFile::readString(file, kNotch, "Width")); width && *width > 0)
        s.notchWidth = std::clamp(*width, kMinWidth, kMaxWidth);
    if (const auto fade = number(IniFile::readString(file, "Sleep", "AlarmFade"))) {
        for (int choice : kAlarmFadeChoices)
            if (*fade == choice)
                s.alarmFadeMinutes = choice;
    }
    return s;
}

bool TinnitusSettings::writeMatch(const std::filesystem::path& file, std::string* error) const
{
    return IniFile::writeString(file, kMatch, "Frequency", frequencyText(frequencyHz), error)
        && IniFile::writeString(file, kMatch, "Kind", kindText(kind), error);
}

bool TinnitusSettings::writeNotch(const std::filesystem::path& file, std::string* error) const
{
    return IniFile::writeString(file, kNotch, "Enabled", notchEnabled ? "1" : "0", error)
        && IniFile::writeString(file, kNotch, "Width", widthText(notchWidth), error);
}

bool TinnitusSettings::writeAlarmFade(const std::filesystem::path& file, std::string* error) const
{
    return IniFile::writeString(file, "Sleep", "AlarmFade", std::to_string(alarmFadeMinutes), error);
}

std::string TinnitusSettings::equaliserLine(const std::string& line, std::size_t columns) const
{
    if (!notchEnabled)
        return line;
    const std::string mark = " N" + shortFrequency(frequencyHz);
    std::string text = line;
    if (text.size() + mark.size() > columns && columns > mark.size())
        text.resize(columns - mark.size());
    return text + mark;
}

std::string TinnitusSettings::frequencyText(double hz)
{
    return std::to_string(std::llround(hz));
}

std::string TinnitusSettings::widthText(double octaves)
{
    char text[32];
    const double hundredths = std::round(octaves * 100.0);
    if (std::fmod(hundredths, 10.0) == 0.0)
        std::snprintf(text, sizeof text, "%.1f", hundredths / 100.0);
    else
        std::snprintf(text, sizeof text, "%.2f", hundredths / 100.0);
    return text;
}

const char* TinnitusSettings::kindText(MatchKind kind)
{
    return kind == MatchKind::Band ? "band" : "tone";
}

std::string TinnitusSettings::shortFrequency(double hz)
{
    char text[32];
    if (std::llround(hz) < 1000)
        std::snprintf(text, sizeof text, "%lld", std::llround(hz));
    else
        std::snprintf(text, sizeof text, "%.1fk", std::round(hz / 100.0) / 10.0);
    return text;
}

} // namespace sonaveil::player
