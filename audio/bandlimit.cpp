#include "audio/bandlimit.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

namespace sonaveil::audio {

namespace {

// FFTW's planner is not thread-safe; its plans are.
std::mutex& plannerMutex()
{
    static std::mutex m;
    return m;
}

// Passband up to this share of the cut-off, then a raised-cosine slope down to it.
constexpr double kPassShare = 0.88;

} // namespace

std::unique_ptr<Sample> makeBandLimitedVersion(const Sample& sample, int k)
{
    const long n = sample.frames;
    if (n <= 0 || k < 0 || k >= Sample::kVersions)
        return nullptr;
    constexpr int up = Sample::kVersionUpsampling;
    const long m = up * n;
    const long bins = n / 2 + 1;
    const long outBins = m / 2 + 1;

    float* in = fftwf_alloc_real(std::size_t(m));
    fftwf_complex* spectrum = fftwf_alloc_complex(std::size_t(outBins));
    fftwf_plan forward, backward;
    {
        std::lock_guard lock(plannerMutex());
        forward = fftwf_plan_dft_r2c_1d(int(n), in, spectrum, FFTW_ESTIMATE);
        backward = fftwf_plan_dft_c2r_1d(int(m), spectrum, in, FFTW_ESTIMATE);
    }
    const std::int16_t* x = sample.data();
    for (long i = 0; i < n; ++i)
        in[i] = float(x[i]);
    fftwf_execute(forward);

    // Bin j is j / n cycles per original frame.
    const double cutoff = 0.5 / Sample::speedOfVersion(k);
    const double pass = kPassShare * cutoff;
    const double scale = 1.0 / double(n);
    for (long j = 0; j < outBins; ++j) {
        const double f = double(j) / double(n);
        double w = 0.0;
        if (j < bins && f < cutoff)
            w = f <= pass ? 1.0 : 0.5 + 0.5 * std::cos(M_PI * (f - pass) / (cutoff - pass));
        // The original's own Nyquist bin (n even) is real and shared with its mirror: it never
        // passes, as every cut-off lies below it.
        // Bins from n / 2 + 1 on were never written: they are set, not scaled.
        spectrum[j][0] = w > 0.0 ? float(spectrum[j][0] * w * scale) : 0.0f;
        spectrum[j][1] = w > 0.0 ? float(spectrum[j][1] * w * scale) : 0.0f;
    }
    fftwf_execute(backward);

    std::vector<std::int16_t> frames(static_cast<std::size_t>(m));
    for (long i = 0; i < m; ++i)
        frames[std::size_t(i)] = std::int16_t(std::clamp(std::lround(in[i]), -32768L, 32767L));
    {
        std::lock_guard lock(plannerMutex());
        fftwf_destroy_plan(forward);
        fftwf_destroy_plan(backward);
    }
    fftwf_free(in);
    fftwf_free(spectrum);
    return makeSample(std::move(frames), sample.rate * up);
}

void ensureVersion(Sample& sample, int k)
{
    if (k < 0 || k >= Sample::kVersions || !sample.ready.load(std::memory_order_acquire))
        return;
    if (sample.versions[std::size_t(k)].load(std::memory_order_acquire))
        return;
    auto version = makeBandLimitedVersion(sample, k);
    if (!version)
        return;
    sample.ownedVersions[std::size_t(k)] = std::move(version);
    sample.versions[std::size_t(k)].store(sample.ownedVersions[std::size_t(k)].get(), std::memory_order_release);
}

} // namespace sonaveil::audio
