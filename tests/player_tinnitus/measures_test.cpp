#include "player/tinnitus/measures.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace sonaveil::player;

namespace {

struct FakeOutput : TestSoundOutput {
    void play(const TestSound& s) override
    {
        played.push_back(s);
        sounding = true;
    }
    void silence() override { sounding = false; }
    std::vector<TestSound> played;
    bool sounding = false;
};

TEST(SafeSound, StartsQuietRisesAtMost5dBAndNeverPassesTheCeiling)
{
    FakeOutput out;
    SafeSound safe(out);
    EXPECT_EQ(safe.ceiling(), SafeSound::kAbsoluteCeilingDb);
    EXPECT_EQ(safe.play({TestKind::Tone, Ear::Left, 1000, -10}), SafeSound::kStartDb) << "first sound quiet";
    EXPECT_EQ(safe.play({TestKind::Tone, Ear::Left, 1000, -10}), -55);
    EXPECT_EQ(safe.play({TestKind::Tone, Ear::Left, 1000, -80}), -80) << "down is never held back";
    EXPECT_EQ(safe.play({TestKind::Tone, Ear::Left, 1000, std::nan("")}), SafeSound::kFloorDb);

    // 50 dB over a threshold of -90: nothing above -40, however it is asked for.
    safe.setThreshold(-90);
    EXPECT_EQ(safe.ceiling(), -40);
    for (int i = 0; i < 30; ++i)
        safe.play({TestKind::White, Ear::Both, 1000, 0});
    EXPECT_EQ(out.played.back().levelDb, -40);
    for (const TestSound& s : out.played)
        EXPECT_LE(s.levelDb, SafeSound::kAbsoluteCeilingDb);
    // A threshold high up never lifts the ceiling past the absolute one.
    safe.setThreshold(-30);
    EXPECT_EQ(safe.ceiling(), SafeSound::kAbsoluteCeilingDb);

    safe.reset();
    EXPECT_EQ(safe.play({TestKind::Pink, Ear::Both, 1000, -30}), SafeSound::kStartDb) << "quiet again after reset";
}

TEST(LevelAdjustment, LoudnessMatchAndMaskingLevelComeBackAsTheUsersAnswer)
{
    FakeOutput out;
    SafeSound safe(out);
    safe.setThreshold(-58);
    LoudnessMatch loudness(safe, 4000, -58.0);
    EXPECT_EQ(loudness.levelDb(), -63) << "starts below the threshold";
    loudness.start();
    EXPECT_EQ(out.played.back().kind, TestKind::Tone);
    EXPECT_EQ(out.played.back().hz, 4000);
    for (int i = 0; i < 12; ++i)
        loudness.step(1);
    loudness.step(+30); // one key held too long: still one 5 dB step
    EXPECT_EQ(loudness.levelDb(), -46);
    EXPECT_EQ(*loudness.aboveThreshold(), 12);
    EXPECT_EQ(loudness.accept(), -46);
    EXPECT_FALSE(out.sounding);

    MaskingLevel masking(safe, TestKind::Pink, 4000, std::nullopt);
    masking.start();
    EXPECT_EQ(out.played.back().levelDb, SafeSound::kStartDb);
    EXPECT_EQ(out.played.back().kind, TestKind::Pink);
    for (int i = 0; i < 200; ++i)
        masking.step(1);
    EXPECT_EQ(masking.levelDb(), safe.ceiling()) << "held at the ceiling";
    EXPECT_FALSE(masking.aboveThreshold());
}

TEST(ResidualInhibition, SixtySecondsOfNoiseTenAboveTheMaskingLevelThenTheClock)
{
    FakeOutput out;
    SafeSound safe(out);
    safe.setThreshold(-70);
    ResidualInhibition ri(safe, TestKind::Band, 4000, -45);
    EXPECT_EQ(ri.targetDb(), -35);
    std::int64_t now = 5000;
    ri.start(now);
    EXPECT_EQ(out.played.back().levelDb, SafeSound::kStartDb);
    while (ri.phase() == ResidualInhibition::Phase::Noise) {
        now += 100;
        ri.tick(now);
    }
    EXPECT_EQ(now - 5000, ResidualInhibition::kNoiseMs);
    EXPECT_EQ(out.played.back().levelDb, -35) << "reached in steps, and not beyond";
    for (std::size_t i = 1; i < out.played.size(); ++i)
        EXPECT_LE(out.played[i].levelDb - out.played[i - 1].levelDb, 5.0);
    EXPECT_FALSE(out.sounding);
    now += 42'500;
    EXPECT_DOUBLE_EQ(ri.seconds(now), 42.5);
    ri.back(now, ResidualInhibition::Outcome::Partial);
    EXPECT_EQ(ri.phase(), ResidualInhibition::Phase::Done);
    EXPECT_EQ(*ri.outcome(), ResidualInhibition::Outcome::Partial);
    EXPECT_DOUBLE_EQ(ri.seconds(now + 9000), 42.5);

    // A masking level near the ceiling: the noise stops at the ceiling.
    ResidualInhibition high(safe, TestKind::White, 0, -25);
    EXPECT_EQ(high.targetDb(), SafeSound::kAbsoluteCeilingDb);
}

} // namespace
