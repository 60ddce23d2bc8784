#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

class QWidget;

namespace testing_support {

// What a screen reader would stumble over under root, one line each: a control that takes the
// Tab focus without a role of its own or without a name, a slider, spin box or bar without a
// value. Hidden controls are checked too: they are shown later.
QStringList accessibilityProblems(QWidget* root);

// Every text the widgets under root show or speak: window titles, accessible names and
// descriptions, tool tips, the texts of labels, buttons, group boxes and the like, and the entry
// a list shows. Widgets of the classes named in `skipClasses` (and what they hold) are left out.
QStringList shownTexts(QWidget* root, const QStringList& skipClasses = {});

// Captions that do not fit the control that shows them (a label, a button, a check box), as
// "class "name": needs W, has w" lines; the window must be shown and laid out.
QStringList cutOffCaptions(QWidget* window);

// Access keys that two controls shown in the same window share ("Alt+R: Record, Repeat"): the
// key then reaches neither.
QStringList duplicateAccessKeys(QWidget* window);

// The texts a Qt Linguist catalogue `ts` translates as themselves ("MP3", "Balance"), without
// their access-key marks.
QSet<QString> keptAsTheyAre(const QString& ts);
// Whether `text` is one of `kept`, or filled in from one with place markers ("+%1 dB" keeps "+6 dB").
bool isKept(const QSet<QString>& kept, const QString& text);

} // namespace testing_support
