#pragma once

#include "common/types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sonaveil::player {

// The colours a scheme names, in the order of the editor's swatches.
enum class SchemeColour { ButtonText, ButtonBack, Rollover, Gradient1, Gradient2, Text, Background, Form };

// The program-wide colour-scheme values. Every colour but the button text is held as text (a
// colour as decimal digits), as the files carry it; a text that is no colour leaves the controls
// it would paint as they are.
struct ColourScheme {
    // The palettes the status display offers (its preset palettes 0 … 12).
    static constexpr int kFirstPalette = 0;
    static constexpr int kLastPalette = 12;

    std::int32_t buttonText = 0;
    std::string buttonBack;
    std::string rollover;
    std::string gradient1;
    std::string gradient2;
    std::string text;
    std::string background;
    std::string form;
    std::int16_t palette = 7;
    // 1: the windows show their background picture; 0: the plain form colour.
    std::int16_t imageFlag = 1;

    // The colour a value holds, or nothing when its text is empty or no colour.
    std::optional<ColorValue> colour(SchemeColour which) const;
    void setColour(SchemeColour which, ColorValue value);

    static bool validPalette(int palette) { return palette >= kFirstPalette && palette <= kLastPalette; }

    bool operator==(const ColourScheme&) const = default;
};

// A colour as the files hold it: decimal digits.
std::string colourText(ColorValue value);
// The colour of a text of decimal digits from 0 to 0xFFFFFF; nothing for anything else.
std::optional<ColorValue> colourOf(std::string_view text);

// "maincol.tmp", the scheme at exit: ten fields on one line.
struct SchemeSnapshot {
    static constexpr const char* kFileName = "maincol.tmp";

    static std::string bytes(const ColourScheme& scheme);
    // The ten fields read back; nothing when one is missing or wrong (the button text colour not
    // a 32-bit integer, the palette not one the display offers, the flag not 0 or 1).
    static std::optional<ColourScheme> parse(std::string_view content);
};

// A scheme file "<name>.clr": nine fields on one line, without the rollover colour.
struct SchemeFile {
    static constexpr const char* kExtension = ".clr";

    static std::string bytes(const ColourScheme& scheme);

    // What a scheme file gave, in file order. Reading stops at the first missing or wrong field
    // (the button text colour not a 32-bit integer, the palette not one the display offers, the
    // image box not 0 or 1); the fields before it are kept and `complete` stays false.
    struct Fields {
        std::optional<std::string> gradient1;
        std::optional<std::string> gradient2;
        std::optional<std::string> buttonBack;
        std::optional<std::int32_t> buttonText;
        std::optional<std::string> form;
        std::optional<std::int16_t> palette;
        std::optional<std::string> background;
        std::optional<std::string> text;
        std::optional<std::int16_t> imageBox;
        bool complete = false;
    };
    static Fields parse(std::string_view content);
};

} // namespace sonaveil::player
