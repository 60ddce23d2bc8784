#include "controls/multibutton.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace sonaveil::controls {

namespace {

// Stored layouts spell the key this way; a corrected spelling would lose every saved setting.
constexpr const char* kUseMaskColorKey = "UseMaskCOlor";


const ColorValue kFace = systemColor(SystemColor::ButtonFace);
const ColorValue kText = systemColor(SystemColor::ButtonText);

struct StyleDefaults {
    ColorValue back;
    ColorValue fore;
    bool focusRect;
};

StyleDefaults defaultsOf(ButtonLook look)
{
    switch (look) {
    case ButtonLook::Classic:
    case ButtonLook::ClassicThin: return {kFace, kText, true};
    case ButtonLook::Warm: return {rgb(236, 235, 231), kText, false};
    case ButtonLook::Flat: return {rgb(241, 241, 236), kText, false};
    case ButtonLook::Cool: return {shade(rgb(212, 212, 212), 0.06f), kText, false};
    case ButtonLook::Shadowed: return {rgb(0, 109, 170), kWhite, false};
    case ButtonLook::Dark: return {rgb(213, 214, 225), kText, true};
    case ButtonLook::TwoBands:
    case ButtonLook::Pale: return {rgb(173, 209, 255), kText, false};
    default: return {kFace, kText, false};
    }
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
    // "Multibutton", not "Multibutton1": what stored layouts without a caption have always meant.
    m_caption = bag.readText("Caption", "Multibutton");
    m_foreColor = ColorValue(bag.readInteger("ForeColor", kText));
    m_checkBoxMode = bag.readBoolean("CheckBoxMode", false);
    m_value = bag.readBoolean("Value", false);
    m_mousePointer = int(std::clamp<std::int64_t>(bag.readInteger("MousePointer", 0), -32768, 32767));
    m_mouseIcon = Picture::fromBytes(bag.readBytes("MouseIcon"));
    m_picture = Picture::fromBytes(bag.readBytes("Picture"));
    m_pictureAlign = int(std::clamp<std::int64_t>(bag.readInteger("PictureAlign", 1), 0, 8));
    m_useMaskColor = bag.readBoolean(kUseMaskColorKey, false);
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
    // "Multibutton1" goes unstored, as stored layouts expect; keep it apart from the default above.
    put("Caption", m_caption != "Multibutton1", m_caption);
    put("ForeColor", m_foreColor != kText, std::int64_t(m_foreColor));
    put("CheckBoxMode", m_checkBoxMode, m_checkBoxMode);
    put("Value", m_value, m_value);
    put("MousePointer", m_mousePointer != 0, std::int64_t(m_mousePointer));
    put("MouseIcon", !m_mouseIcon.empty(), m_mouseIcon.toBytes());
    put("Picture", !m_picture.empty(), m_picture.toBytes());
    put("PictureAlign", m_pictureAlign != 1, std::int64_t(m_pictureAlign));
    put(kUseMaskColorKey, m_useMaskColor, m_useMaskColor);
    put("MaskColor", m_maskColor != rgb(224, 224, 224), std::int64_t(m_maskColor));
    put("CaptionAlign", m_captionAlign != 1, std::int64_t(m_captionAlign));
}

void MultibuttonModel::setButtonStyle(int style)
{
    style = std::clamp(style, 0, 14);
    m_style = style;
    const auto d = defaultsOf(ButtonLook(style));
    m_backColor = d.back;
    m_foreColor = d.fore;
    m_showFocusRect = d.focusRect;
    m_host->reshape();
    redraw();
    changed("ButtonStyle");
}

void MultibuttonModel::setShowFocusRect(bool on) { assignAndRedraw(m_showFocusRect, on, "ShowFocusRect"); }

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

void MultibuttonModel::setFont(const FontSpec& f) { assignAndRedraw(m_font, f, "Font"); }
void MultibuttonModel::setBackColor(ColorValue c) { assignAndRedraw(m_backColor, c, "BackColor"); }

void MultibuttonModel::setCaption(const std::string& caption)
{
    m_caption = caption;
    m_accessKey = accessKeyOf(caption);
    redraw();
    changed("Caption");
}

void MultibuttonModel::setForeColor(ColorValue c) { assignAndRedraw(m_foreColor, c, "ForeColor"); }

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

void MultibuttonModel::setPicture(const Picture& p) { assignAndRedraw(m_picture, p, "Picture"); }
void MultibuttonModel::setPictureAlign(int align) { assignAndRedraw(m_pictureAlign, std::clamp(align, 0, 8), "PictureAlign"); }
void MultibuttonModel::setUseMaskColor(bool on) { assignAndRedraw(m_useMaskColor, on, "UseMaskColor"); }
void MultibuttonModel::setMaskColor(ColorValue c) { assignAndRedraw(m_maskColor, c, "MaskColor"); }
void MultibuttonModel::setCaptionAlign(int align) { assignAndRedraw(m_captionAlign, std::clamp(align, 0, 2), "CaptionAlign"); }

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

void MultibuttonModel::showHover()
{
    const VisualState before = m_state;
    if (m_leftDown)
        m_state = VisualState::Pressed;
    else if (!m_spaceDown)
        m_state = VisualState::Hot;
    if (m_state != before)
        redraw();
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
    if (m_mouseOver)
        showHover();
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
    case keys::kReturn:
        m_host->Click();
        break;
    case keys::kSpace:
        if (!m_leftDown) {
            if (shift & kAltShift)
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
    case keys::kLeft:
    case keys::kUp:
        m_host->moveFocus(false);
        break;
    case keys::kRight:
    case keys::kDown:
        m_host->moveFocus(true);
        break;
    default:
        break;
    }
    m_host->KeyDown(code, sh);
}

void MultibuttonModel::keyRelease(int keyCode, int shift)
{
    if (keyCode != keys::kSpace)
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
        if (keyCode == keys::kReturn || keyCode == keys::kEscape)
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
    showHover();
}

// --- drawing ------------------------------------------------------------------------------

int MultibuttonModel::shapeCorner() const
{
    switch (look()) {
    case ButtonLook::Warm:
    case ButtonLook::Flat:
    case ButtonLook::Cool:
    case ButtonLook::Dark:
    case ButtonLook::FlatLit:
    case ButtonLook::Glassy: return 3;
    case ButtonLook::Pale: return 4;
    case ButtonLook::Pill: return 9;
    default: return 0;
    }
}

VisualState MultibuttonModel::drawnState() const
{
    if (m_checkBoxMode && m_value && look() != ButtonLook::Classic && look() != ButtonLook::Flat && look() != ButtonLook::Toolbar)
        return VisualState::Pressed;
    return m_state;
}

bool MultibuttonModel::focusVisible() const
{
    return (m_hasFocus || m_displayAsDefault) && m_showFocusRect && m_hostRunning && m_parentActive;
}

} // namespace sonaveil::controls
