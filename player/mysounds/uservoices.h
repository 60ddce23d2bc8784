#pragma once

#include "audio/streamsource.h"
#include "player/core/audiobinding.h"
#include "player/mysounds/companionfile.h"
#include "player/mysounds/usersounds.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sonaveil::player {

// What the user's own sounds do to the engine: each sound that is on plays on a voice streamed
// from its file or its folder, with its volume (scaled by the master, as a built-in sound's),
// its pitch as a playback speed and its balance. It also takes and gives the state that a
// preset's companion file keeps.
class UserVoices {
public:
    // Runs a function on the thread that owns these voices, later (through its event loop).
    using Post = std::function<void(std::function<void()>)>;
    // `master` is the master slider's position (0 … 100). With `post`, a folder's tracks are
    // listed and opened on a thread of their own, and its voice starts once they are: a slow or
    // network folder never holds up the caller. Without it, everything happens in setOn().
    UserVoices(UserSounds& sounds, AudioBinding& audio, std::function<int()> master, Post post = {});
    ~UserVoices();
    UserVoices(const UserVoices&) = delete;
    UserVoices& operator=(const UserVoices&) = delete;

    // Switches sound `index` on or off (when its state changes). A sound whose file or folder
    // cannot be read stays on, silent, and is reported by takeFailures().
    void setOn(int index, bool on);
    void setVolume(int index, int volume);
    void setPitch(int index, int pitch);
    void setPan(int index, int pan);
    // Applies every sound's volume again (the master moved).
    void masterUpdate();
    // Switches every sound off.
    void stopAll();
    // Before a sound is removed from the list: its voice stops.
    void forget(int index);

    bool anyOn() const;
    // The names of sounds that went silent because their file vanished or was damaged, or whose
    // tracks cannot be read, each told once per start.
    std::vector<std::string> takeFailures();
    // A folder sound whose playlist is still being made.
    bool starting(int index) const;
    // The file a folder sound plays now ("" when none, or for a file sound).
    std::string playingTrack(int index) const;

    // The state a preset keeps: the sounds that are on.
    std::vector<CompanionFile::Entry> capture() const;
    // Applies a preset's state: the sounds listed are set and on, every other one off. Returns
    // the names of listed sounds that no longer exist or cannot be read.
    std::vector<std::string> apply(const std::vector<CompanionFile::Entry>& entries);

    // The frequency a voice of `rate` Hz receives at `pitch` (4410: its own speed).
    static int frequencyFor(int rate, int pitch);

    // Called after a sound's state changed here (the page moves its controls).
    std::function<void(int index)> changed;

private:
    struct Voice {
        audio::ChannelHandle channel = 0;
        int rate = 0;
        std::shared_ptr<audio::StreamStatus> status;
        std::vector<std::string> tracks;
        bool told = false;
        std::uint64_t start = 0; // which start this voice is, so that a late playlist finds its own
        bool pending = false;    // its playlist is being made
    };
    struct Playlist {
        std::vector<std::string> tracks;
        std::unique_ptr<audio::StreamSource> source;
    };
    static Playlist makePlaylist(const std::string& folder, bool shuffle, std::uint64_t seed,
                                 std::shared_ptr<audio::StreamStatus> status);
    void play(int index, std::unique_ptr<audio::StreamSource> source);
    void playlistMade(const std::string& id, std::uint64_t start, Playlist playlist);
    void start(int index);
    void stop(int index);
    Voice& voiceOf(int index) { return m_voices[m_sounds.at(index).id]; }
    void applyControls(int index);
    // Sets one control of sound `index` (an index that names none is ignored) and applies it.
    void setControl(int index, int UserSound::*control, int value);

    UserSounds& m_sounds;
    AudioBinding& m_audio;
    std::function<int()> m_master;
    Post m_post;
    std::map<std::string, Voice> m_voices;
    std::uint64_t m_starts = 0;
};

} // namespace sonaveil::player
