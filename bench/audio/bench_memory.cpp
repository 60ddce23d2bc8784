// Memory the engine takes for the catalogue: 35 samples of 30 s mono 16-bit (44100 Hz), compared
// with the samples' own size. Prints the resident growth and the peak above the start.
#include "audio/engine.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sndfile.h>
#include <string>
#include <vector>

namespace fs = std::filesystem;

static long statusKb(const char* key)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + std::string(key).size());
    return 0;
}

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
    for (int n = 1; n <= kSounds; ++n)
        engine.loadSample(-1, (dir / (std::to_string(n) + ".isz")).string(), 0x130, 0, 0);
    const long after = statusKb("VmRSS:");
    const long peak = statusKb("VmHWM:");
    const double samplesKb = double(kSounds) * kRate * kSeconds * 2 / 1024.0;
    std::printf("samples' own size   %8.0f KiB\n", samplesKb);
    std::printf("engine resident     %8ld KiB  (%.1f%% of the samples)\n", after - before, 100.0 * double(after - before) / samplesKb);
    std::printf("peak while loading  %8ld KiB  (%.1f%% of the samples)\n", peak - before, 100.0 * double(peak - before) / samplesKb);
    fs::remove_all(dir);
    return 0;
}
