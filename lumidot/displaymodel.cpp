#include "lumidot/displaymodel.h"

#include "lumidot/errorlog.h"
#include "lumidot/font.h"

#include <algorithm>
#include <cstring>

namespace sonaveil::lumidot {

DisplayListener::~DisplayListener() = default;

namespace {

constexpr PaletteColors kPresets[13] = {
    {rgb(224, 224, 224), rgb(213, 213, 213), rgb(64, 64, 64), rgb(181, 181, 181)},
    {rgb(208, 255, 208), rgb(207, 245, 207), rgb(0, 0, 0), rgb(175, 213, 175)},
    {rgb(207, 223, 255), rgb(201, 217, 239), rgb(0, 0, 0), rgb(169, 185, 207)},
    {rgb(247, 255, 231), rgb(245, 245, 235), rgb(0, 0, 0), rgb(213, 213, 203)},
    {rgb(255, 247, 231), rgb(243, 240, 224), rgb(0, 0, 0), rgb(211, 208, 192)},
    {rgb(0, 0, 0), rgb(23, 9, 9), rgb(192, 255, 255), rgb(48, 127, 127)},
    {rgb(0, 0, 0), rgb(23, 9, 9), rgb(128, 255, 128), rgb(48, 127, 48)},
    {rgb(0, 0, 0), rgb(23, 9, 9), rgb(255, 193, 64), rgb(143, 81, 0)},
    {rgb(0, 0, 0), rgb(23, 9, 9), rgb(255, 255, 128), rgb(127, 127, 48)},
    {rgb(0, 0, 0), rgb(0, 0, 0), rgb(255, 0, 0), rgb(96, 0, 0)},
    {rgb(0, 0, 0), rgb(0, 0, 0), rgb(255, 255, 0), rgb(96, 96, 0)},
    {rgb(0, 0, 0), rgb(0, 0, 0), rgb(0, 255, 0), rgb(0, 96, 0)},
    {rgb(0, 0, 0), rgb(0, 0, 0), rgb(0, 0, 255), rgb(0, 0, 144)},
};

constexpr std::uint32_t kPaletteRelative = 33554432u; // bit 25

int toInteger16(long long v)
{
    return int(std::clamp<long long>(v, -32768, 32767));
}

// An index sheet of a built-in dot size: 0 lit dot, 1 blend, 2 unlit dot, 3 backlight.
struct IndexSheet {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> index;
};

IndexSheet makeIndexSheet(int pitch)
{
    IndexSheet sheet;
    const int cw = 5 * pitch;
    const int ch = 7 * pitch;
    sheet.width = 32 * cw;
    sheet.height = 4 * ch;
    sheet.index.assign(std::size_t(sheet.width) * sheet.height, 3);
    auto put = [&](int x, int y, std::uint8_t v) { sheet.index[std::size_t(y) * sheet.width + x] = v; };
    const int dot = pitch - 1;
    for (int g = 0; g < 128; ++g) {
        const int ox = cw * (g % 32);
        const int oy = ch * (g / 32);
        auto lit = [g](int c, int r) { return sheetGlyphDot(g, c, r); };
        for (int r = 0; r < 7; ++r) {
            for (int c = 0; c < 5; ++c) {
                const int x0 = ox + c * pitch;
                const int y0 = oy + r * pitch;
                for (int y = 0; y < dot; ++y)
                    for (int x = 0; x < dot; ++x)
                        put(x0 + x, y0 + y, lit(c, r) ? 0 : 2);
                if (c < 4) {
                    const std::uint8_t v = lit(c, r) && lit(c + 1, r) ? 1 : 3;
                    for (int y = 0; y < dot; ++y)
                        put(x0 + dot, y0 + y, v);
                }
                if (r < 6) {
                    const std::uint8_t v = lit(c, r) && lit(c, r + 1) ? 1 : 3;
                    for (int x = 0; x < dot; ++x)
                        put(x0 + x, y0 + dot, v);
                }
                if (c < 4 && r < 6) {
                    const bool tl = lit(c, r), tr = lit(c + 1, r), bl = lit(c, r + 1), br = lit(c + 1, r + 1);
                    const bool diagonal = (tl && br && !tr && !bl) || (tr && bl && !tl && !br);
                    put(x0 + dot, y0 + dot, diagonal ? 1 : 3);
                }
            }
        }
    }
    return sheet;
}

// imgnormal, imgsmall, imglarge: each made when a display first uses it.
const IndexSheet& storedSheet(int type)
{
    switch (type) {
    case 1: {
        static const IndexSheet small = makeIndexSheet(2);
        return small;
    }
    case 2: {
        static const IndexSheet large = makeIndexSheet(3);
        return large;
    }
    default: {
        static const IndexSheet normal = makeIndexSheet(4);
        return normal;
    }
    }
}

// The frame's shades: a sunken edge.
constexpr std::uint32_t kFrameOuterDark = 0xFF808080u;
constexpr std::uint32_t kFrameInnerDark = 0xFF404040u;
constexpr std::uint32_t kFrameOuterLight = 0xFFFFFFFFu;
constexpr std::uint32_t kFrameInnerLight = 0xFFD4D0C8u;

// A count or position the frame rules cannot take: the statement is skipped and logged.
struct InvalidCall {};

using Text = std::u16string;

Text left(const Text& s, long n)
{
    if (n < 0)
        throw InvalidCall{};
    return s.substr(0, std::size_t(std::min<long>(n, long(s.size()))));
}
Text right(const Text& s, long n)
{
    if (n < 0)
        throw InvalidCall{};
    const long k = std::min<long>(n, long(s.size()));
    return s.substr(s.size() - std::size_t(k));
}
Text mid(const Text& s, long i)
{
    if (i < 1)
        throw InvalidCall{};
    if (i > long(s.size()))
        return {};
    return s.substr(std::size_t(i - 1));
}
Text mid(const Text& s, long i, long n)
{
    if (i < 1 || n < 0)
        throw InvalidCall{};
    if (i > long(s.size()))
        return {};
    return s.substr(std::size_t(i - 1), std::size_t(n));
}
Text spaces(long n)
{
    if (n < 0)
        throw InvalidCall{};
    return Text(std::size_t(n), u' ');
}

void logStepError(int statement)
{
    LogError({5, "lumidot", "Invalid procedure call or argument"},
             "Sub: alr1002\r\nLine: " + std::to_string(statement));
}

template <typename F>
void guarded(int statement, F&& f)
{
    try {
        f();
    } catch (const InvalidCall&) {
        logStepError(statement);
    } catch (const std::exception&) {
        logStepError(statement);
    }
}

// Picture bytes in the property store: width and height (32-bit little endian), then the
// pixels as 32-bit little-endian 0xAARRGGBB.
PropertyBag::Bytes encodePicture(const PictureRef& p)
{
    PropertyBag::Bytes bytes;
    if (!p || p->width <= 0 || p->height <= 0)
        return bytes;
    auto put = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(std::uint8_t(v >> (8 * i)));
    };
    put(std::uint32_t(p->width));
    put(std::uint32_t(p->height));
    for (std::uint32_t px : p->pixels)
        put(px);
    return bytes;
}

PictureRef decodePicture(const PropertyBag::Bytes& bytes)
{
    if (bytes.size() < 8)
        return nullptr;
    auto get = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= std::uint32_t(bytes[at + i]) << (8 * i);
        return v;
    };
    const std::uint32_t w = get(0), h = get(4);
    if (w == 0 || h == 0 || w > 4096 || h > 4096 || bytes.size() != 8 + std::size_t(w) * h * 4)
        return nullptr;
    auto p = std::make_shared<Picture>();
    p->width = int(w);
    p->height = int(h);
    p->pixels.resize(std::size_t(w) * h);
    for (std::size_t i = 0; i < p->pixels.size(); ++i)
        p->pixels[i] = get(8 + 4 * i);
    return p;
}

