#pragma once

#include "player/diary/diarystore.h"

#include <optional>

namespace sonaveil::player {

// Keeps the nights in the diary by itself: each stretch of one mix playing becomes a night
// record, its end kept current while it plays; a stretch that was not a night (shorter than
// kMinMinutes, or not reaching into 00:00 … 05:00) is taken out again when it ends.
class NightLog {
public:
    static constexpr int kMinMinutes = 60;
    // How often the end of a running night is written.
    static constexpr int kTouchSecs = 300;

    struct Playing {
        QString mix;
        QStringList sounds;
        std::optional<double> notchHz;
        std::optional<int> sleepTimerMinutes;
        QString alarm;
        bool operator==(const Playing&) const = default;
    };

    explicit NightLog(DiaryStore& store) : m_store(store) {}

    // What plays now (nothing: silence). A change ends the night so far and starts another.
    void update(const QDateTime& now, const std::optional<Playing>& playing);
    // Often while playing (every minute): writes the end every kTouchSecs.
    void tick(const QDateTime& now);
    // The player closes: the night ends here.
    void finish(const QDateTime& now) { update(now, std::nullopt); }
    // At start-up: takes out what a crash left that was not a night.
    void tidy();

    std::optional<qint64> current() const { return m_id; }
    static bool isNight(const QDateTime& from, const QDateTime& to);

private:
    void end(const QDateTime& now);

    DiaryStore& m_store;
    std::optional<qint64> m_id;
    std::optional<Playing> m_playing;
    QDateTime m_started, m_touched;
};

} // namespace sonaveil::player
