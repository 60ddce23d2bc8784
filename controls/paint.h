#pragma once

// Drawing vocabulary shared by the painted controls: colours and their arithmetic, fonts and
// pictures as plain values, and the small set of drawing operations a control's face is made of.
// Nothing here knows about Qt; paintqt.h maps the operations onto QPainter.

#include "common/types.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sonaveil::controls {

struct Rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    bool operator==(const Rect&) const = default;
};

struct TextSize {
    int width = 0;
    int height = 0;
};

// Colour properties may name a system colour instead of a fixed one: the high bit set and the
// system colour's index in the low byte. They are translated whenever they are drawn.
enum class SystemColor : int {
    Window = 5,
    WindowText = 8,
    AppWorkspace = 12,
    ButtonFace = 15,
    ButtonShadow = 16,
    GrayText = 17,
    ButtonText = 18,
    ButtonHighlight = 20,
    DarkShadow3D = 21,
    Light3D = 22,
};

constexpr ColorValue kSystemColorFlag = 0x80000000u;
constexpr ColorValue systemColor(SystemColor c) { return kSystemColorFlag | ColorValue(c); }
constexpr bool isSystemColor(ColorValue c) { return (c & kSystemColorFlag) != 0; }

constexpr ColorValue kWhite = rgb(255, 255, 255);
constexpr ColorValue kBlack = rgb(0, 0, 0);

// The current values of the system colours; the widgets fill it from the desktop's palette.
struct SystemColors {
    ColorValue window = rgb(255, 255, 255);
    ColorValue windowText = rgb(0, 0, 0);
    ColorValue appWorkspace = rgb(128, 128, 128);
    ColorValue buttonFace = rgb(212, 208, 200);
    ColorValue buttonShadow = rgb(128, 128, 128);
    ColorValue grayText = rgb(128, 128, 128);
    ColorValue buttonText = rgb(0, 0, 0);
    ColorValue buttonHighlight = rgb(255, 255, 255);
    ColorValue darkShadow3D = rgb(64, 64, 64);
    ColorValue light3D = rgb(212, 208, 200);

    // A fixed colour as it is; a system colour reference as its current value.
    ColorValue translate(ColorValue c) const;
};

// Shading by a factor f (-1..1): each channel plus f x 255, rounded half-even, then clamped to
// 255 when f is positive and to 0 otherwise.
ColorValue shade(ColorValue c, float f);
// Channel-wise (a + b) / 2, rounded half-even.
ColorValue average(ColorValue a, ColorValue b);
// Each channel plus n, clamped to 0..255.
ColorValue offset(ColorValue c, int n);
// The row colours of a vertical gradient of h rows from c1 (top) to c2 (bottom).
std::vector<ColorValue> gradientRows(ColorValue c1, ColorValue c2, int h);

// The contrast ratio of two colours as readers of text perceive it (1 … 21; relative luminance
// of sRGB).
double contrastRatio(ColorValue a, ColorValue b);
// `text` where it reads at least `minimum` : 1 against every colour of `grounds`; otherwise the
// least change of it towards black or white that does, or, when none does, whichever of black
// and white reads better.
ColorValue readableOn(ColorValue text, const std::vector<ColorValue>& grounds, double minimum = 4.5);

struct FontSpec {
    std::string name = "Tahoma";
    double pointSize = 8.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    bool operator==(const FontSpec&) const = default;

    // "Tahoma;8.25;B" style text for a property bag; fromText falls back to `fallback`.
    std::string toText() const;
    static FontSpec fromText(std::string_view text, const FontSpec& fallback);
};

// A picture in straight 0xAARRGGBB pixels. Icons carry their own alpha; bitmaps are opaque and
// may use a mask colour for transparency.
struct Picture {
    enum class Kind : int { None = 0, Bitmap = 1, Icon = 2 };
    Kind kind = Kind::None;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool empty() const { return kind == Kind::None || width <= 0 || height <= 0; }
    bool operator==(const Picture&) const = default;

    std::vector<std::uint8_t> toBytes() const;
    static Picture fromBytes(const std::vector<std::uint8_t>& bytes);
};

// The transport symbols that captions in the symbol font stand for.
enum class TransportSymbol { None, Record, Stop, Play };
// The symbol a one-character caption in the named symbol font shows, or None.
TransportSymbol transportSymbolOf(const FontSpec& font, std::string_view caption);

