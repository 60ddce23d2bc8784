#include "synth/synth.h"

#include "measure/measure.h"

#include <sndfile.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>

namespace sonaveil::synth {

void removeRumble(Signal& x, const Loop& loop)
{
    // Eighth order at 24 Hz: -13 dB at 20 Hz, -33 dB at 15 Hz, flat (< 0.01 dB) from 40 Hz up.
    filter(x, loop, highpass(24.0, 8));
}

namespace {

// Gain that keeps every |x| at or below `ceiling`, smooth over about 3 ms, circular. Returns the
// share of frames turned down by more than 1 dB.
double limit(Signal& x, const Loop& loop, double ceiling)
{
    const long n = long(x.size());
    const long w = std::max<long>(1, loop.rate / 700);
    std::vector<float> need(static_cast<std::size_t>(n));
    bool any = false;
    for (long i = 0; i < n; ++i) {
        const double a = std::fabs(x[i]);
        need[i] = a > ceiling ? float(ceiling / a) : 1.0f;
        any = any || a > ceiling;
    }
    if (!any)
        return 0.0;
    // Sliding minimum over [i-w, i+w] (circular), then a moving average of the same width:
    // each averaged value is at most the need at its centre, so the ceiling holds.
    std::vector<float> low(static_cast<std::size_t>(n));
    std::deque<long> q;
    for (long j = -2 * w; j < n + w; ++j) {
        const long idx = ((j % n) + n) % n;
        while (!q.empty() && need[((q.back() % n) + n) % n] >= need[idx])
            q.pop_back();
        q.push_back(j);
        while (q.front() < j - 2 * w)
            q.pop_front();
        const long centre = j - w;
        if (centre >= -w && centre < n)
            low[((centre % n) + n) % n] = need[((q.front() % n) + n) % n];
    }
    double acc = 0.0;
    for (long j = -w; j <= w; ++j)
        acc += low[((j % n) + n) % n];
    const double width = double(2 * w + 1);
    const double oneDb = dbToGain(-1.0);
    long turnedDown = 0;
    for (long i = 0; i < n; ++i) {
        const double g = acc / width;
        turnedDown += g < oneDb ? 1 : 0;
        x[i] = float(x[i] * std::min(1.0, g));
        acc += low[(i + w + 1) % n];
        acc -= low[((i - w) % n + n) % n];
    }
    return double(turnedDown) / double(n);
}

double peak(const Signal& x)
{
    double p = 0.0;
    for (float v : x)
        p = std::max(p, double(std::fabs(v)));
    return p;
}

} // namespace

Limiting level(Signal& x, const Loop& loop, double lufs, double ceilingDb)
{
    const double ceiling = dbToGain(ceilingDb);
    auto toLoudness = [&] {
        const double now = measure::integratedLoudness(x, loop.rate);
        const float g = float(dbToGain(lufs - now));
        for (float& v : x)
            v *= g;
    };
    Limiting done;
    for (int pass = 0; pass < 8; ++pass) {
        toLoudness();
        const double truePeak = dbToGain(measure::truePeakDb(x));
        if (truePeak <= ceiling)
            return done;
        // Limit the sample peaks by as much as the true peak stands over the ceiling; taking
        // loudness back up afterwards raises them again, so a few rounds settle it.
        const double samplePeak = peak(x);
        done.deepestDb = std::max(done.deepestDb, 20.0 * std::log10(truePeak / ceiling));
        done.shareOverOneDb = std::max(done.shareOverOneDb, limit(x, loop, ceiling * 0.985 * samplePeak / truePeak));
    }
    toLoudness();
    for (float& v : x)
        v = float(std::clamp(double(v), -ceiling, ceiling));
    return done;
}

std::vector<std::int16_t> render(const SoundRecipe& recipe, Limiting* limiting)
{
    const Loop loop = makeLoop(recipe.rate, recipe.seconds);
    Rng rng(0x5A0E'0000ull + std::uint64_t(recipe.number) * 7919ull);
    Signal x = recipe.make(loop, rng);
    x.resize(std::size_t(loop.frames), 0.0f);
    removeRumble(x, loop);
    if (recipe.alarm) {
        const double p = peak(x);
        const float g = float(dbToGain(-3.0) / std::max(p, 1e-9));
        for (float& v : x)
            v *= g;
    } else {
        const Limiting limited = level(x, loop, kTargetLoudnessLufs, kTruePeakCeilingDb);
        if (limiting)
            *limiting = limited;
        // Turning lopsided peaks down leaves a trace of offset; a constant this small moves no
        // peak measurably.
        double mean = 0.0;
        for (float v : x)
            mean += v;
        mean /= double(std::max<std::size_t>(1, x.size()));
        for (float& v : x)
            v = float(v - mean);
    }
    // Triangular dither of one step, from a stream of its own.
    Rng dither(0xD17E'0000ull + std::uint64_t(recipe.number));
    std::vector<std::int16_t> pcm(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double d = dither.uniform() - dither.uniform();
        const double s = std::round(x[i] * 32767.0 + d);
        pcm[i] = std::int16_t(std::clamp(s, -32767.0, 32767.0));
    }
    return pcm;
}

std::string write(const SoundRecipe& recipe, const std::vector<std::int16_t>& pcm,
                  const std::string& folder)
{
    namespace fs = std::filesystem;
    const fs::path target = fs::path(folder) / recipe.path;
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    const fs::path temp = target.string() + ".part";
    SF_INFO info{};
    info.samplerate = recipe.rate;
    info.channels = 1;
    info.format = recipe.container == Container::Flac ? (SF_FORMAT_FLAC | SF_FORMAT_PCM_16)
                                                      : (SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    SNDFILE* f = sf_open(temp.c_str(), SFM_WRITE, &info);
    if (!f)
        return target.string() + ": " + sf_strerror(nullptr);
    const sf_count_t written = sf_write_short(f, pcm.data(), sf_count_t(pcm.size()));
    const int closed = sf_close(f);
    if (written != sf_count_t(pcm.size()) || closed != 0) {
        fs::remove(temp, ec);
        return target.string() + ": could not write every frame";
    }
    fs::rename(temp, target, ec);
    if (ec)
        return target.string() + ": " + ec.message();
    return {};
}

std::vector<std::string> renderAll(const std::vector<const SoundRecipe*>& recipes,
                                   const std::string& folder, int threads, std::vector<Limiting>* limiting)
{
    if (limiting)
        limiting->assign(recipes.size(), Limiting{});
    std::atomic<std::size_t> nextIndex{0};
    std::mutex errorsMutex;
    std::vector<std::string> errors;
    auto work = [&] {
        for (;;) {
            const std::size_t i = nextIndex.fetch_add(1);
            if (i >= recipes.size())
                return;
            Limiting limited;
            const std::string e = write(*recipes[i], render(*recipes[i], &limited), folder);
            if (limiting)
                (*limiting)[i] = limited;
            if (!e.empty()) {
                std::lock_guard lock(errorsMutex);
                errors.push_back(e);
            }
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < std::max(1, threads); ++t)
        pool.emplace_back(work);
    work();
    for (auto& t : pool)
        t.join();
    return errors;
}

const SoundRecipe* findRecipe(int number)
{
    for (const auto& r : catalogue())
        if (r.number == number)
            return &r;
    return nullptr;
}

} // namespace sonaveil::synth
