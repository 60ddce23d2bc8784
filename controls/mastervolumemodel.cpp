#include "controls/mastervolumemodel.h"

#include "common/rounding.h"

#include <algorithm>

namespace sonaveil::controls {

void MasterVolumeModel::setValue(int value)
{
    if (value < 0 || value > 100)
        return;
    m_value = value;
    if (value == m_shown)
        return;
    m_shown = value;
    if (!m_dragging)
        placeKnob();
    redraw();
    if (onChange)
        onChange(value);
}

void MasterVolumeModel::setMute(bool mute)
{
    m_mute = mute;
    if (m_system && m_system->isOpen())
        m_system->setMute(mute);
    redraw();
}

void MasterVolumeModel::setOrientation(int orientation)
{
    m_orientation = orientation == Vertical ? Vertical : Horizontal;
    // The knob goes to the empty end; resizing then puts it where the value says.
    m_knobX = 0;
    m_knobY = m_orientation == Vertical ? std::max(0, m_height - m_knobHeight) : 0;
    resize(m_width, m_height);
}

void MasterVolumeModel::setUseGradient(bool on) { m_useGradient = on; redraw(); }
void MasterVolumeModel::setGradientStartColor(ColorValue c) { m_start = c & 0xFFFFFF; redraw(); }
void MasterVolumeModel::setGradientMidColor(ColorValue c) { m_mid = c & 0xFFFFFF; redraw(); }
void MasterVolumeModel::setGradientEndColor(ColorValue c) { m_end = c & 0xFFFFFF; redraw(); }
void MasterVolumeModel::setSegmented(bool on) { m_segmented = on; redraw(); }
void MasterVolumeModel::setBackColor(ColorValue c) { m_back = c & 0xFFFFFF; redraw(); }
void MasterVolumeModel::setForeColor(ColorValue c) { m_fore = c & 0xFFFFFF; redraw(); }

void MasterVolumeModel::setSegmentSize(int size)
{
    m_segmentSize = std::clamp(size, 2, 5);
    redraw();
}

void MasterVolumeModel::resize(int width, int height)
{
    if (m_orientation == Horizontal) {
        m_height = m_knobHeight;
        m_width = width > 0 ? width : m_knobWidth;
        m_knobY = 0;
        m_knobX = (m_width - m_knobWidth) * m_value / 100;
    } else {
        m_width = m_knobWidth;
        m_height = height > 0 ? height : m_knobHeight;
        m_knobX = 0;
        m_knobY = (m_height - m_knobHeight) - ((m_height - m_knobHeight) * m_value / 100);
    }
    redraw();
}

void MasterVolumeModel::setKnobSize(int width, int height)
{
    m_knobWidth = std::max(1, width);
    m_knobHeight = std::max(1, height);
    resize(m_width, m_height);
}

int MasterVolumeModel::knobTravel() const
{
    return m_orientation == Vertical ? m_height - m_knobHeight : m_width - m_knobWidth;
}

void MasterVolumeModel::placeKnob()
{
    const int travel = knobTravel();
    const int offset = static_cast<int>(roundHalfEven(double(travel) * m_value / 100.0));
    if (m_orientation == Vertical) {
        m_knobX = 0;
        m_knobY = travel - offset;
    } else {
        m_knobY = 0;
        m_knobX = offset;
    }
}

std::string MasterVolumeModel::toolTip() const
{
    return "Volume:  " + std::to_string(m_value) + "%";
}

bool MasterVolumeModel::show()
{
    if (m_opened)
        return true;
    if (!m_system || !m_system->open())
        return false;
    m_opened = true;
    return true;
}

void MasterVolumeModel::poll()
{
    if (!m_system || !m_system->isOpen())
        return;
    // With no output known (no server, no sink) the bar keeps what it shows.
    if (const auto level = m_system->volume(); level && level->maximum > 0) {
        m_maximum = level->maximum;
        const unsigned volume = std::min(level->volume, level->maximum);
        setValue(static_cast<int>(roundHalfEven(double(volume) / double(level->maximum) * 100.0)));
    }
    // The switch is the system's own; storing it here must not write it back.
    if (const auto muted = m_system->mute(); muted && *muted != m_mute) {
        m_mute = *muted;
        redraw();
    }
}

void MasterVolumeModel::press(int button, int x, int y)
{
    if (!m_enabled)
        return;
    if (button == 2) {
        setMute(!m_mute);
        return;
    }
    if (button != 1)
        return;
    m_dragging = true;
    const bool vertical = m_orientation == Vertical;
    const int along = vertical ? y : x;
    const int knobStart = vertical ? m_knobY : m_knobX;
    const int knobLength = vertical ? m_knobHeight : m_knobWidth;
    const int across = vertical ? x : y;
    const int knobAcross = vertical ? m_knobX : m_knobY;
    const int knobThickness = vertical ? m_knobWidth : m_knobHeight;
    const bool onKnob = along >= knobStart && along < knobStart + knobLength && across >= knobAcross
        && across < knobAcross + knobThickness;
    if (onKnob) {
        m_grabOffset = along - knobStart;
    } else {
        m_grabOffset = knobLength / 2;
        dragTo(x, y);
    }
}

void MasterVolumeModel::move(int x, int y)
{
    if (m_dragging)
        dragTo(x, y);
}

void MasterVolumeModel::release()
{
    m_dragging = false;
}

void MasterVolumeModel::dragTo(int x, int y)
{
    const int travel = knobTravel();
    int percent = 0;
    if (m_orientation == Vertical) {
        m_knobY = std::clamp(y - m_grabOffset, 0, std::max(0, travel));
        if (travel > 0)
            percent = static_cast<int>(roundHalfEven(double(travel - m_knobY) / travel * 100.0));
    } else {
        m_knobX = std::clamp(x - m_grabOffset, 0, std::max(0, travel));
        if (travel > 0)
            percent = static_cast<int>(roundHalfEven(double(m_knobX) / travel * 100.0));
    }
    userSet(percent);
}

void MasterVolumeModel::stepBy(int delta)
{
    if (!m_enabled || m_dragging)
        return;
    userSet(std::clamp(m_value + delta, 0, 100));
}

void MasterVolumeModel::userSet(int percent)
{
    const bool changed = percent != m_shown;
    m_value = percent;
    m_shown = percent;
    placeKnob(); // snap to the exact place of the percentage
    if (m_maximum > 0 && m_system && m_system->isOpen())
        m_system->setVolume(static_cast<unsigned>(roundHalfEven(percent / 100.0 * m_maximum)));
    redraw();
    if (changed && onChange)
        onChange(percent);
}

void MasterVolumeModel::redraw()
{
    if (onRedraw)
        onRedraw();
}

std::vector<ColorValue> MasterVolumeModel::colorTable(int n, ColorValue a, ColorValue m, ColorValue b)
{
    std::vector<ColorValue> table;
    const int h = n / 2;
    if (h <= 2)
        return table;
    table.reserve(n);
    auto half = [&table](int k, ColorValue from, ColorValue to) {
        const int fr = redOf(from), fg = greenOf(from), fb = blueOf(from);
        const double sr = k ? double(redOf(to) - fr) / k : 0.0;
        const double sg = k ? double(greenOf(to) - fg) / k : 0.0;
        const double sb = k ? double(blueOf(to) - fb) / k : 0.0;
        for (int l = 1; l <= k; ++l)
            table.push_back(rgb(int(roundHalfEven(fr + sr * l)), int(roundHalfEven(fg + sg * l)),
                int(roundHalfEven(fb + sb * l))));
    };
    half(h + n % h, a, m);
    half(h, m, b);
    return table;
}

MasterVolumeModel::Face MasterVolumeModel::face() const
{
    Face f{.width = m_width, .height = m_height, .background = m_back, .lines = {}, .knobX = m_knobX, .knobY = m_knobY};

    const int n = barLength();
    const int level = static_cast<int>(roundHalfEven(m_value / 100.0 * n));
    ColorValue c1 = m_useGradient ? m_start : m_fore;
    ColorValue c2 = m_useGradient ? m_mid : m_fore;
    ColorValue c3 = m_useGradient ? m_end : m_fore;
    if (m_mute) {
        c1 = darkened(c1);
        c2 = darkened(c2);
        c3 = darkened(c3);
    }
    const auto table = colorTable(n, c1, c2, c3);
    if (table.empty())
        return f;
    int count = 0;
    for (int i = 1; i <= level && i <= int(table.size()); ++i) {
        ColorValue color = table[i - 1];
        if (m_segmented && ++count == m_segmentSize) {
            color = m_back;
            count = 0;
        }
        // Line i covers pixel i - 1, so a full bar reaches the far edge and no column is left
        // out; the ends stop 2 pixels short of the edges across the bar.
        if (m_orientation == Vertical)
            f.lines.push_back({2, m_height - i, m_width - 3, m_height - i, color});
        else
            f.lines.push_back({i - 1, 2, i - 1, m_height - 3, color});
    }
    return f;
}

void MasterVolumeModel::readProperties(const PropertyBag& bag)
{
    m_orientation = bag.readInteger("Orientation", 0) == Vertical ? Vertical : Horizontal;
    m_useGradient = bag.readBoolean("UseGradient", true);
    m_start = ColorValue(bag.readInteger("GradientStartColor", 0x00FF00)) & 0xFFFFFF;
    m_mid = ColorValue(bag.readInteger("GradientMidColor", 0x00FFFF)) & 0xFFFFFF;
    m_end = ColorValue(bag.readInteger("GradientEndColor", 0x0000FF)) & 0xFFFFFF;
    m_segmented = bag.readBoolean("Segmented", true);
    m_segmentSize = static_cast<int>(std::clamp<std::int64_t>(bag.readInteger("SegmentSize", 3), 2, 5));
    m_back = ColorValue(bag.readInteger("BackColor", kButtonFace)) & 0xFFFFFF;
    m_fore = 0x00FF00; // read with its default and never kept: every load starts from it
    m_enabled = bag.readBoolean("Enabled", true);
    m_mute = bag.readBoolean("Mute", false);
    const auto value = bag.readInteger("Value", 0);
    if (value >= 0 && value <= 100)
        m_value = static_cast<int>(value);
    m_shown = -1;
    resize(m_width, m_height);
}

void MasterVolumeModel::writeProperties(PropertyBag& bag) const
{
    bag.write("Value", std::int64_t(m_value));
    bag.write("Mute", m_mute);
    bag.write("Orientation", std::int64_t(m_orientation));
    bag.write("UseGradient", m_useGradient);
    bag.write("GradientStartColor", std::int64_t(m_start));
    bag.write("GradientMidColor", std::int64_t(m_mid));
    bag.write("GradientEndColor", std::int64_t(m_end));
    bag.write("Segmented", m_segmented);
    bag.write("SegmentSize", std::int64_t(m_segmentSize));
    bag.write("BackColor", std::int64_t(m_back));
    bag.write("Enabled", m_enabled);
}

} // namespace sonaveil::controls
