#include "audio/safesoundfile.h"

#include "common/regularfile.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace sonaveil::audio {

namespace {

// The highest rate we take a file at; above it a header is nonsense.
constexpr int kMaxRate = 1'000'000;
// The rate at which the longest sound is measured: a faster file plays for a shorter time.
constexpr int kMaxLongRate = 192'000;
// Compressed formats (FLAC, Vorbis, Opus, MP3) hold far less than a byte per frame only for
// silence; a header claiming more than this many frames per byte is not believed.
constexpr sf_count_t kMaxCompressedFramesPerByte = 256;

// Bytes per sample of the uncompressed encodings, 0 for the others. FLAC and Ogg name the
// width of what they compress in the same field.
int bytesPerSample(int format)
{
    const int container = format & SF_FORMAT_TYPEMASK;
    if (container == SF_FORMAT_FLAC || container == SF_FORMAT_OGG || container == SF_FORMAT_MPEG)
        return 0;
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
        return 1;
    case SF_FORMAT_PCM_16:
        return 2;
    case SF_FORMAT_PCM_24:
        return 3;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
        return 4;
    case SF_FORMAT_DOUBLE:
        return 8;
    default:
        return 0;
    }
}

} // namespace

SafeSoundFile SafeSoundFile::open(const std::string& path)
{
    SafeSoundFile sound;
    RegularFile file = RegularFile::open(path);
    if (!file) {
        using P = RegularFile::Problem;
        sound.m_problem = file.problem() == P::Missing      ? Problem::Missing
                        : file.problem() == P::Unreadable ? Problem::Unreadable
                                                          : Problem::NotRegular;
        sound.m_reason = file.systemReason();
        return sound;
    }
    sound.m_bytes = file.size();
    // libsndfile closes the descriptor with the file (also when it refuses it).
    SNDFILE* handle = sf_open_fd(file.release(), SFM_READ, &sound.m_info, SF_TRUE);
    if (!handle) {
        sound.m_problem = Problem::NotAudio;
        return sound;
    }
    if (sound.m_info.channels <= 0 || sound.m_info.samplerate <= 0 || sound.m_info.samplerate > kMaxRate) {
        sf_close(handle);
        sound.m_problem = Problem::NotAudio;
        return sound;
    }
    sound.m_file = handle;
    return sound;
}

SafeSoundFile::SafeSoundFile(SafeSoundFile&& other) noexcept
    : m_file(std::exchange(other.m_file, nullptr))
    , m_info(other.m_info)
    , m_bytes(other.m_bytes)
    , m_problem(other.m_problem)
    , m_reason(std::move(other.m_reason))
{
}

SafeSoundFile& SafeSoundFile::operator=(SafeSoundFile&& other) noexcept
{
    if (this != &other) {
        reset();
        m_file = std::exchange(other.m_file, nullptr);
        m_info = other.m_info;
        m_bytes = other.m_bytes;
        m_problem = other.m_problem;
        m_reason = std::move(other.m_reason);
    }
    return *this;
}

void SafeSoundFile::reset()
{
    if (m_file)
        sf_close(m_file);
    m_file = nullptr;
}

sf_count_t SafeSoundFile::maxFrames() const
{
    // Frames are counted in int further on; an hour at 192 kHz is far below its range.
    return m_file ? kMaxSeconds * sf_count_t(std::min(m_info.samplerate, kMaxLongRate)) : 0;
}

sf_count_t SafeSoundFile::trustedFrames() const
{
    if (!m_file || m_info.frames <= 0 || (m_info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_MPEG)
        return 0;
    const int width = bytesPerSample(m_info.format);
    const auto bytes = sf_count_t(std::min<std::uint64_t>(m_bytes, std::uint64_t(1) << 50));
    const sf_count_t held = width > 0 ? bytes / (sf_count_t(width) * m_info.channels)
                                      : bytes * kMaxCompressedFramesPerByte;
    return m_info.frames <= held && m_info.frames <= maxFrames() ? m_info.frames : 0;
}

bool SafeSoundFile::hasFrames()
{
    if (!m_file)
        return false;
    std::array<float, 64> frame{};
    // One frame of up to 64 channels; wider files read into a larger buffer.
    std::vector<float> wide(m_info.channels > 64 ? std::size_t(m_info.channels) : 0);
    return sf_readf_float(m_file, wide.empty() ? frame.data() : wide.data(), 1) == 1;
}

SafeSoundFile::Problem SafeSoundFile::check(const std::string& path, std::string* systemReason)
{
    SafeSoundFile sound = open(path);
    if (sound && !sound.hasFrames())
        sound.m_problem = Problem::NoFrames;
    if (systemReason)
        *systemReason = sound.m_reason;
    return sound.m_problem;
}

} // namespace sonaveil::audio
