// Voices played faster than one frame per output frame: nothing may fold back below the output's
// Nyquist frequency.

#include "audio/bandlimit.h"
#include "audio/engine.h"

#include "audiotestutil.h"
#include "tempfolder.h"

#include <cmath>
#include <complex>
#include <fftw3.h>
#include <gtest/gtest.h>
#include <random>
#include <sndfile.h>

using namespace sonaveil::audio;

namespace {

constexpr int kRate = 44100;
constexpr int kHighestPitch = 70560; // the pitch sliders' top position, in Hz
constexpr int kFrames = 1 << 16;

// One period of noise whose amplitude grows with frequency (violet: +6 dB per octave), keeping
// only the part between `loHz` and `hiHz` of the sample's own frequencies. Every part is scaled as
// the whole band is (to 0.25 of full scale), so that parts can be compared.
std::vector<std::int16_t> violetNoise(double loHz, double hiHz)
{
    std::vector<float> x(kFrames);
    std::vector<fftwf_complex> spectrum(kFrames / 2 + 1);
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> phase(0.0, 2 * M_PI);
    double wholePower = 0.0;
    for (int j = 1; j < kFrames / 2; ++j) {
        const double hz = double(j) * kRate / kFrames;
        const double a = hz >= 20.0 ? hz / 1000.0 : 0.0;
        wholePower += 2.0 * a * a; // Parseval, both halves of the spectrum
        const double keep = (hz >= loHz && hz < hiHz) ? a : 0.0;
        const double p = phase(rng);
        spectrum[std::size_t(j)][0] = float(keep * std::cos(p));
        spectrum[std::size_t(j)][1] = float(keep * std::sin(p));
    }
    spectrum[0][0] = spectrum[0][1] = 0.0f;
    spectrum[kFrames / 2][0] = spectrum[kFrames / 2][1] = 0.0f;
    fftwf_plan plan = fftwf_plan_dft_c2r_1d(kFrames, spectrum.data(), x.data(), FFTW_ESTIMATE);
    fftwf_execute(plan);
    fftwf_destroy_plan(plan);
    const double scale = 0.25 * 32767.0 / std::sqrt(wholePower);
    std::vector<std::int16_t> out(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        out[i] = std::int16_t(std::clamp(std::lround(x[i] * scale), -32767L, 32767L));
    return out;
}

double powerDb(const std::vector<float>& v)
{
    double sum = 0;
    for (float x : v)
        sum += double(x) * x;
    return 10.0 * std::log10(std::max(sum / double(v.size()), 1e-30));
}

class FastVoice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(engine.setOutput(kOutputNoSound));
        ASSERT_TRUE(engine.init(kRate, 32, kInitEnableSystemChannelFx));
    }

