// Our resampling kernel beside two reference resamplers (libsoxr, the speex resampler) on the same
// test tones: the strongest unwanted component in dB below the tone (images, spurs, alias) and the
// CPU time per output frame of one voice (ours: mixed into stereo with its gains, as the mixer
// does; theirs: mono float out, nothing mixed).
//
//     bench_resamplers
#include "audio/resampler.h"
#include "audio/sample.h"
#include "measure/measure.h"

#include <soxr.h>
#include <speex/speex_resampler.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace sonaveil::audio;

namespace {

constexpr int kOut = 44100;
constexpr int kSeconds = 8;
volatile float g_sink;

struct Case {
    const char* name;
    double sourceHz; // the tone in the source
    int sourceRate;
    double speed;    // source frames per source-rate frame: the voice plays at sourceRate * speed
    double watchHz;  // the unwanted component to report (0: the strongest other than the tone)
};

std::vector<float> toneFrames(const Case& c, int frames)
{
    std::vector<float> x(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i)
        x[std::size_t(i)] = float(0.5 * std::sin(2 * M_PI * c.sourceHz * i / c.sourceRate));
    return x;
}

// Mean power per bin, Blackman-Harris windows of 8192 with half overlap, after the first window.
std::vector<double> spectrum(const std::vector<float>& x)
{
    return sonaveil::measure::welch(x, kOut, 8192, sonaveil::measure::Window::BlackmanHarris, 8192).power;
}

double lobe(const std::vector<double>& p, double hz)
{
    const int c = int(std::lround(hz * 8192 / kOut));
    double sum = 0;
    for (int b = std::max(0, c - 4); b <= c + 4 && b < int(p.size()); ++b)
        sum += p[std::size_t(b)];
    return sum;
}

// The unwanted component in dB below the output tone.
double unwantedDb(const std::vector<float>& y, const Case& c)
{
    const auto p = spectrum(y);
    const double toneHz = c.sourceHz * c.speed;
    // A tone pushed above the output's Nyquist frequency is measured against the level it had.
    double tone = lobe(p, toneHz);
    if (toneHz >= kOut / 2.0) {
        std::vector<float> reference(y.size());
        for (std::size_t i = 0; i < y.size(); ++i)
            reference[i] = float(0.5 * std::sin(2 * M_PI * 1000.0 * double(i) / kOut));
        tone = lobe(spectrum(reference), 1000.0);
    }
    if (c.watchHz > 0)
        return 10 * std::log10(lobe(p, c.watchHz) / tone + 1e-30);
    double worst = 1e-30;
    for (std::size_t b = 10; b < p.size(); ++b)
        if (std::fabs(double(b) * kOut / 8192 - toneHz) > 60)
            worst = std::max(worst, lobe(p, double(b) * kOut / 8192));
    return 10 * std::log10(worst / tone);
}

using Clock = std::chrono::steady_clock;

void report(const char* who, const Case& c, const std::vector<float>& y, double seconds)
{
    std::printf("%-14s %-18s %8.1f dB %8.2f ns/frame\n", who, c.name, unwantedDb(y, c), 1e9 * seconds / double(y.size()));
}

void ours(const Case& c)
{
    const int outFrames = kSeconds * kOut;
    const double step = c.speed * c.sourceRate / kOut;
    const int sourceFrames = int(outFrames * step) + 1024;
    std::vector<std::int16_t> frames(static_cast<std::size_t>(sourceFrames));
    const auto x = toneFrames(c, sourceFrames);
    for (std::size_t i = 0; i < frames.size(); ++i)
        frames[i] = std::int16_t(std::lround(x[i] * 32767));
    auto sample = makeSample(std::move(frames), c.sourceRate);
    const std::uint64_t fixedStep = std::uint64_t(std::llround(step * 4294967296.0));
    const int speedClass = ResamplingKernel::classFor(fixedStep);
    ResamplingKernel::build(speedClass);
    const KernelTable& table = *ResamplingKernel::table(speedClass);
    std::vector<float> left(std::size_t(outFrames), 0.0f), right(std::size_t(outFrames), 0.0f);
    const auto start = Clock::now();
    std::uint64_t position = 0;
    for (int at = 0; at < outFrames; at += 128) {
        const int n = std::min(128, outFrames - at);
        mixResampled(table, sample->data() + (position >> 32), position & 0xFFFFFFFFu, fixedStep, n, 0.7f, 0.0f,
                     0.7f, 0.0f, left.data() + at, right.data() + at);
        position += std::uint64_t(n) * fixedStep;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    g_sink = right[100];
    for (float& v : left)
        v /= 0.7f; // the gain it was mixed with
    report("ours", c, left, seconds);
}

void viaSpeex(const Case& c, int quality)
{
    const int outFrames = kSeconds * kOut;
    const double inRate = c.sourceRate * c.speed;
    const auto x = toneFrames(c, int(outFrames * inRate / kOut) + 1024);
    int error = 0;
    SpeexResamplerState* s = speex_resampler_init(1, spx_uint32_t(std::lround(inRate)), kOut, quality, &error);
    speex_resampler_skip_zeros(s);
    std::vector<float> y(static_cast<std::size_t>(outFrames));
    const auto start = Clock::now();
    spx_uint32_t done = 0, consumed = 0;
    while (done < spx_uint32_t(outFrames)) {
        spx_uint32_t inLen = std::min<spx_uint32_t>(1024, spx_uint32_t(x.size()) - consumed);
        spx_uint32_t outLen = std::min<spx_uint32_t>(128, spx_uint32_t(outFrames) - done);
        speex_resampler_process_float(s, 0, x.data() + consumed, &inLen, y.data() + done, &outLen);
        consumed += inLen;
        done += outLen;
        if (inLen == 0 && outLen == 0)
            break;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    speex_resampler_destroy(s);
    report(("speex q" + std::to_string(quality)).c_str(), c, y, seconds);
}

void viaSoxr(const Case& c, unsigned long recipe, const char* name)
{
    const int outFrames = kSeconds * kOut;
    const double inRate = c.sourceRate * c.speed;
    const auto x = toneFrames(c, int(outFrames * inRate / kOut) + 4096);
    std::vector<float> y(static_cast<std::size_t>(outFrames));
    const soxr_quality_spec_t q = soxr_quality_spec(recipe, 0);
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    size_t used = 0, made = 0;
    const auto start = Clock::now();
    soxr_oneshot(inRate, kOut, 1, x.data(), x.size(), &used, y.data(), y.size(), &made, &io, &q, nullptr);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    y.resize(made);
    report(name, c, y, seconds);
}

} // namespace

int main()
{
    const std::vector<Case> cases = {
        {"image 14k@33k", 14000, 33000, 1.0, 19000},
        {"spur 10k x0.77", 10000, 44100, 0.77, 0},
        {"spur 10k x1.13", 10000, 44100, 1.13, 0},
        {"spur 10k x1.6", 10000, 44100, 1.6, 0},
        {"alias 18k x1.6", 18000, 44100, 1.6, 15300},
    };
    std::printf("%-14s %-18s %11s %17s\n", "resampler", "case", "unwanted", "CPU");
    for (const Case& c : cases) {
        ours(c);
        viaSpeex(c, 4);
        viaSpeex(c, 8);
        viaSpeex(c, 10);
        viaSoxr(c, SOXR_HQ, "soxr HQ");
        viaSoxr(c, SOXR_VHQ, "soxr VHQ");
    }
    return 0;
}
