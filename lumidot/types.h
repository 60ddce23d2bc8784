#pragma once

#include <cstdint>

namespace sonaveil::lumidot {

// Which colour a ColorChanged event reports.
enum LCDColor : std::int32_t { lcdBacklight = 0, lcdPixelOff = 1, lcdPixelOn = 2, lcdBlend = 3 };

// A line, or all of them.
enum LineNumwA : std::int32_t { rAll = 0, rLine1 = 1, rLine2 = 2, rLine3 = 3, rLine4 = 4 };

// A line of the display.
enum LineNum : std::int32_t { Line1 = 1, Line2 = 2, Line3 = 3, Line4 = 4 };

// The dot size: the three built-in sheets, or dot pictures.
enum LCDType : std::int32_t { Custom = -1, Normal = 0, Small = 1, Large = 2 };

// The preset palettes.
enum PrePallete : std::int32_t {
    None = -1,
    LCD_NoBacklight = 0,
    LCD_Green = 1,
    LCD_Blue = 2,
    LCD_Yellow = 3,
    LCD_Orange = 4,
    Vac_LtBlue = 5,
    Vac_LtGreen = 6,
    Vac_Orange = 7,
    Vac_Yellow = 8,
    Led_Red = 9,
    Led_Yellow = 10,
    Led_Green = 11,
    Led_Blue = 12,
};

// The kinds of line animation.
enum AniList : std::int32_t { Bounce = 1, Push = 2, Scroll = 3, Typeclear = 4, Typeover = 5, Uncover = 6 };

} // namespace sonaveil::lumidot
