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

    // Floating-point files hold -1 … 1: libsndfile would cut them to 0 when read as 16-bit (or,
    // asked to scale, raise their peak to full scale), so they are read as floats and converted.
    const int subformat = info.format & SF_FORMAT_SUBMASK;
    const bool floating = subformat == SF_FORMAT_FLOAT || subformat == SF_FORMAT_DOUBLE;
    std::vector<float> floats(floating ? std::size_t(4096) * std::size_t(info.channels) : 0);
    auto readBlock = [&](std::int16_t* out, sf_count_t frames) -> sf_count_t {
        if (!floating)
            return sf_readf_short(file, out, frames);
        const sf_count_t got = sf_readf_float(file, floats.data(), frames);
        for (sf_count_t i = 0; i < got * info.channels; ++i)
            out[i] = std::int16_t(std::clamp(std::lround(floats[std::size_t(i)] * 32767.0f), -32768L, 32767L));
        return got;
    };

    const sf_count_t expected = info.frames > 0 && info.frames < kMaxFrames ? info.frames : 0;
    std::vector<std::int16_t> mono;
    mono.reserve(std::size_t(expected));
    const int channels = info.channels;
    std::vector<std::int16_t> block(std::size_t(4096) * std::size_t(channels));
    for (;;) {
        const sf_count_t got = readBlock(block.data(), 4096);
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
