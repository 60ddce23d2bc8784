// How soon a sound is heard after it is first switched on: the engine decodes a sample on its
// first play, on a thread of its own, and the voice sounds as soon as its first second is there.
// For every catalogue file of a program folder this plays it on the real output (the default
// PulseAudio sink) and times playSound() until the voice can sound and until the whole sample is
// decoded, with the file in the page cache (warm) and evicted from it (cold, as after a reboot).
// Prints the median and the worst of each; the output's own buffer (100 ms) comes on top for the
// listener in every case alike.
//
// The sounds that play live need no decoding: for each of them it times making the generator
// and starting its voice (what the player does on the interface thread when the sound is
// switched on), and, apart, the generator's first batch as the source worker makes it, which
// the voice waits for before it sounds.
//
// Last, the player's own path: its channel model makes the generators on a worker, so switching
// a sound on returns at once and its voice starts when the worker is done. Timed per sound: the
// switching call (what the interface thread spends) and the time until the voice is started, the
// check of the sample file included (the first start of each sound in a run); then the sounds of
// a resumed mix switched on together, 12 and all 35, until the last of them can sound, live and
// from the files.
//
//     bench_firstplay <program folder>

#include "audio/engine.h"
#include "audio/livesource.h"
#include "player/core/channelmodel.h"
#include "synth/endless.h"

#include "benchstats.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace sonaveil::audio;

// Asks the kernel to forget the file's cached pages (works without privileges for clean pages).
void evict(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return;
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

void warm(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return;
    char buffer[65536];
    while (std::fread(buffer, 1, sizeof buffer, f) == sizeof buffer) {
    }
    std::fclose(f);
}

// The longest of the times `v` (not empty), and the place it has in v.
std::pair<double, std::size_t> worst(const std::vector<double>& v)
{
    const auto at = std::max_element(v.begin(), v.end());
    return {*at, std::size_t(at - v.begin())};
}

struct Times {
    std::vector<double> sounds, decoded; // milliseconds after playSound(), one per file
};

Times timeFirstPlays(const std::vector<std::string>& files, bool cold)
{
    Engine engine;
    engine.init(44100, 32, kInitEnableSystemChannelFx);
    Times t;
    for (const std::string& path : files) {
        if (cold)
            evict(path);
        else
            warm(path);
        const SampleHandle s = engine.loadSample(kFree, path, kSampleNormal, 0, 0);
        if (s == 0)
            continue;
        const auto start = Clock::now();
        const ChannelHandle h = engine.playSound(kFree, s);
        engine.setVolume(h, 0);
        auto since = [&] { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); };
        while (!engine.samplePlayable(s))
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        t.sounds.push_back(since());
        while (!engine.sampleDecoded(s))
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        t.decoded.push_back(since());
        engine.stopSound(h);
    }
    engine.close();
    return t;
}

struct LiveTimes {
    std::vector<double> started, firstBlock; // milliseconds, one per live sound
    std::vector<int> numbers;
};

LiveTimes timeLiveStarts()
{
    Engine engine;
    engine.init(44100, 32, kInitEnableSystemChannelFx);
    LiveTimes t;
    auto ms = [](Clock::time_point from) {
        return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
    };
    for (int n = 1; n <= 35; ++n) {
        const auto start = Clock::now();
        auto generator = sonaveil::synth::makeEndless(n, 1000 + std::uint64_t(n));
        if (!generator)
            continue;
        const ChannelHandle h = engine.playGenerator(kFree, std::move(generator));
        t.started.push_back(ms(start));
        t.numbers.push_back(n);
        engine.setVolume(h, 0);
        // The first batch of another one, as the source worker makes it.
        LiveSource source(sonaveil::synth::makeEndless(n, 2000 + std::uint64_t(n)));
        const auto first = Clock::now();
        source.fill(int(source.rate() * LiveSource::kBatchSeconds));
        t.firstBlock.push_back(ms(first));
        engine.stopSound(h);
    }
    engine.close();
    return t;
}

