// The live sounds against their sample files.
//
//     bench_endless <program folder> likeness [SECONDS=300] [SEED=1] [NUMBERS…]
//         per sound: third-octave profile difference (100 Hz – 10 kHz) and loudness difference
//         of a live render against its file
//     bench_endless <program folder> calibrate [SECONDS=400] [SEED=7]
//         the corrections to endless.cpp's level table that put each sound at the files'
//         loudness (four renders from seeds SEED…SEED+3)
//     bench_endless <program folder> repeat [SECONDS=1200] [SEED=3] [NUMBERS…]
//         the 100 ms envelope's autocorrelation at lags from 20 s to 10 min, the highest
//         normalised cross-correlation of 1 s stretches against the rest of the render, and
//         clicks, gaps and dips, each beside the same figures for the file played as a loop
//     bench_endless <program folder> cost [SECONDS=20]
//         ns per generated frame for each sound, beside resampling its file at natural speed
//     bench_endless <program folder> profile NUMBER [SECONDS=60] [SEED=1]
//         one sound's third-octave bands, file beside live
//     bench_endless <program folder> one NUMBER [SECONDS=2] [file]
//         one sound for a while, for counting its instructions under callgrind (see one())
//     bench_endless <program folder> start
//         how long making each generator takes
//     bench_endless <program folder> player [SECONDS=20] [NUMBERS…]
//         a typical 12 and all 35 generators (or only the sounds NUMBERS) run the way the player
//         runs them: on the source worker, a batch at a time into their rings, mixed in refills
//         of a second paced in real time; CPU % of a core for the generators (the worker) and
//         for mixing, and how often a voice found its generator behind

#include "audio/resampler.h"
#include "audio/livesource.h"
#include "audio/mixer.h"
#include "audio/sample.h"
#include "audio/sourceworker.h"
#include "synth/endless.h"
#include "synth/synth.h"
#include "measure/measure.h"

#include "benchstats.h"

#include <fftw3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <thread>
#include <string>
#include <vector>

using namespace sonaveil;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

volatile float g_sink;

std::string fileOf(const fs::path& folder, int n)
{
    return (folder / synth::findRecipe(n)->path).string();
}

std::vector<float> renderLive(int n, std::uint64_t seed, double seconds)
{
    auto g = synth::makeEndless(n, seed);
    const long frames = long(seconds * g->rate());
    std::vector<float> x(static_cast<std::size_t>(frames));
    std::vector<std::int16_t> block(4096);
    for (long at = 0; at < frames; at += 4096) {
        const int take = int(std::min<long>(4096, frames - at));
        g->generate(block.data(), take);
        for (int i = 0; i < take; ++i)
            x[std::size_t(at + i)] = float(block[std::size_t(i)]) / 32768.0f;
    }
    return x;
}

// Third-octave levels from 25 Hz (as soundcheck's bandsDb), relative to the loudest band.
std::vector<double> bands(const std::vector<float>& x, int rate)
{
    return measure::thirdOctaveBandsDb(measure::welch(x, rate));
}

// Band b (from 25 Hz, third octaves) is 100 Hz … 10 kHz for b in [6, 26].
struct Likeness {
    double maxDb = 0;      // every band from 100 Hz to 10 kHz
    double maxAudibleDb = 0; // bands within 40 dB of the loudest
    int worstBand = 0;
};

Likeness compare(const std::vector<double>& file, const std::vector<double>& live)
{
    Likeness l;
    for (int b = 6; b <= 26; ++b) {
        const double d = std::fabs(file[std::size_t(b)] - live[std::size_t(b)]);
        if (d > l.maxDb) {
            l.maxDb = d;
            l.worstBand = b;
        }
        if (file[std::size_t(b)] > -40.0)
            l.maxAudibleDb = std::max(l.maxAudibleDb, d);
    }
    return l;
}

double bandHz(int b)
{
    return 1000.0 * std::pow(2.0, (b - 16) / 3.0);
}

