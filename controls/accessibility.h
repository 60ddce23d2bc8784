#pragma once

// What screen readers see of the painted controls. Each control's QAccessibleInterface lives in
// <control>accessible.cpp; one factory hands them out. Every control's constructor installs the
// factory, so a program only has to build its windows.
//
// Names: a window names a control that shows no caption of its own with
// QWidget::setAccessibleName ("White Noise volume"); without one, a captioned control is named by
// its caption (the "&" of the access key removed) and any other by the QLabel whose buddy it is.

#include <QAccessible>
#include <QString>
#include <QVariant>

class QWidget;

namespace sonaveil::controls {

// Installs the factory of the controls' interfaces once; later calls do nothing.
void installAccessibility();
// Installs `factory` (of a program's own widgets) once; later calls with it do nothing.
void installAccessibleFactory(QAccessible::InterfaceFactory factory);

// A caption as a screen reader reads it: "&&" becomes "&", a lone "&" goes.
QString withoutAccessKeyMark(const QString& caption);
// The name of a control without caption: its accessible name, else the text of the label that
// names it as its buddy, else its tool tip.
QString labelledName(const QWidget* widget);
// The control's description (its accessible description, else its tip), or nothing when that
// only repeats `name`: a name taken from the tip is read once.
QString descriptionBesides(const QWidget* widget, const QString& name);

// Announcements, sent while an assistive technology listens.
void announceValue(QWidget* widget, const QVariant& value);
void announceState(QWidget* widget, QAccessible::State changed);
void announce(QWidget* widget, QAccessible::Event event);
// Whether anybody listens: a screen reader, or a listener given below.
bool announcing();

// Hands every announcement to `listener` instead of the desktop (nullptr: the desktop again).
// Platforms without an accessibility bridge, like the offscreen one of the tests, drop events.
using AnnouncementListener = void (*)(QAccessibleEvent*);
void listenToAnnouncements(AnnouncementListener listener);

} // namespace sonaveil::controls
