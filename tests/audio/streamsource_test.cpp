// Sounds streamed from disk: a looped file at its end and across its seam, a list of files across
// its track changes, and the files that break while they play.
#include "audio/streamsource.h"

#include "audiotestutil.h"
#include "tempfolder.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sndfile.h>

using namespace sonaveil::audio;
namespace fs = std::filesystem;

namespace {

constexpr int kRate = 44100;
constexpr int kWav = SF_FORMAT_WAV | SF_FORMAT_PCM_16;

std::vector<std::int16_t> render(Generator& g, int frames)
{
    std::vector<std::int16_t> out(static_cast<std::size_t>(frames));
    // In uneven blocks, as a mixer asks.
    for (int at = 0, block = 1; at < frames; at += block, block = block * 7 % 997 + 1)
        g.generate(out.data() + at, std::min(block, frames - at));
    return out;
}

} // namespace

TEST(StreamSource, LoopedFilePlaysItsFramesThenFadesOverTheSeamAndWrapsToItsStart)
{
    TempFolder folder;
    const auto noise = whiteNoiseFrames(kRate, 0.5, 7);
    ASSERT_TRUE(writeSoundFile(folder / "noise.flac", noise, kRate, SF_FORMAT_FLAC | SF_FORMAT_PCM_16));
    const int fade = 2000;
    const LoopSeam seam{fade, kRate - 300, fade, 0.0f};
    auto source = StreamSource::file((folder / "noise.flac").string(), seam);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->rate(), kRate);

    const auto out = render(*source, 3 * kRate);
    const int loop = int(seam.end - seam.start);
    // The first pass is the file itself up to the fade.
    for (int i = 0; i < seam.end - fade; ++i)
        ASSERT_EQ(out[std::size_t(i)], noise[std::size_t(i)]) << i;
    // Over the fade the end goes out as the frames before the start come in.
    for (int i = 0; i < fade; ++i) {
        float a = 0, b = 0;
        seamGains(i, fade, 0.0f, a, b);
        const double expected = a * noise[std::size_t(seam.end - fade + i)] + b * noise[std::size_t(i)];
        ASSERT_NEAR(out[std::size_t(seam.end - fade + i)], expected, 1.5) << i;
    }
    // After the wrap the loop goes on from its start, and again after the next wrap.
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(out[std::size_t(seam.end + i)], noise[std::size_t(seam.start + i)]);
        ASSERT_EQ(out[std::size_t(seam.end + loop + i)], noise[std::size_t(seam.start + i)]);
    }
    // Unrelated sound keeps its level through the fade: equal power.
    const double elsewhere = rms(out, 5000, std::size_t(fade));
    const double atSeam = rms(out, std::size_t(seam.end - fade), std::size_t(fade));
    EXPECT_NEAR(20 * std::log10(atSeam / elsewhere), 0.0, 1.0);
}

TEST(StreamSource, FramesAreRoundedAsLroundRoundsThem)
{
    // Renders from files stay the same to the bit: every float the streams make, halves and
    // the ends of the range included, becomes the frame std::lround makes of it.
    std::vector<float> values = {0.0f, -0.0f, 0.5f / 32768, -0.5f / 32768, 1.5f / 32768, -1.5f / 32768,
                                 32766.5f / 32768, -32767.5f / 32768, 1.0f, -1.0f, 1.5f, -1.5f,
                                 std::nextafter(0.5f / 32768, 0.0f), std::nextafter(-0.5f / 32768, 0.0f)};
    std::uint32_t state = 12345;
    for (int i = 0; i < 200000; ++i) {
        state = state * 1664525u + 1013904223u;
        values.push_back((float(state >> 8) / float(1 << 24) * 2.0f - 1.0f) * 1.01f);
    }
    for (float y : values) {
        const long expected = std::clamp(std::lround(y * 32768.0f), -32768L, 32767L);
        ASSERT_EQ(toSourceFrame(y), expected) << y;
    }
}

TEST(StreamSource, SeamGainsKeepThePowerForEveryCorrelation)
{
    for (float rho : {0.0f, 0.5f, 0.95f}) {
        for (int i = 0; i < 100; i += 9) {
            float a = 0, b = 0;
            seamGains(i, 100, rho, a, b);
            EXPECT_NEAR(a * a + b * b + 2 * rho * a * b, 1.0, 1e-5) << rho << " " << i;
        }
        float a = 0, b = 0;
        seamGains(0, 100, rho, a, b);
        EXPECT_GT(a, 0.99f);
        seamGains(99, 100, rho, a, b);
        EXPECT_GT(b, 0.99f);
    }
}