int likeness(const fs::path& folder, double seconds, std::uint64_t seed, std::vector<int> numbers)
{
    if (numbers.empty()) {
        numbers.resize(35);
        std::iota(numbers.begin(), numbers.end(), 1);
    }
    std::printf("sound  file LUFS  live LUFS   dLU   profile max dB (at Hz)   within 40 dB of top\n");
    double worst = 0, worstAudible = 0, worstLu = 0;
    for (int n : numbers) {
        const measure::Audio a = measure::readAudio(fileOf(folder, n));
        const auto live = renderLive(n, seed, seconds);
        const double lf = measure::integratedLoudness(a.samples, a.rate);
        const double ll = measure::integratedLoudness(live, a.rate);
        const Likeness l = compare(bands(a.samples, a.rate), bands(live, a.rate));
        std::printf("%5d  %9.2f  %9.2f  %+5.2f   %6.2f (%5.0f)            %6.2f\n", n, lf, ll, ll - lf, l.maxDb,
                    bandHz(l.worstBand), l.maxAudibleDb);
        std::fflush(stdout);
        worst = std::max(worst, l.maxDb);
        worstAudible = std::max(worstAudible, l.maxAudibleDb);
        worstLu = std::max(worstLu, std::fabs(ll - lf));
    }
    std::printf("worst: %.2f dB profile (%.2f dB within 40 dB of the top), %.2f LU\n", worst, worstAudible, worstLu);
    return 0;
}

int calibrate(double seconds, std::uint64_t seed)
{
    // The sounds' slow motions (gusts, swells, patter) move their loudness over minutes: the
    // level is the mean power of renders from four seeds.
    for (int n = 1; n <= 35; ++n) {
        double power = 0.0;
        for (std::uint64_t s = seed; s < seed + 4; ++s) {
            const auto live = renderLive(n, s, seconds);
            power += std::pow(10.0, measure::integratedLoudness(live, synth::findRecipe(n)->rate) / 10.0) / 4.0;
        }
        std::printf("%d %.2f\n", n, synth::kTargetLoudnessLufs - 10.0 * std::log10(power));
        std::fflush(stdout);
    }
    return 0;
}

// Pearson correlation of the 100 ms level in dB with itself `lag` blocks later, highest over
// the lags from lo to hi seconds.
double envelopeRepeat(const std::vector<float>& x, int rate, double lo, double hi)
{
    const std::vector<double> e = measure::levelsDb(x, rate);
    double best = -1;
    for (std::size_t lag = std::size_t(lo * 10); lag <= std::size_t(hi * 10) && lag + 10 < e.size(); ++lag)
        best = std::max(best, measure::lagCorrelation(e, lag));
    return best;
}

// The highest normalised cross-correlation of `count` 1 s stretches, spread over the render,
// with every other 1 s stretch of it (lags within 1 s of the stretch itself left out), by FFT
// overlap-save.
double waveformRepeat(const std::vector<float>& x, int rate, int count)
{
    const int len = rate;
    const int fft = 1 << 17;
    const int valid = fft - len + 1;
    std::vector<double> prefix(x.size() + 1, 0.0); // running energy for the normalisation
    for (std::size_t i = 0; i < x.size(); ++i)
        prefix[i + 1] = prefix[i] + double(x[i]) * x[i];
    float* in = fftwf_alloc_real(fft);
    fftwf_complex* spectrum = fftwf_alloc_complex(fft / 2 + 1);
    fftwf_complex* prod = fftwf_alloc_complex(fft / 2 + 1);
    float* out = fftwf_alloc_real(fft);
    fftwf_plan fwd = fftwf_plan_dft_r2c_1d(fft, in, spectrum, FFTW_ESTIMATE);
    fftwf_plan inv = fftwf_plan_dft_c2r_1d(fft, prod, out, FFTW_ESTIMATE);
    // The stretches' spectra (time-reversed, so that a product is a correlation).
    std::vector<std::vector<std::complex<float>>> probes;
    std::vector<long> starts;
    std::vector<double> norms;
    for (int s = 0; s < count; ++s) {
        const long start = long((x.size() - std::size_t(len)) * (s + 0.5) / count);
        std::fill(in, in + fft, 0.0f);
        for (int i = 0; i < len; ++i)
            in[i] = x[std::size_t(start + len - 1 - i)];
        fftwf_execute(fwd);
        probes.emplace_back(reinterpret_cast<std::complex<float>*>(spectrum),
                            reinterpret_cast<std::complex<float>*>(spectrum) + fft / 2 + 1);
        starts.push_back(start);
        norms.push_back(std::sqrt(prefix[std::size_t(start + len)] - prefix[std::size_t(start)]));
    }
    double best = 0;
    for (long block = 0; block + len <= long(x.size()); block += valid) {
        std::fill(in, in + fft, 0.0f);
        for (long i = 0; i < fft && block + i < long(x.size()); ++i)
            in[i] = x[std::size_t(block + i)];
        fftwf_execute(fwd);
        for (int s = 0; s < count; ++s) {
            const auto* p = probes[std::size_t(s)].data();
            auto* q = reinterpret_cast<std::complex<float>*>(prod);
            const auto* z = reinterpret_cast<const std::complex<float>*>(spectrum);
            for (int k = 0; k <= fft / 2; ++k)
                q[k] = z[k] * p[k];
            fftwf_execute(inv);
            // out[len - 1 + j] is the correlation with the stretch starting at block + j.
            for (int j = 0; j < valid; ++j) {
                const long at = block + j;
                if (at + len > long(x.size()))
                    break;
                if (std::labs(at - starts[std::size_t(s)]) < len)
                    continue;
                const double e = std::sqrt(prefix[std::size_t(at + len)] - prefix[std::size_t(at)]);
                const double c = out[len - 1 + j] / double(fft) / (e * norms[std::size_t(s)] + 1e-20);
                best = std::max(best, c);
            }
        }
    }
    fftwf_destroy_plan(fwd);
    fftwf_destroy_plan(inv);
    fftwf_free(in);
    fftwf_free(spectrum);
    fftwf_free(prod);
    fftwf_free(out);
    return best;
}

