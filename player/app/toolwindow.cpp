#include "player/app/toolwindow.h"
#include "controls/windowaccessible.h"

#include "controls/multibuttonwidget.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace sonaveil::player {

namespace {
const QColor kText(246, 236, 216);
}

void ToolWindow::lightText(QWidget* widget)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, kText);
    widget->setPalette(pal);
}

QLabel* ToolWindow::lightLabel(const QString& text, QWidget* parent, int pointDelta, bool bold)
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

controls::Multibutton* ToolWindow::makeButton(const QString& name, const QString& caption, int width, QWidget* parent)
{
    auto* b = makeWindowButton(name, caption, width, parent);
    m_buttons[name] = b;
    return b;
}

controls::Multibutton* ToolWindow::button(const QString& name) const
{
    const auto it = m_buttons.find(name);
    return it == m_buttons.end() ? nullptr : it->second;
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
