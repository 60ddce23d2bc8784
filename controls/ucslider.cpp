#include "controls/ucslider.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace sonaveil::controls {

namespace {

std::int32_t clamp32(std::int64_t v)
{
    return std::int32_t(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                  std::numeric_limits<std::int32_t>::max()));
}

} // namespace

UcSliderModel::UcSliderModel(UcSliderHost* host) : m_host(host ? host : &m_noHost) {}

void UcSliderModel::load(const PropertyBag& bag)
{
    const auto lo = bag.readInteger("Min", kDefaultMin);
    const auto hi = bag.readInteger("Max", kDefaultMax);
    m_min = clamp32(std::min(lo, hi));
    m_max = clamp32(std::max(lo, hi));
    m_value = clampValue(bag.readInteger("Value", kDefaultValue));
    m_small = clamp32(std::max<std::int64_t>(0, bag.readInteger("SmallChange", 1)));
    m_large = clamp32(std::max<std::int64_t>(0, bag.readInteger("LargeChange", 10)));
    m_enabled = bag.readBoolean("Enabled", true);
    m_orientation = bag.readInteger("Orientation", 0) == 1 ? Orientation::Vertical : Orientation::Horizontal;
    m_color1 = ColorValue(bag.readInteger("GradientColor1", rgb(40, 90, 160))) & 0x00FFFFFFu;
    m_color2 = ColorValue(bag.readInteger("GradientColor2", rgb(120, 190, 255))) & 0x00FFFFFFu;
    m_host->redraw();
}

void UcSliderModel::save(PropertyBag& bag) const
{
    bag.write("Min", std::int64_t(m_min));
    bag.write("Max", std::int64_t(m_max));
    bag.write("Value", std::int64_t(m_value));
    bag.write("SmallChange", std::int64_t(m_small));
    bag.write("LargeChange", std::int64_t(m_large));
    bag.write("Enabled", m_enabled);
    bag.write("Orientation", std::int64_t(m_orientation));
    bag.write("GradientColor1", std::int64_t(m_color1));
    bag.write("GradientColor2", std::int64_t(m_color2));
}

std::int32_t UcSliderModel::clampValue(std::int64_t v) const
{
    return std::int32_t(std::clamp<std::int64_t>(v, m_min, m_max));
}

void UcSliderModel::apply(std::int64_t v, bool scroll)
{
    const std::int32_t nv = clampValue(v);
    if (nv == m_value)
        return;
    m_value = nv;
    m_host->redraw();
    if (scroll)
        m_host->Scroll();
    else
        m_host->Change();
}

void UcSliderModel::setValue(std::int64_t v)
{
    apply(v, false);
}

void UcSliderModel::setMinimum(std::int64_t v)
{
    setRange(v, std::max<std::int64_t>(v, m_max));
}

void UcSliderModel::setMaximum(std::int64_t v)
{
    setRange(std::min<std::int64_t>(v, m_min), v);
}

void UcSliderModel::setRange(std::int64_t lo, std::int64_t hi)
{
    if (lo > hi)
        std::swap(lo, hi);
    m_min = clamp32(lo);
    m_max = clamp32(hi);
    m_host->redraw();
    apply(m_value, false);
}

void UcSliderModel::setSmallChange(std::int64_t v)
{
    m_small = clamp32(std::max<std::int64_t>(0, v));
}

void UcSliderModel::setLargeChange(std::int64_t v)
{
    m_large = clamp32(std::max<std::int64_t>(0, v));
}

void UcSliderModel::setEnabled(bool on)
{
    if (m_enabled == on)
        return;
    m_enabled = on;
    if (!on && m_dragging)
        m_dragging = false;
    m_host->redraw();
}

void UcSliderModel::setOrientation(Orientation o)
{
    if (m_orientation == o)
        return;
    m_orientation = o;
    m_host->redraw();
}

void UcSliderModel::setGradientColor1(ColorValue c)
{
    m_color1 = c & 0x00FFFFFFu;
    m_host->redraw();
}

void UcSliderModel::setGradientColor2(ColorValue c)
{
    m_color2 = c & 0x00FFFFFFu;
    m_host->redraw();
}

