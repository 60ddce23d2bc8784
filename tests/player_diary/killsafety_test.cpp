#include "player/diary/diarystore.h"

#include "tempfolder.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>

#include <gtest/gtest.h>

using namespace sonaveil::player;

// The writer is killed (SIGKILL) at a random moment of its writes, thirty times over one file:
// every time, the file opens and holds every entry and night whose write had returned.
TEST(DiaryKill, EveryCommittedWriteSurvivesAKillAtAnyMoment)
{
    TempFolder folder;
    const QString file = QString::fromStdString((folder / "diary.sqlite").string());
    QSet<qint64> entries, nights;
    QRandomGenerator random(31);
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE(round);
        QProcess writer;
        writer.start(DIARY_WRITER, {file});
        ASSERT_TRUE(writer.waitForStarted(10000));
        // Let it write between a few and a few hundred lines, then kill it mid-stream.
        const int lines = 2 + int(random.bounded(300));
        int seen = 0;
        QByteArray pending;
        QDeadlineTimer deadline(60000);
        while (seen < lines && !deadline.hasExpired() && writer.state() == QProcess::Running) {
            writer.waitForReadyRead(1000);
            pending += writer.readAllStandardOutput();
            int nl;
            while ((nl = pending.indexOf('\n')) >= 0) {
                const QByteArray line = pending.left(nl);
                pending.remove(0, nl + 1);
                ++seen;
                if (line.startsWith("entry "))
                    entries.insert(line.mid(6).toLongLong());
                else if (line.startsWith("night "))
                    nights.insert(line.mid(6).toLongLong());
            }
        }
        ASSERT_GE(seen, lines) << writer.readAllStandardError().constData();
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(10000));
        // What came after the last line read was committed too, or not: either is fine.

        DiaryStore store(file);
        QString error;
        ASSERT_TRUE(store.open(&error)) << error.toStdString();
        EXPECT_EQ(store.schemaVersion(), DiaryStore::kSchemaVersion);
        QSet<qint64> storedEntries, storedNights;
        for (const DiaryEntry& e : store.entries()) {
            storedEntries.insert(e.id);
            EXPECT_TRUE(e.note.startsWith("note ")) << "a whole entry or none";
        }
        for (const NightRecord& n : store.nights()) {
            storedNights.insert(n.id);
            EXPECT_EQ(n.sounds.size(), 3) << "a night and its sounds go in together";
        }
        for (qint64 id : entries)
            ASSERT_TRUE(storedEntries.contains(id)) << "entry " << id << " was committed and is lost";
        for (qint64 id : nights)
            ASSERT_TRUE(storedNights.contains(id)) << "night " << id << " was committed and is lost";
    }
    EXPECT_GT(entries.size(), 30);
}
