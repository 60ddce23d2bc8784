// How clean the engine sounds, measured on what quietdeck-render writes: tone and noise files in a
// program folder of their own (--program-folder), rendered at chosen pitches, analysed here.
//
//     bench_quality <quietdeck-render> [<program folder with the real sample files>] [--fade]
//
// Give it the render tool of any build (this one's, main's) to compare them. Figures in dB:
//   image_14k_33k        the 19 kHz mirror of a 14 kHz tone in a 33 kHz file at its own rate
//   noise_half_above_13k white noise at half speed: mean level 13 … 21 kHz against 1 … 9 kHz
//   spur_10k_x1.13/x1.6  the strongest component other than a 10 kHz tone sped up
//   alias_18k_x1.6       an 18 kHz tone at 1.6 times (28.8 kHz) folded to 15.3 kHz
//   level_15k_x1.13      a 15 kHz tone at 1.13 times against the same output tone at natural speed
//   droop_1k_worst       the largest level difference of a 1 kHz output tone over speeds
//   thdn_ten_tones       ten tones at full volume and master, everything but the tones
//   true_peak_10/35      10 and 35 of the real sounds at full volume and master: dBTP and the
//                        highest sample (needs the real program folder)
//   fade_600             (--fade) white noise at volume 100 faded over 600 s: the largest step
//                        per 250 ms above -60 dB and how long before the end silence begins
#include "measure/measure.h"

#include <fftw3.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace sonaveil;

namespace {

constexpr int kRate = 44100;
std::string g_render;
fs::path g_folder;

// One second of white noise from -0.5 to 0.5, the same for the same seed.
std::vector<float> whiteNoise(unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> u(-0.5f, 0.5f);
    std::vector<float> noise(kRate);
    for (float& v : noise)
        v = u(rng);
    return noise;
}

// A whole number of periods in one second: the loop has no seam.
std::vector<float> tone(double hz, int rate, double amplitude = 0.5)
{
    std::vector<float> x(static_cast<std::size_t>(rate));
    for (int i = 0; i < rate; ++i)
        x[std::size_t(i)] = float(amplitude * std::sin(2 * M_PI * std::round(hz) * i / rate));
    return x;
}

// Renders `args` (a quick mix of sound 1 unless it says otherwise) and returns both channels.
bool render(const std::string& args, std::vector<float>& left, std::vector<float>& right,
            const fs::path& folder = g_folder)
{
    const fs::path out = fs::temp_directory_path() / "bench_quality.wav";
    const std::string command = "'" + g_render + "' --program-folder '" + folder.string() + "' " + args
        + " --out '" + out.string() + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0)
        return false;
    SF_INFO info{};
    SNDFILE* f = sf_open(out.c_str(), SFM_READ, &info);
    if (!f)
        return false;
    std::vector<float> data(std::size_t(info.frames) * 2);
    sf_readf_float(f, data.data(), info.frames);
    sf_close(f);
    fs::remove(out);
    left.resize(std::size_t(info.frames));
    right.resize(std::size_t(info.frames));
    for (std::size_t i = 0; i < left.size(); ++i) {
        left[i] = data[2 * i];
        right[i] = data[2 * i + 1];
    }
    return true;
}

// Mean power per bin, Blackman-Harris windows of 8192 with half overlap, after the first second.
std::vector<double> spectrum(const std::vector<float>& x)
{
    return measure::welch(x, kRate, 8192, measure::Window::BlackmanHarris, kRate).power;
}

double binHz() { return double(kRate) / 8192.0; }

// Power of the component at `hz` (its main lobe, ±4 bins), in dB.
double componentDb(const std::vector<double>& p, double hz)
{
    const int centre = int(std::lround(hz / binHz()));
    double sum = 0;
    for (int b = std::max(0, centre - 4); b <= centre + 4 && b < int(p.size()); ++b)
        sum += p[std::size_t(b)];
    return 10 * std::log10(sum + 1e-30);
}

double worstOtherDb(const std::vector<double>& p, double hz)
{
    double worst = 1e-30;
    for (std::size_t b = 6; b < p.size(); ++b) {
        if (std::fabs(double(b) * binHz() - hz) < 10 * binHz())
            continue;
        double lobe = 0;
        for (std::size_t k = b - 4; k <= b + 4 && k < p.size(); ++k)
            lobe += p[k];
        worst = std::max(worst, lobe);
    }
    return 10 * std::log10(worst) - componentDb(p, hz);
}