bool usable(const PictureRef& p)
{
    return p && p->width > 0 && p->height > 0 && p->pixels.size() == std::size_t(p->width) * p->height;
}

} // namespace

const PaletteColors& presetPalette(int index)
{
    return kPresets[std::clamp(index, 0, 12)];
}

DisplayModel::DisplayModel() = default;

// ---- text model ---------------------------------------------------------------------------

void DisplayModel::SetDisplay(int lineNumber, std::u16string text)
{
    if (lineNumber < 1 || lineNumber > 4)
        return;
    const int i = lineNumber - 1;
    if (m_ani[i].Active) {
        setTimer(i, false, m_timerInterval[i]);
        m_ani[i].Active = false;
        m_ani[i].Armed = false;
    }
    m_lineText[i] = std::move(text);
    m_lineDirty[i] = true;
    if (!m_renderBusy) {
        DrawLines();
        m_renderBusy = false;
    }
}

std::u16string DisplayModel::GetDisplay(int lineNumber) const
{
    if (lineNumber < 1 || lineNumber > 4)
        return {};
    return m_lineText[lineNumber - 1];
}

void DisplayModel::WrapDisplay(const std::u16string& text)
{
    for (auto& line : m_lineText)
        line.clear();
    int line = 0;
    std::u16string buffer;
    bool newline = false;
    bool dropped = false;
    for (char16_t ch : text) {
        if (ch == 13)
            continue;
        const bool lineFeed = ch == 10;
        if (lineFeed)
            newline = true;
        if (newline || int(buffer.size()) >= m_cols) {
            m_lineText[line] = buffer;
            buffer.clear();
            newline = false;
            if (line >= m_rows - 1) {
                dropped = true;
                break;
            }
            ++line;
        }
        if (!lineFeed)
            buffer += ch;
    }
    if (!dropped)
        m_lineText[line] = buffer;
    redrawWhole();
}

void DisplayModel::stopAnimations()
{
    for (int i = 0; i < 4; ++i) {
        m_ani[i].Active = false;
        setTimer(i, false, m_timerInterval[i]);
    }
}

