#include "audio/notch.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <numbers>

namespace sonaveil::audio {

namespace {
// Time constant of the glide to new settings.
constexpr float kGlideSeconds = 0.02f;
// The most the centre or the width move in one block, in octaves.
constexpr float kMaxGlideOctaves = 0.02f;
// The highest centre, as a share of the sampling rate.
constexpr double kTopEdge = 0.46;
} // namespace

Notch::Notch(int sampleRate)
    : m_rate(sampleRate)
{
    load(Design{});
}

namespace {

// The analog band edges around w0 for a bandwidth B: the positive roots of w^2 -+ B w - w0^2.
std::pair<double, double> analogEdges(double w0, double bw)
{
    const double upper = (bw + std::sqrt(bw * bw + 4.0 * w0 * w0)) / 2.0;
    return {w0 * w0 / upper, upper};
}

double digital(double w, double rate)
{
    return std::atan(w / (2.0 * rate)) * rate / std::numbers::pi;
}

// The analog bandwidth whose digital edges are `widthOctaves` apart.
double bandwidthFor(double w0, double widthOctaves, double rate)
{
    auto octaves = [&](double bw) {
        const auto [lo, hi] = analogEdges(w0, bw);
        return std::log2(digital(hi, rate) / digital(lo, rate));
    };
    double lo = 0, hi = w0;
    while (octaves(hi) < widthOctaves && hi < 1e12)
        hi *= 2;
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2;
        (octaves(mid) < widthOctaves ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

// The analog bandwidth of the band-stop: edges the asked width apart, widened where needed (near
// the top of the range, where the transform squeezes the upper half of the band) so that the
// middle half of the band, a quarter of the width either side of the centre, is at least 22 dB
// down.
double bandwidth(double rate, double centreHz, double widthOctaves)
{
    const double k = 2.0 * rate;
    const double w0 = k * std::tan(std::numbers::pi * centreHz / rate);
    double bw = bandwidthFor(w0, widthOctaves, rate);
    // Where a fourth-order Butterworth prototype is 22 dB down.
    const double deep = std::pow(std::pow(10.0, 2.2) - 1.0, 1.0 / 8.0);
    for (double side : {-1.0, 1.0}) {
        // The middle half as far as it lies below 0.45 of the rate.
        const double f = std::min(centreHz * std::exp2(side * widthOctaves / 4.0), 0.45 * rate);
        if (f <= centreHz * (1.0 + 1e-9) && side > 0)
            continue;
        const double w = k * std::tan(std::numbers::pi * f / rate);
        bw = std::max(bw, deep * std::fabs(w0 * w0 - w * w) / w);
    }
    return bw;
}

} // namespace

std::pair<double, double> Notch::edges(double rate, double centreHz, double widthOctaves)
{
    const double w0 = 2.0 * rate * std::tan(std::numbers::pi * centreHz / rate);
    const auto [lo, hi] = analogEdges(w0, bandwidth(rate, centreHz, widthOctaves));
    return {digital(lo, rate), digital(hi, rate)};
}

Notch::Design Notch::design(double rate, double centreHz, double widthOctaves)
{
    Design d{};
    if (!(widthOctaves > 0) || !(centreHz > 0) || centreHz >= kTopEdge * rate)
        return d;

    // The centre pre-warped, so that the zeros fall on it exactly.
    const double k = 2.0 * rate;
    const double w0 = k * std::tan(std::numbers::pi * centreHz / rate);
    const double w02 = w0 * w0;
    const double bw = bandwidth(rate, centreHz, widthOctaves);

    // Each pole p of the Butterworth prototype becomes the two roots of s^2 - (B/p)s + w0^2;
    // of the eight, the four in the upper half-plane each make a section with its conjugate.
    int n = 0;
    for (int i = 0; i < kSections; ++i) {
        const std::complex<double> p =
            std::polar(1.0, std::numbers::pi * double(2 * i + kSections + 1) / double(2 * kSections));
        const std::complex<double> bp = bw / p;
        const std::complex<double> root = std::sqrt(bp * bp - 4.0 * w02);
        for (const std::complex<double> q : {(bp + root) / 2.0, (bp - root) / 2.0}) {
            if (q.imag() <= 0 || n >= kSections)
                continue;
            // (s^2 + w0^2) / (s^2 + a s + b), bilinear.
            const double a = -2.0 * q.real();
            const double b = std::norm(q);
            const double d0 = k * k + a * k + b;
            // Each section's gain is spread between its two pass bands: w0^2 / b at the
            // bottom, 1 at the top; the product over the sections is 1 at both ends.
            const double scale = std::sqrt(b / w02) / d0;
            Section& s = d[std::size_t(n++)];
            s.b0 = (k * k + w02) * scale;
            s.b1 = 2.0 * (w02 - k * k) * scale;
            s.b2 = s.b0;
            s.a1 = 2.0 * (b - k * k) / d0;
            s.a2 = (k * k - a * k + b) / d0;
        }
    }
    return d;
}

double Notch::responseDb(const Design& design, double rate, double hz)
{
    const double w = 2.0 * std::numbers::pi * hz / rate;
    double db = 0;
    for (const Section& c : design)
        db += 20.0 * std::log10(std::max(std::abs(biquadResponse(c, w)), 1e-12));
    return db;
}

double Notch::responseDb(double hz) const
{
    if (m_depth == 0.0f)
        return 0.0;
    if (m_depth == 1.0f)
        return responseDb(m_design, m_rate, hz);
    // Part way through a fade: plain and filtered mixed.
    const double w = 2.0 * std::numbers::pi * hz / m_rate;
    std::complex<double> h = 1.0;
    for (const Section& c : m_design)
        h *= biquadResponse(c, w);
    const std::complex<double> mixed = (1.0 - double(m_depth)) + double(m_depth) * h;
    return 20.0 * std::log10(std::max(std::abs(mixed), 1e-12));
}

void Notch::set(const NotchSettings& settings)
{
    if (!std::isfinite(settings.centreHz) || !std::isfinite(settings.widthOctaves))
        return;
    NotchSettings s = settings;
    s.centreHz = std::clamp(s.centreHz, 20.0f, 20000.0f);
    s.widthOctaves = std::clamp(s.widthOctaves, kMinWidthOctaves, kMaxWidthOctaves);
    m_request->write(s);
}

void Notch::pull()
{
    if (const auto s = m_request->readNew(m_seen))
        m_target = *s;
}

void Notch::glide(float blockSeconds)
{
    const float targetLog = std::log(m_target.centreHz);
    const float targetWidth = m_target.widthOctaves;
    if (m_depth == 0.0f) {
        if (!m_target.enabled)
            return;
        // Unheard until now: start at the target, from a clean state.
        m_logCentre = targetLog;
        m_width = targetWidth;
        m_chain.clear();
        load(design(m_rate, std::exp(double(m_logCentre)), m_width));
        return;
    }
    if (m_logCentre == targetLog && m_width == targetWidth)
        return;
    const float k = 1.0f - std::exp(-blockSeconds / kGlideSeconds);
    const float dLog = targetLog - m_logCentre;
    const float dWidth = targetWidth - m_width;
    if (std::fabs(dLog) < 1e-4f && std::fabs(dWidth) < 1e-3f) {
        m_logCentre = targetLog;
        m_width = targetWidth;
    } else {
        // An exponential glide, its pace held to a fiftieth of an octave per block: faster
        // retuning shakes the filters audibly.
        const float maxLog = kMaxGlideOctaves * 0.6931472f;
        m_logCentre += std::clamp(dLog * k, -maxLog, maxLog);
        m_width += std::clamp(dWidth * k, -kMaxGlideOctaves, kMaxGlideOctaves);
    }
    load(design(m_rate, std::exp(double(m_logCentre)), m_width));
}

void Notch::load(const Design& d)
{
    m_design = d;
    for (int i = 0; i < kSections; ++i)
        m_chain.setSection(i, d[std::size_t(i)]);
}

void Notch::process(float* left, float* right, int frames)
{
    pull();
    glide(float(frames) / float(m_rate));
    const float depthTarget = m_target.enabled ? 1.0f : 0.0f;
    const float depthStep = 1.0f / (kFadeSeconds * float(m_rate));
    const bool fading = m_depth != depthTarget;
    if (m_depth == 0.0f && !fading) {
        // Off: only the delay.
        if (frames >= kDelayFrames) {
            // The delayed frames, oldest first, lead; the block's own follow; its last ones wait.
            float heldLeft[kDelayFrames], heldRight[kDelayFrames];
            for (int i = 0; i < kDelayFrames; ++i) {
                heldLeft[i] = m_dryLeft[(m_dryAt + i) % kDelayFrames];
                heldRight[i] = m_dryRight[(m_dryAt + i) % kDelayFrames];
            }
            m_dryAt = (m_dryAt + frames) % kDelayFrames;
            for (int i = 0; i < kDelayFrames; ++i) {
                m_dryLeft[(m_dryAt + i) % kDelayFrames] = left[frames - kDelayFrames + i];
                m_dryRight[(m_dryAt + i) % kDelayFrames] = right[frames - kDelayFrames + i];
            }
            std::memmove(left + kDelayFrames, left, sizeof(float) * std::size_t(frames - kDelayFrames));
            std::memmove(right + kDelayFrames, right, sizeof(float) * std::size_t(frames - kDelayFrames));
            std::memcpy(left, heldLeft, sizeof heldLeft);
            std::memcpy(right, heldRight, sizeof heldRight);
            return;
        }
        for (int n = 0; n < frames; ++n) {
            const int at = m_dryAt;
            const float l = m_dryLeft[at], r = m_dryRight[at];
            m_dryLeft[at] = left[n];
            m_dryRight[at] = right[n];
            m_dryAt = at + 1 == kDelayFrames ? 0 : at + 1;
            left[n] = l;
            right[n] = r;
        }
        return;
    }
    if (!fading) {
        // Fully on: the plain signal is only needed for the last frames of the delay.
        const int keep = std::min(frames, kDelayFrames);
        float lastLeft[kDelayFrames], lastRight[kDelayFrames];
        for (int i = 0; i < keep; ++i) {
            lastLeft[i] = left[frames - keep + i];
            lastRight[i] = right[frames - keep + i];
        }
        m_chain.process(left, right, frames);
        for (int i = 0; i < keep; ++i) {
            m_dryLeft[m_dryAt] = lastLeft[i];
            m_dryRight[m_dryAt] = lastRight[i];
            m_dryAt = m_dryAt + 1 == kDelayFrames ? 0 : m_dryAt + 1;
        }
        return;
    }
    // One pipeline step per frame; the plain signal runs beside it through a delay of the same
    // length, for the crossfade.
    for (int n = 0; n < frames; ++n) {
        const float inL = left[n], inR = right[n];
        const auto wet = m_chain.step(inL, inR);
        const int at = m_dryAt;
        const float dryL = m_dryLeft[at], dryR = m_dryRight[at];
        m_dryLeft[at] = inL;
        m_dryRight[at] = inR;
        m_dryAt = at + 1 == kDelayFrames ? 0 : at + 1;
        if (fading)
            m_depth = depthTarget > m_depth ? std::min(depthTarget, m_depth + depthStep)
                                            : std::max(depthTarget, m_depth - depthStep);
        left[n] = dryL + m_depth * (wet[0] - dryL);
        right[n] = dryR + m_depth * (wet[1] - dryR);
    }
}

void Notch::reset()
{
    std::memset(m_dryLeft, 0, sizeof m_dryLeft);
    std::memset(m_dryRight, 0, sizeof m_dryRight);
    m_chain.clear();
}

} // namespace sonaveil::audio
