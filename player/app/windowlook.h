#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QString>

namespace sonaveil::lumidot {
class LCD;
}

// The look the player's windows share.
namespace sonaveil::player::look {

// Text on the windows' dark faces.
inline const QColor kText(246, 236, 216);

// The columns and rows of the main window's sound pages, the built-in ones and the user's own,
// so that the headings above fit every page.
inline constexpr int kCaptionWidth = 150;
inline constexpr int kSliderWidth = 172;
inline constexpr int kColumnGap = 10;
inline constexpr int kRowHeight = 23;
inline constexpr int kPageRows = 12;

// Gives `widget` the light text colour.
inline void lightText(QWidget* widget)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, kText);
    widget->setPalette(pal);
}

// A label in light text, `pointDelta` points larger and bold when asked.
inline QLabel* lightLabel(const QString& text, QWidget* parent, int pointDelta = 0, bool bold = false)
{
    auto* l = new QLabel(text, parent);
    lightText(l);
    if (pointDelta || bold) {
        QFont f = l->font();
        f.setPointSize(f.pointSize() + pointDelta);
        f.setBold(bold);
        l->setFont(f);
    }
    return l;
}

// A label in light text, of the window's size.
inline QLabel* label(const QString& text, QWidget* parent, bool bold = false)
{
    return lightLabel(text, parent, 0, bold);
}

// The dot-matrix display of a window, `rows` by `columns`, in the palette the colour presets
// paint; nullptr when the display library cannot make one.
lumidot::LCD* display(QWidget* parent, int rows, int columns);

} // namespace sonaveil::player::look