// --- geometry -----------------------------------------------------------------------------

int UcSliderModel::trackLength(int w, int h) const
{
    const int len = m_orientation == Orientation::Horizontal ? w : h;
    return std::max(0, len - kThumbLength);
}

int UcSliderModel::thumbOffset(int w, int h) const
{
    const int len = trackLength(w, h);
    const std::int64_t span = std::int64_t(m_max) - m_min;
    if (span <= 0 || len <= 0)
        return 0;
    return int((std::int64_t(m_value) - m_min) * len * 2 / span + 1) / 2;
}

Rect UcSliderModel::thumbRect(int w, int h) const
{
    const int off = thumbOffset(w, h);
    if (m_orientation == Orientation::Horizontal) {
        const int t = std::min(kThumbThickness, h);
        return {off, (h - t) / 2, std::min(kThumbLength, w), t};
    }
    const int t = std::min(kThumbThickness, w);
    const int len = std::min(kThumbLength, h);
    return {(w - t) / 2, h - len - off, t, len};
}

Rect UcSliderModel::trackRect(int w, int h) const
{
    const int half = kThumbLength / 2;
    if (m_orientation == Orientation::Horizontal) {
        const int t = std::min(kTrackThickness, h);
        return {half, (h - t) / 2, std::max(0, w - 2 * half), t};
    }
    const int t = std::min(kTrackThickness, w);
    return {(w - t) / 2, half, t, std::max(0, h - 2 * half)};
}

int UcSliderModel::along(int x, int y, int w, int h) const
{
    return m_orientation == Orientation::Horizontal ? x : (h - 1 - y);
}

std::int32_t UcSliderModel::valueAt(int x, int y, int w, int h) const
{
    const int len = trackLength(w, h);
    if (len <= 0)
        return m_min;
    const int pos = std::clamp(along(x, y, w, h) - kThumbLength / 2, 0, len);
    const std::int64_t span = std::int64_t(m_max) - m_min;
    return clampValue(m_min + (std::int64_t(pos) * span * 2 / len + 1) / 2);
}

// --- input --------------------------------------------------------------------------------

void UcSliderModel::mousePress(int x, int y, int w, int h)
{
    if (!m_enabled)
        return;
    const int pos = along(x, y, w, h);
    const int thumb = thumbOffset(w, h);
    if (pos >= thumb && pos < thumb + kThumbLength) {
        m_dragging = true;
        m_grabOffset = pos - thumb;
        m_dragStartValue = m_value;
        m_host->redraw();
        return;
    }
    // A press on the track pages toward it.
    moveBy(pos < thumb ? -std::int64_t(m_large) : std::int64_t(m_large));
}

void UcSliderModel::mouseMove(int x, int y, int w, int h)
{
    if (!m_dragging)
        return;
    const int len = trackLength(w, h);
    if (len <= 0)
        return;
    const int pos = std::clamp(along(x, y, w, h) - m_grabOffset, 0, len);
    const std::int64_t span = std::int64_t(m_max) - m_min;
    apply(m_min + (std::int64_t(pos) * span * 2 / len + 1) / 2, true);
}

void UcSliderModel::mouseRelease(int x, int y, int w, int h)
{
    if (!m_dragging)
        return;
    mouseMove(x, y, w, h);
    m_dragging = false;
    m_host->redraw();
    if (m_value != m_dragStartValue)
        m_host->Change();
}

void UcSliderModel::doubleClick(int x, int y, int w, int h)
{
    if (!m_enabled)
        return;
    const Rect t = thumbRect(w, h);
    if (x >= t.x && x < t.x + t.w && y >= t.y && y < t.y + t.h)
        m_host->Reset();
}

void UcSliderModel::moveBy(std::int64_t delta)
{
    apply(std::int64_t(m_value) + delta, false);
}

bool UcSliderModel::keyPress(int keyCode)
{
    if (!m_enabled)
        return false;
    switch (keyCode) {
    case 37:
    case 40: moveBy(-std::int64_t(m_small)); return true;
    case 38:
    case 39: moveBy(m_small); return true;
    case 33: moveBy(m_large); return true;
    case 34: moveBy(-std::int64_t(m_large)); return true;
    case 36: apply(m_min, false); return true;
    case 35: apply(m_max, false); return true;
    default: return false;
    }
}

