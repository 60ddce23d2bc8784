// The list of the user's own sounds: what is copied, what is refused and why, and the list file.
#include "player/mysounds/usersounds.h"

#include "audiotestutil.h"
#include "tempfolder.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <fstream>
#include <gtest/gtest.h>
#include <sndfile.h>

using namespace sonaveil::player;
namespace fs = std::filesystem;

namespace {

constexpr int kRate = 44100;

fs::path writeNoise(const fs::path& path, int format, int frames = kRate)
{
    EXPECT_TRUE(writeSoundFile(path, whiteNoiseFrames(frames, 0.3, 1), kRate, format));
    return path;
}

} // namespace

TEST(UserSounds, AFileIsCopiedIntoTheDataFolderAndKeepsPlayingWhenTheOriginalGoes)
{
    TempFolder home, data;
    const auto flac = writeNoise(home / "Our Fan.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    UserSounds sounds(data.path());
    const auto outcome = sounds.add(flac);
    ASSERT_EQ(outcome.result, UserSounds::Result::Added);
    // A copy: adding a second sound may move the first in the list.
    const UserSound s = sounds.at(outcome.index);
    EXPECT_EQ(s.name, "Our Fan");
    EXPECT_EQ(s.kind, UserSound::Kind::File);
    EXPECT_EQ(sounds.filePath(s), data / "sounds" / "Our Fan.flac");
    EXPECT_GT(s.seam.fade, 0);
    EXPECT_LE(s.seam.end, kRate);
    fs::remove(flac);
    EXPECT_TRUE(fs::is_regular_file(sounds.filePath(s)));

    // The same name again is a second copy beside the first.
    writeNoise(home / "Our Fan.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    const auto again = sounds.add(home / "Our Fan.flac");
    ASSERT_EQ(again.result, UserSounds::Result::Added);
    EXPECT_EQ(sounds.at(again.index).source, "Our Fan (2).flac");
    EXPECT_NE(sounds.at(again.index).id, s.id);

    // Removing a sound removes its copy and nothing else.
    const fs::path copy = sounds.filePath(sounds.at(0));
    ASSERT_TRUE(sounds.remove(0));
    EXPECT_FALSE(fs::exists(copy));
    EXPECT_TRUE(fs::exists(data / "sounds" / "Our Fan (2).flac"));
    EXPECT_EQ(sounds.count(), 1);
}

TEST(UserSounds, RefusesWhatCannotPlayWithTheReasonAndCopiesNothing)
{
    TempFolder home, data;
    UserSounds sounds(data.path());
    {
        std::ofstream text(home / "letter.mp3");
        text << "Dear all, this is not music.";
    }
    EXPECT_EQ(sounds.add(home / "letter.mp3").result, UserSounds::Result::NotAudio);
    ASSERT_EQ(::mkfifo((home / "pipe.wav").c_str(), 0600), 0);
    EXPECT_EQ(sounds.add(home / "pipe.wav").result, UserSounds::Result::NotRegular);
    EXPECT_EQ(sounds.add(home / "gone.wav").result, UserSounds::Result::Missing);
    // A FLAC whose header is good and whose frames are cut off.
    const auto damaged = writeNoise(home / "damaged.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    fs::resize_file(damaged, 200);
    EXPECT_EQ(sounds.add(damaged).result, UserSounds::Result::NotAudio);
    EXPECT_EQ(sounds.count(), 0);
    std::error_code ec;
    for (const auto& left : fs::directory_iterator(data / "sounds", ec))
        ADD_FAILURE() << "left behind: " << left.path();
}

TEST(UserSounds, TwelveAtMostTheThirteenthRefused)
{
    TempFolder home, data;
    UserSounds sounds(data.path());
    const auto wav = writeNoise(home / "short.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate / 10);
    for (int i = 0; i < UserSounds::kMaxSounds; ++i)
        ASSERT_EQ(sounds.add(wav).result, UserSounds::Result::Added) << i;
    EXPECT_EQ(sounds.add(wav).result, UserSounds::Result::Full);
    EXPECT_EQ(sounds.addFolder(home.path()).result, UserSounds::Result::Full);
    EXPECT_EQ(sounds.count(), UserSounds::kMaxSounds);
}

TEST(UserSounds, AFolderIsReferencedAsAPlaylistOfItsSoundFilesInNaturalOrder)
{
    TempFolder home, data;
    const fs::path album = home / "Album";
    fs::create_directory(album);
    for (const char* name : {"Track 10.wav", "track 2.wav", "Track 1.wav"})
        writeNoise(album / name, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1000);
    {
        std::ofstream cover(album / "cover.jpg");
        cover << "no sound";
    }
    UserSounds sounds(data.path());
    const auto outcome = sounds.add(album);
    ASSERT_EQ(outcome.result, UserSounds::Result::Added);
    EXPECT_EQ(sounds.at(outcome.index).name, "Album");
    EXPECT_EQ(sounds.add(album).result, UserSounds::Result::AlreadyThere);
    const auto tracks = UserSounds::tracksOf(album);
    ASSERT_TRUE(tracks);
    std::vector<std::string> names;
    for (const auto& t : *tracks)
        names.push_back(t.filename().string());
    EXPECT_EQ(names, (std::vector<std::string>{"Track 1.wav", "track 2.wav", "Track 10.wav"}));
    EXPECT_FALSE(fs::exists(data / "sounds" / "Track 1.wav"));

    const fs::path empty = home / "Empty";
    fs::create_directory(empty);
    EXPECT_EQ(sounds.add(empty).result, UserSounds::Result::NoTracks);
    if (::geteuid() != 0) {
        const fs::path locked = home / "Locked";
        fs::create_directory(locked);
        fs::permissions(locked, fs::perms::none);
        EXPECT_EQ(sounds.add(locked).result, UserSounds::Result::UnreadableFolder);
        fs::permissions(locked, fs::perms::owner_all);
    }
    EXPECT_FALSE(UserSounds::tracksOf(home / "Nowhere"));
}

TEST(UserSounds, TheListKeepsEverySoundAndItsControlsAcrossARestart)
{
    TempFolder home, data;
    fs::create_directory(home / "Album");
    writeNoise(home / "Album" / "a.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1000);
    {
        UserSounds sounds(data.path());
        ASSERT_EQ(sounds.add(writeNoise(home / "rain, roof.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16)).result,
                  UserSounds::Result::Added);
        ASSERT_EQ(sounds.add(home / "Album").result, UserSounds::Result::Added);
        ASSERT_TRUE(sounds.rename(0, "  Rain on \"the\" roof "));
        EXPECT_FALSE(sounds.rename(0, "   "));
        sounds.at(0).volume = 200;
        sounds.at(0).pitch = 5000;
        sounds.at(0).pan = 3;
        sounds.at(1).shuffle = true;
        ASSERT_TRUE(sounds.save());
    }
    UserSounds again(data.path());
    again.load();
    ASSERT_EQ(again.count(), 2);
    EXPECT_EQ(again.at(0).name, "Rain on \"the\" roof");
    EXPECT_EQ(again.at(0).volume, 200);
    EXPECT_EQ(again.at(0).pitch, 5000);
    EXPECT_EQ(again.at(0).pan, 3);
    EXPECT_GT(again.at(0).seam.fade, 0);
    EXPECT_EQ(again.at(1).kind, UserSound::Kind::Folder);
    EXPECT_TRUE(again.at(1).shuffle);
    EXPECT_FALSE(again.at(0).on);

    // A list edited by hand to lead a copy out of the folder loses only that sound.
    {
        std::ofstream list(again.listFile(), std::ios::app);
        list << "\"file\",\"x\",\"evil\",\"../../etc/passwd\",0,0,0,0,#FALSE#,100,4410,12\r\n";
    }
    again.load();
    EXPECT_EQ(again.count(), 2);
}

// A file-size limit makes the copy fail part way, as a full disk does.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldSignal);
    }

private:
    rlimit m_old{};
    void (*m_oldSignal)(int) = nullptr;
};

bool holdsNothing(const fs::path& folder)
{
    std::error_code ec;
    return !fs::exists(folder, ec) || fs::is_empty(folder, ec);
}

TEST(UserSounds, AnAddCancelledOrCutShortLeavesNothingInTheSoundsFolder)
{
    TempFolder home, data;
    const auto wav = writeNoise(home / "Long Rain.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate * 30);
    UserSounds sounds(data.path());

    // Cancelled before the copy begins.
    {
        UserSounds::AddJob job;
        ASSERT_EQ(sounds.begin(wav, job).result, UserSounds::Result::Added);
        job.cancel = true;
        UserSounds::work(job);
        EXPECT_EQ(job.outcome.result, UserSounds::Result::Cancelled);
        EXPECT_EQ(sounds.finish(job).result, UserSounds::Result::Cancelled);
        EXPECT_TRUE(holdsNothing(data / "sounds"));
    }
    // Cancelled once the work is done but before its result was taken: the copy goes.
    {
        UserSounds::AddJob job;
        ASSERT_EQ(sounds.begin(wav, job).result, UserSounds::Result::Added);
        UserSounds::work(job);
        ASSERT_EQ(job.outcome.result, UserSounds::Result::Added);
        EXPECT_EQ(job.permille.load(), 1000);
        EXPECT_TRUE(fs::exists(job.copy));
        job.cancel = true;
        EXPECT_EQ(sounds.finish(job).result, UserSounds::Result::Cancelled);
        EXPECT_TRUE(holdsNothing(data / "sounds"));
        EXPECT_EQ(sounds.count(), 0);
    }
    // The disk fills part way through the copy.
    {
        FileSizeLimit limit(512 * 1024);
        const auto outcome = sounds.add(wav);
        EXPECT_EQ(outcome.result, UserSounds::Result::NoRoom);
        EXPECT_FALSE(outcome.detail.empty());
    }
    EXPECT_TRUE(holdsNothing(data / "sounds"));
    EXPECT_EQ(sounds.count(), 0);
    // And once there is room, the same file goes in.
    EXPECT_EQ(sounds.add(wav).result, UserSounds::Result::Added);
    EXPECT_EQ(sounds.count(), 1);
}

TEST(UserSounds, TheListMayChangeWhileTheWorkRuns)
{
    TempFolder home, data;
    const auto wav = writeNoise(home / "Fan.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    fs::create_directory(home / "Album");
    writeNoise(home / "Album" / "01.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    UserSounds sounds(data.path());

    UserSounds::AddJob first, second;
    ASSERT_EQ(sounds.begin(home / "Album", first).result, UserSounds::Result::Added);
    ASSERT_EQ(sounds.begin(home / "Album", second).result, UserSounds::Result::Added);
    UserSounds::work(first);
    UserSounds::work(second);
    EXPECT_EQ(sounds.finish(first).result, UserSounds::Result::Added);
    EXPECT_EQ(sounds.finish(second).result, UserSounds::Result::AlreadyThere);

    // Filled to twelve meanwhile: a finished copy is not kept.
    UserSounds::AddJob late;
    ASSERT_EQ(sounds.begin(wav, late).result, UserSounds::Result::Added);
    UserSounds::work(late);
    ASSERT_TRUE(fs::exists(late.copy));
    while (sounds.count() < UserSounds::kMaxSounds)
        ASSERT_EQ(sounds.add(wav).result, UserSounds::Result::Added);
    EXPECT_EQ(sounds.finish(late).result, UserSounds::Result::Full);
    EXPECT_FALSE(fs::exists(late.copy));
}
