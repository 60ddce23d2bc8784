// Records 44.1 kHz 16-bit stereo from a private sound server that plays a steady tone, and
// reports per run: the CPU time the recorder spent (all its threads) as a share of one core,
// the length of the WAV against the time limit, blocks the server dropped, and the largest
// break in the tone's phase (a lost block shows as a jump).
//
//   build/bench/bench_recorder [seconds=60] [runs=3]
#include "recorder/capture/capturecontrol.h"

#include "benchstats.h"

#include "privatepulse.h"
#include "tempfolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

using namespace sonaveil::recorder;

namespace {

// Not a divisor of the block sizes: a lost block of any common size breaks the phase.
constexpr int kToneHz = 997;

// The tone's phase in consecutive 10 ms windows; returns the largest difference (in samples)
// between a window's phase and the phase the previous window predicts.
double largestPhaseBreak(const std::vector<float>& s, int rate)
{
    const int window = rate / 100;
    const double w = 2 * std::numbers::pi * kToneHz / rate;
    double previous = 0;
    bool first = true;
    double worst = 0;
    for (std::size_t start = 0; start + std::size_t(window) <= s.size(); start += std::size_t(window)) {
        double re = 0, im = 0;
        for (int i = 0; i < window; ++i) {
            const double t = double(start + std::size_t(i));
            re += s[start + std::size_t(i)] * std::cos(w * t);
            im -= s[start + std::size_t(i)] * std::sin(w * t);
        }
        const double phase = std::atan2(im, re);
        if (!first) {
            double d = std::remainder(phase - previous, 2 * std::numbers::pi);
            worst = std::max(worst, std::fabs(d) / w);
        }
        previous = phase;
        first = false;
    }
    return worst;
}

} // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    QCoreApplication app(argc, argv);
    PrivatePulse pulse;
    if (!pulse.start()) {
        std::fprintf(stderr, "bench_recorder: pulseaudio could not be started\n");
        return 1;
    }
    pulse.pactl("load-module module-sine sink=sonaveil_test frequency=" + std::to_string(kToneHz));
    TempFolder folder;

    std::vector<double> cpu, lengthError, wall;
    bool ok = true;
    for (int run = 0; run < runs; ++run) {
        CaptureControl capture;
        QObject::connect(&capture, &CaptureControl::ErrorOccurred,
                         [](int n, const QString& t) { std::fprintf(stderr, "(%d) %s\n", n, qPrintable(t)); });
        capture.StartMonitoring();
        const std::string path = (folder / ("run" + std::to_string(run) + ".wav")).string();
        capture.setQuality(2048);
        capture.setFileName(QString::fromStdString(path));
        QElapsedTimer clock;
        const double cpuBefore = cpuSeconds();
        clock.start();
        if (!capture.StartRecording(seconds))
            return 1;
        // The interface thread runs its event loop as the recorder's does (progress twice a second).
        QEventLoop loop;
        QObject::connect(&capture, &CaptureControl::StateChanged, &loop, [&loop, &capture] {
            if (!capture.recording())
                loop.quit();
        });
        loop.exec();
        const double elapsed = clock.nsecsElapsed() / 1e9;
        const double used = cpuSeconds() - cpuBefore;
        const std::uint64_t overflows = capture.overflows();
        capture.CloseDevices();

        SF_INFO info{};
        SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
        if (!f)
            return 1;
        std::vector<float> all(std::size_t(info.frames) * 2);
        sf_readf_float(f, all.data(), info.frames);
        sf_close(f);
        std::vector<float> left(std::size_t(info.frames));
        for (std::size_t i = 0; i < left.size(); ++i)
            left[i] = all[2 * i];
        const double length = double(info.frames) / info.samplerate;
        const double phaseBreak = largestPhaseBreak(left, info.samplerate);
        cpu.push_back(100.0 * used / elapsed);
        lengthError.push_back((length - seconds) * 1000.0);
        wall.push_back(elapsed);
        std::printf("run %d: cpu %.3f %% of one core, wall %.3f s, wav %.4f s (%+.1f ms), dropped blocks %llu, "
                    "largest phase break %.2f samples\n",
                    run + 1, cpu.back(), elapsed, length, lengthError.back(), (unsigned long long)overflows, phaseBreak);
        std::fflush(stdout);
        ok = ok && overflows == 0 && phaseBreak < 2.0 && std::fabs(lengthError.back()) <= 20.0 && cpu.back() < 1.0;
    }
    std::printf("median: cpu %.3f %% of one core, wav length error %+.1f ms, wall %.3f s -> %s\n", median(cpu),
                median(lengthError), median(wall), ok ? "within the targets (< 1 %, +-20 ms, no lost block)" : "TARGET MISSED");
    return ok ? 0 : 2;
}
