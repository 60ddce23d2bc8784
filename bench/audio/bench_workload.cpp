// A night's worth of mixing, timed in CPU seconds: 35 looping voices from the program folder's
// sample files, each at its own speed between 0.8 and 1.25, volume and pan, through ten peaking
// equaliser bands, rendered offline through the engine's public interface for SECONDS of sound.
//
// Beside it, the floor: the same voices mixed by nearest-sample lookup (no interpolation at all,
// the cheapest mix there is) with the same gains, once alone and once followed by the engine's
// own equaliser and limiter. The ratio of the engine's time to the floor's can be read on any
// machine.
//
//     bench_workload <program folder> [SECONDS] [RUNS]     (600 s in 5 runs by default)
//
// The three are timed in turn, RUNS times over for SECONDS / RUNS each, so that a machine whose
// speed drifts (a shared host, a clock that steps) weighs on all three alike. Prints one line per
// measurement: "<name> <CPU seconds>" summed over the runs, then the ratios of the sums and the
// median of the runs' own ratios.

#include "audio/engine.h"
#include "audio/equaliser.h"
#include "audio/limiter.h"
#include "audio/sample.h"

#include "benchstats.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace sonaveil::audio;
namespace fs = std::filesystem;

namespace {

constexpr int kRate = 44100;
constexpr int kVoices = 35;
constexpr int kChunk = 4410;
volatile float g_sink; // keeps the mixes from being optimised away
constexpr float kCentres[10] = {16000, 8000, 4000, 2000, 1000, 500, 250, 125, 62, 31};

std::string sampleFile(const fs::path& folder, int n)
{
    return (folder / "bin" / (std::to_string(n) + (n <= 30 ? ".isz" : ".wav"))).string();
}

// Voice i's speed, volume (0 … 255) and pan (0 … 255): spread over the ranges, mixed up.
double speedOf(int i) { return 0.8 * std::pow(1.25 / 0.8, double((i * 13) % kVoices) / (kVoices - 1)); }
int volumeOf(int i) { return 60 + (i * 37) % 140; }
int panOf(int i) { return (i * 71) % 256; }
float bandGainDb(int b) { return float((b % 5) - 2) * 3.0f + 1.0f; }

double engineWorkload(const fs::path& folder, double seconds)
{
    Engine engine;
    engine.setOutput(kOutputNoSound);
    engine.init(kRate, 64, kInitEnableSystemChannelFx);
    std::vector<std::string> paths;
    for (int n = 1; n <= kVoices; ++n)
        paths.push_back(sampleFile(folder, n));
    const std::vector<SampleHandle> samples = engine.loadSamples(paths);
    for (int i = 0; i < kVoices; ++i) {
        const ChannelHandle h = engine.playSound(kFree, samples[std::size_t(i)]);
        engine.setLoopMode(h, kLoopNormal);
        engine.setVolume(h, volumeOf(i));
        engine.setPan(h, panOf(i));
        engine.setFrequency(h, int(std::lround(engine.sampleRate(samples[std::size_t(i)]) * speedOf(i))));
    }
    for (int b = 0; b < 10; ++b) {
        const FxHandle fx = engine.fxEnable(kSystemChannel, kFxParamEq);
        engine.fxSetParamEq(fx, kCentres[b], 18.0f, bandGainDb(b));
    }
    std::vector<float> out(2 * kChunk);
    engine.renderOffline(out.data(), kChunk); // decoding is done before the clock starts
    const long long total = std::llround(seconds * kRate);
    const double start = cpuSeconds();
    float keep = 0;
    for (long long done = 0; done < total; done += kChunk) {
        engine.renderOffline(out.data(), kChunk);
        keep += out[100];
    }
    const double used = cpuSeconds() - start;
    g_sink = keep;
    return used;
}

struct FloorVoice {
    std::unique_ptr<Sample> sample;
    std::uint64_t position = 0, step = 0, length = 0;
    float gainL = 0, gainR = 0;
};

// Nearest-sample mixing of one block: the floor under any interpolating mixer.
void mixNearest(FloorVoice& v, float* left, float* right, int frames)
{
    const std::int16_t* s = v.sample->data();
    constexpr float kScale = 1.0f / 32768.0f;
    int k = 0;
    while (k < frames) {
        if (v.position >= v.length)
            v.position %= v.length;
        const std::uint64_t untilEnd = (v.length - v.position + v.step - 1) / v.step;
        const int n = int(std::min<std::uint64_t>(untilEnd, std::uint64_t(frames - k)));
        std::uint64_t p = v.position;
        const float gl = v.gainL * kScale, gr = v.gainR * kScale;
        for (int j = 0; j < n; ++j, p += v.step) {
            const float x = float(s[p >> 32]);
            left[k + j] += x * gl;
            right[k + j] += x * gr;
        }
        v.position = p;
        k += n;
    }
}

double floorWorkload(const fs::path& folder, double seconds, bool chain)
{
    std::vector<FloorVoice> voices(kVoices);
    for (int i = 0; i < kVoices; ++i) {
        FloorVoice& v = voices[std::size_t(i)];
        v.sample = loadSampleFile(sampleFile(folder, i + 1));
        if (!v.sample)
            return -1;
        v.length = std::uint64_t(v.sample->frames) << 32;
        v.step = std::uint64_t(std::lround(speedOf(i) * v.sample->rate / kRate * 4294967296.0));
        const float g = float(volumeOf(i)) / 255.0f;
        const float p = float(panOf(i)) / 255.0f * 1.5707963f;
        v.gainL = g * std::cos(p);
        v.gainR = g * std::sin(p);
    }
    Equaliser equaliser(kRate);
    std::array<EqBandSettings, Equaliser::kMaxBands> bands{};
    for (int b = 0; b < 10; ++b)
        bands[std::size_t(b)] = EqBandSettings{kCentres[b], 18.0f, bandGainDb(b)};
    equaliser.setBands(bands, 10);
    Limiter limiter(kRate, 0.891f);

    constexpr int kBlock = 128;
    std::array<float, kBlock> left{}, right{};
    std::vector<float> out(2 * kChunk);
    const long long total = std::llround(seconds * kRate);
    const double start = cpuSeconds();
    float keep = 0;
    for (long long done = 0; done < total; done += kChunk) {
        for (int at = 0; at < kChunk; at += kBlock) {
            const int n = std::min(kBlock, kChunk - at);
            std::fill_n(left.begin(), n, 0.0f);
            std::fill_n(right.begin(), n, 0.0f);
            for (FloorVoice& v : voices)
                mixNearest(v, left.data(), right.data(), n);
            if (chain) {
                equaliser.process(left.data(), right.data(), n);
                limiter.process(left.data(), right.data(), n);
            }
            for (int j = 0; j < n; ++j) {
                out[std::size_t(2 * (at + j))] = left[std::size_t(j)];
                out[std::size_t(2 * (at + j) + 1)] = right[std::size_t(j)];
            }
        }
        keep += out[100];
    }
    const double used = cpuSeconds() - start;
    g_sink = keep;
    return used;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_workload <program folder> [SECONDS] [RUNS]\n");
        return 2;
    }
    const fs::path folder = argv[1];
    const double seconds = argc > 2 ? std::atof(argv[2]) : 600.0;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
    if (!fs::exists(sampleFile(folder, 1)) || !(seconds > 0) || runs < 1) {
        std::fprintf(stderr, "bench_workload: no sample files in %s/bin, or no time to mix\n", folder.c_str());
        return 2;
    }
    double ours = 0, floorVoices = 0, floorChain = 0;
    std::vector<double> ratios, chainRatios;
    for (int r = 0; r < runs; ++r) {
        const double e = engineWorkload(folder, seconds / runs);
        const double f = floorWorkload(folder, seconds / runs, false);
        const double c = floorWorkload(folder, seconds / runs, true);
        if (f < 0 || c < 0) {
            std::fprintf(stderr, "bench_workload: a sample file cannot be read\n");
            return 2;
        }
        ours += e;
        floorVoices += f;
        floorChain += c;
        ratios.push_back(e / f);
        chainRatios.push_back(e / c);
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
    };
    std::printf("engine %.3f\n", ours);
    std::printf("floor_nearest %.3f\n", floorVoices);
    std::printf("floor_nearest_eq_limiter %.3f\n", floorChain);
    std::printf("ratio_to_floor %.2f\n", ours / floorVoices);
    std::printf("ratio_to_floor_with_chain %.2f\n", ours / floorChain);
    std::printf("ratio_to_floor_median_of_%d %.2f\n", runs, median(ratios));
    std::printf("ratio_to_floor_with_chain_median_of_%d %.2f\n", runs, median(chainRatios));
    return 0;
}
