// The deep output queue at a sink's monitor, on a private sound server.
//
//     bench_deepqueue changes [pulseaudio|pipewire] [REPEATS=20]
//         the time from an engine call to the level change at the sink's monitor, for a volume
//         slider, a switch, master (every voice's volume), mute (pause), an equaliser band and a
//         preset load (every voice stopped, others started; their generators made beforehand,
//         as the player makes them): median and worst of REPEATS each
//     bench_deepqueue gaps [pulseaudio|pipewire] [SECONDS=120] [SOUNDS=35] [BUSY=4]
//         SOUNDS endless sounds played for SECONDS while BUSY busy loops run beside: gaps at the
//         monitor (2 ms whose energy is more than 30 dB below the 2 ms on either side) and the
//         engine's holds (a generator behind)
//
// Both start their own server (PulseAudio with a null sink, or PipeWire with its PulseAudio
// service) the way the tests do; nothing on the machine is used.

#include "audio/engine.h"
#include "benchstats.h"
#include "privatepulse.h"
#include "synth/endless.h"

#include "../../tests/audio_pulse/monitorrecorder.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

using namespace sonaveil;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRate = 44100;

// White noise, loud: the probe whose changes are timed stands well above the rest of the mix.
class Noise : public audio::Generator {
public:
    int rate() const override { return kRate; }
    void generate(audio::SourceFrame* out, int frames) override
    {
        for (int i = 0; i < frames; ++i) {
            m_state = m_state * 1664525u + 1013904223u;
            out[i] = audio::SourceFrame((std::int32_t(m_state >> 16) - 32768) / 2);
        }
    }

private:
    std::uint32_t m_state = 7;
};

// Level in dB of each 5 ms of interleaved stereo.
std::vector<double> levels(const std::vector<float>& stereo, int window)
{
    std::vector<double> out;
    for (std::size_t i = 0; i + 2 * std::size_t(window) <= stereo.size(); i += 2 * std::size_t(window)) {
        double e = 1e-20;
        for (std::size_t k = i; k < i + 2 * std::size_t(window); ++k)
            e += double(stereo[k]) * stereo[k];
        out.push_back(10 * std::log10(e / (2 * window)));
    }
    return out;
}

PrivatePulse::Server serverOf(const std::string& name)
{
    return name == "pipewire" ? PrivatePulse::Server::PipeWire : PrivatePulse::Server::PulseAudio;
}

struct Change {
    const char* name;
    std::function<void(bool)> apply; // true: to the second state
    // Made before the clock starts: what the player makes on a worker of its own before it
    // calls the engine (the generators of a preset's sounds).
    std::function<void(bool)> prepare = [](bool) {};
};

// Starts the private sound server and the engine on it with its deep queue; false, saying why,
// when either does not start.
bool startPlaying(PrivatePulse& pulse, audio::Engine& engine)
{
    if (!pulse.start()) {
        std::fprintf(stderr, "cannot start a private sound server\n");
        return false;
    }
    engine.setBufferSize(100);
    if (!engine.init(kRate, 64, audio::kInitEnableSystemChannelFx)) {
        std::fprintf(stderr, "the engine does not start\n");
        return false;
    }
    return true;
}

