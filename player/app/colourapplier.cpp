#include "player/app/colourapplier.h"

#include "controls/chameleonbuttonwidget.h"
#include "controls/multibuttonwidget.h"
#include "controls/paintqt.h"
#include "controls/ucsliderwidget.h"
#include "player/app/borderlesswindow.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

#include <algorithm>

namespace sonaveil::player {

using controls::fromQColor;
using controls::toQColor;

namespace {

// Over a picture the panels stay translucent so that it shows through.
constexpr int kPanelAlphaOverPicture = 120;

std::optional<QColor> qcolour(const ColourScheme& s, SchemeColour which)
{
    const auto c = s.colour(which);
    if (!c)
        return std::nullopt;
    return toQColor(*c);
}

void setTextColour(QWidget* w, const QColor& c)
{
    QPalette pal = w->palette();
    if (pal.color(QPalette::WindowText) == c)
        return;
    pal.setColor(QPalette::WindowText, c);
    w->setPalette(pal);
}

void recolourOne(QWidget* w, const WindowColours& c)
{
    if (auto* b = qobject_cast<controls::Multibutton*>(w)) {
        if (c.buttonText)
            b->setForeColor(fromQColor(*c.buttonText));
        if (c.buttonBack)
            b->setBackColor(fromQColor(*c.buttonBack));
        // A button that stays down (a page, a switch) shows its own checked face, on which its
        // caption can be read; a rollover colour would make the check a shade of the face.
        if (b->checkBoxMode())
            b->setRolloverColor(std::nullopt);
        else
            b->setRolloverColor(c.rollover ? fromQColor(*c.rollover) : hoverFace(b->backColor(), b->foreColor()));
        return;
    }
    if (auto* b = qobject_cast<controls::ChameleonButton*>(w)) {
        b->setColorScheme(2);
        if (c.buttonText) {
            b->setForeColor(fromQColor(*c.buttonText));
            b->setForeOver(fromQColor(*c.buttonText));
        }
        if (c.buttonBack) {
            b->setBackColor(fromQColor(*c.buttonBack));
            b->setBackOver(fromQColor(c.rollover ? *c.rollover : *c.buttonBack));
        } else if (c.rollover) {
            b->setBackOver(fromQColor(*c.rollover));
        }
        return;
    }
    if (auto* s = qobject_cast<controls::UcSlider*>(w)) {
        if (c.gradient1)
            s->setGradientColor1(fromQColor(*c.gradient1));
        if (c.gradient2)
            s->setGradientColor2(fromQColor(*c.gradient2));
        return;
    }
    if (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QGroupBox*>(w)) {
        if (c.text)
            setTextColour(w, *c.text);
        return;
    }
    if (auto* p = dynamic_cast<Panel*>(w)) {
        if (c.background) {
            QColor fill = *c.background;
            if (c.picture)
                fill.setAlpha(kPanelAlphaOverPicture);
            p->setFill(fill);
        }
        return;
    }
}

void recolourTree(QWidget* w, const WindowColours& c)
{
    if (w->property(kKeepColours).toBool())
        return;
    recolourOne(w, c);
    for (QObject* child : w->children()) {
        auto* cw = qobject_cast<QWidget*>(child);
        if (cw && !cw->isWindow())
            recolourTree(cw, c);
    }
}

} // namespace

ColorValue hoverFace(ColorValue back, ColorValue text)
{
    auto luma = [](ColorValue c) { return 0.2126 * redOf(c) + 0.7152 * greenOf(c) + 0.0722 * blueOf(c); };
    const int target = luma(text) > luma(back) ? 0 : 255;
    auto mix = [target](int v) { return int(v + (target - v) / 5.0 + (target > v ? 0.5 : -0.5)); };
    return rgb(mix(redOf(back)), mix(greenOf(back)), mix(blueOf(back)));
}

WindowColours WindowColours::of(const ColourScheme& s)
{
    WindowColours c;
    c.buttonText = qcolour(s, SchemeColour::ButtonText);
    c.buttonBack = qcolour(s, SchemeColour::ButtonBack);
    c.rollover = qcolour(s, SchemeColour::Rollover);
    c.gradient1 = qcolour(s, SchemeColour::Gradient1);
    c.gradient2 = qcolour(s, SchemeColour::Gradient2);
    c.text = qcolour(s, SchemeColour::Text);
    c.background = qcolour(s, SchemeColour::Background);
    c.form = qcolour(s, SchemeColour::Form);
    c.picture = s.imageFlag != 0;
    return c;
}

void recolour(QWidget* window, const WindowColours& colours)
{
    if (!window)
        return;
    if (colours.text)
        setTextColour(window, *colours.text);
    for (QObject* child : window->children()) {
        auto* cw = qobject_cast<QWidget*>(child);
        if (cw && !cw->isWindow())
            recolourTree(cw, colours);
    }
    if (auto* b = dynamic_cast<BorderlessWindow*>(window)) {
        // Without a form colour the picture stays: the window never turns blank.
        const bool plain = !colours.picture && colours.form;
        if (plain)
            b->setFormColour(*colours.form);
        b->setShowPicture(!plain);
        b->coloursApplied(colours);
    }
}

void ColourApplier::attach(QWidget* window)
{
    if (!window)
        return;
    const bool known = std::any_of(m_windows.begin(), m_windows.end(),
                                   [window](const QPointer<QWidget>& w) { return w == window; });
    if (!known)
        m_windows.emplace_back(window);
    if (m_active)
        apply(window);
}

void ColourApplier::apply()
{
    m_active = true;
    for (QWidget* w : windows())
        apply(w);
}

void ColourApplier::apply(QWidget* window) const
{
    recolour(window, WindowColours::of(m_held));
}

std::vector<QWidget*> ColourApplier::windows() const
{
    std::vector<QWidget*> alive;
    for (const QPointer<QWidget>& w : m_windows)
        if (w)
            alive.push_back(w);
    return alive;
}

} // namespace sonaveil::player
