#include "player/app/toolwindow.h"
#include "controls/windowaccessible.h"

#include "controls/multibuttonwidget.h"
#include "player/app/windowlook.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace sonaveil::player {

void ToolWindow::lightText(QWidget* widget)
{
    look::lightText(widget);
}

QLabel* ToolWindow::lightLabel(const QString& text, QWidget* parent, int pointDelta, bool bold)
{
    return look::lightLabel(text, parent, pointDelta, bold);
}

ToolWindow::ToolWindow(const QString& name, const QString& title, QWidget* parent)
    : BorderlessWindow(parent)
{
    controls::setWindowRole(this, QAccessible::Dialog);
    setObjectName(name);
    setWindowTitle(title);
    lightText(this);
    m_column = new QVBoxLayout(this);
    m_column->setContentsMargins(16, 12, 16, 14);
    m_column->setSpacing(10);
    m_column->addWidget(lightLabel(title, this, 5, true));
}

void ToolWindow::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    BorderlessWindow::keyPressEvent(e);
}

void ToolWindow::showEvent(QShowEvent* e)
{
    // The first time it opens, the window comes up over the middle of the screen.
    if (!m_placed) {
        m_placed = true;
        if (QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    BorderlessWindow::showEvent(e);
}

void ToolWindow::closeEvent(QCloseEvent* e)
{
    // The window lives until the program ends; closing only hides it.
    e->ignore();
    hide();
}

} // namespace sonaveil::player
