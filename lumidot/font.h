#pragma once

#include "lumidot/export.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace sonaveil::lumidot {

// The glyph table: a one-bit image 160 dots wide and 28 high, 20 bytes a row, most significant
// bit first. It holds 128 glyphs of 5 x 7 dots in 4 bands of 32; glyph g sits at dot column
// 5 * (g % 32), dot row 7 * (g / 32). A 1 bit is a lit dot.
inline constexpr int kGlyphTableBytes = 560;
using GlyphTable = std::array<std::uint8_t, kGlyphTableBytes>;
LUMIDOT_EXPORT const GlyphTable& glyphTable();

// Whether dot (column 0..4, row 0..6) of glyph g is lit in the glyph table.
LUMIDOT_EXPORT bool glyphDot(const GlyphTable& table, int glyph, int column, int row);

// The dots of glyph g as the built-in dot sheets show it. Equal to the table except for a few
// shapes the stored sheets always drew differently: the small s and the symbols of codes 146-158.
LUMIDOT_EXPORT bool sheetGlyphDot(int glyph, int column, int row);

// The single-byte code (the display's code page, Windows-1252 in effect) of a UTF-16 unit, or -1
// when it has none. U+0080..U+009F are taken as the bytes 0x80..0x9F so that a program can reach
// the bar-graph symbols directly.
LUMIDOT_EXPORT int singleByteCode(char16_t ch);

// The glyph a UTF-16 unit shows: code - 32 for codes 32..159, the blank glyph below that and for
// units without a code. Codes 160..255 show their nearest plain letter or symbol.
LUMIDOT_EXPORT int glyphOf(char16_t ch);

} // namespace sonaveil::lumidot
