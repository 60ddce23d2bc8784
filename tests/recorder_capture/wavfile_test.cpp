#include "recorder/capture/wavfile.h"

#include "tempfolder.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <sys/resource.h>

using namespace sonaveil::recorder;

namespace {

std::string le32(std::uint32_t v)
{
    return {char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF), char(v >> 24 & 0xFF)};
}

} // namespace

TEST(QualityTable, FlagsAndFormatsMapBothWays)
{
    EXPECT_EQ(kQualities.size(), 12u);
    for (std::size_t i = 0; i < kQualities.size(); ++i) {
        EXPECT_EQ(qualityIndexOfFlag(kQualities[i].flag), int(i));
        EXPECT_EQ(flagOfFormat(kQualities[i].format), kQualities[i].flag);
    }
    EXPECT_EQ(formatOfFlag(2048), (WavFormat{44100, 16, 2}));
    EXPECT_EQ(formatOfFlag(1), (WavFormat{11025, 8, 1}));
    EXPECT_FALSE(formatOfFlag(3));
    EXPECT_FALSE(qualityIndexOfFlag(4096));
    EXPECT_EQ(flagOfFormat({48000, 16, 2}), 0);
}

TEST(WavWriter, NewFileHasTheExactHeaderAndSizes)
{
    TempFolder folder;
    const auto path = folder / "a.wav";
    WavWriter w;
    ASSERT_EQ(w.open(path.string(), {22050, 16, 1}), WavWriter::Result::Ok);
    const char samples[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(w.write(samples, 6), WavWriter::Result::Ok);
    w.close();
    const std::string b = fileText(path);
    ASSERT_EQ(b.size(), 50u);
    EXPECT_EQ(b.substr(0, 4), "RIFF");
    EXPECT_EQ(b.substr(4, 4), le32(42));
    EXPECT_EQ(b.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(b.substr(16, 4), le32(16));
    EXPECT_EQ(b.substr(20, 4), std::string("\x01\x00\x01\x00", 4)); // PCM, mono
    EXPECT_EQ(b.substr(24, 4), le32(22050));
    EXPECT_EQ(b.substr(28, 4), le32(44100));
    EXPECT_EQ(b.substr(32, 4), std::string("\x02\x00\x10\x00", 4)); // block 2, 16 bit
    EXPECT_EQ(b.substr(36, 4), "data");
    EXPECT_EQ(b.substr(40, 4), le32(6));
    EXPECT_EQ(b.substr(44), std::string(samples, 6));
}

TEST(WavWriter, HeaderIsCurrentAfterEachUpdateWhileWriting)
{
    TempFolder folder;
    const auto path = folder / "live.wav";
    WavWriter w;
    ASSERT_EQ(w.open(path.string(), {11025, 8, 2}), WavWriter::Result::Ok);
    const std::string block(400, '\x80');
    w.write(block.data(), block.size());
    w.keepHeaderCurrent();
    w.write(block.data(), block.size()); // not yet in the header
    const auto info = readWavInfo(path.string());
    ASSERT_TRUE(info);
    EXPECT_EQ(fileText(path).substr(40, 4), le32(400));
    // A reader of a cut-off file takes everything up to the end, in whole frames.
    EXPECT_EQ(info->dataBytes, 800u);
}

TEST(WavWriter, AppendsToTheSameFormatAndRefusesAnother)
{
    TempFolder folder;
    const auto path = folder / "take.wav";
    {
        WavWriter w;
        ASSERT_EQ(w.open(path.string(), {44100, 16, 2}), WavWriter::Result::Ok);
        const std::string first(8, 'a');
        w.write(first.data(), first.size());
    }
    const std::string before = fileText(path);
    {
        WavWriter w;
        EXPECT_EQ(w.open(path.string(), {44100, 16, 1}), WavWriter::Result::OtherFormat);
        EXPECT_EQ(w.open(path.string(), {11025, 8, 2}), WavWriter::Result::OtherFormat);
    }
    EXPECT_EQ(fileText(path), before);
    {
        WavWriter w;
        ASSERT_EQ(w.open(path.string(), {44100, 16, 2}), WavWriter::Result::Ok);
        const std::string second(4, 'b');
        w.write(second.data(), second.size());
        EXPECT_EQ(w.dataBytes(), 12u);
    }
    const std::string after = fileText(path);
    EXPECT_EQ(after.substr(40, 4), le32(12));
    EXPECT_EQ(after.substr(4, 4), le32(48));
    EXPECT_EQ(after.substr(44), "aaaaaaaabbbb");
}

TEST(WavWriter, AppendToACutOffFileKeepsItsWholeFramesAndDropsAPartialOne)
{
    TempFolder folder;
    const auto path = folder / "cut.wav";
    {
        WavWriter w;
        ASSERT_EQ(w.open(path.string(), {11025, 16, 2}), WavWriter::Result::Ok);
        const std::string data(16, 'x');
        w.write(data.data(), data.size());
    }
    // Samples written after the last header update, ending in half a frame, as a killed
    // recorder leaves them.
    std::ofstream(path, std::ios::binary | std::ios::app) << "yyyyzz";
    const auto info = readWavInfo(path.string());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->dataBytes, 20u);
    WavWriter w;
    ASSERT_EQ(w.open(path.string(), {11025, 16, 2}), WavWriter::Result::Ok);
    EXPECT_EQ(w.dataBytes(), 20u);
    w.write("wwww", 4);
    w.close();
    const std::string b = fileText(path);
    EXPECT_EQ(b.substr(44), std::string(16, 'x') + "yyyywwww");
    EXPECT_EQ(b.substr(40, 4), le32(24));
}

TEST(WavWriter, RefusesFilesThatAreNoWavAndWritesEmptyOnes)
{
    TempFolder folder;
    const auto text = folder / "notes.wav";
    std::ofstream(text) << "just some text, not a sound";
    WavWriter w;
    EXPECT_EQ(w.open(text.string(), {44100, 16, 2}), WavWriter::Result::NotWav);
    EXPECT_EQ(fileText(text), "just some text, not a sound");
    const auto empty = folder / "empty.wav";
    std::ofstream(empty).close();
    EXPECT_EQ(w.open(empty.string(), {44100, 16, 2}), WavWriter::Result::Ok);
    w.close();
    EXPECT_EQ(fileText(empty).size(), 44u);
    EXPECT_EQ(w.open((folder / "no such folder" / "x.wav").string(), {44100, 16, 2}), WavWriter::Result::CannotOpen);
}

TEST(WavWriter, AFailedWriteLeavesAValidFileOfWholeFrames)
{
    TempFolder folder;
    const auto path = folder / "limited.wav";
    WavWriter w;
    ASSERT_EQ(w.open(path.string(), {44100, 16, 2}), WavWriter::Result::Ok);
    // The file-size limit stands in for a full disk: the write stops part-way.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 44 + 1000 + 2; // room for 250 frames and half of one more
    setrlimit(RLIMIT_FSIZE, &small);
    const std::string block(4000, 'q');
    const auto result = w.write(block.data(), block.size());
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_NE(result, WavWriter::Result::Ok);
    w.close();
    const std::string b = fileText(path);
    EXPECT_EQ(b.size(), 44u + 1000u);
    EXPECT_EQ(b.substr(40, 4), le32(1000));
}
