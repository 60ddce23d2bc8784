// Writes diary entries and nights as fast as it can, printing each id once its write has
// returned, until it is killed.
#include "player/diary/diarystore.h"

#include <QCoreApplication>

#include <cstdio>

using namespace sonaveil::player;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    DiaryStore store(QString::fromLocal8Bit(argv[1]));
    QString error;
    if (!store.open(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("open\n");
    std::fflush(stdout);
    for (int i = 0;; ++i) {
        DiaryEntry e;
        e.at = QDateTime::currentDateTime();
        e.loudness = i % 11;
        e.bother = (i * 7) % 11;
        e.sleep = i % 2 ? std::optional<int>(i % 11) : std::nullopt;
        e.note = QString("note %1 ").arg(i).repeated(1 + i % 40);
        const auto id = store.addEntry(e);
        if (!id)
            return 1;
        std::printf("entry %lld\n", static_cast<long long>(*id));
        NightRecord n;
        n.started = e.at.addSecs(-8 * 3600);
        n.ended = e.at;
        n.mix = QString("mix %1").arg(i % 5);
        n.sounds = {"Rain", "Surf", QString("sound %1").arg(i)};
        const auto night = store.beginNight(n);
        if (!night)
            return 1;
        std::printf("night %lld\n", static_cast<long long>(*night));
        std::fflush(stdout);
    }
}
