#include "controls/paint.h"

#include "common/rounding.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace sonaveil::controls {

ColorValue SystemColors::translate(ColorValue c) const
{
    if (!isSystemColor(c))
        return c & 0x00FFFFFFu;
    switch (static_cast<SystemColor>(c & 0xFF)) {
    case SystemColor::Window: return window;
    case SystemColor::WindowText: return windowText;
    case SystemColor::AppWorkspace: return appWorkspace;
    case SystemColor::ButtonFace: return buttonFace;
    case SystemColor::ButtonShadow: return buttonShadow;
    case SystemColor::GrayText: return grayText;
    case SystemColor::ButtonText: return buttonText;
    case SystemColor::ButtonHighlight: return buttonHighlight;
    case SystemColor::DarkShadow3D: return darkShadow3D;
    case SystemColor::Light3D: return light3D;
    }
    return buttonFace;
}

namespace {

int shadeChannel(int ch, float f)
{
    // The product is formed in single precision, as the factor is.
    const float v = float(ch) + f * 255.0f;
    const auto r = roundHalfEven(double(v));
    if (f > 0)
        return int(std::min<std::int64_t>(r, 255));
    return int(std::max<std::int64_t>(r, 0));
}

int clampChannel(int v) { return std::clamp(v, 0, 255); }

} // namespace

ColorValue shade(ColorValue c, float f)
{
    return rgb(shadeChannel(redOf(c), f), shadeChannel(greenOf(c), f), shadeChannel(blueOf(c), f));
}

