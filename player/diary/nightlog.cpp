#include "player/diary/nightlog.h"

namespace sonaveil::player {

bool NightLog::isNight(const QDateTime& from, const QDateTime& to)
{
    if (!from.isValid() || !to.isValid() || from.secsTo(to) < kMinMinutes * 60)
        return false;
    // Into the small hours of the day it starts on, or of the next.
    for (int day = 0; day <= 1; ++day) {
        const QDate date = from.date().addDays(day);
        const QDateTime small(date, QTime(0, 0)), late(date, QTime(5, 0));
        if (from < late && to > small)
            return true;
    }
    return false;
}

void NightLog::update(const QDateTime& now, const std::optional<Playing>& playing)
{
    if (playing == m_playing && (m_id || !playing))
        return;
    end(now);
    m_playing = playing;
    if (!playing)
        return;
    NightRecord n;
    n.started = now;
    n.ended = now;
    n.mix = playing->mix;
    n.sounds = playing->sounds;
    n.notchHz = playing->notchHz;
    n.sleepTimerMinutes = playing->sleepTimerMinutes;
    n.alarm = playing->alarm;
    m_id = m_store.beginNight(n);
    m_started = m_touched = now;
}

void NightLog::tick(const QDateTime& now)
{
    if (m_id && m_touched.secsTo(now) >= kTouchSecs && m_store.touchNight(*m_id, now))
        m_touched = now;
}

void NightLog::end(const QDateTime& now)
{
    if (!m_id)
        return;
    if (isNight(m_started, now))
        m_store.touchNight(*m_id, now);
    else
        m_store.removeNight(*m_id);
    m_id.reset();
}

void NightLog::tidy()
{
    for (const NightRecord& n : m_store.nights())
        if (!isNight(n.started, n.ended) && n.id != m_id.value_or(-1))
            m_store.removeNight(n.id);
}

} // namespace sonaveil::player
