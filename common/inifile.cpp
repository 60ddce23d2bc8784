#include "common/inifile.h"

#include "common/atomicfile.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace sonaveil {
namespace {

struct Line {
    std::string text;   // without its line end
    std::string ending; // "\r\n", "\n", "\r" or "" for a last line without one
};

std::vector<Line> splitLines(std::string_view content)
{
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < content.size()) {
        const std::size_t end = content.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.push_back({std::string(content.substr(pos)), ""});
            break;
        }
        std::size_t next = end + 1;
        if (content[end] == '\r' && next < content.size() && content[next] == '\n')
            ++next;
        lines.push_back({std::string(content.substr(pos, end - pos)),
                         std::string(content.substr(end, next - end))});
        pos = next;
    }
    return lines;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x))
                   == std::tolower(static_cast<unsigned char>(y));
           });
}

// The section name of a "[name]" line.
std::optional<std::string_view> sectionOf(std::string_view line)
{
    line = trimmed(line);
    if (line.size() < 2 || line.front() != '[')
        return std::nullopt;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trimmed(line.substr(1, close - 1));
}

std::optional<std::string_view> keyOf(std::string_view line)
{
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return trimmed(line.substr(0, eq));
}

} // namespace

std::optional<std::string> IniFile::valueIn(std::string_view content, std::string_view section,
                                            std::string_view key)
{
    bool inSection = false;
    for (const Line& line : splitLines(content)) {
        if (auto name = sectionOf(line.text)) {
            inSection = sameName(*name, section);
            continue;
        }
        if (!inSection)
            continue;
        if (auto k = keyOf(line.text); k && sameName(*k, key))
            return std::string(trimmed(std::string_view(line.text).substr(line.text.find('=') + 1)));
    }
    return std::nullopt;
}

std::string IniFile::withValue(std::string_view content, std::string_view section,
                               std::string_view key, std::string_view value)
{
    std::vector<Line> lines = splitLines(content);
    const std::string entry = std::string(key) + "=" + std::string(value);

    int sectionStart = -1;
    int lastInSection = -1; // last non-blank line of the section
    for (int i = 0; i < int(lines.size()); ++i) {
        if (auto name = sectionOf(lines[i].text)) {
            if (sectionStart >= 0)
                break;
            if (sameName(*name, section)) {
                sectionStart = i;
                lastInSection = i;
            }
            continue;
        }
        if (sectionStart < 0)
            continue;
        if (auto k = keyOf(lines[i].text); k && sameName(*k, key)) {
            lines[i].text = entry;
            sectionStart = -2; // done
            break;
        }
        if (!trimmed(lines[i].text).empty())
            lastInSection = i;
    }

    if (sectionStart == -1) {
        if (!lines.empty() && lines.back().ending.empty())
            lines.back().ending = "\r\n";
        lines.push_back({"[" + std::string(section) + "]", "\r\n"});
        lines.push_back({entry, "\r\n"});
    } else if (sectionStart >= 0) {
        Line& after = lines[std::size_t(lastInSection)];
        if (after.ending.empty())
            after.ending = "\r\n";
        lines.insert(lines.begin() + lastInSection + 1, Line{entry, "\r\n"});
    }

    std::string out;
    for (const Line& line : lines)
        out += line.text + line.ending;
    return out;
}

bool IniFile::writeString(const std::filesystem::path& path, std::string_view section,
                          std::string_view key, std::string_view value, std::string* error)
{
    std::string why;
    const auto old = readWholeFile(path, kMaxStateFileBytes, &why);
    std::error_code ec;
    if (!old && std::filesystem::exists(path, ec)) {
        // A file that is there but cannot be read is not replaced: its other keys would be lost.
        if (error)
            *error = "cannot read " + path.string() + ": " + why;
        return false;
    }
    const std::string content = old.value_or(std::string());
    return writeFileAtomically(path, withValue(content, section, key, value), error);
}

std::optional<std::string> IniFile::readString(const std::filesystem::path& path,
                                               std::string_view section, std::string_view key)
{
    const auto content = readWholeFile(path);
    if (!content)
        return std::nullopt;
    return valueIn(*content, section, key);
}

} // namespace sonaveil
