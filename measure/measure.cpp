#include "measure/measure.h"

#include <fftw3.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>
#include <numeric>

namespace sonaveil::measure {

namespace {


double toDb(double v)
{
    return 20.0 * std::log10(std::max(v, 1e-12));
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0.0;
    const std::size_t k = std::min(v.size() - 1, std::size_t(p * double(v.size() - 1)));
    std::nth_element(v.begin(), v.begin() + long(k), v.end());
    return v[k];
}

// Power spectrum of one real block (squared magnitudes, bins 0..n/2).
std::vector<double> powerOf(std::vector<float>& block)
{
    const int n = int(block.size());
    std::vector<fftwf_complex> out(std::size_t(n / 2 + 1));
    static std::mutex planner;
    fftwf_plan plan;
    {
        std::lock_guard lock(planner);
        plan = fftwf_plan_dft_r2c_1d(n, block.data(), out.data(), FFTW_ESTIMATE | FFTW_UNALIGNED);
    }
    fftwf_execute(plan);
    {
        std::lock_guard lock(planner);
        fftwf_destroy_plan(plan);
    }
    std::vector<double> p(out.size());
    for (std::size_t k = 0; k < out.size(); ++k)
        p[k] = double(out[k][0]) * out[k][0] + double(out[k][1]) * out[k][1];
    return p;
}

std::vector<double> levelEnvelope(const std::vector<float>& x, std::size_t window)
{
    std::vector<double> env;
    for (std::size_t i = 0; i + window <= x.size(); i += window) {
        double s = 0.0;
        for (std::size_t j = i; j < i + window; ++j)
            s += double(x[j]) * x[j];
        env.push_back(std::sqrt(s / double(window)));
    }
    return env;
}

// One biquad, run in direct form I in double precision.
struct Biquad {
    double b0, b1, b2, a1, a2;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double run(double x)
    {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

// The two stages of the K-weighting filter at any rate, from their analogue prototypes.
std::pair<Biquad, Biquad> kWeighting(int rate)
{
    double k = std::tan(std::numbers::pi * 1681.974450955533 / rate);
    const double q = 0.7071752369554196;
    const double vh = std::pow(10.0, 3.999843853973347 / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416);
    double a0 = 1.0 + k / q + k * k;
    Biquad shelf{(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
                 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
    k = std::tan(std::numbers::pi * 38.13547087602444 / rate);
    const double qh = 0.5003270373238773;
    a0 = 1.0 + k / qh + k * k;
    Biquad highpass{1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / qh + k * k) / a0};
    return {shelf, highpass};
}

} // namespace

double integratedLoudness(const std::vector<float>& loop, int rate)
{
    const std::size_t n = loop.size();
    if (n == 0 || rate <= 0)
        return -HUGE_VAL;
    auto [shelf, highpass] = kWeighting(rate);
    // Two passes: the first only settles the filters, so the second sees the loop as endless.
    std::vector<double> squared(n);
    for (int pass = 0; pass < 2; ++pass)
        for (std::size_t i = 0; i < n; ++i) {
            const double y = highpass.run(shelf.run(loop[i]));
            if (pass == 1)
                squared[i] = y * y;
        }
    // Running sums make every 400 ms block (circular) one subtraction.
    std::vector<double> cumulative(2 * n + 1, 0.0);
    for (std::size_t i = 0; i < 2 * n; ++i)
        cumulative[i + 1] = cumulative[i] + squared[i % n];
    const std::size_t block = std::min(n, std::size_t(std::lround(0.4 * rate)));
    const double step = 0.1 * rate;
    std::vector<double> powers;
    for (double start = 0; start < double(n); start += step) {
        const std::size_t s = std::size_t(start);
        powers.push_back((cumulative[s + block] - cumulative[s]) / double(block));
    }
    auto loudness = [](double power) { return -0.691 + 10.0 * std::log10(std::max(power, 1e-30)); };
    auto gatedMean = [&](double thresholdLufs) {
        double sum = 0.0;
        int count = 0;
        for (double p : powers)
            if (loudness(p) > thresholdLufs) {
                sum += p;
                ++count;
            }
        return count ? sum / count : 0.0;
    };
    const double absolute = gatedMean(-70.0);
    if (absolute <= 0.0)
        return -HUGE_VAL;
    return loudness(gatedMean(loudness(absolute) - 10.0));
}

double truePeakDb(const std::vector<float>& loop)
{
    const long n = long(loop.size());
    if (n == 0)
        return -HUGE_VAL;
    // Four phases of a sinc windowed by a Blackman-Harris window, 2 * 16 taps each.
    constexpr int kOver = 4, kHalf = 16;
    double taps[kOver][2 * kHalf];
    for (int p = 0; p < kOver; ++p)
        for (int t = 0; t < 2 * kHalf; ++t) {
            // Tap t weighs frame i + t - kHalf + 1 for the value at i + p / kOver.
            const double d = double(kHalf - 1 - t) + double(p) / kOver;
            const double sinc = std::fabs(d) < 1e-12 ? 1.0 : std::sin(std::numbers::pi * d) / (std::numbers::pi * d);
            const double u = 2.0 * std::numbers::pi * (d + kHalf) / (2.0 * kHalf);
            const double bh = 0.35875 - 0.48829 * std::cos(u) + 0.14128 * std::cos(2 * u) - 0.01168 * std::cos(3 * u);
            taps[p][t] = sinc * bh;
        }
    // The loop with its other end on either side, so the interpolator reads across the wrap.
    std::vector<float> padded(std::size_t(n + 2 * kHalf));
    for (long i = 0; i < n + 2 * kHalf; ++i)
        padded[std::size_t(i)] = loop[std::size_t((((i - kHalf) % n) + n) % n)];
    double peak = 0.0;
    for (long i = 0; i < n; ++i) {
        const float* around = padded.data() + i + 1; // frame i - kHalf + 1
        peak = std::max(peak, double(std::fabs(loop[std::size_t(i)])));
        for (int p = 1; p < kOver; ++p) {
            double y = 0.0;
            for (int t = 0; t < 2 * kHalf; ++t)
                y += taps[p][t] * around[t];
            peak = std::max(peak, std::fabs(y));
        }
    }
    return toDb(peak);
}

double envelopeRepeat(const std::vector<float>& loop, int rate, double minLagSeconds)
{
    const std::size_t window = std::size_t(rate / 10);
    if (window == 0)
        return 0.0;
    const auto env = levelEnvelope(loop, window);
    const std::size_t m = env.size();
    if (m < 4)
        return 0.0;
    std::vector<double> db(m);
    double mean = 0.0;
    for (std::size_t i = 0; i < m; ++i) {
        db[i] = toDb(env[i]);
        mean += db[i];
    }
    mean /= double(m);
    double var = 0.0;
    for (double& v : db) {
        v -= mean;
        var += v * v;
    }
    if (var <= 0.0)
        return 0.0;
    double best = -1.0;
    const std::size_t minLag = std::max<std::size_t>(1, std::size_t(std::lround(minLagSeconds * 10.0)));
    for (std::size_t lag = minLag; lag <= m / 2; ++lag) {
        double c = 0.0;
        for (std::size_t i = 0; i < m; ++i)
            c += db[i] * db[(i + lag) % m];
        best = std::max(best, c / var);
    }
    return best;
}

Audio readAudio(const std::string& path)
{
    Audio a;
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f) {
        a.error = sf_strerror(nullptr);
        return a;
    }
    a.rate = info.samplerate;
    a.channels = info.channels;
    a.format = info.format;
    std::vector<float> all(static_cast<std::size_t>(info.frames) * std::size_t(info.channels));
    const sf_count_t got = sf_readf_float(f, all.data(), info.frames);
    sf_close(f);
    a.samples.resize(std::size_t(got));
    for (sf_count_t i = 0; i < got; ++i)
        a.samples[std::size_t(i)] = all[std::size_t(i) * std::size_t(info.channels)];
    if (got != info.frames)
        a.error = "short read";
    return a;
}

bool writeMonoWav(const std::string& path, const std::vector<float>& samples, int rate)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f)
        return false;
    const bool written = sf_writef_float(f, samples.data(), sf_count_t(samples.size())) == sf_count_t(samples.size());
    return sf_close(f) == 0 && written;
}

std::vector<double> thirdOctaveBandsDb(const Welch& w)
{
    std::vector<double> bands;
    double loudest = -1e9;
    for (int b = -16; b <= 13; ++b) {
        const double centre = 1000.0 * std::pow(2.0, b / 3.0);
        const double a = centre * std::pow(2.0, -1.0 / 6.0), z = centre * std::pow(2.0, 1.0 / 6.0);
        double s = 1e-30;
        for (std::size_t k = std::size_t(std::ceil(a / w.binHz)); double(k) * w.binHz < z && k < w.power.size(); ++k)
            s += w.power[k];
        bands.push_back(10.0 * std::log10(s));
        loudest = std::max(loudest, bands.back());
    }
    for (double& b : bands)
        b = std::max(b - loudest, -80.0);
    return bands;
}

std::vector<double> levelsDb(const std::vector<float>& x, int rate)
{
    const std::size_t w = std::size_t(rate / 10);
    std::vector<double> e;
    for (std::size_t i = 0; w > 0 && i + w <= x.size(); i += w) {
        double s = 0;
        for (std::size_t j = i; j < i + w; ++j)
            s += double(x[j]) * x[j];
        e.push_back(10.0 * std::log10(s / double(w) + 1e-12));
    }
    return e;
}

double lagCorrelation(const std::vector<double>& e, std::size_t lag)
{
    if (lag >= e.size())
        return 0.0;
    const std::size_t n = e.size() - lag;
    double ma = 0, mb = 0;
    for (std::size_t i = 0; i < n; ++i) {
        ma += e[i];
        mb += e[i + lag];
    }
    ma /= double(n);
    mb /= double(n);
    double ab = 0, aa = 0, bb = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double a = e[i] - ma, b = e[i + lag] - mb;
        ab += a * b;
        aa += a * a;
        bb += b * b;
    }
    return ab / std::sqrt(aa * bb + 1e-30);
}

