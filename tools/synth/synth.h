#pragma once

// The synthesiser's catalogue: every sample file the program folder ships, how long it is, its
// rate and the recipe that makes it. Rendering is deterministic: a sound's seed is its number.

#include "tools/synth/dsp.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sonaveil::synth {

enum class Container { Flac, Wav };

struct SoundRecipe {
    int number = 0;            // 1…35 for the catalogue, 0 for the alarm
    std::string path;          // relative to the program folder
    int rate = 44100;
    double seconds = 32.0;
    Container container = Container::Flac;
    const char* madeOf = "";   // one line for people
    std::function<Signal(const Loop&, Rng&)> make;
    bool alarm = false;        // scaled by peak instead of by loudness
};

// Level every catalogue sound is brought to, in dB of full scale RMS.
constexpr double kTargetRmsDb = -20.0;
// Highest peak left in any file.
constexpr double kPeakCeilingDb = -1.2;

const std::vector<SoundRecipe>& catalogue();
const SoundRecipe* findRecipe(int number);

// Makes the sound and finishes it: no DC, nothing below 20 Hz, loudness, peaks, 16-bit with dither.
std::vector<std::int16_t> render(const SoundRecipe& recipe);
// Writes the file below `folder` (through a temporary name). Returns "" or an error message.
std::string write(const SoundRecipe& recipe, const std::vector<std::int16_t>& pcm,
                  const std::string& folder);
// Renders and writes every recipe on `threads` threads; returns the errors, one per failed file.
std::vector<std::string> renderAll(const std::vector<const SoundRecipe*>& recipes,
                                   const std::string& folder, int threads);

// Finishing steps, exposed for tests.
void removeRumble(Signal& x, const Loop& loop);
// Scales to `rmsDb` and keeps peaks at or below `ceilingDb` with a smooth circular limiter.
void level(Signal& x, const Loop& loop, double rmsDb, double ceilingDb);

} // namespace sonaveil::synth