double bandDb(const std::vector<double>& p, double lo, double hi)
{
    double sum = 0;
    int bins = 0;
    for (std::size_t b = 0; b < p.size(); ++b)
        if (double(b) * binHz() >= lo && double(b) * binHz() < hi) {
            sum += p[b];
            ++bins;
        }
    return 10 * std::log10(sum / std::max(bins, 1) + 1e-30);
}

double rmsDb(const std::vector<float>& x, std::size_t from)
{
    double sum = 0;
    for (std::size_t i = from; i < x.size(); ++i)
        sum += double(x[i]) * x[i];
    return 10 * std::log10(sum / double(x.size() - from) + 1e-30);
}

// Highest absolute value between the frames too: four times the rate, 64-tap windowed sinc.
double truePeak(const std::vector<float>& x)
{
    constexpr int half = 32;
    std::vector<double> h(3 * 2 * half);
    for (int q = 1; q < 4; ++q)
        for (int j = -half + 1; j <= half; ++j) {
            const double t = j - q / 4.0;
            h[std::size_t((q - 1) * 2 * half + (j + half - 1))] =
                std::sin(M_PI * t) / (M_PI * t) * (0.5 + 0.5 * std::cos(M_PI * t / half));
        }
    double peak = 0;
    for (std::size_t i = half; i + half < x.size(); ++i) {
        peak = std::max(peak, double(std::fabs(x[i])));
        if (std::fabs(x[i]) < 0.6f)
            continue;
        for (int q = 0; q < 3; ++q) {
            double v = 0;
            for (int j = 0; j < 2 * half; ++j)
                v += h[std::size_t(q * 2 * half + j)] * x[i - half + 1 + std::size_t(j)];
            peak = std::max(peak, std::fabs(v));
        }
    }
    return 20 * std::log10(peak + 1e-30);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_quality <quietdeck-render> [<program folder>] [--fade]\n");
        return 2;
    }
    g_render = argv[1];
    fs::path real;
    bool fade = false;
    for (int i = 2; i < argc; ++i) {
        if (std::string(argv[i]) == "--fade")
            fade = true;
        else
            real = argv[i];
    }
    g_folder = fs::temp_directory_path() / ("bench_quality_" + std::to_string(::getpid()));
    fs::create_directories(g_folder / "bin");
    auto put = [](const std::vector<float>& x, int rate) { measure::writeMonoWav(g_folder / "bin/1.isz", x, rate); };
    std::vector<float> l, r;
    auto run = [&](const std::string& args) {
        if (!render(args, l, r)) {
            std::fprintf(stderr, "bench_quality: the render failed: %s\n", args.c_str());
            std::exit(2);
        }
        return spectrum(l);
    };
    const std::string full = "--sound 1 --volume 255 --master 100 --pan 0 --seconds 4 ";

    put(tone(14000, 33000), 33000);
    auto p = run(full + "--pitch 3300");
    std::printf("image_14k_33k %.1f\n", componentDb(p, 19000) - componentDb(p, 14000));

    {
        put(whiteNoise(7), kRate);
        p = run(full + "--pitch 2205");
        std::printf("noise_half_above_13k %.1f\n", bandDb(p, 13000, 21000) - bandDb(p, 1000, 9000));
    }

    put(tone(10000, kRate), kRate);
    p = run(full + "--pitch 4983");
    std::printf("spur_10k_x1.13 %.1f\n", worstOtherDb(p, 10000 * 4983 / 4410.0));
    p = run(full + "--pitch 7056");
    std::printf("spur_10k_x1.6 %.1f\n", worstOtherDb(p, 16000));

    put(tone(15300, kRate), kRate);
    const double reference = componentDb(run(full + "--pitch 4410"), 15300);
    put(tone(18000, kRate), kRate);
    std::printf("alias_18k_x1.6 %.1f\n", componentDb(run(full + "--pitch 7056"), 15300) - reference);

    put(tone(15000 * 4983 / 4410.0, kRate), kRate);
    run(full + "--pitch 4410");
    const double natural15 = rmsDb(l, kRate);
    put(tone(15000, kRate), kRate);
    run(full + "--pitch 4983");
    std::printf("level_15k_x1.13 %.2f\n", rmsDb(l, kRate) - natural15);

    double droop = 0, natural1k = 0;
    for (int pitch : {4410, 1500, 2205, 3300, 4000, 4600, 4983, 6000, 7056}) {
        put(tone(1000.0 * 4410 / pitch, kRate), kRate);
        run(full + "--pitch " + std::to_string(pitch));
        // The tone is an exact number of cycles only at whole-Hz sources; the level is its RMS.
        const double level = rmsDb(l, kRate);
        if (pitch == 4410)
            natural1k = level;
        droop = std::max(droop, std::fabs(level - natural1k));
    }
    std::printf("droop_1k_worst %.3f\n", droop);

    {
        // Ten tones as sounds 1 … 10, each at full volume: the limiter works on their sum.
        std::string list;
        for (int k = 0; k < 10; ++k) {
            measure::writeMonoWav(g_folder / ("bin/" + std::to_string(k + 1) + ".isz"), tone(331.0 * (k + 1) + 97, kRate, 0.3),
                      kRate);
            list += (k ? "," : "") + std::to_string(k + 1);
        }
        // In float: 16 bits with dither would put their own floor near -84 dB under this mix.
        if (!render("--sound " + list + " --volume 255 --master 100 --seconds 6 --float", l, r)) {
            std::fprintf(stderr, "bench_quality: the ten-tone render failed\n");
            return 2;
        }
        // Exactly one second from the fifth on: every tone sits on a bin.
        const int n = kRate;
        std::vector<float> in(l.begin() + 4 * kRate, l.begin() + 5 * kRate);
        std::vector<fftwf_complex> out(std::size_t(n / 2 + 1));
        fftwf_plan plan = fftwf_plan_dft_r2c_1d(n, in.data(), out.data(), FFTW_ESTIMATE);
        fftwf_execute(plan);
        fftwf_destroy_plan(plan);
        double all = 0, tones = 0;
        for (int b = 1; b <= n / 2; ++b) {
            const double power = double(out[std::size_t(b)][0]) * out[std::size_t(b)][0]
                + double(out[std::size_t(b)][1]) * out[std::size_t(b)][1];
            all += power;
            for (int k = 0; k < 10; ++k)
                if (std::abs(b - (331 * (k + 1) + 97)) <= 1)
                    tones += power;
        }
        std::printf("thdn_ten_tones %.1f\n", 10 * std::log10((all - tones) / all));
    }

    if (!real.empty()) {
        for (int count : {10, 35}) {
            std::string list;
            for (int k = 1; k <= count; ++k)
                list += (k > 1 ? "," : "") + std::to_string(k);
            if (!render("--sound " + list + " --volume 255 --master 100 --seconds 20", l, r, real)) {
                std::fprintf(stderr, "bench_quality: the render of the real sounds failed\n");
                return 2;
            }
            float sample = 0;
            for (std::size_t i = 0; i < l.size(); ++i)
                sample = std::max({sample, std::fabs(l[i]), std::fabs(r[i])});
            std::printf("true_peak_%d %.2f dBTP, highest sample %.2f dBFS\n", count,
                        std::max(truePeak(l), truePeak(r)), 20 * std::log10(sample));
        }
    }

    if (fade) {
        put(whiteNoise(9), kRate);
        if (!render("--sound 1 --volume 100 --master 100 --seconds 600 --fade-out 600", l, r)) {
            std::fprintf(stderr, "bench_quality: the fade render failed (no --fade-out in this build?)\n");
            return 2;
        }
        constexpr std::size_t window = kRate / 4;
        const double start = rmsDb(std::vector<float>(l.begin(), l.begin() + window), 0);
        double previous = start, worstStep = 0;
        std::size_t silentAt = l.size();
        for (std::size_t at = 0; at + window <= l.size(); at += window) {
            double sum = 0;
            for (std::size_t i = at; i < at + window; ++i)
                sum += double(l[i]) * l[i];
            const double level = 10 * std::log10(sum / window + 1e-30);
            if (level - start > -60)
                worstStep = std::max(worstStep, std::fabs(level - previous));
            if (sum == 0 && silentAt == l.size())
                silentAt = at;
            previous = level;
        }
        std::printf("fade_600 largest step per 250 ms above -60 dB %.2f dB; silent from %.2f s before the end\n",
                    worstStep, double(l.size() - silentAt) / kRate);
    }
    fs::remove_all(g_folder);
    return 0;
}
