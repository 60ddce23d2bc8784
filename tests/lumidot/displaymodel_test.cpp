#include "helpers.h"

#include "common/propertybag.h"
#include "lumidot/font.h"

#include <gtest/gtest.h>

using namespace lumidot_test;
using sonaveil::PropertyBag;
using sonaveil::rgb;

namespace {

struct Display : ::testing::Test {
    DisplayModel m;
    Recorder rec;
    void SetUp() override
    {
        m.setListener(&rec);
        m.ResizeDisplay();
        rec = Recorder{};
    }
};

PictureRef solid(int w, int h, std::uint32_t pixel)
{
    auto p = std::make_shared<Picture>();
    p->width = w;
    p->height = h;
    p->pixels.assign(std::size_t(w) * h, pixel);
    return p;
}

} // namespace

TEST_F(Display, SizesFollowTheDotSizeAndFrame)
{
    EXPECT_EQ(m.CellWidth(), 20);
    EXPECT_EQ(m.CellHeight(), 28);
    // The control's size and its dot sheet's for each kind and frame (0: not checked).
    const struct {
        LCDType type;
        bool frame;
        int width, height, sheetWidth, sheetHeight;
    } sizes[] = {
        {Normal, true, 430, 129, 640, 112},
        {Normal, false, 426, 125, 0, 0},
        {Small, true, 230, 73, 320, 0},
        {Large, true, 330, 101, 480, 84},
    };
    for (const auto& size : sizes) {
        m.setDisplayType(size.type);
        m.setBorderStyle(size.frame);
        EXPECT_EQ(m.width(), size.width) << size.type << size.frame;
        EXPECT_EQ(m.height(), size.height) << size.type << size.frame;
        if (size.sheetWidth) {
            EXPECT_EQ(m.sheetWidth(), size.sheetWidth) << size.type;
        }
        if (size.sheetHeight) {
            EXPECT_EQ(m.sheetHeight(), size.sheetHeight) << size.type;
        }
    }
}

TEST_F(Display, GeometryChangesResizeOnceAndOutOfRangeValuesAreIgnored)
{
    m.setLCDRow(0);
    m.setLCDRow(5);
    m.setLCDCol(0);
    m.setLCDCol(81);
    EXPECT_EQ(rec.sizeChanges, 0);
    EXPECT_TRUE(rec.properties.empty());
    EXPECT_EQ(m.LCDRow(), 4);
    EXPECT_EQ(m.LCDCol(), 20);

    m.setLCDRow(2);
    EXPECT_EQ(rec.sizeChanges, 1);
    m.setLCDCol(80);
    m.setRowBorderSize(0);
    m.setColBorderSize(10);
    m.setRowspace(5);
    m.setColspace(-3); // no range check: stored as given
    m.setBorderStyle(false);
    EXPECT_EQ(rec.sizeChanges, 7);
    EXPECT_EQ(rec.properties, (std::vector<std::string>{"LCDRow", "LCDCol", "RowBorderSize", "ColBorderSize",
                                                        "Rowspace", "Colspace", "BorderStyle"}));
    EXPECT_EQ(m.Colspace(), -3);
    EXPECT_EQ(m.width(), (20 - 3) * 80 + 20 + 3 - 1);
    EXPECT_EQ(m.height(), (28 + 5) * 2 - 5 - 1);
}

TEST_F(Display, HugeSpacingIsBoundedInsteadOfExhaustingMemory)
{
    m.setColspace(32767);
    m.setRowspace(32767);
    m.setLCDCol(80);
    EXPECT_LE(m.width(), DisplayModel::kMaxSurface);
    EXPECT_LE(m.height(), DisplayModel::kMaxSurface);
    m.SetDisplay(1, u"still drawing");
    m.setColspace(-500);
    m.setRowBorderSize(-100);
    EXPECT_GE(m.width(), 1);
    m.SetDisplay(2, u"and clipping");
    // A frame and a background picture on a surface smaller than the frame.
    m.setBackgroundPicture(solid(50, 50, 0xFF123456u));
    m.setLCDCol(1);
    m.setLCDRow(1);
    m.setColBorderSize(-40);
    EXPECT_EQ(m.width(), 1);
    m.SetDisplay(1, u"X");
}

