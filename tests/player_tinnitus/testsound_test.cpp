#include "player/tinnitus/hearingcheck.h"
#include "player/tinnitus/measures.h"

#include "latepress.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <gtest/gtest.h>

using namespace sonaveil;
using namespace sonaveil::player;

namespace {

// The engine's output, rendered offline, with the peak of each presentation taken from what
// comes out: what a meter at the sound server's sink would read.
struct MeteredOutput : TestSoundOutput {
    explicit MeteredOutput(audio::Engine& engine) : real(engine) {}
    void play(const TestSound& s) override
    {
        if (!sounding || s.levelDb != asked.back().levelDb || s.ear != asked.back().ear || s.hz != asked.back().hz) {
            asked.push_back(s);
            peaks.push_back({0.0f, 0.0f});
        }
        sounding = true;
        real.play(s);
    }
    void silence() override
    {
        sounding = false;
        real.silence();
    }
    void meter(const std::vector<float>& block)
    {
        if (peaks.empty())
            return;
        for (std::size_t i = 0; i < block.size(); i += 2) {
            peaks.back()[0] = std::max(peaks.back()[0], std::fabs(block[i]));
            peaks.back()[1] = std::max(peaks.back()[1], std::fabs(block[i + 1]));
        }
    }
    EngineTestSoundOutput real;
    bool sounding = false;
    std::vector<TestSound> asked;
    std::vector<std::array<float, 2>> peaks;
};

double db(float amplitude)
{
    return amplitude > 0 ? 20.0 * std::log10(amplitude) : -300.0;
}

} // namespace

TEST(TestSoundAtTheOutput, TheHearingCheckNeverExceedsTheCeilingNorRisesMoreThan5dBInTheEarTested)
{
    audio::Engine engine;
    ASSERT_TRUE(engine.setOutput(audio::kOutputNoSound));
    ASSERT_TRUE(engine.init(44100, 32, audio::kInitEnableSystemChannelFx));
    MeteredOutput output(engine);
    SafeSound safe(output);
    HearingCheck check(safe, {{Ear::Left, 1000}, {Ear::Right, 4000}, {Ear::Left, 12000}});
    // A listener who hears only loud tones, so that the levels climb towards the ceiling.
    auto hears = [](const TestSound& s) { return s.levelDb >= (s.hz == 12000 ? -10.0 : -32.0); };
    std::int64_t now = 0;
    LatePress listener(output.asked, 0);
    std::vector<float> block(std::size_t(2 * 2205));
    check.start(now);
    while (check.phase() != HearingCheck::Phase::Finished && now < 3'600'000) {
        now += 50;
        check.tick(now);
        engine.renderOffline(block.data(), 2205);
        output.meter(block);
        listener.listen(check, now, hears);
    }
    ASSERT_EQ(check.phase(), HearingCheck::Phase::Finished);
    EXPECT_EQ(check.results()[2].state, UpDownTrack::State::NotHeard) << "12 kHz: never loud enough";

    ASSERT_GT(output.peaks.size(), 20u);
    std::map<std::pair<int, double>, double> last;
    for (std::size_t i = 0; i < output.peaks.size(); ++i) {
        const TestSound& s = output.asked[i];
        const int ear = s.ear == Ear::Left ? 0 : 1;
        const double heard = db(output.peaks[i][std::size_t(ear)]);
        SCOPED_TRACE(testing::Message() << i << ": " << s.hz << " Hz at " << s.levelDb << " dB, measured " << heard);
        EXPECT_LE(heard, SafeSound::kAbsoluteCeilingDb + 0.05);
        EXPECT_NEAR(heard, s.levelDb, 1.0) << "the level measured is the level asked for";
        EXPECT_LT(db(output.peaks[i][std::size_t(1 - ear)]), -100.0) << "the other ear hears nothing";
        const auto key = std::make_pair(ear, s.hz);
        if (last.count(key))
            EXPECT_LE(heard - last[key], SafeSound::kMaxStepDb + 0.05);
        else
            EXPECT_LE(heard, SafeSound::kStartDb + 0.05);
        last[key] = heard;
    }
}
