#pragma once

#include "player/colours/colourscheme.h"

#include <QColor>
#include <QPointer>
#include <QWidget>

#include <optional>
#include <vector>

namespace sonaveil::player {

// The colours a scheme gives a window; a missing one leaves what it would paint as it is.
struct WindowColours {
    std::optional<QColor> buttonText;
    std::optional<QColor> buttonBack;
    std::optional<QColor> rollover;
    std::optional<QColor> gradient1;
    std::optional<QColor> gradient2;
    std::optional<QColor> text;
    std::optional<QColor> background;
    std::optional<QColor> form;
    // The background picture, or (false) the form colour in its place.
    bool picture = true;

    static WindowColours of(const ColourScheme& scheme);
};

// The hover face of a push button whose scheme names no rollover colour: its back colour a fifth of
// the way away from its text colour (towards black under a light text, towards white under a dark
// one), so that the caption stays readable while the mouse is over it.
ColorValue hoverFace(ColorValue back, ColorValue text);

// A widget with this property set to true keeps its colours, and so does everything in it (the
// colour editor's swatches, for instance).
inline constexpr const char* kKeepColours = "keepColours";

// A window's docolors: recolours the window and every control in it. Push buttons take the
// button text, back and rollover colours; sliders the two gradient colours; labels, check boxes
// and option buttons the text colour; panels the background colour (translucent over the
// picture, solid over the form colour); a borderless window shows the form colour in place of
// its picture when the scheme says so. Other windows owned by it are left to their own call.
void recolour(QWidget* window, const WindowColours& colours);

// The held scheme and the windows that follow it.
class ColourApplier {
public:
    explicit ColourApplier(const ColourScheme& held) : m_held(held) {}

    // The one call a window needs to follow the colour scheme: it is recoloured at once (once the
    // start-up has taken the scheme) and at every later apply(). A destroyed window drops out.
    void attach(QWidget* window);
    // docolors on every attached window.
    void apply();
    // docolors on one window.
    void apply(QWidget* window) const;

    // The attached windows that still exist.
    std::vector<QWidget*> windows() const;

private:
    const ColourScheme& m_held;
    std::vector<QPointer<QWidget>> m_windows;
    bool m_active = false;
};

} // namespace sonaveil::player
