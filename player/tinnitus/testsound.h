#pragma once

#include "audio/engine.h"

#include <optional>

namespace sonaveil::player {

// What a measurement plays: a tone, a third-octave band of noise around a pitch, or a broad
// white or pink noise (the pitch is then unused).
enum class TestKind { Tone, Band, White, Pink };
enum class Ear { Both, Left, Right };

struct TestSound {
    TestKind kind = TestKind::Tone;
    Ear ear = Ear::Both;
    double hz = 1000.0;
    // Peak level in dB below full scale: relative to this computer and these headphones.
    double levelDb = -60.0;
};

// Where a measurement's sound goes: the engine's test-tone voice, or a fake in tests.
class TestSoundOutput {
public:
    virtual ~TestSoundOutput() = default;
    virtual void play(const TestSound& sound) = 0;
    virtual void silence() = 0;
};

class EngineTestSoundOutput : public TestSoundOutput {
public:
    explicit EngineTestSoundOutput(audio::Engine& engine) : m_engine(engine) {}
    void play(const TestSound& sound) override;
    void silence() override;

private:
    audio::Engine& m_engine;
    TestSound m_last;
};

// The one way a measurement's sound reaches the output, holding every level within bounds:
// after reset() the first level is no louder than kStartDb, no level rises more than kMaxStepDb
// above the one before, and none exceeds the ceiling: kAboveThresholdDb over the user's own
// threshold when it is known, and never above kAbsoluteCeilingDb.
class SafeSound {
public:
    static constexpr double kStartDb = -60.0;
    static constexpr double kMaxStepDb = 5.0;
    static constexpr double kAbsoluteCeilingDb = -20.0;
    static constexpr double kAboveThresholdDb = 50.0;
    static constexpr double kFloorDb = -100.0;

    explicit SafeSound(TestSoundOutput& output) : m_output(output) {}

    // The threshold the ceiling is held above; none for the absolute ceiling alone.
    void setThreshold(std::optional<double> thresholdDb) { m_threshold = thresholdDb; }
    std::optional<double> threshold() const { return m_threshold; }
    double ceiling() const;

    // Plays `sound` with its level brought within the bounds; returns the level played.
    double play(TestSound sound);
    void silence();
    bool sounding() const { return m_sounding; }
    // The level last played, while one has been since reset().
    std::optional<double> lastLevel() const { return m_last; }
    // The next sound starts quiet again.
    void reset() { m_last.reset(); }

private:
    TestSoundOutput& m_output;
    std::optional<double> m_threshold;
    std::optional<double> m_last;
    bool m_sounding = false;
};

} // namespace sonaveil::player