namespace {

double luminance(ColorValue c)
{
    auto linear = [](int channel) {
        const double v = channel / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(redOf(c)) + 0.7152 * linear(greenOf(c)) + 0.0722 * linear(blueOf(c));
}

double worstContrast(ColorValue text, const std::vector<ColorValue>& grounds)
{
    double worst = 21.0;
    for (ColorValue g : grounds)
        worst = std::min(worst, contrastRatio(text, g));
    return worst;
}

ColorValue mix(ColorValue a, ColorValue b, double t)
{
    auto ch = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return rgb(ch(redOf(a), redOf(b)), ch(greenOf(a), greenOf(b)), ch(blueOf(a), blueOf(b)));
}

} // namespace

double contrastRatio(ColorValue a, ColorValue b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

ColorValue readableOn(ColorValue text, const std::vector<ColorValue>& grounds, double minimum)
{
    if (grounds.empty() || worstContrast(text, grounds) >= minimum)
        return text;
    for (int step = 1; step <= 20; ++step) {
        const double t = step / 20.0;
        for (ColorValue end : {kBlack, kWhite}) {
            const ColorValue c = mix(text, end, t);
            if (worstContrast(c, grounds) >= minimum)
                return c;
        }
    }
    return worstContrast(kBlack, grounds) >= worstContrast(kWhite, grounds) ? kBlack : kWhite;
}

ColorValue average(ColorValue a, ColorValue b)
{
    auto avg = [](int x, int y) { return int(roundHalfEven((x + y) / 2.0)); };
    return rgb(avg(redOf(a), redOf(b)), avg(greenOf(a), greenOf(b)), avg(blueOf(a), blueOf(b)));
}

ColorValue offset(ColorValue c, int n)
{
    return rgb(clampChannel(redOf(c) + n), clampChannel(greenOf(c) + n), clampChannel(blueOf(c) + n));
}

std::vector<ColorValue> gradientRows(ColorValue c1, ColorValue c2, int h)
{
    std::vector<ColorValue> out;
    if (h <= 0)
        return out;
    out.reserve(std::size_t(h));
    const int n = h - 1;
    if (n == 0) {
        out.push_back(rgb(redOf(c1) / 2 + redOf(c2) / 2, greenOf(c1) / 2 + greenOf(c2) / 2,
                          blueOf(c1) / 2 + blueOf(c2) / 2));
        return out;
    }
    for (int i = 0; i <= n; ++i) {
        auto ch = [&](int a, int b) { return a + ((b - a) * i) / n; };
        out.push_back(rgb(ch(redOf(c1), redOf(c2)), ch(greenOf(c1), greenOf(c2)),
                          ch(blueOf(c1), blueOf(c2))));
    }
    return out;
}

std::string FontSpec::toText() const
{
    char size[32];
    auto res = std::to_chars(size, size + sizeof size, pointSize);
    std::string out = name + ";" + std::string(size, res.ptr) + ";";
    if (bold) out += 'B';
    if (italic) out += 'I';
    if (underline) out += 'U';
    if (strikeout) out += 'S';
    return out;
}

FontSpec FontSpec::fromText(std::string_view text, const FontSpec& fallback)
{
    const auto a = text.find(';');
    if (a == std::string_view::npos || a == 0)
        return fallback;
    const auto b = text.find(';', a + 1);
    const std::string sizeText(text.substr(a + 1, b == std::string_view::npos ? std::string_view::npos : b - a - 1));
    char* end = nullptr;
    const double size = std::strtod(sizeText.c_str(), &end);
    if (end == sizeText.c_str() || !(size > 0 && size < 500))
        return fallback;
    FontSpec f;
    f.name = std::string(text.substr(0, a));
    f.pointSize = size;
    if (b != std::string_view::npos) {
        const auto flags = text.substr(b + 1);
        f.bold = flags.find('B') != std::string_view::npos;
        f.italic = flags.find('I') != std::string_view::npos;
        f.underline = flags.find('U') != std::string_view::npos;
        f.strikeout = flags.find('S') != std::string_view::npos;
    }
    return f;
}

namespace {

void putU32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}

std::uint32_t getU32(const std::vector<std::uint8_t>& in, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= std::uint32_t(in[at + std::size_t(i)]) << (8 * i);
    return v;
}

constexpr std::uint32_t kPictureMagic = 0x43495053; // "SPIC"

} // namespace

std::vector<std::uint8_t> Picture::toBytes() const
{
    std::vector<std::uint8_t> out;
    if (empty())
        return out;
    out.reserve(16 + pixels.size() * 4);
    putU32(out, kPictureMagic);
    putU32(out, std::uint32_t(kind));
    putU32(out, std::uint32_t(width));
    putU32(out, std::uint32_t(height));
    for (auto p : pixels)
        putU32(out, p);
    return out;
}

Picture Picture::fromBytes(const std::vector<std::uint8_t>& bytes)
{
    Picture p;
    if (bytes.size() < 16 || getU32(bytes, 0) != kPictureMagic)
        return p;
    const auto kind = getU32(bytes, 4);
    const auto w = getU32(bytes, 8);
    const auto h = getU32(bytes, 12);
    if ((kind != 1 && kind != 2) || w == 0 || h == 0 || w > 4096 || h > 4096
        || bytes.size() != 16 + std::size_t(w) * h * 4)
        return p;
    p.kind = Kind(kind);
    p.width = int(w);
    p.height = int(h);
    p.pixels.resize(std::size_t(w) * h);
    for (std::size_t i = 0; i < p.pixels.size(); ++i)
        p.pixels[i] = getU32(bytes, 16 + i * 4);
    return p;
}

TransportSymbol transportSymbolOf(const FontSpec& font, std::string_view caption)
{
    std::string name = font.name;
    for (auto& c : name)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (name != "webdings" || caption.size() != 1)
        return TransportSymbol::None;
    switch (caption[0]) {
    case '=': return TransportSymbol::Record;
    case '<': return TransportSymbol::Stop;
    case '4': return TransportSymbol::Play;
    default: return TransportSymbol::None;
    }
}

void PaintSurface::outline(Rect r, ColorValue c)
{
    if (r.w <= 0 || r.h <= 0)
        return;
    const int x2 = r.x + r.w - 1;
    const int y2 = r.y + r.h - 1;
    line(r.x, r.y, x2 + 1, r.y, c);
    line(r.x, y2, x2 + 1, y2, c);
    line(r.x, r.y, r.x, y2 + 1, c);
    line(x2, r.y, x2, y2 + 1, c);
}

void PaintSurface::gradient(Rect r, ColorValue top, ColorValue bottom)
{
    if (r.w <= 0 || r.h <= 0)
        return;
    rows(r.x, r.y, r.w, gradientRows(top, bottom, r.h));
}

void PaintSurface::focusRect(Rect r, ColorValue c)
{
    if (r.w <= 0 || r.h <= 0)
        return;
    // Every other pixel along the frame, starting at the top-left corner.
    int n = 0;
    auto dot = [&](int x, int y) {
        if ((n++ & 1) == 0)
            setPixel(x, y, c);
    };
    const int x2 = r.x + r.w - 1;
    const int y2 = r.y + r.h - 1;
    for (int x = r.x; x <= x2; ++x) dot(x, r.y);
    for (int y = r.y + 1; y <= y2; ++y) dot(x2, y);
    for (int x = x2 - 1; x >= r.x; --x) dot(x, y2);
    for (int y = y2 - 1; y > r.y; --y) dot(r.x, y);
}

int roundedInset(int e, int dy)
{
    if (e <= 1)
        return 0;
    const double r = e / 2.0;
    const double d = r - (dy + 0.5);
    if (d <= 0)
        return 0;
    return int(std::lround(r - std::sqrt(std::max(0.0, r * r - d * d))));
}

void fillRounded(PaintSurface& s, Rect r, int e, ColorValue c)
{
    for (int y = 0; y < r.h; ++y) {
        const int inset = roundedInset(e, std::min(y, r.h - 1 - y));
        s.fillRect({r.x + inset, r.y + y, r.w - 2 * inset, 1}, c);
    }
}

void drawEdge(PaintSurface& s, Rect r, Edge kind, const SystemColors& sys)
{
    if (r.w <= 1 || r.h <= 1)
        return;
    auto frame = [&](Rect f, ColorValue topLeft, ColorValue bottomRight) {
        const int x2 = f.x + f.w - 1;
        const int y2 = f.y + f.h - 1;
        s.line(f.x, f.y, x2, f.y, topLeft);
        s.line(f.x, f.y, f.x, y2, topLeft);
        s.line(f.x, y2, x2 + 1, y2, bottomRight);
        s.line(x2, f.y, x2, y2, bottomRight);
    };
    const Rect inner{r.x + 1, r.y + 1, r.w - 2, r.h - 2};
    switch (kind) {
    case Edge::Raised:
        frame(r, sys.light3D, sys.darkShadow3D);
        frame(inner, sys.buttonHighlight, sys.buttonShadow);
        break;
    case Edge::RaisedInner:
        frame(r, sys.buttonHighlight, sys.buttonShadow);
        break;
    case Edge::Sunken:
        frame(r, sys.buttonShadow, sys.buttonHighlight);
        frame(inner, sys.darkShadow3D, sys.light3D);
        break;
    case Edge::SunkenOuter:
        frame(r, sys.buttonShadow, sys.buttonHighlight);
        break;
    }
}

PixelSurface::PixelSurface(int w, int h, ColorValue background)
    : m_w(std::max(0, w)), m_h(std::max(0, h)), m_pixels(std::size_t(m_w) * std::size_t(m_h), background)
{
}

void PixelSurface::clear(ColorValue c)
{
    std::fill(m_pixels.begin(), m_pixels.end(), c);
    m_texts.clear();
    m_symbols.clear();
}

ColorValue PixelSurface::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_w || y >= m_h)
        return 0xFFFFFFFFu;
    return m_pixels[std::size_t(y) * std::size_t(m_w) + std::size_t(x)];
}

