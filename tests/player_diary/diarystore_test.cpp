#include "player/diary/diarystore.h"

#include "tempfolder.h"

#include <QBuffer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace sonaveil::player;

namespace {

QString path(const TempFolder& folder, const char* leaf)
{
    return QString::fromStdString((folder / leaf).string());
}

QDateTime at(int day, int hour, int minute = 0)
{
    return QDateTime(QDate(2026, 3, 1).addDays(day), QTime(hour, minute));
}

DiaryEntry morning(int day, int loudness, int bother, std::optional<int> sleep, QString note = {})
{
    DiaryEntry e;
    e.kind = DiaryEntry::Kind::Morning;
    e.at = at(day, 7, 30);
    e.loudness = loudness;
    e.bother = bother;
    e.sleep = sleep;
    e.note = note;
    return e;
}

NightRecord night(int day, QString mix, QStringList sounds)
{
    NightRecord n;
    n.started = at(day - 1, 23);
    n.ended = at(day, 7);
    n.mix = mix;
    n.sounds = sounds;
    return n;
}

} // namespace

TEST(DiaryStore, KeepsEntriesNightsAndMeasuresAcrossAReopen)
{
    TempFolder folder;
    const QString file = path(folder, "diary.sqlite");
    {
        DiaryStore store(file);
        ASSERT_TRUE(store.open());
        EXPECT_EQ(store.schemaVersion(), DiaryStore::kSchemaVersion);
        ASSERT_TRUE(store.addEntry(morning(1, 6, 4, 7, "woke at 3, \"loud\" ringing")));
        DiaryEntry evening;
        evening.kind = DiaryEntry::Kind::Evening;
        evening.at = at(1, 21);
        evening.loudness = 15; // out of range: kept within 0 … 10
        evening.bother = -2;
        ASSERT_TRUE(store.addEntry(evening));
        NightRecord n = night(1, "Rain night", {"Rain", "Brown noise"});
        n.notchHz = 5200;
        n.sleepTimerMinutes = 60;
        n.alarm = "07:00:00";
        ASSERT_TRUE(store.beginNight(n));
        MeasureRecord m;
        m.at = at(2, 19);
        m.kind = MeasureRecord::Kind::Threshold;
        m.ear = MeasureRecord::Ear::Right;
        m.hz = 4000;
        m.value = -47.5;
        MeasureRecord missing = m;
        missing.hz = 12000;
        missing.value.reset();
        ASSERT_TRUE(store.addMeasures({m, missing}));
    }
    DiaryStore store(file);
    ASSERT_TRUE(store.open());
    const auto entries = store.entries();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].note, "woke at 3, \"loud\" ringing");
    EXPECT_EQ(entries[0].at, at(1, 7, 30));
    EXPECT_EQ(*entries[0].sleep, 7);
    EXPECT_EQ(entries[1].kind, DiaryEntry::Kind::Evening);
    EXPECT_EQ(entries[1].loudness, 10);
    EXPECT_EQ(entries[1].bother, 0);
    EXPECT_FALSE(entries[1].sleep);
    EXPECT_EQ(store.entries(at(1, 12), {}).size(), 1) << "from noon on";

    const auto nights = store.nights();
    ASSERT_EQ(nights.size(), 1);
    EXPECT_EQ(nights[0].sounds, QStringList({"Rain", "Brown noise"}));
    EXPECT_EQ(*nights[0].notchHz, 5200);
    EXPECT_EQ(*nights[0].sleepTimerMinutes, 60);
    EXPECT_EQ(nights[0].alarm, "07:00:00");
    EXPECT_EQ(nights[0].started, at(0, 23));

    const auto measures = store.measures();
    ASSERT_EQ(measures.size(), 2);
    EXPECT_EQ(measures[0].ear, MeasureRecord::Ear::Right);
    EXPECT_EQ(*measures[0].value, -47.5);
    EXPECT_FALSE(measures[1].value) << "not heard up to the ceiling";
}

