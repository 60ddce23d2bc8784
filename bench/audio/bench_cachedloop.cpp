// What the source worker spends on a built-in sound played from a file: decoding the FLAC as it
// plays against reading its decoded copy from the cache (warm in the page cache, as it is after
// the first round), for the first N sounds of a program folder, in percent of one core for the
// N voices playing in real time. Also the time the first fill of the cache takes, and that each
// sound plays the same frames from its copy as from its file, over two rounds of its loop.
//
//   build/bench/bench_cachedloop [program folder (build/dist)] [sounds 1 … N (12)] [runs (5)]
#include "audio/cachedloop.h"
#include "audio/decodedcache.h"
#include "audio/streamsource.h"

#include "benchstats.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace sonaveil::audio;

namespace {

constexpr int kSeconds = 120;
// What the worker asks of a voice at once: 0.3 s.
constexpr int kBatch = 13230;

// Processor seconds to make kSeconds of every voice, a batch of each in turn as the worker does.
double play(std::vector<std::unique_ptr<Generator>>& voices)
{
    std::vector<SourceFrame> out(static_cast<std::size_t>(kBatch));
    const double start = cpuSeconds();
    const int rate = voices.front()->rate();
    for (long made = 0; made < long(kSeconds) * rate; made += kBatch)
        for (auto& voice : voices)
            voice->generate(out.data(), kBatch);
    return cpuSeconds() - start;
}

// Whether the copy plays exactly the file's frames over two rounds and a little more.
bool sameFrames(const std::string& file, DecodedCache& cache)
{
    auto fromFile = StreamSource::file(file, LoopSeam{});
    auto fromCache = CachedLoop::make(file, &cache);
    if (!fromFile || !fromCache || !fromCache->fromCache())
        return false;
    const long frames = 2 * (fromFile->seam().end - fromFile->seam().start) + 4321;
    std::vector<SourceFrame> a(static_cast<std::size_t>(Generator::kMaxFrames));
    std::vector<SourceFrame> b(a.size());
    for (long done = 0; done < frames; done += Generator::kMaxFrames) {
        fromFile->generate(a.data(), Generator::kMaxFrames);
        fromCache->generate(b.data(), Generator::kMaxFrames);
        if (a != b)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const fs::path dist = argc > 1 ? fs::path(argv[1]) : fs::path("build/dist");
    const int count = argc > 2 ? std::max(1, std::atoi(argv[2])) : 12;
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    std::vector<std::string> files;
    for (int n = 1; n <= count; ++n) {
        const fs::path isz = dist / "bin" / (std::to_string(n) + ".isz");
        files.push_back(fs::absolute(fs::exists(isz) ? isz : dist / "bin" / (std::to_string(n) + ".wav")).string());
    }
    const fs::path folder = fs::temp_directory_path() / ("bench-cachedloop-" + std::to_string(::getpid()));
    DecodedCache cache(folder);

    const auto filled = std::chrono::steady_clock::now();
    for (const std::string& file : files)
        cache.fill(file);
    cache.waitIdle();
    const double fillSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - filled).count();

    int same = 0;
    for (const std::string& file : files)
        same += sameFrames(file, cache) ? 1 : 0;

    std::vector<double> streamed, cached;
    for (int r = 0; r < runs; ++r) {
        std::vector<std::unique_ptr<Generator>> fromFiles, fromCache;
        for (const std::string& file : files) {
            fromFiles.push_back(StreamSource::file(file, LoopSeam{}));
            auto loop = CachedLoop::make(file, &cache);
            if (!fromFiles.back() || !loop || !loop->fromCache()) {
                std::fprintf(stderr, "cannot play %s from the file and from the cache\n", file.c_str());
                fs::remove_all(folder);
                return 1;
            }
            fromCache.push_back(std::move(loop));
        }
        streamed.push_back(100.0 * play(fromFiles) / kSeconds);
        cached.push_back(100.0 * play(fromCache) / kSeconds);
    }
    fs::remove_all(folder);
    std::printf("%d built-in sounds from %s, %d s of each, median of %d runs, %% of one core in real time\n",
                count, dist.c_str(), kSeconds, runs);
    std::printf("  decoded as they play   %.3f %%\n", median(streamed));
    std::printf("  read from the cache    %.3f %%   (%.1f times less)\n", median(cached),
                median(cached) > 0 ? median(streamed) / median(cached) : 0.0);
    std::printf("  first fill of the cache: %.2f s for %d sounds\n", fillSeconds, count);
    std::printf("  the same frames from the cache as from the file, two rounds of the loop: %d of %d sounds\n",
                same, count);
    return same == count ? 0 : 1;
}