void PixelSurface::setPixel(int x, int y, ColorValue c)
{
    if (x < 0 || y < 0 || x >= m_w || y >= m_h)
        return;
    m_pixels[std::size_t(y) * std::size_t(m_w) + std::size_t(x)] = c & 0x00FFFFFFu;
}

void PixelSurface::fillRect(Rect r, ColorValue c)
{
    const int x1 = std::max(0, r.x), y1 = std::max(0, r.y);
    const int x2 = std::min(m_w, r.x + r.w), y2 = std::min(m_h, r.y + r.h);
    for (int y = y1; y < y2; ++y)
        for (int x = x1; x < x2; ++x)
            m_pixels[std::size_t(y) * std::size_t(m_w) + std::size_t(x)] = c & 0x00FFFFFFu;
}

void PixelSurface::line(int x1, int y1, int x2, int y2, ColorValue c)
{
    // Bresenham, end point excluded.
    const int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
    const int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1, y = y1;
    while (!(x == x2 && y == y2)) {
        setPixel(x, y, c);
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x += sx; }
        if (e2 <= dx) { err += dx; y += sy; }
    }
}

void PixelSurface::rows(int x, int y, int w, const std::vector<ColorValue>& colors)
{
    for (std::size_t i = 0; i < colors.size(); ++i)
        fillRect({x, y + int(i), w, 1}, colors[i]);
}

void PixelSurface::columns(int x, int y, int h, const std::vector<ColorValue>& colors)
{
    for (std::size_t i = 0; i < colors.size(); ++i)
        fillRect({x + int(i), y, 1, h}, colors[i]);
}

TextSize PixelSurface::measureText(std::string_view text, const FontSpec&, TextFlags flags, int wrapWidth)
{
    int chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (flags.mnemonic && text[i] == '&' && i + 1 < text.size()) {
            ++i;
        }
        ++chars;
    }
    const int width = chars * kCharWidth;
    if (flags.wordWrap && wrapWidth > 0 && width > wrapWidth) {
        const int lines = (width + wrapWidth - 1) / wrapWidth;
        return {wrapWidth, lines * kLineHeight};
    }
    return {width, text.empty() ? kLineHeight : kLineHeight};
}

void PixelSurface::text(Rect r, std::string_view text, const FontSpec& font, ColorValue c, TextFlags flags)
{
    m_texts.push_back({r, std::string(text), c & 0x00FFFFFFu, flags, font});
}

void PixelSurface::picture(int x, int y, int w, int h, const Picture& p, PictureMode mode)
{
    if (p.empty() || w <= 0 || h <= 0)
        return;
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            const int sx = i * p.width / w;
            const int sy = j * p.height / h;
            const std::uint32_t argb = p.pixels[std::size_t(sy) * std::size_t(p.width) + std::size_t(sx)];
            const int r = int((argb >> 16) & 0xFF), g = int((argb >> 8) & 0xFF), b = int(argb & 0xFF);
            const ColorValue c = rgb(r, g, b);
            if (p.kind == Picture::Kind::Icon && (argb >> 24) < 128)
                continue;
            if (p.kind == Picture::Kind::Bitmap && mode.useMask && !mode.grey
                && c == (mode.maskColor & 0x00FFFFFFu))
                continue;
            if (mode.grey) {
                const int m = (r + g + b) / 3;
                setPixel(x + i, y + j, rgb(m, m, m));
            } else {
                setPixel(x + i, y + j, c);
            }
        }
    }
}

void PixelSurface::symbol(Rect r, TransportSymbol s, ColorValue c)
{
    m_symbols.push_back({r, s, c & 0x00FFFFFFu});
    fillRect({r.x + r.w / 4, r.y + r.h / 4, r.w / 2, r.h / 2}, c);
}

} // namespace sonaveil::controls
