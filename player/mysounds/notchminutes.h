#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace sonaveil::player {

// The minutes of listening through the band-stop, day by day, kept in the data folder: that
// sound therapy is dosed in hours a day, so the tinnitus tools show today's and the days before.
class NotchMinutes {
public:
    static constexpr const char* kFileName = "notch-minutes.txt";
    // Today and the fourteen days before.
    static constexpr int kDaysShown = 15;
    // Days older than this are dropped from the file.
    static constexpr int kDaysKept = 90;

    explicit NotchMinutes(std::filesystem::path userFolder);

    // Reads the file; a missing or damaged one counts nothing (damaged lines are skipped).
    void load();
    // Writes the file atomically, when anything was counted since the last write.
    bool save(std::string* why = nullptr);

    // Counts `seconds` of notched listening on `day`.
    void add(std::chrono::year_month_day day, int seconds);
    // Whole minutes counted on `day`.
    int minutes(std::chrono::year_month_day day) const;
    // The minutes of the kDaysShown days ending with `today`, the oldest first.
    std::vector<int> lastDays(std::chrono::year_month_day today) const;

    bool unsaved() const { return m_unsaved; }
    std::filesystem::path file() const { return m_file; }

    static std::string dayText(std::chrono::year_month_day day);

private:
    std::filesystem::path m_file;
    std::map<std::chrono::sys_days, int> m_seconds;
    bool m_unsaved = false;
};

} // namespace sonaveil::player
