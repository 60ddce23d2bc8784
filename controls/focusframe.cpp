#include "controls/focusframe.h"

#include <QPainter>
#include <QPen>

namespace sonaveil::controls {

bool FocusFrame::keyPressed()
{
    const bool appeared = !m_visible;
    m_visible = true;
    return appeared;
}

void FocusFrame::paint(QPainter& p, const QRect& r, const QColor& color, int inset)
{
    const QRect outer = r.adjusted(inset, inset, -inset - 1, -inset - 1);
    if (outer.width() < 2 || outer.height() < 2)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(color, 1));
    p.drawRect(outer);
    // The second line keeps the frame visible where the face has the text colour's brightness.
    const QColor other = color.lightness() < 128 ? QColor(255, 255, 255) : QColor(0, 0, 0);
    QPen dots(other, 1, Qt::DotLine);
    p.setPen(dots);
    const QRect inner = outer.adjusted(1, 1, -1, -1);
    if (inner.width() >= 2 && inner.height() >= 2)
        p.drawRect(inner);
    p.restore();
}

} // namespace sonaveil::controls