struct TextFlags {
    bool mnemonic = false;  // "&x" underlines x, "&&" is a literal ampersand
    bool wordWrap = false;  // wrap within the rectangle, centred both ways
};

// How a picture is to be drawn.
struct PictureMode {
    bool useMask = false;
    ColorValue maskColor = 0;
    bool grey = false;
};

// A control's pixel surface. Lines follow the usual convention: the end point is not drawn.
class PaintSurface {
public:
    virtual ~PaintSurface() = default;

    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual void fillRect(Rect r, ColorValue c) = 0;
    virtual void line(int x1, int y1, int x2, int y2, ColorValue c) = 0;
    virtual void setPixel(int x, int y, ColorValue c) = 0;
    // One colour per row starting at row y, each row w pixels wide from x.
    virtual void rows(int x, int y, int w, const std::vector<ColorValue>& colors) = 0;
    // One colour per column starting at column x, each column h pixels high from y.
    virtual void columns(int x, int y, int h, const std::vector<ColorValue>& colors) = 0;
    virtual TextSize measureText(std::string_view text, const FontSpec& font, TextFlags flags,
                                 int wrapWidth) = 0;
    virtual void text(Rect r, std::string_view text, const FontSpec& font, ColorValue c,
                      TextFlags flags) = 0;
    virtual void picture(int x, int y, int w, int h, const Picture& p, PictureMode mode) = 0;
    // A filled shape for a transport symbol inside r.
    virtual void symbol(Rect r, TransportSymbol s, ColorValue c) = 0;

    // Built from the operations above.
    void outline(Rect r, ColorValue c);
    void gradient(Rect r, ColorValue top, ColorValue bottom);
    void focusRect(Rect r, ColorValue c);
};

// Pixels cut off row dy (counted from the nearer of top and bottom) of a rounded rectangle whose
// corner ellipse is e by e.
int roundedInset(int e, int dy);
// A filled rounded rectangle.
void fillRounded(PaintSurface& s, Rect r, int e, ColorValue c);

enum class Edge { Raised, RaisedInner, Sunken, SunkenOuter };
// A 3-D edge in the system's light and shadow colours.
void drawEdge(PaintSurface& s, Rect r, Edge kind, const SystemColors& sys);

// A surface in memory: every pixel is kept, texts are recorded and not rasterised. Models are
// rendered on it in tests and wherever a picture of a face is needed without a display.
class PixelSurface : public PaintSurface {
public:
    struct TextRun {
        Rect rect;
        std::string text;
        ColorValue color;
        TextFlags flags;
        FontSpec font;
    };
    struct SymbolRun {
        Rect rect;
        TransportSymbol symbol;
        ColorValue color;
    };

    PixelSurface(int w, int h, ColorValue background = kWhite);

    int width() const override { return m_w; }
    int height() const override { return m_h; }
    void fillRect(Rect r, ColorValue c) override;
    void line(int x1, int y1, int x2, int y2, ColorValue c) override;
    void setPixel(int x, int y, ColorValue c) override;
    void rows(int x, int y, int w, const std::vector<ColorValue>& colors) override;
    void columns(int x, int y, int h, const std::vector<ColorValue>& colors) override;
    TextSize measureText(std::string_view text, const FontSpec& font, TextFlags flags,
                         int wrapWidth) override;
    void text(Rect r, std::string_view text, const FontSpec& font, ColorValue c,
              TextFlags flags) override;
    void picture(int x, int y, int w, int h, const Picture& p, PictureMode mode) override;
    void symbol(Rect r, TransportSymbol s, ColorValue c) override;

    ColorValue pixel(int x, int y) const;
    void clear(ColorValue c);
    const std::vector<TextRun>& texts() const { return m_texts; }
    const std::vector<SymbolRun>& symbols() const { return m_symbols; }

    // Fixed text metrics so that layouts are predictable: 6 pixels a character, 13 a line.
    static constexpr int kCharWidth = 6;
    static constexpr int kLineHeight = 13;

private:
    int m_w;
    int m_h;
    std::vector<ColorValue> m_pixels;
    std::vector<TextRun> m_texts;
    std::vector<SymbolRun> m_symbols;
};

} // namespace sonaveil::controls
