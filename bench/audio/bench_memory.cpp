// Memory the engine takes for the catalogue: 35 samples of 30 s mono 16-bit (44100 Hz), compared
// with the samples' own size. Samples are decoded when first played, so the engine's growth is
// printed after loading all 35, after playing 12 of them, and after playing all 35.
#include "audio/engine.h"

#include "benchstats.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sndfile.h>
#include <string>
#include <vector>

namespace fs = std::filesystem;

int main()
{
    constexpr int kSounds = 35, kRate = 44100, kSeconds = 30;
    std::string pattern = (fs::temp_directory_path() / "sonaveil-mem-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return 1;
    const fs::path dir = pattern;
    {
        std::vector<short> frames(std::size_t(kRate) * kSeconds);
        for (std::size_t i = 0; i < frames.size(); ++i)
            frames[i] = short(8000 * std::sin(double(i) * 0.05));
        for (int n = 1; n <= kSounds; ++n) {
            SF_INFO info{};
            info.samplerate = kRate;
            info.channels = 1;
            info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
            SNDFILE* f = sf_open((dir / (std::to_string(n) + ".isz")).c_str(), SFM_WRITE, &info);
            sf_writef_short(f, frames.data(), sf_count_t(frames.size()));
            sf_close(f);
        }
    }

    // Reset the peak mark so that only the engine's own growth counts.
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = statusKb("VmRSS:");
    sonaveil::audio::Engine engine;
    engine.setOutput(sonaveil::audio::kOutputNoSound);
    engine.init(kRate, 32, 0);
    std::vector<sonaveil::audio::SampleHandle> handles;
    for (int n = 1; n <= kSounds; ++n)
        handles.push_back(engine.loadSample(-1, (dir / (std::to_string(n) + ".isz")).string(), 0x130, 0, 0));
    const double sampleKb = double(kRate) * kSeconds * 2 / 1024.0;
    std::vector<float> block(2 * 4410);
    auto report = [&](const char* what, int playing) {
        const long now = statusKb("VmRSS:");
        std::printf("%-28s %8ld KiB  (%d samples' own size: %.0f KiB)\n", what, now - before, playing,
                    sampleKb * playing);
    };
    report("loaded, none played", 0);
    for (int n = 0; n < 12; ++n)
        engine.playSound(-1, handles[std::size_t(n)]);
    engine.renderOffline(block.data(), 4410);
    report("12 played", 12);
    for (int n = 12; n < kSounds; ++n)
        engine.playSound(-1, handles[std::size_t(n)]);
    engine.renderOffline(block.data(), 4410);
    report("all 35 played", kSounds);
    std::printf("%-28s %8ld KiB\n", "peak", statusKb("VmHWM:") - before);
    fs::remove_all(dir);
    return 0;
}
