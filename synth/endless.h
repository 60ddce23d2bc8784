#pragma once

// The catalogue's sounds made live: the same recipes as the sample files, with every event and
// every slow movement drawn at random as the sound plays, so that it never repeats.

#include "audio/generator.h"

#include <cstdint>
#include <memory>

namespace sonaveil::synth {

// True for the catalogue's sounds (1 … 35) that can be made live.
bool hasEndless(int number);

// A generator of sound `number` at the rate of its sample file, its chance from `seed`: the same
// seed gives the same sound. Nothing for a number without a live recipe. Making one takes up to a
// few tens of milliseconds for the sounds with many event variants (never on the mixing thread);
// generating is cheap and never allocates.
std::unique_ptr<audio::Generator> makeEndless(int number, std::uint64_t seed);

} // namespace sonaveil::synth
