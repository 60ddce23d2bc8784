#include "controls/multibutton.h"

#include "common/rounding.h"

#include <algorithm>
#include <cmath>

// How a Multibutton draws itself: the face of each family of looks, then the picture and the
// caption over it.

namespace sonaveil::controls {

namespace {

void corners(PaintSurface& s, int w, int h, ColorValue c)
{
    s.setPixel(1, 1, c);
    s.setPixel(1, h - 2, c);
    s.setPixel(w - 2, 1, c);
    s.setPixel(w - 2, h - 2, c);
}

} // namespace

int MultibuttonModel::style7UpperHeight(int h)
{
    return int(roundHalfEven(h / 2.7));
}

int MultibuttonModel::style7LowerHeight(int h)
{
    return int(roundHalfEven(h - h / 2.7));
}

MultibuttonModel::Bands MultibuttonModel::style7Bands(ColorValue b, VisualState state, bool checked, bool over)
{
    const ColorValue outline = shade(b, -0.34f);
    const Bands pressed{rgb(255, 193, 88), rgb(255, 175, 81), rgb(255, 143, 70), rgb(255, 211, 95), outline};
    if (checked)
        return over ? pressed
                    : Bands{rgb(255, 217, 169), rgb(255, 192, 111), rgb(255, 171, 63), rgb(255, 225, 117), outline};
    switch (state) {
    case VisualState::Hot:
        return {rgb(255, 255, 225), rgb(255, 234, 172), rgb(255, 215, 103), rgb(255, 228, 153), outline};
    case VisualState::Pressed:
        return pressed;
    case VisualState::Normal:
        break;
    }
    return {average(shade(b, 0.09f), kWhite), average(shade(b, 0.07f), b), b, shade(b, 0.03f), outline};
}

void MultibuttonModel::paint(PaintSurface& s, const SystemColors& sys) const
{
    const int w = s.width(), h = s.height();
    if (w <= 0 || h <= 0)
        return;
    ColorValue background = sys.buttonFace;
    if (look() == ButtonLook::Flat || look() == ButtonLook::Shadowed)
        background = sys.window;
    s.fillRect({0, 0, w, h}, background);
    const VisualState st = drawnState();
    paintFace(s, sys, st);
    paintCaption(s, sys, st);
}

void MultibuttonModel::paintClassic(PaintSurface& s, const SystemColors& sys, VisualState st) const
{
    const int w = s.width(), h = s.height();
    const ColorValue b = sys.translate(m_backColor);
    const bool thin = look() == ButtonLook::ClassicThin || look() == ButtonLook::ClassicThinPlain;
    if (!m_enabled)
        drawEdge(s, {0, 0, w, h}, Edge::Raised, sys);
    if (m_checkBoxMode && m_value) {
        s.fillRect({0, 0, w, h}, shade(b, 0.02f));
        if (look() != ButtonLook::ClassicThinPlain)
            drawEdge(s, {0, 0, w, h}, Edge::Sunken, sys);
        if (look() == ButtonLook::Classic && m_showFocusRect && m_hasFocus)
            s.outline({4, 4, w - 7, h - 7}, sys.appWorkspace);
        return;
    }
    if (!m_enabled) {
        s.fillRect({2, 2, w - 4, h - 4}, b);
    } else {
        s.fillRect({0, 0, w, h}, b);
        switch (st) {
        case VisualState::Normal:
            if (look() == ButtonLook::Classic)
                drawEdge(s, {0, 0, w, h}, Edge::Raised, sys);
            else if (look() == ButtonLook::ClassicThin)
                drawEdge(s, {0, 0, w, h}, Edge::RaisedInner, sys);
            break;
        case VisualState::Hot:
            drawEdge(s, {0, 0, w, h}, thin ? Edge::RaisedInner : Edge::Raised, sys);
            break;
        case VisualState::Pressed:
            if (look() == ButtonLook::Classic) {
                s.outline({1, 1, w - 2, h - 2}, rgb(172, 168, 153));
                s.outline({0, 0, w, h}, kBlack);
            } else if (thin) {
                s.outline({0, 0, w, h}, kWhite);
                s.outline({0, 0, w + 1, h + 1}, sys.grayText);
            } else {
                drawEdge(s, {0, 0, w, h}, Edge::Sunken, sys);
            }
            break;
        }
    }
    if (focusVisible()) {
        const int inset = (look() == ButtonLook::Classic || look() == ButtonLook::ClassicPlain) ? 4 : 3;
        s.focusRect({inset, inset, w - 2 * inset, h - 2 * inset}, sys.buttonText);
    }
    if (look() == ButtonLook::Classic && st != VisualState::Pressed && (m_hasFocus || m_displayAsDefault) && m_enabled) {
        drawEdge(s, {0, 0, w - 1, h - 1}, Edge::Raised, sys);
        s.outline({0, 0, w - 1, h - 1}, sys.appWorkspace);
        s.outline({0, 0, w, h}, kBlack);
    }
}

void MultibuttonModel::paintFace(PaintSurface& s, const SystemColors& sys, VisualState st) const
{
    switch (look()) {
    case ButtonLook::Classic:
    case ButtonLook::ClassicThin:
    case ButtonLook::ClassicPlain:
    case ButtonLook::ClassicThinPlain:
        paintClassic(s, sys, st);
        return;
    case ButtonLook::TwoBands:
        paintTwoBands(s, sys, st);
        return;
    case ButtonLook::Shadowed:
        paintShadowed(s, sys, st);
        return;
    case ButtonLook::Warm:
    case ButtonLook::Flat:
    case ButtonLook::Dark:
        paintLined(s, sys, st);
        return;
    case ButtonLook::Cool:
    case ButtonLook::FlatLit:
    case ButtonLook::Toolbar:
        paintTinted(s, sys, st);
        return;
    case ButtonLook::Pale:
    case ButtonLook::Glassy:
    case ButtonLook::Pill:
        paintGradients(s, sys, st);
        return;
    }
}

bool MultibuttonModel::focusLook() const
{
    return (m_hasFocus || m_displayAsDefault) && m_showFocusRect && m_parentActive;
}

void MultibuttonModel::paintFocusRect(PaintSurface& s, const SystemColors& sys) const
{
    if (!focusVisible() || look() == ButtonLook::Pill)
        return;
    const int w = s.width(), h = s.height();
    const int inset = look() == ButtonLook::Warm ? 2 : 3;
    s.focusRect({inset, inset, w - 2 * inset, h - 2 * inset}, sys.buttonText);
}

void MultibuttonModel::paintTwoBands(PaintSurface& s, const SystemColors& sys, VisualState st) const
{
    const int w = s.width(), h = s.height();
    const bool checked = m_checkBoxMode && m_value;
    const auto [face, bands, rolled] = style7Look(sys, st);
    const int upper = style7UpperHeight(h);
    const int lower = style7LowerHeight(h);
    if ((st == VisualState::Normal && !checked) || rolled)
        s.fillRect({0, 0, w, h}, face);
    s.gradient({0, 0, w, upper}, bands.upperTop, bands.upperBottom);
    s.gradient({0, upper, w, lower}, bands.lowerTop, bands.lowerBottom);
    s.outline({0, 0, w, h}, bands.outline);
    // In the rollover colours a checked button keeps apart from a hovered one by a frame in
    // its caption colour.
    if (rolled && checked && w > 4 && h > 4)
        s.outline({2, 2, w - 4, h - 4}, m_enabled ? sys.translate(m_foreColor) : sys.grayText);
}

void MultibuttonModel::paintShadowed(PaintSurface& s, const SystemColors& sys, VisualState st) const
{
    const int w = s.width(), h = s.height();
    const ColorValue b = sys.translate(m_backColor);
    const int fw = w - 3, fh = h - 3;
    s.fillRect({3, 3, fw, fh}, rgb(192, 192, 192));
    s.fillRect({2, 2, fw, fh}, rgb(160, 160, 160));
    s.fillRect({1, 1, fw, fh}, rgb(128, 128, 128));
    if (st == VisualState::Pressed) {
        s.fillRect({3, 3, fw, fh}, b);
        s.outline({3, 3, fw, fh}, shade(b, 0.3f));
    } else {
        s.fillRect({0, 0, fw, fh}, b);
        s.outline({0, 0, fw, fh}, shade(b, st == VisualState::Hot ? 0.2f : -0.15f));
    }
    if (focusVisible()) {
        if (st == VisualState::Pressed)
            s.focusRect({6, 6, w - 9, h - 9}, kWhite);
        else
            s.focusRect({3, 3, w - 9, h - 9}, kWhite);
    }
}

void MultibuttonModel::paintLined(PaintSurface& s, const SystemColors& sys, VisualState st) const
{
    const int w = s.width(), h = s.height();
    const ColorValue b = sys.translate(m_backColor);
    const bool checked = m_checkBoxMode && m_value;
    switch (look()) {
    case ButtonLook::Warm: {
        if (!m_enabled) {
            s.fillRect({0, 0, w, h}, shade(b, 0.03f));
            s.outline({0, 0, w, h}, shade(b, -0.1f));
            corners(s, w, h, shade(b, 0.2f));
            return;
        }
        if (st == VisualState::Pressed) {
            s.fillRect({0, 0, w, h}, shade(b, -0.05f));
            s.line(1, 1, w - 1, 1, shade(b, -0.15f));
            s.line(1, 2, w - 1, 2, shade(b, -0.1f));
            s.line(1, 1, 1, h - 1, shade(b, -0.15f));
        } else {
            s.gradient({0, 0, w, h}, shade(b, 0.07f), b);
            s.gradient({0, 0, w, std::min(5, h)}, shade(b, 0.2f), shade(b, 0.08f));
            s.line(1, h - 2, w - 1, h - 2, shade(b, -0.1f));
            s.line(1, h - 3, w - 1, h - 3, shade(b, -0.05f));
            s.line(w - 2, 1, w - 2, h - 1, shade(b, -0.08f));
            s.line(1, 1, 1, h - 1, shade(b, 0.1f));
            if (st == VisualState::Hot) {
                s.line(2, 1, w - 2, 1, rgb(255, 240, 207));
                s.line(1, 2, w - 1, 2, rgb(253, 216, 137));
                s.line(1, h - 3, w - 1, h - 3, rgb(252, 210, 122));
                s.line(2, h - 2, w - 2, h - 2, rgb(248, 179, 48));
                s.line(1, 3, 1, h - 3, rgb(229, 151, 0));
                s.line(w - 2, 3, w - 2, h - 3, rgb(229, 151, 0));
            } else if (focusLook()) {
                s.line(2, 1, w - 2, 1, rgb(206, 231, 255));
                s.line(1, 2, w - 1, 2, rgb(188, 212, 246));
                s.line(1, h - 3, w - 1, h - 3, rgb(142, 175, 230));
                s.line(2, h - 2, w - 2, h - 2, rgb(105, 130, 238));
                s.line(1, 3, 1, h - 3, rgb(184, 209, 244));
                s.line(w - 2, 3, w - 2, h - 3, rgb(137, 173, 228));
            }
        }
        s.outline({0, 0, w, h}, rgb(0, 60, 116));
        corners(s, w, h, shade(rgb(0, 60, 116), 0.3f));
        break;
    }
    case ButtonLook::Flat: {
        if (checked) {
            s.fillRect({0, 0, w, h}, shade(b, 0.2f));
            s.outline({0, 0, w, h}, shade(b, -0.3f));
        } else if (st == VisualState::Pressed) {
            s.fillRect({0, 0, w, h}, shade(b, -0.05f));
            s.line(1, 1, w - 1, 1, shade(b, -0.15f));
            s.line(1, 2, w - 1, 2, shade(b, -0.1f));
            s.outline({0, 0, w, h}, shade(b, -0.3f));
        } else if (st == VisualState::Hot) {
            s.gradient({0, 0, w, h}, shade(b, 0.1f), b);
            s.line(1, 1, w - 1, 1, shade(b, 0.15f));
            s.line(1, 1, 1, h - 1, shade(b, 0.15f));
            s.line(1, h - 2, w - 1, h - 2, shade(b, -0.08f));
            s.line(w - 2, 1, w - 2, h - 1, shade(b, -0.08f));
            s.outline({0, 0, w, h}, shade(b, -0.15f));
        } else {
            s.fillRect({0, 0, w, h}, b);
        }
        break;
    }
    case ButtonLook::Dark: {
        if (st == VisualState::Pressed) {
            s.fillRect({0, 0, w, h}, shade(b, -0.2f));
            s.gradient({0, 0, w, h / 2}, shade(b, -0.32f), shade(b, -0.22f));
            s.line(0, h - 2, w, h - 2, shade(b, -0.4f));
        } else {
            s.fillRect({0, 0, w, h}, shade(b, st == VisualState::Hot ? -0.14f : -0.2f));
            s.line(0, h - 2, w, h - 2, shade(b, -0.25f));
        }
        s.outline({0, 0, w, h}, shade(b, -0.45f));
        break;
    }
    default:
        break;
    }
    paintFocusRect(s, sys);
}

void MultibuttonModel::paintTinted(PaintSurface& s, const SystemColors& sys, VisualState st) const
{
    const int w = s.width(), h = s.height();
    const ColorValue b = sys.translate(m_backColor);
    const bool checked = m_checkBoxMode && m_value;
    switch (look()) {
    case ButtonLook::Cool: {
        if (st == VisualState::Hot) {
            s.gradient({0, 0, w, h}, rgb(227, 247, 255), rgb(185, 230, 254));
            s.outline({0, 0, w, h}, rgb(50, 117, 167));
        } else if (st == VisualState::Pressed) {
            s.gradient({0, 0, w, h}, rgb(213, 237, 249), rgb(131, 196, 230));
            s.outline({0, 0, w, h}, rgb(44, 98, 139));
        } else {
            s.gradient({0, 0, w, h / 2}, shade(b, 0.05f), b);
            s.gradient({0, h / 2, w, h - h / 2}, shade(b, -0.03f), shade(b, -0.08f));
            if (focusLook() && m_enabled) {
                s.outline({0, 0, w, h}, rgb(50, 117, 167));
                s.outline({1, 1, w - 2, h - 2}, rgb(61, 205, 240));
            } else {
                s.outline({0, 0, w, h}, rgb(112, 112, 112));
            }
        }
        break;
    }
    case ButtonLook::FlatLit: {
        s.fillRect({0, 0, w, h}, b);
        if (st != VisualState::Normal) {
            const int upper = int(roundHalfEven(h / 1.7));
            if (st == VisualState::Hot)
                s.gradient({0, 0, w, upper}, rgb(241, 249, 253), rgb(208, 236, 248));
            else
                s.gradient({0, 0, w, upper}, rgb(176, 222, 241), rgb(219, 241, 249));
            s.outline({0, 0, w, h}, rgb(97, 158, 202));
            corners(s, w, h, shade(rgb(97, 158, 202), 0.3f));
        }
        break;
    }
    case ButtonLook::Toolbar: {
        const bool over = m_mouseOver && m_enabled;
        if (checked && over) {
            s.fillRect({0, 0, w, h}, rgb(152, 181, 226));
            s.outline({0, 0, w, h}, rgb(49, 106, 197));
        } else if (checked) {
            s.fillRect({0, 0, w, h}, rgb(225, 230, 232));
            s.outline({0, 0, w, h}, shade(rgb(75, 75, 111), 0.05f));
        } else if (m_enabled && st == VisualState::Pressed) {
            s.fillRect({0, 0, w, h}, rgb(152, 181, 226));
            s.outline({0, 0, w, h}, rgb(75, 75, 111));
        } else if (m_enabled && st == VisualState::Hot) {
            s.fillRect({0, 0, w, h}, rgb(193, 210, 238));
            s.outline({0, 0, w, h}, rgb(49, 106, 197));
        } else {
            s.gradient({0, 0, w, h}, average(shade(b, 0.26f), kWhite), b);
        }
        break;
    }
    default:
        break;
    }
    paintFocusRect(s, sys);
}

void MultibuttonModel::paintGradients(PaintSurface& s, const SystemColors& sys, VisualState st) const
{
    const int w = s.width(), h = s.height();
    const ColorValue b = sys.translate(m_backColor);
    switch (look()) {
    case ButtonLook::Pale: {
        const ColorValue light = average(b, kWhite);
        if (st == VisualState::Pressed) {
            s.gradient({0, 0, w, h}, b, light);
        } else {
            s.gradient({0, 0, w, h}, st == VisualState::Hot ? average(light, kWhite) : light, b);
            s.gradient({0, 0, w, std::min(5, h)}, kWhite, light);
        }
        const float o = st == VisualState::Normal ? -0.33f : st == VisualState::Hot ? -0.28f : -0.36f;
        s.outline({0, 0, w, h}, shade(b, o));
        corners(s, w, h, shade(b, -0.5f));
        break;
    }
    case ButtonLook::Glassy: {
        if (st == VisualState::Normal) {
            const int upper = int(roundHalfEven(h / 1.7));
            s.gradient({0, 0, w, upper}, shade(b, 0.4f), shade(b, 0.04f));
            s.gradient({0, upper, w, h - upper}, b, shade(b, 0.3f));
            s.outline({0, 0, w, h}, shade(b, 0.2f));
        } else {
            corners(s, w, h, shade(b, 0.2f));
        }
        break;
    }
    case ButtonLook::Pill: {
        if (st == VisualState::Normal) {
            fillRounded(s, {0, 0, w, h}, 9, shade(b, -0.4f));
            fillRounded(s, {1, 1, w - 2, h - 2}, 6, b);
            fillRounded(s, {2, 2, w - 4, h / 2 - 1}, 6, shade(b, 0.25f));
        }
        break;
    }
    default:
        break;
    }
    paintFocusRect(s, sys);
}

MultibuttonModel::Style7Look MultibuttonModel::style7Look(const SystemColors& sys, VisualState st) const
{
    // A rollover colour replaces the built-in hover, pressed and checked bands: the hover and
    // the check show the normal bands in that colour (the check framed), a press a darker
    // shade of it.
    const ColorValue b = sys.translate(m_backColor);
    const bool checked = m_checkBoxMode && m_value;
    const bool rolled = m_rollover && (st != VisualState::Normal || checked);
    ColorValue face = b;
    if (rolled)
        face = st == VisualState::Pressed && !(checked && !m_mouseOver) ? shade(sys.translate(*m_rollover), -0.12f)
                                                                         : sys.translate(*m_rollover);
    const Bands bands = rolled ? style7Bands(face, VisualState::Normal, false, false)
                               : style7Bands(b, st, checked, m_mouseOver);
    return {face, bands, rolled};
}

std::vector<ColorValue> MultibuttonModel::captionGrounds(const SystemColors& sys, VisualState st) const
{
    if (look() == ButtonLook::TwoBands) {
        const Bands bands = style7Look(sys, st).bands;
        return {bands.upperTop, bands.upperBottom, bands.lowerTop, bands.lowerBottom};
    }
    return {sys.translate(m_backColor)};
}

void MultibuttonModel::paintCaption(PaintSurface& s, const SystemColors& sys, VisualState st) const
{
    const int w = s.width(), h = s.height();
    const bool pressed = st == VisualState::Pressed;
    ColorValue color = m_enabled ? sys.translate(m_foreColor) : sys.grayText;
    if (look() == ButtonLook::Flat && m_enabled)
        color = pressed ? kWhite : sys.buttonText;
    // Whatever the face does in this state, the caption stays readable on it: 4.5 : 1 for a
    // text, 3 : 1 for a symbol (a shape, not letters).
    const TransportSymbol sym = transportSymbolOf(m_font, m_caption);
    if (m_enabled)
        color = readableOn(color, captionGrounds(sys, st), sym == TransportSymbol::None ? 4.5 : 3.0);

    int dx = 0, dy = 0, pdx = 0, pdy = 0;
    if ((look() == ButtonLook::Classic || look() == ButtonLook::ClassicThin || look() == ButtonLook::FlatLit) && pressed) {
        dx = dy = pdx = pdy = 1;
    } else if (look() == ButtonLook::Shadowed) {
        if (pressed) { dx = 1; dy = 2; pdx = 2; pdy = 2; }
        else { dx = -2; dy = -2; pdx = -1; pdy = -1; }
    }

    const TextFlags flags{true, false};
    TextSize ts;
    if (sym != TransportSymbol::None) {
        const int side = std::max(6, int(std::lround(m_font.pointSize * 96.0 / 72.0)));
        ts = {side, side};
    } else {
        ts = s.measureText(m_caption, m_font, TextFlags{false, false}, 0);
    }

    int cx = 0;
    int cy = h / 2 - ts.height / 2;
    switch (m_captionAlign) {
    case 0: cx = 4; break;
    case 2: cx = w - ts.width - 4; break;
    default: cx = w / 2 - ts.width / 2; break;
    }

    if (!m_picture.empty()) {
        int pw = m_picture.width, ph = m_picture.height;
        int px = 0, py = 0;
        const int gap = 4;
        switch (m_pictureAlign) {
        case 0:
            px = 4; py = h / 2 - ph / 2;
            cx = std::max(w / 2 - ts.width / 2 + pw / 2, pw + 8);
            if (m_captionAlign == 0) cx = pw + 8;
            break;
        case 1: {
            const int total = pw + gap + ts.width;
            px = std::max(4, w / 2 - total / 2); py = h / 2 - ph / 2;
            cx = px + pw + gap;
            if (m_captionAlign == 0) cx = pw + 8;
            break;
        }
        case 2:
            px = w - pw - 4; py = h / 2 - ph / 2;
            cx = px - gap - ts.width;
            if (m_captionAlign == 2) cx = w - pw - 8 - ts.width;
            break;
        case 3: {
            const int total = pw + gap + ts.width;
            cx = std::max(4, w / 2 - total / 2); py = h / 2 - ph / 2;
            px = cx + ts.width + gap;
            if (m_captionAlign == 2) { cx = w - pw - 8 - ts.width; px = w - pw - 4; }
            break;
        }
        case 4:
            px = w / 2 - pw / 2; py = h / 2 - ph / 2;
            break;
        case 5:
            px = w / 2 - pw / 2; py = 4;
            cy = std::max(cy, py + ph / 2);
            break;
        case 6: {
            const int total = ph + 2 + ts.height;
            px = w / 2 - pw / 2; py = std::max(4, h / 2 - total / 2);
            cy = py + ph + 2;
            break;
        }
        case 7:
            px = w / 2 - pw / 2; py = h - ph - 4;
            cy = std::min(cy, py + ph / 2 - ts.height);
            break;
        case 8: {
            const int total = ph + 2 + ts.height;
            px = w / 2 - pw / 2; cy = std::max(4, h / 2 - total / 2);
            py = cy + ts.height + 2;
            break;
        }
        default: break;
        }
        if (px + pw > w) pw = w - 8;
        if (py + ph > h) ph = h - 8;
        PictureMode mode{m_useMaskColor, sys.translate(m_maskColor), !m_enabled};
        s.picture(px + pdx, py + pdy, pw, ph, m_picture, mode);
    }

    if (m_caption.empty())
        return;
    if (sym != TransportSymbol::None) {
        s.symbol({cx + dx, cy + dy, ts.width, ts.height}, sym, color);
        return;
    }
    if (m_accessKey != 0)
        cx += 3;
    s.text({cx + dx, cy + dy, ts.width, ts.height}, m_caption, m_font, color, flags);
}

} // namespace sonaveil::controls
