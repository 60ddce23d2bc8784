#pragma once

#include "audio/biquad.h"

#include <array>

namespace sonaveil::audio {

// Settings of one peaking band.
struct EqBandSettings {
    float centreHz = 8000.0f;
    float bandwidthSemitones = 12.0f;
    float gainDb = 0.0f;
    bool operator==(const EqBandSettings&) const = default;
};

// Peaking biquads in series on a stereo signal. Each band glides from its old setting to a new
// one over a few tens of milliseconds, so retuning never clicks.
//
// The bands run as a pipeline (BiquadChain), with a fixed delay of kDelayFrames, the same whether
// bands are on or off, so switching the equaliser never shifts the sound in time.
class Equaliser {
public:
    static constexpr int kMaxBands = 12;
    static constexpr int kDelayFrames = BiquadChain<kMaxBands>::kDelayFrames;

    explicit Equaliser(int sampleRate);

    // The bands to run from the next block on; bands beyond `count` fade to flat and drop out.
    void setBands(const std::array<EqBandSettings, kMaxBands>& bands, int count);
    // Filters `frames` frames (at most 4096) of the two channels in place.
    void process(float* left, float* right, int frames);
    // Clears the filters' memory (after a pause, for instance).
    void reset();

    // The gain in dB of the whole chain at `hz`, from the coefficients in use.
    double responseDb(double hz) const;

private:
    struct Band {
        EqBandSettings target;
        EqBandSettings arrived{-1.0f, 0.0f, 0.0f}; // the target once the glide has reached it
        float logCentre = 0, bandwidth = 12, gain = 0; // the gliding setting
        bool active = false;
        Biquad c;
    };

    void glide(Band& band, float blockSeconds);
    // A peaking section, worked out in single precision.
    Biquad design(float centreHz, float bandwidthSemitones, float gainDb) const;

    int m_rate;
    int m_count = 0;     // bands in the chain, fading ones included
    int m_requested = 0; // bands asked for
    std::array<Band, kMaxBands> m_bands{};
    BiquadChain<kMaxBands> m_chain;
};

} // namespace sonaveil::audio
