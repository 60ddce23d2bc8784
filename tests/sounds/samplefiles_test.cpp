// The sample files in the program folder, as the player and the alarm will load them.

#include "measure/measure.h"
#include "synth/synth.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace {

using namespace sonaveil::measure;

std::filesystem::path dist()
{
    const char* d = std::getenv("SONAVEIL_DIST");
    return d ? std::filesystem::path(d) : std::filesystem::path("dist");
}

std::string fileOf(int sound)
{
    if (sound == 0)
        return "config/alarms/default.wav";
    return "bin/" + std::to_string(sound) + (sound <= 30 ? ".isz" : ".wav");
}

// Every file is read and measured once for the whole program.
struct Loaded {
    Audio audio;
    Measures measures;
};

const Loaded& loaded(int sound)
{
    static std::map<int, Loaded> cache;
    auto it = cache.find(sound);
    if (it == cache.end()) {
        Loaded l;
        l.audio = readAudio((dist() / fileOf(sound)).string());
        l.measures = measure(l.audio);
        it = cache.emplace(sound, std::move(l)).first;
    }
    return it->second;
}

class EverySound : public ::testing::TestWithParam<int> {};

std::string nameOf(const ::testing::TestParamInfo<int>& info)
{
    return info.param == 0 ? std::string("alarm") : "sound" + std::to_string(info.param);
}

TEST_P(EverySound, IsMono16BitAtItsRateAndLongEnough)
{
    const int n = GetParam();
    const Loaded& l = loaded(n);
    ASSERT_TRUE(l.audio.error.empty()) << fileOf(n) << ": " << l.audio.error;
    EXPECT_EQ(l.audio.channels, 1);
    EXPECT_EQ(l.audio.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
    const int major = l.audio.format & SF_FORMAT_TYPEMASK;
    if (n == 0 || n > 30)
        EXPECT_EQ(major, SF_FORMAT_WAV) << "a .wav file must hold WAV";
    else
        EXPECT_TRUE(major == SF_FORMAT_WAV || major == SF_FORMAT_FLAC || major == SF_FORMAT_OGG);
    const bool slow = n >= 13 && n <= 30;
    EXPECT_EQ(l.audio.rate, slow ? 33000 : 44100);
    if (n == 0) {
        EXPECT_GE(l.measures.seconds, 2.0);
        EXPECT_LE(l.measures.seconds, 10.0);
    } else {
        EXPECT_GE(l.measures.seconds, 30.0);
    }
}

TEST_P(EverySound, LevelPeaksDcAndRumble)
{
    const int n = GetParam();
    const Measures& m = loaded(n).measures;
    if (n != 0) {
        // Every sound as loud as every other to the ear, whatever its spectrum.
        EXPECT_NEAR(m.loudnessLufs, sonaveil::synth::kTargetLoudnessLufs, 0.5);
    } else {
        // Clearly audible, yet not the loudest thing the player can make.
        EXPECT_GT(m.rmsDb, -24.0);
        EXPECT_LT(m.rmsDb, -10.0);
    }
    EXPECT_LE(m.peakDb, -1.0);
    EXPECT_LE(m.truePeakDb, -1.0) << "true peak, between samples";
    EXPECT_LT(m.dcDb, -70.0);
    EXPECT_LT(m.below20Db, -30.0) << "rumble below 20 Hz";
}

// The loop's wrap is one more step of the sound: no click, and no jump in level.
TEST_P(EverySound, WrapsWithoutClickOrDip)
{
    const Measures& m = loaded(GetParam()).measures;
    EXPECT_LE(m.wrapJump, m.highStep) << "median step " << m.medianStep;
    EXPECT_LE(m.seamLevelDb, m.highLevelStepDb + 0.5);
}

INSTANTIATE_TEST_SUITE_P(SampleFiles, EverySound, ::testing::Range(0, 36), nameOf);

TEST(SampleFiles, NoiseSlopesAreExact)
{
    const double targets[] = {0.0, -3.0103, -6.0206, 3.0103, 6.0206};
    for (int n = 1; n <= 5; ++n) {
        const Audio& a = loaded(n).audio;
        EXPECT_NEAR(fittedSlope(welch(a.samples, a.rate)), targets[n - 1], 0.5) << "sound " << n;
    }
}

TEST(SampleFiles, BrownNoiseDoesNotDrift)
{
    const Audio& a = loaded(3).audio;
    const std::size_t second = std::size_t(a.rate);
    for (std::size_t start = 0; start + second <= a.samples.size(); start += second) {
        double sum = 0.0;
        for (std::size_t i = start; i < start + second; ++i)
            sum += a.samples[i];
        EXPECT_LT(std::fabs(sum / double(second)), 0.01) << "second " << start / second;
    }
}

// Checks that the seam check itself sees loops cut in the wrong place: two unrelated samples of
// brown noise meet at the wrap, which is mostly far more than one of its small steps.
TEST(SampleFiles, SeamCheckFindsBadCuts)
{
    const Audio& whole = loaded(3).audio;
    int caught = 0;
    for (int cut = 1; cut <= 10; ++cut) {
        Audio a = whole;
        a.samples.resize(a.samples.size() - std::size_t(cut) * std::size_t(a.rate) / 7);
        const Measures m = measure(a);
        caught += m.wrapJump > m.highStep ? 1 : 0;
    }
    EXPECT_GE(caught, 7);
}

// Sounds of one kind must not be near copies: each pair differs in spectrum or in rhythm.
TEST(SampleFiles, SoundsOfOneKindDiffer)
{
    const std::vector<std::vector<int>> kinds = {
        {6, 7, 8, 13, 14, 15, 16, 17},   // rain
        {10, 11, 12, 18, 19, 20},        // cicadas
        {21, 22, 27},                    // air conditioners and the fan
        {25, 26},                        // aquariums
        {28, 30, 31, 32, 33, 34, 35},    // hoover, hairdryers, vacuum cleaners
        {23, 24},                        // cabins
    };
    for (const auto& kind : kinds) {
        for (std::size_t i = 0; i < kind.size(); ++i) {
            for (std::size_t j = i + 1; j < kind.size(); ++j) {
                const Measures& a = loaded(kind[i]).measures;
                const Measures& b = loaded(kind[j]).measures;
                const double spectrum = profileDistanceDb(a.bandsDb, b.bandsDb);
                const double rhythm = std::fabs(std::log2(std::max(a.rhythmHz, 0.05) / std::max(b.rhythmHz, 0.05)));
                // A rhythm counts only where the level clearly moves with it.
                const bool pulsed = a.envelopeSpreadDb >= 3.0 && b.envelopeSpreadDb >= 3.0;
                EXPECT_TRUE(spectrum >= 4.0 || (pulsed && rhythm >= 1.0))
                    << "sounds " << kind[i] << " and " << kind[j] << ": spectra " << spectrum << " dB apart, rhythm "
                    << a.rhythmHz << " / " << b.rhythmHz << " Hz, spread " << a.envelopeSpreadDb << " / "
                    << b.envelopeSpreadDb << " dB";
            }
        }
    }
}

// Rain and surf come and go irregularly: the loudness envelope of a loop never repeats like a
// metronome within the loop (the ocean's four even waves read 0.90 here).
TEST(SampleFiles, RainAndSurfDoNotRepeatRegularly)
{
    for (int n : {6, 7, 8, 9, 13, 14, 15, 16, 17})
        EXPECT_LT(loaded(n).measures.envelopeRepeat, 0.6) << "sound " << n;
}

// Cicadas sing between 4 and 8 kHz.
TEST(SampleFiles, CicadasSingBetween4And8kHz)
{
    for (int n : {10, 11, 12, 18, 19, 20}) {
        const double c = loaded(n).measures.centroidHz;
        EXPECT_GT(c, 4000.0) << "sound " << n;
        EXPECT_LT(c, 8000.0) << "sound " << n;
    }
}

} // namespace

