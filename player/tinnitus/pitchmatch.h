#pragma once

#include "audio/engine.h"
#include "player/tinnitus/tinnitussettings.h"

#include <functional>
#include <optional>
#include <vector>

namespace sonaveil::player {

// The pitches the match moves over: 250 Hz · 2^(step / 24), step 0 … 144, which is 250 Hz to
// 16 kHz in 1/24-octave steps; a coarse step is eight of them (1/3 octave).
struct PitchLadder {
    static constexpr int kStepsPerOctave = 24;
    static constexpr int kCoarse = 8;
    static constexpr int kTop = 6 * kStepsPerOctave;

    static double frequency(int step);
    // The step nearest to `hz`, within the ladder.
    static int nearestStep(double hz);
};

// Where the match's sound goes: the engine's test-tone voice, or a fake in tests.
class ToneOutput {
public:
    virtual ~ToneOutput() = default;
    virtual void setTone(bool on, MatchKind kind, double hz, double levelDb) = 0;
};

class EngineToneOutput : public ToneOutput {
public:
    explicit EngineToneOutput(audio::Engine& engine) : m_engine(engine) {}
    void setTone(bool on, MatchKind kind, double hz, double levelDb) override
    {
        m_engine.setTone(on, kind == MatchKind::Band ? audio::kToneBand : audio::kToneSine, float(hz),
                         float(levelDb));
    }

private:
    audio::Engine& m_engine;
};

// The Pitch Match tool without its window: the pitch on the ladder, the kind of sound, the
// level (starting quiet), playing and stopping, and the octave check, which plays the match, an
// octave below and an octave above in turn so that the user can pick the closest.
class PitchMatch {
public:
    static constexpr double kMinLevelDb = -80.0;
    static constexpr double kMaxLevelDb = -20.0;
    static constexpr double kStartLevelDb = -60.0;
    // The octave check: each sound this long, with a pause after it.
    static constexpr int kPresentMs = 1500;
    static constexpr int kPauseMs = 500;

    enum Octave { Below = -1, Same = 0, Above = 1 };
    struct Presentation {
        Octave octave;
        int step;
        int startMs, endMs;
    };

    explicit PitchMatch(ToneOutput& output);
    ~PitchMatch();

    int step() const { return m_step; }
    double frequency() const { return PitchLadder::frequency(m_step); }
    // Moves within the ladder (clamped); a playing sound follows at once.
    void setStep(int step);
    void stepFine(int direction) { setStep(m_step + direction); }
    void stepCoarse(int direction) { setStep(m_step + direction * PitchLadder::kCoarse); }

    MatchKind kind() const { return m_kind; }
    void setKind(MatchKind kind);
    double levelDb() const { return m_levelDb; }
    // Clamped to kMinLevelDb … kMaxLevelDb.
    void setLevelDb(double db);

    bool playing() const { return m_playing; }
    void play();
    // Stops the sound, and an octave check with it.
    void stop();

    // The octaves the check can offer for the current step: those inside the ladder.
    bool offers(Octave octave) const;
    // The check's timetable for the current step: match, below, above (those offered).
    std::vector<Presentation> octaveCheck() const;
    // Starts the check; advanceCheck() then follows the time since its start. Returns false
    // (and the check is over) when the timetable has run out.
    void startOctaveCheck();
    bool advanceCheck(int elapsedMs);
    bool checking() const { return m_checking; }
    // The octave sounding now in the check, or nothing between sounds and outside a check.
    std::optional<Octave> presenting() const { return m_presenting; }
    // Takes an octave of the check as the match (an offered one only).
    bool pick(Octave octave);

    // Takes the stored match; writes it with save().
    void load(const TinnitusSettings& settings);
    TinnitusSettings matchSettings(TinnitusSettings base) const;

    // Called whenever something the window shows changes.
    std::function<void()> changed;

private:
    void apply();
    void notify();

    ToneOutput& m_output;
    int m_step = PitchLadder::nearestStep(TinnitusSettings::kDefaultHz);
    MatchKind m_kind = MatchKind::Tone;
    double m_levelDb = kStartLevelDb;
    bool m_playing = false;
    bool m_checking = false;
    int m_checkStep = 0;
    std::optional<Octave> m_presenting;
};

} // namespace sonaveil::player
