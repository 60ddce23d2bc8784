// Which sounds start live: ours while the option is on, a file the user put in place of ours
// as a loop, and every start with a chance of its own.
#include "player/core/channelmodel.h"
#include "player/core/endlesssounds.h"
#include "synth/digest.h"

#include "fakebinding.h"
#include "shippedsounds.h"
#include "tempfolder.h"
#include "testutil.h"

#include <algorithm>
#include <set>

#include <gtest/gtest.h>

using namespace sonaveil;
using namespace sonaveil::player;
namespace fs = std::filesystem;

namespace {

// A program folder whose bin/ holds sounds 1, 2 and 33 as we ship them; then sound 2's file is
// replaced by the user's.
class EndlessFolder : public ::testing::Test {
protected:
    EndlessFolder()
    {
        writeShippedSounds(folder.path(), {"bin/1.isz", "bin/2.isz", "bin/33.wav"});
        writeFileText(folder / "bin/2.isz", "the user's own rain");
        // Every sound but 33 has a live recipe, at 22050 Hz.
        model.endless() = EndlessSounds([this](int number, std::uint64_t seed) -> std::unique_ptr<audio::Generator> {
            made.push_back({number, seed});
            return number == 33 ? nullptr : std::make_unique<SilentGenerator>(22050, seed);
        });
        model.loadSamples(folder.path());
    }

    const FakeBinding::Channel& channelOf(int sound) { return audio.channels.at(model.entry(sound).channel); }

    TempFolder folder;
    FakeBinding audio;
    ChannelModel model{audio};
    std::vector<std::pair<int, std::uint64_t>> made;
};

} // namespace

TEST_F(EndlessFolder, OurFilePlaysLiveWithItsSlidersAppliedAsToAFile)
{
    switchOnSoundOne(model);
    EXPECT_TRUE(model.entry(1).live);
    EXPECT_EQ(std::count(audio.calls.begin(), audio.calls.end(), "play live"), 1);
    EXPECT_EQ(std::count(audio.calls.begin(), audio.calls.end(), "play"), 0);
    const auto& ch = channelOf(1);
    EXPECT_EQ(ch.sample, 0);
    EXPECT_EQ(ch.generatorRate, 22050);
    EXPECT_EQ(ch.volume, 150);
    EXPECT_EQ(ch.frequency, 44100);
    EXPECT_EQ(ch.pan, 120);
    // Off stops the live voice; on again starts a new one with another chance.
    model.setCheck(1, CheckState::Unchecked);
    EXPECT_FALSE(channelOf(1).playing);
    model.setCheck(1, CheckState::Checked);
    ASSERT_EQ(made.size(), 2u);
    EXPECT_NE(made[0].second, made[1].second);
    EXPECT_TRUE(channelOf(1).playing);
}

TEST_F(EndlessFolder, AReplacedFileAFileWithoutRecipeAndTheOptionOffPlayTheFileAsALoop)
{
    model.setCheck(2, CheckState::Checked);
    EXPECT_FALSE(model.entry(2).live);
    EXPECT_EQ(channelOf(2).sample, model.entry(2).sample);
    EXPECT_EQ(channelOf(2).loop, audio::kLoopNormal);
    EXPECT_FALSE(model.endless().shipped(2));
    EXPECT_TRUE(made.empty()) << "no generator is even made for a file that is not ours";

    model.setCheck(33, CheckState::Checked);
    EXPECT_FALSE(model.entry(33).live);
    EXPECT_EQ(channelOf(33).sample, model.entry(33).sample);

    model.endless().setEnabled(false);
    model.setCheck(1, CheckState::Checked);
    EXPECT_FALSE(model.entry(1).live);
    EXPECT_EQ(channelOf(1).sample, model.entry(1).sample);
    // Switched back on, the option applies to the next start.
    model.endless().setEnabled(true);
    model.setCheck(1, CheckState::Unchecked);
    model.setCheck(1, CheckState::Checked);
    EXPECT_TRUE(model.entry(1).live);
}