TEST(StreamSource, ListPlaysItsTracksOneAfterAnotherWithoutAGapAtTheHighestRate)
{
    TempFolder folder;
    const auto first = sineFrames(440.0, 22050, 22050 / 2, 0.5);
    const auto second = sineFrames(660.0, kRate, kRate / 2, 0.5);
    ASSERT_TRUE(writeSoundFile(folder / "1.wav", first, 22050, kWav));
    ASSERT_TRUE(writeSoundFile(folder / "2.wav", second, kRate, kWav));
    auto status = std::make_shared<StreamStatus>();
    auto source = StreamSource::playlist({(folder / "1.wav").string(), (folder / "2.wav").string()}, false, 1, status);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->rate(), kRate);
    EXPECT_EQ(status->track.load(), -1);

    std::vector<std::int16_t> out(std::size_t(kRate) * 3);
    source->generate(out.data(), 1000);
    EXPECT_EQ(status->track.load(), 0);
    source->generate(out.data() + 1000, kRate / 2 + 2000 - 1000);

    // The first track, raised from 22050 Hz, lasts its half second at the new rate.
    const int join = kRate / 2;
    EXPECT_NEAR(double(out[1000]), 0.5 * 32767 * std::sin(2 * M_PI * 440.0 * 1000 / kRate), 200.0);
    // Then the second, frame for frame from its first.
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(out[std::size_t(join + i)], second[std::size_t(i)]) << i;
    EXPECT_EQ(status->track.load(), 1);
    source->generate(out.data() + kRate / 2 + 2000, int(out.size()) - kRate / 2 - 2000);
    // No stretch of 2 ms anywhere, the joins included, is more than 30 dB below its neighbours.
    const std::size_t w = kRate / 500;
    for (std::size_t at = w; at + 2 * w < out.size(); at += w / 2) {
        const double here = rms(out, at, w);
        const double around = std::max(rms(out, at - w, w), rms(out, at + w, w));
        ASSERT_GT(here, around * std::pow(10.0, -30.0 / 20.0)) << at;
    }
}

TEST(StreamSource, TrackOrderIsInOrderOrAFreshShuffleEachRoundNeverRepeatingAcrossRounds)
{
    TrackOrder ordered(3, false, 0);
    std::vector<int> got;
    for (int i = 0; i < 7; ++i)
        got.push_back(ordered.next());
    EXPECT_EQ(got, (std::vector<int>{0, 1, 2, 0, 1, 2, 0}));

    TrackOrder shuffled(5, true, 42);
    std::vector<std::vector<int>> rounds;
    int last = -1;
    for (int r = 0; r < 40; ++r) {
        std::vector<int> round;
        for (int i = 0; i < 5; ++i)
            round.push_back(shuffled.next());
        EXPECT_NE(round.front(), last) << r;
        last = round.back();
        EXPECT_EQ(std::set<int>(round.begin(), round.end()).size(), 5u);
        rounds.push_back(round);
    }
    EXPECT_GT(std::set<std::vector<int>>(rounds.begin(), rounds.end()).size(), 10u);
}

TEST(StreamSource, FilesThatBreakWhilePlayingGoSilentAndSaySo)
{
    TempFolder folder;
    const auto noise = whiteNoiseFrames(kRate * 2, 0.5, 3);
    ASSERT_TRUE(writeSoundFile(folder / "cut.wav", noise, kRate, kWav));
    auto status = std::make_shared<StreamStatus>();
    auto source = StreamSource::file((folder / "cut.wav").string(), LoopSeam{500, 0, 500, 0.0f}, status);
    ASSERT_NE(source, nullptr);
    std::vector<std::int16_t> out(kRate);
    source->generate(out.data(), kRate / 2);
    // Damaged while it plays: cut to half a second.
    fs::resize_file(folder / "cut.wav", 44 + kRate);
    source->generate(out.data(), kRate);
    EXPECT_TRUE(status->failed.load());
    EXPECT_EQ(rms(out, kRate / 2, kRate / 2), 0.0);

    // A list whose files have all vanished: silent, said once, and no endless search.
    ASSERT_TRUE(writeSoundFile(folder / "a.wav", noise, kRate, kWav));
    ASSERT_TRUE(writeSoundFile(folder / "b.wav", noise, kRate, kWav));
    auto listStatus = std::make_shared<StreamStatus>();
    auto list = StreamSource::playlist({(folder / "a.wav").string(), (folder / "b.wav").string()}, true, 5, listStatus);
    ASSERT_NE(list, nullptr);
    fs::remove(folder / "b.wav");
    list->generate(out.data(), kRate); // a.wav opened: still readable after it vanishes
    EXPECT_FALSE(listStatus->failed.load());
    fs::remove(folder / "a.wav");
    list->generate(out.data(), kRate);
    list->generate(out.data(), kRate);
    EXPECT_TRUE(listStatus->failed.load());
}
