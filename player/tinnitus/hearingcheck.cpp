#include "player/tinnitus/hearingcheck.h"

#include <algorithm>
#include <cmath>

namespace sonaveil::player {

std::vector<double> HearingCheck::frequencies()
{
    return {250, 500, 750, 1000, 1500, 2000, 3000, 4000, 6000, 8000, 12000};
}

std::vector<HearingCheck::Point> HearingCheck::plan(std::optional<double> matchedHz)
{
    std::vector<double> hz = frequencies();
    if (matchedHz && *matchedHz > 0) {
        const bool listed = std::any_of(hz.begin(), hz.end(), [&](double f) { return std::fabs(f / *matchedHz - 1) < 0.01; });
        if (!listed) {
            hz.push_back(std::round(*matchedHz));
            std::sort(hz.begin(), hz.end());
        }
    }
    std::vector<Point> points;
    for (Ear ear : {Ear::Left, Ear::Right})
        for (double f : hz)
            points.push_back({ear, f});
    return points;
}

HearingCheck::HearingCheck(SafeSound& sound, std::vector<Point> points, std::uint32_t seed)
    : m_sound(sound)
    , m_points(std::move(points))
    , m_seed(seed ? seed : 1)
{
}

std::uint32_t HearingCheck::random()
{
    m_seed ^= m_seed << 13;
    m_seed ^= m_seed >> 17;
    m_seed ^= m_seed << 5;
    return m_seed;
}

int HearingCheck::pause()
{
    // Pauses of varying length, so that the tones cannot be foreseen by their rhythm.
    return kMinPauseMs + int(random() % std::uint32_t(kMaxPauseMs - kMinPauseMs + 1));
}

void HearingCheck::falseAlarm()
{
    if (++m_falseAlarms > kMaxFalseAlarms)
        stopWith(UpDownTrack::State::Inconsistent);
}

void HearingCheck::notify()
{
    if (changed)
        changed();
}

void HearingCheck::start(std::int64_t nowMs)
{
    m_results.clear();
    m_current = 0;
    beginPoint(nowMs);
}

void HearingCheck::beginPoint(std::int64_t nowMs)
{
    if (m_current >= m_points.size()) {
        m_phase = Phase::Finished;
        m_track.reset();
        notify();
        return;
    }
    m_sound.silence();
    m_sound.reset();
    m_track.emplace(SafeSound::kStartDb, SafeSound::kFloorDb, m_sound.ceiling());
    m_falseAlarms = 0;
    m_pointStart = nowMs;
    schedule(nowMs);
    notify();
}

void HearingCheck::schedule(std::int64_t nowMs)
{
    m_phase = Phase::Pause;
    m_next = nowMs + pause();
}

void HearingCheck::tick(std::int64_t nowMs)
{
    if (!m_track || m_phase == Phase::Stopped || m_phase == Phase::Finished || m_phase == Phase::Idle)
        return;
    if (nowMs - m_pointStart > kMaxFrequencyMs) {
        stopWith(UpDownTrack::State::TooLong);
        return;
    }
    if (nowMs < m_next)
        return;
    switch (m_phase) {
    case Phase::Pause: {
        const Point& p = m_points[m_current];
        m_pressed = false;
        // Never two silent turns in a row, and never the first.
        m_catch = !m_catch && m_track->presentations() > 0 && random() % kCatchEvery == 0;
        if (!m_catch)
            m_level = m_sound.play({TestKind::Tone, p.ear, p.hz, m_track->level()});
        m_phase = Phase::Tone;
        m_next = nowMs + kToneMs;
        break;
    }
    case Phase::Tone:
        if (!m_catch)
            m_sound.silence();
        m_phase = Phase::Answer;
        m_next = nowMs + kAnswerMs;
        break;
    case Phase::Answer:
        if (m_catch) {
            if (m_pressed)
                falseAlarm();
            if (m_phase != Phase::Stopped)
                schedule(nowMs);
            break;
        }
        m_track->answer(m_pressed);
        if (m_track->state() == UpDownTrack::State::Running) {
            schedule(nowMs);
        } else if (m_track->state() == UpDownTrack::State::Found || m_track->state() == UpDownTrack::State::NotHeard) {
            finishPoint(nowMs);
            return;
        } else {
            stopWith(m_track->state());
            return;
        }
        break;
    default:
        break;
    }
    notify();
}

void HearingCheck::press(std::int64_t nowMs)
{
    (void)nowMs;
    if (m_phase == Phase::Tone || m_phase == Phase::Answer) {
        m_pressed = true;
    } else if (m_phase == Phase::Pause) {
        falseAlarm();
    }
}

void HearingCheck::finishPoint(std::int64_t nowMs)
{
    m_results.push_back({m_points[m_current], m_track->state(), m_track->threshold()});
    ++m_current;
    beginPoint(nowMs);
}

void HearingCheck::stopWith(UpDownTrack::State why)
{
    m_sound.silence();
    m_stopReason = why;
    m_phase = Phase::Stopped;
    notify();
}

void HearingCheck::retry(std::int64_t nowMs)
{
    if (m_phase == Phase::Stopped)
        beginPoint(nowMs);
}

void HearingCheck::skip(std::int64_t nowMs)
{
    if (m_phase != Phase::Stopped)
        return;
    m_results.push_back({m_points[m_current], m_stopReason, std::nullopt});
    ++m_current;
    beginPoint(nowMs);
}

void HearingCheck::cancel()
{
    m_sound.silence();
    m_track.reset();
    m_phase = Phase::Idle;
    notify();
}

} // namespace sonaveil::player
