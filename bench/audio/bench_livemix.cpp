// Mixing cost of the catalogue's sounds played live against the same mix from their files, side
// by side in one run: sounds 1 to 12 and all 35, each on at volume 100, master 50 and its
// starting pitch, through the player's channel model into the offline engine (44100 Hz stereo,
// 100 ms per call, as the output asks for it). A sound without a live recipe plays its file in
// both; the counter "live" says how many played live. "realtime" is seconds of sound mixed per
// second of work on one core.
//
//     bench_livemix [<program folder>] [benchmark options]   (default: $SONAVEIL_DIST)
#include "audio/engine.h"
#include "player/core/channelmodel.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace sonaveil;

namespace {

constexpr int kRate = 44100;
constexpr int kBlockFrames = 4410;
std::string g_folder;

void mix(benchmark::State& state, int sounds, bool live)
{
    audio::Engine engine;
    engine.setOutput(audio::kOutputNoSound);
    engine.init(kRate, 64, audio::kInitEnableSystemChannelFx);
    player::EngineBinding binding(engine);
    player::ChannelModel model(binding);
    model.loadSamples(g_folder);
    model.endless().setEnabled(live);
    model.endless().setSeed(1);
    model.setSlider(player::kMasterSlider, 50);
    int playingLive = 0;
    for (int n = 1; n <= sounds; ++n) {
        model.setSlider(player::catalogue::sound(n).volumeSlider, 100);
        model.setCheck(n, CheckState::Checked);
        playingLive += model.entry(n).live ? 1 : 0;
    }
    std::vector<float> out(2 * kBlockFrames);
    // Decoding (files) and the first blocks happen before the clock runs.
    for (int i = 0; i < 10; ++i)
        engine.renderOffline(out.data(), kBlockFrames);
    for (auto _ : state) {
        engine.renderOffline(out.data(), kBlockFrames);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["live"] = playingLive;
    state.counters["realtime"] = benchmark::Counter(double(kBlockFrames) / kRate * double(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}

void BM_12Files(benchmark::State& s) { mix(s, 12, false); }
void BM_12Live(benchmark::State& s) { mix(s, 12, true); }
void BM_35Files(benchmark::State& s) { mix(s, 35, false); }
void BM_35Live(benchmark::State& s) { mix(s, 35, true); }

} // namespace

BENCHMARK(BM_12Files)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_12Live)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_35Files)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_35Live)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] != '-' && g_folder.empty())
            g_folder = argv[i];
        else
            rest.push_back(argv[i]);
    }
    if (g_folder.empty() && std::getenv("SONAVEIL_DIST"))
        g_folder = std::getenv("SONAVEIL_DIST");
    if (g_folder.empty()) {
        std::fprintf(stderr, "usage: %s <program folder> [benchmark options]\n", argv[0]);
        return 2;
    }
    int count = int(rest.size());
    benchmark::Initialize(&count, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
