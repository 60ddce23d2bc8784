#include "controls/multibutton.h"

#include "common/rounding.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace sonaveil::controls {

namespace {

constexpr int kKeyEnter = 13;
constexpr int kKeyEsc = 27;
constexpr int kKeySpace = 32;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;
constexpr int kShiftAlt = 4;
constexpr int kLeftButton = 1;

const ColorValue kFace = systemColor(SystemColor::ButtonFace);
const ColorValue kText = systemColor(SystemColor::ButtonText);

struct StyleDefaults {
    ColorValue back;
    ColorValue fore;
    bool focusRect;
};

StyleDefaults defaultsOf(int style)
{
    switch (style) {
    case 0:
    case 1: return {kFace, kText, true};
    case 2: return {rgb(236, 235, 231), kText, false};
    case 3: return {rgb(241, 241, 236), kText, false};
    case 4: return {shade(rgb(212, 212, 212), 0.06f), kText, false};
    case 5: return {rgb(0, 109, 170), kWhite, false};
    case 6: return {rgb(213, 214, 225), kText, true};
    case 7:
    case 10: return {rgb(173, 209, 255), kText, false};
    default: return {kFace, kText, false};
    }
}

void corners(PaintSurface& s, int w, int h, ColorValue c)
{
    s.setPixel(1, 1, c);
    s.setPixel(1, h - 2, c);
    s.setPixel(w - 2, 1, c);
    s.setPixel(w - 2, h - 2, c);
}

} // namespace

MultibuttonModel::MultibuttonModel(MultibuttonHost* host) : m_host(host ? host : &m_noHost) {}

void MultibuttonModel::changed(const char* name)
{
    m_host->propertyChanged(name);
}

void MultibuttonModel::initNew(const std::string& instanceName)
{
    m_style = 0;
    m_showFocusRect = true;
    m_enabled = true;
    m_font = FontSpec{};
    m_backColor = kFace;
    m_caption = instanceName;
    m_accessKey = accessKeyOf(m_caption);
    m_foreColor = kText;
    m_checkBoxMode = false;
    m_value = false;
    m_mousePointer = 0;
    m_mouseIcon = {};
    m_picture = {};
    m_pictureAlign = 1;
    m_useMaskColor = true;
    m_maskColor = rgb(224, 224, 224);
    m_captionAlign = 1;
    m_state = VisualState::Normal;
    m_host->reshape();
    redraw();
}

void MultibuttonModel::load(const PropertyBag& bag, const FontSpec& containerFont)
{
    m_style = int(std::clamp<std::int64_t>(bag.readInteger("ButtonStyle", 1), 0, 14));
    m_showFocusRect = bag.readBoolean("ShowFocusRect", false);
    m_enabled = bag.readBoolean("Enabled", true);
    m_font = FontSpec::fromText(bag.readText("Font", ""), containerFont);
    m_backColor = ColorValue(bag.readInteger("BackColor", kFace));
    m_caption = bag.readText("Caption", "Multibutton");
    m_foreColor = ColorValue(bag.readInteger("ForeColor", kText));
    m_checkBoxMode = bag.readBoolean("CheckBoxMode", false);
    m_value = bag.readBoolean("Value", false);
    m_mousePointer = int(std::clamp<std::int64_t>(bag.readInteger("MousePointer", 0), -32768, 32767));
    m_mouseIcon = Picture::fromBytes(bag.readBytes("MouseIcon"));
    m_picture = Picture::fromBytes(bag.readBytes("Picture"));
    m_pictureAlign = int(std::clamp<std::int64_t>(bag.readInteger("PictureAlign", 1), 0, 8));
    m_useMaskColor = bag.readBoolean("UseMaskCOlor", false);
    m_maskColor = ColorValue(bag.readInteger("MaskColor", rgb(224, 224, 224)));
    m_captionAlign = int(std::clamp<std::int64_t>(bag.readInteger("CaptionAlign", 1), 0, 2));
    m_accessKey = accessKeyOf(m_caption);
    m_state = VisualState::Normal;
    m_host->reshape();
    redraw();
}

