#include "audio/equaliser.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace sonaveil::audio {

namespace {
constexpr float kPi = 3.14159265358979f;
// Time constant of a band's glide to a new setting.
constexpr float kGlideSeconds = 0.015f;
}

Equaliser::Equaliser(int sampleRate)
    : m_rate(sampleRate)
{
}

void Equaliser::setBands(const std::array<EqBandSettings, kMaxBands>& bands, int count)
{
    count = std::clamp(count, 0, kMaxBands);
    for (int i = 0; i < kMaxBands; ++i) {
        Band& b = m_bands[std::size_t(i)];
        if (i < count) {
            if (!b.active) {
                // A new band starts flat at its own centre and glides to its gain.
                b.active = true;
                b.logCentre = std::log(std::max(1.0f, bands[std::size_t(i)].centreHz));
                b.bandwidth = bands[std::size_t(i)].bandwidthSemitones;
                b.gain = 0;
                b.sL1 = b.sL2 = b.sR1 = b.sR2 = 0;
                b.c = Coefficients{};
            }
            b.target = bands[std::size_t(i)];
        } else if (b.active) {
            b.target.gainDb = 0; // fades out, dropped when flat
        }
    }
    m_requested = count;
    m_count = std::max(m_count, count);
}

void Equaliser::reset()
{
    for (Band& b : m_bands)
        b.sL1 = b.sL2 = b.sR1 = b.sR2 = 0;
}

Equaliser::Coefficients Equaliser::design(float centreHz, float bandwidthSemitones, float gainDb) const
{
    const float nyquistGuard = 0.49f * float(m_rate);
    const float f = std::clamp(centreHz, 10.0f, nyquistGuard);
    const float octaves = std::clamp(bandwidthSemitones, 0.5f, 60.0f) / 12.0f;
    const float a = std::pow(10.0f, std::clamp(gainDb, -40.0f, 40.0f) / 40.0f);
    const float w0 = 2.0f * kPi * f / float(m_rate);
    const float sw = std::sin(w0), cw = std::cos(w0);
    const float alpha = sw * std::sinh(std::log(2.0f) / 2.0f * octaves * w0 / sw);
    const float a0 = 1.0f + alpha / a;
    Coefficients c;
    c.b0 = (1.0f + alpha * a) / a0;
    c.b1 = (-2.0f * cw) / a0;
    c.b2 = (1.0f - alpha * a) / a0;
    c.a1 = (-2.0f * cw) / a0;
    c.a2 = (1.0f - alpha / a) / a0;
    return c;
}

void Equaliser::glide(Band& band, float blockSeconds)
{
    const float k = 1.0f - std::exp(-blockSeconds / kGlideSeconds);
    const float targetLog = std::log(std::max(1.0f, band.target.centreHz));
    const float dLog = targetLog - band.logCentre;
    const float dBw = band.target.bandwidthSemitones - band.bandwidth;
    const float dGain = band.target.gainDb - band.gain;
    if (std::fabs(dLog) < 1e-4f && std::fabs(dBw) < 1e-3f && std::fabs(dGain) < 1e-3f) {
        if (band.logCentre == targetLog && band.bandwidth == band.target.bandwidthSemitones
            && band.gain == band.target.gainDb)
            return;
        band.logCentre = targetLog;
        band.bandwidth = band.target.bandwidthSemitones;
        band.gain = band.target.gainDb;
    } else {
        band.logCentre += dLog * k;
        band.bandwidth += dBw * k;
        band.gain += dGain * k;
    }
    band.c = design(std::exp(band.logCentre), band.bandwidth, band.gain);
}

void Equaliser::process(float* left, float* right, int frames)
{
    const float blockSeconds = float(frames) / float(m_rate);
    for (int i = 0; i < m_count; ++i) {
        Band& band = m_bands[std::size_t(i)];
        if (!band.active)
            continue;
        glide(band, blockSeconds);
        if (band.gain == 0.0f && band.target.gainDb == 0.0f) {
            band.sL1 = band.sL2 = band.sR1 = band.sR2 = 0;
            continue; // flat: passes the signal unchanged
        }
        const Coefficients c = band.c;
        float l1 = band.sL1, l2 = band.sL2, r1 = band.sR1, r2 = band.sR2;
        for (int n = 0; n < frames; ++n) {
            const float xl = left[n], xr = right[n];
            const float yl = c.b0 * xl + l1;
            const float yr = c.b0 * xr + r1;
            l1 = c.b1 * xl - c.a1 * yl + l2;
            r1 = c.b1 * xr - c.a1 * yr + r2;
            l2 = c.b2 * xl - c.a2 * yl;
            r2 = c.b2 * xr - c.a2 * yr;
            left[n] = yl;
            right[n] = yr;
        }
        band.sL1 = l1;
        band.sL2 = l2;
        band.sR1 = r1;
        band.sR2 = r2;
    }
    // Bands that were removed drop out of the chain once they have faded to flat.
    for (int i = m_requested; i < m_count; ++i) {
        Band& band = m_bands[std::size_t(i)];
        if (band.active && band.gain == 0.0f)
            band.active = false;
    }
    while (m_count > m_requested && !m_bands[std::size_t(m_count - 1)].active)
        --m_count;
}

double Equaliser::responseDb(double hz) const
{
    const double w = 2.0 * 3.141592653589793 * hz / double(m_rate);
    const std::complex<double> z1 = std::polar(1.0, -w), z2 = std::polar(1.0, -2.0 * w);
    double db = 0;
    for (int i = 0; i < m_count; ++i) {
        const Band& b = m_bands[std::size_t(i)];
        if (!b.active)
            continue;
        const auto& c = b.c;
        const std::complex<double> h = (double(c.b0) + double(c.b1) * z1 + double(c.b2) * z2)
            / (1.0 + double(c.a1) * z1 + double(c.a2) * z2);
        db += 20.0 * std::log10(std::abs(h));
    }
    return db;
}

} // namespace sonaveil::audio