void DisplayModel::redrawWhole()
{
    m_fullRedraw = true;
    DrawLines();
    m_renderBusy = false;
}

void DisplayModel::CLS()
{
    stopAnimations();
    for (auto& line : m_lineText)
        line.clear();
    redrawWhole();
}

void DisplayModel::Refresh()
{
    stopAnimations();
    redrawWhole();
}

// ---- geometry -----------------------------------------------------------------------------

void DisplayModel::reportChanged(std::string_view name)
{
    if (m_listener)
        m_listener->propertyChanged(name);
}

void DisplayModel::geometryChanged(std::string_view name)
{
    reportChanged(name);
    ResizeDisplay();
}

void DisplayModel::setSpacing(int& field, int value, std::string_view name)
{
    field = toInteger16(value);
    geometryChanged(name);
}

void DisplayModel::setLCDRow(int rows)
{
    if (rows < 1 || rows > 4)
        return;
    m_rows = rows;
    geometryChanged("LCDRow");
}

void DisplayModel::setLCDCol(int cols)
{
    if (cols < 1 || cols > 80)
        return;
    m_cols = cols;
    geometryChanged("LCDCol");
}

void DisplayModel::setRowBorderSize(int value)
{
    setSpacing(m_rowBorder, value, "RowBorderSize");
}

void DisplayModel::setColBorderSize(int value)
{
    setSpacing(m_colBorder, value, "ColBorderSize");
}

void DisplayModel::setRowspace(int value)
{
    setSpacing(m_rowSpace, value, "Rowspace");
}

void DisplayModel::setColspace(int value)
{
    setSpacing(m_colSpace, value, "Colspace");
}

void DisplayModel::setBorderStyle(bool on)
{
    m_frame = on;
    geometryChanged("BorderStyle");
}

void DisplayModel::setDisplayType(int type)
{
    const int old = m_displayType;
    m_displayType = type;
    reportChanged("DisplayType");
    if (type != old)
        LoadColorPallete();
}

int DisplayModel::computedWidth() const
{
    const long long w = (long long)(m_cellWidth + m_colSpace) * m_cols + 2LL * m_colBorder - m_colSpace - 1
        + (m_frame ? 4 : 0);
    return int(std::clamp<long long>(w, 1, kMaxSurface));
}

int DisplayModel::computedHeight() const
{
    const long long h = (long long)(m_cellHeight + m_rowSpace) * m_rows + 2LL * m_rowBorder - m_rowSpace - 1
        + (m_frame ? 4 : 0);
    return int(std::clamp<long long>(h, 1, kMaxSurface));
}

void DisplayModel::ResizeDisplay()
{
    m_resizing = true;
    m_fullRedraw = true;
    if (!m_sheetBuilt)
        LoadColorPallete();
    const int h = computedHeight();
    const int w = computedWidth();
    if (w != m_width || h != m_height) {
        m_width = w;
        m_height = h;
        // A fresh surface: a smaller one does not keep the room of a larger one.
        m_image = std::vector<std::uint32_t>(std::size_t(w) * h, 0);
    }
    if (m_listener)
        m_listener->resizeSurface(w, h);
    DrawLines();
    m_renderBusy = false;
    if (m_listener)
        m_listener->sizeChanged();
    m_resizing = false;
}

// ---- colours ------------------------------------------------------------------------------

void DisplayModel::changeColor(ColorValue& field, ColorValue c, std::string_view name, LCDColor which)
{
    const ColorValue old = field;
    field = c;
    reportChanged(name);
    if (c != old) {
        m_preset = None;
        LoadColorPallete();
    }
    if (m_listener)
        m_listener->colorChanged(which, c);
}

void DisplayModel::setColorLCDon(ColorValue c)
{
    changeColor(m_colorOn, c, "ColorLCDon", lcdPixelOn);
}

void DisplayModel::setColorLCDoff(ColorValue c)
{
    changeColor(m_colorOff, c, "ColorLCDoff", lcdPixelOff);
}

void DisplayModel::setColorBacklight(ColorValue c)
{
    changeColor(m_colorBacklight, c, "ColorBacklight", lcdBacklight);
}

void DisplayModel::setColorBlend(ColorValue c)
{
    m_colorBlend = c;
    reportChanged("ColorBlend");
    LoadColorPallete();
    if (m_listener)
        m_listener->colorChanged(lcdBlend, c);
}

void DisplayModel::setAutoBlend(bool on)
{
    m_autoBlend = on;
    reportChanged("AutoBlend");
    LoadColorPallete();
}

