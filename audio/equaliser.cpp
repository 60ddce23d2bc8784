#include "audio/equaliser.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sonaveil::audio {

namespace {
// Time constant of a band's glide to a new setting.
constexpr float kGlideSeconds = 0.015f;
} // namespace

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
                b.c = Biquad{};
                b.arrived = EqBandSettings{-1.0f, 0.0f, 0.0f};
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
    m_chain.clear();
}

Biquad Equaliser::design(float centreHz, float bandwidthSemitones, float gainDb) const
{
    const float nyquistGuard = 0.49f * float(m_rate);
    const float f = std::clamp(centreHz, 10.0f, nyquistGuard);
    const float octaves = std::clamp(bandwidthSemitones, 0.5f, 60.0f) / 12.0f;
    const float a = std::pow(10.0f, std::clamp(gainDb, -40.0f, 40.0f) / 40.0f);
    const float w0 = 2.0f * std::numbers::pi_v<float> * f / float(m_rate);
    const float sw = std::sin(w0), cw = std::cos(w0);
    const float alpha = sw * std::sinh(std::log(2.0f) / 2.0f * octaves * w0 / sw);
    const float a0 = 1.0f + alpha / a;
    Biquad c;
    c.b0 = (1.0f + alpha * a) / a0;
    c.b1 = (-2.0f * cw) / a0;
    c.b2 = (1.0f - alpha * a) / a0;
    c.a1 = (-2.0f * cw) / a0;
    c.a2 = (1.0f - alpha / a) / a0;
    return c;
}

void Equaliser::glide(Band& band, float blockSeconds)
{
    // A band that has arrived stays as it is: nothing to work out.
    if (band.arrived == band.target)
        return;
    const float targetLog = std::log(std::max(1.0f, band.target.centreHz));
    const float dLog = targetLog - band.logCentre;
    const float dBw = band.target.bandwidthSemitones - band.bandwidth;
    const float dGain = band.target.gainDb - band.gain;
    if (std::fabs(dLog) < 1e-4f && std::fabs(dBw) < 1e-3f && std::fabs(dGain) < 1e-3f) {
        if (band.logCentre == targetLog && band.bandwidth == band.target.bandwidthSemitones
            && band.gain == band.target.gainDb) {
            band.arrived = band.target;
            return;
        }
        band.logCentre = targetLog;
        band.bandwidth = band.target.bandwidthSemitones;
        band.gain = band.target.gainDb;
    } else {
        const float k = 1.0f - std::exp(-blockSeconds / kGlideSeconds);
        band.logCentre += dLog * k;
        band.bandwidth += dBw * k;
        band.gain += dGain * k;
    }
    band.c = design(std::exp(band.logCentre), band.bandwidth, band.gain);
}

void Equaliser::process(float* left, float* right, int frames)
{
    const float blockSeconds = float(frames) / float(m_rate);
    for (int i = 0; i < kMaxBands; ++i) {
        Band& band = m_bands[std::size_t(i)];
        if (band.active && i < m_count)
            glide(band, blockSeconds);
        else
            band.c = Biquad{};
        m_chain.setSection(i, band.c);
    }
    m_chain.process(left, right, frames);

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
    double db = 0;
    for (int i = 0; i < m_count; ++i) {
        const Band& b = m_bands[std::size_t(i)];
        if (b.active)
            db += 20.0 * std::log10(std::abs(biquadResponse(b.c, w)));
    }
    return db;
}

} // namespace sonaveil::audio
