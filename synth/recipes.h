#pragma once

#include "synth/dsp.h"

namespace sonaveil::synth::recipes {

// Noise with an exact power slope in dB per octave and nothing below 20 Hz.
Signal colouredNoise(const Loop& loop, Rng& rng, double dbPerOctave);

Signal rainGarden(const Loop& loop, Rng& rng);
Signal rainRoof(const Loop& loop, Rng& rng);
Signal rainDownpour(const Loop& loop, Rng& rng);
Signal rainThunder(const Loop& loop, Rng& rng);
Signal rainLeaves(const Loop& loop, Rng& rng);
Signal rainDrizzle(const Loop& loop, Rng& rng);
Signal rainGutter(const Loop& loop, Rng& rng);
Signal rainTinRoof(const Loop& loop, Rng& rng);
Signal ocean(const Loop& loop, Rng& rng);

Signal cicadaDrone(const Loop& loop, Rng& rng);
Signal cicadaSwells(const Loop& loop, Rng& rng);
Signal cicadaChirps(const Loop& loop, Rng& rng);
Signal cicadaTicking(const Loop& loop, Rng& rng);
Signal cicadaWeeOo(const Loop& loop, Rng& rng);
Signal cicadaShimmer(const Loop& loop, Rng& rng);

Signal aquariumAirStone(const Loop& loop, Rng& rng);
Signal aquariumFilter(const Loop& loop, Rng& rng);
Signal fire(const Loop& loop, Rng& rng);

Signal airConditionerDuct(const Loop& loop, Rng& rng);
Signal airConditionerWindow(const Loop& loop, Rng& rng);
Signal aircraftCabin(const Loop& loop, Rng& rng);
Signal trainCabin(const Loop& loop, Rng& rng);
Signal fan(const Loop& loop, Rng& rng);
Signal hoover(const Loop& loop, Rng& rng);
Signal hairdryerHot(const Loop& loop, Rng& rng);
Signal hairdryerLow(const Loop& loop, Rng& rng);
Signal vacuumCanister(const Loop& loop, Rng& rng);
Signal vacuumCentral(const Loop& loop, Rng& rng);
Signal vacuumHandheld(const Loop& loop, Rng& rng);
Signal vacuumWorkshop(const Loop& loop, Rng& rng);

Signal alarmChime(const Loop& loop, Rng& rng);

} // namespace sonaveil::synth::recipes
