#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace testing_support {

// What a screen reader would stumble over under root, one line each: a control that takes the
// Tab focus without a role of its own or without a name, a slider, spin box or bar without a
// value (or with an empty range). Hidden controls are checked too: they are shown later.
QStringList accessibilityProblems(QWidget* root);

// Every text the widgets under root show or speak: window titles, accessible names and
// descriptions, tool tips, and the texts of labels, buttons, group boxes and the like.
QStringList shownTexts(QWidget* root);

} // namespace testing_support
