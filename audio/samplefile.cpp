#include "audio/sample.h"

#include <algorithm>
#include <cmath>
#include <sndfile.h>

namespace sonaveil::audio {

namespace {
// An alarm may be a long song; nothing we play needs more than an hour.
constexpr sf_count_t kMaxFrames = sf_count_t(3600) * 192000;
}

std::unique_ptr<Sample> makeSample(std::vector<std::int16_t> monoFrames, int rate)
{
    if (monoFrames.empty() || rate <= 0)
        return nullptr;
    auto sample = std::make_unique<Sample>();
    sample->frames = int(monoFrames.size());
    sample->rate = rate;
    auto& s = sample->storage;
    s.reserve(Sample::kMarginBefore + monoFrames.size() + Sample::kMarginAfter);
    s.push_back(monoFrames.back());
    s.insert(s.end(), monoFrames.begin(), monoFrames.end());
    for (int i = 0; i < Sample::kMarginAfter; ++i)
        s.push_back(monoFrames[std::size_t(i) % monoFrames.size()]);
    return sample;
}

double Sample::speedOfVersion(int k)
{
    return std::exp2(double(k + 1) / 4.0);
}

int Sample::versionFor(double speed)
{
    if (!(speed > 1.0))
        return -1;
    const int k = int(std::ceil(4.0 * std::log2(speed) - 1e-9)) - 1;
    return std::clamp(k, 0, kVersions - 1);
}

std::unique_ptr<Sample> openSampleFile(const std::string& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return nullptr;
    sf_close(file);
    if (info.channels <= 0 || info.samplerate <= 0 || info.samplerate > 1'000'000 || info.frames <= 0)
        return nullptr;
    auto sample = std::make_unique<Sample>();
    sample->rate = info.samplerate;
    sample->ready.store(false, std::memory_order_relaxed);
    return sample;
}

void decodeInto(Sample& sample, const std::string& path)
{
    if (auto decoded = loadSampleFile(path)) {
        sample.frames = decoded->frames;
        sample.storage = std::move(decoded->storage);
    } else {
        sample.frames = 0;
        sample.storage.assign(Sample::kMarginBefore + Sample::kMarginAfter, 0);
    }
    sample.ready.store(true, std::memory_order_release);
}

std::unique_ptr<Sample> loadSampleFile(const std::string& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return nullptr;
    struct Closer {
        SNDFILE* f;
        ~Closer() { sf_close(f); }
    } closer{file};

    if (info.channels <= 0 || info.samplerate <= 0 || info.samplerate > 1'000'000)
        return nullptr;

    const sf_count_t expected = info.frames > 0 && info.frames < kMaxFrames ? info.frames : 0;
    std::vector<std::int16_t> mono;
    mono.reserve(std::size_t(expected));
    const int channels = info.channels;
    std::vector<std::int16_t> block(std::size_t(4096) * std::size_t(channels));
    for (;;) {
        const sf_count_t got = sf_readf_short(file, block.data(), 4096);
        if (got <= 0)
            break;
        if (channels == 1) {
            mono.insert(mono.end(), block.begin(), block.begin() + got);
        } else {
            for (sf_count_t f = 0; f < got; ++f) {
                int sum = 0;
                for (int c = 0; c < channels; ++c)
                    sum += block[std::size_t(f * channels + c)];
                mono.push_back(std::int16_t(std::clamp(sum / channels, -32768, 32767)));
            }
        }
        if (sf_count_t(mono.size()) >= kMaxFrames)
            break;
    }
    mono.shrink_to_fit();
    return makeSample(std::move(mono), info.samplerate);
}

} // namespace sonaveil::audio