void DisplayModel::setColorPresetPalette(int preset)
{
    m_preset = preset;
    reportChanged("ColorPresetPalette");
    if (preset < -1 || preset > 12)
        return;
    if (preset >= 0) {
        const PaletteColors& p = kPresets[preset];
        m_colorBacklight = p.backlight;
        m_colorOff = p.off;
        m_colorOn = p.on;
        m_colorBlend = p.blend;
    }
    LoadColorPallete();
    reportChanged("ColorBacklight");
    reportChanged("ColorLCDon");
    reportChanged("ColorLCDoff");
    reportChanged("ColorBlend");
    if (m_listener) {
        m_listener->colorChanged(lcdPixelOff, m_colorOff);
        m_listener->colorChanged(lcdPixelOn, m_colorOn);
        m_listener->colorChanged(lcdBlend, m_colorBlend);
        m_listener->colorChanged(lcdBacklight, m_colorBacklight);
    }
}

void DisplayModel::setPaletteMode(int mode)
{
    m_paletteMode = toInteger16(mode);
    reportChanged("PaletteMode");
}

void DisplayModel::setPalette(PictureRef picture)
{
    m_palette = std::move(picture);
    reportChanged("Palette");
}

void DisplayModel::setBackgroundPicture(PictureRef picture)
{
    m_background = std::move(picture);
    reportChanged("Picture");
    redrawWhole();
}

void DisplayModel::setOLEDropMode(int mode)
{
    m_oleDropMode = toInteger16(mode);
    reportChanged("OLEDropMode");
}

void DisplayModel::setLCDonPicture(PictureRef picture)
{
    m_onPicture = picture;
    m_holderOn = std::move(picture);
    reportChanged("LCDonPicture");
    customPicturesChanged();
}

void DisplayModel::setLCDoffPicture(PictureRef picture)
{
    m_offPicture = picture;
    m_holderOff = std::move(picture);
    reportChanged("LCDoffPicture");
    customPicturesChanged();
}

void DisplayModel::customPicturesChanged()
{
    // A pair of the same size makes the display paint its dots with them.
    if (usable(m_holderOn) && usable(m_holderOff) && m_holderOn->width == m_holderOff->width
        && m_holderOn->height == m_holderOff->height) {
        m_displayType = Custom;
        LoadColorPallete();
    }
}

// ---- sheets -------------------------------------------------------------------------------

void DisplayModel::LoadColorPallete()
{
    if (m_displayType == Custom && usable(m_onPicture) && usable(m_offPicture)) {
        const long long pixels = 160LL * m_offPicture->width * 28LL * m_offPicture->height;
        if (pixels <= 64LL * 1024 * 1024) {
            BuildCustomSheet();
            return;
        }
    }
    // Unknown types, and Custom without a usable pair of dot pictures, show the Normal dots.
    const int type = (m_displayType == Small || m_displayType == Large) ? m_displayType : Normal;
    buildBuiltinSheet(type);
    m_backColor = (m_colorBacklight & 0xFFFFFFu) | kPaletteRelative;
    m_fullRedraw = true;
    if (m_sheetBuilt)
        ResizeDisplay();
    m_sheetBuilt = true;
}

void DisplayModel::buildBuiltinSheet(int type)
{
    const IndexSheet& stored = storedSheet(type);
    m_sheetColours = {
        pixelOf(m_colorOn),
        pixelOf(m_autoBlend ? m_colorBlend : m_colorBacklight),
        pixelOf(m_colorOff),
        pixelOf(m_colorBacklight),
    };
    m_sheetWidth = stored.width;
    m_sheetHeight = stored.height;
    m_sheetIndex = stored.index.data();
    // What custom dots left is of no more use.
    m_sheet = {};
    m_cellWidth = m_sheetWidth / 32;
    m_cellHeight = m_sheetHeight / 4;
    ++m_sheetBuilds;
}

void DisplayModel::BuildCustomSheet()
{
    m_holderOff = m_offPicture;
    m_holderOn = m_onPicture;
    const int pw = m_holderOff->width;
    const int ph = m_holderOff->height;
    m_sheetWidth = 160 * pw;
    m_sheetHeight = 28 * ph;
    m_backColor = m_colorBacklight & 0xFFFFFFu;
    const std::uint32_t back = pixelOf(m_colorBacklight);
    m_sheetIndex = nullptr;
    m_sheet.assign(std::size_t(m_sheetWidth) * m_sheetHeight, back);
    const GlyphTable& table = glyphTable();
    int x = 0, y = 0, dots = 0;
    for (std::uint8_t byte : table) {
        for (int bit = 7; bit >= 0; --bit) {
            const Picture& src = (byte >> bit) & 1 ? *m_holderOn : *m_holderOff;
            const int w = std::min(pw, src.width);
            const int h = std::min(ph, src.height);
            for (int row = 0; row < h; ++row)
                std::memcpy(&m_sheet[std::size_t(y + row) * m_sheetWidth + x], &src.pixels[std::size_t(row) * src.width],
                            std::size_t(w) * sizeof(std::uint32_t));
            x += pw;
            if (++dots == 160) {
                dots = 0;
                x = 0;
                y += ph;
            }
        }
    }
    m_cellWidth = m_sheetWidth / 32;
    m_cellHeight = m_sheetHeight / 4;
    ++m_sheetBuilds;
    m_fullRedraw = true;
    if (m_sheetBuilt)
        ResizeDisplay();
    m_sheetBuilt = true;
}

