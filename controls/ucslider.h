#pragma once

// The painted slider as a plain model: an integer Value within Min..Max, the steps, the enabled
// state, the two gradient colours, and the pointer, key and wheel logic that moves it. Change is
// raised for every change of Value, by the user or the program; Scroll while the thumb is
// dragged. UcSliderWidget paints it.

#include "common/propertybag.h"
#include "controls/paint.h"

#include <cstdint>

namespace sonaveil::controls {

class UcSliderHost {
public:
    virtual ~UcSliderHost() = default;

    // Value changed (a program set, a key, the wheel, a page click, the end of a drag).
    virtual void Change() {}
    // Value changed while the thumb is being dragged.
    virtual void Scroll() {}
    // The reset gesture (a double click on the thumb): the host decides the value.
    virtual void Reset() {}
    virtual void redraw() {}
};

class UcSliderModel {
public:
    enum class Orientation : int { Horizontal = 0, Vertical = 1 };

    static constexpr int kDefaultMin = 0;
    static constexpr int kDefaultMax = 255;
    static constexpr int kDefaultValue = 100;
    // Thumb size along the track and across it, in pixels.
    static constexpr int kThumbLength = 9;
    static constexpr int kThumbThickness = 15;
    static constexpr int kTrackThickness = 5;

    explicit UcSliderModel(UcSliderHost* host = nullptr);
    void setHost(UcSliderHost* host) { m_host = host ? host : &m_noHost; }

    void load(const PropertyBag& bag);
    void save(PropertyBag& bag) const;

    std::int32_t value() const { return m_value; }
    // Clamped into Min..Max; raises Change when the position moves.
    void setValue(std::int64_t v);
    std::int32_t minimum() const { return m_min; }
    std::int32_t maximum() const { return m_max; }
    // A Min above Max moves Max up to it (and the other way round); Value is clamped.
    void setMinimum(std::int64_t v);
    void setMaximum(std::int64_t v);
    void setRange(std::int64_t lo, std::int64_t hi);
    std::int32_t smallChange() const { return m_small; }
    void setSmallChange(std::int64_t v);
    std::int32_t largeChange() const { return m_large; }
    void setLargeChange(std::int64_t v);
    bool enabled() const { return m_enabled; }
    void setEnabled(bool on);
    Orientation orientation() const { return m_orientation; }
    void setOrientation(Orientation o);
    ColorValue gradientColor1() const { return m_color1; }
    void setGradientColor1(ColorValue c);
    ColorValue gradientColor2() const { return m_color2; }
    void setGradientColor2(ColorValue c);

    bool dragging() const { return m_dragging; }

    // Geometry for a control of w x h pixels. Positions run along the track: left to right, or
    // bottom to top for a vertical slider (its Max is at the top).
    int trackLength(int w, int h) const;
    // Offset of the thumb's leading edge along the track.
    int thumbOffset(int w, int h) const;
    Rect thumbRect(int w, int h) const;
    Rect trackRect(int w, int h) const;
    // The value whose thumb is centred on (x, y).
    std::int32_t valueAt(int x, int y, int w, int h) const;

    // Input; x, y in pixels. Nothing happens while disabled.
    void mousePress(int x, int y, int w, int h);
    void mouseMove(int x, int y, int w, int h);
    void mouseRelease(int x, int y, int w, int h);
    void doubleClick(int x, int y, int w, int h);
    // Key codes as the controls use them (33 PgUp, 34 PgDn, 35 End, 36 Home, 37..40 arrows).
    // Returns whether the key was used.
    bool keyPress(int keyCode);
    // Wheel movement in eighths of a degree (120 per notch); positive is up / away.
    void wheel(int delta);

    // Draws the slider; a focused slider outlines its thumb in focusColor.
    void paint(PaintSurface& s, const SystemColors& sys, bool focused = false, ColorValue focusColor = 0) const;

private:
    void moveBy(std::int64_t delta);
    void apply(std::int64_t v, bool scroll);
    std::int32_t clampValue(std::int64_t v) const;
    // The position along the track of a pixel point.
    int along(int x, int y, int w, int h) const;

    UcSliderHost m_noHost;
    UcSliderHost* m_host;

    std::int32_t m_min = kDefaultMin;
    std::int32_t m_max = kDefaultMax;
    std::int32_t m_value = kDefaultValue;
    std::int32_t m_small = 1;
    std::int32_t m_large = 10;
    bool m_enabled = true;
    Orientation m_orientation = Orientation::Horizontal;
    ColorValue m_color1 = rgb(40, 90, 160);
    ColorValue m_color2 = rgb(120, 190, 255);

    bool m_dragging = false;
    int m_grabOffset = 0;
    std::int32_t m_dragStartValue = 0;
    int m_wheelRest = 0;
};

} // namespace sonaveil::controls