namespace {

// Rain, fire, bubbles and rail joints are made of separate events over their bed; the noises are
// plain noise.
TEST(SampleFiles, EventSoundsHaveEventsAndNoisesHaveNone)
{
    for (int n : {6, 7, 8, 13, 14, 15, 16, 17, 24, 25, 29})
        EXPECT_GT(loaded(n).measures.clickiness, 4.5) << "sound " << n;
    for (int n = 1; n <= 5; ++n)
        EXPECT_NEAR(loaded(n).measures.clickiness, 3.0, 0.2) << "sound " << n;
}

// The rhythms that make a sound what it is.
TEST(SampleFiles, RhythmsOfWavesJointsFanAndBeaterBar)
{
    struct Case { int sound; double lo, hi; const char* what; };
    for (const Case& c : {Case{9, 1 / 12.0, 1 / 5.0, "waves every several seconds"},
                          Case{24, 0.9, 1.25, "rail joints about once a second"},
                          Case{27, 0.1, 0.15, "the fan's head turning every 8 s"},
                          Case{28, 30.0, 45.0, "the beater bar"},
                          Case{20, 3.5, 4.5, "cicadas pulsing four times a second"}}) {
        const Measures& m = loaded(c.sound).measures;
        EXPECT_GE(m.rhythmHz, c.lo) << c.what;
        EXPECT_LE(m.rhythmHz, c.hi) << c.what;
    }
    EXPECT_GT(loaded(9).measures.envelopeSpreadDb, 2.0) << "waves must rise and fall";
}

} // namespace
