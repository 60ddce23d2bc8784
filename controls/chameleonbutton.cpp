#include "controls/chameleonbutton.h"

#include "common/rounding.h"

#include <algorithm>
#include <cmath>

namespace sonaveil::controls {

namespace {

constexpr int kLeft = 1;
constexpr int kRight = 2;
constexpr int kSpace = 32;
const ColorValue kFace = systemColor(SystemColor::ButtonFace);
const ColorValue kText = systemColor(SystemColor::ButtonText);

} // namespace

ChameleonButtonModel::ChameleonButtonModel(ChameleonButtonHost* host) : m_host(host ? host : &m_noHost) {}

void ChameleonButtonModel::changed(const char* key)
{
    layout();
    redraw(m_lastState, true);
    m_host->propertyChanged(key);
}

void ChameleonButtonModel::initNew(const std::string& instanceName, const FontSpec& containerFont)
{
    ChameleonButtonModel fresh(m_host);
    fresh.m_sys = m_sys;
    fresh.m_ambient = m_ambient;
    fresh.m_w = m_w;
    fresh.m_h = m_h;
    fresh.m_drawAllowed = m_drawAllowed;
    *this = fresh;
    m_caption = instanceName;
    m_font = containerFont;
    layout();
}

void ChameleonButtonModel::load(const PropertyBag& bag, const FontSpec& surfaceFont)
{
    m_type = int(bag.readInteger("BTYPE", 2));
    m_caption = bag.readText("TX", "");
    m_enabled = bag.readBoolean("ENAB", true);
    m_font = FontSpec::fromText(bag.readText("FONT", ""), surfaceFont);
    m_scheme = int(std::clamp<std::int64_t>(bag.readInteger("COLTYPE", 1), 0, 4));
    m_showFocusRect = bag.readBoolean("FOCUSR", true);
    m_backColor = ColorValue(bag.readInteger("BCOL", kFace));
    m_backOver = ColorValue(bag.readInteger("BCOLO", m_backColor));
    m_foreColor = ColorValue(bag.readInteger("FCOL", kText));
    m_foreOver = ColorValue(bag.readInteger("FCOLO", m_foreColor));
    m_maskColor = ColorValue(bag.readInteger("MCOL", rgb(192, 192, 192)));
    m_mousePointer = int(std::clamp<std::int64_t>(bag.readInteger("MPTR", 0), -32768, 32767));
    m_mouseIcon = Picture::fromBytes(bag.readBytes("MICON"));
    m_picNormal = Picture::fromBytes(bag.readBytes("PICN"));
    m_picOver = Picture::fromBytes(bag.readBytes("PICH"));
    m_useMask = bag.readBoolean("UMCOL", true);
    m_soft = bag.readBoolean("SOFT", false);
    m_picPos = int(std::clamp<std::int64_t>(bag.readInteger("PICPOS", 0), 0, 4));
    m_grey = bag.readBoolean("NGREY", false);
    m_effect = int(std::clamp<std::int64_t>(bag.readInteger("FX", 0), 0, 1000));
    m_hand = bag.readBoolean("HAND", false);
    m_checkBox = bag.readBoolean("CHECK", false);
    m_value = bag.readBoolean("VALUE", false);
    layout();
    m_host->pointerChanged();
    redraw(m_lastState, true);
}

void ChameleonButtonModel::save(PropertyBag& bag) const
{
    bag.write("BTYPE", std::int64_t(m_type));
    bag.write("TX", m_caption);
    bag.write("ENAB", m_enabled);
    bag.write("FONT", m_font.toText());
    bag.write("COLTYPE", std::int64_t(m_scheme));
    bag.write("FOCUSR", m_showFocusRect);
    bag.write("BCOL", std::int64_t(m_backColor));
    bag.write("BCOLO", std::int64_t(m_backOver));
    bag.write("FCOL", std::int64_t(m_foreColor));
    bag.write("FCOLO", std::int64_t(m_foreOver));
    bag.write("MCOL", std::int64_t(m_maskColor));
    bag.write("MPTR", std::int64_t(m_mousePointer));
    bag.write("MICON", m_mouseIcon.toBytes());
    bag.write("PICN", m_picNormal.toBytes());
    bag.write("PICH", m_picOver.toBytes());
    bag.write("UMCOL", m_useMask);
    bag.write("SOFT", m_soft);
    bag.write("PICPOS", std::int64_t(m_picPos));
    bag.write("NGREY", m_grey);
    bag.write("FX", std::int64_t(m_effect));
    bag.write("HAND", m_hand);
    bag.write("CHECK", m_checkBox);
    bag.write("VALUE", m_value);
}

void ChameleonButtonModel::setButtonType(int t) { m_type = t; changed("BTYPE"); }
void ChameleonButtonModel::setCaption(const std::string& c) { m_caption = c; changed("TX"); }
void ChameleonButtonModel::setEnabled(bool on) { m_enabled = on; changed("ENAB"); }
void ChameleonButtonModel::setFont(const FontSpec& f) { m_font = f; changed("FONT"); }
void ChameleonButtonModel::setFontBold(bool on) { m_font.bold = on; changed("FONT"); }
void ChameleonButtonModel::setFontItalic(bool on) { m_font.italic = on; changed("FONT"); }
void ChameleonButtonModel::setFontUnderline(bool on) { m_font.underline = on; changed("FONT"); }
void ChameleonButtonModel::setFontSize(double points)
{
    if (points > 0 && points < 500)
        m_font.pointSize = points;
    changed("FONT");
}
void ChameleonButtonModel::setFontName(const std::string& name) { m_font.name = name; changed("FONT"); }
void ChameleonButtonModel::setColorScheme(int s) { m_scheme = std::clamp(s, 0, 4); changed("COLTYPE"); }
void ChameleonButtonModel::setShowFocusRect(bool on) { m_showFocusRect = on; changed("FOCUSR"); }
void ChameleonButtonModel::setBackColor(ColorValue c) { m_backColor = c; changed("BCOL"); }
void ChameleonButtonModel::setBackOver(ColorValue c) { m_backOver = c; changed("BCOLO"); }
void ChameleonButtonModel::setForeColor(ColorValue c) { m_foreColor = c; changed("FCOL"); }
void ChameleonButtonModel::setForeOver(ColorValue c) { m_foreOver = c; changed("FCOLO"); }
void ChameleonButtonModel::setMaskColor(ColorValue c) { m_maskColor = c; changed("MCOL"); }
void ChameleonButtonModel::setMousePointer(int shape)
{
    m_mousePointer = shape;
    m_host->pointerChanged();
    changed("MPTR");
}
void ChameleonButtonModel::setMouseIcon(const Picture& p)
{
    m_mouseIcon = p;
    m_host->pointerChanged();
    changed("MICON");
}
void ChameleonButtonModel::setPictureNormal(const Picture& p) { m_picNormal = p; changed("PICN"); }
void ChameleonButtonModel::setPictureOver(const Picture& p) { m_picOver = p; changed("PICO"); }
void ChameleonButtonModel::setUseMaskColor(bool on) { m_useMask = on; changed("UMCOL"); }
void ChameleonButtonModel::setSoftBevel(bool on) { m_soft = on; changed("SOFT"); }
void ChameleonButtonModel::setPicturePosition(int p) { m_picPos = std::clamp(p, 0, 4); changed("PICPOS"); }
void ChameleonButtonModel::setUseGreyscale(bool on) { m_grey = on; changed("NGREY"); }
void ChameleonButtonModel::setSpecialEffect(int fx) { m_effect = std::max(0, fx); changed("FX"); }
void ChameleonButtonModel::setHandPointer(bool on)
{
    m_hand = on;
    m_mousePointer = on ? 99 : 1;
    if (!on)
        m_mouseIcon = {};
    m_host->pointerChanged();
    changed("HAND");
}
void ChameleonButtonModel::setCheckBoxBehaviour(bool on) { m_checkBox = on; changed("CHECK"); }
void ChameleonButtonModel::setValue(bool on) { m_value = on; changed("VALUE"); }

void ChameleonButtonModel::Refresh()
{
    layout();
    m_drawAllowed = true;
    redraw(m_lastState, true);
}

void ChameleonButtonModel::DisableRefresh()
{
    m_drawAllowed = false;
}

void ChameleonButtonModel::setSystemColors(const SystemColors& sys)
{
    m_sys = sys;
}

void ChameleonButtonModel::setAmbient(const Ambient& a)
{
    m_ambient = a;
}

ColorValue ChameleonButtonModel::adj(ColorValue c, int n) const
{
    return offset(c, m_soft ? n / 2 : n);
}

// The effect colour of type 3 moves its blue channel in proportion to itself.
ColorValue ChameleonButtonModel::xadj(ColorValue c, int n) const
{
    if (m_soft)
        n /= 2;
    const int b = blueOf(c);
    return rgb(std::clamp(redOf(c) + n, 0, 255), std::clamp(greenOf(c) + n, 0, 255),
               std::clamp(b + b * n / 192, 0, 255));
}

ChameleonButtonModel::Colors ChameleonButtonModel::derive(bool over) const
{
    Colors c{};
    switch (m_scheme) {
    case 2: {
        c.face = m_sys.translate(over ? m_backOver : m_backColor);
        c.text = m_sys.translate(m_foreColor);
        c.textOver = m_sys.translate(m_foreOver);
        c.shadow = adj(c.face, -64);
        c.light = adj(c.face, 31);
        c.highlight = adj(c.face, 47);
        c.darkShadow = adj(c.face, -192);
        break;
    }
    case 3:
        c.face = rgb(192, 192, 192);
        c.text = c.textOver = kBlack;
        c.shadow = rgb(128, 128, 128);
        c.light = rgb(223, 223, 223);
        c.highlight = kWhite;
        c.darkShadow = kBlack;
        break;
    case 4:
        c.face = m_ambient.back & 0x00FFFFFFu;
        c.text = c.textOver = m_ambient.fore & 0x00FFFFFFu;
        c.shadow = adj(c.face, -64);
        c.light = adj(c.face, 31);
        c.highlight = adj(c.face, 47);
        c.darkShadow = adj(c.face, -192);
        break;
    default:
        c.face = m_sys.buttonFace;
        c.text = c.textOver = m_sys.buttonText;
        c.shadow = m_sys.buttonShadow;
        c.light = m_sys.light3D;
        c.highlight = m_sys.buttonHighlight;
        c.darkShadow = m_sys.darkShadow3D;
        break;
    }
    c.effect = m_type == 3 ? xadj(c.face, 48) : adj(c.face, 48);
    c.mask = m_sys.translate(m_maskColor);
    return c;
}

// --- redraw rule and layout ---------------------------------------------------------------

void ChameleonButtonModel::redraw(int state, bool force)
{
    if (m_checkBox && m_value)
        state = 2;
    if (m_h <= 0 || !m_drawAllowed)
        return;
    if (!force && state == m_lastState && m_caption == m_lastCaption && m_drawnOnce)
        return;
    m_lastState = state;
    m_lastCaption = m_caption;
    m_drawnOnce = true;
    m_host->redraw();
}

void ChameleonButtonModel::layout()
{
    if (m_type == 14)
        m_captionRect = {6, 6, m_w - 10, m_h - 10};
    else if (m_type >= 7 && m_type <= 13)
        m_captionRect = {3, 3, m_w - 6, m_h - 6};
    else
        m_captionRect = {4, 4, m_w - 8, m_h - 8};
    // The caption gives way to the picture at its side.
    const Picture& p = m_picNormal;
    if (p.empty())
        return;
    switch (m_picPos) {
    case 0: m_captionRect.x += p.width + 1; m_captionRect.w -= p.width + 1; break;
    case 1: m_captionRect.w -= p.width + 2; break;
    case 2: m_captionRect.y += p.height + 1; m_captionRect.h -= p.height + 1; break;
    case 3: m_captionRect.h -= p.height + 2; break;
    default: break;
    }
}

// --- state machine ------------------------------------------------------------------------

void ChameleonButtonModel::mousePress(int button, int shift, float x, float y)
{
    MouseArgs a{button, shift, x, y};
    m_host->MouseDown(a);
    m_lastButton = button;
    if (button != kRight)
        redraw(2, false);
}

void ChameleonButtonModel::mouseMove(int buttons, int shift, float x, float y, bool over)
{
    MouseArgs a{buttons, shift, x, y};
    m_host->MouseMove(a);
    if (buttons != 0 && buttons != kLeft)
        return;
    if (!over) {
        redraw(0, false);
        return;
    }
    if (buttons == 0) {
        if (!m_mouseOver) {
            m_host->startOverTimer();
            m_mouseOver = true;
            redraw(0, true);
            m_host->MouseOver();
        }
    } else {
        // Dragging with the left button: the pressed look, the hover flag is cleared.
        m_mouseOver = false;
        redraw(2, false);
    }
}

void ChameleonButtonModel::mouseRelease(int button, int shift, float x, float y)
{
    MouseArgs a{button, shift, x, y};
    m_host->MouseUp(a);
    if (button != kRight)
        redraw(0, false);
}

void ChameleonButtonModel::click()
{
    if (m_lastButton != kLeft || !m_enabled)
        return;
    if (m_checkBox)
        m_value = !m_value;
    redraw(0, true);
    m_host->Click();
}

void ChameleonButtonModel::doubleClick()
{
    if (m_lastButton != kLeft)
        return;
    mousePress(kLeft, 0, 0, 0);
    m_host->setCapture(true);
}

void ChameleonButtonModel::overTimerTick(bool over)
{
    if (over)
        return;
    m_host->stopOverTimer();
    m_mouseOver = false;
    redraw(0, true);
    m_host->MouseOut();
}

void ChameleonButtonModel::keyPress(int keyCode, int shift)
{
    int code = keyCode, sh = shift;
    m_host->KeyDown(code, sh);
    m_lastKey = keyCode;
    switch (keyCode) {
    case kSpace: redraw(2, false); break;
    case 37:
    case 38: m_host->moveFocus(false); break;
    case 39:
    case 40: m_host->moveFocus(true); break;
    default: break;
    }
}

void ChameleonButtonModel::characterKey(int keyAscii)
{
    int k = keyAscii;
    m_host->KeyPress(k);
}

void ChameleonButtonModel::keyRelease(int keyCode, int shift)
{
    int code = keyCode, sh = shift;
    m_host->KeyUp(code, sh);
    if (m_lastKey == kSpace && keyCode == kSpace) {
        if (!m_enabled)
            return;
        if (m_checkBox)
            m_value = !m_value;
        redraw(0, true);
        m_host->Click();
    }
}

void ChameleonButtonModel::accessKey()
{
    m_lastButton = kLeft;
    click();
}

void ChameleonButtonModel::focusChanged(bool in)
{
    m_hasFocus = in;
    redraw(m_lastState, true);
}

void ChameleonButtonModel::shown(int width, int height)
{
    m_w = width;
    m_h = height;
    layout();
    m_drawAllowed = true;
    redraw(0, true);
}

void ChameleonButtonModel::hidden()
{
    m_drawAllowed = false;
}

void ChameleonButtonModel::resized(int width, int height)
{
    m_w = width;
    m_h = height;
    layout();
    if (m_h > 0)
        redraw(0, true);
}

void ChameleonButtonModel::ambientChanged(const Ambient& a)
{
    m_ambient = a;
    if (m_scheme != 2)
        redraw(m_lastState, true);
}

void ChameleonButtonModel::setDisplayAsDefault(bool on)
{
    if (m_default == on)
        return;
    m_default = on;
    redraw(m_lastState, true);
}

std::vector<Rect> ChameleonButtonModel::shape(int w, int h) const
{
    std::vector<Rect> rows;
    if (w <= 0 || h <= 0)
        return rows;
    auto row = [&](int y, int x0, int x1) {
        if (x1 > x0)
            rows.push_back({x0, y, x1 - x0, 1});
    };
    for (int y = 0; y < h; ++y) {
        const bool top = y == 0, bottom = y == h - 1;
        switch (m_type) {
        case 1:
        case 14:
            row(y, (top || bottom) ? 1 : 0, (top || bottom) ? w - 1 : w);
            break;
        case 5:
            row(y, bottom ? 1 : 0, top ? w - 1 : w);
            break;
        case 3:
        case 4: {
            const int d = std::min(y, h - 1 - y);
            const int cut = d == 0 ? 2 : d == 1 ? 1 : 0;
            row(y, cut, w - cut);
            break;
        }
        case 13: {
            const double ry = h / 2.0, rx = w / 2.0;
            const double dy = (y + 0.5 - ry) / ry;
            const double half = rx * std::sqrt(std::max(0.0, 1.0 - dy * dy));
            row(y, int(std::lround(rx - half)), int(std::lround(rx + half)));
            break;
        }
        default:
            row(y, 0, w);
            break;
        }
    }
    return rows;
}

// --- drawing ------------------------------------------------------------------------------

ColorValue ChameleonButtonModel::type14Row(int i, int h) const
{
    const Colors c = derive(false);
    const int k = h > 0 ? int(roundHalfEven(58.0 * i / h)) : 0;
    return adj(c.highlight, -k);
}

void ChameleonButtonModel::paintCaption(PaintSurface& s, const Colors& c, Rect r, ColorValue color) const
{
    if (m_caption.empty())
        return;
    FontSpec font = m_font;
    if (m_default && m_type == 14)
        font.bold = true;
    const TextFlags flags{true, true};
    const TransportSymbol sym = transportSymbolOf(font, m_caption);
    const ColorValue base = (m_type == 3 || m_type == 4 || m_type == 14) ? c.effect : c.face;
    auto draw = [&](int dx, int dy, ColorValue col) {
        const Rect at{r.x + dx, r.y + dy, r.w, r.h};
        if (sym != TransportSymbol::None) {
            const int side = std::max(6, int(std::lround(font.pointSize * 96.0 / 72.0)));
            s.symbol({at.x + (at.w - side) / 2, at.y + (at.h - side) / 2, side, side}, sym, col);
        } else {
            s.text(at, m_caption, font, col, flags);
        }
    };
    if (m_effect == 1) {
        draw(1, 1, adj(base, -40));
        draw(-1, -1, adj(base, 40));
    } else if (m_effect == 2) {
        draw(1, 1, adj(base, 40));
        draw(-1, -1, adj(base, -40));
    } else if (m_effect >= 3) {
        draw(1, 1, adj(base, -40));
    }
    draw(0, 0, color);
}

void ChameleonButtonModel::paint(PaintSurface& s) const
{
    const int w = s.width(), h = s.height();
    if (w <= 0 || h <= 0)
        return;
    const Colors c = colors();
    s.fillRect({0, 0, w, h}, c.face);
    if (m_type == 14)
        paintType14(s, c);
    else if (m_type == 3)
        paintType3(s, c);
    else {
        paintPicture(s);
        Rect r = m_captionRect;
        if (m_lastState == 2) { r.x += 1; r.y += 1; }
        const ColorValue col = !m_enabled ? m_sys.grayText
                             : (m_lastState == 2 || m_mouseOver) ? c.textOver : c.text;
        paintCaption(s, c, r, col);
        if (m_showFocusRect && m_hasFocus)
            s.focusRect(m_captionRect, c.text);
    }
}

void ChameleonButtonModel::paintPicture(PaintSurface& s) const
{
    const Picture& p = (m_mouseOver && !m_picOver.empty()) ? m_picOver : m_picNormal;
    if (p.empty())
        return;
    const int inset = m_type == 14 ? 5 : (m_type >= 7 && m_type <= 13) ? 3 : 4;
    const Rect a{inset, inset, m_w - 2 * inset, m_h - 2 * inset};
    int x = a.x + (a.w - p.width) / 2, y = a.y + (a.h - p.height) / 2;
    switch (m_picPos) {
    case 0: x = a.x; break;
    case 1: x = a.x + a.w - p.width; break;
    case 2: y = a.y; break;
    case 3: y = a.y + a.h - p.height; break;
    default: break;
    }
    if (m_lastState == 2) { ++x; ++y; }
    s.picture(x, y, p.width, p.height, p, PictureMode{m_useMask, derive(false).mask, m_grey || !m_enabled});
}

void ChameleonButtonModel::paintType14(PaintSurface& s, const Colors& c) const
{
    const int w = s.width(), h = s.height();
    const bool pressed = m_lastState == 2;
    Rect r = m_captionRect;
    if (pressed && m_enabled) {
        s.fillRect({1, 1, w - 1, h - 1}, adj(c.face, -9));
        s.outline({0, 0, w, h}, adj(c.shadow, -48));
        s.line(2, h - 2, w - 2, h - 2, c.highlight);
        s.line(w - 2, 2, w - 2, h - 1, c.highlight);
        paintPicture(s);
        r.x += 1;
        r.y += 1;
        paintCaption(s, c, {r.x + 1, r.y + 1, r.w, r.h}, adj(c.shadow, -50));
        paintCaption(s, c, r, c.highlight);
    } else {
        if (m_mouseOver && m_enabled) {
            s.fillRect({0, 0, w, h}, c.light);
        } else {
            for (int i = 1; i <= h; ++i) {
                const int k = int(roundHalfEven(58.0 * i / h));
                s.line(0, i, w, i, adj(c.highlight, -k));
            }
        }
        paintPicture(s);
        if (m_enabled) {
            paintCaption(s, c, r, m_mouseOver ? c.textOver : c.text);
        }
        s.outline({0, 0, w, h}, adj(c.shadow, -50));
        s.outline({1, 1, w - 2, h - 2}, adj(c.face, -9));
        s.fillRect({2, 2, w - 4, 2}, c.highlight);
        s.fillRect({2, 4, 2, h - 6}, c.highlight);
        if (!m_enabled) {
            paintCaption(s, c, {r.x + 1, r.y + 1, r.w, r.h}, c.highlight);
            paintCaption(s, c, r, c.face);
        }
    }
    if (m_showFocusRect && m_hasFocus)
        s.focusRect(m_captionRect, c.text);
}

void ChameleonButtonModel::paintType3(PaintSurface& s, const Colors& c) const
{
    const int w = s.width(), h = s.height();
    const ColorValue x = c.effect;
    const bool pressed = m_lastState == 2;
    Rect r = m_captionRect;
    if (!m_enabled) {
        s.fillRect({0, 0, w, h}, xadj(x, -24));
        s.outline({0, 0, w, h}, xadj(x, -84));
        s.setPixel(1, 1, xadj(x, -72));
        s.setPixel(w - 2, 1, xadj(x, -72));
        s.setPixel(1, h - 2, xadj(x, -72));
        s.setPixel(w - 2, h - 2, xadj(x, -72));
        paintPicture(s);
        paintCaption(s, c, r, xadj(x, -104));
        return;
    }
    for (int i = 1; i <= h; ++i) {
        const int step = pressed ? (h + 1 - i) : i;
        const int k = int(roundHalfEven(25.0 * step / h));
        s.line(0, i, w, i, xadj(x, -k));
    }
    s.outline({0, 0, w, h}, rgb(0, 60, 115));
    s.setPixel(1, 1, rgb(16, 77, 123));
    s.setPixel(w - 2, 1, rgb(16, 77, 123));
    s.setPixel(1, h - 2, rgb(16, 77, 123));
    s.setPixel(w - 2, h - 2, rgb(16, 77, 123));
    if (!pressed) {
        auto lines = [&](ColorValue top1, ColorValue top2, ColorValue bottom1, ColorValue bottom2,
                         ColorValue side) {
            s.line(2, 1, w - 2, 1, top1);
            s.line(1, 2, w - 1, 2, top2);
            s.line(1, h - 3, w - 1, h - 3, bottom2);
            s.line(2, h - 2, w - 2, h - 2, bottom1);
            s.line(1, 3, 1, h - 3, side);
            s.line(w - 2, 3, w - 2, h - 3, side);
        };
        if (m_mouseOver) {
            lines(rgb(255, 243, 206), rgb(255, 219, 140), rgb(231, 150, 0), rgb(255, 178, 49),
                  rgb(255, 203, 107));
        } else if ((m_hasFocus || m_default) && m_showFocusRect) {
            lines(rgb(206, 231, 255), rgb(189, 215, 247), rgb(107, 130, 239), rgb(140, 174, 231),
                  rgb(181, 209, 240));
        } else {
            s.line(2, h - 2, w - 2, h - 2, xadj(x, -48));
            s.line(1, h - 3, w - 1, h - 3, xadj(x, -32));
            s.line(w - 2, 2, w - 2, h - 2, xadj(x, -36));
            s.line(w - 3, 1, w - 3, h - 3, xadj(x, -24));
            s.line(2, 1, w - 2, 1, xadj(x, 16));
            s.line(1, 2, w - 3, 2, xadj(x, 10));
            s.line(1, 2, 1, h - 2, xadj(x, -5));
            s.line(2, 3, 2, h - 3, xadj(x, -10));
        }
    }
    paintPicture(s);
    if (pressed) { r.x += 1; r.y += 1; }
    paintCaption(s, c, r, (pressed || m_mouseOver) ? c.textOver : c.text);
    if (m_showFocusRect && m_hasFocus)
        s.focusRect(m_captionRect, c.text);
}

} // namespace sonaveil::controls
