#pragma once

// The synthesiser's catalogue: every sample file the program folder ships, how long it is, its
// rate and the recipe that makes it. Rendering is deterministic: a sound's seed is its number.

#include "synth/dsp.h"

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

// Loudness every catalogue sound is brought to (integrated, K-weighted, LUFS).
constexpr double kTargetLoudnessLufs = -18.0;
// Highest true peak (between samples too) left in any file, in dBTP; a little under -1 dBTP
// leaves room for the dither.
constexpr double kTruePeakCeilingDb = -1.2;

const std::vector<SoundRecipe>& catalogue();
const SoundRecipe* findRecipe(int number);

// How much a sound's peaks had to be turned down to stay under the ceiling at the common loudness.
struct Limiting {
    double deepestDb = 0.0;      // the loudest peak
    double shareOverOneDb = 0.0; // share of the loop turned down by more than 1 dB
};

// Makes the sound and finishes it: no DC, nothing below 20 Hz, loudness, peaks, 16-bit with dither.
std::vector<std::int16_t> render(const SoundRecipe& recipe, Limiting* limiting = nullptr);
// Writes the file below `folder` (through a temporary name). Returns "" or an error message.
std::string write(const SoundRecipe& recipe, const std::vector<std::int16_t>& pcm,
                  const std::string& folder);
// Renders and writes every recipe on `threads` threads; returns the errors, one per failed file.
// `limiting`, when given, receives for each recipe how far its peaks were turned down.
std::vector<std::string> renderAll(const std::vector<const SoundRecipe*>& recipes,
                                   const std::string& folder, int threads,
                                   std::vector<Limiting>* limiting = nullptr);

// Finishing steps, exposed for tests.
void removeRumble(Signal& x, const Loop& loop);
// Scales to the integrated loudness `lufs` and keeps true peaks at or below `ceilingDb` with a
// smooth circular limiter, and says how much limiting that took.
Limiting level(Signal& x, const Loop& loop, double lufs, double ceilingDb);

} // namespace sonaveil::synth