Welch welch(const std::vector<float>& x, int rate, int segment, Window shape, std::size_t from)
{
    Welch w;
    w.binHz = double(rate) / segment;
    w.power.assign(std::size_t(segment / 2 + 1), 0.0);
    std::vector<double> window(static_cast<std::size_t>(segment));
    for (int i = 0; i < segment; ++i) {
        const double a = 2.0 * std::numbers::pi * i / segment;
        window[std::size_t(i)] = shape == Window::Hann
                                     ? 0.5 - 0.5 * std::cos(a)
                                     : 0.35875 - 0.48829 * std::cos(a) + 0.14128 * std::cos(2 * a) - 0.01168 * std::cos(3 * a);
    }
    int blocks = 0;
    std::vector<float> block(static_cast<std::size_t>(segment));
    for (std::size_t start = from; start + std::size_t(segment) <= x.size(); start += std::size_t(segment / 2)) {
        for (int i = 0; i < segment; ++i)
            block[std::size_t(i)] = float(x[start + std::size_t(i)] * window[std::size_t(i)]);
        const auto p = powerOf(block);
        for (std::size_t k = 0; k < p.size(); ++k)
            w.power[k] += p[k];
        ++blocks;
    }
    for (double& p : w.power)
        p /= std::max(1, blocks);
    return w;
}

