#pragma once

#include "player/diary/diarystore.h"

#include <QTime>

#include <optional>

namespace sonaveil::player {

// When the diary is offered: when the player starts, and at a time of day the user picks;
// either time only while today's entry of that part of the day is still missing. Mornings run
// to kEveningFrom.
class DiaryReminder {
public:
    static constexpr int kEveningFrom = 14;
    static constexpr const char* kAtStartKey = "remind/at-start";
    static constexpr const char* kTimeKey = "remind/time";

    explicit DiaryReminder(DiaryStore& store) : m_store(store) {}

    bool atStart() const;
    void setAtStart(bool on);
    // The time of day picked, if any.
    std::optional<QTime> time() const;
    void setTime(std::optional<QTime> time);

    static DiaryEntry::Kind kindAt(const QDateTime& now);
    // Whether today's entry for the part of the day at `now` is written.
    bool written(const QDateTime& now) const;
    // At start-up: offer it now?
    bool dueAtStart(const QDateTime& now) const;
    // The next moment after `now` at which to offer it, when a time is picked.
    std::optional<QDateTime> next(const QDateTime& now) const;

private:
    DiaryStore& m_store;
};

} // namespace sonaveil::player