TEST_F(Display, BackgroundPictureShowsUnderTheCells)
{
    m.setBackgroundPicture(solid(3, 3, 0xFF123456u));
    EXPECT_EQ(m.pixel(2, 2), 0xFF123456u);
    EXPECT_EQ(m.pixel(5, 5), pixelOf(m.ColorBacklight()));
    EXPECT_EQ(m.pixel(0, 0), 0xFF808080u); // the frame stays on top
}

TEST_F(Display, TextModelShowsTheFirstColumnsAndKeepsTheWholeText)
{
    m.SetDisplay(0, u"no");
    m.SetDisplay(5, u"no");
    EXPECT_EQ(m.GetDisplay(0), u"");
    EXPECT_EQ(m.GetDisplay(5), u"");
    for (int line = 1; line <= 4; ++line)
        EXPECT_EQ(m.GetDisplay(line), u"");

    m.SetDisplay(1, u"HELLO");
    EXPECT_EQ(dotRow(m, 0, 0, 0), "#...#");
    EXPECT_EQ(cellDots(m, 0, 5), std::vector<std::string>(7, "....."));
    EXPECT_EQ(cellDots(m, 0, 19), std::vector<std::string>(7, "....."));

    const std::u16string longText = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    m.SetDisplay(2, longText);
    EXPECT_EQ(m.GetDisplay(2), longText);
    EXPECT_EQ(cellDots(m, 1, 19)[0], "#####"); // T, the 20th letter
}

