#include "player/mysounds/notchminutes.h"

#include "common/atomicfile.h"
#include "common/textrecord.h"

#include <cstdio>

namespace sonaveil::player {

using namespace std::chrono;

namespace {

std::optional<year_month_day> parseDay(const std::string& text)
{
    int y = 0;
    unsigned m = 0, d = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d-%2u-%2u%c", &y, &m, &d, &tail) != 3)
        return std::nullopt;
    const year_month_day day{year{y}, month{m}, std::chrono::day{d}};
    if (!day.ok())
        return std::nullopt;
    return day;
}

constexpr int kMostSecondsADay = 24 * 3600;

} // namespace

NotchMinutes::NotchMinutes(std::filesystem::path userFolder)
    : m_file(std::move(userFolder) / kFileName)
{
}

std::string NotchMinutes::dayText(year_month_day day)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", int(day.year()), unsigned(day.month()), unsigned(day.day()));
    return text;
}

void NotchMinutes::load()
{
    m_seconds.clear();
    m_unsaved = false;
    const auto content = readWholeFile(m_file);
    if (!content)
        return;
    TextRecordReader reader(*content);
    while (const auto fields = reader.take(2)) {
        const auto day = parseDay((*fields)[0]);
        const auto seconds = fieldToInt32((*fields)[1]);
        if (day && seconds && *seconds > 0)
            m_seconds[sys_days(*day)] = std::min(*seconds, kMostSecondsADay);
    }
}

bool NotchMinutes::save(std::string* why)
{
    if (!m_unsaved)
        return true;
    if (!m_seconds.empty()) {
        const sys_days newest = m_seconds.rbegin()->first;
        std::erase_if(m_seconds, [&](const auto& entry) { return entry.first < newest - days(kDaysKept); });
    }
    TextRecordWriter w;
    for (const auto& [day, seconds] : m_seconds)
        w.text(dayText(year_month_day(day))).integer(seconds).endLine();
    if (!writeFileAtomically(m_file, w.bytes(), why))
        return false;
    m_unsaved = false;
    return true;
}

void NotchMinutes::add(year_month_day day, int seconds)
{
    if (seconds <= 0 || !day.ok())
        return;
    int& held = m_seconds[sys_days(day)];
    held = std::min(held + seconds, kMostSecondsADay);
    m_unsaved = true;
}

int NotchMinutes::minutes(year_month_day day) const
{
    const auto found = m_seconds.find(sys_days(day));
    return found == m_seconds.end() ? 0 : found->second / 60;
}

std::vector<int> NotchMinutes::lastDays(year_month_day today) const
{
    std::vector<int> result;
    for (int back = kDaysShown - 1; back >= 0; --back)
        result.push_back(minutes(year_month_day(sys_days(today) - days(back))));
    return result;
}

} // namespace sonaveil::player
