#pragma once

// The multi-style push button as a plain model: properties, the visual state and its event
// state machine, the colour arithmetic of the fifteen looks and the face as drawing operations.
// MultibuttonWidget paints it and feeds it real input.

#include "common/propertybag.h"
#include "controls/paint.h"

#include <optional>
#include <utility>
#include <string>

namespace sonaveil::controls {

enum class VisualState : int { Normal = 0, Hot = 1, Pressed = 2 };

// The fifteen looks; the number is the ButtonStyle a layout stores.
enum class ButtonLook : int {
    Classic = 0,          // raised 3-D edges
    ClassicThin = 1,      // the thin raised edge
    Warm = 2,             // rounded, shaded lines, warm lines while hot
    Flat = 3,             // on the container's background, edges only while hot or pressed
    Cool = 4,             // shades of the face, blue gradients while hot or pressed
    Shadowed = 5,         // a soft shadow to the lower right that the face moves onto when pressed
    Dark = 6,             // the face darkened, a line along the bottom
    TwoBands = 7,         // an upper and a lower gradient band: the programs' own buttons
    FlatLit = 8,          // flat, a light gradient over the upper part while hot or pressed
    Toolbar = 9,          // a gradient face, filled blue while hot, pressed or checked
    Pale = 10,            // gradients of the face and white, rounded
    ClassicPlain = 11,    // the classic face with no edge until hot
    ClassicThinPlain = 12, // the thin one with no edge until hot, and none when checked
    Glassy = 13,          // a two-part gradient, in the normal state only
    Pill = 14,            // well rounded with a lighter upper half, in the normal state only
};

// Key codes, mouse buttons and the Alt shift state as the button models take them and raise them
// to their hosts (keyCodeOf, mouseButtonOf and shiftStateOf turn Qt's into these).
namespace keys {
inline constexpr int kReturn = 13, kEscape = 27, kSpace = 32, kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
}
inline constexpr int kLeftButton = 1, kRightButton = 2;
inline constexpr int kAltShift = 4;

// Mouse event arguments as the host receives them (by reference): button 1 left, 2 right,
// 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt; X and Y in pixels.
struct MouseArgs {
    int button = 0;
    int shift = 0;
    float x = 0;
    float y = 0;
};

// What the model needs from its window and raises to the host. Every member does nothing unless
// overridden.
class MultibuttonHost {
public:
    virtual ~MultibuttonHost() = default;

    virtual void Click() {}
    virtual void DblClick() {}
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void MouseMove(MouseArgs&) {}
    virtual void MouseUp(MouseArgs&) {}
    virtual void MouseDown(MouseArgs&) {}
    virtual void KeyDown(int& keyCode, int& shift) {}
    virtual void KeyUp(int& keyCode, int& shift) {}

    // The face must be drawn again.
    virtual void redraw() {}
    // The window shape may have changed.
    virtual void reshape() {}
    // A persisted property changed (the container saves it).
    virtual void propertyChanged(const char* name) {}
    // Move the keyboard focus to the next (or previous) control.
    virtual void moveFocus(bool forward) {}
    virtual void setCapture(bool on) {}
    // Let pending window messages run before an access key's Click.
    virtual void processPendingEvents() {}
};

class MultibuttonModel {
public:
    // Minimum size in pixels (220 twips).
    static constexpr int kMinimumSize = 15;

    explicit MultibuttonModel(MultibuttonHost* host = nullptr);

    void setHost(MultibuttonHost* host) { m_host = host ? host : &m_noHost; }

    // A newly placed control: the "new control" defaults, captioned with its instance name.
    void initNew(const std::string& instanceName);
    // Reads every persisted property; containerFont for a missing "Font".
    void load(const PropertyBag& bag, const FontSpec& containerFont);
    // Writes every property that differs from its not-stored value.
    void save(PropertyBag& bag, const FontSpec& containerFont) const;

    // Properties.
    int buttonStyle() const { return m_style; }
    void setButtonStyle(int style);
    ButtonLook look() const { return ButtonLook(m_style); }
    bool showFocusRect() const { return m_showFocusRect; }
    void setShowFocusRect(bool on);
    bool enabled() const { return m_enabled; }
    void setEnabled(bool on);
    const FontSpec& font() const { return m_font; }
    void setFont(const FontSpec& f);
    ColorValue backColor() const { return m_backColor; }
    void setBackColor(ColorValue c);
    const std::string& caption() const { return m_caption; }
    void setCaption(const std::string& caption);
    ColorValue foreColor() const { return m_foreColor; }
    void setForeColor(ColorValue c);
    bool checkBoxMode() const { return m_checkBoxMode; }
    void setCheckBoxMode(bool on);
    bool value() const { return m_value; }
    void setValue(bool on);
    int mousePointer() const { return m_mousePointer; }
    void setMousePointer(int shape);
    const Picture& mouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const Picture& p);
    const Picture& picture() const { return m_picture; }
    void setPicture(const Picture& p);
    int pictureAlign() const { return m_pictureAlign; }
    void setPictureAlign(int align);
    bool useMaskColor() const { return m_useMaskColor; }
    void setUseMaskColor(bool on);
    ColorValue maskColor() const { return m_maskColor; }
    void setMaskColor(ColorValue c);
    int captionAlign() const { return m_captionAlign; }
    void setCaptionAlign(int align);
    // Face colour of style 7 while the mouse is over the button, pressed or checked, in place of
    // the built-in bands of those looks; not persisted (the host's colour scheme sets it).
    // Nothing restores the built-in bands.
    const std::optional<ColorValue>& rolloverColor() const { return m_rollover; }
    void setRolloverColor(std::optional<ColorValue> c);

