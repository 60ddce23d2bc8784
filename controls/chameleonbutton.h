#pragma once

// The chameleon push button as a plain model: properties, the colours derived from one face
// colour, the polling hover logic, the redraw rule and the faces of types 14 and 3 as drawing
// operations. ChameleonButtonWidget paints it and feeds it real input.

#include "common/propertybag.h"
#include "controls/multibutton.h"
#include "controls/paint.h"

#include <string>
#include <vector>

namespace sonaveil::controls {

// What the model needs from its window and raises to the host. Every member does nothing unless
// overridden.
class ChameleonButtonHost {
public:
    virtual ~ChameleonButtonHost() = default;

    virtual void Click() {}
    virtual void MouseDown(MouseArgs&) {}
    virtual void MouseMove(MouseArgs&) {}
    virtual void MouseUp(MouseArgs&) {}
    virtual void KeyPress(int& keyAscii) {}
    virtual void KeyDown(int& keyCode, int& shift) {}
    virtual void KeyUp(int& keyCode, int& shift) {}
    virtual void MouseOver() {}
    virtual void MouseOut() {}

    // Draw the face again (the model has already decided that it must).
    virtual void redraw() {}
    virtual void startOverTimer() {}
    virtual void stopOverTimer() {}
    virtual void moveFocus(bool forward) {}
    virtual void setCapture(bool on) {}
    // The pointer shape or the hand pointer changed.
    virtual void pointerChanged() {}
    virtual void propertyChanged(const char* key) {}
};

class ChameleonButtonModel {
public:
    static constexpr const char* kVersion = "2.0.6";

    struct Colors {
        ColorValue face, text, textOver, shadow, light, highlight, darkShadow, effect, mask;
    };
    // Colours of the container for schemes that follow it.
    struct Ambient {
        ColorValue back = rgb(212, 208, 200);
        ColorValue fore = rgb(0, 0, 0);
    };

    explicit ChameleonButtonModel(ChameleonButtonHost* host = nullptr);
    void setHost(ChameleonButtonHost* host) { m_host = host ? host : &m_noHost; }

    void initNew(const std::string& instanceName, const FontSpec& containerFont);
    void load(const PropertyBag& bag, const FontSpec& surfaceFont);
    // Every key is written.
    void save(PropertyBag& bag) const;

    // Properties.
    int buttonType() const { return m_type; }
    void setButtonType(int t);
    const std::string& caption() const { return m_caption; }
    void setCaption(const std::string& c);
    bool enabled() const { return m_enabled; }
    void setEnabled(bool on);
    const FontSpec& font() const { return m_font; }
    void setFont(const FontSpec& f);
    void setFontBold(bool on);
    void setFontItalic(bool on);
    void setFontUnderline(bool on);
    void setFontSize(double points);
    void setFontName(const std::string& name);
    int colorScheme() const { return m_scheme; }
    void setColorScheme(int s);
    bool showFocusRect() const { return m_showFocusRect; }
    void setShowFocusRect(bool on);
    ColorValue backColor() const { return m_backColor; }
    void setBackColor(ColorValue c);
    ColorValue backOver() const { return m_backOver; }
    void setBackOver(ColorValue c);
    ColorValue foreColor() const { return m_foreColor; }
    void setForeColor(ColorValue c);
    ColorValue foreOver() const { return m_foreOver; }
    void setForeOver(ColorValue c);
    ColorValue maskColor() const { return m_maskColor; }
    void setMaskColor(ColorValue c);
    int mousePointer() const { return m_mousePointer; }
    void setMousePointer(int shape);
    const Picture& mouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const Picture& p);
    const Picture& pictureNormal() const { return m_picNormal; }
    void setPictureNormal(const Picture& p);
    const Picture& pictureOver() const { return m_picOver; }
    void setPictureOver(const Picture& p);
    bool useMaskColor() const { return m_useMask; }
    void setUseMaskColor(bool on);
    bool softBevel() const { return m_soft; }
    void setSoftBevel(bool on);
    int picturePosition() const { return m_picPos; }
    void setPicturePosition(int p);
    bool useGreyscale() const { return m_grey; }
    void setUseGreyscale(bool on);
    int specialEffect() const { return m_effect; }
    void setSpecialEffect(int fx);
    bool handPointer() const { return m_hand; }
    void setHandPointer(bool on);
    bool checkBoxBehaviour() const { return m_checkBox; }
    void setCheckBoxBehaviour(bool on);
    bool value() const { return m_value; }
    void setValue(bool on);