// ---- drawing ------------------------------------------------------------------------------

void DisplayModel::drawFrame()
{
    if (!m_frame || m_width < 4 || m_height < 4)
        return;
    auto hline = [&](int y, int x0, int x1, std::uint32_t c) {
        for (int x = x0; x <= x1; ++x)
            m_image[std::size_t(y) * m_width + x] = c;
    };
    auto vline = [&](int x, int y0, int y1, std::uint32_t c) {
        for (int y = y0; y <= y1; ++y)
            m_image[std::size_t(y) * m_width + x] = c;
    };
    const int r = m_width - 1, b = m_height - 1;
    hline(0, 0, r, kFrameOuterDark);
    vline(0, 0, b, kFrameOuterDark);
    hline(b, 0, r, kFrameOuterLight);
    vline(r, 0, b, kFrameOuterLight);
    hline(1, 1, r - 1, kFrameInnerDark);
    vline(1, 1, b - 1, kFrameInnerDark);
    hline(b - 1, 1, r - 1, kFrameInnerLight);
    vline(r - 1, 1, b - 1, kFrameInnerLight);
}

void DisplayModel::clearSurface()
{
    std::fill(m_image.begin(), m_image.end(), pixelOf(m_colorBacklight));
    if (usable(m_background)) {
        const int o = clientOrigin();
        const int w = std::min(m_background->width, m_width - 2 * o);
        const int h = std::min(m_background->height, m_height - 2 * o);
        for (int y = 0; w > 0 && y < h; ++y)
            std::memcpy(&m_image[std::size_t(y + o) * m_width + o], &m_background->pixels[std::size_t(y) * m_background->width],
                        std::size_t(w) * sizeof(std::uint32_t));
    }
    drawFrame();
}

void DisplayModel::drawCell(int row, int column, char16_t ch)
{
    const int g = glyphOf(ch);
    const int sx = m_cellWidth * (g % 32);
    const int sy = m_cellHeight * (g / 32);
    const int o = clientOrigin();
    int dx = o + m_colBorder + column * (m_cellWidth + m_colSpace);
    int dy = o + m_rowBorder + row * (m_cellHeight + m_rowSpace);
    // Clip to the client area so that odd spacing never reaches the frame or beyond.
    const int x0 = std::max(dx, o), y0 = std::max(dy, o);
    const int x1 = std::min(dx + m_cellWidth, m_width - o);
    const int y1 = std::min(dy + m_cellHeight, m_height - o);
    ++m_cellCopies;
    if (x0 >= x1 || y0 >= y1)
        return;
    m_dirtyLeft = std::min(m_dirtyLeft, x0);
    m_dirtyTop = std::min(m_dirtyTop, y0);
    m_dirtyRight = std::max(m_dirtyRight, x1);
    m_dirtyBottom = std::max(m_dirtyBottom, y1);
    const std::size_t count = std::size_t(x1 - x0);
    for (int y = y0; y < y1; ++y) {
        std::uint32_t* to = &m_image[std::size_t(y) * m_width + x0];
        const std::size_t from = std::size_t(sy + y - dy) * m_sheetWidth + sx + (x0 - dx);
        if (m_sheetIndex) {
            const std::uint8_t* index = m_sheetIndex + from;
            for (std::size_t x = 0; x < count; ++x)
                to[x] = m_sheetColours[index[x]];
        } else {
            std::memcpy(to, &m_sheet[from], count * sizeof(std::uint32_t));
        }
    }
}

void DisplayModel::fullPass()
{
    clearSurface();
    for (int r = 0; r < m_rows; ++r) {
        const std::u16string& text = m_lineText[r];
        for (int c = 0; c < m_cols; ++c)
            drawCell(r, c, c < int(text.size()) ? text[c] : u' ');
        m_lineDirty[r] = false;
        m_drawnText[r] = text;
    }
    m_fullRedraw = false;
    ++m_fullPasses;
}

void DisplayModel::partialPass()
{
    for (int r = 0; r < m_rows; ++r) {
        if (!m_lineDirty[r])
            continue;
        m_lineDirty[r] = false;
        const std::u16string& text = m_lineText[r];
        const std::u16string& drawn = m_drawnText[r];
        // What was drawn beyond the end of the drawn text is blank cells, so both sides compare
        // padded with spaces.
        for (int c = 0; c < m_cols; ++c) {
            const char16_t now = c < int(text.size()) ? text[c] : u' ';
            const char16_t before = c < int(drawn.size()) ? drawn[c] : u' ';
            if (now != before)
                drawCell(r, c, now);
        }
    }
    for (int r = 0; r < 4; ++r)
        m_drawnText[r] = m_lineText[r];
}

