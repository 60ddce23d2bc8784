// The user's sounds on the engine's voices, and the state a preset keeps of them.
#include "player/mysounds/uservoices.h"

#include "audiotestutil.h"
#include "fakebinding.h"
#include "tempfolder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <fstream>
#include <mutex>
#include <thread>
#include <sndfile.h>

using namespace sonaveil;
using namespace sonaveil::player;
namespace fs = std::filesystem;

namespace {

constexpr int kWav = SF_FORMAT_WAV | SF_FORMAT_PCM_16;

struct VoicesSetup {
    TempFolder home, data;
    UserSounds sounds{data.path()};
    FakeBinding binding;
    int master = 100;
    UserVoices voices{sounds, binding, [this] { return master; }};

    VoicesSetup()
    {
        writeSoundFile(home / "fan.wav", whiteNoiseFrames(22050, 0.3, 1), 22050, kWav);
        writeSoundFile(home / "sea.flac", whiteNoiseFrames(48000, 0.3, 2), 48000, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
        fs::create_directory(home / "Album");
        writeSoundFile(home / "Album" / "1.wav", sineFrames(300, 32000, 3200, 0.3), 32000, kWav);
        writeSoundFile(home / "Album" / "2.wav", sineFrames(300, 44100, 4410, 0.3), 44100, kWav);
        for (const char* name : {"fan.wav", "sea.flac", "Album"})
            EXPECT_EQ(sounds.add(home / name).result, UserSounds::Result::Added);
    }
    FakeBinding::Channel* channelOf(int index) { return binding.live(binding.lastHandle - index); }
};

} // namespace

TEST(UserVoices, ASoundOnPlaysStreamedWithItsControlsLikeABuiltInSound)
{
    VoicesSetup t;
    t.sounds.at(0).volume = 200;
    t.sounds.at(0).pitch = 2205;
    t.sounds.at(0).pan = 25;
    t.master = 75;
    t.voices.setOn(0, true);
    ASSERT_EQ(t.binding.channels.size(), 1u);
    const auto& c = t.binding.channels.begin()->second;
    EXPECT_EQ(c.generatorRate, 22050);
    EXPECT_EQ(c.volume, 150);         // 200 / 100 × 75
    EXPECT_EQ(c.frequency, 11025);    // half its own speed
    EXPECT_EQ(c.pan, 250);
    t.master = 50;
    t.voices.masterUpdate();
    EXPECT_EQ(t.binding.channels.begin()->second.volume, 100);
    t.voices.setVolume(0, 999);
    EXPECT_EQ(t.sounds.at(0).volume, 255);

    // A folder: the highest rate of its tracks; its playing track is known.
    t.voices.setOn(2, true);
    const int handle = t.binding.lastHandle;
    EXPECT_EQ(t.binding.channels[handle].generatorRate, 44100);
    std::vector<audio::SourceFrame> frames(100);
    t.binding.generators[handle]->generate(frames.data(), 100);
    EXPECT_EQ(fs::path(t.voices.playingTrack(2)).filename(), "1.wav");
    EXPECT_EQ(t.voices.playingTrack(0), "");

    t.voices.setOn(0, false);
    EXPECT_FALSE(t.binding.channels.begin()->second.playing);
    t.voices.stopAll();
    EXPECT_FALSE(t.voices.anyOn());
}

TEST(UserVoices, ASoundWhoseFileBreaksIsToldOnce)
{
    VoicesSetup t;
    fs::remove(t.sounds.filePath(t.sounds.at(1)));
    t.voices.setOn(1, true);
    EXPECT_EQ(t.voices.takeFailures(), std::vector<std::string>{"sea"});
    EXPECT_TRUE(t.voices.takeFailures().empty());
    EXPECT_TRUE(t.sounds.at(1).on);

    // Cut short while it plays: its voice goes silent, and says so.
    t.voices.setOn(0, true);
    fs::resize_file(t.sounds.filePath(t.sounds.at(0)), 1000);
    std::vector<audio::SourceFrame> frames(40000);
    t.binding.generators[t.binding.lastHandle]->generate(frames.data(), 40000);
    EXPECT_EQ(t.voices.takeFailures(), std::vector<std::string>{"fan"});
}

TEST(UserVoices, APresetsStateComesBackAndWhatIsGoneIsNamed)
{
    VoicesSetup t;
    t.voices.setOn(0, true);
    t.voices.setVolume(0, 33);
    t.voices.setPitch(0, 5000);
    t.voices.setPan(0, 4);
    t.voices.setOn(2, true);
    const auto kept = t.voices.capture();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0], (CompanionFile::Entry{t.sounds.at(0).id, "fan", 33, 5000, 4}));

    // Another mix, then the preset's again.
    t.voices.setOn(0, false);
    t.voices.setOn(1, true);
    t.voices.setVolume(0, 200);
    std::vector<int> changed;
    t.voices.changed = [&](int i) { changed.push_back(i); };
    EXPECT_TRUE(t.voices.apply(kept).empty());
    EXPECT_TRUE(t.sounds.at(0).on);
    EXPECT_FALSE(t.sounds.at(1).on);
    EXPECT_TRUE(t.sounds.at(2).on);
    EXPECT_EQ(t.sounds.at(0).volume, 33);
    EXPECT_EQ(t.voices.capture(), kept);
    EXPECT_EQ(changed.size(), 3u);

    // Without a companion nothing of the user's plays.
    EXPECT_TRUE(t.voices.apply({}).empty());
    EXPECT_FALSE(t.voices.anyOn());

    // A sound removed since, and one whose copy vanished: both named, the rest applied.
    auto withGone = kept;
    withGone.push_back({"old id", "Old Sound", 10, 4410, 12});
    fs::remove(t.sounds.filePath(t.sounds.at(0)));
    const auto missing = t.voices.apply(withGone);
    EXPECT_EQ(missing, (std::vector<std::string>{"Old Sound", "fan"}));
    EXPECT_TRUE(t.sounds.at(2).on);
    EXPECT_TRUE(t.voices.takeFailures().empty()); // already told
}

