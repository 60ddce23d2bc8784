#include "player/diary/diaryreminder.h"

#include "tempfolder.h"

#include <gtest/gtest.h>

using namespace sonaveil::player;

TEST(DiaryReminder, OffersTodaysMissingEntryAtStartAndAtThePickedTime)
{
    TempFolder folder;
    DiaryStore store(QString::fromStdString((folder / "diary.sqlite").string()));
    ASSERT_TRUE(store.open());
    DiaryReminder reminder(store);
    const QDate day(2026, 5, 4);
    const QDateTime morning(day, QTime(7, 30)), afternoon(day, QTime(14, 0)), evening(day, QTime(21, 15));
    EXPECT_EQ(DiaryReminder::kindAt(morning), DiaryEntry::Kind::Morning);
    EXPECT_EQ(DiaryReminder::kindAt(QDateTime(day, QTime(13, 59))), DiaryEntry::Kind::Morning);
    EXPECT_EQ(DiaryReminder::kindAt(afternoon), DiaryEntry::Kind::Evening);

    EXPECT_FALSE(reminder.dueAtStart(morning)) << "off until asked for";
    EXPECT_FALSE(reminder.next(morning));
    reminder.setAtStart(true);
    reminder.setTime(QTime(20, 30));
    EXPECT_TRUE(reminder.dueAtStart(morning));
    EXPECT_EQ(*reminder.next(morning), QDateTime(day, QTime(20, 30)));
    EXPECT_EQ(*reminder.next(evening), QDateTime(day.addDays(1), QTime(20, 30))) << "past today's time: tomorrow's";

    DiaryEntry e;
    e.kind = DiaryEntry::Kind::Morning;
    e.at = QDateTime(day, QTime(6, 50));
    ASSERT_TRUE(store.addEntry(e));
    EXPECT_FALSE(reminder.dueAtStart(morning)) << "this morning's entry is written";
    EXPECT_TRUE(reminder.dueAtStart(evening)) << "the evening's is not";
    e.at = QDateTime(day.addDays(-1), QTime(21, 0));
    e.kind = DiaryEntry::Kind::Evening;
    ASSERT_TRUE(store.addEntry(e));
    EXPECT_TRUE(reminder.dueAtStart(evening)) << "yesterday's evening does not count for today";

    // The choices are kept in the diary's file.
    DiaryStore again(store.file());
    ASSERT_TRUE(again.open());
    DiaryReminder reread(again);
    EXPECT_TRUE(reread.atStart());
    EXPECT_EQ(*reread.time(), QTime(20, 30));
    reread.setTime(std::nullopt);
    EXPECT_FALSE(reread.time());
}