void DisplayModel::DrawLines()
{
    if (!m_sheetBuilt || m_image.empty())
        return; // Not sized yet: the first ResizeDisplay draws everything.
    m_renderBusy = true;
    m_dirtyLeft = m_width;
    m_dirtyTop = m_height;
    m_dirtyRight = m_dirtyBottom = 0;
    if (m_fullRedraw) {
        fullPass();
        m_dirtyLeft = m_dirtyTop = 0;
        m_dirtyRight = m_width;
        m_dirtyBottom = m_height;
    } else {
        partialPass();
    }
    if (m_listener && m_dirtyLeft < m_dirtyRight && m_dirtyTop < m_dirtyBottom)
        m_listener->present(m_dirtyLeft, m_dirtyTop, m_dirtyRight - m_dirtyLeft, m_dirtyBottom - m_dirtyTop);
}

// ---- animations ---------------------------------------------------------------------------

void DisplayModel::setTimer(int index, bool enabled, int interval)
{
    m_timerOn[index] = enabled;
    m_timerInterval[index] = interval;
    if (m_listener)
        m_listener->timerChanged(index, enabled, interval);
}

void DisplayModel::SetAni_Animation(int lineNumber, int animation)
{
    if (lineNumber < 1 || lineNumber > 4 || m_ani[lineNumber - 1].Active)
        return;
    m_ani[lineNumber - 1].Animation = animation;
    m_ani[lineNumber - 1].Armed = true;
}

void DisplayModel::SetAni_SkipSpace(int lineNumber, bool setting)
{
    if (lineNumber < 1 || lineNumber > 4 || m_ani[lineNumber - 1].Active)
        return;
    m_ani[lineNumber - 1].SkipSpace = setting;
    m_ani[lineNumber - 1].Armed = true;
}

void DisplayModel::SetAni_LoopCount(int lineNumber, int count)
{
    if (lineNumber < 1 || lineNumber > 4 || m_ani[lineNumber - 1].Active || count < -1)
        return;
    m_ani[lineNumber - 1].LoopCount = toInteger16(count);
    m_ani[lineNumber - 1].Armed = true;
}

int DisplayModel::SetAni_Timing(int lineNumber, int timingMs)
{
    if (lineNumber < 1 || lineNumber > 4)
        return timingMs;
    timingMs = std::clamp(timingMs, 1, 32767);
    if (m_ani[lineNumber - 1].Active)
        return timingMs;
    m_ani[lineNumber - 1].Timing = timingMs;
    m_ani[lineNumber - 1].Armed = true;
    return timingMs;
}

void DisplayModel::SetAni_Text(int lineNumber, std::u16string text)
{
    if (lineNumber < 1 || lineNumber > 4 || m_ani[lineNumber - 1].Active)
        return;
    AniRec& a = m_ani[lineNumber - 1];
    a.AniText = std::move(text);
    a.TextLen = int(a.AniText.size());
    a.Armed = true;
}

void DisplayModel::SetAni_RightToLeft(int lineNumber, bool setting)
{
    if (lineNumber < 1 || lineNumber > 4 || m_ani[lineNumber - 1].Active)
        return;
    m_ani[lineNumber - 1].RightToLeft = setting;
    m_ani[lineNumber - 1].Armed = true;
}

void DisplayModel::SetAnimationOpts(int lineNumber, int animation, int timingMs, bool rightToLeft,
                                    bool skipSpace, int loopCount, int* usedTiming, int* usedLoopCount)
{
    if (lineNumber < 1 || lineNumber > 4)
        return;
    timingMs = std::clamp(timingMs, 1, 32767);
    if (loopCount < -1)
        loopCount = 0;
    loopCount = toInteger16(loopCount);
    if (usedTiming)
        *usedTiming = timingMs;
    if (usedLoopCount)
        *usedLoopCount = loopCount;
    AniRec& a = m_ani[lineNumber - 1];
    if (a.Active)
        return;
    a.LoopCount = loopCount;
    a.RightToLeft = rightToLeft;
    a.SkipSpace = skipSpace;
    a.Timing = timingMs;
    a.Animation = animation;
    a.Armed = true;
}

void DisplayModel::SetAnimation(int lineNumber, std::u16string text)
{
    if (lineNumber < 1 || lineNumber > 4)
        return;
    const int i = lineNumber - 1;
    AniRec& a = m_ani[i];
    if (a.Timing < 1)
        a.Timing = 1;
    if (a.Active) {
        setTimer(i, false, m_timerInterval[i]);
        a.Active = false;
    }
    a.AniText = std::move(text);
    a.TextLen = int(a.AniText.size());
    a.Armed = true;
    if (lineNumber > m_rows)
        return;
    setTimer(i, true, a.Timing);
}

void DisplayModel::StartAnimation(int lineNumber)
{
    if (lineNumber < 0 || lineNumber > 4)
        return;
    if (lineNumber > 0) {
        const int i = lineNumber - 1;
        AniRec& a = m_ani[i];
        if (a.Timing < 1) {
            setTimer(i, false, m_timerInterval[i]);
            a.Active = false;
        } else if (lineNumber <= m_rows) {
            setTimer(i, true, a.Timing);
        }
        return;
    }
    for (int i = 0; i < 4; ++i) {
        AniRec& a = m_ani[i];
        if (a.Timing < 1) {
            setTimer(i, false, m_timerInterval[i]);
            a.Active = false;
        } else if (a.Armed && !a.Active && i < m_rows) {
            setTimer(i, true, a.Timing);
        }
    }
}

