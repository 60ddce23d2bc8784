#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QString>

// The main window's look, shared by the files that build its parts.
namespace sonaveil::player::mainlook {

inline const QColor kText(246, 236, 216);

// A label in the window's light text colour.
inline QLabel* label(const QString& text, QWidget* parent, bool bold = false)
{
    auto* l = new QLabel(text, parent);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, kText);
    l->setPalette(pal);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

} // namespace sonaveil::player::mainlook
