#pragma once

#include "common/propertybag.h"
#include "common/types.h"
#include "lumidot/export.h"
#include "lumidot/types.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sonaveil::lumidot {

// An image of 0xFFRRGGBB pixels, row by row; a dot picture, palette or background picture.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    bool operator==(const Picture&) const = default;
};
using PictureRef = std::shared_ptr<const Picture>;

// The pixel (0xFFRRGGBB) a colour value (0x00BBGGRR) is drawn with.
constexpr std::uint32_t pixelOf(ColorValue c)
{
    return 0xFF000000u | (std::uint32_t(redOf(c)) << 16) | (std::uint32_t(greenOf(c)) << 8)
        | std::uint32_t(blueOf(c));
}

// The four colours of a preset palette.
struct PaletteColors {
    ColorValue backlight;
    ColorValue off;
    ColorValue on;
    ColorValue blend;
};
// Colours of palettes 0..12.
LUMIDOT_EXPORT const PaletteColors& presetPalette(int index);

// What the display tells the control that hosts it.
class LUMIDOT_EXPORT DisplayListener {
public:
    virtual ~DisplayListener();
    // A persisted value changed and must be saved.
    virtual void propertyChanged(std::string_view name) {}
    // The display set its own size (frame included).
    virtual void resizeSurface(int width, int height) {}
    // The image changed within the rectangle (x, y, width, height); show it.
    virtual void present(int x, int y, int width, int height) {}
    virtual void sizeChanged() {}
    virtual void colorChanged(LCDColor which, ColorValue color) {}
    virtual void animationComplete(int lineNumber) {}
    // Line timer `index` (0..3) is to run with `intervalMs`, or to stop.
    virtual void timerChanged(int index, bool enabled, int intervalMs) {}
};

// The dot-matrix display without a widget: four lines of text, the glyph sheet, the image the
// control shows, line animations, colours and persistence. The widget forwards its timers' ticks
// to tick() and paints image().
class LUMIDOT_EXPORT DisplayModel {
public:
    static constexpr int kFrameWidth = 2;
    // The drawing surface never grows beyond this, whatever the spacing properties say.
    static constexpr int kMaxSurface = 4096;

    DisplayModel();
    void setListener(DisplayListener* listener) { m_listener = listener; }

    // Text model.
    void SetDisplay(int lineNumber, std::u16string text);
    std::u16string GetDisplay(int lineNumber) const;
    void WrapDisplay(const std::u16string& text);
    void CLS();
    void Refresh();

    // Geometry.
    int LCDRow() const { return m_rows; }
    void setLCDRow(int rows);
    int LCDCol() const { return m_cols; }
    void setLCDCol(int cols);
    int RowBorderSize() const { return m_rowBorder; }
    void setRowBorderSize(int value);
    int ColBorderSize() const { return m_colBorder; }
    void setColBorderSize(int value);
    int Rowspace() const { return m_rowSpace; }
    void setRowspace(int value);
    int Colspace() const { return m_colSpace; }
    void setColspace(int value);
    bool BorderStyle() const { return m_frame; }
    void setBorderStyle(bool on);
    int DisplayType() const { return m_displayType; }
    void setDisplayType(int type);

    // Colours and palettes.
    ColorValue ColorLCDon() const { return m_colorOn; }
    void setColorLCDon(ColorValue c);
    ColorValue ColorLCDoff() const { return m_colorOff; }
    void setColorLCDoff(ColorValue c);
    ColorValue ColorBacklight() const { return m_colorBacklight; }
    void setColorBacklight(ColorValue c);
    ColorValue ColorBlend() const { return m_colorBlend; }
    void setColorBlend(ColorValue c);
    bool AutoBlend() const { return m_autoBlend; }
    void setAutoBlend(bool on);
    int ColorPresetPalette() const { return m_preset; }
    void setColorPresetPalette(int preset);
    int PaletteMode() const { return m_paletteMode; }
    void setPaletteMode(int mode);
    PictureRef Palette() const { return m_palette; }
    void setPalette(PictureRef picture);
    PictureRef BackgroundPicture() const { return m_background; }
    void setBackgroundPicture(PictureRef picture);
    int OLEDropMode() const { return m_oleDropMode; }
    void setOLEDropMode(int mode);

    // Dot pictures of the Custom sheet.
    PictureRef LCDonPicture() const { return m_onPicture; }
    void setLCDonPicture(PictureRef picture);
    PictureRef LCDoffPicture() const { return m_offPicture; }
    void setLCDoffPicture(PictureRef picture);

    // Rebuilds the glyph sheet from DisplayType and the colours; resizes once a sheet exists.
    void LoadColorPallete();
    // Sizes the display from its geometry and redraws everything.
    void ResizeDisplay();
    // One drawing pass: full when a full redraw is pending, else only the changed cells.
    void DrawLines();

    // Animations.
    void SetAni_Animation(int lineNumber, int animation);
    void SetAni_SkipSpace(int lineNumber, bool setting);
    void SetAni_LoopCount(int lineNumber, int count);
    // Returns the timing as used (values below 1 become 1).
    int SetAni_Timing(int lineNumber, int timingMs);
    void SetAni_Text(int lineNumber, std::u16string text);
    void SetAni_RightToLeft(int lineNumber, bool setting);
    // Timing below 1 becomes 1 and a loop count below -1 becomes 0; the used values are returned
    // through the pointers when given.
    void SetAnimationOpts(int lineNumber, int animation, int timingMs, bool rightToLeft,
                          bool skipSpace, int loopCount, int* usedTiming = nullptr,
                          int* usedLoopCount = nullptr);
    void SetAnimation(int lineNumber, std::u16string text);
    void StartAnimation(int lineNumber);
    void StopAnimation(int lineNumber);
    // One tick of line timer `index` (0..3).
    void tick(int index);