// Takes what the worker made until no sound waits for its generator any more.
void awaitVoices(sonaveil::player::ChannelModel& model)
{
    for (;;) {
        model.takeMade();
        bool waiting = false;
        for (int n = 1; n <= sonaveil::player::kSoundCount; ++n)
            waiting = waiting || model.entry(n).making;
        if (!waiting)
            return;
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
}

struct ModelTimes {
    std::vector<double> call, started; // milliseconds, one per live sound
    std::vector<int> numbers;
};

// Sounds 1 … `count` switched on at once through a new model on a new engine, as the player's
// start-up resumes a mix: milliseconds until the last of them can sound, live (every file checked
// and every generator made on the model's worker) or from the files (decoded by the engine).
double together(const std::filesystem::path& folder, int count, bool live)
{
    using sonaveil::player::ChannelModel;
    Engine engine;
    engine.setOutput(kOutputNoSound);
    engine.init(44100, 64, kInitEnableSystemChannelFx);
    sonaveil::player::EngineBinding binding(engine);
    ChannelModel model(binding, ChannelModel::Making::OnWorker);
    model.loadSamples(folder);
    model.endless().setEnabled(live);
    const auto start = Clock::now();
    for (int n = 1; n <= count; ++n)
        model.setCheck(n, sonaveil::CheckState::Checked);
    awaitVoices(model);
    for (int n = 1; n <= count; ++n)
        while (!model.entry(n).live && !engine.samplePlayable(model.entry(n).sample))
            std::this_thread::sleep_for(std::chrono::microseconds(50));
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    engine.close();
    return ms;
}

ModelTimes timeModelStarts(const std::filesystem::path& folder)
{
    using sonaveil::player::ChannelModel;
    ModelTimes t;
    auto ms = [](Clock::time_point from, Clock::time_point to) {
        return std::chrono::duration<double, std::milli>(to - from).count();
    };
    Engine engine;
    engine.setOutput(kOutputNoSound);
    engine.init(44100, 64, kInitEnableSystemChannelFx);
    sonaveil::player::EngineBinding binding(engine);
    {
        ChannelModel model(binding, ChannelModel::Making::OnWorker);
        model.loadSamples(folder);
        for (int n = 1; n <= sonaveil::player::kSoundCount; ++n) {
            const auto start = Clock::now();
            model.setCheck(n, sonaveil::CheckState::Checked);
            const auto returned = Clock::now();
            awaitVoices(model);
            if (model.entry(n).live) {
                t.call.push_back(ms(start, returned));
                t.started.push_back(ms(start, Clock::now()));
                t.numbers.push_back(n);
            }
            model.setCheck(n, sonaveil::CheckState::Unchecked);
        }
    }
    engine.close();
    return t;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <program folder>\n", argv[0]);
        return 2;
    }
    std::vector<std::string> files;
    for (int n = 1; n <= 35; ++n)
        files.push_back((std::filesystem::path(argv[1]) / ("bin/" + std::to_string(n) + (n <= 30 ? ".isz" : ".wav")))
                            .string());
    for (bool cold : {false, true}) {
        const Times t = timeFirstPlays(files, cold);
        if (t.sounds.empty()) {
            std::printf("no sample file could be read\n");
            return 1;
        }
        std::printf("%s cache, %zu sounds: sounds after median %.1f ms (worst %.1f), wholly decoded after median "
                    "%.1f ms (worst %.1f)\n",
                    cold ? "cold" : "warm", t.sounds.size(), median(t.sounds),
                    worst(t.sounds).first, median(t.decoded),
                    worst(t.decoded).first);
    }
    const LiveTimes live = timeLiveStarts();
    if (live.started.empty()) {
        std::printf("live: no sound has a live recipe\n");
        return 0;
    }
    const auto [slowest, slowestAt] = worst(live.started);
    std::printf("live, %zu sounds: generator made and voice started after median %.2f ms (worst %.2f, sound %d); "
                "first batch generated in median %.2f ms (worst %.2f)\n",
                live.started.size(), median(live.started), slowest, live.numbers[slowestAt],
                median(live.firstBlock), *std::max_element(live.firstBlock.begin(), live.firstBlock.end()));
    // The first start in a process also sets up what every later one shares.
    std::printf("live, first start in the process: %.2f ms (sound %d)\n", live.started.front(), live.numbers.front());
    const ModelTimes model = timeModelStarts(argv[1]);
    if (model.started.empty()) {
        std::printf("live through the channel model: no sound started live\n");
        return 1;
    }
    const auto [latest, latestAt] = worst(model.started);
    std::printf("live through the channel model's worker, %zu sounds: switching on returns after median %.3f ms "
                "(worst %.3f); the voice starts after median %.2f ms (worst %.2f, sound %d), the file's check included\n",
                model.started.size(), median(model.call), worst(model.call).first,
                median(model.started), latest, model.numbers[latestAt]);
    for (int count : {12, 35})
        std::printf("switched on together through the channel model, %d sounds: the last can sound after %.1f ms live, "
                    "%.1f ms from the files\n", count, together(argv[1], count, true), together(argv[1], count, false));
    return 0;
}