TEST_F(Display, TellingRowsReadBackFromTheImage)
{
    m.SetDisplay(1, u"A0g \t");
    const std::vector<std::string> a = {".###.", "#...#", "#...#", "#...#", "#####", "#...#", "#...#"};
    const std::vector<std::string> zero = {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."};
    const std::vector<std::string> g = {".....", ".....", ".####", "#...#", ".####", "....#", ".###."};
    const std::vector<std::string> blank(7, ".....");
    for (int type : {Normal, Small, Large}) {
        m.setDisplayType(type);
        EXPECT_EQ(cellDots(m, 0, 0), a) << type;
        EXPECT_EQ(cellDots(m, 0, 1), zero) << type;
        EXPECT_EQ(cellDots(m, 0, 2), g) << type;
        EXPECT_EQ(cellDots(m, 0, 3), blank) << type;
        EXPECT_EQ(cellDots(m, 0, 4), blank) << type;
    }
}

TEST_F(Display, SymbolsOfTheBuiltInSheets)
{
    m.SetDisplay(1, std::u16string{char16_t(133), char16_t(159), char16_t(146), u's'});
    EXPECT_EQ(cellDots(m, 0, 0), std::vector<std::string>(7, "#####"));
    EXPECT_EQ(cellDots(m, 0, 1),
              (std::vector<std::string>{".#.#.", "#####", "#####", ".###.", "..#..", ".....", "....."}));
    EXPECT_EQ(cellDots(m, 0, 2),
              (std::vector<std::string>{".....", ".....", ".###.", ".###.", ".###.", ".....", "....."}));
    EXPECT_EQ(dotRow(m, 0, 3, 6), ".###.");
}

TEST_F(Display, GapPixelsFollowTheIndexRule)
{
    // Normal dots: pitch 4, a 3 x 3 dot, then a gap column and row.
    m.SetDisplay(1, std::u16string{u'A', char16_t(133), u'/'});
    const std::uint32_t blend = pixelOf(m.ColorBlend());
    const std::uint32_t back = pixelOf(m.ColorBacklight());
    const std::uint32_t off = pixelOf(m.ColorLCDoff());
    const int ox = 2 + 4, oy = 2 + 4;
    // A's top row .###.: between dots 1 and 2 blend; between 0 and 1 backlight; last gap column backlight.
    EXPECT_EQ(m.pixel(ox + 1 * 4 + 3, oy + 1), blend);
    EXPECT_EQ(m.pixel(ox + 0 * 4 + 3, oy + 1), back);
    EXPECT_EQ(m.pixel(ox + 4 * 4 + 3, oy + 1), back);
    EXPECT_EQ(m.pixel(ox + 0, oy + 0), off);
    // Full block: crossings stay backlight (all four lit), vertical gaps blend, last gap row backlight.
    const int bx = ox + 21;
    EXPECT_EQ(m.pixel(bx + 3, oy + 3), back);
    EXPECT_EQ(m.pixel(bx + 1, oy + 3), blend);
    EXPECT_EQ(m.pixel(bx + 1, oy + 6 * 4 + 3), back);
    // The slash's diagonal dots join at the crossing between them.
    const int sx = ox + 42;
    EXPECT_EQ(m.pixel(sx + 3 * 4 + 3, oy + 1 * 4 + 3), blend); // dots (4,1) and (3,2)

    m.setAutoBlend(false);
    EXPECT_EQ(m.pixel(ox + 1 * 4 + 3, oy + 1), back);
}

TEST_F(Display, PartialRedrawCopiesOnlyChangedCells)
{
    m.SetDisplay(1, u"ABC");
    long before = m.cellCopies();
    const int presents = rec.presents;
    m.SetDisplay(1, u"ABD");
    EXPECT_EQ(m.cellCopies() - before, 1);
    EXPECT_EQ(rec.presents, presents + 1);
    EXPECT_EQ(rec.lastPresent, (std::vector<int>{2 + 4 + 2 * 21, 2 + 4, 20, 28})); // only that cell is shown anew
    EXPECT_EQ(dotRow(m, 0, 2, 0), "###..");

    before = m.cellCopies();
    m.SetDisplay(1, u"AB");
    EXPECT_EQ(m.cellCopies() - before, 1);
    EXPECT_EQ(cellDots(m, 0, 2), std::vector<std::string>(7, "....."));

    before = m.cellCopies();
    m.SetDisplay(1, u"AB");
    EXPECT_EQ(m.cellCopies() - before, 0);
    m.SetDisplay(2, u"AB");
    EXPECT_EQ(m.cellCopies() - before, 2); // only line 2 is drawn

    before = m.cellCopies();
    m.Refresh();
    EXPECT_EQ(m.cellCopies() - before, 80);
}

TEST_F(Display, WrapDisplaySpreadsTextByCharacters)
{
    std::u16string text;
    for (int i = 0; i < 45; ++i)
        text += char16_t(u'A' + i % 26);
    m.WrapDisplay(text);
    EXPECT_EQ(m.GetDisplay(1), text.substr(0, 20));
    EXPECT_EQ(m.GetDisplay(2), text.substr(20, 20));
    EXPECT_EQ(m.GetDisplay(3), text.substr(40));
    EXPECT_EQ(m.GetDisplay(4), u"");

    m.setLCDRow(2);
    m.WrapDisplay(text);
    EXPECT_EQ(m.GetDisplay(2), text.substr(20, 20));
    EXPECT_EQ(m.GetDisplay(3), u"");

    m.setLCDRow(4);
    m.WrapDisplay(u"AB\r\n\r\nC");
    EXPECT_EQ(m.GetDisplay(1), u"AB");
    EXPECT_EQ(m.GetDisplay(2), u"");
    EXPECT_EQ(m.GetDisplay(3), u"C");

    m.setLCDCol(2);
    m.WrapDisplay(u"AB\nCD\n\nE");
    EXPECT_EQ(m.GetDisplay(1), u"AB"); // a full line and its line feed give one line
    EXPECT_EQ(m.GetDisplay(2), u"CD");
    EXPECT_EQ(m.GetDisplay(3), u"");
    EXPECT_EQ(m.GetDisplay(4), u"E");
}

TEST_F(Display, ColourSettersReportAndRebuild)
{
    const long builds = m.sheetBuilds();
    m.setColorLCDon(0);
    EXPECT_EQ(rec.colors, (std::vector<std::pair<int, sonaveil::ColorValue>>{{lcdPixelOn, 0}}));
    EXPECT_EQ(m.ColorPresetPalette(), LCD_Green);
    EXPECT_EQ(m.sheetBuilds(), builds);

    m.SetDisplay(1, u"A");
    const long copies = m.cellCopies();
    m.setColorLCDon(rgb(255, 0, 0));
    EXPECT_EQ(m.ColorPresetPalette(), None);
    EXPECT_EQ(m.cellCopies() - copies, 80);
    EXPECT_EQ(dotRow(m, 0, 0, 4), "#####");
    EXPECT_EQ(m.pixel(2 + 4 + 4, 2 + 4), pixelOf(rgb(255, 0, 0)));

    rec = Recorder{};
    m.setColorBlend(m.ColorBlend());
    m.setAutoBlend(false);
    EXPECT_EQ(rec.colors, (std::vector<std::pair<int, sonaveil::ColorValue>>{{lcdBlend, m.ColorBlend()}}));
    EXPECT_EQ(rec.properties, (std::vector<std::string>{"ColorBlend", "AutoBlend"}));
    EXPECT_EQ(m.sheetBuilds(), builds + 3);
}

TEST_F(Display, PresetPalettesSetFourColoursInOrder)
{
    m.setColorPresetPalette(Led_Red);
    EXPECT_EQ(rec.colors, (std::vector<std::pair<int, sonaveil::ColorValue>>{
                              {lcdPixelOff, 0}, {lcdPixelOn, 255}, {lcdBlend, 96}, {lcdBacklight, 0}}));
    EXPECT_EQ(rec.properties, (std::vector<std::string>{"ColorPresetPalette", "ColorBacklight", "ColorLCDon",
                                                        "ColorLCDoff", "ColorBlend"}));
    m.SetDisplay(1, std::u16string{char16_t(133)});
    EXPECT_EQ(m.pixel(6, 6), 0xFFFF0000u);            // lit dot
    EXPECT_EQ(m.pixel(6 + 1, 6 + 3), 0xFF600000u);    // blend between lit dots
    EXPECT_EQ(m.pixel(6 + 25, 6), 0xFF000000u);       // unlit dot of the next cell
    EXPECT_EQ(m.surfaceBackColor(), 33554432u);

    rec = Recorder{};
    m.setColorPresetPalette(13);
    EXPECT_EQ(m.ColorPresetPalette(), 13);
    EXPECT_TRUE(rec.colors.empty());
    EXPECT_EQ(m.ColorLCDon(), 255u);

    const long builds = m.sheetBuilds();
    m.setColorPresetPalette(None);
    EXPECT_EQ(m.sheetBuilds(), builds + 1);
    EXPECT_EQ(rec.colors.size(), 4u);
    EXPECT_EQ(m.ColorLCDon(), 255u);

    for (int p = 0; p <= 12; ++p) {
        m.setColorPresetPalette(p);
        EXPECT_EQ(m.ColorBacklight(), presetPalette(p).backlight);
        EXPECT_EQ(m.ColorLCDoff(), presetPalette(p).off);
        EXPECT_EQ(m.ColorLCDon(), presetPalette(p).on);
        EXPECT_EQ(m.ColorBlend(), presetPalette(p).blend);
    }
    EXPECT_EQ(presetPalette(Vac_Orange).on, rgb(255, 193, 64));
}

TEST_F(Display, CustomSheetUsesTheDotPictures)
{
    const std::uint32_t lit = 0xFFFF8000u, unlit = 0xFF102030u;
    m.setLCDonPicture(solid(3, 3, lit));
    EXPECT_EQ(m.DisplayType(), Normal); // one picture is not a pair yet
    m.setLCDoffPicture(solid(3, 3, unlit));
    EXPECT_EQ(m.DisplayType(), Custom);
    EXPECT_EQ(m.sheetWidth(), 480);
    EXPECT_EQ(m.sheetHeight(), 84);
    EXPECT_EQ(m.CellWidth(), 15);
    EXPECT_EQ(m.CellHeight(), 21);
    EXPECT_EQ(m.surfaceBackColor(), m.ColorBacklight());
    for (int g = 0; g < 128; ++g)
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 5; ++c) {
                const bool on = glyphDot(glyphTable(), g, c, r);
                const std::uint32_t px = m.sheetPixel(15 * (g % 32) + 3 * c + 1, 21 * (g / 32) + 3 * r + 1);
                ASSERT_EQ(px, on ? lit : unlit) << "glyph " << g;
            }
    // Code 146 is a symbol of the built-in sheets only.
    m.SetDisplay(1, std::u16string{char16_t(146)});
    EXPECT_EQ(m.pixel(2 + 4 + 7, 2 + 4 + 10), unlit);
    // Colours other than the backlight change nothing on a Custom display.
    const std::uint32_t cell = m.pixel(2 + 4 + 1, 2 + 4 + 1);
    m.setColorLCDoff(rgb(1, 2, 3));
    EXPECT_EQ(m.pixel(2 + 4 + 1, 2 + 4 + 1), cell);
    m.setColorBacklight(rgb(9, 9, 9));
    EXPECT_EQ(m.pixel(2 + 1, 2 + 1), pixelOf(rgb(9, 9, 9)));

    // Pictures of different sizes are stored and change nothing.
    m.setDisplayType(Normal);
    m.setLCDonPicture(solid(2, 2, lit));
    EXPECT_EQ(m.DisplayType(), Normal);
    EXPECT_EQ(m.LCDonPicture()->width, 2);
}

