#include "audio/sample.h"

#include "audiotestutil.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sndfile.h>

using namespace sonaveil::audio;

TEST(SampleFile, FormatComesFromTheContentNotTheName)
{
    TempFolder dir;
    struct Case {
        const char* name;
        int format;
        int rate; // MP3 knows only a few rates
    } cases[] = {
        {"wav.isz", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 33000},
        {"flac.isz", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 33000},
        {"ogg.wav", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 33000},
        {"mp3.isz", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeSoundFile(dir / c.name, sineFrames(440, c.rate, c.rate, 0.5), c.rate, c.format));
        auto sample = loadSampleFile((dir / c.name).string());
        ASSERT_TRUE(sample);
        EXPECT_EQ(sample->rate, c.rate);
        // Lossy coders may pad the end with frames of their own.
        EXPECT_NEAR(sample->frames, c.rate, 2400);
    }
}

TEST(SampleFile, StereoIsMixedDownAndTheMarginsRepeatTheOtherEnd)
{
    TempFolder dir;
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open((dir / "st.wav").c_str(), SFM_WRITE, &info);
    const std::int16_t frames[] = {100, 300, -200, -400, 1000, 3000, 7, 9, 11, 13};
    sf_writef_short(f, frames, 5);
    sf_close(f);
    auto s = loadSampleFile((dir / "st.wav").string());
    ASSERT_TRUE(s);
    ASSERT_EQ(s->frames, 5);
    EXPECT_EQ(s->data()[0], 200);
    EXPECT_EQ(s->data()[1], -300);
    EXPECT_EQ(s->data()[4], 12);
    EXPECT_EQ(s->data()[-1], 12);   // before frame 0: the last frame
    EXPECT_EQ(s->data()[5], 200);   // after the last: the first frames again
    EXPECT_EQ(s->data()[6], -300);
}

TEST(SampleFile, HoldsSixteenBitFramesWithoutWaste)
{
    auto s = makeSample(std::vector<std::int16_t>(44100 * 30, 1), 44100);
    EXPECT_LE(s->bytes(), 2u * (44100u * 30u + Sample::kMarginBefore + Sample::kMarginAfter) + 64u);
}

TEST(SampleFile, FloatingPointFilesKeepTheirLevel)
{
    TempFolder dir;
    std::vector<float> frames(44100);
    for (std::size_t i = 0; i < frames.size(); ++i)
        frames[i] = float(0.5 * std::sin(2 * M_PI * 440.0 * double(i) / 44100));
    for (int format : {SF_FORMAT_WAV | SF_FORMAT_FLOAT, SF_FORMAT_WAV | SF_FORMAT_DOUBLE}) {
        SF_INFO info{};
        info.samplerate = 44100;
        info.channels = 1;
        info.format = format;
        SNDFILE* f = sf_open((dir / "float.wav").c_str(), SFM_WRITE, &info);
        ASSERT_NE(f, nullptr);
        sf_writef_float(f, frames.data(), sf_count_t(frames.size()));
        sf_close(f);
        auto sample = loadSampleFile((dir / "float.wav").string());
        ASSERT_TRUE(sample);
        int peak = 0;
        for (int i = 0; i < sample->frames; ++i)
            peak = std::max(peak, std::abs(int(sample->data()[i])));
        EXPECT_NEAR(peak, 16384, 200) << format;
    }
}
