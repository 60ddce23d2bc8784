#pragma once

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
class Equaliser {
public:
    static constexpr int kMaxBands = 16;

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
    struct Coefficients {
        float b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    };
    struct Band {
        EqBandSettings target;
        float logCentre = 0, bandwidth = 12, gain = 0; // the gliding setting
        bool active = false;
        Coefficients c;
        float sL1 = 0, sL2 = 0, sR1 = 0, sR2 = 0; // transposed direct form II state
    };

    void glide(Band& band, float blockSeconds);
    Coefficients design(float centreHz, float bandwidthSemitones, float gainDb) const;

    int m_rate;
    int m_count = 0;     // bands in the chain, fading ones included
    int m_requested = 0; // bands asked for
    std::array<Band, kMaxBands> m_bands{};
};

} // namespace sonaveil::audio
