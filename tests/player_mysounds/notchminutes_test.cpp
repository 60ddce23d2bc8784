// The minutes of notched listening, day by day.
#include "player/mysounds/notchminutes.h"

#include "tempfolder.h"

#include <fstream>
#include <numeric>
#include <gtest/gtest.h>

using namespace sonaveil::player;
using namespace std::chrono;

TEST(NotchMinutes, CountsPerDayShowsTheLastFifteenDaysAndSurvivesARestart)
{
    TempFolder folder;
    const year_month_day today{year{2026}, month{3}, day{1}};
    const year_month_day yesterday{year{2026}, month{2}, day{28}};
    {
        NotchMinutes minutes(folder.path());
        minutes.load();
        minutes.add(today, 90);
        minutes.add(today, 45);
        minutes.add(yesterday, 3600);
        minutes.add(year_month_day{year{2026}, month{2}, day{1}}, 600); // too old to show
        EXPECT_EQ(minutes.minutes(today), 2); // 135 s
        ASSERT_TRUE(minutes.save());
        EXPECT_FALSE(minutes.unsaved());
    }
    NotchMinutes again(folder.path());
    again.load();
    const auto days = again.lastDays(today);
    ASSERT_EQ(days.size(), std::size_t(NotchMinutes::kDaysShown));
    EXPECT_EQ(days.back(), 2);
    EXPECT_EQ(days[days.size() - 2], 60);
    EXPECT_EQ(std::accumulate(days.begin(), days.end(), 0), 62);
    EXPECT_EQ(NotchMinutes::dayText(yesterday), "2026-02-28");
    // A day holds no more than a day.
    again.add(today, 100000);
    EXPECT_EQ(again.minutes(today), 24 * 60);
}

TEST(NotchMinutes, ADamagedFileLosesOnlyItsBadLines)
{
    TempFolder folder;
    std::ofstream(folder / NotchMinutes::kFileName, std::ios::binary)
        << "\"2026-03-01\",600\r\n\"2026-13-01\",60\r\n\"yesterday\",60\r\n\"2026-02-27\",-5\r\n\"2026-02-26\",120\r\n";
    NotchMinutes minutes(folder.path());
    minutes.load();
    EXPECT_EQ(minutes.minutes(year_month_day{year{2026}, month{3}, day{1}}), 10);
    EXPECT_EQ(minutes.minutes(year_month_day{year{2026}, month{2}, day{26}}), 2);
    EXPECT_EQ(minutes.minutes(year_month_day{year{2026}, month{2}, day{27}}), 0);
}
