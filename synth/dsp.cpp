#include "synth/dsp.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <map>
#include <mutex>
#include <numbers>

namespace sonaveil::synth {

namespace {


// FFTW's planner and the plans kept for the live sounds, one per kind and size. The planner is
// not reentrant (executing different plans at once is fine). At the program's end the kept plans
// and what the planner learnt are handed back, so that a leak check reports only real leaks.
struct Planner {
    std::mutex mutex;
    std::map<int, fftwf_plan> inverse, forward, complexInverse;

    ~Planner()
    {
        std::lock_guard lock(mutex);
        for (auto* kept : {&inverse, &forward, &complexInverse})
            for (const auto& [size, plan] : *kept)
                fftwf_destroy_plan(plan);
        fftwf_cleanup();
    }
};

Planner& planner()
{
    static Planner p;
    return p;
}

std::mutex& plannerMutex()
{
    return planner().mutex;
}

// Aligned buffers so that FFTW picks the same code path on every run.
template <typename T>
struct FftwBuffer {
    explicit FftwBuffer(std::size_t n) : data(static_cast<T*>(fftwf_malloc(sizeof(T) * n))), size(n) {}
    ~FftwBuffer() { fftwf_free(data); }
    FftwBuffer(const FftwBuffer&) = delete;
    FftwBuffer& operator=(const FftwBuffer&) = delete;
    T* data;
    std::size_t size;
};

using Bins = FftwBuffer<fftwf_complex>;

void forward(const Signal& x, Bins& bins)
{
    FftwBuffer<float> in(x.size());
    std::copy(x.begin(), x.end(), in.data);
    fftwf_plan plan;
    {
        std::lock_guard lock(plannerMutex());
        plan = fftwf_plan_dft_r2c_1d(int(x.size()), in.data, bins.data, FFTW_ESTIMATE);
    }
    fftwf_execute(plan);
    std::lock_guard lock(plannerMutex());
    fftwf_destroy_plan(plan);
}

// Destroys `bins`; divides by n.
Signal inverse(Bins& bins, long n)
{
    FftwBuffer<float> out(static_cast<std::size_t>(n));
    fftwf_plan plan;
    {
        std::lock_guard lock(plannerMutex());
        plan = fftwf_plan_dft_c2r_1d(int(n), bins.data, out.data, FFTW_ESTIMATE);
    }
    fftwf_execute(plan);
    {
        std::lock_guard lock(plannerMutex());
        fftwf_destroy_plan(plan);
    }
    Signal x(out.data, out.data + n);
    const float scale = 1.0f / float(n);
    for (float& v : x)
        v *= scale;
    return x;
}

double butterworth(double ratio, int order)
{
    return 1.0 / std::sqrt(1.0 + std::pow(ratio, 2.0 * order));
}

} // namespace

Rng::Rng(std::uint64_t seed)
{
    for (auto& word : m_s) {
        seed += 0x9E3779B97F4A7C15ull;
        std::uint64_t z = seed;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        word = z ^ (z >> 31);
    }
}

double Rng::gauss()
{
    double u1 = uniform();
    while (u1 <= 1e-300)
        u1 = uniform();
    const double u2 = uniform();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
}

double Rng::logNormal(double sigma)
{
    return std::exp(sigma * gauss());
}

Rng Rng::fork()
{
    return Rng(next());
}

double Loop::wholeCycles(double hz) const
{
    const double cycles = std::max(1.0, std::round(hz * seconds()));
    return cycles / seconds();
}

long Loop::at(double t) const
{
    long n = long(std::floor(t * rate)) % frames;
    return n < 0 ? n + frames : n;
}

Loop makeLoop(int rate, double seconds)
{
    Loop loop;
    loop.rate = rate;
    loop.frames = long(std::lround(rate * seconds));
    return loop;
}

Signal shapedNoise(const Loop& loop, Rng& rng, const Response& response)
{
    const long n = loop.frames;
    const long half = n / 2 + 1;
    Bins bins(static_cast<std::size_t>(half));
    const double binHz = double(loop.rate) / double(n);
    for (long k = 0; k < half; ++k) {
        const double phase = 2.0 * std::numbers::pi * rng.uniform();
        const double m = k == 0 ? 0.0 : response(k * binHz);
        bins.data[k][0] = float(m * std::cos(phase));
        bins.data[k][1] = float(m * std::sin(phase));
    }
    if (n % 2 == 0)
        bins.data[half - 1][1] = 0.0f;
    Signal x = inverse(bins, n);
    scaleToRms(x, 1.0);
    return x;
}

void filter(Signal& x, const Loop& loop, const Response& response)
{
    const long n = long(x.size());
    const long half = n / 2 + 1;
    Bins bins(static_cast<std::size_t>(half));
    forward(x, bins);
    const double binHz = double(loop.rate) / double(n);
    for (long k = 0; k < half; ++k) {
        const float m = k == 0 ? 0.0f : float(response(k * binHz));
        bins.data[k][0] *= m;
        bins.data[k][1] *= m;
    }
    x = inverse(bins, n);
}

Signal slowNoise(const Loop& loop, Rng& rng, double maxHz)
{
    // Made at a coarse rate and interpolated: the same motion, a fraction of the work.
    const int step = 64;
    Loop coarse;
    coarse.frames = std::max<long>(8, loop.frames / step);
    coarse.rate = int(std::lround(coarse.frames / loop.seconds()));
    Signal c = shapedNoise(coarse, rng, lowpass(maxHz, 3));
    const double ratio = double(coarse.frames) / double(loop.frames);
    Signal x(static_cast<std::size_t>(loop.frames));
    for (long i = 0; i < loop.frames; ++i) {
        const double pos = i * ratio;
        const long a = long(pos);
        const double f = pos - a;
        const long b = (a + 1) % coarse.frames;
        x[i] = float(c[a] * (1.0 - f) + c[b] * f);
    }
    return x;
}

Signal wobble(const Loop& loop, Rng& rng, double maxHz, double depth, double floor)
{
    Signal x = slowNoise(loop, rng, maxHz);
    for (float& v : x)
        v = float(std::max(floor, 1.0 + depth * v));
    return x;
}

Signal envelope(const Loop& loop, const std::function<double(double)>& fn, int step)
{
    const long points = (loop.frames + step - 1) / step;
    std::vector<double> p(std::size_t(points) + 1);
    for (long j = 0; j < points; ++j)
        p[j] = fn(double(j) * step / loop.rate);
    p[points] = p[0];
    Signal x(static_cast<std::size_t>(loop.frames));
    for (long i = 0; i < loop.frames; ++i) {
        const long j = i / step;
        // The last segment may be shorter than `step`: it closes onto the first point.
        const long segment = j == points - 1 ? loop.frames - j * step : step;
        const double g = double(i - j * step) / segment;
        x[i] = float(p[j] * (1.0 - g) + p[j + 1] * g);
    }
    return x;
}

double rms(const Signal& x)
{
    double sum = 0.0;
    for (float v : x)
        sum += double(v) * v;
    return x.empty() ? 0.0 : std::sqrt(sum / double(x.size()));
}

void scaleToRms(Signal& x, double target)
{
    const double r = rms(x);
    if (r <= 0.0)
        return;
    const float g = float(target / r);
    for (float& v : x)
        v *= g;
}

void mixDb(Signal& into, const Signal& x, double gainDb)
{
    if (into.empty())
        into.assign(x.size(), 0.0f);
    const float g = float(dbToGain(gainDb));
    for (std::size_t i = 0; i < into.size() && i < x.size(); ++i)
        into[i] += g * x[i];
}

void multiply(Signal& x, const Signal& env)
{
    for (std::size_t i = 0; i < x.size() && i < env.size(); ++i)
        x[i] *= env[i];
}

void addWrapped(Signal& into, long start, const Signal& kernel, float gain)
{
    const long n = long(into.size());
    long pos = ((start % n) + n) % n;
    for (float v : kernel) {
        into[std::size_t(pos)] += gain * v;
        if (++pos == n)
            pos = 0;
    }
}

std::vector<double> poissonTimes(Rng& rng, double ratePerSecond, double seconds)
{
    std::vector<double> times;
    if (ratePerSecond <= 0.0)
        return times;
    double t = 0.0;
    for (;;) {
        t += -std::log(1.0 - rng.uniform()) / ratePerSecond;
        if (t >= seconds)
            break;
        times.push_back(t);
    }
    return times;
}

double circularOffset(double t, double centre, double period)
{
    double d = std::fmod(t - centre, period);
    if (d > period / 2)
        d -= period;
    else if (d <= -period / 2)
        d += period;
    return d;
}

Response lowpass(double hz, int order)
{
    return [hz, order](double f) { return butterworth(f / hz, order); };
}

Response highpass(double hz, int order)
{
    return [hz, order](double f) { return f <= 0.0 ? 0.0 : butterworth(hz / f, order); };
}

Response bandpass(double lo, double hi, int order)
{
    return [lo, hi, order](double f) {
        return f <= 0.0 ? 0.0 : butterworth(lo / f, order) * butterworth(f / hi, order);
    };
}

Response tilt(double dbPerOctave, double refHz)
{
    // Power slope s dB/octave is a magnitude exponent s / (20 log10 2).
    const double exponent = dbPerOctave / (20.0 * std::log10(2.0));
    return [exponent, refHz](double f) { return f <= 0.0 ? 0.0 : std::pow(f / refHz, exponent); };
}

Response bump(double hz, double octaves, double gainDb)
{
    const double g = dbToGain(gainDb) - 1.0;
    return [hz, octaves, g](double f) {
        if (f <= 0.0)
            return 1.0;
        const double d = std::log2(f / hz) / octaves;
        return 1.0 + g * std::exp(-0.5 * d * d);
    };
}

Response product(std::vector<Response> parts)
{
    return [parts](double f) {
        double m = 1.0;
        for (const auto& p : parts)
            m *= p(f);
        return m;
    };
}

Response sum(std::vector<Response> parts)
{
    return [parts](double f) {
        double m = 0.0;
        for (const auto& p : parts)
            m += p(f);
        return m;
    };
}

double dbToGain(double db)
{
    return std::pow(10.0, db / 20.0);
}

namespace {

// The plan in `plans` for transforms of size n, made by `make` the first time; plans are made
// and looked up under the planner's lock.
template <class Make>
const void* keptPlan(std::map<int, fftwf_plan>& plans, int n, Make make)
{
    std::lock_guard lock(plannerMutex());
    auto found = plans.find(n);
    if (found != plans.end())
        return found->second;
    fftwf_plan plan = make();
    plans.emplace(n, plan);
    return plan;
}

} // namespace

const void* inversePlan(int n)
{
    return keptPlan(planner().inverse, n, [n] {
        FftwBuffer<fftwf_complex> bins(std::size_t(n / 2 + 1));
        FftwBuffer<float> out(static_cast<std::size_t>(n));
        return fftwf_plan_dft_c2r_1d(n, bins.data, out.data, FFTW_ESTIMATE);
    });
}

void runInverse(const void* plan, float* bins, float* out)
{
    fftwf_execute_dft_c2r(static_cast<fftwf_plan>(const_cast<void*>(plan)),
                          reinterpret_cast<fftwf_complex*>(bins), out);
}

const void* forwardPlan(int n)
{
    return keptPlan(planner().forward, n, [n] {
        FftwBuffer<float> in(static_cast<std::size_t>(n));
        FftwBuffer<fftwf_complex> bins(std::size_t(n / 2 + 1));
        return fftwf_plan_dft_r2c_1d(n, in.data, bins.data, FFTW_ESTIMATE);
    });
}

void runForward(const void* plan, float* in, float* bins)
{
    fftwf_execute_dft_r2c(static_cast<fftwf_plan>(const_cast<void*>(plan)), in,
                          reinterpret_cast<fftwf_complex*>(bins));
}

const void* complexInversePlan(int n)
{
    return keptPlan(planner().complexInverse, n, [n] {
        FftwBuffer<fftwf_complex> in(static_cast<std::size_t>(n)), out(static_cast<std::size_t>(n));
        return fftwf_plan_dft_1d(n, in.data, out.data, FFTW_BACKWARD, FFTW_ESTIMATE);
    });
}

void runComplexInverse(const void* plan, const float* in, float* out)
{
    fftwf_execute_dft(static_cast<fftwf_plan>(const_cast<void*>(plan)),
                      reinterpret_cast<fftwf_complex*>(const_cast<float*>(in)), reinterpret_cast<fftwf_complex*>(out));
}

float* fftBuffer(std::size_t floats)
{
    return static_cast<float*>(fftwf_malloc(sizeof(float) * floats));
}

void freeFftBuffer(float* buffer)
{
    fftwf_free(buffer);
}

} // namespace sonaveil::synth
