#include "audiotestutil.h"

#include <cmath>
#include <fftw3.h>
#include <random>
#include <sndfile.h>

bool writeSoundFile(const std::filesystem::path& path, const std::vector<std::int16_t>& frames,
                    int rate, int format)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f)
        return false;
    const sf_count_t n = sf_writef_short(f, frames.data(), sf_count_t(frames.size()));
    sf_close(f);
    return n == sf_count_t(frames.size());
}

std::vector<std::int16_t> sineFrames(double hz, int rate, int frames, double amplitude)
{
    std::vector<std::int16_t> out(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i)
        out[std::size_t(i)] = std::int16_t(std::lround(amplitude * 32767.0 * std::sin(2 * M_PI * hz * i / rate)));
    return out;
}

std::vector<std::int16_t> whiteNoiseFrames(int frames, double amplitude, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<std::int16_t> out(static_cast<std::size_t>(frames));
    for (auto& v : out)
        v = std::int16_t(std::lround(amplitude * 32767.0 * u(rng)));
    return out;
}

std::vector<double> averagedPowerSpectrum(const std::vector<float>& signal, int size)
{
    std::vector<double> power(std::size_t(size / 2 + 1), 0.0);
    float* in = fftwf_alloc_real(std::size_t(size));
    fftwf_complex* out = fftwf_alloc_complex(std::size_t(size / 2 + 1));
    fftwf_plan plan = fftwf_plan_dft_r2c_1d(size, in, out, FFTW_ESTIMATE);
    int windows = 0;
    for (std::size_t start = 0; start + std::size_t(size) <= signal.size(); start += std::size_t(size / 2)) {
        for (int i = 0; i < size; ++i)
            in[i] = signal[start + std::size_t(i)] * float(0.5 - 0.5 * std::cos(2 * M_PI * i / size));
        fftwf_execute(plan);
        for (int k = 0; k <= size / 2; ++k)
            power[std::size_t(k)] += double(out[k][0]) * out[k][0] + double(out[k][1]) * out[k][1];
        ++windows;
    }
    for (auto& p : power)
        p /= std::max(windows, 1);
    fftwf_destroy_plan(plan);
    fftwf_free(in);
    fftwf_free(out);
    return power;
}

std::vector<float> channelOf(const std::vector<float>& stereo, int channel)
{
    std::vector<float> out(stereo.size() / 2);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = stereo[2 * i + std::size_t(channel)];
    return out;
}

double rms(const std::vector<std::int16_t>& v, std::size_t from, std::size_t n)
{
    double sum = 0.0;
    for (std::size_t i = from; i < from + n; ++i)
        sum += double(v[i]) * double(v[i]);
    return std::sqrt(sum / double(n));
}

double rms(const std::vector<float>& v, std::size_t from)
{
    double sum = 0;
    for (std::size_t i = from; i < v.size(); ++i)
        sum += double(v[i]) * v[i];
    return std::sqrt(sum / double(v.size() - from));
}