TEST(DisplayPersistence, RoundTripsEveryKeyWhateverTheCase)
{
    DisplayModel a;
    a.ResizeDisplay();
    PropertyBag fresh;
    a.writeProperties(fresh);
    EXPECT_EQ(fresh.readInteger("ColorBlend", 0), 11523503);
    EXPECT_EQ(fresh.readInteger("ColorBacklight", 0), 13696976);
    EXPECT_EQ(fresh.readInteger("ColorLCDoff", 0), 13628879);
    EXPECT_EQ(fresh.readInteger("LCDRow", 0), 4);
    EXPECT_EQ(fresh.readInteger("LCDCol", 0), 20);
    EXPECT_EQ(fresh.readInteger("BorderStyle", 0), 1);
    EXPECT_EQ(fresh.readInteger("PaletteMode", 0), 4);
    EXPECT_EQ(fresh.readInteger("ColorPresetPalette", 0), 1);
    EXPECT_EQ(fresh.names().size(), 20u);

    a.setLCDRow(3);
    a.setLCDCol(14);
    a.setDisplayType(Small);
    a.setColorPresetPalette(Vac_Orange);
    a.setBorderStyle(false);
    a.setRowspace(7);
    a.setColspace(0);
    a.setRowBorderSize(1);
    a.setColBorderSize(2);
    a.setAutoBlend(false);
    a.setPaletteMode(2);
    a.setOLEDropMode(1);
    auto dot = std::make_shared<Picture>();
    dot->width = 2;
    dot->height = 1;
    dot->pixels = {0xFF010203u, 0xFF040506u};
    a.setLCDoffPicture(dot);
    PropertyBag saved;
    a.writeProperties(saved);

    // A host's stored layout holds the keys in lower case.
    PropertyBag lower;
    for (const std::string& name : saved.names())
        lower.write(name, *saved.read(name));
    DisplayModel b;
    b.readProperties(lower);
    b.ResizeDisplay();
    PropertyBag again;
    b.writeProperties(again);
    EXPECT_EQ(again, saved);
    EXPECT_EQ(b.width(), a.width());
    EXPECT_EQ(b.height(), a.height());
    EXPECT_EQ(b.ColorLCDon(), sonaveil::rgb(255, 193, 64));
    ASSERT_TRUE(b.LCDoffPicture());
    EXPECT_EQ(*b.LCDoffPicture(), *dot);

    DisplayModel c;
    c.readProperties(PropertyBag{});
    c.ResizeDisplay();
    EXPECT_EQ(c.width(), 430);
    EXPECT_EQ(c.ColorPresetPalette(), LCD_Green);
}