void MultibuttonModel::save(PropertyBag& bag, const FontSpec& containerFont) const
{
    auto put = [&](const char* key, bool store, PropertyBag::Value v) {
        if (store)
            bag.write(key, std::move(v));
        else
            bag.remove(key);
    };
    put("ButtonStyle", m_style != 1, std::int64_t(m_style));
    put("ShowFocusRect", m_showFocusRect, m_showFocusRect);
    put("Enabled", !m_enabled, m_enabled);
    put("Font", !(m_font == containerFont), m_font.toText());
    put("BackColor", m_backColor != kFace, std::int64_t(m_backColor));
    put("Caption", m_caption != "Multibutton1", m_caption);
    put("ForeColor", m_foreColor != kText, std::int64_t(m_foreColor));
    put("CheckBoxMode", m_checkBoxMode, m_checkBoxMode);
    put("Value", m_value, m_value);
    put("MousePointer", m_mousePointer != 0, std::int64_t(m_mousePointer));
    put("MouseIcon", !m_mouseIcon.empty(), m_mouseIcon.toBytes());
    put("Picture", !m_picture.empty(), m_picture.toBytes());
    put("PictureAlign", m_pictureAlign != 1, std::int64_t(m_pictureAlign));
    put("UseMaskCOlor", m_useMaskColor, m_useMaskColor);
    put("MaskColor", m_maskColor != rgb(224, 224, 224), std::int64_t(m_maskColor));
    put("CaptionAlign", m_captionAlign != 1, std::int64_t(m_captionAlign));
}

void MultibuttonModel::setButtonStyle(int style)
{
    style = std::clamp(style, 0, 14);
    m_style = style;
    const auto d = defaultsOf(style);
    m_backColor = d.back;
    m_foreColor = d.fore;
    m_showFocusRect = d.focusRect;
    m_host->reshape();
    redraw();
    changed("ButtonStyle");
}

void MultibuttonModel::setShowFocusRect(bool on)
{
    m_showFocusRect = on;
    redraw();
    changed("ShowFocusRect");
}

void MultibuttonModel::setEnabled(bool on)
{
    m_enabled = on;
    if (!on) {
        m_state = VisualState::Normal;
        m_leftDown = m_spaceDown = false;
    }
    redraw();
    changed("Enabled");
}

void MultibuttonModel::setFont(const FontSpec& f)
{
    m_font = f;
    redraw();
    changed("Font");
}

void MultibuttonModel::setBackColor(ColorValue c)
{
    m_backColor = c;
    redraw();
    changed("BackColor");
}

void MultibuttonModel::setCaption(const std::string& caption)
{
    m_caption = caption;
    m_accessKey = accessKeyOf(caption);
    redraw();
    changed("Caption");
}

void MultibuttonModel::setForeColor(ColorValue c)
{
    m_foreColor = c;
    redraw();
    changed("ForeColor");
}

void MultibuttonModel::setCheckBoxMode(bool on)
{
    m_checkBoxMode = on;
    if (!on)
        m_state = VisualState::Normal;
    redraw();
    changed("Value");
    changed("CheckBoxMode");
}

void MultibuttonModel::setValue(bool on)
{
    if (!m_checkBoxMode) {
        m_state = VisualState::Normal;
        redraw();
        return;
    }
    m_value = on;
    if (!on)
        m_state = VisualState::Normal;
    redraw();
    changed("Value");
}

void MultibuttonModel::setMousePointer(int shape)
{
    m_mousePointer = shape;
    changed("MousePointer");
}

void MultibuttonModel::setMouseIcon(const Picture& p)
{
    m_mouseIcon = p;
    changed("MouseIcon");
}

void MultibuttonModel::setPicture(const Picture& p)
{
    m_picture = p;
    redraw();
    changed("Picture");
}

void MultibuttonModel::setPictureAlign(int align)
{
    m_pictureAlign = std::clamp(align, 0, 8);
    redraw();
    changed("PictureAlign");
}

void MultibuttonModel::setUseMaskColor(bool on)
{
    m_useMaskColor = on;
    redraw();
    changed("UseMaskColor");
}

void MultibuttonModel::setMaskColor(ColorValue c)
{
    m_maskColor = c;
    redraw();
    changed("MaskColor");
}

