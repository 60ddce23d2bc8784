#include "audio/soundfileopen.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace sonaveil::audio {

OpenSoundFile::OpenSoundFile(OpenSoundFile&& other) noexcept
    : m_file(std::exchange(other.m_file, nullptr))
    , m_fd(std::exchange(other.m_fd, -1))
    , m_info(other.m_info)
{
}

OpenSoundFile& OpenSoundFile::operator=(OpenSoundFile&& other) noexcept
{
    if (this != &other) {
        reset();
        m_file = std::exchange(other.m_file, nullptr);
        m_fd = std::exchange(other.m_fd, -1);
        m_info = other.m_info;
    }
    return *this;
}

void OpenSoundFile::reset()
{
    if (m_file)
        sf_close(m_file);
    if (m_fd >= 0)
        ::close(m_fd);
    m_file = nullptr;
    m_fd = -1;
    m_info = SF_INFO{};
}

bool OpenSoundFile::open(const std::string& path, SoundFileProblem* problem)
{
    reset();
    auto fail = [&](SoundFileProblem why) {
        if (problem)
            *problem = why;
        reset();
        return false;
    };
    m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (m_fd < 0)
        return fail(errno == ENOENT || errno == ENOTDIR ? SoundFileProblem::Missing : SoundFileProblem::Unreadable);
    struct stat st {};
    if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode))
        return fail(SoundFileProblem::NotRegular);
    // The decoders should see an ordinary descriptor.
    if (const int flags = ::fcntl(m_fd, F_GETFL); flags >= 0)
        ::fcntl(m_fd, F_SETFL, flags & ~O_NONBLOCK);
    m_info = SF_INFO{};
    m_file = sf_open_fd(m_fd, SFM_READ, &m_info, SF_FALSE);
    if (!m_file)
        return fail(SoundFileProblem::NotAudio);
    if (m_info.channels <= 0 || m_info.samplerate <= 0 || m_info.samplerate > 1'000'000)
        return fail(SoundFileProblem::NotAudio);
    if (problem)
        *problem = SoundFileProblem::None;
    return true;
}

std::optional<SoundFileInfo> probeSoundFile(const std::string& path, SoundFileProblem* problem)
{
    OpenSoundFile file;
    if (!file.open(path, problem))
        return std::nullopt;
    const SF_INFO& info = file.info();
    if (info.frames <= 0) {
        if (problem)
            *problem = SoundFileProblem::NotAudio;
        return std::nullopt;
    }
    SoundFileInfo result;
    result.frames = info.frames;
    result.rate = info.samplerate;
    result.channels = info.channels;
    result.exactLength = (info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_MPEG;
    return result;
}

std::vector<float> readMonoFloats(const std::string& path, std::int64_t from, std::int64_t count)
{
    OpenSoundFile opened;
    if (!opened.open(path))
        return {};
    SNDFILE* file = opened.get();
    const SF_INFO& info = opened.info();
    std::vector<float> mono;
    if (from > 0 && sf_seek(file, from, SEEK_SET) < 0)
        return {};
    constexpr sf_count_t kBlock = 4096;
    const int channels = info.channels;
    std::vector<float> block(std::size_t(kBlock) * std::size_t(channels));
    while (count < 0 || std::int64_t(mono.size()) < count) {
        sf_count_t want = kBlock;
        if (count >= 0)
            want = std::min<sf_count_t>(want, count - std::int64_t(mono.size()));
        const sf_count_t got = sf_readf_float(file, block.data(), want);
        if (got <= 0)
            break;
        for (sf_count_t f = 0; f < got; ++f) {
            float sum = 0.0f;
            for (int c = 0; c < channels; ++c)
                sum += block[std::size_t(f * channels + c)];
            mono.push_back(std::clamp(sum / float(channels), -1.0f, 1.0f));
        }
    }
    return mono;
}

std::int64_t decodedFrames(const std::string& path)
{
    OpenSoundFile opened;
    if (!opened.open(path))
        return 0;
    std::vector<float> block(std::size_t(4096) * std::size_t(opened.info().channels));
    std::int64_t frames = 0;
    for (sf_count_t got; (got = sf_readf_float(opened.get(), block.data(), 4096)) > 0;)
        frames += got;
    return frames;
}

} // namespace sonaveil::audio
