#pragma once

// The fixed states in which the gallery (and the paint checksums) draw a button's model:
// 0 normal, 1 hot (mouse over), 2 pressed, 3 checked, 4 disabled.

#include "controls/chameleonbutton.h"
#include "controls/multibutton.h"

namespace sonaveil::controls {

inline constexpr int kDrawnStates = 5;

inline void setDrawnState(MultibuttonModel& m, int state)
{
    switch (state) {
    case 1: m.hookedMouseMove(); break;
    case 2: m.hookedMouseMove(); m.mousePress(kLeftButton, 0, 5, 5); break;
    case 3: m.setCheckBoxMode(true); m.setValue(true); break;
    case 4: m.setEnabled(false); break;
    default: break;
    }
}

inline void setDrawnState(ChameleonButtonModel& m, int state)
{
    switch (state) {
    case 1: m.mouseMove(0, 0, 5, 5, true); break;
    case 2: m.mousePress(kLeftButton, 0, 5, 5); break;
    case 3: m.setCheckBoxBehaviour(true); m.setValue(true); break;
    case 4: m.setEnabled(false); break;
    default: break;
    }
}

} // namespace sonaveil::controls
