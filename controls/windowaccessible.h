#pragma once

#include <QAccessible>

class QWidget;

namespace sonaveil::controls {

// Gives a top-level window of ours the role a screen reader announces it by: Window (a frame)
// for a program's main window, Dialog for the windows it opens. A plain QWidget window would
// otherwise be read as a "filler".
void setWindowRole(QWidget* window, QAccessible::Role role);

} // namespace sonaveil::controls
