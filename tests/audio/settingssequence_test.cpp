// Settings handed from one thread to another without a lock: each write is read at most once,
// and a read never mixes two writes.
#include "audio/settingssequence.h"

#include <gtest/gtest.h>

#include <thread>

using sonaveil::audio::SettingsSequence;

namespace {

// Halves a write keeps equal, so that a torn read shows; wider than one word.
struct Pair {
    long first = 0;
    long second = 0;
};

} // namespace

TEST(SettingsSequence, EachWriteIsReadOnceAndWhole)
{
    SettingsSequence<Pair> settings;
    std::uint32_t seen = 0;
    EXPECT_FALSE(settings.readNew(seen)) << "nothing written yet";
    settings.write({3, 3});
    const auto first = settings.readNew(seen);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->first, 3);
    EXPECT_FALSE(settings.readNew(seen)) << "read already";

    // A writer on another thread: every read that comes back is one whole write, newer each time.
    constexpr long kWrites = 200000;
    std::thread writer([&] {
        for (long v = 4; v <= kWrites; ++v)
            settings.write({v, v});
    });
    long last = 3;
    int reads = 0, torn = 0, stale = 0;
    while (last < kWrites) {
        if (const auto got = settings.readNew(seen)) {
            torn += got->first != got->second;
            stale += got->first <= last;
            last = got->first;
            ++reads;
        }
    }
    writer.join();
    EXPECT_EQ(torn, 0) << "reads that mixed two writes";
    EXPECT_EQ(stale, 0) << "reads of a write read before";
    EXPECT_GT(reads, 0);
}
