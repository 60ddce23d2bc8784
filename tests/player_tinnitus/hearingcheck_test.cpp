#include "player/tinnitus/hearingcheck.h"

#include "latepress.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <random>

using namespace sonaveil::player;

namespace {

// Records what reaches the output and checks every sound against the bounds as it comes: at
// each ear and pitch the first tone is quiet and none rises more than 5 dB over the one before.
struct RecordingOutput : TestSoundOutput {
    void play(const TestSound& s) override
    {
        const auto key = std::make_pair(int(s.ear), s.hz);
        const auto before = last.find(key);
        if (before == last.end()) {
            EXPECT_LE(s.levelDb, SafeSound::kStartDb + 1e-9) << "the first sound is not quiet";
        } else {
            EXPECT_LE(s.levelDb, before->second + SafeSound::kMaxStepDb + 1e-9) << "a step of more than 5 dB";
        }
        EXPECT_LE(s.levelDb, SafeSound::kAbsoluteCeilingDb + 1e-9) << "above the ceiling";
        last[key] = s.levelDb;
        sounding = true;
        played.push_back(s);
    }
    void silence() override { sounding = false; }
    std::map<std::pair<int, double>, double> last;
    bool sounding = false;
    std::vector<TestSound> played;
};

// A listener that hears a tone when it is at or above its threshold at that pitch.
double curve(Ear ear, double hz)
{
    // A high-frequency dip and a slightly worse right ear, off the 5 dB grid.
    const double base = -72.0 + 6.0 * std::log2(hz / 250.0);
    return base + (ear == Ear::Right ? 3.0 : 0.0) + (hz >= 4000 && hz <= 6000 ? 8.0 : 0.0);
}

TEST(UpDownTrack, AConsistentListenerIsFoundWithin5dBFromAboveAndBelowTheStart)
{
    for (double truth : {-93.0, -77.5, -61.0, -60.0, -44.0, -22.0}) {
        SCOPED_TRACE(truth);
        UpDownTrack t(SafeSound::kStartDb, SafeSound::kFloorDb, SafeSound::kAbsoluteCeilingDb);
        while (t.state() == UpDownTrack::State::Running)
            t.answer(t.level() >= truth);
        ASSERT_EQ(t.state(), UpDownTrack::State::Found);
        EXPECT_GE(*t.threshold(), truth);
        EXPECT_LT(*t.threshold(), truth + 5.0);
        EXPECT_LE(t.presentations(), 15);
    }
}

TEST(UpDownTrack, DownTenAfterHeardUpFiveAfterNotAndTwoAscentsDecide)
{
    UpDownTrack t(-60, -100, -20);
    const std::vector<std::pair<bool, double>> steps = {
        {false, -60}, {false, -55}, {true, -50}, // heard on the first ascent
        {false, -60}, {true, -55},               // heard lower once: not yet two
        {false, -65}, {false, -60}, {true, -55}, // second ascent heard at -55: threshold…
        {true, -50},                             // …when 5 dB above it is heard too
    };
    for (const auto& [heard, level] : steps) {
        ASSERT_EQ(t.state(), UpDownTrack::State::Running);
        EXPECT_EQ(t.level(), level);
        t.answer(heard);
    }
    EXPECT_EQ(t.state(), UpDownTrack::State::Found);
    EXPECT_EQ(*t.threshold(), -55);
}

TEST(UpDownTrack, NeverHeardStopsAtTheCeilingAndNoisyAnswersAreCaught)
{
    UpDownTrack never(-60, -100, -20);
    while (never.state() == UpDownTrack::State::Running) {
        EXPECT_LE(never.level(), -20);
        never.answer(false);
    }
    EXPECT_EQ(never.state(), UpDownTrack::State::NotHeard);
    EXPECT_FALSE(never.threshold());
    EXPECT_EQ(never.presentations(), 9) << "-60 … -20 in 5 dB steps";

    // Heard loud, then missed far above it twice: inconsistent.
    UpDownTrack c(-60, -100, -20);
    for (bool heard : {true, false, false, false, false, false, false})
        c.answer(heard); // -60 heard, then missed from -70 up to -45: twice 10 dB or more above it
    EXPECT_EQ(c.state(), UpDownTrack::State::Inconsistent);
}

// Runs the check with a listener pressing 300 ms after each tone it hears, on a fake clock.
struct ListenerRun {
    RecordingOutput output;
    SafeSound sound{output};
    std::int64_t now = 1'000'000;

