#pragma once

#include "audio/settingssequence.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace sonaveil::audio {

// What the generator plays: a pure tone, or a band of noise a third of an octave wide.
constexpr int kToneSine = 0;
constexpr int kToneBand = 1;
// Broad noises for measuring how much noise covers a tinnitus: flat, and falling 3 dB an octave.
constexpr int kToneWhite = 2;
constexpr int kTonePink = 3;

// Which ear hears the generator.
constexpr int kEarBoth = 0;
constexpr int kEarLeft = 1;
constexpr int kEarRight = 2;

struct ToneSettings {
    bool on = false;
    int kind = kToneSine;
    float hz = 1000.0f;
    // Peak level in dB below full scale: no sample of the generator is ever above it.
    float levelDb = -50.0f;
    int ear = kEarBoth;
};

// A test-tone voice of its own beside the sample voices, for matching a pitch by ear.
//
// The tone is a phase-continuous sine; white noise is uniform noise, pink noise is white noise
// filtered to fall 3 dB an octave and bounded like the band's envelope; the band is a sine carrier moved by two slow random
// components (in phase and in quadrature, low-pass noise half the band wide), whose joint
// envelope is bounded smoothly below 1. Either way the output never exceeds the set level.
// Starting, stopping and level changes ramp over kRampSeconds; the frequency glides; a change
// of kind fades out, switches and fades in again.
//
// Settings come from another thread through set(); mixInto() takes them at the start of a block.
class ToneGenerator {
public:
    static constexpr float kRampSeconds = 0.03f;
    static constexpr float kMinHz = 20.0f;
    static constexpr float kMaxHz = 20000.0f;
    static constexpr float kMinLevelDb = -100.0f;
    static constexpr float kMaxLevelDb = -6.0f;
    // Width of the band between its -3 dB points, in octaves.
    static constexpr double kBandOctaves = 1.0 / 3.0;

    explicit ToneGenerator(int sampleRate);

    // Any thread. Out-of-range values are clamped, non-finite ones ignored.
    void set(const ToneSettings& settings);
    // The mixing thread: adds `frames` frames of the generator to both channels.
    void mixInto(float* left, float* right, int frames);
    // True while anything is heard (including the ramp after a stop).
    bool sounding() const { return m_gain > 0.0f || m_gainTarget > 0.0f; }

    // Amplitude of a level in dB.
    static float amplitude(float levelDb);

private:
    void pull();
    void designEnvelopeFilter();
    float noise();
    double pink();

    int m_rate;
    // The request, written by set(); shared by copies of the state.
    using Request = SettingsSequence<ToneSettings>;
    std::shared_ptr<Request> m_request = std::make_shared<Request>();
    std::uint32_t m_seen = 0;

    ToneSettings m_target;
    int m_kind = kToneSine;  // what plays now
    int m_ear = kEarBoth;    // changes with the kind, while unheard
    double m_pink[7] = {};   // the pink filter's state
    double m_phase = 0;      // cycles, 0 … 1
    double m_hz = 0;         // gliding frequency; 0 before the first start
    float m_gain = 0;        // current amplitude
    float m_gainTarget = 0;
    float m_gainStep = 0;    // per frame, towards the target
    // Band: low-pass filters (biquads) making the in-phase and quadrature components.
    double m_filterHz = 0;
    double m_b0 = 0, m_b1 = 0, m_b2 = 0, m_a1 = 0, m_a2 = 0, m_noiseScale = 1;
    struct Lowpass {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    };
    Lowpass m_inPhase, m_quadrature;
    double lowpass(Lowpass& f, double x) const;
    std::uint32_t m_seed = 0x9E3779B9u;
};

} // namespace sonaveil::audio
