#pragma once

#include "audio/soundfile.h"

#include <sndfile.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace sonaveil::audio {

// A sound file open for reading through libsndfile, safe against what may stand in its place:
// a FIFO or a device is refused without waiting, and the length its header claims is bounded by
// what the file's size can hold and by the longest sound we play, so that a few bytes claiming
// hours never make anyone allocate them. Every reader of sound files opens them here.
class SafeSoundFile {
public:
    // Unreadable: systemReason() says why.
    using Problem = SoundFileProblem;

    // The longest sound we play (an alarm may be a long song), in seconds.
    static constexpr sf_count_t kMaxSeconds = 3600;

    static SafeSoundFile open(const std::string& path);

    SafeSoundFile() = default;
    SafeSoundFile(SafeSoundFile&& other) noexcept;
    SafeSoundFile& operator=(SafeSoundFile&& other) noexcept;
    SafeSoundFile(const SafeSoundFile&) = delete;
    SafeSoundFile& operator=(const SafeSoundFile&) = delete;
    ~SafeSoundFile() { reset(); }
    // Closes the file.
    void reset();

    explicit operator bool() const { return m_file != nullptr; }
    SNDFILE* get() const { return m_file; }
    // Channels, rate, format; `frames` as the header claims it.
    const SF_INFO& info() const { return m_info; }
    // The most frames that may be decoded from it.
    sf_count_t maxFrames() const;
    // The header's length when it is believable (within what the file can hold, not an estimate
    // as MP3's is): room for that many frames may be set aside before decoding. 0 otherwise:
    // decode what is there.
    sf_count_t trustedFrames() const;
    // Whether at least one frame can be decoded from the start (reads it: call before decoding,
    // then seek back, or on a file opened only to check).
    bool hasFrames();

    Problem problem() const { return m_problem; }
    const std::string& systemReason() const { return m_reason; }

    // What opening `path` and decoding its first frame finds.
    static Problem check(const std::string& path, std::string* systemReason = nullptr);

private:
    SNDFILE* m_file = nullptr;
    SF_INFO m_info{};
    std::uint64_t m_bytes = 0;
    Problem m_problem = Problem::None;
    std::string m_reason;
};

// One frame of `channels` interleaved samples as mono: the channels averaged.
inline std::int16_t averagedFrame(const std::int16_t* frame, int channels)
{
    int sum = 0;
    for (int c = 0; c < channels; ++c)
        sum += frame[c];
    return std::int16_t(std::clamp(sum / channels, -32768, 32767));
}

inline float averagedFrame(const float* frame, int channels)
{
    float sum = 0.0f;
    for (int c = 0; c < channels; ++c)
        sum += frame[c];
    return std::clamp(sum / float(channels), -1.0f, 1.0f);
}

} // namespace sonaveil::audio