    // Plays `frames` looped at `hertz` and returns the left channel after the glide has settled.
    std::vector<float> play(const std::vector<std::int16_t>& frames, int hertz, int rate = kRate)
    {
        const auto path = dir / ("s" + std::to_string(++files) + ".isz");
        EXPECT_TRUE(writeSoundFile(path, frames, rate, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
        const SampleHandle s = engine.loadSample(kFree, path.string(), kSampleNormal, 0, 0);
        const ChannelHandle h = engine.playSound(kFree, s);
        engine.setLoopMode(h, kLoopNormal);
        engine.setPan(h, 0);
        engine.setFrequency(h, hertz);
        std::vector<float> out(2 * 8192);
        engine.renderOffline(out.data(), 8192);
        out.assign(2 * 65536, 0.0f);
        engine.renderOffline(out.data(), 65536);
        engine.stopSound(h);
        std::vector<float> settle(2 * 4096);
        engine.renderOffline(settle.data(), 4096);
        return channelOf(out, 0);
    }

    // Level in dB of a tone at `hz` in `signal` (peak of the spectrum around it).
    static double toneDb(const std::vector<float>& signal, double hz)
    {
        const auto p = averagedPowerSpectrum(signal, 8192);
        const int bin = int(std::lround(hz * 8192 / kRate));
        double best = 0;
        for (int b = std::max(0, bin - 3); b <= bin + 3 && b < int(p.size()); ++b)
            best = std::max(best, p[std::size_t(b)]);
        return 10 * std::log10(std::max(best, 1e-30));
    }

    TempFolder dir;
    int files = 0;
    Engine engine;
};

} // namespace

// Violet noise at the highest pitch: the part of it that lands above the output's Nyquist
// frequency must vanish, not fold back onto what the listener hears.
TEST_F(FastVoice, VioletNoiseAtTheHighestPitchDoesNotFoldBack)
{
    const double speed = double(kHighestPitch) / kRate;
    const double nyquistInSample = 0.5 * kRate / speed; // 13781 Hz
    const auto whole = play(violetNoise(20, 22050), kHighestPitch);
    const auto above = play(violetNoise(nyquistInSample, 22050), kHighestPitch);
    const auto below = play(violetNoise(20, nyquistInSample * 0.85), kHighestPitch);
    EXPECT_LT(powerDb(above), powerDb(whole) - 40.0) << "aliased energy";
    // What lands well below the Nyquist frequency is all there.
    EXPECT_NEAR(powerDb(below), powerDb(whole), 1.5);
}

TEST_F(FastVoice, WhiteNoiseAtTheHighestPitchDoesNotFoldBack)
{
    std::vector<std::int16_t> white = whiteNoiseFrames(kFrames, 0.5, 9);
    // The same noise with everything below the sample's cut-off taken away: its output is alias.
    std::vector<float> x(white.begin(), white.end());
    std::vector<fftwf_complex> spectrum(kFrames / 2 + 1);
    fftwf_plan forward = fftwf_plan_dft_r2c_1d(kFrames, x.data(), spectrum.data(), FFTW_ESTIMATE);
    fftwf_execute(forward);
    fftwf_destroy_plan(forward);
    const double cut = 0.5 * kRate * kRate / kHighestPitch;
    for (int j = 0; j <= kFrames / 2; ++j)
        if (double(j) * kRate / kFrames < cut)
            spectrum[std::size_t(j)][0] = spectrum[std::size_t(j)][1] = 0.0f;
    fftwf_plan backward = fftwf_plan_dft_c2r_1d(kFrames, spectrum.data(), x.data(), FFTW_ESTIMATE);
    fftwf_execute(backward);
    fftwf_destroy_plan(backward);
    std::vector<std::int16_t> high(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        high[i] = std::int16_t(std::lround(x[i] / kFrames));
    EXPECT_LT(powerDb(play(high, kHighestPitch)), powerDb(play(white, kHighestPitch)) - 40.0);
}

// A tone that lands above the Nyquist frequency is gone; one that lands below keeps its level.
TEST_F(FastVoice, TonesAboveTheNyquistFrequencyVanishAndTonesBelowKeepTheirLevel)
{
    const double speed = double(kHighestPitch) / kRate;
    for (double lands : {23000.0, 26000.0, 32000.0}) {
        const double hz = lands / speed;
        const auto out = play(sineFrames(hz, kRate, kFrames, 0.5), kHighestPitch);
        EXPECT_LT(powerDb(out), 20 * std::log10(0.5 / std::sqrt(2.0)) - 40.0) << "tone landing at " << lands;
    }
    for (double lands : {1000.0, 9000.0, 17000.0}) {
        const double hz = lands / speed;
        const double fast = toneDb(play(sineFrames(hz, kRate, kFrames, 0.5), kHighestPitch), lands);
        const double natural = toneDb(play(sineFrames(lands, kRate, kFrames, 0.5), kRate), lands);
        EXPECT_NEAR(fast, natural, 1.0) << "tone landing at " << lands;
    }
}

// Versions keep the loop seamless and the sound's level, at twice the frame rate.
TEST(BandLimitedVersion, IsTheSameSoundAtTwiceTheRateWithoutItsTop)
{
    const int frames = 44100;
    auto sample = makeSample(sineFrames(441, 44100, frames, 0.5), 44100);
    ASSERT_TRUE(sample);
    const auto v = makeBandLimitedVersion(*sample, Sample::versionFor(1.6));
    ASSERT_TRUE(v);
    EXPECT_EQ(v->frames, 2 * frames);
    EXPECT_EQ(v->rate, 88200);
    // Every second frame is the original one; the others lie between, across the wrap too.
    for (int i = 0; i < frames; i += 97)
        EXPECT_NEAR(v->data()[2 * i], sample->data()[i], 2) << i;
    EXPECT_NEAR(v->data()[2 * frames - 1], 0.5 * (sample->data()[frames - 1] + sample->data()[0]), 40);
    EXPECT_EQ(v->data()[2 * frames], v->data()[0]);

    EXPECT_EQ(Sample::versionFor(1.0), -1);
    EXPECT_EQ(Sample::versionFor(1.05), 0);
    EXPECT_GE(Sample::speedOfVersion(Sample::versionFor(1.6)), 1.6);
    EXPECT_EQ(Sample::versionFor(100.0), Sample::kVersions - 1);
}