void DisplayModel::StopAnimation(int lineNumber)
{
    if (lineNumber < 0 || lineNumber > 4)
        return;
    for (int i = 0; i < 4; ++i) {
        if (lineNumber != 0 && i != lineNumber - 1)
            continue;
        setTimer(i, false, m_timerInterval[i]);
        m_ani[i].Active = false;
        m_ani[i].Armed = false;
    }
}

void DisplayModel::tick(int index)
{
    if (index < 0 || index > 3)
        return;
    AniRec& a = m_ani[index];
    if (a.Animation < 1) {
        a.Active = false;
        setTimer(index, false, m_timerInterval[index]);
        return;
    }
    stepRule(index);
    if (a.Pos < 32760)
        ++a.Pos;
    else
        a.Active = false;
    m_lineDirty[index] = true;
    if (!m_renderBusy) {
        DrawLines();
        m_renderBusy = false;
    }
    if (!a.Active) {
        if (a.LoopCount == 0) {
            setTimer(index, false, m_timerInterval[index]);
            a.Armed = false;
            if (m_listener)
                m_listener->animationComplete(index + 1);
        } else if (a.LoopCount != -1) {
            --a.LoopCount;
        }
    }
}

void DisplayModel::stepRule(int index)
{
    AniRec& a = m_ani[index];
    std::u16string& D = m_lineText[index];
    const long C = m_cols;
    const bool start = !a.Active;
    const bool rtl = a.RightToLeft;
    auto begin = [&] {
        a.Pos = 0;
        a.Active = true;
    };
    auto pad = [&] {
        if (a.TextLen < C) {
            a.AniText += std::u16string(std::size_t(C - a.TextLen), u' ');
            a.TextLen = int(a.AniText.size());
        }
    };
    auto padded = [&](std::u16string s) {
        if (long(s.size()) < C)
            s.append(std::size_t(C - long(s.size())), u' ');
        return s;
    };
    auto skipSpaces = [&] {
        if (!a.SkipSpace)
            return;
        while (a.Pos < C && a.Pos < long(a.AniText.size()) && a.AniText[std::size_t(a.Pos)] == u' ')
            ++a.Pos;
    };
    const std::u16string& T = a.AniText;

    switch (a.Animation) {
    case Bounce: {
        if (start) {
            begin();
            a.Saved = D;
        }
        const long L = a.TextLen, P = a.Pos;
        if (L == C)
            a.LoopCount = 0;
        const long limit = L < C ? C - L : L - C;
        guarded(11 + (rtl ? 1 : 0), [&] {
            if (!rtl)
                D = L < C ? spaces(P) + T : mid(T, std::max(1L, L - C - P + 1), C);
            else
                D = L < C ? spaces(C - L - P) + T : mid(T, P + 1, C);
        });
        if (P >= limit) {
            a.RightToLeft = !a.RightToLeft;
            a.Active = false;
        }
        break;
    }
    case Push: {
        if (start) {
            begin();
            a.Saved = D;
        }
        const long L = a.TextLen, P = a.Pos;
        const long k = std::max(0L, P - L);
        const std::u16string& S = a.Saved;
        if (!rtl) {
            guarded(21, [&] {
                std::u16string frame = right(T, P) + spaces(k);
                if (P <= C && long(frame.size()) < C)
                    frame += left(S, C - long(frame.size()));
                D = frame;
            });
            if (P > C && P > L)
                a.Active = false;
        } else {
            guarded(22, [&] {
                if (P <= C) {
                    const std::u16string r = right(S, C - P);
                    D = r + spaces((C - P) - long(r.size()) + k) + left(T, P);
                } else {
                    D = left(mid(T, P + 1 - C), C);
                }
            });
            if (P >= L && P >= C)
                a.Active = false;
        }
        break;
    }
    case Scroll: {
        if (start) {
            begin();
            if (rtl || !a.SkipSpace)
                pad();
            a.Saved = padded(D);
        }
        const long L = a.TextLen, P = a.Pos;
        const std::u16string& S = a.Saved;
        guarded(31 + (rtl ? 1 : 0), [&] {
            if (!rtl)
                D = left(right(T, P) + S, C);
            else if (P < C)
                D = right(S, C - P) + left(T, P + 1);
            else
                D = mid(T, P + 1 - C, C);
        });
        if (P >= L)
            a.Active = false;
        break;
    }
    case Typeclear: {
        if (start) {
            begin();
            pad();
            a.Saved = D;
        }
        skipSpaces();
        const long P = a.Pos;
        guarded(41 + (rtl ? 1 : 0), [&] {
            D = !rtl ? left(T, P) : spaces(C - P) + right(left(T, C), P);
        });
        if (!rtl ? P > C : P >= C)
            a.Active = false;
        break;
    }
    case Typeover: {
        if (start) {
            begin();
            pad();
            a.Saved = !rtl ? D : D.substr(0, std::size_t(std::max(0L, C)));
        }
        skipSpaces();
        const long P = a.Pos;
        const std::u16string& S = a.Saved;
        guarded(51 + (rtl ? 1 : 0), [&] {
            if (!rtl) {
                D = left(left(T, P) + mid(S, P + 1), C);
            } else {
                const std::u16string l = left(S, C - P);
                D = l + spaces(std::max(0L, C - long(l.size()) - P)) + right(left(T, C), P);
            }
        });
        if (!rtl ? P > C : P >= C)
            a.Active = false;
        break;
    }
    case Uncover: {
        if (start) {
            begin();
            pad();
            a.Saved = !rtl ? D : padded(D.substr(0, std::size_t(std::max(0L, C))));
        }
        const long L = a.TextLen, P = a.Pos;
        const std::u16string& S = a.Saved;
        guarded(61 + (rtl ? 1 : 0), [&] {
            D = !rtl ? left(left(T, P) + S, C) : left(right(S, C - P) + right(left(T, C), P), C);
        });
        if (!rtl ? P >= L : P >= C)
            a.Active = false;
        break;
    }
    default:
        a.Active = false;
        break;
    }
}

