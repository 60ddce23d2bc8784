#pragma once

#include "recorder/capture/wavformat.h"

#include <cstdint>
#include <optional>
#include <string>

namespace sonaveil::recorder {

// What the header of an existing WAV file says, with the audio actually present.
struct WavInfo {
    WavFormat format;
    bool pcm = false;            // plain integer PCM (format tag 1)
    std::uint64_t dataOffset = 0; // first byte of the samples
    // Sample bytes in whole frames. For a file whose header lags its contents (a recording that
    // was cut off), the bytes present rather than the header's count.
    std::uint64_t dataBytes = 0;
    bool dataIsLast = false;     // nothing follows the samples, so they can be extended
};

// Reads the RIFF/WAVE chunks of `path`; nothing when it is not a readable WAV file.
std::optional<WavInfo> readWavInfo(const std::string& path);

// Writes PCM samples into a WAV file and keeps its header true: the sizes are rewritten (and
// the file synced to disk) whenever `keepHeaderCurrent` is called, so a file cut off at any
// moment plays up to the last update.
class WavWriter {
public:
    enum class Result { Ok, CannotOpen, NotWav, OtherFormat, CannotExtend, DiskFull, TooLarge, WriteFailed };

    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // Creates `path`, or appends to it when it exists and holds the same format. A file of
    // another format (or one that is no WAV) is left untouched.
    Result open(const std::string& path, const WavFormat& format);
    bool isOpen() const { return m_fd >= 0; }
    // Appends whole frames. On failure the file keeps every frame written before and a valid header.
    Result write(const void* bytes, std::size_t count);
    // Brings the header's sizes up to date and flushes the file to the disk.
    void keepHeaderCurrent();
    // Updates the header and closes the file.
    void close();

    const WavFormat& format() const { return m_format; }
    // Sample bytes in the file, including those there before an append.
    std::uint64_t dataBytes() const { return m_dataBytes; }

private:
    void writeHeaderSizes();

    int m_fd = -1;
    WavFormat m_format;
    std::uint64_t m_dataOffset = 0;
    std::uint64_t m_dataBytes = 0;
};

} // namespace sonaveil::recorder
