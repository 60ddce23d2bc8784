#include "player/tinnitus/measures.h"

#include <algorithm>
#include <cmath>

namespace sonaveil::player {

LevelAdjustment::LevelAdjustment(SafeSound& sound, TestSound testSound, std::optional<double> thresholdDb)
    : m_sound(sound)
    , m_testSound(testSound)
    , m_threshold(thresholdDb)
    , m_level(thresholdDb ? std::min(SafeSound::kStartDb, *thresholdDb - kBelowThresholdDb) : SafeSound::kStartDb)
{
    m_level = std::max(m_level, SafeSound::kFloorDb);
}

void LevelAdjustment::start()
{
    m_sound.reset();
    m_playing = true;
    apply();
}

void LevelAdjustment::stop()
{
    if (!m_playing)
        return;
    m_playing = false;
    m_sound.silence();
    if (changed)
        changed();
}

void LevelAdjustment::step(double db)
{
    if (!std::isfinite(db))
        return;
    db = std::clamp(db, -kMaxStepDb, kMaxStepDb);
    m_level = std::clamp(m_level + db, SafeSound::kFloorDb, m_sound.ceiling());
    apply();
}

void LevelAdjustment::apply()
{
    if (m_playing) {
        TestSound s = m_testSound;
        s.levelDb = m_level;
        // What the bounds let through is what the user hears, and what the answer is.
        m_level = m_sound.play(s);
    }
    if (changed)
        changed();
}

std::optional<double> LevelAdjustment::aboveThreshold() const
{
    if (!m_threshold)
        return std::nullopt;
    return m_level - *m_threshold;
}

double LevelAdjustment::accept()
{
    stop();
    return m_level;
}

ResidualInhibition::ResidualInhibition(SafeSound& sound, TestKind noise, double hz, double maskingLevelDb)
    : m_sound(sound)
    , m_noise{noise, Ear::Both, hz, maskingLevelDb + kAboveMaskingDb}
    , m_target(std::min(maskingLevelDb + kAboveMaskingDb, sound.ceiling()))
{
}

void ResidualInhibition::notify()
{
    if (changed)
        changed();
}

void ResidualInhibition::start(std::int64_t nowMs)
{
    m_sound.reset();
    m_phase = Phase::Noise;
    m_start = m_lastStep = nowMs;
    m_outcome.reset();
    m_seconds = 0;
    m_sound.play(m_noise);
    notify();
}

void ResidualInhibition::tick(std::int64_t nowMs)
{
    if (m_phase != Phase::Noise)
        return;
    if (nowMs - m_start >= kNoiseMs) {
        m_sound.silence();
        m_phase = Phase::Clock;
        m_clockStart = nowMs;
        notify();
        return;
    }
    // Up to the level in steps, from quiet.
    if (m_sound.lastLevel().value_or(SafeSound::kFloorDb) < m_target && nowMs - m_lastStep >= kRampStepMs) {
        m_lastStep = nowMs;
        m_sound.play(m_noise);
        notify();
    }
}

void ResidualInhibition::back(std::int64_t nowMs, Outcome outcome)
{
    if (m_phase != Phase::Clock && !(m_phase == Phase::Noise && outcome == Outcome::None))
        return;
    m_sound.silence();
    m_seconds = outcome == Outcome::None || m_phase != Phase::Clock ? 0.0 : double(nowMs - m_clockStart) / 1000.0;
    m_outcome = outcome;
    m_phase = Phase::Done;
    notify();
}

void ResidualInhibition::cancel()
{
    m_sound.silence();
    m_phase = Phase::Idle;
    notify();
}

int ResidualInhibition::noiseSecondsLeft(std::int64_t nowMs) const
{
    if (m_phase != Phase::Noise)
        return 0;
    return int(std::max<std::int64_t>(0, (kNoiseMs - (nowMs - m_start) + 999) / 1000));
}

double ResidualInhibition::seconds(std::int64_t nowMs) const
{
    if (m_phase == Phase::Clock)
        return double(nowMs - m_clockStart) / 1000.0;
    return m_seconds;
}

} // namespace sonaveil::player