TEST(DiaryStore, OpensAFileOfThePreviousVersionAndBringsItUpToDate)
{
    TempFolder folder;
    const QString file = path(folder, "old.sqlite");
    {
        // A file as the first version wrote it: the night's sounds in one field.
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "old");
        db.setDatabaseName(file);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        for (const char* sql : {
                 "CREATE TABLE schema_version (version INTEGER NOT NULL)",
                 "CREATE TABLE entries (id INTEGER PRIMARY KEY, kind TEXT NOT NULL, at TEXT NOT NULL, loudness INTEGER NOT NULL,"
                 " bother INTEGER NOT NULL, sleep INTEGER, note TEXT NOT NULL DEFAULT '')",
                 "CREATE TABLE nights (id INTEGER PRIMARY KEY, started TEXT NOT NULL, ended TEXT NOT NULL, mix TEXT NOT NULL,"
                 " sounds TEXT NOT NULL DEFAULT '', notch_hz REAL, sleep_minutes INTEGER, alarm TEXT NOT NULL DEFAULT '')",
                 "INSERT INTO schema_version (version) VALUES (1)",
                 "INSERT INTO entries VALUES (1, 'morning', '2026-02-02T06:30:00Z', 5, 3, 8, 'fine')",
                 "INSERT INTO nights VALUES (4, '2026-02-01T22:00:00Z', '2026-02-02T06:00:00Z', 'Surf', 'Surf;Rain; Wind', 4000,"
                 " NULL, '')",
                 "INSERT INTO nights VALUES (5, '2026-02-02T22:00:00Z', '2026-02-03T06:00:00Z', 'Quiet', '', NULL, 30, '06:45:00')",
             })
            ASSERT_TRUE(q.exec(sql)) << sql;
        db.close();
    }
    QSqlDatabase::removeDatabase("old");

    DiaryStore store(file);
    QString error;
    ASSERT_TRUE(store.open(&error)) << error.toStdString();
    EXPECT_EQ(store.schemaVersion(), 2);
    ASSERT_EQ(store.entries().size(), 1);
    EXPECT_EQ(store.entries()[0].note, "fine");
    const auto nights = store.nights();
    ASSERT_EQ(nights.size(), 2);
    EXPECT_EQ(nights[0].sounds, QStringList({"Surf", "Rain", "Wind"}));
    EXPECT_TRUE(nights[1].sounds.isEmpty());
    EXPECT_EQ(*nights[1].sleepTimerMinutes, 30);
    EXPECT_EQ(nights[0].started, QDateTime(QDate(2026, 2, 1), QTime(22, 0), Qt::UTC).toLocalTime());
    // The new parts work on the old file, and the migration is not run twice.
    MeasureRecord m;
    m.at = at(0, 12);
    m.kind = MeasureRecord::Kind::Loudness;
    m.hz = 4000;
    m.value = -40;
    m.aboveThreshold = 8;
    ASSERT_TRUE(store.addMeasure(m));
    DiaryStore again(file);
    ASSERT_TRUE(again.open());
    EXPECT_EQ(again.nights()[0].sounds.size(), 3);
    EXPECT_EQ(again.measures().size(), 1);
}

TEST(DiaryStore, RefusesAFileFromANewerVersionAndLeavesItAlone)
{
    TempFolder folder;
    const QString file = path(folder, "new.sqlite");
    {
        DiaryStore store(file);
        ASSERT_TRUE(store.open());
        ASSERT_TRUE(store.addEntry(morning(1, 1, 1, 1)));
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "newer");
        db.setDatabaseName(file);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec("UPDATE schema_version SET version = 9");
        db.close();
    }
    QSqlDatabase::removeDatabase("newer");
    DiaryStore store(file);
    QString error;
    EXPECT_FALSE(store.open(&error));
    EXPECT_TRUE(error.contains("newer")) << error.toStdString();
    EXPECT_FALSE(store.addEntry(morning(2, 1, 1, 1)));
}