    void until(HearingCheck& check, const std::function<bool(const TestSound&)>& hears, std::int64_t limitMs)
    {
        LatePress listener(output.played, output.played.size());
        const std::int64_t end = now + limitMs;
        while (now < end && check.phase() != HearingCheck::Phase::Finished && check.phase() != HearingCheck::Phase::Stopped) {
            now += 50;
            check.tick(now);
            listener.listen(check, now, hears);
        }
    }
};

TEST(HearingCheck, RecoversTheListenersCurveWithin5dBInEachEarWithinBounds)
{
    ListenerRun run;
    HearingCheck check(run.sound, HearingCheck::plan(5200.0));
    ASSERT_EQ(check.points().size(), 24u) << "eleven frequencies and the pitch, both ears";
    check.start(run.now);
    run.until(check, [](const TestSound& s) { return s.levelDb >= curve(s.ear, s.hz); }, 3'600'000);
    ASSERT_EQ(check.phase(), HearingCheck::Phase::Finished);
    ASSERT_EQ(check.results().size(), 24u);
    for (const auto& r : check.results()) {
        SCOPED_TRACE(testing::Message() << int(r.point.ear) << " " << r.point.hz);
        ASSERT_TRUE(r.thresholdDb);
        EXPECT_GE(*r.thresholdDb, curve(r.point.ear, r.point.hz));
        EXPECT_LT(*r.thresholdDb, curve(r.point.ear, r.point.hz) + 5.0);
    }
    for (const TestSound& s : run.output.played)
        EXPECT_NE(s.ear, Ear::Both);
}

TEST(HearingCheck, AnHonestListenerNearThresholdIsNotCalledInconsistent)
{
    // Near the threshold hearing is uncertain: heard with a probability rising over a few dB.
    int found = 0;
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        ListenerRun run;
        HearingCheck check(run.sound, {{Ear::Right, 3000}}, seed);
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> chance(0, 1);
        check.start(run.now);
        run.until(check, [&](const TestSound& s) { return chance(random) < 1 / (1 + std::exp(-(s.levelDb + 47) / 1.5)); },
                  600'000);
        if (check.phase() == HearingCheck::Phase::Finished && check.results()[0].thresholdDb) {
            ++found;
            EXPECT_NEAR(*check.results()[0].thresholdDb, -47, 7.5);
        }
    }
    EXPECT_GE(found, 36);
}

TEST(HearingCheck, NeverHearingGivesNoThresholdAndPressingBetweenTonesStopsForARetry)
{
    ListenerRun run;
    HearingCheck check(run.sound, {{Ear::Left, 1000}, {Ear::Right, 1000}});
    check.start(run.now);
    run.until(check, [](const TestSound&) { return false; }, 600'000);
    ASSERT_EQ(check.phase(), HearingCheck::Phase::Finished);
    for (const auto& r : check.results()) {
        EXPECT_EQ(r.state, UpDownTrack::State::NotHeard);
        EXPECT_FALSE(r.thresholdDb);
    }

    // A listener pressing after half the turns at random, whatever sounds: the silent turns
    // and the confirmation show it, and the check stops for a retry in most runs (a few random
    // answers can always look like a threshold).
    int caught = 0;
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        ListenerRun guess;
        HearingCheck check(guess.sound, {{Ear::Left, 2000}}, seed);
        check.start(guess.now);
        std::mt19937 random(seed);
        LatePress press;
        while (check.phase() != HearingCheck::Phase::Finished && check.phase() != HearingCheck::Phase::Stopped) {
            guess.now += 50;
            const auto before = check.phase();
            check.tick(guess.now);
            if (before == HearingCheck::Phase::Pause && check.phase() == HearingCheck::Phase::Tone && random() % 2)
                press.dueAt(guess.now + 400);
            press.pressIfDue(check, guess.now);
        }
        caught += check.phase() == HearingCheck::Phase::Stopped;
    }
    EXPECT_GE(caught, 26);

    // A press in every pause: the answers mean nothing, and the check says so.
    ListenerRun noisy;
    HearingCheck second(noisy.sound, {{Ear::Left, 1000}, {Ear::Right, 2000}});
    second.start(noisy.now);
    for (int i = 0; i < 2000 && second.phase() != HearingCheck::Phase::Stopped; ++i) {
        noisy.now += 50;
        second.tick(noisy.now);
        second.press(noisy.now);
    }
    ASSERT_EQ(second.phase(), HearingCheck::Phase::Stopped);
    EXPECT_EQ(second.stopReason(), UpDownTrack::State::Inconsistent);
    EXPECT_FALSE(noisy.output.sounding) << "a stopped check is silent";
    // The retry starts that frequency again, quiet; a fair listener then gets through.
    second.retry(noisy.now);
    EXPECT_EQ(second.current(), 0u);
    noisy.until(second, [](const TestSound& s) { return s.levelDb >= -42; }, 600'000);
    ASSERT_EQ(second.phase(), HearingCheck::Phase::Finished);
    EXPECT_EQ(*second.results().front().thresholdDb, -40);
}

} // namespace
