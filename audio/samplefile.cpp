#include "audio/sample.h"

#include "audio/safesoundfile.h"

#include <algorithm>
#include <cmath>
#include <sndfile.h>

namespace sonaveil::audio {

std::unique_ptr<Sample> makeSample(std::vector<std::int16_t> monoFrames, int rate)
{
    if (monoFrames.empty() || rate <= 0)
        return nullptr;
    auto sample = std::make_unique<Sample>();
    sample->frames = int(monoFrames.size());
    sample->rate = rate;
    auto& s = sample->storage;
    s.assign(std::size_t(Sample::kMarginBefore), 0);
    s.reserve(Sample::kMarginBefore + monoFrames.size() + Sample::kMarginAfter);
    s.insert(s.end(), monoFrames.begin(), monoFrames.end());
    s.resize(s.size() + Sample::kMarginAfter);
    fillMargins(s, sample->frames);
    return sample;
}

void fillMargins(std::vector<std::int16_t>& storage, int frames)
{
    if (frames <= 0)
        return;
    std::int16_t* first = storage.data() + Sample::kMarginBefore;
    // A sound shorter than a margin repeats in it as often as it fits.
    for (int i = 1; i <= Sample::kMarginBefore; ++i)
        first[-i] = first[frames - 1 - (i - 1) % frames];
    for (int i = 0; i < Sample::kMarginAfter; ++i)
        first[frames + i] = first[i % frames];
}

std::unique_ptr<Sample> openSampleFile(const std::string& path, SafeSoundFile::Problem* problem)
{
    SafeSoundFile file = SafeSoundFile::open(path);
    // A header alone says little: the first frame must decode.
    const SafeSoundFile::Problem found = !file ? file.problem()
                                   : file.hasFrames() ? SafeSoundFile::Problem::None
                                                      : SafeSoundFile::Problem::NoFrames;
    if (problem)
        *problem = found;
    if (found != SafeSoundFile::Problem::None)
        return nullptr;
    auto sample = std::make_unique<Sample>();
    sample->rate = file.info().samplerate;
    sample->ready.store(false, std::memory_order_relaxed);
    return sample;
}

namespace {

// Reads the frames of `file` as mono into `out` (room for `capacity` frames), calling `progress`
// with the count so far every few blocks. Returns the frames read.
template <typename Progress>
sf_count_t readMono(SNDFILE* file, int channels, std::int16_t* out, sf_count_t capacity, Progress progress)
{
    constexpr sf_count_t kBlock = 4096;
    std::vector<std::int16_t> block(std::size_t(kBlock) * std::size_t(channels));
    sf_count_t done = 0;
    int blocks = 0;
    while (done < capacity) {
        const sf_count_t got = sf_readf_short(file, block.data(), std::min(kBlock, capacity - done));
        if (got <= 0)
            break;
        for (sf_count_t f = 0; f < got; ++f)
            out[done + f] = averagedFrame(&block[std::size_t(f * channels)], channels);
        done += got;
        if (++blocks % 4 == 0)
            progress(done);
    }
    return done;
}

} // namespace

void decodeInto(Sample& sample, const std::string& path)
{
    SafeSoundFile file = SafeSoundFile::open(path);
    // A file whose length is exact in its header (and within what the file can hold) is decoded
    // in place, front to back, and can be played while that goes on; others (MP3 only estimates
    // its length) are decoded whole first.
    const sf_count_t length = file.trustedFrames();
    if (length <= 0) {
        file.reset();
        if (auto decoded = loadSampleFile(path)) {
            sample.frames = decoded->frames;
            sample.storage = std::move(decoded->storage);
        } else {
            sample.frames = 0;
            sample.storage.assign(Sample::kMarginBefore + Sample::kMarginAfter, 0);
        }
        sample.ready.store(true, std::memory_order_release);
        return;
    }

    sample.storage.assign(std::size_t(Sample::kMarginBefore + length + Sample::kMarginAfter), 0);
    std::int16_t* frames = sample.storage.data() + Sample::kMarginBefore;
    // The margin before frame 0 is the loop's last frame, not known yet: a voice only reads it
    // once the sample is ready.
    const sf_count_t got = readMono(file.get(), file.info().channels, frames, length, [&](sf_count_t done) {
        sample.available.store(int(std::max<sf_count_t>(0, done - Sample::kMarginAfter)), std::memory_order_release);
    });
    file.reset();
    // A file shorter than its header says keeps the room it asked for; only `got` frames count.
    fillMargins(sample.storage, int(got));
    sample.frames = int(got);
    sample.ready.store(true, std::memory_order_release);
}

std::unique_ptr<Sample> loadSampleFile(const std::string& path)
{
    SafeSoundFile sound = SafeSoundFile::open(path);
    if (!sound)
        return nullptr;
    SNDFILE* file = sound.get();
    const SF_INFO& info = sound.info();

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

    // Room for what the header claims only when the file can hold it; otherwise the frames
    // that are really there decide.
    const sf_count_t limit = sound.maxFrames();
    std::vector<std::int16_t> mono;
    mono.reserve(std::size_t(sound.trustedFrames()));
    const int channels = info.channels;
    std::vector<std::int16_t> block(std::size_t(4096) * std::size_t(channels));
    for (;;) {
        const sf_count_t got = readBlock(block.data(), 4096);
        if (got <= 0)
            break;
        if (channels == 1) {
            mono.insert(mono.end(), block.begin(), block.begin() + got);
        } else {
            for (sf_count_t f = 0; f < got; ++f)
                mono.push_back(averagedFrame(&block[std::size_t(f * channels)], channels));
        }
        if (sf_count_t(mono.size()) >= limit) {
            mono.resize(std::size_t(limit));
            break;
        }
    }
    mono.shrink_to_fit();
    return makeSample(std::move(mono), info.samplerate);
}

} // namespace sonaveil::audio