TEST(DiaryStore, WritesTheCsvFilesByteForByte)
{
    TempFolder folder;
    DiaryStore store(path(folder, "diary.sqlite"));
    ASSERT_TRUE(store.open());
    ASSERT_TRUE(store.addEntry(morning(1, 6, 4, 7, "line one\nline \"two\", end")));
    DiaryEntry evening;
    evening.kind = DiaryEntry::Kind::Evening;
    evening.at = at(1, 21, 5);
    evening.loudness = 3;
    evening.bother = 2;
    ASSERT_TRUE(store.addEntry(evening));
    NightRecord n = night(1, "Rain, heavy", {"Rain", "Surf"});
    n.notchHz = 5200.5;
    ASSERT_TRUE(store.beginNight(n));
    MeasureRecord m;
    m.at = at(2, 19);
    m.kind = MeasureRecord::Kind::Inhibition;
    m.hz = 4000;
    m.value = 42.5;
    m.detail = "partial";
    ASSERT_TRUE(store.addMeasure(m));

    const QString base = path(folder, "out.csv");
    ASSERT_TRUE(store.exportCsv(base));
    auto read = [&](const char* leaf) {
        QFile f(path(folder, leaf));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << leaf;
        return f.readAll();
    };
    EXPECT_EQ(read("out.csv"), QByteArray("date,kind,loudness,bother,sleep,note\r\n"
                                          "2026-03-02 07:30,morning,6,4,7,\"line one\nline \"\"two\"\", end\"\r\n"
                                          "2026-03-02 21:05,evening,3,2,,\r\n"));
    EXPECT_EQ(read("out-nights.csv"), QByteArray("from,to,mix,sounds,notch Hz,sleep timer min,alarm\r\n"
                                                 "2026-03-01 23:00,2026-03-02 07:00,\"Rain, heavy\",Rain; Surf,5200.5,,\r\n"));
    EXPECT_EQ(read("out-measures.csv"), QByteArray("date,measure,ear,Hz,value,above threshold dB,detail\r\n"
                                                   "2026-03-03 19:00,inhibition,both,4000,42.5,,partial\r\n"));

    // A folder that is not there: a clear failure, not a silent one.
    QString error;
    EXPECT_FALSE(store.exportCsv(path(folder, "missing/out.csv"), &error));
    EXPECT_TRUE(error.contains("missing")) << error.toStdString();
}

TEST(DiaryStore, WhatHelpsIsTheMeanMorningAfterEachMixAndSound)
{
    TempFolder folder;
    DiaryStore store(path(folder, "diary.sqlite"));
    ASSERT_TRUE(store.open());
    // Three nights with Rain (mix A twice, mix B once), one with Surf alone, one night without a
    // morning entry after it, and a morning with no night before it.
    ASSERT_TRUE(store.beginNight(night(1, "A", {"Rain", "Wind"})));
    ASSERT_TRUE(store.beginNight(night(2, "A", {"Rain"})));
    ASSERT_TRUE(store.beginNight(night(3, "B", {"Rain", "Surf", "Rain"})));
    ASSERT_TRUE(store.beginNight(night(4, "C", {"Surf"})));
    ASSERT_TRUE(store.beginNight(night(8, "A", {"Rain"})));
    ASSERT_TRUE(store.addEntry(morning(1, 6, 5, 4)));
    ASSERT_TRUE(store.addEntry(morning(2, 4, 3, std::nullopt)));
    ASSERT_TRUE(store.addEntry(morning(3, 5, 1, 8)));
    ASSERT_TRUE(store.addEntry(morning(4, 2, 2, 9)));
    ASSERT_TRUE(store.addEntry(morning(6, 9, 9, 1)));

    const auto figures = store.whatHelps();
    auto find = [&](const QString& name, bool sound) {
        for (const HelpFigure& f : figures)
            if (f.name == name && f.sound == sound)
                return f;
        ADD_FAILURE() << name.toStdString();
        return HelpFigure{};
    };
    ASSERT_EQ(figures.size(), 6);
    EXPECT_FALSE(figures[0].sound) << "mixes first";
    const HelpFigure a = find("A", false);
    EXPECT_EQ(a.nights, 2);
    EXPECT_DOUBLE_EQ(a.loudness, 5.0);
    EXPECT_DOUBLE_EQ(a.bother, 4.0);
    EXPECT_EQ(a.sleepNights, 1);
    EXPECT_DOUBLE_EQ(a.sleep, 4.0);
    const HelpFigure rain = find("Rain", true);
    EXPECT_EQ(rain.nights, 3) << "a sound twice in one night counts once";
    EXPECT_DOUBLE_EQ(rain.loudness, 5.0);
    EXPECT_DOUBLE_EQ(rain.bother, 3.0);
    EXPECT_DOUBLE_EQ(rain.sleep, 6.0);
    const HelpFigure surf = find("Surf", true);
    EXPECT_EQ(surf.nights, 2);
    EXPECT_DOUBLE_EQ(surf.loudness, 3.5);
    EXPECT_EQ(find("Wind", true).nights, 1);
    EXPECT_EQ(find("C", false).nights, 1);
}
