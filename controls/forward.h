#pragma once

// The painted controls by name only, for headers that hold pointers to them.

namespace sonaveil::controls {
class ChameleonButton;
class MasterVolume;
class Multibutton;
class SComboBox;
class TimeControl;
class UcSlider;
} // namespace sonaveil::controls
