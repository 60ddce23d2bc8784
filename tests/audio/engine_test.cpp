#include "audio/engine.h"

#include "audiotestutil.h"
#include "tempfolder.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <sndfile.h>

using namespace sonaveil::audio;

namespace {

class OfflineEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(engine.setOutput(kOutputNoSound));
        ASSERT_TRUE(engine.init(44100, 32, kInitEnableSystemChannelFx));
    }

    SampleHandle load(const std::vector<std::int16_t>& frames, int rate = 44100)
    {
        const auto path = dir / ("s" + std::to_string(++files) + ".isz");
        EXPECT_TRUE(writeSoundFile(path, frames, rate, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
        return engine.loadSample(kFree, path.string(), kSampleNormal, 0, 0);
    }

    std::vector<float> render(int frames)
    {
        std::vector<float> out(std::size_t(2 * frames));
        engine.renderOffline(out.data(), frames);
        return out;
    }

    TempFolder dir;
    int files = 0;
    Engine engine;
};

} // namespace

TEST_F(OfflineEngine, HandlesThatNameNothingAreIgnored)
{
    const SampleHandle tone = load(sineFrames(441, 44100, 44100, 0.5));
    ASSERT_NE(tone, 0);
    for (ChannelHandle h : {0, -1, 12345, 1 << 30}) {
        EXPECT_FALSE(engine.setVolume(h, 100));
        EXPECT_FALSE(engine.setFrequency(h, 22050));
        EXPECT_FALSE(engine.setPan(h, 0));
        EXPECT_FALSE(engine.setLoopMode(h, kLoopNormal));
        EXPECT_FALSE(engine.stopSound(h));
    }
    EXPECT_EQ(engine.playSound(kFree, 0), -1);
    EXPECT_EQ(engine.playSound(kFree, 99), -1);

    const ChannelHandle a = engine.playSound(kFree, tone);
    ASSERT_GT(a, 0);
    EXPECT_TRUE(engine.setLoopMode(a, kLoopNormal));
    EXPECT_TRUE(engine.stopSound(a));
    EXPECT_FALSE(engine.isPlaying(a));
    render(1024); // the voice fades out and its channel is free again

    // The freed channel now plays another sound: the old handle must not reach it.
    const ChannelHandle b = engine.playSound(kFree, tone);
    ASSERT_GT(b, 0);
    EXPECT_NE(a, b);
    EXPECT_FALSE(engine.setVolume(a, 0));
    EXPECT_FALSE(engine.stopSound(a));
    EXPECT_TRUE(engine.isPlaying(b));
    EXPECT_GT(rms(render(4410)), 0.05);

    // A voice that ended on its own names nothing either.
    const ChannelHandle once = engine.playSound(kFree, load(sineFrames(441, 44100, 441, 0.5)));
    ASSERT_GT(once, 0);
    render(2048);
    EXPECT_FALSE(engine.isPlaying(once));
    EXPECT_FALSE(engine.setVolume(once, 10));
}

TEST_F(OfflineEngine, APlayRequestOnABusyChannelTakesAnotherOne)
{
    const SampleHandle tone = load(sineFrames(441, 44100, 44100, 0.3));
    const ChannelHandle first = engine.playSound(5, tone);
    ASSERT_GT(first, 0);
    engine.setLoopMode(first, kLoopNormal);
    engine.setPan(first, 0);
    render(1024);
    const ChannelHandle second = engine.playSound(5, tone);
    ASSERT_GT(second, 0);
    EXPECT_NE(second, first);
    engine.setLoopMode(second, kLoopNormal);
    engine.setPan(second, 255);
    EXPECT_TRUE(engine.isPlaying(first));
    EXPECT_TRUE(engine.setVolume(first, 255));
    render(1024);
    const auto out = render(4410);
    // The first voice still sounds on the left, the second on the right.
    EXPECT_GT(rms(channelOf(out, 0)), 0.15);
    EXPECT_GT(rms(channelOf(out, 1)), 0.15);
}

TEST_F(OfflineEngine, EveryCatalogueSoundCanPlayAtOnce)
{
    const SampleHandle tone = load(sineFrames(441, 44100, 4410, 0.1));
    std::vector<ChannelHandle> handles;
    for (int i = 0; i < 36; ++i)
        handles.push_back(engine.playSound(kFree, tone));
    for (ChannelHandle h : handles)
        EXPECT_GT(h, 0);
}

