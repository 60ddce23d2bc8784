#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sonaveil::audio {

// What the header of a sound file says, read without decoding it.
struct SoundFileInfo {
    std::int64_t frames = 0; // an estimate for MP3, exact for the other formats
    int rate = 0;
    int channels = 0;
    bool exactLength = true;
};

// Why a file could not be taken as a sound.
enum class SoundFileProblem {
    None,
    Missing,    // no file of that name
    NotRegular, // a folder, a FIFO, a device
    Unreadable, // the system refuses it
    NotAudio,   // not a sound file libsndfile can read
    NoFrames,   // a sound file with nothing in it
};

// Checks `path` as a sound file libsndfile reads (WAV, FLAC, Ogg Vorbis, Opus, MP3, …, by content)
// without decoding it. Only regular files are opened, and never in a way that waits on a FIFO or
// a device.
std::optional<SoundFileInfo> probeSoundFile(const std::string& path, SoundFileProblem* problem = nullptr);

// Decodes frames `from` … `from + count - 1` of `path` as mono floats (-1 … 1), the channels
// averaged; fewer when the file ends first, nothing when it cannot be read. count < 0: to the end.
std::vector<float> readMonoFloats(const std::string& path, std::int64_t from = 0, std::int64_t count = -1);

// The frames a file really decodes to (for MP3, whose header only estimates it); 0 when it
// cannot be read.
std::int64_t decodedFrames(const std::string& path);

} // namespace sonaveil::audio
