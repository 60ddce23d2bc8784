#pragma once

#include <algorithm>
#include <array>
#include <complex>
#include <cstring>
#include <iterator>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SONAVEIL_BIQUAD_X86 1
#endif

namespace sonaveil::audio {

// Coefficients of one biquad section, normalised so that a0 = 1.
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
};

// The section's complex gain at `w` radians per sample.
inline std::complex<double> biquadResponse(const Biquad& c, double w)
{
    const std::complex<double> z1 = std::polar(1.0, -w), z2 = std::polar(1.0, -2.0 * w);
    return (c.b0 + c.b1 * z1 + c.b2 * z2) / (1.0 + c.a1 * z1 + c.a2 * z2);
}

#ifdef SONAVEIL_BIQUAD_X86
inline const bool kBiquadAvx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
#endif

// `Sections` biquads in series on a stereo signal, in transposed direct form II with float state.
//
// The sections run as a pipeline: in one step section k filters frame n - k while section k + 1
// filters frame n - k - 1, so the sections' dependency chains overlap instead of queuing. The
// price is a fixed delay of kDelayFrames. Lane 2k + c is section k, channel c; a section left at
// its default passes its input through.
template <int Sections>
class BiquadChain {
public:
    static constexpr int kLanes = 2 * Sections;
    static constexpr int kDelayFrames = Sections - 1;

    // Takes effect from the next frame on; the filter's memory is kept.
    void setSection(int section, const Biquad& c)
    {
        for (int lane = 2 * section; lane < 2 * section + 2; ++lane) {
            m_lanes.b0[lane] = float(c.b0);
            m_lanes.b1[lane] = float(c.b1);
            m_lanes.b2[lane] = float(c.b2);
            m_lanes.a1[lane] = float(c.a1);
            m_lanes.a2[lane] = float(c.a2);
        }
    }

    // Clears the filters' memory.
    void clear()
    {
        std::memset(m_lanes.y, 0, sizeof m_lanes.y);
        std::memset(m_lanes.s1, 0, sizeof m_lanes.s1);
        std::memset(m_lanes.s2, 0, sizeof m_lanes.s2);
    }

    // One pipeline step: takes a frame in and gives the frame that leaves the last section.
    std::array<float, 2> step(float left, float right)
    {
        Lanes& l = m_lanes;
        alignas(32) float x[kLanes];
        x[0] = left;
        x[1] = right;
        for (int j = 2; j < kLanes; ++j)
            x[j] = l.y[j - 2];
        for (int j = 0; j < kLanes; ++j) {
            const float y = l.b0[j] * x[j] + l.s1[j];
            l.s1[j] = l.b1[j] * x[j] - l.a1[j] * y + l.s2[j];
            l.s2[j] = l.b2[j] * x[j] - l.a2[j] * y;
            l.y[j] = y;
        }
        return {l.y[kLanes - 2], l.y[kLanes - 1]};
    }

    // Filters `frames` frames of the two channels in place.
    void process(float* left, float* right, int frames)
    {
        if (passesThrough()) {
            delay(left, right, frames);
            return;
        }
#ifdef SONAVEIL_BIQUAD_X86
        if constexpr (kLanes % 8 == 0) {
            if (kBiquadAvx2) {
                processAvx2(m_lanes, left, right, frames);
                return;
            }
        }
#endif
        for (int n = 0; n < frames; ++n) {
            const auto out = step(left[n], right[n]);
            left[n] = out[0];
            right[n] = out[1];
        }
    }

private:
    // Every section at its default with nothing left in its memory: the chain is then only its
    // delay (the equaliser switched off, the usual case).
    bool passesThrough() const
    {
        const Lanes& l = m_lanes;
        for (int j = 0; j < kLanes; ++j)
            if (l.b0[j] != 1.0f || l.b1[j] != 0.0f || l.b2[j] != 0.0f || l.a1[j] != 0.0f || l.a2[j] != 0.0f
                || l.s1[j] != 0.0f || l.s2[j] != 0.0f)
                return false;
        return true;
    }

