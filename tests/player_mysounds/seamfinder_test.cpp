// The loop seam: a short sound repeats without a click where its end meets its start.
#include "player/mysounds/seamfinder.h"

#include "audio/streamsource.h"

#include "audiotestutil.h"
#include "tempfolder.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sndfile.h>

using namespace sonaveil;
using namespace sonaveil::player;

namespace {

constexpr int kRate = 44100;

std::vector<float> floats(const std::vector<std::int16_t>& v)
{
    std::vector<float> out;
    for (auto x : v)
        out.push_back(float(x) / 32768.0f);
    return out;
}

// The largest second difference of `v` over frames [from, to).
double largestSecondDifference(const std::vector<std::int16_t>& v, std::size_t from, std::size_t to)
{
    double most = 0.0;
    for (std::size_t i = std::max<std::size_t>(from, 1); i + 1 < to; ++i)
        most = std::max(most, std::abs(double(v[i + 1]) - 2.0 * v[i] + double(v[i - 1])));
    return most;
}

std::vector<std::int16_t> renderLoop(const std::filesystem::path& file, const audio::LoopSeam& seam, int frames)
{
    auto source = audio::StreamSource::file(file.string(), seam);
    EXPECT_NE(source, nullptr);
    std::vector<std::int16_t> out(std::size_t(frames), 0);
    if (source)
        source->generate(out.data(), frames);
    return out;
}

} // namespace

TEST(SeamFinder, AToneLoopsWithoutAClickWhereAPlainWrapWouldClick)
{
    // 4 s of a tone whose period does not divide the length: wrapping plainly jumps.
    TempFolder folder;
    const auto tone = sineFrames(441.7, kRate, 4 * kRate, 0.5);
    ASSERT_TRUE(writeSoundFile(folder / "tone.wav", tone, kRate, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    const auto seam = SeamFinder::findInFile((folder / "tone.wav").string());
    ASSERT_TRUE(seam);
    EXPECT_GT(seam->fade, 0);
    EXPECT_GT(seam->correlation, 0.99f);
    EXPECT_LE(seam->end, 4 * kRate);
    EXPECT_GE(seam->end, 4 * kRate - int(SeamFinder::kSearchSeconds * kRate));

    const auto out = renderLoop(folder / "tone.wav", *seam, 10 * kRate);
    const auto wrap = std::size_t(seam->end);
    const double elsewhere = largestSecondDifference(out, kRate, 2 * kRate);
    EXPECT_LE(largestSecondDifference(out, wrap - std::size_t(seam->fade) - 100, wrap + 100), elsewhere * 1.05 + 2);
    const auto second = wrap + std::size_t(seam->end - seam->start);
    EXPECT_LE(largestSecondDifference(out, second - 500, second + 500), elsewhere * 1.05 + 2);
    // Its level holds through the fade: no swell, no hole, 10 ms at a time.
    const std::size_t w = kRate / 100;
    const double level = rms(out, kRate, kRate);
    for (std::size_t at = wrap - std::size_t(seam->fade); at + w <= wrap; at += w / 2)
        EXPECT_NEAR(20 * std::log10(rms(out, at, w) / level), 0.0, 0.5) << at;

    // The test can tell: the plain wrap of the same sound clicks.
    const auto plain = renderLoop(folder / "tone.wav", audio::LoopSeam{0, 4 * kRate, 0, 0.0f}, 5 * kRate);
    EXPECT_GT(largestSecondDifference(plain, 4 * kRate - 2, 4 * kRate + 2), elsewhere * 2);
}

TEST(SeamFinder, NoiseKeepsItsLevelAcrossTheSeam)
{
    const auto noise = floats(whiteNoiseFrames(3 * kRate, 0.5, 11));
    const auto seam = SeamFinder::find(noise, kRate);
    EXPECT_EQ(seam.fade, int(std::lround(SeamFinder::kFadeSeconds * kRate)));
    EXPECT_EQ(seam.start, seam.fade);
    EXPECT_LT(std::abs(seam.correlation), 0.2f);
    // What the fade makes: the two windows at the seam's gains, at the level of the rest.
    double seamPower = 0.0, rest = 0.0;
    for (int i = 0; i < seam.fade; ++i) {
        float a = 0, b = 0;
        audio::seamGains(i, seam.fade, seam.correlation, a, b);
        const double v = a * noise[std::size_t(seam.end - seam.fade + i)] + b * noise[std::size_t(i)];
        seamPower += v * v;
        rest += double(noise[std::size_t(kRate + i)]) * noise[std::size_t(kRate + i)];
    }
    EXPECT_NEAR(10 * std::log10(seamPower / rest), 0.0, 0.5);
}

TEST(SeamFinder, ShortAndSilentSoundsStillGetAUsableSeam)
{
    // Too short for a fade: a plain loop over the whole sound.
    const std::vector<float> blip(40, 0.25f);
    const auto plain = SeamFinder::find(blip, kRate);
    EXPECT_EQ(plain.fade, 0);
    EXPECT_EQ(plain.start, 0);
    EXPECT_EQ(plain.end, 40);
    // Silence: any seam, as long as it fits.
    const std::vector<float> silence(kRate, 0.0f);
    const auto quiet = SeamFinder::find(silence, kRate);
    EXPECT_GE(quiet.start, quiet.fade);
    EXPECT_GT(quiet.end - quiet.start, quiet.fade);
    EXPECT_LE(quiet.end, kRate);
    // A long sound is searched from its ends only, with the same result as whole.
    const auto tone = floats(sineFrames(300.3, kRate, 3 * kRate, 0.4));
    const std::int64_t tailStart = 3 * kRate - kRate;
    const auto fromEnds = SeamFinder::find(std::span<const float>(tone).first(kRate),
                                           std::span<const float>(tone).subspan(std::size_t(tailStart)), tailStart,
                                           3 * kRate, kRate);
    EXPECT_EQ(fromEnds, SeamFinder::find(tone, kRate));
}
