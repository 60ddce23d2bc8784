// How soon a change to the mix is heard: the engine plays on the real output (the default sink of
// the server PULSE_SERVER names), and a recording of that sink's monitor, read 2 ms at a time,
// shows when each change arrives. For every kind of change the engine is asked for it, and the
// time from the call until the monitor's level has moved half way (in dB) to its new level is
// taken, over `repeats` changes each way (the player's master and a preset load reach the engine
// as volumes, a switch as a voice started or stopped). The figure includes the monitor's own delay (its
// latency is printed beside it), so it is what a listener hears at the latest.
//
// Then a steady 440 Hz tone takes the same changes while the monitor is searched for a seam: a
// stretch of the queue written again that repeats or skips a part of the tone shows as a second
// difference far above the tone's own (which is at most 0.4 % of its amplitude).
//
//     bench_changes [monitor source] [repeats]      (default: the default sink's monitor, 20)

#include "audio/engine.h"
#include "audio/generator.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace sonaveil::audio;

constexpr int kRate = 44100;
constexpr int kWindow = kRate * 2 / 1000; // 2 ms

class Noise final : public Generator {
public:
    int rate() const override { return kRate; }
    void generate(SourceFrame* out, int frames) override
    {
        for (int i = 0; i < frames; ++i) {
            m_state = m_state * 1664525u + 1013904223u;
            out[i] = SourceFrame(std::int32_t(m_state >> 16) - 32768) / 2;
        }
    }

private:
    std::uint32_t m_state = 12345;
};

class Sine final : public Generator {
public:
    int rate() const override { return kRate; }
    void generate(SourceFrame* out, int frames) override
    {
        for (int i = 0; i < frames; ++i, ++m_frame)
            out[i] = SourceFrame(std::lround(12000.0 * std::sin(2 * M_PI * 440.0 * double(m_frame % kRate) / kRate)));
    }

private:
    std::int64_t m_frame = 0;
};

// The monitor, read on a thread of its own: a level in dB for every 2 ms with the time it was
// read, and the largest second difference of the samples since the last reset.
class Monitor {
public:
    explicit Monitor(const std::string& source)
    {
        pa_sample_spec spec{PA_SAMPLE_FLOAT32NE, kRate, 2};
        pa_buffer_attr attr{};
        attr.maxlength = std::uint32_t(-1);
        attr.fragsize = kWindow * 2 * sizeof(float);
        int error = 0;
        m_stream = pa_simple_new(nullptr, "bench_changes", PA_STREAM_RECORD,
                                 source.empty() ? nullptr : source.c_str(), "monitor", &spec, nullptr,
                                 &attr, &error);
        if (!m_stream) {
            std::fprintf(stderr, "cannot record %s: %s\n", source.c_str(), pa_strerror(error));
            return;
        }
        m_thread = std::thread([this] { run(); });
    }
    ~Monitor()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_stream)
            pa_simple_free(m_stream);
    }
    bool ok() const { return m_stream != nullptr; }

    struct Reading {
        Clock::time_point at;
        double db;
    };
    std::vector<Reading> since(Clock::time_point from)
    {
        std::lock_guard lock(m_mutex);
        std::vector<Reading> out;
        for (const Reading& r : m_readings)
            if (r.at >= from)
                out.push_back(r);
        return out;
    }
    double latencyMs()
    {
        int error = 0;
        return double(pa_simple_get_latency(m_stream, &error)) / 1000.0;
    }
    void resetSeams()
    {
        std::lock_guard lock(m_mutex);
        m_largestStep = 0;
        m_largestJump = 0;
    }
    // The largest second difference and the largest sample of the left channel since the reset.
    std::pair<double, double> seams()
    {
        std::lock_guard lock(m_mutex);
        return {m_largestJump, m_largestStep};
    }

private:
    void run()
    {
        std::vector<float> buffer(kWindow * 2);
        while (!m_stop) {
            int error = 0;
            if (pa_simple_read(m_stream, buffer.data(), buffer.size() * sizeof(float), &error) < 0)
                return;
            const Clock::time_point now = Clock::now();
            double sum = 0;
            std::lock_guard lock(m_mutex);
            for (int i = 0; i < kWindow; ++i) {
                const double l = buffer[std::size_t(2 * i)], r = buffer[std::size_t(2 * i + 1)];
                sum += l * l + r * r;
                const double d2 = l - 2 * m_previous + m_beforePrevious;
                m_beforePrevious = m_previous;
                m_previous = l;
                m_largestJump = std::max(m_largestJump, std::abs(d2));
                m_largestStep = std::max(m_largestStep, std::abs(l));
            }
            const double rms = std::sqrt(sum / (2 * kWindow));
            m_readings.push_back({now, rms > 0 ? 20 * std::log10(rms) : -200.0});
            if (m_readings.size() > 20000)
                m_readings.erase(m_readings.begin(), m_readings.begin() + 10000);
        }
    }

    pa_simple* m_stream = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<Reading> m_readings;
    double m_previous = 0, m_beforePrevious = 0, m_largestJump = 0, m_largestStep = 0;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? NAN : v[v.size() / 2];
}

// The level of the monitor over the last `ms` before now.
double levelNow(Monitor& monitor, int ms)
{
    const auto readings = monitor.since(Clock::now() - std::chrono::milliseconds(ms));
    double sum = 0;
    for (const auto& r : readings)
        sum += std::pow(10.0, r.db / 10);
    return readings.empty() || sum <= 0 ? -200.0 : 10 * std::log10(sum / double(readings.size()));
}

