#include "player/tinnitus/night.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace sonaveil::player {

namespace {

std::tm localTm(std::int64_t ms)
{
    const std::time_t seconds = std::time_t(ms / 1000 - (ms % 1000 < 0 ? 1 : 0));
    std::tm tm{};
    localtime_r(&seconds, &tm);
    return tm;
}

} // namespace

NightClock NightClock::system()
{
    NightClock c;
    c.now = [] {
        using namespace std::chrono;
        return std::int64_t(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
    };
    c.timeOfDay = [](std::int64_t ms) {
        const std::tm tm = localTm(ms);
        return ClockTime{tm.tm_hour, tm.tm_min, tm.tm_sec};
    };
    c.dayAt = [](std::int64_t ms, const ClockTime& time, int days) {
        std::tm tm = localTm(ms);
        tm.tm_mday += days;
        tm.tm_hour = time.hour;
        tm.tm_min = time.minute;
        tm.tm_sec = time.second;
        tm.tm_isdst = -1; // the calendar decides, across a change of summer time too
        return std::int64_t(std::mktime(&tm)) * 1000;
    };
    return c;
}

Night::Night(NightClock clock)
    : m_clock(std::move(clock))
{
}

void Night::sleepIn(int minutes)
{
    const std::int64_t now = m_clock.now();
    m_sleep.start(now, minutes);
    m_sleepChoice = minutes;
    update(now);
    notify();
}

void Night::cancelSleep()
{
    const std::int64_t now = m_clock.now();
    m_sleep.cancel(now);
    update(now);
    notify();
}

void Night::setAlarmFadeMinutes(int minutes)
{
    m_alarmFadeMinutes = minutes;
    followAlarm(m_clock.now(), m_alarmEndsTheNight, m_alarmTime);
}

void Night::followAlarm(std::int64_t nowMs, bool endsTheNight, const std::string& alarmTime)
{
    m_alarmEndsTheNight = endsTheNight;
    m_alarmTime = alarmTime;
    if (m_alarmFadeMinutes <= 0 || !endsTheNight) {
        if (m_alarmFadeEnd) {
            m_alarmFadeEnd.reset();
            update(nowMs);
        }
        return;
    }
    if (m_alarmFadeEnd && nowMs >= *m_alarmFadeEnd && nowMs < *m_alarmFadeEnd + kAlarmHoldMs)
        return;
    const auto at = parseTime(alarmTime);
    if (!at)
        return;
    // Today's alarm time, or tomorrow's once today's second has gone.
    std::int64_t moment = m_clock.dayAt(nowMs, *at, 0);
    if (moment + 1000 <= nowMs)
        moment = m_clock.dayAt(nowMs, *at, 1);
    m_alarmFadeEnd = moment;
    update(nowMs);
}

void Night::tick(std::int64_t nowMs)
{
    update(nowMs);
}

void Night::update(std::int64_t nowMs)
{
    const auto alarmGain = [&] {
        return m_alarmFadeEnd ? FadeOut::gainAt(nowMs, *m_alarmFadeEnd, std::int64_t(m_alarmFadeMinutes) * 60'000)
                              : 1.0;
    };
    if (m_sleep.due(nowMs)) {
        apply(0.0);
        if (m_hooks.silence)
            m_hooks.silence();
        m_sleep.finish();
        apply(alarmGain());
        notify();
    } else {
        apply(std::min(m_sleep.gain(nowMs), alarmGain()));
    }
    const bool ticking = m_sleep.active() || m_sleep.fading(nowMs) || m_alarmFadeEnd;
    if (ticking != m_ticking) {
        m_ticking = ticking;
        if (m_hooks.tickingChanged)
            m_hooks.tickingChanged(ticking);
    }
}

void Night::apply(double gain)
{
    if (gain == m_gain)
        return;
    m_gain = gain;
    if (m_hooks.fade)
        m_hooks.fade(gain);
}

void Night::notify()
{
    if (m_hooks.changed)
        m_hooks.changed();
}

std::string Night::sleepTime() const
{
    const ClockTime t = m_clock.timeOfDay(*m_sleep.endMs());
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", t.hour, t.minute);
    return text;
}

std::string Night::cancelText() const
{
    return m_sleep.active() ? "Cancel sleep (at " + sleepTime() + ")" : "Cancel sleep";
}

std::string Night::clockMark() const
{
    return m_sleep.active() ? " S" + sleepTime() : std::string();
}

std::optional<ClockTime> Night::parseTime(const std::string& text)
{
    const auto digit = [&](std::size_t i) { return text[i] >= '0' && text[i] <= '9'; };
    if (text.size() != 8 || text[2] != ':' || text[5] != ':')
        return std::nullopt;
    for (std::size_t i : {0u, 1u, 3u, 4u, 6u, 7u})
        if (!digit(i))
            return std::nullopt;
    const auto two = [&](std::size_t i) { return (text[i] - '0') * 10 + (text[i + 1] - '0'); };
    const ClockTime t{two(0), two(3), two(6)};
    if (t.hour > 23 || t.minute > 59 || t.second > 59)
        return std::nullopt;
    return t;
}

} // namespace sonaveil::player