double fittedSlope(const Welch& w, double lo, double hi)
{
    // Third-octave bands, centred on octave multiples of 1 kHz, wholly inside [lo, hi].
    std::vector<double> xs, ys;
    for (int b = -30; b <= 20; ++b) {
        const double centre = 1000.0 * std::pow(2.0, b / 3.0);
        const double a = centre * std::pow(2.0, -1.0 / 6.0);
        const double z = centre * std::pow(2.0, 1.0 / 6.0);
        if (a < lo || z > hi)
            continue;
        double sum = 0.0;
        int count = 0;
        for (std::size_t k = std::size_t(std::ceil(a / w.binHz)); double(k) * w.binHz < z && k < w.power.size(); ++k) {
            sum += w.power[k];
            ++count;
        }
        if (count == 0)
            continue;
        xs.push_back(std::log2(centre));
        ys.push_back(10.0 * std::log10(sum / count));
    }
    const double n = double(xs.size());
    if (n < 2)
        return 0.0;
    const double mx = std::accumulate(xs.begin(), xs.end(), 0.0) / n;
    const double my = std::accumulate(ys.begin(), ys.end(), 0.0) / n;
    double sxy = 0.0, sxx = 0.0;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        sxy += (xs[i] - mx) * (ys[i] - my);
        sxx += (xs[i] - mx) * (xs[i] - mx);
    }
    return sxy / sxx;
}

