#include "player/diary/diaryreminder.h"

namespace sonaveil::player {

bool DiaryReminder::atStart() const
{
    return m_store.setting(kAtStartKey, "0") == "1";
}

void DiaryReminder::setAtStart(bool on)
{
    m_store.setSetting(kAtStartKey, on ? "1" : "0");
}

std::optional<QTime> DiaryReminder::time() const
{
    const QTime t = QTime::fromString(m_store.setting(kTimeKey), "HH:mm");
    return t.isValid() ? std::optional<QTime>(t) : std::nullopt;
}

void DiaryReminder::setTime(std::optional<QTime> time)
{
    m_store.setSetting(kTimeKey, time ? time->toString("HH:mm") : QString());
}

DiaryEntry::Kind DiaryReminder::kindAt(const QDateTime& now)
{
    return now.time().hour() < kEveningFrom ? DiaryEntry::Kind::Morning : DiaryEntry::Kind::Evening;
}

bool DiaryReminder::written(const QDateTime& now) const
{
    const QDateTime dayStart(now.date(), QTime(0, 0));
    const QDateTime dayEnd(now.date(), QTime(23, 59, 59, 999));
    const DiaryEntry::Kind kind = kindAt(now);
    for (const DiaryEntry& e : m_store.entries(dayStart, dayEnd))
        if (e.kind == kind)
            return true;
    return false;
}

bool DiaryReminder::dueAtStart(const QDateTime& now) const
{
    return atStart() && !written(now);
}

std::optional<QDateTime> DiaryReminder::next(const QDateTime& now) const
{
    const auto t = time();
    if (!t)
        return std::nullopt;
    QDateTime at(now.date(), *t);
    if (at <= now)
        at = at.addDays(1);
    return at;
}

} // namespace sonaveil::player
