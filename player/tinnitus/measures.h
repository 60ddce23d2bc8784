#pragma once

#include "player/tinnitus/testsound.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace sonaveil::player {

// A sound the user moves in steps until it meets a mark: as loud as the tinnitus (loudness
// match), or just covering it (minimum masking level). It starts quiet, a little below the
// threshold when that is known, and moves at most kMaxStepDb at a time.
class LevelAdjustment {
public:
    static constexpr double kBelowThresholdDb = 5.0;
    static constexpr double kMaxStepDb = SafeSound::kMaxStepDb;

    LevelAdjustment(SafeSound& sound, TestSound sound0, std::optional<double> thresholdDb);

    void start();
    void stop();
    bool playing() const { return m_playing; }
    // Up (positive) or down by `db`, at most kMaxStepDb; the sound follows while playing.
    void step(double db);
    double levelDb() const { return m_level; }
    // The level above the threshold there, when the threshold is known.
    std::optional<double> aboveThreshold() const;
    std::optional<double> thresholdDb() const { return m_threshold; }
    const TestSound& sound() const { return m_testSound; }
    // Takes the level now as the answer and stops.
    double accept();

    std::function<void()> changed;

private:
    void apply();

    SafeSound& m_sound;
    TestSound m_testSound;
    std::optional<double> m_threshold;
    double m_level;
    bool m_playing = false;
};

// How loud a tone at the matched pitch must be to sound as loud as the tinnitus: in both ears,
// in 1 dB steps (Shift: 5 dB).
class LoudnessMatch : public LevelAdjustment {
public:
    LoudnessMatch(SafeSound& sound, double hz, std::optional<double> thresholdDb)
        : LevelAdjustment(sound, {TestKind::Tone, Ear::Both, hz, SafeSound::kStartDb}, thresholdDb)
    {
    }
};

// The quietest noise (white, pink, or a band around the pitch) that covers the tinnitus,
// raised in 1 dB steps.
class MaskingLevel : public LevelAdjustment {
public:
    MaskingLevel(SafeSound& sound, TestKind noise, double hz, std::optional<double> thresholdDb)
        : LevelAdjustment(sound, {noise, Ear::Both, hz, SafeSound::kStartDb}, thresholdDb)
    {
    }
};

// Residual inhibition: the masking noise kAboveMaskingDb above the masking level for kNoiseMs,
// rising to it from quiet in steps; then silence and a clock, until the user says the tinnitus
// is back and whether it had gone fully or partly (or not at all).
class ResidualInhibition {
public:
    static constexpr std::int64_t kNoiseMs = 60'000;
    static constexpr double kAboveMaskingDb = 10.0;
    static constexpr std::int64_t kRampStepMs = 500;

    enum class Phase { Idle, Noise, Clock, Done };
    enum class Outcome { Full, Partial, None };

    ResidualInhibition(SafeSound& sound, TestKind noise, double hz, double maskingLevelDb);

    void start(std::int64_t nowMs);
    void tick(std::int64_t nowMs);
    // The tinnitus is back (or never went: Outcome::None, 0 seconds).
    void back(std::int64_t nowMs, Outcome outcome);
    void cancel();

    Phase phase() const { return m_phase; }
    double targetDb() const { return m_target; }
    // The seconds of noise left, while it plays.
    int noiseSecondsLeft(std::int64_t nowMs) const;
    // Since the noise stopped, while the clock runs; the result once done.
    double seconds(std::int64_t nowMs) const;
    std::optional<Outcome> outcome() const { return m_outcome; }

    std::function<void()> changed;

private:
    void notify();

    SafeSound& m_sound;
    TestSound m_noise;
    double m_target;
    Phase m_phase = Phase::Idle;
    std::int64_t m_start = 0, m_lastStep = 0, m_clockStart = 0;
    double m_seconds = 0;
    std::optional<Outcome> m_outcome;
};

} // namespace sonaveil::player
