#pragma once

#include "player/diary/diarystore.h"
#include "player/tinnitus/hearingcheck.h"
#include "player/tinnitus/maskingsound.h"
#include "player/tinnitus/measures.h"

#include <QDateTime>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace sonaveil::player {

// The profile's measures as the "My Tinnitus" window runs them: one at a time, every sound
// through one SafeSound, the rest of the player paused meanwhile, and each result kept in the
// diary. The latest hearing check sets the ceiling of the measures after it.
class ProfileSession {
public:
    enum class Measure { None, Hearing, Loudness, Masking, Inhibition };

    struct Hooks {
        // A measure starts (true): the alarm and the mix pause; it ends (false): they resume.
        std::function<void(bool testing)> testing;
        // The wall clock the results are dated by, and a steady one in milliseconds for timing.
        std::function<QDateTime()> now;
        std::function<std::int64_t()> steadyMs;
    };

    ProfileSession(TestSoundOutput& output, DiaryStore& diary);
    ~ProfileSession();
    Hooks& hooks() { return m_hooks; }

    // The matched pitch, when there is one (the pitch match window keeps it).
    void setPitch(std::optional<double> hz) { m_pitch = hz; }
    std::optional<double> pitch() const { return m_pitch; }
    // Keeps the pitch as a measure of today, so that it shows over time.
    bool recordPitch();

    // The latest threshold of each frequency in one ear (a check that reached none is left out).
    std::vector<MaskingSound::Threshold> thresholds(Ear ear) const;
    // The better ear's latest threshold at the pitch.
    std::optional<double> thresholdAtPitch() const;
    // The latest minimum masking level and its noise.
    std::optional<std::pair<double, TestKind>> maskingLevel() const;

    Measure running() const { return m_running; }
    HearingCheck* hearing() const { return m_hearing.get(); }
    LevelAdjustment* adjustment() const { return m_adjustment.get(); }
    ResidualInhibition* inhibition() const { return m_inhibition.get(); }
    const SafeSound& safeSound() const { return m_sound; }

    void startHearingCheck();
    // Need a pitch; residual inhibition needs a masking level too. False when missing.
    bool startLoudness();
    bool startMasking(TestKind noise);
    bool startInhibition();
    // The hearing check's answers: a tone heard, and after a stop the pitch again or skipped.
    void heard();
    void retry();
    void skip();
    // Often while a measure runs (every 50 ms): its timing, and the hearing check's end.
    void tick();
    // The loudness or masking answer: the level now. Kept in the diary; the measure ends.
    bool acceptLevel();
    // Residual inhibition's answer.
    bool inhibitionBack(ResidualInhibition::Outcome outcome);
    // Ends the measure running, keeping nothing more (a hearing check keeps what it found).
    void cancel();

    // The steady clock the measures run on, in milliseconds.
    std::int64_t steadyNow() const { return steady(); }

    // What the last write to the diary said when it failed.
    QString lastError() const { return m_diary.lastError(); }

    // Something shown changed; a result was kept (or could not be).
    std::function<void()> changed;
    std::function<void(bool kept)> resultKept;

private:
    void begin(Measure m);
    void end();
    void keepHearing();
    // Ends the measure and keeps its result `m`, telling resultKept; whether it was kept.
    bool finish(const MeasureRecord& m);
    void notify();
    QDateTime now() const;
    std::int64_t steady() const;

    DiaryStore& m_diary;
    SafeSound m_sound;
    Hooks m_hooks;
    std::optional<double> m_pitch;
    Measure m_running = Measure::None;
    std::unique_ptr<HearingCheck> m_hearing;
    std::unique_ptr<LevelAdjustment> m_adjustment;
    std::unique_ptr<ResidualInhibition> m_inhibition;
    TestKind m_noise = TestKind::Pink;
    std::uint32_t m_seed = 1;
};

QString noiseName(TestKind kind);
TestKind noiseFromName(const QString& name);

} // namespace sonaveil::player
