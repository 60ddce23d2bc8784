// How soon a sound is heard after it is first switched on: the engine decodes a sample on its
// first play, on a thread of its own. For every catalogue file of a program folder this plays it
// on the real output (the default PulseAudio sink) and times playSound() until the sample is
// decoded and the voice can sound, with the file in the page cache (warm) and evicted from it
// (cold, as after a reboot). Prints the median and the worst of each; the output's own buffer
// (100 ms) comes on top for the listener in both cases alike.
//
//     bench_firstplay <program folder>

#include "audio/engine.h"

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

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Milliseconds from playSound() until the sample is ready, for each file.
std::vector<double> timeFirstPlays(const std::vector<std::string>& files, bool cold)
{
    Engine engine;
    engine.init(44100, 32, kInitEnableSystemChannelFx);
    std::vector<double> ms;
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
        while (!engine.sampleDecoded(s))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        engine.stopSound(h);
    }
    engine.close();
    return ms;
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
        const auto ms = timeFirstPlays(files, cold);
        if (ms.empty()) {
            std::printf("no sample file could be read\n");
            return 1;
        }
        std::printf("%s cache: %zu sounds, first play ready after median %.1f ms, worst %.1f ms\n",
                    cold ? "cold" : "warm", ms.size(), median(ms), *std::max_element(ms.begin(), ms.end()));
    }
    return 0;
}
