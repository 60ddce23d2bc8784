#pragma once

// The rains of the catalogue, as settings: the file recipes (nature.cpp) and the live ones
// (livenature.cpp) make the same drops, plinks and beds from them.

#include "synth/layers.h"

namespace sonaveil::synth::rainstyles {
RainStyle garden();
RainStyle roof();
RainStyle downpour();
RainStyle thunder();
RainStyle leaves();
RainStyle drizzle();
RainStyle gutter();
RainStyle tinRoof();
} // namespace sonaveil::synth::rainstyles
