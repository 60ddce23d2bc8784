#pragma once

#include "audio/biquad.h"
#include "audio/settingssequence.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <utility>

namespace sonaveil::audio {

// What the band-stop should do: its centre (geometric middle of the band) and the band's width
// in octaves between its -3 dB edges.
struct NotchSettings {
    bool enabled = false;
    float centreHz = 4000.0f;
    float widthOctaves = 1.0f;
    bool operator==(const NotchSettings&) const = default;
};

// A band-stop on a stereo signal: a fourth-order Butterworth low-pass prototype turned into an
// eighth-order band-stop (four biquads in series) and made digital by the bilinear transform.
// The zeros sit on the unit circle exactly at the centre frequency, and the bandwidth is chosen
// so that the digital -3 dB edges are the asked width apart in octaves. Near the top of the
// range the transform squeezes the upper half of the band; there the band is widened as far as
// it takes to keep the middle half of the asked band 22 dB down. An octave outside the edges the
// response is flat within a hundredth of a dB.
//
// Settings come from another thread through set(); process() takes them at the start of a block.
// While on, centre and width glide over a few tens of milliseconds; switching on and off
// crossfades between the filtered and the plain signal over kFadeSeconds, so neither clicks.
//
// The four sections run as a pipeline (BiquadChain), like the equaliser's bands. The output is
// delayed by kDelayFrames whether the band-stop is on or off (off, only the delay runs).
class Notch {
public:
    static constexpr int kSections = 4;
    static constexpr int kDelayFrames = BiquadChain<kSections>::kDelayFrames;
    static constexpr float kMinWidthOctaves = 0.1f;
    static constexpr float kMaxWidthOctaves = 3.0f;
    static constexpr float kFadeSeconds = 0.05f;

    using Section = Biquad;
    using Design = std::array<Section, kSections>;

    explicit Notch(int sampleRate);

    // Any thread: the settings to glide to. Out-of-range values are clamped, non-finite ones
    // ignored.
    void set(const NotchSettings& settings);
    // The mixing thread: filters `frames` frames of the two channels in place.
    void process(float* left, float* right, int frames);
    // Clears the filters' memory (after a pause).
    void reset();

    // The gain in dB at `hz` of the coefficients in use (0 when off).
    double responseDb(double hz) const;
    // True while the band-stop acts on the signal (including its fade to off).
    bool active() const { return m_depth > 0.0f; }

    // The design for a centre (below 0.46 of the rate) and width at `sampleRate`.
    static Design design(double sampleRate, double centreHz, double widthOctaves);
    static double responseDb(const Design& design, double sampleRate, double hz);
    // The lower and upper -3 dB edges of that design.
    static std::pair<double, double> edges(double sampleRate, double centreHz, double widthOctaves);

private:
    void pull();
    void glide(float blockSeconds);
    void load(const Design& design);

    int m_rate;
    // The request, written by set(). It is shared, so that a copy of the filter's state (kept to
    // filter a stretch again) answers the same requests.
    using Request = SettingsSequence<NotchSettings>;
    std::shared_ptr<Request> m_request = std::make_shared<Request>();
    std::uint32_t m_seen = 0;

    NotchSettings m_target;
    float m_logCentre = 0; // gliding state
    float m_width = 0;
    float m_depth = 0;     // 0 plain … 1 filtered
    Design m_design{};
    BiquadChain<kSections> m_chain;
    // The plain signal, delayed by the pipeline's delay for the crossfade.
    float m_dryLeft[kDelayFrames] = {}, m_dryRight[kDelayFrames] = {};
    int m_dryAt = 0;
};

} // namespace sonaveil::audio