    // Run-time state.
    VisualState visualState() const { return m_state; }
    bool mouseOver() const { return m_mouseOver; }
    bool leftButtonDown() const { return m_leftDown; }
    bool spaceKeyDown() const { return m_spaceDown; }
    bool hasFocus() const { return m_hasFocus; }
    bool parentActive() const { return m_parentActive; }
    bool displayAsDefault() const { return m_displayAsDefault; }
    bool hasCapture() const { return m_capture; }
    // The access key: a lower-case character, or 0.
    char accessKey() const { return m_accessKey; }
    static char accessKeyOf(const std::string& caption);

    // Whether the host is running (not a form designer); focus rectangles need it.
    void setHostRunning(bool on) { m_hostRunning = on; }
    // Without hover tracking the hover look follows moves only and MouseEnter never comes.
    void setHoverTracking(bool on) { m_hoverTracking = on; }

    // Input, one member per row of the state table. X and Y are pixels; width and height are
    // those of the surface at the time.
    void hookedMouseMove();
    void hookedMouseLeave();
    void mouseMove(int button, int shift, float x, float y, bool cursorOverControl);
    void mousePress(int button, int shift, float x, float y);
    void mouseRelease(int button, int shift, float x, float y, int width, int height);
    // A double click. rerunPress: run the press handling again (off when the window system has
    // already delivered the second press).
    void doubleClick(bool rerunPress = true);
    void keyPress(int keyCode, int shift);
    void keyRelease(int keyCode, int shift);
    // The container's access key for this control (its letter, 13 for Enter, 27 for Esc).
    void accessKeyPressed(int keyCode);
    void focusIn();
    void focusOut();
    void parentActivated(bool active);
    void setDisplayAsDefault(bool on);
    // After the capture is released the hover look follows where the cursor is.
    void refreshHover(bool cursorOverControl);

    // Draws the face, the picture and the caption on s.
    void paint(PaintSurface& s, const SystemColors& sys) const;

    // Window shape: corner ellipse size of the rounded rectangle, 0 for the plain rectangle.
    int shapeCorner() const;
    // The effective state the face is drawn in.
    VisualState drawnState() const;

    // Style 7 bands: upper band height S and lower band height for a face of height h.
    static int style7UpperHeight(int h);
    static int style7LowerHeight(int h);
    struct Bands {
        ColorValue upperTop, upperBottom, lowerTop, lowerBottom, outline;
    };
    // The band colours of style 7 in a state; checked = check-box mode with Value on.
    static Bands style7Bands(ColorValue back, VisualState state, bool checked, bool mouseOver);

private:
    void changed(const char* name);
    void redraw() { m_host->redraw(); }
    // The hot look, or the pressed one while the left button is held, with the mouse over it.
    void showHover();
    // A property that only changes the face: stored, drawn, and told to the container.
    template <class T, class V>
    void assignAndRedraw(T& property, V&& value, const char* name)
    {
        property = std::forward<V>(value);
        redraw();
        changed(name);
    }
    bool focusVisible() const;
    // Focused or the default button, with the focus rectangle on, in an active window.
    bool focusLook() const;
    // The face in the look's family: Classic and its variants; TwoBands; Shadowed; the lined
    // faces (Warm, Flat, Dark); the tinted ones (Cool, FlatLit, Toolbar); the gradients (Pale,
    // Glassy, Pill).
    void paintFace(PaintSurface& s, const SystemColors& sys, VisualState st) const;
    void paintClassic(PaintSurface& s, const SystemColors& sys, VisualState st) const;
    void paintTwoBands(PaintSurface& s, const SystemColors& sys, VisualState st) const;
    void paintShadowed(PaintSurface& s, const SystemColors& sys, VisualState st) const;
    void paintLined(PaintSurface& s, const SystemColors& sys, VisualState st) const;
    void paintTinted(PaintSurface& s, const SystemColors& sys, VisualState st) const;
    void paintGradients(PaintSurface& s, const SystemColors& sys, VisualState st) const;
    // The dotted focus rectangle the non-classic looks draw over their face (Pill draws none).
    void paintFocusRect(PaintSurface& s, const SystemColors& sys) const;
    void paintCaption(PaintSurface& s, const SystemColors& sys, VisualState st) const;
    // Style 7 in a state: the face colour, its bands, and whether the rollover colour paints it.
    struct Style7Look {
        ColorValue face;
        Bands bands;
        bool rolled;
    };
    Style7Look style7Look(const SystemColors& sys, VisualState st) const;
    // The colours a caption is drawn over in a state.
    std::vector<ColorValue> captionGrounds(const SystemColors& sys, VisualState st) const;

    MultibuttonHost m_noHost;
    MultibuttonHost* m_host;

    int m_style = 0;
    bool m_showFocusRect = true;
    bool m_enabled = true;
    FontSpec m_font;
    ColorValue m_backColor = systemColor(SystemColor::ButtonFace);
    std::string m_caption = "Multibutton1";
    ColorValue m_foreColor = systemColor(SystemColor::ButtonText);
    bool m_checkBoxMode = false;
    bool m_value = false;
    int m_mousePointer = 0;
    Picture m_mouseIcon;
    Picture m_picture;
    int m_pictureAlign = 1;
    bool m_useMaskColor = true;
    ColorValue m_maskColor = rgb(224, 224, 224);
    int m_captionAlign = 1;
    std::optional<ColorValue> m_rollover;

    VisualState m_state = VisualState::Normal;
    bool m_mouseOver = false;
    bool m_leftDown = false;
    bool m_spaceDown = false;
    bool m_hasFocus = false;
    bool m_parentActive = true;
    bool m_displayAsDefault = false;
    bool m_capture = false;
    bool m_hostRunning = true;
    bool m_hoverTracking = true;
    MouseArgs m_lastPress;
    char m_accessKey = 0;
};

} // namespace sonaveil::controls
