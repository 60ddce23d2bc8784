#pragma once

#include "player/tinnitus/testsound.h"
#include "player/tinnitus/updowntrack.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace sonaveil::player {

// The hearing check: a threshold per ear at each frequency of the plan, each by an
// UpDownTrack, through headphones. A tone sounds for kToneMs after a pause of varying length;
// it counts as heard only when the user presses while it sounds or within kAnswerMs after it.
// Now and then a turn stays silent (a catch trial); a press then, or between turns, is a false
// alarm, and more than kMaxFalseAlarms at one frequency make its answers inconsistent. A frequency whose answers are inconsistent or whose
// run takes too long stops the check there, saying why; the user retries it or skips it.
// The owner calls tick() often (every 50 ms) with the time; tests pass their own.
class HearingCheck {
public:
    static constexpr int kToneMs = 1000;
    static constexpr int kAnswerMs = 1000;
    static constexpr int kMinPauseMs = 1200;
    static constexpr int kMaxPauseMs = 2800;
    static constexpr int kMaxFalseAlarms = 1;
    // One turn in this many, on average, is a catch trial.
    static constexpr int kCatchEvery = 4;
    static constexpr std::int64_t kMaxFrequencyMs = 3 * 60 * 1000;

    struct Point {
        Ear ear = Ear::Left;
        double hz = 1000.0;
    };
    struct Result {
        Point point;
        UpDownTrack::State state = UpDownTrack::State::Running;
        // Found: the threshold in dB below full scale.
        std::optional<double> thresholdDb;
    };
    enum class Phase { Idle, Pause, Tone, Answer, Stopped, Finished };

    // 250 Hz to 12 kHz, octaves and the half octaves between them.
    static std::vector<double> frequencies();
    // Both ears at every frequency, the matched pitch among them when there is one.
    static std::vector<Point> plan(std::optional<double> matchedHz);

    HearingCheck(SafeSound& sound, std::vector<Point> points, std::uint32_t seed = 1);

    const std::vector<Point>& points() const { return m_points; }
    void start(std::int64_t nowMs);
    void tick(std::int64_t nowMs);
    // The user heard a tone.
    void press(std::int64_t nowMs);
    // After a stop: the same frequency again, or on without its threshold.
    void retry(std::int64_t nowMs);
    void skip(std::int64_t nowMs);
    // Ends the check, silent; the results so far stay.
    void cancel();

    Phase phase() const { return m_phase; }
    // The point under test, or the one the check stopped at.
    std::size_t current() const { return m_current; }
    // Why the check stopped (Inconsistent or TooLong), while stopped.
    UpDownTrack::State stopReason() const { return m_stopReason; }
    // One per point done, in the plan's order.
    const std::vector<Result>& results() const { return m_results; }
    // The level of the tone sounding now, or last.
    double level() const { return m_level; }

    std::function<void()> changed;

private:
    void beginPoint(std::int64_t nowMs);
    void finishPoint(std::int64_t nowMs);
    void schedule(std::int64_t nowMs);
    void stopWith(UpDownTrack::State why);
    void notify();
    int pause();
    std::uint32_t random();
    void falseAlarm();

    SafeSound& m_sound;
    std::vector<Point> m_points;
    std::vector<Result> m_results;
    std::optional<UpDownTrack> m_track;
    std::size_t m_current = 0;
    Phase m_phase = Phase::Idle;
    UpDownTrack::State m_stopReason = UpDownTrack::State::Running;
    std::int64_t m_next = 0;        // the next tone's onset, or the end of the tone or answer
    std::int64_t m_pointStart = 0;
    bool m_pressed = false;
    bool m_catch = false;
    int m_falseAlarms = 0;
    double m_level = SafeSound::kStartDb;
    std::uint32_t m_seed;
};

} // namespace sonaveil::player
