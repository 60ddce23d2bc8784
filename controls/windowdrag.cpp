#include "controls/windowdrag.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace sonaveil::controls {

WindowDrag::WindowDrag(QWidget* window)
    : QObject(window)
    , m_window(window)
{
    window->installEventFilter(this);
}

bool WindowDrag::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton)
            break;
        m_dragging = false;
        QWindow* handle = m_window->windowHandle();
        if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) && handle && handle->startSystemMove())
            break;
        m_dragging = true;
        m_offset = e->globalPosition().toPoint() - m_window->frameGeometry().topLeft();
        break;
    }
    case QEvent::MouseMove: {
        const auto* e = static_cast<QMouseEvent*>(event);
        if (m_dragging && (e->buttons() & Qt::LeftButton))
            m_window->move(e->globalPosition().toPoint() - m_offset);
        break;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            m_dragging = false;
        break;
    default:
        break;
    }
    return false;
}

} // namespace sonaveil::controls
