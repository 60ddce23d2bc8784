// Looped sound files played from their decoded copy in the cache: the same frames as the file
// across the loop's wrap and across the move from the file to the copy, never a copy of another
// version of the file or one cut short, and a cache that cannot be written.
#include "audio/cachedloop.h"
#include "audio/decodedcache.h"
#include "audio/streamsource.h"

#include "audiotestutil.h"
#include "tempfolder.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sndfile.h>

using namespace sonaveil::audio;
namespace fs = std::filesystem;

namespace {

constexpr int kRate = 44100;
constexpr int kFlac = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
// Not a whole number of any block: the wrap falls inside a read.
constexpr int kLength = 16411;

std::vector<std::int16_t> render(Generator& g, int frames)
{
    std::vector<std::int16_t> out(static_cast<std::size_t>(frames));
    for (int at = 0, block = 1; at < frames; at += block, block = block * 7 % 4099 + 1)
        g.generate(out.data() + at, std::min(block, frames - at));
    return out;
}

// What the file itself plays, looped whole.
std::vector<std::int16_t> streamed(const fs::path& file, int frames)
{
    auto source = StreamSource::file(file.string(), LoopSeam{});
    return source ? render(*source, frames) : std::vector<std::int16_t>{};
}

// The first frame at which the two differ, -1 when they are equal.
long firstDifference(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b)
{
    if (a.size() != b.size())
        return long(std::min(a.size(), b.size()));
    const auto at = std::mismatch(a.begin(), a.end(), b.begin());
    return at.first == a.end() ? -1 : long(at.first - a.begin());
}

std::string fileText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

TEST(DecodedCache, PlaysExactlyTheFramesOfTheFileAcrossTheWrapAndTheMoveToTheCopy)
{
    TempFolder folder;
    struct Case {
        const char* name;
        int rate;
        int format;
    };
    for (const Case c : {Case{"loop.flac", kRate, kFlac}, Case{"loop.wav", 48000, SF_FORMAT_WAV | SF_FORMAT_PCM_16}}) {
        SCOPED_TRACE(c.name);
        const fs::path file = folder / c.name;
        ASSERT_TRUE(writeSoundFile(file, whiteNoiseFrames(kLength, 0.9, 11), c.rate, c.format));
        const int frames = 3 * kLength + 777;
        const auto expected = streamed(file, frames);
        ASSERT_EQ(expected.size(), std::size_t(frames));

        DecodedCache cache(folder / "cache");
        auto first = CachedLoop::make(file.string(), &cache);
        ASSERT_NE(first, nullptr);
        EXPECT_FALSE(first->fromCache());
        EXPECT_EQ(first->rate(), c.rate);
        // Streamed until the copy is written, then from the copy, on from the frame it reached.
        auto heard = render(*first, kLength / 3);
        cache.waitIdle();
        const auto rest = render(*first, frames - kLength / 3);
        heard.insert(heard.end(), rest.begin(), rest.end());
        EXPECT_TRUE(first->fromCache());
        EXPECT_EQ(firstDifference(heard, expected), -1);

        // The next start reads the copy from the first frame on.
        auto second = CachedLoop::make(file.string(), &cache);
        ASSERT_NE(second, nullptr);
        EXPECT_TRUE(second->fromCache());
        EXPECT_EQ(second->rate(), c.rate);
        EXPECT_EQ(firstDifference(render(*second, frames), expected), -1);
        EXPECT_EQ(fs::file_size(cache.entryPath(file.string())),
                  std::uintmax_t(DecodedCache::kDataOffset + 2 * kLength));
    }
}

TEST(DecodedCache, ACopyOfAnotherVersionOfTheFileOrCutShortIsNeverPlayed)
{
    TempFolder folder;
    const fs::path file = folder / "sound.flac";
    const fs::path other = folder / "other.flac";
    ASSERT_TRUE(writeSoundFile(file, whiteNoiseFrames(kLength, 0.5, 1), kRate, kFlac));
    ASSERT_TRUE(writeSoundFile(other, whiteNoiseFrames(kLength, 0.5, 2), kRate, kFlac));
    DecodedCache cache(folder / "cache");
    const std::string entry = cache.entryPath(file.string());
    const auto fillAndCheck = [&] {
        cache.fill(file.string());
        cache.waitIdle();
        auto loop = CachedLoop::make(file.string(), &cache);
        ASSERT_NE(loop, nullptr);
        ASSERT_TRUE(loop->fromCache());
    };
    const auto playsTheFileItself = [&](const char* what) {
        SCOPED_TRACE(what);
        auto loop = CachedLoop::make(file.string(), &cache);
        ASSERT_NE(loop, nullptr);
        EXPECT_FALSE(loop->fromCache());
        EXPECT_EQ(firstDifference(render(*loop, 2 * kLength + 5), streamed(file, 2 * kLength + 5)), -1);
    };

    fillAndCheck();
    // The file replaced in place by other frames, its time set back to the old one.
    struct stat old {};
    ASSERT_EQ(::stat(file.c_str(), &old), 0);
    {
        const std::string replacement = fileText(other);
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << replacement;
    }
    const timespec times[2] = {old.st_atim, old.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    playsTheFileItself("replaced");

    fillAndCheck();
    fs::resize_file(entry, fs::file_size(entry) - 2);
    playsTheFileItself("cut short");

    fillAndCheck();
    // Another file's copy under this file's name.
    cache.fill(other.string());
    cache.waitIdle();
    fs::copy_file(cache.entryPath(other.string()), entry, fs::copy_options::overwrite_existing);
    playsTheFileItself("another file's copy");

    // Cut short while it plays: the rest comes from the file, at the frame the loop reached.
    fillAndCheck();
    auto playing = CachedLoop::make(file.string(), &cache);
    auto heard = render(*playing, kLength / 2);
    fs::resize_file(entry, DecodedCache::kDataOffset + 2 * 1000);
    const auto rest = render(*playing, 2 * kLength);
    heard.insert(heard.end(), rest.begin(), rest.end());
    EXPECT_FALSE(playing->fromCache());
    EXPECT_EQ(firstDifference(heard, streamed(file, kLength / 2 + 2 * kLength)), -1);

    // The copy of a file that is gone goes when a cache next writes in that folder.
    fillAndCheck();
    fs::remove(file);
    {
        DecodedCache next(folder / "cache");
        next.fill(other.string());
        next.waitIdle();
    }
    EXPECT_FALSE(fs::exists(entry));
    EXPECT_TRUE(fs::exists(cache.entryPath(other.string())));
}

TEST(DecodedCache, ACacheThatCannotBeWrittenLeavesTheFileStreamed)
{
    TempFolder folder;
    const fs::path file = folder / "sound.flac";
    ASSERT_TRUE(writeSoundFile(file, whiteNoiseFrames(kLength, 0.5, 5), kRate, kFlac));
    const auto expected = streamed(file, 2 * kLength + 9);
    std::ofstream(folder / "a file") << "in the way";
    fs::create_directory(folder / "locked");
    UnwritableFolder locked(folder / "locked");
    ASSERT_TRUE(locked.active()) << "cannot make a folder unwritable here";

    for (const fs::path& where : {folder / "a file" / "cache", folder / "locked"}) {
        SCOPED_TRACE(where.string());
        DecodedCache cache(where);
        auto loop = CachedLoop::make(file.string(), &cache);
        ASSERT_NE(loop, nullptr);
        cache.waitIdle();
        EXPECT_EQ(firstDifference(render(*loop, int(expected.size())), expected), -1);
        EXPECT_FALSE(loop->fromCache());
        EXPECT_FALSE(fs::exists(cache.entryPath(file.string())));
    }
    EXPECT_TRUE(fs::is_empty(folder / "locked"));
}
