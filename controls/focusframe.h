#pragma once

#include <QColor>
#include <QRect>
#include <Qt>

class QPainter;

namespace sonaveil::controls {

// Whether a painted control shows that it has the keyboard focus, and the frame that shows it.
// The frame appears when the focus came from the keyboard (Tab, an access key, the window
// giving it back) and after the first key pressed in the control; a mouse click alone does not
// show it, as the pressed and hot looks already say where the mouse is.
class FocusFrame {
public:
    void focusIn(Qt::FocusReason reason) { m_visible = reason != Qt::MouseFocusReason; }
    void focusOut() { m_visible = false; }
    // Returns whether the frame has just appeared.
    bool keyPressed();
    bool visible() const { return m_visible; }

    // A 1-pixel frame in `color` (the control's text colour), `inset` pixels inside `r`, with a
    // dotted line in the opposite shade just inside it so that it shows on any face.
    static void paint(QPainter& p, const QRect& r, const QColor& color, int inset = 2);

private:
    bool m_visible = false;
};

} // namespace sonaveil::controls
