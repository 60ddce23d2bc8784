#include "audio/tonegenerator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sonaveil::audio {

namespace {
// Time constant of the frequency's glide.
constexpr double kGlideSeconds = 0.02;
} // namespace

ToneGenerator::ToneGenerator(int sampleRate)
    : m_rate(sampleRate)
{
}

float ToneGenerator::amplitude(float levelDb)
{
    return std::pow(10.0f, std::clamp(levelDb, kMinLevelDb, kMaxLevelDb) / 20.0f);
}

void ToneGenerator::set(const ToneSettings& s)
{
    if (!std::isfinite(s.hz) || !std::isfinite(s.levelDb))
        return;
    ToneSettings kept = s;
    kept.kind = s.kind >= kToneSine && s.kind <= kTonePink ? s.kind : kToneSine;
    kept.ear = s.ear == kEarLeft || s.ear == kEarRight ? s.ear : kEarBoth;
    kept.hz = std::clamp(s.hz, kMinHz, std::min(kMaxHz, 0.45f * float(m_rate)));
    kept.levelDb = std::clamp(s.levelDb, kMinLevelDb, kMaxLevelDb);
    m_request->write(kept);
}

void ToneGenerator::pull()
{
    if (const auto taken = m_request->readNew(m_seen))
        m_target = *taken;
}

void ToneGenerator::designEnvelopeFilter()
{
    // The band's two components are low-pass noise half the band wide (second-order
    // Butterworth); scaled so that the mean square of the envelope is 1.
    m_filterHz = m_hz;
    const double band = m_hz * (std::exp2(kBandOctaves / 2) - std::exp2(-kBandOctaves / 2));
    const double cutoff = band / 2.0;
    const double k = std::tan(std::numbers::pi * cutoff / m_rate);
    const double norm = 1.0 / (1.0 + std::sqrt(2.0) * k + k * k);
    m_b0 = k * k * norm;
    m_b1 = 2.0 * m_b0;
    m_b2 = m_b0;
    m_a1 = 2.0 * (k * k - 1.0) * norm;
    m_a2 = (1.0 - std::sqrt(2.0) * k + k * k) * norm;
    // Uniform noise has a mean square of 1/3; the filter passes 2 * 1.11 * cutoff / rate of it.
    const double passed = (1.0 / 3.0) * 2.0 * 1.1107 * cutoff / m_rate;
    m_noiseScale = std::sqrt(0.5 / passed);
}

float ToneGenerator::noise()
{
    // xorshift32: cheap, and the same sequence on every run.
    m_seed ^= m_seed << 13;
    m_seed ^= m_seed >> 17;
    m_seed ^= m_seed << 5;
    return float(std::int32_t(m_seed)) * (1.0f / 2147483648.0f);
}

double ToneGenerator::pink()
{
    // Paul Kellet's refined filter: within 0.05 dB of -3 dB an octave above 9 Hz at 44.1 kHz.
    const double w = double(noise());
    double* b = m_pink;
    b[0] = 0.99886 * b[0] + w * 0.0555179;
    b[1] = 0.99332 * b[1] + w * 0.0750759;
    b[2] = 0.96900 * b[2] + w * 0.1538520;
    b[3] = 0.86650 * b[3] + w * 0.3104856;
    b[4] = 0.55000 * b[4] + w * 0.5329522;
    b[5] = -0.7616 * b[5] - w * 0.0168980;
    const double sum = b[0] + b[1] + b[2] + b[3] + b[4] + b[5] + b[6] + w * 0.5362;
    b[6] = w * 0.115926;
    // About unit peak for uniform noise; tanh keeps every sample below 1 and leaves most as they are.
    return std::tanh(sum * 0.2);
}

double ToneGenerator::lowpass(Lowpass& f, double x) const
{
    const double y = m_b0 * x + m_b1 * f.x1 + m_b2 * f.x2 - m_a1 * f.y1 - m_a2 * f.y2;
    f.x2 = f.x1;
    f.x1 = x;
    f.y2 = f.y1;
    f.y1 = y;
    return y;
}

void ToneGenerator::mixInto(float* left, float* right, int frames)
{
    pull();
    float wanted = m_target.on ? amplitude(m_target.levelDb) : 0.0f;
    if (m_target.kind != m_kind || m_target.ear != m_ear) {
        if (m_gain > 0.0f) {
            wanted = 0.0f; // fade out first, then switch
        } else {
            m_kind = m_target.kind;
            m_ear = m_target.ear;
            for (double& p : m_pink)
                p = 0;
            m_inPhase = {};
            m_quadrature = {};
            m_filterHz = 0;
        }
    }
    if (wanted != m_gainTarget) {
        m_gainTarget = wanted;
        m_gainStep = (wanted - m_gain) / (kRampSeconds * float(m_rate));
    }
    if (m_gain == 0.0f && m_gainTarget == 0.0f)
        return;

    if (m_hz <= 0.0 || m_gain == 0.0f) {
        m_hz = m_target.hz; // unheard: no glide needed
    } else if (m_hz != double(m_target.hz)) {
        const double ratio = std::log(double(m_target.hz) / m_hz);
        m_hz = std::fabs(ratio) < 1e-5 ? double(m_target.hz)
                                        : m_hz * std::exp(ratio * (1.0 - std::exp(-double(frames) / (kGlideSeconds * m_rate))));
    }
    const bool band = m_kind == kToneBand;
    if (band && (m_filterHz <= 0.0 || std::fabs(m_hz / m_filterHz - 1.0) > 0.002))
        designEnvelopeFilter();

    const double step = m_hz / m_rate;
    for (int n = 0; n < frames; ++n) {
        if (m_gain != m_gainTarget) {
            m_gain += m_gainStep;
            if ((m_gainStep > 0 && m_gain > m_gainTarget) || (m_gainStep < 0 && m_gain < m_gainTarget)
                || m_gainStep == 0.0f)
                m_gain = m_gainTarget;
        }
        const double angle = 2.0 * std::numbers::pi * m_phase;
        double s;
        if (band) {
            const double i = lowpass(m_inPhase, double(noise()) * m_noiseScale);
            const double q = lowpass(m_quadrature, double(noise()) * m_noiseScale);
            const double r = std::sqrt(i * i + q * q);
            // tanh(r) / r bounds the envelope below 1 and leaves small values as they are.
            const double bound = r > 1e-9 ? std::tanh(r) / r : 1.0;
            s = (i * std::cos(angle) - q * std::sin(angle)) * bound;
        } else if (m_kind == kToneWhite) {
            s = double(noise());
        } else if (m_kind == kTonePink) {
            s = pink();
        } else {
            s = std::sin(angle);
        }
        const float v = float(s) * m_gain;
        if (m_ear != kEarRight)
            left[n] += v;
        if (m_ear != kEarLeft)
            right[n] += v;
        m_phase += step;
        if (m_phase >= 1.0)
            m_phase -= 1.0;
    }
}

} // namespace sonaveil::audio