TEST(DisplayPersistence, StoredValuesOutsideTheLinesAreBroughtIntoRange)
{
    PropertyBag bag;
    bag.write("lcdrow", std::int64_t(9));
    bag.write("lcdcol", std::int64_t(-4));
    bag.write("displaytype", std::int64_t(7));
    bag.write("lcdonpicture", PropertyBag::Bytes{1, 2, 3});
    DisplayModel m;
    m.readProperties(bag);
    m.ResizeDisplay();
    EXPECT_EQ(m.LCDRow(), 4);
    EXPECT_EQ(m.LCDCol(), 1);
    EXPECT_EQ(m.DisplayType(), 7);  // stored as given, drawn with Normal dots
    EXPECT_EQ(m.CellWidth(), 20);
    EXPECT_FALSE(m.LCDonPicture()); // malformed picture bytes read as none
    m.SetDisplay(4, u"fine");
}

// Two displays share the sheet of their dot size but each draws in its own colours, and a
// display that had custom dots goes back to the built-in ones in its colours of the moment.
TEST(DisplayColours, EachDisplayDrawsTheSharedDotsInItsOwnColours)
{
    DisplayModel green, red;
    green.ResizeDisplay();
    red.ResizeDisplay();
    red.setColorPresetPalette(Led_Red);
    green.SetDisplay(1, u"A0");
    red.SetDisplay(1, u"A0");
    const std::vector<std::string> a = {".###.", "#...#", "#...#", "#...#", "#####", "#...#", "#...#"};
    EXPECT_EQ(cellDots(green, 0, 0), a);
    EXPECT_EQ(cellDots(red, 0, 0), a);
    const int x = green.clientOrigin() + green.ColBorderSize(), y = green.clientOrigin() + green.RowBorderSize();
    EXPECT_EQ(green.pixel(x + 4, y), pixelOf(green.ColorLCDon())); // A's top row: .#
    EXPECT_EQ(red.pixel(x + 4, y), pixelOf(red.ColorLCDon()));
    EXPECT_EQ(red.pixel(x, y), pixelOf(red.ColorLCDoff()));
    EXPECT_NE(green.pixel(x + 4, y), red.pixel(x + 4, y));
    // Glyph 0's top row is unlit.
    EXPECT_EQ(green.sheetPixel(4, 0), pixelOf(green.ColorLCDoff()));
    EXPECT_EQ(red.sheetPixel(4, 0), pixelOf(red.ColorLCDoff()));

    red.setLCDonPicture(solid(3, 3, 0xFFFF8000u));
    red.setLCDoffPicture(solid(3, 3, 0xFF102030u));
    ASSERT_EQ(red.DisplayType(), Custom);
    red.setColorLCDon(rgb(10, 200, 30));
    red.setDisplayType(Small);
    red.SetDisplay(1, u"A0");
    EXPECT_EQ(red.CellWidth(), 10);
    EXPECT_EQ(cellDots(red, 0, 0), a);
    EXPECT_EQ(red.pixel(x + 2, y), pixelOf(rgb(10, 200, 30)));
    // The other display's dots are untouched by it.
    EXPECT_EQ(green.pixel(x + 4, y), pixelOf(green.ColorLCDon()));
    EXPECT_EQ(green.CellWidth(), 20);
}