    // What the pipeline does when every section passes through: section k's output is the
    // frame taken in k steps ago, and the frame going out the one taken in kDelayFrames ago.
    void delay(float* left, float* right, int frames)
    {
        constexpr int kPiece = 256;
        std::array<float, Sections + kPiece> l{}, r{};
        float* y = m_lanes.y;
        while (frames > 0) {
            const int n = std::min(frames, kPiece);
            // Oldest first: what the last section holds, … what the first holds, then the frames.
            for (int k = 0; k < Sections; ++k) {
                l[std::size_t(k)] = y[2 * (Sections - 1 - k)];
                r[std::size_t(k)] = y[2 * (Sections - 1 - k) + 1];
            }
            std::copy_n(left, n, l.begin() + Sections);
            std::copy_n(right, n, r.begin() + Sections);
            std::copy_n(l.begin() + 1, n, left);
            std::copy_n(r.begin() + 1, n, right);
            for (int k = 0; k < Sections; ++k) {
                y[2 * k] = l[std::size_t(Sections + n - 1 - k)];
                y[2 * k + 1] = r[std::size_t(Sections + n - 1 - k)];
            }
            left += n;
            right += n;
            frames -= n;
        }
    }

    struct alignas(32) Lanes {
        float b0[kLanes] = {}, b1[kLanes] = {}, b2[kLanes] = {}, a1[kLanes] = {}, a2[kLanes] = {};
        float y[kLanes] = {}, s1[kLanes] = {}, s2[kLanes] = {};
        Lanes() { std::fill(std::begin(b0), std::end(b0), 1.0f); }
    };

#ifdef SONAVEIL_BIQUAD_X86
    __attribute__((target("avx2,fma"))) static void processAvx2(Lanes& l, float* left, float* right, int frames)
    {
        constexpr int kVectors = kLanes / 8;
        __m256 b0[kVectors], b1[kVectors], b2[kVectors], a1[kVectors], a2[kVectors];
        __m256 y[kVectors], s1[kVectors], s2[kVectors];
        for (int v = 0; v < kVectors; ++v) {
            b0[v] = _mm256_load_ps(l.b0 + 8 * v);
            b1[v] = _mm256_load_ps(l.b1 + 8 * v);
            b2[v] = _mm256_load_ps(l.b2 + 8 * v);
            a1[v] = _mm256_load_ps(l.a1 + 8 * v);
            a2[v] = _mm256_load_ps(l.a2 + 8 * v);
            y[v] = _mm256_load_ps(l.y + 8 * v);
            s1[v] = _mm256_load_ps(l.s1 + 8 * v);
            s2[v] = _mm256_load_ps(l.s2 + 8 * v);
        }
        // Rotating a vector by two lanes moves each section's output to the next section's input.
        const __m256i rotate = _mm256_setr_epi32(6, 7, 0, 1, 2, 3, 4, 5);
        for (int n = 0; n < frames; ++n) {
            __m256 r[kVectors], x[kVectors];
            for (int v = 0; v < kVectors; ++v)
                r[v] = _mm256_permutevar8x32_ps(y[v], rotate);
            const __m256 in = _mm256_castps128_ps256(_mm_setr_ps(left[n], right[n], 0.0f, 0.0f));
            x[0] = _mm256_blend_ps(r[0], in, 0x03);
            for (int v = 1; v < kVectors; ++v)
                x[v] = _mm256_blend_ps(r[v], r[v - 1], 0x03);
            for (int v = 0; v < kVectors; ++v) {
                y[v] = _mm256_fmadd_ps(b0[v], x[v], s1[v]);
                s1[v] = _mm256_fnmadd_ps(a1[v], y[v], _mm256_fmadd_ps(b1[v], x[v], s2[v]));
                s2[v] = _mm256_fnmadd_ps(a2[v], y[v], _mm256_mul_ps(b2[v], x[v]));
            }
            const __m128 last = _mm256_extractf128_ps(y[kVectors - 1], 1);
            left[n] = _mm_cvtss_f32(_mm_shuffle_ps(last, last, 2));
            right[n] = _mm_cvtss_f32(_mm_shuffle_ps(last, last, 3));
        }
        for (int v = 0; v < kVectors; ++v) {
            _mm256_store_ps(l.y + 8 * v, y[v]);
            _mm256_store_ps(l.s1 + 8 * v, s1[v]);
            _mm256_store_ps(l.s2 + 8 * v, s2[v]);
        }
    }
#endif

    Lanes m_lanes;
};

} // namespace sonaveil::audio
