#include "audio/sample.h"
#include "audio/soundfile.h"
#include "audio/streamsource.h"

#include "audiotestutil.h"
#include "tempfolder.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <sys/stat.h>
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

namespace {

// A FLAC file whose STREAMINFO claims `claimed` frames: the 36-bit count sits in the low bits of
// the eight big-endian bytes at offset 18.
std::string claiming(std::string flac, std::uint64_t claimed)
{
    std::uint64_t field = 0;
    for (int i = 0; i < 8; ++i)
        field = field << 8 | std::uint8_t(flac[std::size_t(18 + i)]);
    field = (field & ~((std::uint64_t(1) << 36) - 1)) | claimed;
    for (int i = 7; i >= 0; --i, field >>= 8)
        flac[std::size_t(18 + i)] = char(field & 0xff);
    return flac;
}

} // namespace

// Every reader of sound files: samples, streams, probes and whole reads.
TEST(SampleFile, AFifoOrADeviceInPlaceOfAFileIsRefusedAtOnceAndSaysWhy)
{
    TempFolder dir;
    ASSERT_EQ(::mkfifo((dir / "6.isz").c_str(), 0600), 0);
    std::filesystem::create_directory(dir / "folder.isz");
    writeFileText(dir / "text.isz", "not a sound at all, only words");
    struct Case {
        std::string path;
        SafeSoundFile::Problem problem;
    };
    for (const Case& c : {Case{(dir / "6.isz").string(), SafeSoundFile::Problem::NotRegular},
                          Case{"/dev/zero", SafeSoundFile::Problem::NotRegular},
                          Case{(dir / "folder.isz").string(), SafeSoundFile::Problem::NotRegular},
                          Case{(dir / "missing.isz").string(), SafeSoundFile::Problem::Missing},
                          Case{(dir / "text.isz").string(), SafeSoundFile::Problem::NotAudio}}) {
        SCOPED_TRACE(c.path);
        // Each call would wait for good on a FIFO that was opened the plain way.
        SafeSoundFile::Problem problem = SafeSoundFile::Problem::None;
        EXPECT_FALSE(openSampleFile(c.path, &problem));
        EXPECT_EQ(problem, c.problem);
        EXPECT_EQ(SafeSoundFile::check(c.path), c.problem);
        problem = SafeSoundFile::Problem::None;
        EXPECT_FALSE(probeSoundFile(c.path, &problem));
        EXPECT_EQ(problem, c.problem);
        EXPECT_TRUE(readMonoFloats(c.path).empty());
        EXPECT_EQ(decodedFrames(c.path), 0);
        EXPECT_EQ(StreamSource::file(c.path, {}), nullptr);
        EXPECT_FALSE(loadSampleFile(c.path));
        Sample sample;
        sample.ready = false;
        decodeInto(sample, c.path);
        EXPECT_TRUE(sample.ready);
        EXPECT_EQ(sample.frames, 0);
    }
}

TEST(SampleFile, AHeaderClaimingFarMoreThanTheFileHoldsDecodesWhatIsThere)
{
    TempFolder dir;
    const int rate = 44100;
    ASSERT_TRUE(writeSoundFile(dir / "real.isz", sineFrames(440, rate, 3000, 0.5), rate, SF_FORMAT_FLAC | SF_FORMAT_PCM_16));
    const std::string real = fileText(dir / "real.isz");
    ASSERT_EQ(real.substr(0, 4), "fLaC");
    writeFileText(dir / "huge.isz", claiming(real, 600'000'000));
    {
        SafeSoundFile file = SafeSoundFile::open((dir / "huge.isz").string());
        ASSERT_TRUE(file);
        ASSERT_EQ(file.info().frames, 600'000'000) << "the header says so";
        EXPECT_EQ(file.trustedFrames(), 0) << "and is not believed";
    }

    auto opened = openSampleFile((dir / "huge.isz").string());
    ASSERT_TRUE(opened) << "its first frames decode";
    decodeInto(*opened, (dir / "huge.isz").string());
    EXPECT_EQ(opened->frames, 3000);
    EXPECT_LT(opened->bytes(), std::size_t(1) << 20);
    auto loaded = loadSampleFile((dir / "huge.isz").string());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->frames, 3000);
    EXPECT_LT(loaded->bytes(), std::size_t(1) << 20);

    // The header alone, claiming hours and holding nothing: no sound, said so.
    std::string bare = claiming(real, 600'000'000).substr(0, 42);
    bare[4] = char(std::uint8_t(bare[4]) | 0x80); // the last metadata block
    writeFileText(dir / "bare.isz", bare);
    SafeSoundFile::Problem problem = SafeSoundFile::Problem::None;
    EXPECT_FALSE(openSampleFile((dir / "bare.isz").string(), &problem));
    EXPECT_NE(problem, SafeSoundFile::Problem::None);

    // A believable header is still taken at its word: room set aside once, the file decoded in place.
    SafeSoundFile file = SafeSoundFile::open((dir / "real.isz").string());
    EXPECT_EQ(file.trustedFrames(), 3000);
}
