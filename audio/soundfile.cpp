#include "audio/soundfile.h"

#include "audio/safesoundfile.h"

#include <algorithm>

namespace sonaveil::audio {

std::optional<SoundFileInfo> probeSoundFile(const std::string& path, SoundFileProblem* problem)
{
    const SafeSoundFile file = SafeSoundFile::open(path);
    if (problem)
        *problem = file.problem();
    if (!file)
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
    const SafeSoundFile opened = SafeSoundFile::open(path);
    if (!opened)
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
        for (sf_count_t f = 0; f < got; ++f)
            mono.push_back(averagedFrame(&block[std::size_t(f * channels)], channels));
    }
    return mono;
}

std::int64_t decodedFrames(const std::string& path)
{
    const SafeSoundFile opened = SafeSoundFile::open(path);
    if (!opened)
        return 0;
    std::vector<float> block(std::size_t(4096) * std::size_t(opened.info().channels));
    std::int64_t frames = 0;
    for (sf_count_t got; (got = sf_readf_float(opened.get(), block.data(), 4096)) > 0;)
        frames += got;
    return frames;
}

} // namespace sonaveil::audio