// Calls `change` and returns the ms until the monitor is half way from `from` to `to` dB, or -1
// when it does not get there within 2 s.
double timeChange(Monitor& monitor, const std::function<void()>& change, double from, double to)
{
    const double half = (from + to) / 2;
    const Clock::time_point called = Clock::now();
    change();
    while (Clock::now() - called < std::chrono::seconds(2)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        for (const auto& r : monitor.since(called))
            if ((to < from && r.db < half) || (to > from && r.db > half))
                return std::chrono::duration<double, std::milli>(r.at - called).count();
    }
    return -1;
}

struct Kind {
    const char* name;
    std::function<void()> toA, toB; // A: the louder state
};

} // namespace

int main(int argc, char** argv)
{
    const std::string source = argc > 1 ? argv[1] : "@DEFAULT_MONITOR@";
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;

    Engine engine;
    engine.setOutput(kOutputPulseAudio);
    engine.setBufferSize(100);
    if (!engine.init(kRate, 64, kInitEnableSystemChannelFx)) {
        std::fprintf(stderr, "the engine's output did not start\n");
        return 2;
    }
    Monitor monitor(source);
    if (!monitor.ok())
        return 2;

    ChannelHandle voice = engine.playGenerator(kFree, std::make_unique<Noise>());
    const FxHandle band = engine.fxEnable(kSystemChannel, kFxParamEq);
    std::this_thread::sleep_for(std::chrono::seconds(3));
    if (levelNow(monitor, 500) < -60) {
        std::fprintf(stderr, "the monitor hears nothing of the engine: is PULSE_SERVER's default sink the one recorded?\n");
        return 2;
    }

    const std::vector<Kind> kinds = {
        {"volume slider", [&] { engine.setVolume(voice, 255); }, [&] { engine.setVolume(voice, 40); }},
        {"switch",
         [&] {
             if (!engine.isPlaying(voice))
                 voice = engine.playGenerator(kFree, std::make_unique<Noise>());
         },
         [&] { engine.stopSound(voice); }},
        {"mute", [&] { engine.setPaused(kSystemChannel, false); }, [&] { engine.setPaused(kSystemChannel, true); }},
        {"equaliser band", [&] { engine.fxSetParamEq(band, 6000, 36, 0); },
         [&] { engine.fxSetParamEq(band, 6000, 36, -20); }},
    };

    std::printf("monitor %s, its latency %.1f ms; %d changes each way\n", source.c_str(), monitor.latencyMs(), repeats);
    std::printf("%-16s %9s %9s %9s   (ms from the call to half way, monitor delay included)\n", "change",
                "median", "worst", "missed");
    bool met = true;
    std::mt19937 random(7);
    for (const Kind& kind : kinds) {
        // The two levels, each measured once it has surely landed.
        kind.toA();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const double levelA = levelNow(monitor, 500);
        kind.toB();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const double levelB = levelNow(monitor, 500);
        std::vector<double> times;
        int missed = 0;
        for (int i = 0; i < repeats && std::abs(levelA - levelB) >= 3; ++i) {
            for (int way = 0; way < 2; ++way) {
                // A random moment against the output's refills, so the figure covers them all.
                std::this_thread::sleep_for(std::chrono::milliseconds(1200 + std::uniform_int_distribution<int>(0, 997)(random)));
                const double t = way == 0 ? timeChange(monitor, kind.toA, levelB, levelA)
                                          : timeChange(monitor, kind.toB, levelA, levelB);
                if (t < 0)
                    ++missed;
                else
                    times.push_back(t);
            }
        }
        if (std::abs(levelA - levelB) < 3)
            missed = 2 * repeats;
        kind.toA();
        const double worst = times.empty() ? NAN : *std::max_element(times.begin(), times.end());
        std::printf("%-16s %9.1f %9.1f %9d   (%.1f and %.1f dB)\n", kind.name, median(times), worst, missed,
                    levelA, levelB);
        std::fflush(stdout);
        met = met && missed == 0 && median(times) <= 60 && worst <= 100;
    }

    // Seams: a tone, the same changes of volume, pan and the equaliser as above.
    engine.stopSound(voice);
    voice = engine.playGenerator(kFree, std::make_unique<Sine>());
    std::this_thread::sleep_for(std::chrono::seconds(3));
    monitor.resetSeams();
    for (int i = 0; i < repeats; ++i) {
        engine.setVolume(voice, i % 2 ? 255 : 120);
        std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(40, 400)(random)));
        engine.setPan(voice, i % 3 == 0 ? 60 : 128);
        std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(40, 400)(random)));
    }
    std::this_thread::sleep_for(std::chrono::seconds(3));
    const auto [jump, peak] = monitor.seams();
    const double allowed = peak * 2 * (1 - std::cos(2 * M_PI * 440.0 / kRate)) * 3; // 3x the tone's own
    std::printf("tone with %d changes: largest second difference %.5f against %.5f the tone's own (x3)   %s\n",
                2 * repeats, jump, allowed, jump <= allowed ? "no seam" : "SEAM");
    met = met && jump <= allowed;
    std::printf("goal: median at most 60 ms, worst at most 100 ms, no seam   %s\n", met ? "met" : "MISSED");
    engine.close();
    return met ? 0 : 1;
}
