#pragma once

// The recipes of nature.cpp and machines.cpp made live from the parts in live.h. Each mirrors its
// file recipe layer for layer, at the same relative levels; the sound's overall level comes from
// the table in endless.cpp.

#include "audio/generator.h"
#include "synth/live.h"

#include <cstdint>
#include <memory>

namespace sonaveil::synth::live {

// A live sound: a recipe that fills blocks of kBlock frames, turned into 16-bit frames at a fixed
// gain with triangular dither. Its rare highest peaks are turned down smoothly (one block of
// look-ahead, a ramp per block) so that they stay under the files' ceiling, as the files' own
// limiter did.
class LiveSound : public audio::Generator {
public:
    // Sample peaks stay at or below this (-1.4 dBFS).
    static constexpr float kCeiling = 0.85f;

    LiveSound(int rate, std::uint64_t seed);
    int rate() const override { return m_rate; }
    void generate(audio::SourceFrame* out, int frames) override;
    void setLevelDb(double db);

protected:
    // Adds the next kBlock frames into `out` (zeroed).
    virtual void block(float* out) = 0;
    int m_rate;

private:
    void nextBlock();

    // The block being turned into frames and the one after it.
    float m_blocks[2][kBlock] = {};
    int m_current = 0;
    audio::SourceFrame m_frames[kBlock] = {};
    int m_position = kBlock;
    bool m_primed = false;
    float m_need = 1.0f, m_startGain = 1.0f;
    float m_gain = 1.0f;
    // Triangular dither of one step, read from a random place in a table each block.
    std::vector<float> m_dither;
    Rng m_ditherRng;
};

using Recipe = std::unique_ptr<LiveSound> (*)(int rate, Rng& rng);

std::unique_ptr<LiveSound> colouredNoise(int rate, Rng& rng, double dbPerOctave);

std::unique_ptr<LiveSound> rainGarden(int rate, Rng& rng);
std::unique_ptr<LiveSound> rainRoof(int rate, Rng& rng);
std::unique_ptr<LiveSound> rainDownpour(int rate, Rng& rng);
std::unique_ptr<LiveSound> rainThunder(int rate, Rng& rng);
std::unique_ptr<LiveSound> rainLeaves(int rate, Rng& rng);
std::unique_ptr<LiveSound> rainDrizzle(int rate, Rng& rng);
std::unique_ptr<LiveSound> rainGutter(int rate, Rng& rng);
std::unique_ptr<LiveSound> rainTinRoof(int rate, Rng& rng);
std::unique_ptr<LiveSound> ocean(int rate, Rng& rng);

std::unique_ptr<LiveSound> cicadaDrone(int rate, Rng& rng);
std::unique_ptr<LiveSound> cicadaSwells(int rate, Rng& rng);
std::unique_ptr<LiveSound> cicadaChirps(int rate, Rng& rng);
std::unique_ptr<LiveSound> cicadaTicking(int rate, Rng& rng);
std::unique_ptr<LiveSound> cicadaWeeOo(int rate, Rng& rng);
std::unique_ptr<LiveSound> cicadaShimmer(int rate, Rng& rng);

std::unique_ptr<LiveSound> aquariumAirStone(int rate, Rng& rng);
std::unique_ptr<LiveSound> aquariumFilter(int rate, Rng& rng);
std::unique_ptr<LiveSound> fire(int rate, Rng& rng);

std::unique_ptr<LiveSound> airConditionerDuct(int rate, Rng& rng);
std::unique_ptr<LiveSound> airConditionerWindow(int rate, Rng& rng);
std::unique_ptr<LiveSound> aircraftCabin(int rate, Rng& rng);
std::unique_ptr<LiveSound> trainCabin(int rate, Rng& rng);
std::unique_ptr<LiveSound> fan(int rate, Rng& rng);
std::unique_ptr<LiveSound> hoover(int rate, Rng& rng);
std::unique_ptr<LiveSound> hairdryerHot(int rate, Rng& rng);
std::unique_ptr<LiveSound> hairdryerLow(int rate, Rng& rng);
std::unique_ptr<LiveSound> vacuumCanister(int rate, Rng& rng);
std::unique_ptr<LiveSound> vacuumCentral(int rate, Rng& rng);
std::unique_ptr<LiveSound> vacuumHandheld(int rate, Rng& rng);
std::unique_ptr<LiveSound> vacuumWorkshop(int rate, Rng& rng);

} // namespace sonaveil::synth::live