void MultibuttonModel::setCaptionAlign(int align)
{
    m_captionAlign = std::clamp(align, 0, 2);
    redraw();
    changed("CaptionAlign");
}

void MultibuttonModel::setRolloverColor(std::optional<ColorValue> c)
{
    if (c == m_rollover)
        return;
    m_rollover = c;
    if (m_state == VisualState::Hot)
        redraw();
}

char MultibuttonModel::accessKeyOf(const std::string& caption)
{
    if (caption.size() <= 1)
        return 0;
    auto pos = caption.find('&');
    if (pos == std::string::npos || pos + 1 >= caption.size())
        return 0;
    char c = caption[pos + 1];
    if (c == '&') {
        // A literal ampersand: the key is after the next "&" that follows.
        pos = caption.find('&', pos + 2);
        if (pos == std::string::npos || pos + 1 >= caption.size())
            return 0;
        c = caption[pos + 1];
        if (c == '&')
            return 0;
    }
    return char(std::tolower(static_cast<unsigned char>(c)));
}

// --- state machine ------------------------------------------------------------------------

void MultibuttonModel::hookedMouseMove()
{
    if (m_mouseOver)
        return;
    m_mouseOver = true;
    if (!m_spaceDown)
        m_state = VisualState::Hot;
    redraw();
    if (m_hoverTracking)
        m_host->MouseEnter();
}

void MultibuttonModel::hookedMouseLeave()
{
    if (m_spaceDown) {
        m_mouseOver = false;
        return;
    }
    const bool wasOver = m_mouseOver;
    m_mouseOver = false;
    if (m_enabled)
        m_state = VisualState::Normal;
    redraw();
    if (wasOver)
        m_host->MouseLeave();
}

void MultibuttonModel::mouseMove(int button, int shift, float x, float y, bool cursorOverControl)
{
    if (!cursorOverControl && m_mouseOver) {
        m_mouseOver = false;
        m_host->MouseLeave();
    }
    if (m_mouseOver) {
        const VisualState before = m_state;
        if (m_leftDown)
            m_state = VisualState::Pressed;
        else if (!m_spaceDown)
            m_state = VisualState::Hot;
        if (m_state != before)
            redraw();
    }
    MouseArgs a{button, shift, x, y};
    m_host->MouseMove(a);
}

void MultibuttonModel::mousePress(int button, int shift, float x, float y)
{
    m_lastPress = {button, shift, x, y};
    if (button != kLeftButton)
        return;
    m_hasFocus = true;
    m_leftDown = true;
    if (m_mouseOver)
        m_state = VisualState::Pressed;
    redraw();
    MouseArgs a{button, shift, x, y};
    m_host->MouseDown(a);
}

void MultibuttonModel::mouseRelease(int button, int shift, float x, float y, int width, int height)
{
    if (button == kLeftButton) {
        m_leftDown = false;
        if (x > 0 && x < float(width) && y > 0 && y < float(height)) {
            if (m_checkBoxMode)
                m_value = !m_value;
            redraw();
            m_host->Click();
        }
    }
    if (m_capture) {
        m_capture = false;
        m_host->setCapture(false);
    }
    MouseArgs a{button, shift, x, y};
    m_host->MouseUp(a);
}

void MultibuttonModel::doubleClick(bool rerunPress)
{
    if (m_lastPress.button != kLeftButton)
        return;
    if (!m_capture) {
        m_capture = true;
        m_host->setCapture(true);
    }
    m_state = VisualState::Pressed;
    redraw();
    if (rerunPress)
        mousePress(m_lastPress.button, m_lastPress.shift, m_lastPress.x, m_lastPress.y);
    m_host->DblClick();
}

