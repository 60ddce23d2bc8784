// The measurements the sample-file tests rely on, checked on signals with known answers.

#include "measure/measure.h"
#include "synth/synth.h"

#include "tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>

namespace {

using namespace sonaveil;
using measure::Audio;

constexpr double kPi = 3.14159265358979323846;

Audio tone(int rate, double seconds, double hz, double amplitude, double offset = 0.0)
{
    Audio a;
    a.rate = rate;
    a.channels = 1;
    for (long i = 0; i < long(rate * seconds); ++i)
        a.samples.push_back(float(offset + amplitude * std::sin(2.0 * kPi * hz * i / rate)));
    return a;
}

TEST(Measure, LevelPeakDcAndCentroidOfATone)
{
    // 1 kHz has whole cycles in 2 s at 32 kHz: the loop is seamless.
    const auto m = measure::measure(tone(32000, 2.0, 1000.0, 0.5, 0.001));
    EXPECT_NEAR(m.rmsDb, 20.0 * std::log10(0.5 / std::sqrt(2.0)), 0.01);
    EXPECT_NEAR(m.peakDb, 20.0 * std::log10(0.501), 0.01);
    EXPECT_NEAR(m.dcDb, -60.0, 0.1);
    EXPECT_NEAR(m.centroidHz, 1000.0, 20.0);
    EXPECT_NEAR(m.seconds, 2.0, 1e-9);
    EXPECT_LE(m.wrapJump, m.highStep);
    // The offset is all there is below 20 Hz: 0.001 against a 0.35 RMS tone.
    EXPECT_NEAR(m.below20Db, 20.0 * std::log10(0.001 / 0.3536), 3.0);
    EXPECT_LT(m.envelopeSpreadDb, 0.1);
}

TEST(Measure, RhythmSpreadAndClicks)
{
    synth::Rng rng(3);
    Audio beating, steady;
    beating.rate = steady.rate = 16000;
    for (int i = 0; i < 16000 * 8; ++i) {
        const double g = 0.1 * rng.gauss();
        beating.samples.push_back(float(g * (1.0 + 0.8 * std::sin(2.0 * kPi * 4.0 * i / 16000))));
        steady.samples.push_back(float(g));
    }
    // Noise beating four times a second: kurtosis 3 E[e^4] / E[e^2]^2 of its envelope e.
    auto m = measure::measure(beating);
    EXPECT_NEAR(m.rhythmHz, 4.0, 0.2);
    EXPECT_GT(m.envelopeSpreadDb, 3.0);
    EXPECT_NEAR(m.clickiness, 3.0 * (1 + 6 * 0.32 + 0.4096 * 3 / 8) / (1.32 * 1.32), 0.4);

    m = measure::measure(steady);
    EXPECT_NEAR(m.clickiness, 3.0, 0.1);
    EXPECT_LT(m.envelopeSpreadDb, 1.0);
    // The same noise with a click every 100 ms.
    for (std::size_t i = 0; i < steady.samples.size(); i += 1600)
        steady.samples[i] += 2.0f;
    EXPECT_GT(measure::measure(steady).clickiness, 10.0);
}

// Reference values of the loudness standard: a 997 Hz sine at full scale on one channel reads
// -3.01 LUFS, and the gates ignore silence and quiet stretches.
TEST(Measure, LoudnessAndTruePeak)
{
    const Audio full = tone(48000, 4.0, 997.0, 1.0);
    EXPECT_NEAR(measure::integratedLoudness(full.samples, 48000), -3.01, 0.05);
    const Audio quieter = tone(44100, 4.0, 997.0, 0.1);
    EXPECT_NEAR(measure::integratedLoudness(quieter.samples, 44100), -23.01, 0.05);
    // Half of it silent: the absolute gate drops the silence, the level is the tone's (but for
    // the few blocks across its two edges).
    std::vector<float> halfSilent = tone(44100, 20.0, 997.0, 0.1).samples;
    halfSilent.resize(2 * halfSilent.size(), 0.0f);
    EXPECT_NEAR(measure::integratedLoudness(halfSilent, 44100), -23.01, 0.1);
    // K-weighting: a low rumble counts for less than its level, a high hiss for more.
    EXPECT_LT(measure::integratedLoudness(tone(44100, 4.0, 40.0, 0.1).samples, 44100), -23.01 - 3.0);
    EXPECT_GT(measure::integratedLoudness(tone(44100, 4.0, 8000.0, 0.1).samples, 44100), -23.01 + 3.0);

    // A quarter of the rate, 45 degrees off: every sample reads 0.707, the wave between reaches 1.
    std::vector<float> offset(4000);
    for (std::size_t i = 0; i < offset.size(); ++i)
        offset[i] = float(std::sin(kPi / 2 * double(i) + kPi / 4));
    EXPECT_NEAR(measure::truePeakDb(offset), 0.0, 0.1);
    EXPECT_NEAR(measure::truePeakDb(quieter.samples), -20.0, 0.05);
}

// A metronome repeats, steady noise does not.
TEST(Measure, EnvelopeRepeat)
{
    synth::Rng rng(4);
    std::vector<float> pulsed, steady;
    for (int i = 0; i < 8000 * 21; ++i) {
        const double g = rng.gauss();
        const bool beat = (i % (8000 * 3)) < 4000; // half a second of every three
        pulsed.push_back(float(g * (beat ? 0.5 : 0.05)));
        steady.push_back(float(0.1 * g));
    }
    EXPECT_GT(measure::envelopeRepeat(pulsed, 8000), 0.9);
    EXPECT_LT(measure::envelopeRepeat(steady, 8000), 0.2);
}

TEST(Measure, SlopeOfShapedNoise)
{
    const synth::Loop loop = synth::makeLoop(44100, 8.0);
    for (double slope : {-6.0206, -1.5, 0.0, 4.5}) {
        synth::Rng rng(11);
        Audio a;
        a.rate = loop.rate;
        const synth::Signal x = synth::shapedNoise(loop, rng, synth::tilt(slope));
        a.samples.assign(x.begin(), x.end());
        EXPECT_NEAR(measure::fittedSlope(measure::welch(a.samples, a.rate)), slope, 0.1) << slope;
    }
}

TEST(Measure, LevelCorrelationFindsTheBeat)
{
    // A level that repeats every 1.2 s: its correlation is 1 at a whole period and well below
    // half-way; a flat level (no variance) gives 0, not a division by zero.
    std::vector<float> beating;
    for (int i = 0; i < 8000 * 12; ++i)
        beating.push_back(float((i % 9600) < 2400 ? 0.5 : 0.05) * (i % 2 ? 1.0f : -1.0f));
    const std::vector<double> levels = measure::levelsDb(beating, 8000);
    ASSERT_EQ(levels.size(), 120u);
    EXPECT_NEAR(measure::lagCorrelation(levels, 12), 1.0, 1e-9);
    EXPECT_LT(measure::lagCorrelation(levels, 6), 0.0);
    EXPECT_EQ(measure::lagCorrelation(std::vector<double>(50, -20.0), 3), 0.0);
    EXPECT_EQ(measure::lagCorrelation(levels, 500), 0.0);
}

TEST(Measure, BlackmanHarrisSeesWhatHannHides)
{
    // A loud tone and one 90 dB below, 60 Hz away: the four-term window's leakage is far enough
    // down to show the quiet one, the Hann window's buries it.
    std::vector<float> x;
    for (int i = 0; i < 44100 * 2; ++i)
        x.push_back(float(0.5 * std::sin(2 * kPi * 1000.0 * i / 44100) + 1.58e-5 * std::sin(2 * kPi * 1060.0 * i / 44100)));
    const auto around = [](const measure::Welch& w, double hz) {
        const std::size_t k = std::size_t(std::lround(hz / w.binHz));
        return 10 * std::log10(w.power[k] / w.power[std::size_t(std::lround(1000.0 / w.binHz))]);
    };
    const measure::Welch blackman = measure::welch(x, 44100, 8192, measure::Window::BlackmanHarris);
    const measure::Welch hann = measure::welch(x, 44100, 8192);
    EXPECT_NEAR(around(blackman, 1060), -90, 2);
    EXPECT_GT(around(hann, 1060), -85);
    // Segments from `from` on: none fits after the end.
    EXPECT_EQ(measure::welch(x, 44100, 8192, measure::Window::Hann, x.size()).power[10], 0.0);
}

TEST(Measure, ThirdOctaveBandsAreRelativeToTheLoudest)
{
    const Audio a = tone(44100, 2.0, 1000.0, 0.5);
    const std::vector<double> bands = measure::thirdOctaveBandsDb(measure::welch(a.samples, a.rate));
    ASSERT_EQ(bands.size(), 30u);
    EXPECT_EQ(*std::max_element(bands.begin(), bands.end()), 0.0);
    EXPECT_EQ(bands[16], 0.0); // 1 kHz is the band 16 above 25 Hz
    EXPECT_EQ(*std::min_element(bands.begin(), bands.end()), -80.0);
    EXPECT_EQ(bands, measure::measure(a).bandsDb);
}

TEST(Measure, MonoWavWrittenReadsBack)
{
    TempFolder temp;
    const std::vector<float> x = {0.0f, 0.5f, -0.5f, 0.25f};
    ASSERT_TRUE(measure::writeMonoWav((temp / "x.wav").string(), x, 22050));
    const Audio a = measure::readAudio((temp / "x.wav").string());
    EXPECT_TRUE(a.error.empty()) << a.error;
    EXPECT_EQ(a.rate, 22050);
    ASSERT_EQ(a.samples.size(), x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        EXPECT_NEAR(a.samples[i], x[i], 1.0 / 32767) << i;
    EXPECT_FALSE(measure::writeMonoWav((temp / "no folder" / "x.wav").string(), x, 22050));
}

TEST(Measure, UnreadableFilesSayWhy)
{
    TempFolder temp;
    EXPECT_FALSE(measure::readAudio((temp / "missing.wav").string()).error.empty());
    std::ofstream(temp / "text.isz") << "not a sound at all";
    const Audio a = measure::readAudio((temp / "text.isz").string());
    EXPECT_FALSE(a.error.empty());
    EXPECT_TRUE(a.samples.empty());
}

TEST(Measure, WritingIntoAnImpossibleFolderFails)
{
    TempFolder temp;
    std::ofstream(temp / "bin") << "a file where the folder should be";
    const synth::SoundRecipe* r = synth::findRecipe(1);
    const std::vector<std::int16_t> pcm(1000, 0);
    EXPECT_FALSE(synth::write(*r, pcm, temp.path().string()).empty());
    EXPECT_FALSE(std::filesystem::exists(temp / "bin/1.isz.part"));
}

} // namespace