    // Methods.
    void Refresh();
    void DisableRefresh();

    // Run-time state.
    bool mouseOver() const { return m_mouseOver; }
    bool hasFocus() const { return m_hasFocus; }
    bool drawingAllowed() const { return m_drawAllowed; }
    int drawnState() const { return m_lastState; }
    int lastButton() const { return m_lastButton; }
    int lastKey() const { return m_lastKey; }
    bool displayAsDefault() const { return m_default; }
    const Rect& captionRect() const { return m_captionRect; }
    // Colours for the next drawing (from BackOver while the mouse is over, in scheme 2).
    Colors colors() const { return derive(m_mouseOver); }
    Colors derive(bool over) const;
    void setSystemColors(const SystemColors& sys);
    void setAmbient(const Ambient& a);

    // Input, one member per row of the state table.
    void mousePress(int button, int shift, float x, float y);
    void mouseMove(int buttons, int shift, float x, float y, bool cursorOverControl);
    void mouseRelease(int button, int shift, float x, float y);
    void click();
    void doubleClick();
    void overTimerTick(bool cursorOverControl);
    void keyPress(int keyCode, int shift);
    void characterKey(int keyAscii);
    void keyRelease(int keyCode, int shift);
    void accessKey();
    void focusChanged(bool in);
    void shown(int width, int height);
    void hidden();
    void resized(int width, int height);
    void ambientChanged(const Ambient& a);
    void setDisplayAsDefault(bool on);

    // Draws the last requested state.
    void paint(PaintSurface& s) const;
    // Row k of the type 14 gradient (i from 1 to h): the highlight less 58 x i / h.
    ColorValue type14Row(int i, int h) const;
    // The window shape as row spans.
    std::vector<Rect> shape(int w, int h) const;

    int width() const { return m_w; }
    int height() const { return m_h; }

private:
    void changed(const char* key);
    // Redraw rule: state 0 or 2; draws when forced, when the state differs or the caption changed.
    void redraw(int state, bool force);
    // A click: the check toggled in check-box behaviour, the face drawn, Click raised.
    void toggleAndClick();
    void layout();
    ColorValue adj(ColorValue c, int n) const;
    ColorValue xadj(ColorValue c, int n) const;
    void paintCaption(PaintSurface& s, const Colors& c, Rect r, ColorValue color) const;
    void paintType14(PaintSurface& s, const Colors& c) const;
    void paintType3(PaintSurface& s, const Colors& c) const;
    void paintPicture(PaintSurface& s) const;

    ChameleonButtonHost m_noHost;
    ChameleonButtonHost* m_host;
    SystemColors m_sys;
    Ambient m_ambient;

    int m_type = 2;
    std::string m_caption;
    bool m_enabled = true;
    FontSpec m_font;
    int m_scheme = 1;
    bool m_showFocusRect = true;
    ColorValue m_backColor = systemColor(SystemColor::ButtonFace);
    ColorValue m_backOver = systemColor(SystemColor::ButtonFace);
    ColorValue m_foreColor = systemColor(SystemColor::ButtonText);
    ColorValue m_foreOver = systemColor(SystemColor::ButtonText);
    ColorValue m_maskColor = rgb(192, 192, 192);
    int m_mousePointer = 0;
    Picture m_mouseIcon;
    Picture m_picNormal;
    Picture m_picOver;
    bool m_useMask = true;
    bool m_soft = false;
    int m_picPos = 0;
    bool m_grey = false;
    int m_effect = 0;
    bool m_hand = false;
    bool m_checkBox = false;
    bool m_value = false;

    int m_lastState = 0;
    std::string m_lastCaption;
    bool m_drawnOnce = false;
    bool m_mouseOver = false;
    bool m_hasFocus = false;
    int m_lastButton = 0;
    int m_lastKey = 0;
    bool m_drawAllowed = false;
    bool m_default = false;
    int m_w = 0;
    int m_h = 0;
    Rect m_captionRect;
};

} // namespace sonaveil::controls