TEST_F(OfflineEngine, TheLimiterHoldsALoudMixUnderItsCeiling)
{
    const SampleHandle loud = load(sineFrames(100, 44100, 44100, 1.0));
    for (int i = 0; i < 35; ++i) {
        const ChannelHandle h = engine.playSound(kFree, loud);
        engine.setLoopMode(h, kLoopNormal);
    }
    render(44100);
    const auto out = render(44100);
    // A sine whose peaks sit at the ceiling of -1 dBFS.
    const double ceilingRms = std::pow(10.0, -1.0 / 20.0) / std::sqrt(2.0);
    for (int channel : {0, 1}) {
        const double level = rms(channelOf(out, channel));
        EXPECT_LE(level, ceilingRms * 1.002) << channel;
        EXPECT_GT(level, ceilingRms * 0.8) << channel; // limited, not silenced
    }
}

TEST_F(OfflineEngine, OutOfRangeValuesAreClampedOrIgnored)
{
    const SampleHandle tone = load(sineFrames(441, 44100, 44100, 0.5));
    const ChannelHandle h = engine.playSound(kFree, tone);
    engine.setLoopMode(h, kLoopNormal);
    EXPECT_TRUE(engine.setVolume(h, 300));
    EXPECT_TRUE(engine.setPan(h, 400));
    EXPECT_FALSE(engine.setFrequency(h, 0));
    EXPECT_FALSE(engine.setFrequency(h, -44100));
    EXPECT_FALSE(engine.setLoopMode(h, 7));
    const auto out = render(8820);
    for (float v : out)
        ASSERT_LE(std::fabs(v), 1.0f);
    // Full right: the left channel is silent once the pan ramp is over.
    EXPECT_LT(rms(channelOf(out, 0), 1000), 1e-4);
    EXPECT_GT(rms(channelOf(out, 1), 1000), 0.3);
}

TEST_F(OfflineEngine, CloseTwiceIsHarmlessAndLeavesEveryCallIgnored)
{
    const SampleHandle tone = load(sineFrames(441, 44100, 4410, 0.5));
    const ChannelHandle h = engine.playSound(kFree, tone);
    engine.close();
    engine.close();
    EXPECT_FALSE(engine.setVolume(h, 10));
    EXPECT_EQ(engine.playSound(kFree, tone), -1);
    EXPECT_EQ(engine.loadSample(kFree, "/nonexistent", kSampleNormal, 0, 0), 0);
    render(128); // nothing to render into, nothing breaks
}