Measures measure(const Audio& audio)
{
    Measures m;
    const auto& x = audio.samples;
    if (x.size() < 2 || audio.rate <= 0)
        return m;
    const std::size_t n = x.size();
    m.seconds = double(n) / audio.rate;
    double sum = 0.0, sq = 0.0, peak = 0.0;
    for (float v : x) {
        sum += v;
        sq += double(v) * v;
        peak = std::max(peak, double(std::fabs(v)));
    }
    m.rmsDb = toDb(std::sqrt(sq / double(n)));
    m.peakDb = toDb(peak);
    m.dcDb = toDb(std::fabs(sum / double(n)));
    m.loudnessLufs = integratedLoudness(x, audio.rate);
    m.truePeakDb = truePeakDb(x);
    m.envelopeRepeat = envelopeRepeat(x, audio.rate);

    std::vector<double> steps(n - 1);
    for (std::size_t i = 1; i < n; ++i)
        steps[i - 1] = std::fabs(double(x[i]) - x[i - 1]);
    {
        double s2 = 0.0, s4 = 0.0;
        for (std::size_t i = 1; i < n; ++i) {
            const double d = double(x[i]) - x[i - 1];
            s2 += d * d;
            s4 += d * d * d * d;
        }
        s2 /= double(n - 1);
        s4 /= double(n - 1);
        m.clickiness = s2 > 0 ? s4 / (s2 * s2) : 0.0;
    }
    m.wrapJump = std::fabs(double(x.front()) - x.back());
    m.medianStep = percentile(steps, 0.5);
    m.highStep = percentile(steps, 0.999);

    // Level just before the end against just after the start, and the same for neighbouring
    // windows everywhere else.
    const std::size_t win = std::size_t(audio.rate / 20);
    const auto env50 = levelEnvelope(x, win);
    std::vector<double> changes;
    for (std::size_t i = 1; i < env50.size(); ++i)
        changes.push_back(std::fabs(toDb(env50[i]) - toDb(env50[i - 1])));
    m.highLevelStepDb = percentile(changes, 0.99);
    const std::vector<float> tail(x.end() - long(win), x.end());
    const std::vector<float> head(x.begin(), x.begin() + long(win));
    m.seamLevelDb = std::fabs(toDb(levelEnvelope(tail, win)[0]) - toDb(levelEnvelope(head, win)[0]));

    const Welch w = welch(x, audio.rate);
    double total = 0.0, weighted = 0.0, low = 0.0;
    // Bin 0 counts: an offset is energy below 20 Hz too.
    for (std::size_t k = 0; k < w.power.size(); ++k) {
        const double f = double(k) * w.binHz;
        total += w.power[k];
        weighted += f * w.power[k];
        if (f < 20.0)
            low += w.power[k];
    }
    m.centroidHz = total > 0 ? weighted / total : 0.0;
    m.below20Db = 10.0 * std::log10(std::max(low, 1e-30) / std::max(total, 1e-30));

    m.bandsDb = thirdOctaveBandsDb(w);

    // The 10 ms level: its spread, and its strongest rhythm (periodogram of the whole file).
    const auto env10 = levelEnvelope(x, std::size_t(audio.rate / 100));
    std::vector<double> envDb;
    for (double e : env10)
        envDb.push_back(toDb(e));
    const double meanDb = std::accumulate(envDb.begin(), envDb.end(), 0.0) / double(envDb.size());
    double var = 0.0;
    for (double e : envDb)
        var += (e - meanDb) * (e - meanDb);
    m.envelopeSpreadDb = std::sqrt(var / double(envDb.size()));
    std::vector<float> centred(env10.size());
    const double meanLevel = std::accumulate(env10.begin(), env10.end(), 0.0) / double(env10.size());
    for (std::size_t i = 0; i < env10.size(); ++i)
        centred[i] = float(env10[i] - meanLevel);
    const auto p = powerOf(centred);
    const double envBinHz = 100.0 / double(centred.size());
    double best = 0.0;
    for (std::size_t k = 1; k < p.size(); ++k) {
        const double f = double(k) * envBinHz;
        if (f >= 0.1 && f <= 40.0 && p[k] > best) {
            best = p[k];
            m.rhythmHz = f;
        }
    }
    return m;
}

double profileDistanceDb(const std::vector<double>& a, const std::vector<double>& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    double s = 0.0;
    for (std::size_t i = 0; i < n; ++i)
        s += (a[i] - b[i]) * (a[i] - b[i]);
    return n ? std::sqrt(s / double(n)) : 0.0;
}

} // namespace sonaveil::measure
