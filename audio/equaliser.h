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
//
// The bands run as a pipeline: in one step band k filters frame n - k while band k + 1 filters
// frame n - k - 1, so the filters' dependency chains overlap instead of queuing. The price is a
// fixed delay of kDelayFrames, the same whether bands are on or off, so switching the equaliser
// never shifts the sound in time.
class Equaliser {
public:
    static constexpr int kMaxBands = 12;
    static constexpr int kLanes = 2 * kMaxBands; // (band, channel) pairs
    static constexpr int kDelayFrames = kMaxBands - 1;

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
    };
    // Coefficients and transposed-direct-form-II state of every lane; lane 2k + c is band k,
    // channel c. Lanes of missing bands pass their input through.
    struct alignas(32) Lanes {
        float b0[kLanes], b1[kLanes], b2[kLanes], a1[kLanes], a2[kLanes];
        float y[kLanes], s1[kLanes], s2[kLanes];
    };

    void glide(Band& band, float blockSeconds);
    static void runPipeline(Lanes& lanes, float* left, float* right, int frames);
#if defined(__x86_64__) || defined(__i386__)
    static void runPipelineAvx2(Lanes& lanes, float* left, float* right, int frames);
    static const bool s_avx2;
#endif
    Coefficients design(float centreHz, float bandwidthSemitones, float gainDb) const;

    int m_rate;
    int m_count = 0;     // bands in the chain, fading ones included
    int m_requested = 0; // bands asked for
    std::array<Band, kMaxBands> m_bands{};
    Lanes m_lanes{};
};

} // namespace sonaveil::audio
