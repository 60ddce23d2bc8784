#pragma once

#include <cstdint>

namespace sonaveil {

// A sound of the fixed catalogue, 1 to 35.
using SoundNumber = int;

// A colour as every colour property and colour file holds it: 0x00BBGGRR.
using ColorValue = std::uint32_t;

constexpr ColorValue rgb(int r, int g, int b)
{
    return ColorValue(r & 0xFF) | (ColorValue(g & 0xFF) << 8) | (ColorValue(b & 0xFF) << 16);
}
constexpr int redOf(ColorValue c) { return int(c & 0xFF); }
constexpr int greenOf(ColorValue c) { return int((c >> 8) & 0xFF); }
constexpr int blueOf(ColorValue c) { return int((c >> 16) & 0xFF); }

// Boolean as the stored files and control properties carry it.
constexpr int kAutomationTrue = -1;
constexpr int kAutomationFalse = 0;

// States of a check box.
enum class CheckState : int { Unchecked = 0, Checked = 1, Grayed = 2 };

} // namespace sonaveil