void MultibuttonModel::keyPress(int keyCode, int shift)
{
    int code = keyCode, sh = shift;
    switch (keyCode) {
    case kKeyEnter:
        m_host->Click();
        break;
    case kKeySpace:
        if (!m_leftDown) {
            if (shift & kShiftAlt)
                return;
            m_spaceDown = true;
            if (m_checkBoxMode)
                m_value = !m_value;
            else
                m_state = VisualState::Pressed;
            redraw();
        }
        if (!m_capture) {
            m_capture = true;
            m_host->setCapture(true);
        }
        break;
    case kKeyLeft:
    case kKeyUp:
        m_host->moveFocus(false);
        break;
    case kKeyRight:
    case kKeyDown:
        m_host->moveFocus(true);
        break;
    default:
        break;
    }
    m_host->KeyDown(code, sh);
}

void MultibuttonModel::keyRelease(int keyCode, int shift)
{
    if (keyCode != kKeySpace)
        return;
    bool click = false;
    if (!m_mouseOver) {
        m_state = VisualState::Normal;
        click = true;
    } else if (m_leftDown) {
        m_state = VisualState::Pressed;
    } else {
        m_state = VisualState::Hot;
        click = true;
    }
    redraw();
    if (click)
        m_host->Click();
    m_capture = !m_capture;
    m_host->setCapture(m_capture);
    int code = keyCode, sh = shift;
    m_host->KeyUp(code, sh);
    m_spaceDown = false;
    m_leftDown = false;
}

void MultibuttonModel::accessKeyPressed(int keyCode)
{
    if (!m_enabled)
        return;
    if (m_spaceDown) {
        m_spaceDown = false;
        m_leftDown = false;
    }
    if (m_checkBoxMode) {
        if (keyCode == kKeyEnter || keyCode == kKeyEsc)
            return;
        m_value = !m_value;
        if (!m_value)
            m_state = VisualState::Normal;
        redraw();
    }
    m_host->processPendingEvents();
    m_host->Click();
}

void MultibuttonModel::focusIn()
{
    m_hasFocus = true;
    redraw();
}

void MultibuttonModel::focusOut()
{
    m_hasFocus = false;
    m_leftDown = false;
    m_spaceDown = false;
    m_state = m_mouseOver ? VisualState::Hot : VisualState::Normal;
    redraw();
}

void MultibuttonModel::parentActivated(bool active)
{
    if (active) {
        m_parentActive = true;
    } else {
        m_leftDown = m_spaceDown = m_hasFocus = m_parentActive = false;
        m_state = VisualState::Normal;
    }
    redraw();
}

void MultibuttonModel::setDisplayAsDefault(bool on)
{
    if (m_displayAsDefault == on)
        return;
    m_displayAsDefault = on;
    if (m_enabled && !m_mouseOver)
        redraw();
}

void MultibuttonModel::refreshHover(bool cursorOverControl)
{
    if (!cursorOverControl) {
        if (m_mouseOver)
            hookedMouseLeave();
        return;
    }
    if (!m_mouseOver) {
        hookedMouseMove();
        return;
    }
    const VisualState before = m_state;
    if (m_leftDown)
        m_state = VisualState::Pressed;
    else if (!m_spaceDown)
        m_state = VisualState::Hot;
    if (m_state != before)
        redraw();
}

// --- drawing ------------------------------------------------------------------------------

int MultibuttonModel::shapeCorner() const
{
    switch (m_style) {
    case 2: case 3: case 4: case 6: case 8: case 13: return 3;
    case 10: return 4;
    case 14: return 9;
    default: return 0;
    }
}

VisualState MultibuttonModel::drawnState() const
{
    if (m_checkBoxMode && m_value && m_style != 0 && m_style != 3 && m_style != 9)
        return VisualState::Pressed;
    return m_state;
}

