#include "controls/chameleonbutton.h"

#include <algorithm>
#include <cmath>

namespace sonaveil::controls {

namespace {

const ColorValue kFace = systemColor(SystemColor::ButtonFace);
const ColorValue kText = systemColor(SystemColor::ButtonText);

} // namespace

ChameleonButtonModel::ChameleonButtonModel(ChameleonButtonHost* host) : m_host(host ? host : &m_noHost) {}

void ChameleonButtonModel::changed(const char* key)
{
    layout();
    redraw(m_lastState, true);
    m_host->propertyChanged(key);
}

void ChameleonButtonModel::initNew(const std::string& instanceName, const FontSpec& containerFont)
{
    ChameleonButtonModel fresh(m_host);
    fresh.m_sys = m_sys;
    fresh.m_ambient = m_ambient;
    fresh.m_w = m_w;
    fresh.m_h = m_h;
    fresh.m_drawAllowed = m_drawAllowed;
    *this = fresh;
    m_caption = instanceName;
    m_font = containerFont;
    layout();
}

void ChameleonButtonModel::load(const PropertyBag& bag, const FontSpec& surfaceFont)
{
    m_type = int(bag.readInteger("BTYPE", 2));
    m_caption = bag.readText("TX", "");
    m_enabled = bag.readBoolean("ENAB", true);
    m_font = FontSpec::fromText(bag.readText("FONT", ""), surfaceFont);
    m_scheme = int(std::clamp<std::int64_t>(bag.readInteger("COLTYPE", 1), 0, 4));
    m_showFocusRect = bag.readBoolean("FOCUSR", true);
    m_backColor = ColorValue(bag.readInteger("BCOL", kFace));
    m_backOver = ColorValue(bag.readInteger("BCOLO", m_backColor));
    m_foreColor = ColorValue(bag.readInteger("FCOL", kText));
    m_foreOver = ColorValue(bag.readInteger("FCOLO", m_foreColor));
    m_maskColor = ColorValue(bag.readInteger("MCOL", rgb(192, 192, 192)));
    m_mousePointer = int(std::clamp<std::int64_t>(bag.readInteger("MPTR", 0), -32768, 32767));
    m_mouseIcon = Picture::fromBytes(bag.readBytes("MICON"));
    m_picNormal = Picture::fromBytes(bag.readBytes("PICN"));
    m_picOver = Picture::fromBytes(bag.readBytes("PICH"));
    m_useMask = bag.readBoolean("UMCOL", true);
    m_soft = bag.readBoolean("SOFT", false);
    m_picPos = int(std::clamp<std::int64_t>(bag.readInteger("PICPOS", 0), 0, 4));
    m_grey = bag.readBoolean("NGREY", false);
    m_effect = int(std::clamp<std::int64_t>(bag.readInteger("FX", 0), 0, 1000));
    m_hand = bag.readBoolean("HAND", false);
    m_checkBox = bag.readBoolean("CHECK", false);
    m_value = bag.readBoolean("VALUE", false);
    layout();
    m_host->pointerChanged();
    redraw(m_lastState, true);
}

void ChameleonButtonModel::save(PropertyBag& bag) const
{
    bag.write("BTYPE", std::int64_t(m_type));
    bag.write("TX", m_caption);
    bag.write("ENAB", m_enabled);
    bag.write("FONT", m_font.toText());
    bag.write("COLTYPE", std::int64_t(m_scheme));
    bag.write("FOCUSR", m_showFocusRect);
    bag.write("BCOL", std::int64_t(m_backColor));
    bag.write("BCOLO", std::int64_t(m_backOver));
    bag.write("FCOL", std::int64_t(m_foreColor));
    bag.write("FCOLO", std::int64_t(m_foreOver));
    bag.write("MCOL", std::int64_t(m_maskColor));
    bag.write("MPTR", std::int64_t(m_mousePointer));
    bag.write("MICON", m_mouseIcon.toBytes());
    bag.write("PICN", m_picNormal.toBytes());
    bag.write("PICH", m_picOver.toBytes());
    bag.write("UMCOL", m_useMask);
    bag.write("SOFT", m_soft);
    bag.write("PICPOS", std::int64_t(m_picPos));
    bag.write("NGREY", m_grey);
    bag.write("FX", std::int64_t(m_effect));
    bag.write("HAND", m_hand);
    bag.write("CHECK", m_checkBox);
    bag.write("VALUE", m_value);
}

void ChameleonButtonModel::setButtonType(int t) { m_type = t; changed("BTYPE"); }
void ChameleonButtonModel::setCaption(const std::string& c) { m_caption = c; changed("TX"); }
void ChameleonButtonModel::setEnabled(bool on) { m_enabled = on; changed("ENAB"); }
void ChameleonButtonModel::setFont(const FontSpec& f) { m_font = f; changed("FONT"); }
void ChameleonButtonModel::setFontBold(bool on) { m_font.bold = on; changed("FONT"); }
void ChameleonButtonModel::setFontItalic(bool on) { m_font.italic = on; changed("FONT"); }
void ChameleonButtonModel::setFontUnderline(bool on) { m_font.underline = on; changed("FONT"); }
void ChameleonButtonModel::setFontSize(double points)
{
    if (points > 0 && points < 500)
        m_font.pointSize = points;
    changed("FONT");
}
void ChameleonButtonModel::setFontName(const std::string& name) { m_font.name = name; changed("FONT"); }
void ChameleonButtonModel::setColorScheme(int s) { m_scheme = std::clamp(s, 0, 4); changed("COLTYPE"); }
void ChameleonButtonModel::setShowFocusRect(bool on) { m_showFocusRect = on; changed("FOCUSR"); }
void ChameleonButtonModel::setBackColor(ColorValue c) { m_backColor = c; changed("BCOL"); }
void ChameleonButtonModel::setBackOver(ColorValue c) { m_backOver = c; changed("BCOLO"); }
void ChameleonButtonModel::setForeColor(ColorValue c) { m_foreColor = c; changed("FCOL"); }
void ChameleonButtonModel::setForeOver(ColorValue c) { m_foreOver = c; changed("FCOLO"); }
void ChameleonButtonModel::setMaskColor(ColorValue c) { m_maskColor = c; changed("MCOL"); }
void ChameleonButtonModel::setMousePointer(int shape)
{
    m_mousePointer = shape;
    m_host->pointerChanged();
    changed("MPTR");
}
void ChameleonButtonModel::setMouseIcon(const Picture& p)
{
    m_mouseIcon = p;
    m_host->pointerChanged();
    changed("MICON");
}
void ChameleonButtonModel::setPictureNormal(const Picture& p) { m_picNormal = p; changed("PICN"); }
void ChameleonButtonModel::setPictureOver(const Picture& p) { m_picOver = p; changed("PICO"); }
void ChameleonButtonModel::setUseMaskColor(bool on) { m_useMask = on; changed("UMCOL"); }
void ChameleonButtonModel::setSoftBevel(bool on) { m_soft = on; changed("SOFT"); }
void ChameleonButtonModel::setPicturePosition(int p) { m_picPos = std::clamp(p, 0, 4); changed("PICPOS"); }
void ChameleonButtonModel::setUseGreyscale(bool on) { m_grey = on; changed("NGREY"); }
void ChameleonButtonModel::setSpecialEffect(int fx) { m_effect = std::max(0, fx); changed("FX"); }
void ChameleonButtonModel::setHandPointer(bool on)
{
    m_hand = on;
    m_mousePointer = on ? 99 : 1;
    if (!on)
        m_mouseIcon = {};
    m_host->pointerChanged();
    changed("HAND");
}
void ChameleonButtonModel::setCheckBoxBehaviour(bool on) { m_checkBox = on; changed("CHECK"); }
void ChameleonButtonModel::setValue(bool on) { m_value = on; changed("VALUE"); }

void ChameleonButtonModel::Refresh()
{
    layout();
    m_drawAllowed = true;
    redraw(m_lastState, true);
}

void ChameleonButtonModel::DisableRefresh()
{
    m_drawAllowed = false;
}

void ChameleonButtonModel::setSystemColors(const SystemColors& sys)
{
    m_sys = sys;
}

void ChameleonButtonModel::setAmbient(const Ambient& a)
{
    m_ambient = a;
}

ColorValue ChameleonButtonModel::adj(ColorValue c, int n) const
{
    return offset(c, m_soft ? n / 2 : n);
}

// The effect colour of type 3 moves its blue channel in proportion to itself.
ColorValue ChameleonButtonModel::xadj(ColorValue c, int n) const
{
    if (m_soft)
        n /= 2;
    const int b = blueOf(c);
    return rgb(std::clamp(redOf(c) + n, 0, 255), std::clamp(greenOf(c) + n, 0, 255),
               std::clamp(b + b * n / 192, 0, 255));
}

ChameleonButtonModel::Colors ChameleonButtonModel::derive(bool over) const
{
    Colors c{};
    switch (m_scheme) {
    case 2: {
        c.face = m_sys.translate(over ? m_backOver : m_backColor);
        c.text = m_sys.translate(m_foreColor);
        c.textOver = m_sys.translate(m_foreOver);
        c.shadow = adj(c.face, -64);
        c.light = adj(c.face, 31);
        c.highlight = adj(c.face, 47);
        c.darkShadow = adj(c.face, -192);
        break;
    }
    case 3:
        c.face = rgb(192, 192, 192);
        c.text = c.textOver = kBlack;
        c.shadow = rgb(128, 128, 128);
        c.light = rgb(223, 223, 223);
        c.highlight = kWhite;
        c.darkShadow = kBlack;
        break;
    case 4:
        c.face = m_ambient.back & 0x00FFFFFFu;
        c.text = c.textOver = m_ambient.fore & 0x00FFFFFFu;
        c.shadow = adj(c.face, -64);
        c.light = adj(c.face, 31);
        c.highlight = adj(c.face, 47);
        c.darkShadow = adj(c.face, -192);
        break;
    default:
        c.face = m_sys.buttonFace;
        c.text = c.textOver = m_sys.buttonText;
        c.shadow = m_sys.buttonShadow;
        c.light = m_sys.light3D;
        c.highlight = m_sys.buttonHighlight;
        c.darkShadow = m_sys.darkShadow3D;
        break;
    }
    c.effect = m_type == 3 ? xadj(c.face, 48) : adj(c.face, 48);
    c.mask = m_sys.translate(m_maskColor);
    return c;
}

// --- redraw rule and layout ---------------------------------------------------------------

void ChameleonButtonModel::redraw(int state, bool force)
{
    if (m_checkBox && m_value)
        state = 2;
    if (m_h <= 0 || !m_drawAllowed)
        return;
    if (!force && state == m_lastState && m_caption == m_lastCaption && m_drawnOnce)
        return;
    m_lastState = state;
    m_lastCaption = m_caption;
    m_drawnOnce = true;
    m_host->redraw();
}

void ChameleonButtonModel::layout()
{
    if (m_type == 14)
        m_captionRect = {6, 6, m_w - 10, m_h - 10};
    else if (m_type >= 7 && m_type <= 13)
        m_captionRect = {3, 3, m_w - 6, m_h - 6};
    else
        m_captionRect = {4, 4, m_w - 8, m_h - 8};
    // The caption gives way to the picture at its side.
    const Picture& p = m_picNormal;
    if (p.empty())
        return;
    switch (m_picPos) {
    case 0: m_captionRect.x += p.width + 1; m_captionRect.w -= p.width + 1; break;
    case 1: m_captionRect.w -= p.width + 2; break;
    case 2: m_captionRect.y += p.height + 1; m_captionRect.h -= p.height + 1; break;
    case 3: m_captionRect.h -= p.height + 2; break;
    default: break;
    }
}

// --- state machine ------------------------------------------------------------------------

void ChameleonButtonModel::mousePress(int button, int shift, float x, float y)
{
    MouseArgs a{button, shift, x, y};
    m_host->MouseDown(a);
    m_lastButton = button;
    if (button != kRightButton)
        redraw(2, false);
}

void ChameleonButtonModel::mouseMove(int buttons, int shift, float x, float y, bool over)
{
    MouseArgs a{buttons, shift, x, y};
    m_host->MouseMove(a);
    if (buttons != 0 && buttons != kLeftButton)
        return;
    if (!over) {
        redraw(0, false);
        return;
    }
    if (buttons == 0) {
        if (!m_mouseOver) {
            m_host->startOverTimer();
            m_mouseOver = true;
            redraw(0, true);
            m_host->MouseOver();
        }
    } else {
        // Dragging with the left button: the pressed look, the hover flag is cleared.
        m_mouseOver = false;
        redraw(2, false);
    }
}

void ChameleonButtonModel::mouseRelease(int button, int shift, float x, float y)
{
    MouseArgs a{button, shift, x, y};
    m_host->MouseUp(a);
    if (button != kRightButton)
        redraw(0, false);
}

void ChameleonButtonModel::toggleAndClick()
{
    if (m_checkBox)
        m_value = !m_value;
    redraw(0, true);
    m_host->Click();
}

void ChameleonButtonModel::click()
{
    if (m_lastButton == kLeftButton && m_enabled)
        toggleAndClick();
}

void ChameleonButtonModel::doubleClick()
{
    if (m_lastButton != kLeftButton)
        return;
    mousePress(kLeftButton, 0, 0, 0);
    m_host->setCapture(true);
}

void ChameleonButtonModel::overTimerTick(bool over)
{
    if (over)
        return;
    m_host->stopOverTimer();
    m_mouseOver = false;
    redraw(0, true);
    m_host->MouseOut();
}

void ChameleonButtonModel::keyPress(int keyCode, int shift)
{
    int code = keyCode, sh = shift;
    m_host->KeyDown(code, sh);
    m_lastKey = keyCode;
    switch (keyCode) {
    case keys::kSpace: redraw(2, false); break;
    case keys::kLeft:
    case keys::kUp: m_host->moveFocus(false); break;
    case keys::kRight:
    case keys::kDown: m_host->moveFocus(true); break;
    default: break;
    }
}

void ChameleonButtonModel::characterKey(int keyAscii)
{
    int k = keyAscii;
    m_host->KeyPress(k);
}

void ChameleonButtonModel::keyRelease(int keyCode, int shift)
{
    int code = keyCode, sh = shift;
    m_host->KeyUp(code, sh);
    if (m_lastKey == keys::kSpace && keyCode == keys::kSpace && m_enabled)
        toggleAndClick();
}

void ChameleonButtonModel::accessKey()
{
    m_lastButton = kLeftButton;
    click();
}

void ChameleonButtonModel::focusChanged(bool in)
{
    m_hasFocus = in;
    redraw(m_lastState, true);
}

void ChameleonButtonModel::shown(int width, int height)
{
    m_w = width;
    m_h = height;
    layout();
    m_drawAllowed = true;
    redraw(0, true);
}

void ChameleonButtonModel::hidden()
{
    m_drawAllowed = false;
}

void ChameleonButtonModel::resized(int width, int height)
{
    m_w = width;
    m_h = height;
    layout();
    if (m_h > 0)
        redraw(0, true);
}

void ChameleonButtonModel::ambientChanged(const Ambient& a)
{
    m_ambient = a;
    if (m_scheme != 2)
        redraw(m_lastState, true);
}

void ChameleonButtonModel::setDisplayAsDefault(bool on)
{
    if (m_default == on)
        return;
    m_default = on;
    redraw(m_lastState, true);
}

} // namespace sonaveil::controls
