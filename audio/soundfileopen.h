#pragma once

#include "audio/soundfile.h"

#include <sndfile.h>

#include <string>

namespace sonaveil::audio {

// A sound file open for reading through libsndfile, closed with the object.
class OpenSoundFile {
public:
    OpenSoundFile() = default;
    ~OpenSoundFile() { reset(); }
    OpenSoundFile(OpenSoundFile&& other) noexcept;
    OpenSoundFile& operator=(OpenSoundFile&& other) noexcept;
    OpenSoundFile(const OpenSoundFile&) = delete;
    OpenSoundFile& operator=(const OpenSoundFile&) = delete;

    // Opens `path`, but only a regular file, and without blocking: the file is opened
    // non-blocking (a FIFO with no writer or a device cannot hold us up), checked to be a
    // regular file on the open descriptor (no race with a swap), and only then handed to
    // libsndfile. False, with `problem` saying why, otherwise. Every reader of sound files in
    // the engine opens them here.
    bool open(const std::string& path, SoundFileProblem* problem = nullptr);
    void reset();

    explicit operator bool() const { return m_file != nullptr; }
    SNDFILE* get() const { return m_file; }
    const SF_INFO& info() const { return m_info; }

private:
    SNDFILE* m_file = nullptr;
    int m_fd = -1; // ours: libsndfile is told not to close it
    SF_INFO m_info{};
};

} // namespace sonaveil::audio