// Work handed back by the folder's thread, run when the test says.
struct PostQueue {
    std::mutex mutex;
    std::vector<std::function<void()>> work;
    UserVoices::Post post()
    {
        return [this](std::function<void()> f) {
            const std::lock_guard lock(mutex);
            work.push_back(std::move(f));
        };
    }
    // Waits (generously) for `count` pieces of work, then runs them.
    bool runWhenThere(std::size_t count)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        for (;;) {
            {
                const std::lock_guard lock(mutex);
                if (work.size() >= count)
                    break;
            }
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        std::vector<std::function<void()>> taken;
        {
            const std::lock_guard lock(mutex);
            taken.swap(work);
        }
        for (auto& f : taken)
            f();
        return true;
    }
};

TEST(UserVoices, AFoldersPlaylistIsMadeOffTheCallersThreadAndALateOneIsDropped)
{
    TempFolder home, data;
    fs::create_directory(home / "Album");
    writeSoundFile(home / "Album" / "1.wav", sineFrames(300, 32000, 3200, 0.3), 32000, kWav);
    writeSoundFile(home / "Album" / "2.flac", sineFrames(300, 48000, 4800, 0.3), 48000,
                   SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    UserSounds sounds(data.path());
    ASSERT_EQ(sounds.add(home / "Album").result, UserSounds::Result::Added);
    // Found after the folder was added: listed, passed over as it plays.
    {
        std::ofstream(home / "Album" / "cover.txt") << "not a sound";
    }
    FakeBinding binding;
    PostQueue queue;
    UserVoices voices(sounds, binding, [] { return 100; }, queue.post());
    std::vector<int> changes;
    voices.changed = [&](int index) { changes.push_back(index); };

    voices.setOn(0, true);
    EXPECT_TRUE(binding.channels.empty()) << "the voice starts once its playlist is made";
    EXPECT_TRUE(voices.starting(0));
    ASSERT_TRUE(queue.runWhenThere(1));
    EXPECT_FALSE(voices.starting(0));
    ASSERT_EQ(binding.channels.size(), 1u);
    const int handle = binding.lastHandle;
    EXPECT_EQ(binding.channels[handle].generatorRate, 48000);
    std::vector<audio::SourceFrame> frames(48000 / 5);
    binding.generators[handle]->generate(frames.data(), int(frames.size()));
    EXPECT_EQ(fs::path(voices.playingTrack(0)).filename(), "1.wav");
    EXPECT_EQ(changes.back(), 0);

    // Off, and on and off again, before the playlists arrive: nothing starts.
    voices.setOn(0, false);
    voices.setOn(0, true);
    voices.setOn(0, false);
    ASSERT_TRUE(queue.runWhenThere(1));
    EXPECT_EQ(binding.channels.size(), 1u);
    // On again: only the last start's playlist plays.
    voices.setOn(0, true);
    ASSERT_TRUE(queue.runWhenThere(1));
    int playing = 0;
    for (const auto& [h, c] : binding.channels)
        playing += c.playing ? 1 : 0;
    EXPECT_EQ(playing, 1);
    EXPECT_EQ(binding.channels.size(), 2u);
}
