#include "controls/paint.h"

#include <gtest/gtest.h>

using namespace sonaveil;
using namespace sonaveil::controls;

TEST(ColorArithmetic, ShadingRoundsHalfEvenAndClampsTowardTheFactorsSign)
{
    struct Case { ColorValue in; float f; ColorValue out; };
    const Case cases[] = {
        {rgb(128, 128, 128), 0.09f, rgb(151, 151, 151)},
        {rgb(128, 128, 128), 0.07f, rgb(146, 146, 146)},
        {rgb(128, 128, 128), 0.03f, rgb(136, 136, 136)},
        {rgb(128, 128, 128), -0.34f, rgb(41, 41, 41)},
        {rgb(212, 212, 212), 0.06f, rgb(227, 227, 227)},
        {rgb(250, 10, 128), 0.09f, rgb(255, 33, 151)},
        {rgb(250, 10, 128), -0.34f, rgb(163, 0, 41)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shade(c.in, c.f), c.out) << std::hex << c.in << " by " << c.f;
}

TEST(ColorArithmetic, AverageAndOffset)
{
    EXPECT_EQ(average(rgb(151, 151, 151), kWhite), rgb(203, 203, 203));
    // 1.5 rounds up to 2, 2.5 down to 2.
    EXPECT_EQ(average(rgb(1, 2, 0), rgb(2, 3, 255)), rgb(2, 2, 128));
    EXPECT_EQ(offset(rgb(212, 208, 200), 47), rgb(255, 255, 247));
    EXPECT_EQ(offset(rgb(10, 100, 200), -64), rgb(0, 36, 136));
}

TEST(ColorArithmetic, GradientRowsTruncateTowardZero)
{
    EXPECT_TRUE(gradientRows(kBlack, kWhite, 0).empty());
    // A single row holds the sum of the halves, each truncated.
    EXPECT_EQ(gradientRows(rgb(255, 1, 3), rgb(255, 1, 4), 1), std::vector<ColorValue>{rgb(254, 0, 3)});
    EXPECT_EQ(gradientRows(kBlack, kWhite, 3),
              (std::vector<ColorValue>{kBlack, rgb(127, 127, 127), kWhite}));
    // Falling channels truncate toward zero as well: 255 - 127.5 gives 128.
    EXPECT_EQ(gradientRows(kWhite, kBlack, 3)[1], rgb(128, 128, 128));
    const auto rows = gradientRows(rgb(255, 255, 225), rgb(255, 234, 172), 9);
    EXPECT_EQ(rows.front(), rgb(255, 255, 225));
    EXPECT_EQ(rows.back(), rgb(255, 234, 172));
}

TEST(ColorArithmetic, SystemColoursAreTranslatedWhenDrawn)
{
    SystemColors sys;
    sys.buttonFace = rgb(1, 2, 3);
    EXPECT_EQ(sys.translate(systemColor(SystemColor::ButtonFace)), rgb(1, 2, 3));
    EXPECT_EQ(sys.translate(rgb(9, 8, 7)), rgb(9, 8, 7));
    EXPECT_TRUE(isSystemColor(systemColor(SystemColor::GrayText)));
}

TEST(PaintValues, FontTextRoundTripsAndFallsBackOnNonsense)
{
    FontSpec f;
    f.name = "DejaVu Sans";
    f.pointSize = 9.75;
    f.bold = f.underline = true;
    EXPECT_EQ(FontSpec::fromText(f.toText(), {}), f);
    FontSpec fallback;
    fallback.name = "Fallback";
    for (const char* bad : {"", "Tahoma", ";8", "Tahoma;zero", "Tahoma;-3;B", "Tahoma;1e9"})
        EXPECT_EQ(FontSpec::fromText(bad, fallback), fallback) << bad;
}

TEST(PaintValues, PictureBytesRoundTripAndRejectDamage)
{
    Picture p;
    p.kind = Picture::Kind::Icon;
    p.width = 2;
    p.height = 1;
    p.pixels = {0xFF112233u, 0x00445566u};
    const auto bytes = p.toBytes();
    EXPECT_EQ(Picture::fromBytes(bytes), p);
    auto cut = bytes;
    cut.pop_back();
    EXPECT_TRUE(Picture::fromBytes(cut).empty());
    auto huge = bytes;
    huge[8] = 0xFF; huge[9] = 0xFF; huge[10] = 0xFF; huge[11] = 0x7F;
    EXPECT_TRUE(Picture::fromBytes(huge).empty());
    EXPECT_TRUE(Picture{}.toBytes().empty());
}

TEST(PaintValues, SymbolFontCaptionsBecomeTransportShapes)
{
    FontSpec symbols;
    symbols.name = "Webdings";
    EXPECT_EQ(transportSymbolOf(symbols, "="), TransportSymbol::Record);
    EXPECT_EQ(transportSymbolOf(symbols, "<"), TransportSymbol::Stop);
    EXPECT_EQ(transportSymbolOf(symbols, "4"), TransportSymbol::Play);
    EXPECT_EQ(transportSymbolOf(symbols, "44"), TransportSymbol::None);
    EXPECT_EQ(transportSymbolOf(FontSpec{}, "="), TransportSymbol::None);
}

TEST(PixelSurfaceOps, OutlineLinesAndFocusDots)
{
    PixelSurface s(6, 4, kWhite);
    s.outline({0, 0, 6, 4}, kBlack);
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(s.pixel(x, 0), kBlack);
        EXPECT_EQ(s.pixel(x, 3), kBlack);
    }
    EXPECT_EQ(s.pixel(0, 2), kBlack);
    EXPECT_EQ(s.pixel(5, 2), kBlack);
    EXPECT_EQ(s.pixel(2, 2), kWhite);
    // A line leaves out its end point.
    PixelSurface l(5, 1, kWhite);
    l.line(0, 0, 4, 0, kBlack);
    EXPECT_EQ(l.pixel(3, 0), kBlack);
    EXPECT_EQ(l.pixel(4, 0), kWhite);
    PixelSurface f(5, 5, kWhite);
    f.focusRect({0, 0, 5, 5}, kBlack);
    EXPECT_EQ(f.pixel(0, 0), kBlack);
    EXPECT_EQ(f.pixel(1, 0), kWhite);
    EXPECT_EQ(f.pixel(2, 0), kBlack);
    EXPECT_EQ(f.pixel(2, 2), kWhite);
}
