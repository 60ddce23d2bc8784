#include "tools/quietdeck-render/renderoptions.h"
#include "player/tinnitus/sleepfade.h"

#include "audiotestutil.h"
#include "tempfolder.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>

using namespace sonaveil::render;
namespace fs = std::filesystem;

TEST(RenderOptions, AcceptsTheTwoForms)
{
    std::string error;
    auto o = parseRenderOptions({"--preset", "p.svp", "--seconds", "1.5", "--out", "o.wav", "--eq", "e.eqf"}, error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(o->presetFile, "p.svp");
    EXPECT_DOUBLE_EQ(o->seconds, 1.5);
    EXPECT_FALSE(o->notchHz);
    o = parseRenderOptions({"--sound", "1", "--seconds", "2", "--out", "o.wav", "--notch", "4000",
                            "--notch-width", "0.5"}, error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(o->notchHz, 4000.0);
    EXPECT_EQ(o->notchWidth, 0.5);
    o = parseRenderOptions({"--sound", "1,5,35", "--volume", "200", "--master", "75", "--pitch", "4410",
                            "--pan", "12", "--seconds", "3", "--out", "o.wav"}, error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(o->sounds, (std::vector<int>{1, 5, 35}));
    EXPECT_EQ(o->volume, 200);
    EXPECT_FALSE(o->fadeOutSeconds);
    o = parseRenderOptions({"--sound", "1", "--seconds", "600", "--fade-out", "600", "--out", "o.wav"}, error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(o->fadeOutSeconds, 600.0);
    EXPECT_FALSE(o->loopFiles) << "endless unless asked";
    EXPECT_FALSE(o->seed) << "the clock's chance unless asked";
    o = parseRenderOptions({"--sound", "9", "--seconds", "1", "--out", "o.wav", "--seed", "18446744073709551615"}, error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(o->seed, 18446744073709551615ull);
    o = parseRenderOptions({"--loop-files", "--sound", "9", "--seconds", "1", "--out", "o.wav"}, error);
    ASSERT_TRUE(o) << error;
    EXPECT_TRUE(o->loopFiles);
}

TEST(RenderOptions, RefusesMistakesWithOneLine)
{
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--seconds", "3", "--out", "o.wav"},
        {"--sound", "36", "--seconds", "3", "--out", "o.wav"},
        {"--sound", "1,x", "--seconds", "3", "--out", "o.wav"},
        {"--sound", "1", "--seconds", "0", "--out", "o.wav"},
        {"--sound", "1", "--seconds", "-2", "--out", "o.wav"},
        {"--sound", "1", "--seconds", "nan", "--out", "o.wav"},
        {"--sound", "1", "--seconds", "3"},
        {"--sound", "1", "--volume", "256", "--seconds", "3", "--out", "o.wav"},
        {"--preset", "p", "--sound", "1", "--seconds", "3", "--out", "o.wav"},
        {"--preset", "p", "--volume", "3", "--seconds", "3", "--out", "o.wav"},
        {"--sound", "1", "--seconds", "3", "--out"},
        {"--colour", "blue"},
        {"--sound", "1", "--seconds", "3", "--out", "o.wav", "--notch", "4k"},
        {"--sound", "1", "--seconds", "3", "--out", "o.wav", "--notch", "30000"},
        {"--sound", "1", "--seconds", "3", "--out", "o.wav", "--notch", "4000", "--notch-width", "0"},
        {"--sound", "1", "--seconds", "3", "--out", "o.wav", "--notch-width", "1"},
        {"--sound", "1", "--seconds", "3", "--out", "o.wav", "--fade-out", "4"},
        {"--sound", "1", "--seconds", "3", "--out", "o.wav", "--fade-out", "0"},
        {"--sound", "1", "--seconds", "3", "--out", "o.wav", "--fade-out", "soon"},
        {"--sound", "1", "--seconds", "3", "--out", "o.wav", "--seed", "-1"},
        {"--sound", "1", "--seconds", "3", "--out", "o.wav", "--seed", "18446744073709551616"},
        {"--sound", "1", "--seconds", "3", "--out", "o.wav", "--seed", ""},
        {"--sound", "1", "--seconds", "3", "--out", "o.wav", "--seed", "4x"},
        {"--sound", "1", "--seconds", "3", "--out", "o.wav", "--seed"},
        {"--sound", "1", "--seconds", "3", "--out", "o.wav", "--seed", "4", "--loop-files"},
    };
    for (const auto& args : bad) {
        std::string error;
        EXPECT_FALSE(parseRenderOptions(args, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

namespace {

class RenderProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* dist = std::getenv("SONAVEIL_DIST");
        ASSERT_TRUE(dist);
        program = fs::path(dist) / "quietdeck-render";
        fs::create_directories(dir / "bin");
        // A 1 kHz tone as sound 1 and a 250 Hz tone as sound 33.
        writeSoundFile(dir / "bin/1.isz", sineFrames(1000, 44100, 44100, 0.5), 44100, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
        writeSoundFile(dir / "bin/33.wav", sineFrames(250, 44100, 44100, 0.5), 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    }

    int run(const std::string& args)
    {
        const std::string command = program.string() + " --program-folder " + dir.path().string() + " " + args
            + " 2>" + (dir / "stderr.txt").string();
        return WEXITSTATUS(std::system(command.c_str()));
    }

    std::vector<float> readWav(const fs::path& path, SF_INFO& info)
    {
        SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
        if (!f)
            return {};
        std::vector<float> data(std::size_t(info.frames * info.channels));
        sf_readf_float(f, data.data(), info.frames);
        sf_close(f);
        return data;
    }

    TempFolder dir;
    fs::path program;
};

double peakFrequency(const std::vector<float>& mono)
{
    const auto p = averagedPowerSpectrum(mono, 4096);
    std::size_t best = 1;
    for (std::size_t k = 1; k < p.size(); ++k)
        if (p[k] > p[best])
            best = k;
    return double(best) * 44100.0 / 4096.0;
}

} // namespace

TEST_F(RenderProgram, RendersAQuickMixAtTheAskedPitch)
{
    const auto out = dir / "mix.wav";
    // Pitch 2205 plays the 44100 Hz tone at half speed: 500 Hz, panned full left.
    ASSERT_EQ(run("--sound 1 --volume 255 --master 100 --pitch 2205 --pan 0 --seconds 2 --out " + out.string()), 0);
    SF_INFO info{};
    const auto data = readWav(out, info);
    EXPECT_EQ(info.samplerate, 44100);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(info.frames, 88200);
    const auto left = channelOf(data, 0);
    EXPECT_NEAR(peakFrequency(left), 500.0, 11.0);
    double rightEnergy = 0;
    for (float v : channelOf(data, 1))
        rightEnergy += double(v) * v;
    EXPECT_LT(rightEnergy, 1e-3);
    EXPECT_FALSE(fs::exists(dir / "mix.wav.part"));
}

// The shipped sounds: the same seed gives the same render, to the byte.
TEST_F(RenderProgram, TheSameSeedRendersTheShippedSoundsAlike)
{
    const std::string shipped = std::string(" --program-folder ") + std::getenv("SONAVEIL_DIST");
    for (const char* name : {"a.wav", "b.wav"})
        ASSERT_EQ(run("--sound 9,26,29 --seed 11 --seconds 2 --out " + (dir / name).string() + shipped), 0);
    std::ifstream a(dir / "a.wav", std::ios::binary), b(dir / "b.wav", std::ios::binary);
    const std::string bytesA((std::istreambuf_iterator<char>(a)), {}), bytesB((std::istreambuf_iterator<char>(b)), {});
    EXPECT_GT(bytesA.size(), 300000u);
    EXPECT_EQ(bytesA, bytesB);
}

TEST_F(RenderProgram, RendersAPresetFile)
{
    // Sound 33 on, everything else off; positions at their usual starting values.
    std::string record;
    for (int i = 1; i <= 35; ++i)
        record += (i == 33 ? "1," : "0,");
    for (int s = 1; s <= 103; ++s) {
        if (s == 98)
            continue;
        const bool pitch = (s >= 11 && s <= 20) || (s >= 43 && s <= 52) || (s >= 73 && s <= 82);
        const bool pan = (s >= 21 && s <= 30) || (s >= 53 && s <= 62) || (s >= 83 && s <= 92) || s >= 99;
        record += std::to_string(s == 32 ? 100 : pitch ? 4410 : pan ? 12 : 200) + (s == 103 ? "\r\n" : ",");
    }
    std::ofstream(dir / "mix.svp") << record;
    std::ofstream(dir / "flat.eqf") << "15,15,15,15,15,15,15,15,15,15\r\n";
    const auto out = dir / "preset.wav";
    ASSERT_EQ(run("--preset " + (dir / "mix.svp").string() + " --eq " + (dir / "flat.eqf").string()
                  + " --seconds 1 --out " + out.string()), 0);
    SF_INFO info{};
    const auto data = readWav(out, info);
    EXPECT_NEAR(peakFrequency(channelOf(data, 0)), 250.0, 11.0);
}

TEST_F(RenderProgram, AnswersBadInputWithExitStatusTwoAndOneLine)
{
    std::ofstream(dir / "short.svp") << "1,2,3\r\n";
    EXPECT_EQ(run("--preset " + (dir / "short.svp").string() + " --seconds 1 --out " + (dir / "a.wav").string()), 2);
    EXPECT_EQ(run("--preset " + (dir / "missing.svp").string() + " --seconds 1 --out " + (dir / "a.wav").string()), 2);
    EXPECT_EQ(run("--sound 2 --seconds 1 --out " + (dir / "a.wav").string()), 2); // bin/2.isz is missing
    EXPECT_EQ(run("--sound 1 --seconds 1 --out /nonexistent/folder/a.wav"), 2);
    EXPECT_EQ(run("--sound 1 --seconds 1"), 2);
    std::ifstream err(dir / "stderr.txt");
    std::string line, extra;
    std::getline(err, line);
    EXPECT_FALSE(std::getline(err, extra));
    EXPECT_NE(line.find("--out"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "a.wav"));
}

TEST_F(RenderProgram, CutsANotchOutOfTheMix)
{
    // Sound 1 is a 1 kHz tone here: a band-stop on it silences it, one elsewhere leaves it alone.
    const std::string mix = "--sound 1 --volume 180 --master 100 --seconds 2 --out ";
    auto levelDb = [&](const std::string& extra) {
        const auto out = dir / "mix.wav";
        EXPECT_EQ(run(mix + out.string() + extra), 0);
        SF_INFO info{};
        const auto left = channelOf(readWav(out, info), 0);
        double sum = 0;
        // After the band-stop has faded in.
        for (std::size_t i = 22050; i < left.size(); ++i)
            sum += double(left[i]) * left[i];
        return 10 * std::log10(sum / double(left.size() - 22050) + 1e-30);
    };
    const double plain = levelDb("");
    EXPECT_LT(levelDb(" --notch 1000 --notch-width 1") - plain, -30);
    EXPECT_LT(levelDb(" --notch 1100 --notch-width 0.5") - plain, -20);
    EXPECT_NEAR(levelDb(" --notch 4000") - plain, 0, 0.1);
}

TEST_F(RenderProgram, RefusesHostilePresetAndEqualiserFilesAtOnce)
{
    ASSERT_EQ(::mkfifo((dir / "fifo.svp").c_str(), 0600), 0);
    fs::create_directory(dir / "folder.svp");
    std::string good;
    for (int i = 0; i < 137; ++i)
        good += std::string(i == 0 ? "1" : i < 35 ? "0" : "100") + (i + 1 < 137 ? "," : "\r\n");
    {
        std::ofstream big(dir / "big.svp", std::ios::binary);
        big << good << std::string(10 << 20, ' ');
    }
    for (const char* bad : {"nan", "inf", "1e300"}) {
        std::string text = good;
        text.replace(text.find("100"), 3, bad);
        std::ofstream(dir / (std::string(bad) + ".svp"), std::ios::binary) << text;
        std::ofstream(dir / (std::string(bad) + ".eqf"), std::ios::binary) << "15,15," << bad << ",15,15,15,15,15,15,15\r\n";
    }
    const std::string out = " --seconds 1 --out " + (dir / "a.wav").string();
    for (const std::string& preset : {(dir / "fifo.svp").string(), std::string("/dev/zero"), (dir / "folder.svp").string(),
                                      (dir / "big.svp").string(), (dir / "nan.svp").string(), (dir / "inf.svp").string(),
                                      (dir / "1e300.svp").string()}) {
        SCOPED_TRACE(preset);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(run("--preset " + preset + out), 2);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    }
    for (const std::string& eq : {(dir / "fifo.svp").string(), std::string("/dev/zero"), (dir / "folder.svp").string(),
                                  (dir / "nan.eqf").string(), (dir / "inf.eqf").string(), (dir / "1e300.eqf").string()}) {
        SCOPED_TRACE(eq);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(run("--sound 1 --eq " + eq + out), 2);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    }
    std::ifstream err(dir / "stderr.txt");
    std::string line, extra;
    std::getline(err, line);
    EXPECT_FALSE(std::getline(err, extra));
    EXPECT_NE(line.find("1e300.eqf"), std::string::npos) << line;
    EXPECT_FALSE(fs::exists(dir / "a.wav"));
}

// The fade over the last seconds follows the sleep timer's curve closely and without steps, all
// the way down, and silence comes only at its very end.
TEST_F(RenderProgram, FadesOutAlongTheSleepCurveWithoutSteps)
{
    const auto out = dir / "night.wav";
    ASSERT_EQ(run("--sound 1 --volume 255 --master 100 --seconds 40 --fade-out 30 --out " + out.string()), 0);
    SF_INFO info{};
    const auto left = channelOf(readWav(out, info), 0);
    ASSERT_EQ(left.size(), 40u * 44100u);
    // The 1 kHz tone's amplitude in windows of 25 ms (25 periods).
    constexpr std::size_t window = 1102;
    auto levelDb = [&](std::size_t start) {
        double sum = 0;
        for (std::size_t i = start; i < start + window; ++i)
            sum += double(left[i]) * left[i];
        return 10 * std::log10(sum / window + 1e-30);
    };
    const double full = levelDb(5 * 44100);
    double previous = full;
    std::size_t firstSilent = left.size();
    for (std::size_t start = 10 * 44100; start + window <= left.size(); start += window) {
        const double level = levelDb(start) - full;
        const double mid = (double(start) + window / 2.0) / 44100.0;
        const double expected = 20 * std::log10(sonaveil::player::FadeOut::curve((mid - 10.0) / 30.0) + 1e-30);
        if (expected > -50) {
            EXPECT_NEAR(level, expected, 0.5) << "at " << mid << " s";
            EXPECT_LT(previous - level, 0.5 + (expected > -1 ? 0.0 : 0.3)) << "a step at " << mid << " s";
        }
        if (level < -140 && firstSilent == left.size())
            firstSilent = start;
        previous = level;
    }
    EXPECT_GT(double(firstSilent) / 44100.0, 40.0 - 2.0) << "silent too early";
    EXPECT_LT(levelDb(left.size() - window) - full, -80.0) << "not down to the dither at the end";
}
