// The channel model on the real engine: the start-up loads every sound, but only a sound that is
// switched on has its sample decoded, and it keeps it when switched off.

#include "audio/engine.h"
#include "player/core/audiobinding.h"
#include "player/core/channelmodel.h"

#include "tempfolder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <vector>

using namespace sonaveil;
using namespace sonaveil::player;

namespace {

void writeTone(const std::filesystem::path& path, double hz)
{
    std::filesystem::create_directories(path.parent_path());
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 1;
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    std::vector<short> frames(44100);
    for (std::size_t i = 0; i < frames.size(); ++i)
        frames[i] = short(12000 * std::sin(2 * M_PI * hz * double(i) / 44100.0));
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    sf_writef_short(f, frames.data(), sf_count_t(frames.size()));
    sf_close(f);
}

double rms(const std::vector<float>& v)
{
    double s = 0;
    for (float x : v)
        s += double(x) * x;
    return std::sqrt(s / double(v.size()));
}

} // namespace

TEST(ChannelModelOnTheEngine, OnlySoundsSwitchedOnAreDecoded)
{
    TempFolder folder;
    for (int n : {1, 2, 3})
        writeTone(folder / ("bin/" + std::to_string(n) + ".isz"), 441.0 * n);
    audio::Engine engine;
    ASSERT_TRUE(engine.setOutput(audio::kOutputNoSound));
    ASSERT_TRUE(engine.init(44100, 32, audio::kInitEnableSystemChannelFx));
    EngineBinding binding(engine);
    ChannelModel model(binding);
    model.loadSamples(folder.path());

    // Every file that exists has its handle from the start, in catalogue order; none is decoded.
    for (int n : {1, 2, 3}) {
        EXPECT_NE(model.entry(n).sample, 0) << n;
        EXPECT_FALSE(engine.sampleDecoded(model.entry(n).sample)) << n;
    }
    EXPECT_LT(model.entry(1).sample, model.entry(2).sample);
    EXPECT_EQ(model.entry(4).sample, 0);

    model.setCheck(2, CheckState::Checked);
    std::vector<float> out(2 * 4410);
    engine.renderOffline(out.data(), 4410);
    EXPECT_GT(rms(out), 0.05) << "the sound plays at once";
    EXPECT_TRUE(engine.sampleDecoded(model.entry(2).sample));
    EXPECT_FALSE(engine.sampleDecoded(model.entry(1).sample));
    EXPECT_FALSE(engine.sampleDecoded(model.entry(3).sample));

    model.setCheck(2, CheckState::Unchecked);
    engine.renderOffline(out.data(), 4410);
    EXPECT_TRUE(engine.sampleDecoded(model.entry(2).sample)) << "kept for the next switch-on";
    EXPECT_FALSE(engine.sampleDecoded(model.entry(1).sample));
}

TEST(ChannelModelOnTheEngine, StreamedFilesPlayAndLoopWithoutEverBeingDecoded)
{
    TempFolder folder;
    for (int n : {1, 2})
        writeTone(folder / ("bin/" + std::to_string(n) + ".isz"), 441.0 * n);
    audio::Engine engine;
    ASSERT_TRUE(engine.setOutput(audio::kOutputNoSound));
    ASSERT_TRUE(engine.init(44100, 32, audio::kInitEnableSystemChannelFx));
    EngineBinding binding(engine);
    binding.setStreamFiles(true);
    ChannelModel model(binding);
    model.endless().setEnabled(false);
    model.loadSamples(folder.path());

    model.setCheck(2, CheckState::Checked);
    EXPECT_TRUE(model.entry(2).streamed);
    // Past the end of the one-second file and round again: it loops without a hole.
    std::vector<float> out(2 * 4410);
    for (int block = 0; block < 25; ++block) {
        engine.renderOffline(out.data(), 4410);
        EXPECT_GT(rms(out), 0.05) << block;
    }
    EXPECT_FALSE(engine.sampleDecoded(model.entry(2).sample));
    model.setCheck(2, CheckState::Unchecked);
    engine.renderOffline(out.data(), 4410);
    engine.renderOffline(out.data(), 4410);
    EXPECT_LT(rms(out), 1e-4);
    // A sound without a file plays nothing and streams nothing.
    model.setCheck(4, CheckState::Checked);
    EXPECT_FALSE(model.entry(4).streamed);
}
