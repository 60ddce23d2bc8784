#pragma once

#include "controls/multibutton.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <string>
#include <vector>

// Pictures of the controls written while the tests run, for a person to look at.
inline QString grabFolder()
{
    const QString dir = QCoreApplication::applicationDirPath() + "/grabs/controls-buttons";
    QDir().mkpath(dir);
    return dir;
}

inline QString saveGrab(QWidget* w, const QString& name)
{
    const QString path = grabFolder() + "/" + name + ".png";
    const QPixmap pixmap = w->grab();
    pixmap.save(path);
    // An enlarged copy, pixel for pixel, for looking at the shading.
    pixmap.scaled(pixmap.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .save(grabFolder() + "/" + name + "-x4.png");
    return path;
}

// A mouse move with the given buttons held, delivered as the window system would.
inline void sendMove(QWidget* w, QPoint pos, Qt::MouseButtons buttons = Qt::NoButton)
{
    QMouseEvent e(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

inline void sendEnter(QWidget* w, QPoint pos)
{
    QEnterEvent e(pos, pos, w->mapToGlobal(pos));
    QApplication::sendEvent(w, &e);
}

inline void sendLeave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

// The second press of a double click followed by the double click itself, as X11 and Wayland
// deliver them.
inline void sendPressAndDoubleClick(QWidget* w, QPoint pos)
{
    QMouseEvent press(QEvent::MouseButtonPress, pos, w->mapToGlobal(pos), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, pos, w->mapToGlobal(pos), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &dbl);
}

inline void sendRelease(QWidget* w, QPoint pos, Qt::MouseButton b = Qt::LeftButton)
{
    QMouseEvent e(QEvent::MouseButtonRelease, pos, w->mapToGlobal(pos), b, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Records the events a button model raises to its host, in order, and counts the redraws; a
// test's recorder adds the events of its own kind of button.
template <class Host>
class EventRecorder : public Host {
public:
    std::vector<std::string> events;
    int redraws = 0;
    void Click() override { events.push_back("Click"); }
    void MouseDown(sonaveil::controls::MouseArgs&) override { events.push_back("MouseDown"); }
    void MouseUp(sonaveil::controls::MouseArgs&) override { events.push_back("MouseUp"); }
    void KeyDown(int& k, int&) override { events.push_back("KeyDown " + std::to_string(k)); }
    void KeyUp(int& k, int&) override { events.push_back("KeyUp " + std::to_string(k)); }
    void redraw() override { ++redraws; }
};
