#pragma once

// The insect choruses of the catalogue, as settings: the file recipes (nature.cpp) and the live
// ones (livenature.cpp) make the same singers from them.

#include "synth/layers.h"

#include <vector>

namespace sonaveil::synth {

struct ChorusStyle {
    std::vector<InsectVoice> voices;
    double lo = 4000, hi = 7000;  // the band of the many insects further away
    double backgroundDb = -10;
    double swellHz = 0, swellDepth = 0; // the whole chorus swelling, when depth is above 0
};

namespace choruses {
ChorusStyle drone();
ChorusStyle swells();
ChorusStyle chirps();
ChorusStyle ticking();
ChorusStyle weeOo();
ChorusStyle shimmer();
} // namespace choruses

} // namespace sonaveil::synth
