#include "helpers.h"

#include "lumidot/font.h"

#include <gtest/gtest.h>

using namespace lumidot_test;
using Rows = std::vector<std::string>;

namespace {

Rows tableGlyph(int code)
{
    Rows rows;
    for (int r = 0; r < 7; ++r) {
        std::string s;
        for (int c = 0; c < 5; ++c)
            s += glyphDot(glyphTable(), code - 32, c, r) ? '#' : '.';
        rows.push_back(s);
    }
    return rows;
}

const Rows kA = {".###.", "#...#", "#...#", "#...#", "#####", "#...#", "#...#"};
const Rows kZero = {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."};
const Rows kSmallG = {".....", ".....", ".####", "#...#", ".####", "....#", ".###."};
const Rows kBlank(7, ".....");
const Rows kHeart = {".#.#.", "#####", "#####", ".###.", "..#..", ".....", "....."};

} // namespace

TEST(GlyphTable, HoldsTheTellingRowsAndTheBarGraphSymbols)
{
    EXPECT_EQ(glyphTable().size(), 560u);
    EXPECT_EQ(tableGlyph(65), kA);
    EXPECT_EQ(tableGlyph(48), kZero);
    EXPECT_EQ(tableGlyph(103), kSmallG);
    EXPECT_EQ(tableGlyph(32), kBlank);
    for (int level = 0; level < 6; ++level) {
        const Rows bar = tableGlyph(128 + level);
        for (int r = 0; r < 7; ++r)
            EXPECT_EQ(bar[r], r >= 5 - level ? "#####" : ".....") << "code " << 128 + level << " row " << r;
    }
    EXPECT_EQ(tableGlyph(134), (Rows{".....", ".....", ".....", ".....", "....#", "..###", "#####"}));
    EXPECT_EQ(tableGlyph(135), (Rows{".....", ".....", "...##", ".####", "#####", "#####", "#####"}));
    EXPECT_EQ(tableGlyph(136), (Rows{"..###", "#####", "#####", "#####", "#####", "#####", "#####"}));
    EXPECT_EQ(tableGlyph(159), kHeart);
    for (int code = 137; code <= 158; ++code)
        EXPECT_EQ(tableGlyph(code), kBlank) << code;
}

TEST(GlyphTable, EveryPrintableCharacterIsDrawnAndDistinct)
{
    for (int a = 33; a < 127; ++a) {
        EXPECT_NE(tableGlyph(a), kBlank) << char(a);
        for (int b = a + 1; b < 127; ++b)
            EXPECT_NE(tableGlyph(a), tableGlyph(b)) << char(a) << " and " << char(b);
    }
}

TEST(CharacterMapping, FollowsTheSingleByteCodePage)
{
    EXPECT_EQ(glyphOf(u'A'), 33);
    EXPECT_EQ(glyphOf(u'\t'), 0);
    EXPECT_EQ(glyphOf(char16_t(0x85)), 133 - 32);
    EXPECT_EQ(glyphOf(u'\u2026'), 133 - 32); // the ellipsis is byte 133
    EXPECT_EQ(glyphOf(u'\u20AC'), 128 - 32);
    EXPECT_EQ(glyphOf(u'\u03A9'), 0);        // no single-byte code: blank
    EXPECT_EQ(glyphOf(u'\u00E9'), u'e' - 32); // accented letters show their plain letter
    EXPECT_EQ(glyphOf(u'\u00B0'), 151 - 32);  // the degree sign has its own symbol
}