struct Clean {
    double clickDb = 0;  // highest 2 ms second-difference energy over its surroundings' median
    double typicalClickDb = 0; // the median over loop-length stretches of their highest
    double gapMs = 0;    // longest stretch within one step of silence
    double dipDb = 0;    // deepest 50 ms level below the median of the second around it
};

Clean clean(const std::vector<float>& x, int rate, double loopSeconds)
{
    Clean c;
    const std::size_t w2 = std::size_t(rate / 500);
    std::vector<double> burst;
    for (std::size_t i = 1; i + w2 + 1 < x.size(); i += w2) {
        double s = 0;
        for (std::size_t j = i; j < i + w2; ++j) {
            const double d = double(x[j + 1]) - 2.0 * x[j] + x[j - 1];
            s += d * d;
        }
        burst.push_back(s + 1e-15);
    }
    const std::size_t around = 50; // ±100 ms
    const std::size_t perLoop = std::size_t(loopSeconds * 500);
    std::vector<double> loopMax(burst.size() / perLoop + 1, 0.0);
    for (std::size_t i = around; i + around < burst.size(); i += 1) {
        // Only where a window stands out from its neighbours is the median worth taking.
        if (burst[i] < 4.0 * burst[i - 1] && burst[i] < 4.0 * burst[i - around])
            continue;
        std::vector<double> near(burst.begin() + long(i - around), burst.begin() + long(i + around));
        const double db = 10.0 * std::log10(burst[i] / median(near));
        c.clickDb = std::max(c.clickDb, db);
        loopMax[i / perLoop] = std::max(loopMax[i / perLoop], db);
    }
    loopMax.pop_back();
    c.typicalClickDb = median(loopMax);
    long run = 0, longest = 0;
    for (float v : x) {
        run = std::fabs(v) <= 1.5f / 32768.0f ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    c.gapMs = 1000.0 * double(longest) / rate;
    const std::size_t w50 = std::size_t(rate / 20);
    std::vector<double> level;
    for (std::size_t i = 0; i + w50 <= x.size(); i += w50) {
        double s = 0;
        for (std::size_t j = i; j < i + w50; ++j)
            s += double(x[j]) * x[j];
        level.push_back(10.0 * std::log10(s / double(w50) + 1e-12));
    }
    for (std::size_t i = 10; i + 10 < level.size(); ++i) {
        std::vector<double> near(level.begin() + long(i - 10), level.begin() + long(i + 10));
        c.dipDb = std::max(c.dipDb, median(near) - level[i]);
    }
    return c;
}

std::vector<float> loopOf(const std::vector<float>& file, std::size_t frames)
{
    std::vector<float> x(frames);
    for (std::size_t i = 0; i < frames; ++i)
        x[i] = file[i % file.size()];
    return x;
}

int repeat(const fs::path& folder, double seconds, std::uint64_t seed, std::vector<int> numbers)
{
    if (numbers.empty())
        numbers = {8, 9, 11, 13, 18, 20, 25, 26, 29, 7, 16, 24};
    std::printf("sound | envelope repeat 20 s-10 min: live (file loop) | 1 s waveform NCC: live (file loop) | "
                "click dB (highest, typical per loop length), gap ms, dip dB: live (file loop)\n");
    for (int n : numbers) {
        const measure::Audio a = measure::readAudio(fileOf(folder, n));
        const auto live = renderLive(n, seed, seconds);
        const auto looped = loopOf(a.samples, live.size());
        const double el = envelopeRepeat(live, a.rate, 20, 600), ef = envelopeRepeat(looped, a.rate, 20, 600);
        const double wl = waveformRepeat(live, a.rate, 12);
        const double wf = waveformRepeat(std::vector<float>(looped.begin(), looped.begin() + long(looped.size() / 8)),
                                         a.rate, 2);
        const double loop = synth::findRecipe(n)->seconds;
        const Clean cl = clean(live, a.rate, loop), cf = clean(looped, a.rate, loop);
        std::printf("%5d | %5.2f (%5.2f) | %5.2f (%5.2f) | %5.1f %5.1f %5.1f %5.1f (%5.1f %5.1f %5.1f)\n", n, el, ef, wl,
                    wf, cl.clickDb, cl.typicalClickDb, cl.gapMs, cl.dipDb, cf.clickDb, cf.gapMs, cf.dipDb);
        std::fflush(stdout);
    }
    return 0;
}

// The engine mixes at 44100 Hz: a file at its rate is resampled to it (a plain copy at 44100 Hz,
// a full interpolation at 33000 Hz), and so is a live sound, which makes its frames first.
constexpr int kMixRate = 44100;

std::uint64_t stepFor(int rate)
{
    return std::uint64_t(std::llround(double(rate) / kMixRate * 4294967296.0));
}

// CPU ns per mixed frame of resampling `sample` at natural pitch, median of three runs.
double resampleCost(const audio::Sample& sample, long frames)
{
    const int period = 512;
    const audio::KernelTable& table = *audio::ResamplingKernel::table(0);
    std::vector<float> left(period), right(period);
    const std::uint64_t step = stepFor(sample.rate), end = std::uint64_t(sample.frames) << 32;
    std::vector<double> runs;
    for (int r = 0; r < 3; ++r) {
        std::uint64_t position = 0;
        const double t0 = cpuSeconds();
        for (long at = 0; at < frames; at += period) {
            if (position + std::uint64_t(period + 1) * step >= end)
                position = 0;
            audio::mixResampled(table, sample.data() + (position >> 32), position & 0xFFFFFFFFu, step, period, 0.5f,
                                0.0f, 0.5f, 0.0f, left.data(), right.data());
            position += std::uint64_t(period) * step;
        }
        runs.push_back(cpuSeconds() - t0);
        g_sink = left[5];
    }
    std::sort(runs.begin(), runs.end());
    return 1e9 * runs[1] / double(frames);
}

int cost(const fs::path& folder, double seconds)
{
    const int period = 512;
    std::vector<std::int16_t> block(period);
    std::vector<double> live(36), files(36);
    std::printf("CPU ns per frame mixed at %d Hz (median of 3 runs of %.0f s)\n", kMixRate, seconds / 3);
    std::printf("sound  making live  + resampling = live  file loop  ratio\n");
    for (int n = 1; n <= 35; ++n) {
        auto g = synth::makeEndless(n, 11);
        const long frames = long(seconds / 3 * g->rate());
        std::vector<double> runs;
        for (int r = 0; r < 3; ++r) {
            const double t0 = cpuSeconds();
            for (long at = 0; at < frames; at += period)
                g->generate(block.data(), period);
            runs.push_back(cpuSeconds() - t0);
            g_sink = block[7];
        }
        std::sort(runs.begin(), runs.end());
        // Per mixed frame: rate / kMixRate generated frames.
        const double making = 1e9 * runs[1] / double(frames) * g->rate() / kMixRate;
        auto sample = audio::loadSampleFile(fileOf(folder, n));
        const double resampling = resampleCost(*sample, long(seconds / 3 * kMixRate));
        live[std::size_t(n)] = making + resampling;
        files[std::size_t(n)] = resampling;
        std::printf("%5d  %11.1f  %12.1f  %5.1f  %9.1f  %5.1f\n", n, making, resampling, live[std::size_t(n)],
                    resampling, live[std::size_t(n)] / resampling);
        std::fflush(stdout);
    }
    auto sum = [&](const std::vector<double>& v, const std::vector<int>& which) {
        double s = 0;
        for (int n : which)
            s += v[std::size_t(n)];
        return s;
    };
    std::vector<int> all(35), first12(12);
    std::iota(all.begin(), all.end(), 1);
    std::iota(first12.begin(), first12.end(), 1);
    std::vector<int> dearest = all;
    std::sort(dearest.begin(), dearest.end(), [&](int a, int b) { return live[std::size_t(a)] > live[std::size_t(b)]; });
    dearest.resize(12);
    const std::vector<int> typical = {1, 2, 3, 6, 8, 9, 13, 15, 21, 23, 27, 33};
    for (auto [name, which] : {std::pair{"sounds 1-12", first12}, std::pair{"a typical 12", typical},
                               std::pair{"the dearest 12", dearest}, std::pair{"all 35", all}})
        std::printf("%-15s live %7.1f ns/frame (%.1f %% of a core), files %6.1f ns/frame, ratio %.1f\n", name,
                    sum(live, which), sum(live, which) * kMixRate * 1e-7, sum(files, which),
                    sum(live, which) / sum(files, which));
    return 0;
}

// One sound for a while, live or from its file, for counting instructions:
//     valgrind --tool=callgrind --toggle-collect='*LiveSound::generate*' bench_endless DIR one N 2
//     valgrind --tool=callgrind --toggle-collect='*mixResampled*' bench_endless DIR one N 2 file
int one(const fs::path& folder, int n, double seconds, bool file)
{
    const int period = 512;
    std::vector<float> left(period), right(period);
    std::vector<std::int16_t> block(period);
    if (!file) {
        auto g = synth::makeEndless(n, 11);
        for (long at = 0; at < long(seconds * g->rate()); at += period)
            g->generate(block.data(), period);
        g_sink = block[3];
        return 0;
    }
    auto sample = audio::loadSampleFile(fileOf(folder, n));
    const audio::KernelTable& table = *audio::ResamplingKernel::table(0);
    const std::uint64_t step = stepFor(sample->rate), end = std::uint64_t(sample->frames) << 32;
    std::uint64_t position = 0;
    for (long at = 0; at < long(seconds * kMixRate); at += period) {
        if (position + std::uint64_t(period + 1) * step >= end)
            position = 0;
        audio::mixResampled(table, sample->data() + (position >> 32), position & 0xFFFFFFFFu, step, period, 0.5f,
                            0.0f, 0.5f, 0.0f, left.data(), right.data());
        position += std::uint64_t(period) * step;
    }
    g_sink = left[3];
    return 0;
}

int start()
{
    std::printf("sound  making the generator, ms (median of 5)\n");
    double worst = 0;
    for (int n = 1; n <= 35; ++n) {
        std::vector<double> t;
        for (int r = 0; r < 5; ++r) {
            const auto t0 = Clock::now();
            auto g = synth::makeEndless(n, std::uint64_t(r + 1));
            t.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        }
        std::sort(t.begin(), t.end());
        std::printf("%5d  %6.2f\n", n, t[2]);
        worst = std::max(worst, t[2]);
    }
    std::printf("slowest: %.2f ms\n", worst);
    return 0;
}

} // namespace

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

