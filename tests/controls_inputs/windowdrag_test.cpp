#include "controls/windowdrag.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

using sonaveil::controls::WindowDrag;

namespace {

void send(QWidget* window, QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(global - window->frameGeometry().topLeft()), QPointF(global), button, buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(window, &e);
}

} // namespace

TEST(WindowDrag, TheWindowFollowsALeftDragFromWhereItIsHeldUntilTheRelease)
{
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setGeometry(100, 100, 200, 80);
    new WindowDrag(&window);
    const QPoint start = window.frameGeometry().topLeft();
    const QPoint held = start + QPoint(30, 20);

    // Moving with no press before it, or after a right press, leaves the window where it is.
    send(&window, QEvent::MouseMove, held + QPoint(5, 5), Qt::NoButton, Qt::LeftButton);
    send(&window, QEvent::MouseButtonPress, held, Qt::RightButton, Qt::RightButton);
    send(&window, QEvent::MouseMove, held + QPoint(5, 5), Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(window.frameGeometry().topLeft(), start);

    send(&window, QEvent::MouseButtonPress, held, Qt::LeftButton, Qt::LeftButton);
    for (const QPoint by : {QPoint(7, 3), QPoint(50, 40), QPoint(-20, -10)}) {
        send(&window, QEvent::MouseMove, held + by, Qt::NoButton, Qt::LeftButton);
        EXPECT_EQ(window.frameGeometry().topLeft(), start + by);
    }

    send(&window, QEvent::MouseButtonRelease, held + QPoint(-20, -10), Qt::LeftButton, Qt::NoButton);
    send(&window, QEvent::MouseMove, held + QPoint(90, 90), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(window.frameGeometry().topLeft(), start + QPoint(-20, -10));
}
