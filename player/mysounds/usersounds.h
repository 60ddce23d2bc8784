#pragma once

#include "audio/streamsource.h"

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace sonaveil::player {

// One sound of the user's own: a file copied into the data folder's "sounds", or a folder of
// tracks referenced where it is, with the state of its four controls.
struct UserSound {
    enum class Kind { File, Folder };

    // Stable while the sound exists, the key presets use: the copy's file name, or the folder's path.
    std::string id;
    std::string name;
    Kind kind = Kind::File;
    // The copy's file name in "sounds", or the folder's absolute path.
    std::string source;
    // A file's loop seam, chosen when it was added.
    audio::LoopSeam seam;
    // A folder's tracks are shuffled anew every round.
    bool shuffle = false;

    // The controls, in the ranges of a built-in sound's sliders: volume 0 … 255, pitch 10 … 7056
    // with 4410 the sound's own speed, balance 0 … 25 with 12 near the centre.
    bool on = false;
    int volume = 100;
    int pitch = 4410;
    int pan = 12;
};

// The user's own sounds, at most twelve, and their list file in the data folder's "sounds".
class UserSounds {
public:
    static constexpr int kMaxSounds = 12;
    static constexpr const char* kFolderName = "sounds";
    static constexpr const char* kListName = "sounds.txt";
    static constexpr int kNaturalPitch = 4410;
    static constexpr int kPitchMinimum = 10;
    static constexpr int kPitchMaximum = 7056;
    static constexpr int kVolumeMaximum = 255;
    static constexpr int kPanMaximum = 25;
    // A file must hold at least this much sound to loop.
    static constexpr double kShortestSeconds = 0.05;

    explicit UserSounds(std::filesystem::path userFolder);

    // Reads the list; a missing or damaged list leaves it empty (a damaged line is skipped).
    void load();
    // Writes the list atomically.
    bool save(std::string* why = nullptr) const;

    enum class Result {
        Added,
        Full,             // twelve sounds already
        Missing,          // no such file or folder
        NotRegular,       // a FIFO, a device, …
        NotAudio,         // not a sound file libsndfile reads, or damaged
        NoRoom,           // the data folder's disk cannot take the copy
        CopyFailed,       // the copy could not be written for another reason (`detail` says why)
        UnreadableFolder, // a folder that cannot be listed
        NoTracks,         // a folder without any sound file in it
        AlreadyThere,     // the folder is one of the sounds already
        Cancelled,        // the user stopped it; nothing of it is kept
        Busy,             // another sound is being added
    };
    struct Outcome {
        Outcome(Result r = Result::Added, int i = -1, std::string d = {})
            : result(r), index(i), detail(std::move(d))
        {
        }
        Result result = Result::Added;
        int index = -1;     // the new sound's, when added
        std::string detail; // the system's reason, when there is one
    };
    // Copies `file` into "sounds" and finds its loop seam.
    Outcome addFile(const std::filesystem::path& file);
    // References `folder` as a playlist.
    Outcome addFolder(const std::filesystem::path& folder);
    // Adds a file or a folder, whichever `path` is.
    Outcome add(const std::filesystem::path& path);

    // Adding in three steps, so that the long middle one (a file's copy and seam, a folder's
    // listing) can run on another thread while the window stays responsive: begin() and
    // finish() on the list's thread, work() on any, with nothing else touching the job.
    struct AddJob {
        UserSound::Kind kind = UserSound::Kind::File;
        std::filesystem::path from; // the file, or the folder's absolute path
        std::filesystem::path copy; // where a file's copy goes in "sounds"
        Outcome outcome;            // of the last step run
        audio::LoopSeam seam;
        // Set from any thread to stop the work; whatever it has copied is removed.
        std::atomic<bool> cancel{false};
        // 0 … 1000, how far the work is.
        std::atomic<int> permille{0};
    };
    // The checks that need the list; the job goes on to work() only when this says Added.
    Outcome begin(const std::filesystem::path& path, AddJob& job) const;
    static void work(AddJob& job);
    // Takes the worked job into the list; a job cancelled by now leaves nothing behind.
    Outcome finish(AddJob& job);

    bool rename(int index, const std::string& name);
    // Removes the sound, and its copy from "sounds".
    bool remove(int index);

    const std::vector<UserSound>& sounds() const { return m_sounds; }
    UserSound& at(int index) { return m_sounds.at(std::size_t(index)); }
    const UserSound& at(int index) const { return m_sounds.at(std::size_t(index)); }
    int count() const { return int(m_sounds.size()); }
    int indexOf(const std::string& id) const;

    // Where a file sound's copy lies.
    std::filesystem::path filePath(const UserSound& sound) const;
    std::filesystem::path folder() const { return m_folder; }
    std::filesystem::path listFile() const { return m_folder / kListName; }

    // The sound files of a folder, in the order of their names (numbers counted as numbers).
    // Nothing when the folder cannot be listed. Without `probe` every visible regular file is
    // listed unopened, for a reader that opens each anyway and skips what is not sound.
    static std::optional<std::vector<std::filesystem::path>> tracksOf(const std::filesystem::path& folder,
                                                                      std::string* why = nullptr, bool probe = true);
    // "Track 2" before "Track 10", case aside.
    static bool naturalLess(const std::string& a, const std::string& b);

private:
    std::string freeName(const std::string& wanted) const;

    std::filesystem::path m_folder;
    std::vector<UserSound> m_sounds;
};

} // namespace sonaveil::player