int changes(PrivatePulse::Server server, int repeats)
{
    PrivatePulse pulse(server);
    audio::Engine engine;
    if (!startPlaying(pulse, engine))
        return 2;
    // A quiet bed of twelve endless sounds and the probe.
    std::vector<audio::ChannelHandle> bed;
    for (int n = 1; n <= 12; ++n) {
        bed.push_back(engine.playGenerator(audio::kFree, synth::makeEndless(n, 3)));
        engine.setVolume(bed.back(), 20);
    }
    audio::ChannelHandle probe = engine.playGenerator(audio::kFree, std::make_unique<Noise>());
    const audio::FxHandle band = engine.fxEnable(audio::kSystemChannel, audio::kFxParamEq);

    std::vector<std::unique_ptr<audio::Generator>> preset;
    std::vector<Change> kinds = {
        {"volume slider", [&](bool b) { engine.setVolume(probe, b ? 30 : 255); }},
        {"switch", [&](bool b) {
             if (b)
                 engine.stopSound(probe);
             else
                 probe = engine.playGenerator(audio::kFree, std::make_unique<Noise>());
         }},
        {"master", [&](bool b) {
             engine.setVolume(probe, b ? 40 : 255);
             for (auto h : bed)
                 engine.setVolume(h, b ? 3 : 20);
         }},
        {"mute", [&](bool b) { engine.setPaused(audio::kSystemChannel, b); }},
        {"equaliser band", [&](bool b) { engine.fxSetParamEq(band, 2000, 36, b ? -18 : 0); }},
        {"preset load",
         [&](bool b) {
             for (auto h : bed)
                 engine.stopSound(h);
             engine.stopSound(probe);
             bed.clear();
             for (auto& generator : preset) {
                 bed.push_back(engine.playGenerator(audio::kFree, std::move(generator)));
                 engine.setVolume(bed.back(), 20);
             }
             preset.clear();
             probe = engine.playGenerator(audio::kFree, std::make_unique<Noise>());
             engine.setVolume(probe, b ? 30 : 255);
         },
         [&](bool b) {
             for (int n = b ? 13 : 1; n <= (b ? 24 : 12); ++n)
                 preset.push_back(synth::makeEndless(n, 3));
         }},
    };

    MonitorRecorder recorder("sonaveil_test.monitor", kRate);
    if (!recorder.start()) {
        std::fprintf(stderr, "cannot record the sink's monitor\n");
        return 2;
    }
    std::this_thread::sleep_for(1500ms);
    const int window = kRate / 200;
    std::printf("change            median ms  worst ms  (%d each, call to level change at the monitor)\n", repeats);
    bool met = true;
    for (const Change& kind : kinds) {
        std::vector<double> ms;
        for (int i = 0; i < 2 * repeats; ++i) {
            const bool toSecond = i % 2 == 0;
            kind.prepare(toSecond);
            const std::size_t before = recorder.frames();
            const auto called = Clock::now();
            kind.apply(toSecond);
            if (!recorder.waitForFrames(before + std::size_t(kRate) * 6 / 10, 5000ms))
                return 2;
            const auto level = levels(recorder.samples(), window);
            const std::size_t from = before / std::size_t(window);
            if (from < 20 || level.size() < from + 20)
                continue;
            // Halfway (in dB) between the level before the call and the level at the end.
            const double old = median({level.begin() + std::ptrdiff_t(from) - 20, level.begin() + std::ptrdiff_t(from)});
            const double now = median({level.end() - 20, level.end()});
            const double middle = (old + now) / 2;
            std::size_t at = from;
            while (at < level.size() && (now < old ? level[at] > middle : level[at] < middle))
                ++at;
            // A call answered before the frames that were current arrived counts from then.
            if (at < level.size())
                ms.push_back(std::max(0.0, std::chrono::duration<double, std::milli>(
                                               recorder.arrivalOf(at * std::size_t(window)) - called).count()));
            std::this_thread::sleep_for(300ms);
        }
        const double worst = ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end());
        std::printf("%-16s  %9.0f  %8.0f\n", kind.name, median(ms), worst);
        std::fflush(stdout);
        met = met && median(ms) <= 60 && worst <= 100;
    }
    std::printf("holds (a generator behind): %llu\n", static_cast<unsigned long long>(engine.starvedCount()));
    return met ? 0 : 1;
}

int gaps(PrivatePulse::Server server, double seconds, int sounds, int busy)
{
    PrivatePulse pulse(server);
    audio::Engine engine;
    if (!startPlaying(pulse, engine))
        return 2;
    for (int n = 1; n <= sounds; ++n) {
        const auto h = engine.playGenerator(audio::kFree, synth::makeEndless((n - 1) % 35 + 1, 5));
        engine.setVolume(h, 60);
    }
    MonitorRecorder recorder("sonaveil_test.monitor", kRate);
    if (!recorder.start())
        return 2;
    std::this_thread::sleep_for(2s);
    std::vector<pid_t> loops;
    for (int i = 0; i < busy; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            volatile unsigned long x = 0;
            for (;;) {
                const unsigned long next = x + 1;
                x = next;
            }
        }
        loops.push_back(pid);
    }
    const std::size_t from = recorder.frames();
    recorder.waitForFrames(from + std::size_t(seconds * kRate), std::chrono::milliseconds(long(seconds * 1000 + 20000)));
    for (pid_t pid : loops) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    const auto samples = recorder.samples();
    std::vector<double> e;
    const std::size_t window = 2 * std::size_t(kRate / 500);
    for (std::size_t i = 2 * from; i + window <= samples.size(); i += window) {
        double s = 0;
        for (std::size_t k = i; k < i + window; ++k)
            s += double(samples[k]) * samples[k];
        e.push_back(s);
    }
    int holes = 0;
    for (std::size_t w = 1; w + 1 < e.size(); ++w)
        if (e[w] < 1e-3 * std::min(e[w - 1], e[w + 1]) || (e[w] == 0 && e[w - 1] > 0))
            ++holes;
    std::printf("%s, %d sounds, %d busy loops, %.0f s at the monitor: %d gaps, %llu holds\n",
                server == PrivatePulse::Server::PipeWire ? "pipewire-pulse" : "pulseaudio", sounds, busy,
                double(e.size()) / 500.0, holes, static_cast<unsigned long long>(engine.starvedCount()));
    return holes == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_deepqueue changes|gaps [pulseaudio|pipewire] …\n");
        return 2;
    }
    const std::string mode = argv[1];
    const auto server = serverOf(argc > 2 ? argv[2] : "pulseaudio");
    auto arg = [&](int i, double fallback) { return argc > i ? std::atof(argv[i]) : fallback; };
    if (mode == "changes")
        return changes(server, int(arg(3, 20)));
    if (mode == "gaps")
        return gaps(server, arg(3, 120), int(arg(4, 35)), int(arg(5, 4)));
    std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
    return 2;
}
