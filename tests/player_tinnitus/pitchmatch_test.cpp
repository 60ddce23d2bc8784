#include "player/tinnitus/pitchmatch.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace sonaveil::player;

namespace {

struct FakeTone : ToneOutput {
    struct Call {
        bool on;
        MatchKind kind;
        double hz, level;
    };
    void setTone(bool on, MatchKind kind, double hz, double level) override { calls.push_back({on, kind, hz, level}); }
    const Call& last() const { return calls.back(); }
    std::vector<Call> calls;
};

} // namespace

TEST(PitchLadder, SixOctavesFrom250HzIn24thsOfAnOctave)
{
    EXPECT_DOUBLE_EQ(PitchLadder::frequency(0), 250.0);
    EXPECT_DOUBLE_EQ(PitchLadder::frequency(96), 4000.0);
    EXPECT_DOUBLE_EQ(PitchLadder::frequency(PitchLadder::kTop), 16000.0);
    EXPECT_DOUBLE_EQ(PitchLadder::frequency(-5), 250.0);
    EXPECT_DOUBLE_EQ(PitchLadder::frequency(500), 16000.0);
    EXPECT_NEAR(PitchLadder::frequency(8) / PitchLadder::frequency(0), std::exp2(1.0 / 3), 1e-12);
    EXPECT_NEAR(PitchLadder::frequency(1) / PitchLadder::frequency(0), std::exp2(1.0 / 24), 1e-12);
    for (int s = 0; s <= PitchLadder::kTop; ++s)
        EXPECT_EQ(PitchLadder::nearestStep(std::round(PitchLadder::frequency(s))), s) << "whole hertz find their step";
    EXPECT_EQ(PitchLadder::nearestStep(10), 0);
    EXPECT_EQ(PitchLadder::nearestStep(30000), PitchLadder::kTop);
    EXPECT_EQ(PitchLadder::nearestStep(0), 0);
}

TEST(PitchMatch, StartsQuietAndSilentAndFollowsEveryChangeWhilePlaying)
{
    FakeTone tone;
    PitchMatch m(tone);
    int changes = 0;
    m.changed = [&] { ++changes; };
    EXPECT_FALSE(m.playing());
    EXPECT_EQ(m.levelDb(), PitchMatch::kStartLevelDb);
    EXPECT_DOUBLE_EQ(m.frequency(), 4000.0);
    m.stepCoarse(1);
    EXPECT_TRUE(tone.calls.empty()) << "nothing sounds until Play";

    m.play();
    ASSERT_EQ(tone.calls.size(), 1u);
    EXPECT_TRUE(tone.last().on);
    EXPECT_NEAR(tone.last().hz, 4000 * std::exp2(1.0 / 3), 1e-9);
    EXPECT_EQ(tone.last().level, -60.0);
    m.stepFine(-1);
    EXPECT_NEAR(tone.last().hz, 4000 * std::exp2(7.0 / 24), 1e-9);
    m.setKind(MatchKind::Band);
    EXPECT_EQ(tone.last().kind, MatchKind::Band);
    m.setLevelDb(-5);
    EXPECT_EQ(tone.last().level, PitchMatch::kMaxLevelDb) << "the level is held below its top";
    m.setLevelDb(-200);
    EXPECT_EQ(m.levelDb(), PitchMatch::kMinLevelDb);

    m.setStep(1000);
    EXPECT_DOUBLE_EQ(m.frequency(), 16000.0);
    const auto before = tone.calls.size();
    m.stepCoarse(1);
    EXPECT_EQ(tone.calls.size(), before) << "nothing moves past the top";
    m.stop();
    EXPECT_FALSE(tone.last().on);
    EXPECT_GT(changes, 5);
}

TEST(PitchMatch, OctaveCheckPlaysMatchBelowAboveAndTakesThePick)
{
    FakeTone tone;
    PitchMatch m(tone);
    m.setStep(96); // 4 kHz
    const auto plan = m.octaveCheck();
    ASSERT_EQ(plan.size(), 3u);
    EXPECT_EQ(plan[0].octave, PitchMatch::Same);
    EXPECT_EQ(plan[1].octave, PitchMatch::Below);
    EXPECT_EQ(plan[2].octave, PitchMatch::Above);
    EXPECT_EQ(plan[1].startMs, PitchMatch::kPresentMs + PitchMatch::kPauseMs);

    m.startOctaveCheck();
    EXPECT_TRUE(m.checking());
    EXPECT_TRUE(tone.last().on);
    EXPECT_DOUBLE_EQ(tone.last().hz, 4000.0);
    EXPECT_TRUE(m.advanceCheck(1600));
    EXPECT_FALSE(tone.last().on) << "a pause between the sounds";
    EXPECT_TRUE(m.advanceCheck(2100));
    EXPECT_DOUBLE_EQ(tone.last().hz, 2000.0);
    EXPECT_EQ(m.presenting(), PitchMatch::Below);
    EXPECT_TRUE(m.advanceCheck(4100));
    EXPECT_DOUBLE_EQ(tone.last().hz, 8000.0);
    EXPECT_FALSE(m.advanceCheck(5600));
    EXPECT_FALSE(m.checking());
    EXPECT_FALSE(tone.last().on);

    EXPECT_TRUE(m.pick(PitchMatch::Below));
    EXPECT_DOUBLE_EQ(m.frequency(), 2000.0);

    // At the ends of the ladder the octave that does not exist is not offered.
    m.setStep(10);
    EXPECT_FALSE(m.offers(PitchMatch::Below));
    EXPECT_EQ(m.octaveCheck().size(), 2u);
    EXPECT_FALSE(m.pick(PitchMatch::Below));
    EXPECT_EQ(m.step(), 10);

    // Stopping ends a check at once; a pick during a check stops it too.
    m.startOctaveCheck();
    m.stop();
    EXPECT_FALSE(m.checking());
    EXPECT_FALSE(tone.last().on);
    m.startOctaveCheck();
    EXPECT_TRUE(m.pick(PitchMatch::Above));
    EXPECT_FALSE(m.checking());
    EXPECT_FALSE(tone.last().on);
    EXPECT_EQ(m.step(), 34);
}

TEST(PitchMatch, LoadsAndHandsOverTheMatch)
{
    FakeTone tone;
    PitchMatch m(tone);
    TinnitusSettings s;
    s.frequencyHz = 6350;
    s.kind = MatchKind::Band;
    s.notchEnabled = true;
    m.load(s);
    EXPECT_EQ(m.step(), PitchLadder::nearestStep(6350));
    EXPECT_EQ(m.kind(), MatchKind::Band);
    const TinnitusSettings out = m.matchSettings(s);
    EXPECT_EQ(out.frequencyHz, m.frequency());
    EXPECT_TRUE(out.notchEnabled) << "the notch's settings pass through";
}