void UcSliderModel::wheel(int delta)
{
    if (!m_enabled)
        return;
    // Three small steps a notch, never more than a large step; partial notches add up.
    m_wheelRest += delta;
    const int notches = m_wheelRest / 120;
    if (notches == 0)
        return;
    m_wheelRest -= notches * 120;
    std::int64_t step = std::int64_t(m_small) * 3;
    if (m_large > 0)
        step = std::min<std::int64_t>(step, m_large);
    step = std::max<std::int64_t>(step, 1);
    moveBy(step * notches);
}

// --- drawing ------------------------------------------------------------------------------

void UcSliderModel::paint(PaintSurface& s, const SystemColors& sys, bool focused, ColorValue focusColor) const
{
    const int w = s.width(), h = s.height();
    if (w <= 0 || h <= 0)
        return;
    auto grey = [](ColorValue c) {
        const int m = (redOf(c) + greenOf(c) + blueOf(c)) / 3;
        return rgb(m, m, m);
    };
    const bool horizontal = m_orientation == Orientation::Horizontal;
    const ColorValue c1 = m_enabled ? m_color1 : grey(m_color1);
    const ColorValue c2 = m_enabled ? m_color2 : grey(m_color2);
    const Rect track = trackRect(w, h);
    const Rect thumb = thumbRect(w, h);

    // Groove, then the filled part from the Min end up to the thumb's middle.
    fillRounded(s, track, kTrackThickness, offset(sys.buttonFace, -80));
    fillRounded(s, {track.x + 1, track.y + 1, track.w - 2, track.h - 2}, kTrackThickness - 2,
                offset(sys.buttonFace, -35));
    if (horizontal) {
        const Rect f{track.x + 1, track.y + 1, thumb.x + thumb.w / 2 - track.x - 1, track.h - 2};
        if (f.w > 0 && f.h > 0) {
            // Colour 1 at the Min end, colour 2 under the thumb.
            std::vector<ColorValue> cols(std::size_t(f.w));
            const int n = std::max(1, f.w - 1);
            for (int i = 0; i < f.w; ++i) {
                auto ch = [&](int a, int b) { return a + (b - a) * i / n; };
                cols[std::size_t(i)] = rgb(ch(redOf(c1), redOf(c2)), ch(greenOf(c1), greenOf(c2)),
                                           ch(blueOf(c1), blueOf(c2)));
            }
            s.columns(f.x, f.y, f.h, cols);
        }
    } else {
        const int top = thumb.y + thumb.h / 2;
        const Rect f{track.x + 1, top, track.w - 2, track.y + track.h - 1 - top};
        if (f.w > 0 && f.h > 0)
            s.gradient(f, c2, c1);
    }

    // Thumb: a rounded raised face with a grip line in the first gradient colour.
    const ColorValue face = !m_enabled ? offset(sys.buttonFace, 8)
                          : m_dragging ? offset(sys.buttonFace, -12) : sys.buttonFace;
    const ColorValue edge = focused && m_enabled ? (focusColor & 0x00FFFFFFu)
                          : offset(sys.buttonFace, m_enabled ? -110 : -60);
    fillRounded(s, thumb, 4, edge);
    const Rect inner{thumb.x + 1, thumb.y + 1, thumb.w - 2, thumb.h - 2};
    if (inner.w > 0 && inner.h > 0) {
        s.gradient({inner.x, inner.y + 1, inner.w, inner.h - 1}, offset(face, 30), offset(face, -10));
        s.line(inner.x + 1, inner.y, inner.x + inner.w - 1, inner.y, offset(face, 45));
    }
    const ColorValue grip = m_enabled ? c1 : offset(sys.buttonFace, -50);
    if (horizontal)
        s.line(thumb.x + thumb.w / 2, thumb.y + 4, thumb.x + thumb.w / 2, thumb.y + thumb.h - 4, grip);
    else
        s.line(thumb.x + 4, thumb.y + thumb.h / 2, thumb.x + thumb.w - 4, thumb.y + thumb.h / 2, grip);
}

} // namespace sonaveil::controls