bool MultibuttonModel::focusVisible() const
{
    return (m_hasFocus || m_displayAsDefault) && m_showFocusRect && m_hostRunning && m_parentActive;
}

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
    if (m_style == 3 || m_style == 5)
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
    const bool thin = m_style == 1 || m_style == 12;
    if (!m_enabled)
        drawEdge(s, {0, 0, w, h}, Edge::Raised, sys);
    if (m_checkBoxMode && m_value) {
        s.fillRect({0, 0, w, h}, shade(b, 0.02f));
        if (m_style != 12)
            drawEdge(s, {0, 0, w, h}, Edge::Sunken, sys);
        if (m_style == 0 && m_showFocusRect && m_hasFocus)
            s.outline({4, 4, w - 7, h - 7}, sys.appWorkspace);
        return;
    }
    if (!m_enabled) {
        s.fillRect({2, 2, w - 4, h - 4}, b);
    } else {
        s.fillRect({0, 0, w, h}, b);
        switch (st) {
        case VisualState::Normal:
            if (m_style == 0)
                drawEdge(s, {0, 0, w, h}, Edge::Raised, sys);
            else if (m_style == 1)
                drawEdge(s, {0, 0, w, h}, Edge::RaisedInner, sys);
            break;
        case VisualState::Hot:
            drawEdge(s, {0, 0, w, h}, thin ? Edge::RaisedInner : Edge::Raised, sys);
            break;
        case VisualState::Pressed:
            if (m_style == 0) {
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
        const int inset = (m_style == 0 || m_style == 11) ? 4 : 3;
        s.focusRect({inset, inset, w - 2 * inset, h - 2 * inset}, sys.buttonText);
    }
    if (m_style == 0 && st != VisualState::Pressed && (m_hasFocus || m_displayAsDefault) && m_enabled) {
        drawEdge(s, {0, 0, w - 1, h - 1}, Edge::Raised, sys);
        s.outline({0, 0, w - 1, h - 1}, sys.appWorkspace);
        s.outline({0, 0, w, h}, kBlack);
    }
}

void MultibuttonModel::paintFace(PaintSurface& s, const SystemColors& sys, VisualState st) const
{
    const int w = s.width(), h = s.height();
    const ColorValue b = sys.translate(m_backColor);
    const bool checked = m_checkBoxMode && m_value;
    const bool focusLook = (m_hasFocus || m_displayAsDefault) && m_showFocusRect && m_parentActive;
    switch (m_style) {
    case 0:
    case 1:
    case 11:
    case 12:
        paintClassic(s, sys, st);
        return;
    case 7: {
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
        return;
    }
    case 2: {
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
            } else if (focusLook) {
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
    case 3: {
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
    case 4: {
        if (st == VisualState::Hot) {
            s.gradient({0, 0, w, h}, rgb(227, 247, 255), rgb(185, 230, 254));
            s.outline({0, 0, w, h}, rgb(50, 117, 167));
        } else if (st == VisualState::Pressed) {
            s.gradient({0, 0, w, h}, rgb(213, 237, 249), rgb(131, 196, 230));
            s.outline({0, 0, w, h}, rgb(44, 98, 139));
        } else {
            s.gradient({0, 0, w, h / 2}, shade(b, 0.05f), b);
            s.gradient({0, h / 2, w, h - h / 2}, shade(b, -0.03f), shade(b, -0.08f));
            if (focusLook && m_enabled) {
                s.outline({0, 0, w, h}, rgb(50, 117, 167));
                s.outline({1, 1, w - 2, h - 2}, rgb(61, 205, 240));
            } else {
                s.outline({0, 0, w, h}, rgb(112, 112, 112));
            }
        }
        break;
    }
    case 5: {
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
        return;
    }
    case 6: {
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
    case 8: {
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
    case 9: {
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
    case 10: {
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
    case 13: {
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
    case 14: {
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
    if (focusVisible() && m_style != 14) {
        const int inset = m_style == 2 ? 2 : 3;
        s.focusRect({inset, inset, w - 2 * inset, h - 2 * inset}, sys.buttonText);
    }
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
    if (m_style == 7) {
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
    if (m_style == 3 && m_enabled)
        color = pressed ? kWhite : sys.buttonText;
    // Whatever the face does in this state, the caption stays readable on it: 4.5 : 1 for a
    // text, 3 : 1 for a symbol (a shape, not letters).
    const TransportSymbol sym = transportSymbolOf(m_font, m_caption);
    if (m_enabled)
        color = readableOn(color, captionGrounds(sys, st), sym == TransportSymbol::None ? 4.5 : 3.0);

    int dx = 0, dy = 0, pdx = 0, pdy = 0;
    if ((m_style == 0 || m_style == 1 || m_style == 8) && pressed) {
        dx = dy = pdx = pdy = 1;
    } else if (m_style == 5) {
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