TEST_F(OfflineEngine, BadSampleFilesGiveHandleZero)
{
    EXPECT_EQ(engine.loadSample(kFree, (dir / "missing.isz").string(), kSampleNormal, 0, 0), 0);
    std::FILE* f = std::fopen((dir / "empty.isz").c_str(), "wb");
    std::fclose(f);
    EXPECT_EQ(engine.loadSample(kFree, (dir / "empty.isz").string(), kSampleNormal, 0, 0), 0);
    f = std::fopen((dir / "text.isz").c_str(), "wb");
    std::fputs("This is not a sound at all, just some words in a file.\n", f);
    std::fclose(f);
    EXPECT_EQ(engine.loadSample(kFree, (dir / "text.isz").string(), kSampleNormal, 0, 0), 0);
    EXPECT_EQ(engine.loadSample(kFree, dir.path().string(), kSampleNormal, 0, 0), 0);

    // A WAV cut short after its header plays what is there, or nothing; it never crashes.
    const auto good = dir / "good.wav";
    writeSoundFile(good, sineFrames(441, 44100, 1000, 0.5), 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    std::filesystem::resize_file(good, 44 + 100);
    const SampleHandle cut = engine.loadSample(kFree, good.string(), kSampleNormal, 0, 0);
    EXPECT_LE(engine.sampleFrames(cut), 50);
    std::filesystem::resize_file(good, 30);
    EXPECT_EQ(engine.loadSample(kFree, good.string(), kSampleNormal, 0, 0), 0);
    EXPECT_EQ(engine.playSound(kFree, 0), -1);
}

TEST_F(OfflineEngine, VoicesStartAndStopWithoutAClick)
{
    // A full-scale DC sample: any step at the start or end would show as a jump.
    const SampleHandle dc = load(std::vector<std::int16_t>(44100, 30000));
    const ChannelHandle h = engine.playSound(kFree, dc);
    engine.setLoopMode(h, kLoopNormal);
    auto out = channelOf(render(4410), 0);
    EXPECT_LT(std::fabs(out[0]), 0.02f);
    float largestStep = 0;
    for (std::size_t i = 1; i < out.size(); ++i)
        largestStep = std::max(largestStep, std::fabs(out[i] - out[i - 1]));
    EXPECT_LT(largestStep, 0.01f);
    EXPECT_GT(out.back(), 0.5f);

    engine.stopSound(h);
    out = channelOf(render(4410), 0);
    largestStep = 0;
    for (std::size_t i = 1; i < out.size(); ++i)
        largestStep = std::max(largestStep, std::fabs(out[i] - out[i - 1]));
    EXPECT_LT(largestStep, 0.01f);
    EXPECT_EQ(out.back(), 0.0f);
    // Gone within a few milliseconds.
    EXPECT_EQ(out[441], 0.0f);
}

TEST_F(OfflineEngine, ASamplePlaysAtItsOwnRateUntilTold)
{
    // 441 Hz recorded at 22050 Hz must still sound at 441 Hz in a 44100 Hz mix.
    const ChannelHandle h = engine.playSound(kFree, load(sineFrames(441, 22050, 22050, 0.5), 22050));
    engine.setLoopMode(h, kLoopNormal);
    render(1024);
    const auto left = channelOf(render(44100), 0);
    int crossings = 0;
    for (std::size_t i = 1; i < left.size(); ++i)
        crossings += (left[i - 1] < 0) != (left[i] < 0);
    EXPECT_NEAR(crossings, 2 * 441, 2);
}

TEST_F(OfflineEngine, APitchChangeGlidesToTheNewRate)
{
    // A rising ramp: the difference of neighbouring output frames is proportional to the
    // playback rate, frame by frame.
    std::vector<std::int16_t> ramp(24000);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = std::int16_t(-24000 + 2 * int(i));
    const ChannelHandle h = engine.playSound(kFree, load(ramp));
    engine.setPan(h, 0);
    render(512);
    auto last = channelOf(render(256), 0);
    const double unit = double(last[200]) - last[199]; // the step at the sample's own rate
    ASSERT_GT(unit, 0.0);

    for (const double ratio : {2.0, 1.0}) {
        SCOPED_TRACE(ratio);
        const double was = (double(last.back()) - last[last.size() - 2]) / unit;
        ASSERT_TRUE(engine.setFrequency(h, int(ratio * 44100)));
        auto after = channelOf(render(4096), 0);
        after.insert(after.begin(), last.back());
        std::vector<double> rate;
        for (std::size_t i = 1; i < after.size(); ++i)
            rate.push_back((double(after[i]) - after[i - 1]) / unit);
        const auto moved = std::find_if(rate.begin(), rate.end(), [&](double r) { return std::fabs(r - was) > 0.02; });
        ASSERT_NE(moved, rate.end()) << "the rate never changed";
        // The first frames that change are on the way: neither the old rate nor the new one.
        EXPECT_GT(*moved, std::min(was, ratio) + 0.02);
        EXPECT_LT(*moved, std::max(was, ratio) - 0.1);
        // And it arrives.
        EXPECT_NEAR(rate.back(), ratio, 0.02);
        last = after;
    }
}

TEST_F(OfflineEngine, LoopsWrapSeamlesslyAtAnyRate)
{
    // 100 periods of a sine in the sample: looped at any rate it must stay a clean sine.
    const int frames = 44100 / 10;
    const SampleHandle tone = load(sineFrames(1000, 44100, frames, 0.5));
    const ChannelHandle h = engine.playSound(kFree, tone);
    engine.setLoopMode(h, kLoopNormal);
    engine.setPan(h, 0);
    engine.setFrequency(h, 37111);
    render(8192); // settle the glide
    const auto left = channelOf(render(3 * frames), 0);
    // A clean sine's second difference is -w^2 times itself; a seam would break it.
    const double w = 2 * M_PI * 1000.0 * 37111.0 / 44100.0 / 44100.0;
    double worst = 0;
    for (std::size_t i = 1; i + 1 < left.size(); ++i) {
        const double second = left[i + 1] - 2.0 * left[i] + left[i - 1];
        worst = std::max(worst, std::fabs(second + w * w * left[i]));
    }
    EXPECT_LT(worst, 2e-3);
    EXPECT_GT(rms(left), 0.3);
}

TEST_F(OfflineEngine, VolumeIsLinearAndPanIsEqualPower)
{
    const SampleHandle tone = load(sineFrames(441, 44100, 44100, 0.5));
    const ChannelHandle h = engine.playSound(kFree, tone);
    engine.setLoopMode(h, kLoopNormal);
    render(1024);
    const double centre = rms(channelOf(render(44100), 0));
    EXPECT_NEAR(centre, 0.5 / std::sqrt(2.0) * std::sqrt(0.5), 0.01); // sine RMS, -3 dB pan
    engine.setVolume(h, 128);
    render(1024);
    const double half = rms(channelOf(render(44100), 0));
    EXPECT_NEAR(20 * std::log10(half / centre), -6.0, 0.1);
    engine.setVolume(h, 0);
    render(1024);
    EXPECT_EQ(rms(render(4410)), 0.0);
}

TEST_F(OfflineEngine, PauseOfTheSystemChannelHoldsTheMix)
{
    const SampleHandle tone = load(sineFrames(441, 44100, 44100, 0.5));
    const ChannelHandle h = engine.playSound(kFree, tone);
    engine.setLoopMode(h, kLoopNormal);
    render(2048);
    EXPECT_FALSE(engine.setPaused(0, true));
    EXPECT_TRUE(engine.setPaused(kSystemChannel, true));
    render(256);
    EXPECT_EQ(rms(render(4096)), 0.0);
    EXPECT_TRUE(engine.isPlaying(h));
    engine.setPaused(kSystemChannel, false);
    EXPECT_GT(rms(render(4096), 1024), 0.1);
}

TEST_F(OfflineEngine, ManyLoudVoicesAreLimitedNotClipped)
{
    const SampleHandle loud = load(sineFrames(100, 44100, 44100, 1.0));
    for (int i = 0; i < 35; ++i) {
        const ChannelHandle h = engine.playSound(kFree, loud);
        engine.setLoopMode(h, kLoopNormal);
    }
    const auto out = render(44100);
    float peak = 0;
    for (float v : out)
        peak = std::max(peak, std::fabs(v));
    // Held at -1 dBFS by the limiter, below the knee of the last-resort clipper.
    EXPECT_LE(peak, 0.8913f);
    EXPECT_GT(peak, 0.85f);
    // The limited signal keeps the shape of a sine: no sign flips from wrapping.
    const auto left = channelOf(out, 0);
    int crossings = 0;
    for (std::size_t i = 4410; i < left.size(); ++i)
        crossings += (left[i - 1] < 0) != (left[i] < 0);
    EXPECT_NEAR(crossings, 2 * 90, 4);
}

TEST(EngineDrivers, NoSoundOutputHasOneDevice)
{
    Engine engine;
    engine.setOutput(kOutputNoSound);
    EXPECT_EQ(engine.driverCount(), 1);
    EXPECT_FALSE(engine.driverName(0).empty());
    EXPECT_EQ(engine.driverName(1), "");
    EXPECT_EQ(engine.driverName(-1), "");
}

TEST_F(OfflineEngine, LoadingManyFilesAtOnceKeepsTheirOrder)
{
    std::vector<std::string> paths;
    for (int i = 1; i <= 9; ++i) {
        const auto path = dir / ("many" + std::to_string(i) + ".isz");
        writeSoundFile(path, sineFrames(441, 44100, 1000 * i, 0.5), 8000 * i, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
        paths.push_back(path.string());
    }
    paths.insert(paths.begin() + 4, (dir / "missing.isz").string());
    const auto handles = engine.loadSamples(paths);
    ASSERT_EQ(handles.size(), 10u);
    EXPECT_EQ(handles[4], 0);
    for (std::size_t i = 0; i < handles.size(); ++i) {
        if (i == 4)
            continue;
        const int n = int(i < 4 ? i + 1 : i);
        EXPECT_EQ(engine.sampleFrames(handles[i]), 1000 * n);
        EXPECT_EQ(engine.sampleRate(handles[i]), 8000 * n);
    }
}

// Loading only checks a file; the frames are decoded when the sample is first played, and kept.
TEST_F(OfflineEngine, ASampleIsDecodedOnlyWhenFirstPlayedAndThenKept)
{
    const SampleHandle a = load(std::vector<std::int16_t>(44100, 20000));
    const SampleHandle b = load(sineFrames(441, 44100, 44100, 0.5));
    const SampleHandle c = load(sineFrames(882, 22050, 22050, 0.5), 22050);
    EXPECT_EQ(engine.sampleRate(c), 22050);
    EXPECT_FALSE(engine.sampleDecoded(a));
    EXPECT_FALSE(engine.sampleDecoded(b));

    const ChannelHandle h = engine.playSound(kFree, a);
    engine.setLoopMode(h, kLoopNormal);
    EXPECT_TRUE(engine.isPlaying(h));
    // It sounds from the first block on, starting at the sample's beginning.
    const auto first = channelOf(render(1024), 0);
    EXPECT_GT(first[600], 0.35f);
    EXPECT_TRUE(engine.sampleDecoded(a));
    EXPECT_FALSE(engine.sampleDecoded(b));
    EXPECT_FALSE(engine.sampleDecoded(c));

    engine.stopSound(h);
    render(1024);
    EXPECT_TRUE(engine.sampleDecoded(a)) << "a stopped sound keeps its frames";
    const ChannelHandle again = engine.playSound(kFree, a);
    EXPECT_NE(again, h);
    EXPECT_GT(rms(render(1024), 1000), 0.3);
    EXPECT_FALSE(engine.sampleDecoded(b));
}

// A fade is a straight line from where the voice is to where it is asked to go, frame by frame,
// on top of the volume; it can turn back midway without a jump, and a new voice starts unfaded.
TEST_F(OfflineEngine, AFadeMovesTheVoiceContinuouslyOnTopOfItsVolume)
{
    // A constant sound: the kernel passes it exactly, so the output is the gain itself.
    const SampleHandle level = load(std::vector<std::int16_t>(4410, 16384));
    const ChannelHandle h = engine.playSound(kFree, level);
    engine.setLoopMode(h, kLoopNormal);
    engine.setPan(h, 0);
    render(4410);
    ASSERT_TRUE(engine.setFade(h, 0.0f, 1000));
    const auto down = channelOf(render(22050), 0); // half-way
    ASSERT_TRUE(engine.setFade(h, 1.0f, 500));      // and back up
    const auto up = channelOf(render(44100), 0);
    std::vector<float> all(down);
    all.insert(all.end(), up.begin(), up.end());
    float largestStep = 0;
    for (std::size_t i = 1; i < all.size(); ++i)
        largestStep = std::max(largestStep, std::fabs(all[i] - all[i - 1]));
    EXPECT_LT(largestStep, 0.5f / 44100.0f * 2.0f) << "no frame-to-frame jump beyond the ramp's own slope";
    EXPECT_NEAR(down[11025], 0.5f * 0.75f, 0.005f);
    EXPECT_NEAR(down.back(), 0.5f * 0.5f, 0.005f);
    EXPECT_NEAR(up[11025], 0.5f * 0.75f, 0.005f);
    EXPECT_NEAR(up.back(), 0.5f, 1e-4f);

    // The fade holds while the volume moves; the volume's own ramp stays as it was.
    engine.setFade(h, 0.25f, 0);
    render(4410);
    engine.setVolume(h, 128);
    EXPECT_NEAR(channelOf(render(4410), 0).back(), 0.5f * 0.25f * 128.0f / 255.0f, 1e-4f);

    engine.stopSound(h);
    render(4410);
    const ChannelHandle fresh = engine.playSound(kFree, level);
    engine.setPan(fresh, 0);
    EXPECT_NEAR(channelOf(render(4410), 0).back(), 0.5f, 1e-4f);
    EXPECT_FALSE(engine.setFade(h, 0.5f, 10)) << "a stopped voice's handle names nothing";
}