TEST_F(EndlessFolder, WithoutTheDigestFileOrWithAChangedFileNothingPlaysLive)
{
    fs::remove(folder / synth::kDigestFile);
    model.loadSamples(folder.path());
    model.setCheck(1, CheckState::Checked);
    EXPECT_FALSE(model.entry(1).live);

    // A missing file is never ours, whatever the digest file says.
    EndlessSounds endless([](int, std::uint64_t) { return std::make_unique<SilentGenerator>(); });
    endless.setProgramFolder(folder.path());
    EXPECT_FALSE(endless.shipped(3));
    EXPECT_FALSE(endless.make(3));
    EXPECT_FALSE(endless.shipped(0));
    EXPECT_FALSE(endless.shipped(36));
}

TEST_F(EndlessFolder, ABindingWithoutLiveVoicesPlaysTheFile)
{
    struct FilesOnly : FakeBinding {
        audio::ChannelHandle playGenerator(std::unique_ptr<audio::Generator> g) override
        {
            return AudioBinding::playGenerator(std::move(g));
        }
    } files;
    ChannelModel plain(files);
    plain.endless() = model.endless();
    plain.loadSamples(folder.path());
    plain.setCheck(1, CheckState::Checked);
    EXPECT_FALSE(plain.entry(1).live);
    EXPECT_EQ(files.channels.at(plain.entry(1).channel).sample, plain.entry(1).sample);
}

TEST(EndlessSeeds, AFixedSeedRepeatsAndEveryStartAndSoundDiffers)
{
    std::vector<std::uint64_t> seeds[3];
    for (int run = 0; run < 3; ++run) {
        TempFolder folder;
        writeShippedSounds(folder.path(), {"bin/1.isz", "bin/9.isz"});
        EndlessSounds endless([&](int, std::uint64_t seed) { return std::make_unique<SilentGenerator>(44100, seed); });
        endless.setProgramFolder(folder.path());
        if (run < 2)
            endless.setSeed(42);
        for (int sound : {1, 9, 1, 9})
            seeds[run].push_back(static_cast<SilentGenerator&>(*endless.make(sound)).seed);
    }
    EXPECT_EQ(seeds[0], seeds[1]);
    EXPECT_EQ(std::set<std::uint64_t>(seeds[0].begin(), seeds[0].end()).size(), 4u);
    EXPECT_NE(seeds[2], seeds[0]) << "without a seed the clock chooses";
    EXPECT_NE(EndlessSounds::seedFor(42, 1, 0), EndlessSounds::seedFor(43, 1, 0));
}

// The digest tells apart files that differ in one byte anywhere: in a lane's word, in the tail
// past the last whole group of words, across a read buffer's end, or only in length.
TEST(SampleDigest, OneChangedByteAnywhereChangesIt)
{
    TempFolder folder;
    const auto digestOf = [&](const std::string& bytes) {
        const std::string path = (folder.path() / "f.bin").string();
        writeFileText(path, bytes);
        return *synth::fileDigest(path);
    };
    std::string bytes(70000 + 13, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 131 + 7);
    const std::uint64_t original = digestOf(bytes);
    EXPECT_EQ(digestOf(bytes), original);
    std::set<std::uint64_t> seen{original};
    for (std::size_t at : {std::size_t(0), std::size_t(9), std::size_t(31), std::size_t(65535),
                           std::size_t(65536), bytes.size() - 1}) {
        std::string changed = bytes;
        changed[at] = char(changed[at] ^ 1);
        EXPECT_TRUE(seen.insert(digestOf(changed)).second) << "byte " << at;
    }
    EXPECT_TRUE(seen.insert(digestOf(bytes + std::string(1, '\0'))).second) << "a longer file";
    EXPECT_FALSE(synth::fileDigest((folder.path() / "missing").string()));
}
