#pragma once

#include "common/propertybag.h"
#include "common/types.h"
#include "platform/systemvolume.h"

#include <functional>
#include <string>
#include <vector>

namespace sonaveil::controls {

// The system volume bar without a widget: its properties, the bar arithmetic, the face as a list
// of pixel lines, the knob, dragging and muting, and reading the system's master output.
class MasterVolumeModel {
public:
    enum Orientation { Horizontal = 0, Vertical = 1 };

    // One pixel line of the face, both ends included.
    struct Line {
        int x1, y1, x2, y2;
        ColorValue color;
        bool operator==(const Line&) const = default;
    };
    // Everything the widget draws: the cleared surface, the bar lines, then the knob on top.
    struct Face {
        int width = 0, height = 0;
        ColorValue background = 0;
        std::vector<Line> lines;
        int knobX = 0, knobY = 0;
    };

    // The built-in knob's size in pixels.
    static constexpr int kKnobWidth = 13;
    static constexpr int kKnobHeight = 14;
    // The button face of the desktop's classic palette, the default background.
    static constexpr ColorValue kButtonFace = rgb(240, 240, 240);

    // Called whenever the face changes; and with the new value when Value changes.
    std::function<void()> onRedraw;
    std::function<void(int)> onChange;

    int value() const { return m_value; }
    // 0 to 100; anything else is ignored.
    void setValue(int value);
    bool mute() const { return m_mute; }
    // Stores the switch, writes it to the system when connected, redraws.
    void setMute(bool mute);
    int orientation() const { return m_orientation; }
    void setOrientation(int orientation);
    bool useGradient() const { return m_useGradient; }
    void setUseGradient(bool on);
    ColorValue gradientStartColor() const { return m_start; }
    void setGradientStartColor(ColorValue c);
    ColorValue gradientMidColor() const { return m_mid; }
    void setGradientMidColor(ColorValue c);
    ColorValue gradientEndColor() const { return m_end; }
    void setGradientEndColor(ColorValue c);
    bool segmented() const { return m_segmented; }
    void setSegmented(bool on);
    int segmentSize() const { return m_segmentSize; }
    // Held between 2 and 5.
    void setSegmentSize(int size);
    ColorValue backColor() const { return m_back; }
    void setBackColor(ColorValue c);
    ColorValue foreColor() const { return m_fore; }
    void setForeColor(ColorValue c);
    bool enabled() const { return m_enabled; }
    void setEnabled(bool on) { m_enabled = on; }

    // The control's size and the knob picture's size; the thickness follows the knob.
    int width() const { return m_width; }
    int height() const { return m_height; }
    void resize(int width, int height);
    void setKnobSize(int width, int height);
    int knobWidth() const { return m_knobWidth; }
    int knobHeight() const { return m_knobHeight; }
    int knobX() const { return m_knobX; }
    int knobY() const { return m_knobY; }

    // "Volume:  50%".
    std::string toolTip() const;

    // The system's master output; not owned. Opening happens once, at the first show.
    void setSystem(platform::SystemVolume* system) { m_system = system; }
    // Opens the system mixer the first time; returns whether it is open.
    bool show();
    // Whether the system cannot announce its changes, so that following it takes polling.
    bool needsPolling() const { return m_system && m_system->isOpen() && !m_system->announcesChanges(); }
    // Re-reads volume and mute from the system.
    void poll();
    // The system's full-volume level as last read; 0 while unknown.
    unsigned maximum() const { return m_maximum; }

    // Mouse input in pixels; button 1 left, 2 right.
    void press(int button, int x, int y);
    void move(int x, int y);
    void release();
    bool dragging() const { return m_dragging; }
    // Keys and the wheel: moves the level by delta percent and writes it to the system.
    void stepBy(int delta);

    // The per-line colours of a bar n lines long shading from a to b through m; empty when the
    // bar is too short to shade.
    static std::vector<ColorValue> colorTable(int n, ColorValue a, ColorValue m, ColorValue b);
    static ColorValue darkened(ColorValue c) { return c & 0x808080u; }
    Face face() const;

    // Persisted properties, keys as the property names.
    void readProperties(const PropertyBag& bag);
    void writeProperties(PropertyBag& bag) const;

private:
    int barLength() const { return m_orientation == Vertical ? m_height : m_width; }
    int knobTravel() const;
    void placeKnob();
    void dragTo(int x, int y);
    void userSet(int percent);
    void redraw();

    int m_value = 0;
    int m_shown = -1; // the last value drawn
    bool m_mute = false;
    int m_orientation = Horizontal;
    bool m_useGradient = true;
    ColorValue m_start = 0x00FF00;
    ColorValue m_mid = 0x00FFFF;
    ColorValue m_end = 0x0000FF;
    bool m_segmented = true;
    int m_segmentSize = 3;
    ColorValue m_back = kButtonFace;
    ColorValue m_fore = 0x00FF00;
    bool m_enabled = true;

    int m_width = 100, m_height = kKnobHeight;
    int m_knobWidth = kKnobWidth, m_knobHeight = kKnobHeight;
    int m_knobX = 0, m_knobY = 0;

    platform::SystemVolume* m_system = nullptr;
    bool m_opened = false;
    unsigned m_maximum = 0;
    bool m_dragging = false;
    int m_grabOffset = 0;
};

} // namespace sonaveil::controls