// The player's way: the engine's mixer (keeping its rewind history, as it does for the deep
// queue), the source worker filling the rings, and the output's refill of about a second.
int player(double seconds, const std::vector<int>& numbers)
{
    const std::vector<int> typical = {1, 2, 3, 6, 8, 9, 13, 15, 21, 23, 27, 33};
    std::vector<int> all(35);
    std::iota(all.begin(), all.end(), 1);
    std::vector<std::pair<std::string, std::vector<int>>> sets = {{"a typical 12", typical}, {"all 35", all}};
    if (!numbers.empty()) {
        std::string name = "sounds";
        for (int n : numbers)
            name += " " + std::to_string(n);
        sets = {{name.size() > 15 ? std::to_string(numbers.size()) + " sounds" : name, numbers}};
    }
    std::printf("%.0f s of each, refills of 1 s paced in real time, CPU %% of one core\n", seconds);
    std::printf("sounds           generators   mixing   together   holds\n");
    for (const auto& [name, which] : sets) {
        audio::Mixer mixer(kMixRate, 64);
        mixer.keepHistory(5 * kMixRate / 2);
        audio::SourceWorker worker(64);
        mixer.setSourceWorker(&worker);
        std::vector<std::unique_ptr<audio::LiveSource>> sources;
        for (int n : which) {
            sources.push_back(std::make_unique<audio::LiveSource>(synth::makeEndless(n, 11)));
            const int index = int(sources.size()) - 1;
            audio::VoiceSlot& slot = mixer.slot(index);
            slot.live.store(sources.back().get());
            slot.frequency.store(sources.back()->rate());
            slot.volume.store(160);
            slot.keyOn.store(true);
            slot.generation.store(1);
            worker.set(index, sources.back().get());
        }
        worker.start();
        // The rings' first batches, as when the player starts its sounds.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        std::vector<float> out(2 * 4096);
        // About a second, as the server asks, in whole rewind points.
        const int refill = kMixRate / audio::Mixer::kSnapshotFrames * audio::Mixer::kSnapshotFrames;
        const double cpu0 = cpuSeconds();
        double mixing = 0;
        const auto start = Clock::now();
        auto next = start;
        long mixed = 0;
        while (mixed < long(seconds * kMixRate)) {
            const double t0 = threadCpuSeconds();
            for (int done = 0; done < refill; done += 4096)
                mixer.render(out.data(), std::min(4096, refill - done));
            mixing += threadCpuSeconds() - t0;
            g_sink = out[100];
            mixed += refill;
            next += std::chrono::microseconds(long(1e6 * refill / kMixRate));
            std::this_thread::sleep_until(next);
        }
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        const double total = cpuSeconds() - cpu0;
        worker.stop();
        std::printf("%-15s  %10.3f  %7.3f  %9.3f  %6llu\n", name.c_str(), 100 * (total - mixing) / wall, 100 * mixing / wall,
                    100 * total / wall, static_cast<unsigned long long>(mixer.starvedCount()));
        std::fflush(stdout);
    }
    return 0;
}

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_endless <program folder> likeness|calibrate|repeat|cost|start [args]\n");
        return 2;
    }
    const fs::path folder = argv[1];
    const std::string mode = argv[2];
    auto arg = [&](int i, double fallback) { return argc > i ? std::atof(argv[i]) : fallback; };
    if (mode == "likeness") {
        std::vector<int> numbers;
        for (int i = 5; i < argc; ++i)
            numbers.push_back(std::atoi(argv[i]));
        return likeness(folder, arg(3, 300), std::uint64_t(arg(4, 1)), numbers);
    }
    if (mode == "calibrate")
        return calibrate(arg(3, 400), std::uint64_t(arg(4, 7)));
    if (mode == "repeat") {
        std::vector<int> numbers;
        for (int i = 5; i < argc; ++i)
            numbers.push_back(std::atoi(argv[i]));
        return repeat(folder, arg(3, 1200), std::uint64_t(arg(4, 3)), numbers);
    }
    if (mode == "profile") {
        // One sound's bands, file beside live.
        const int n = int(arg(3, 1));
        const measure::Audio a = measure::readAudio(fileOf(folder, n));
        const auto f = bands(a.samples, a.rate), l = bands(renderLive(n, std::uint64_t(arg(5, 1)), arg(4, 60)), a.rate);
        for (std::size_t b = 0; b < f.size(); ++b)
            std::printf("%7.0f Hz  file %7.2f  live %7.2f  %+6.2f\n", bandHz(int(b)), f[b], l[b], l[b] - f[b]);
        return 0;
    }
    if (mode == "cost")
        return cost(folder, arg(3, 20));
    if (mode == "one")
        return one(folder, int(arg(3, 1)), arg(4, 2), argc > 5 && std::string(argv[5]) == "file");
    if (mode == "player") {
        std::vector<int> numbers;
        for (int i = 4; i < argc; ++i)
            if (const int n = std::atoi(argv[i]); n >= 1 && n <= 35)
                numbers.push_back(n);
        return player(arg(3, 20), numbers);
    }
    if (mode == "start")
        return start();
    std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
    return 2;
}