// ---- persistence --------------------------------------------------------------------------

void DisplayModel::writeProperties(PropertyBag& bag) const
{
    bag.write("ColorBlend", std::int64_t(m_colorBlend));
    bag.write("AutoBlend", m_autoBlend);
    bag.write("LCDoffPicture", encodePicture(m_offPicture));
    bag.write("LCDonPicture", encodePicture(m_onPicture));
    bag.write("ColorLCDon", std::int64_t(m_colorOn));
    bag.write("ColorBacklight", std::int64_t(m_colorBacklight));
    bag.write("ColorLCDoff", std::int64_t(m_colorOff));
    bag.write("DisplayType", std::int64_t(m_displayType));
    bag.write("LCDRow", std::int64_t(m_rows));
    bag.write("LCDCol", std::int64_t(m_cols));
    bag.write("ColorPresetPalette", std::int64_t(m_preset));
    bag.write("BorderStyle", std::int64_t(m_frame ? 1 : 0));
    bag.write("RowBorderSize", std::int64_t(m_rowBorder));
    bag.write("ColBorderSize", std::int64_t(m_colBorder));
    bag.write("Rowspace", std::int64_t(m_rowSpace));
    bag.write("Colspace", std::int64_t(m_colSpace));
    bag.write("PaletteMode", std::int64_t(m_paletteMode));
    bag.write("Palette", encodePicture(m_palette));
    bag.write("Picture", encodePicture(m_background));
    bag.write("OLEDropMode", std::int64_t(m_oleDropMode));
}

void DisplayModel::readProperties(const PropertyBag& bag)
{
    auto colour = [&](std::string_view key, ColorValue fallback) {
        return ColorValue(std::uint32_t(bag.readInteger(key, fallback)));
    };
    auto long32 = [&](std::string_view key, int fallback) {
        return int(std::clamp<std::int64_t>(bag.readInteger(key, fallback), INT32_MIN, INT32_MAX));
    };
    auto integer = [&](std::string_view key, int fallback) { return toInteger16(bag.readInteger(key, fallback)); };

    m_offPicture = decodePicture(bag.readBytes("LCDoffPicture"));
    m_onPicture = decodePicture(bag.readBytes("LCDonPicture"));
    m_palette = decodePicture(bag.readBytes("Palette"));
    m_paletteMode = integer("PaletteMode", 4);
    m_colorBlend = colour("ColorBlend", 11523503);
    m_autoBlend = bag.readBoolean("AutoBlend", true);
    m_colorOn = colour("ColorLCDon", 0);
    m_colorBacklight = colour("ColorBacklight", 13696976);
    m_colorOff = colour("ColorLCDoff", 13628879);
    m_displayType = long32("DisplayType", Normal);
    // Rows and columns index the four lines: a stored value out of range is brought into it.
    m_rows = std::clamp(integer("LCDRow", 4), 1, 4);
    m_cols = std::clamp(integer("LCDCol", 20), 1, 80);
    m_preset = long32("ColorPresetPalette", LCD_Green);
    m_frame = bag.readInteger("BorderStyle", 1) != 0;
    m_rowBorder = integer("RowBorderSize", 4);
    m_colBorder = integer("ColBorderSize", 4);
    m_rowSpace = integer("Rowspace", 2);
    m_colSpace = integer("Colspace", 1);
    m_background = decodePicture(bag.readBytes("Picture"));
    m_oleDropMode = integer("OLEDropMode", 0);
    // A loaded control builds its sheet at its first sizing, as a new one does.
    m_sheetBuilt = false;
}

} // namespace sonaveil::lumidot