    struct AniRec {
        bool Active = false;
        bool Armed = false;
        bool SkipSpace = false;
        bool RightToLeft = false;
        int LoopCount = 0;
        int Pos = 0;
        int TextLen = 0;
        int Animation = 0;
        int Timing = 0;
        std::u16string AniText;
        std::u16string Saved;
    };
    const AniRec& aniRec(int index) const { return m_ani[index]; }
    bool timerEnabled(int index) const { return m_timerOn[index]; }
    int timerInterval(int index) const { return m_timerInterval[index]; }

    // Persistence: every key with its value, and the reading rule (values stored as given).
    void writeProperties(PropertyBag& bag) const;
    void readProperties(const PropertyBag& bag);

    // The control's size (frame included) as the sizing rule gives it.
    int computedWidth() const;
    int computedHeight() const;

    // The drawing surface: the whole control, frame included.
    int width() const { return m_width; }
    int height() const { return m_height; }
    const std::uint32_t* image() const { return m_image.data(); }
    std::uint32_t pixel(int x, int y) const { return m_image[std::size_t(y) * m_width + x]; }
    // Top-left of the client area inside the frame.
    int clientOrigin() const { return m_frame ? kFrameWidth : 0; }

    // The glyph sheet.
    int CellWidth() const { return m_cellWidth; }
    int CellHeight() const { return m_cellHeight; }
    int sheetWidth() const { return m_sheetWidth; }
    int sheetHeight() const { return m_sheetHeight; }
    std::uint32_t sheetPixel(int x, int y) const
    {
        const std::size_t at = std::size_t(y) * m_sheetWidth + x;
        return m_sheetIndex ? m_sheetColours[m_sheetIndex[at]] : m_sheet[at];
    }
    bool sheetBuilt() const { return m_sheetBuilt; }
    // The display is setting its own size (its host's resize notices are then its own doing).
    bool resizing() const { return m_resizing; }
    // The colour the surface clears to; bit 25 marks it palette-relative after a built-in sheet.
    std::uint32_t surfaceBackColor() const { return m_backColor; }

    // Counters for measurements and tests: cells copied, sheets built, passes run.
    long cellCopies() const { return m_cellCopies; }
    long sheetBuilds() const { return m_sheetBuilds; }
    long fullPasses() const { return m_fullPasses; }

private:
    void buildBuiltinSheet(int type);
    void BuildCustomSheet();
    void fullPass();
    void partialPass();
    void clearSurface();
    void drawFrame();
    void drawCell(int row, int column, char16_t ch);
    void setTimer(int index, bool enabled, int interval);
    void geometryChanged(std::string_view name);
    // Every line's animation stopped, its timer off.
    void stopAnimations();
    // Every dot drawn again (and a render in progress finished).
    void redrawWhole();
    // A border or a space between dots, as a 16-bit value.
    void setSpacing(int& field, int value, std::string_view name);
    void changeColor(ColorValue& field, ColorValue c, std::string_view name, LCDColor which);
    void reportChanged(std::string_view name);
    // After either picture of the Custom dots changed.
    void customPicturesChanged();
    void step(int index);
    void stepRule(int index);

    DisplayListener* m_listener = nullptr;

    std::array<std::u16string, 4> m_lineText;
    std::array<std::u16string, 4> m_drawnText;
    std::array<bool, 4> m_lineDirty{};
    std::array<AniRec, 4> m_ani;
    std::array<bool, 4> m_timerOn{};
    std::array<int, 4> m_timerInterval{100, 100, 100, 100};

    int m_rows = 4;
    int m_cols = 20;
    int m_rowBorder = 4;
    int m_colBorder = 4;
    int m_rowSpace = 2;
    int m_colSpace = 1;
    int m_displayType = Normal;
    bool m_frame = true;
    ColorValue m_colorBacklight = rgb(208, 255, 208);
    ColorValue m_colorOff = rgb(207, 245, 207);
    ColorValue m_colorOn = 0;
    ColorValue m_colorBlend = rgb(175, 213, 175);
    bool m_autoBlend = true;
    int m_preset = LCD_Green;
    int m_paletteMode = 4;
    int m_oleDropMode = 0;
    PictureRef m_palette;
    PictureRef m_background;
    PictureRef m_onPicture;
    PictureRef m_offPicture;
    PictureRef m_holderOff; // PX1
    PictureRef m_holderOn;  // PX2

    int m_cellWidth = 0;
    int m_cellHeight = 0;
    bool m_sheetBuilt = false;
    bool m_fullRedraw = false;
    bool m_renderBusy = false;
    bool m_resizing = false;

    // A built-in sheet is the shared sheet of its dot size, each pixel one of four colours
    // (lit dot, blend, unlit dot, backlight): the colours are this display's, the sheet is not
    // copied. Custom dots have a sheet of their own in m_sheet.
    const std::uint8_t* m_sheetIndex = nullptr;
    std::array<std::uint32_t, 4> m_sheetColours{};
    std::vector<std::uint32_t> m_sheet;
    int m_sheetWidth = 0;
    int m_sheetHeight = 0;
    std::uint32_t m_backColor = 0;

    std::vector<std::uint32_t> m_image;
    int m_width = 0;
    int m_height = 0;

    // Bounds of what the running pass drew.
    int m_dirtyLeft = 0, m_dirtyTop = 0, m_dirtyRight = 0, m_dirtyBottom = 0;

    long m_cellCopies = 0;
    long m_sheetBuilds = 0;
    long m_fullPasses = 0;
};

} // namespace sonaveil::lumidot
