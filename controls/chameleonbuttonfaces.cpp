#include "controls/chameleonbutton.h"

#include "common/rounding.h"

#include <algorithm>
#include <cmath>

// How a chameleon button draws itself and the shape of its window.

namespace sonaveil::controls {

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
