// Offline mixing cost: 35 looping voices at rates spread from 100 Hz to 70560 Hz (the pitch
// sliders' top), 44100 Hz stereo, with and without the ten equaliser bands and the band-stop;
// every voice goes through the band-limited kernel made for its speed, as the engine plays it. The counter "realtime" is seconds of sound mixed per second of work on one core.
#include "audio/mixer.h"
#include "audio/resampler.h"
#include "audio/sample.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

using namespace sonaveil::audio;

namespace {

constexpr int kRate = 44100;
constexpr int kVoices = 35;
constexpr int kBlockFrames = 4410; // 100 ms, the output's buffer

std::vector<std::unique_ptr<Sample>> makeSamples(int seconds)
{
    std::vector<std::unique_ptr<Sample>> samples;
    std::mt19937 rng(1);
    std::uniform_int_distribution<int> u(-8000, 8000);
    for (int i = 0; i < kVoices; ++i) {
        std::vector<std::int16_t> frames(std::size_t(seconds) * (i < 12 ? 44100 : 33000));
        for (auto& f : frames)
            f = std::int16_t(u(rng));
        samples.push_back(makeSample(std::move(frames), i < 12 ? 44100 : 33000));
    }
    return samples;
}

void startVoices(Mixer& mixer, const std::vector<std::unique_ptr<Sample>>& samples, int voices)
{
    for (int i = 0; i < voices; ++i) {
        VoiceSlot& slot = mixer.slot(i);
        slot.sample.store(samples[std::size_t(i)].get());
        slot.volume.store(100);
        slot.pan.store(120);
        // Spread from 100 Hz up to 70560 Hz, geometrically.
        const int hz = int(std::lround(100.0 * std::pow(705.6, double(i) / (voices > 1 ? voices - 1 : 1))));
        ResamplingKernel::build(ResamplingKernel::classFor((std::uint64_t(hz) << 32) / kRate));
        slot.frequency.store(hz);
        slot.loop.store(true);
        slot.keyOn.store(true);
        slot.generation.store(1);
    }
}

void enableEqualiser(Mixer& mixer)
{
    const float centres[10] = {16000, 8000, 4000, 2000, 1000, 500, 250, 125, 62, 31};
    EqualiserRequest& r = mixer.equaliserRequest();
    r.sequence.store(1);
    for (int i = 0; i < 10; ++i) {
        r.values[std::size_t(3 * i)].store(centres[i]);
        r.values[std::size_t(3 * i + 1)].store(18.0f);
        r.values[std::size_t(3 * i + 2)].store(float((i % 5) - 2) * 3.0f + 1.0f);
    }
    r.count.store(10);
    r.sequence.store(2);
}

void mix(benchmark::State& state, int voices, bool equaliser, bool notch = false)
{
    static const auto samples = makeSamples(30);
    Mixer mixer(kRate, 64);
    startVoices(mixer, samples, voices);
    if (equaliser)
        enableEqualiser(mixer);
    if (notch)
        mixer.notch().set({true, 4000.0f, 1.0f});
    std::vector<float> out(2 * kBlockFrames);
    mixer.render(out.data(), kBlockFrames);
    for (auto _ : state) {
        mixer.render(out.data(), kBlockFrames);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["realtime"] = benchmark::Counter(double(kBlockFrames) / kRate * double(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}

void BM_35VoicesTenBands(benchmark::State& s) { mix(s, kVoices, true); }
void BM_35VoicesTenBandsNotch(benchmark::State& s) { mix(s, kVoices, true, true); }
void BM_35VoicesNoEqualiser(benchmark::State& s) { mix(s, kVoices, false); }
void BM_OneVoice(benchmark::State& s) { mix(s, 1, false); }
void BM_TenBandsAlone(benchmark::State& s) { mix(s, 0, true); }

} // namespace

BENCHMARK(BM_35VoicesTenBands)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_35VoicesTenBandsNotch)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_35VoicesNoEqualiser)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OneVoice)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TenBandsAlone)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
