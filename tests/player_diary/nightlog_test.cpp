#include "player/diary/nightlog.h"

#include "tempfolder.h"

#include <gtest/gtest.h>

using namespace sonaveil::player;

namespace {

QDateTime at(int day, int hour, int minute = 0)
{
    return QDateTime(QDate(2026, 3, 1).addDays(day), QTime(hour, minute));
}

NightLog::Playing playing(QString mix, QStringList sounds)
{
    NightLog::Playing p;
    p.mix = mix;
    p.sounds = sounds;
    return p;
}

} // namespace

TEST(NightLog, KeepsNightsAndDropsWhatWasNotOne)
{
    EXPECT_TRUE(NightLog::isNight(at(0, 23), at(1, 6)));
    EXPECT_TRUE(NightLog::isNight(at(1, 0, 30), at(1, 2)));
    EXPECT_FALSE(NightLog::isNight(at(0, 23), at(0, 23, 50))) << "too short";
    EXPECT_FALSE(NightLog::isNight(at(0, 13), at(0, 18))) << "an afternoon";
    EXPECT_TRUE(NightLog::isNight(at(0, 4), at(0, 9)));

    TempFolder folder;
    DiaryStore store(QString::fromStdString((folder / "diary.sqlite").string()));
    ASSERT_TRUE(store.open());
    NightLog log(store);
    log.update(at(0, 15), playing("Afternoon", {"Rain"}));
    log.update(at(0, 17), std::nullopt);
    EXPECT_TRUE(store.nights().isEmpty()) << "an afternoon is not a night";

    auto p = playing("Rain night", {"Rain", "Wind"});
    p.sleepTimerMinutes = 90;
    log.update(at(0, 22, 45), p);
    log.update(at(0, 22, 50), p); // no change: the same night
    for (int minute = 0; minute < 60; ++minute)
        log.tick(at(0, 23, minute));
    ASSERT_EQ(store.nights().size(), 1);
    EXPECT_EQ(store.nights()[0].ended, at(0, 23, 55)) << "the end follows every five minutes";

    // Another mix at 01:00: the night so far is kept, another begins.
    log.update(at(1, 1), playing("Surf", {"Surf"}));
    log.finish(at(1, 6, 30));
    const auto nights = store.nights();
    ASSERT_EQ(nights.size(), 2);
    EXPECT_EQ(nights[0].mix, "Rain night");
    EXPECT_EQ(nights[0].ended, at(1, 1));
    EXPECT_EQ(*nights[0].sleepTimerMinutes, 90);
    EXPECT_EQ(nights[1].sounds, QStringList({"Surf"}));
    EXPECT_EQ(nights[1].ended, at(1, 6, 30));

    // A crash after ten minutes of evening leaves a record; the next start takes it out.
    NightLog crashed(store);
    crashed.update(at(2, 20), playing("Evening", {"Rain"}));
    EXPECT_EQ(store.nights().size(), 3);
    NightLog next(store);
    next.tidy();
    EXPECT_EQ(store.nights().size(), 2);
}
