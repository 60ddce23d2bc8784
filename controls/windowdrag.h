#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

namespace sonaveil::controls {

// Moves a frameless window while its background is dragged with the left button. Where the
// platform places windows itself (Wayland), the compositor is asked to move it instead. It
// watches the window's mouse events and leaves them to the window as well.
class WindowDrag : public QObject {
public:
    // Follows `window` from now on; the window owns it.
    explicit WindowDrag(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    bool m_dragging = false;
    // Where the pointer holds the window, from the window's top-left corner.
    QPoint m_offset;
};

} // namespace sonaveil::controls
