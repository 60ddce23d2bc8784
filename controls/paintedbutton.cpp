#include "controls/paintedbutton.h"

#include "controls/accessibility.h"
#include "controls/paintqt.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcutEvent>

namespace sonaveil::controls {

PaintedButton::PaintedButton(QWidget* parent) : QWidget(parent)
{
    installAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

PaintedButton::~PaintedButton() = default;

void PaintedButton::announceChanges()
{
    if (!announcing())
        return;
    const Announced now = announcement();
    if (now.caption != m_announced.caption && accessibleName().isEmpty())
        announce(this, QAccessible::NameChanged);
    QAccessible::State changed;
    changed.checked = now.checked != m_announced.checked;
    changed.pressed = now.pressed != m_announced.pressed;
    if (changed.checked || changed.pressed)
        announceState(this, changed);
    m_announced = now;
}

void PaintedButton::setAccessKey(char key)
{
    if (m_shortcutId != 0) {
        releaseShortcut(m_shortcutId);
        m_shortcutId = 0;
    }
    if (key != 0)
        m_shortcutId = grabShortcut(QKeySequence(QString("Alt+") + QChar(key).toUpper()));
}

bool PaintedButton::isAccessKey(const QEvent* e) const
{
    return e->type() == QEvent::Shortcut && static_cast<const QShortcutEvent*>(e)->shortcutId() == m_shortcutId;
}

bool PaintedButton::usesKey(int key) const
{
    return key == Qt::Key_Space || key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_Right
           || key == Qt::Key_Down;
}

void PaintedButton::keyPressEvent(QKeyEvent* e)
{
    // A held space bar presses once.
    if (e->key() == Qt::Key_Space && e->isAutoRepeat()) {
        e->accept();
        return;
    }
    // Tab stays with Qt's focus chain.
    if (e->key() == Qt::Key_Tab) {
        QWidget::keyPressEvent(e);
        return;
    }
    if (m_focus.keyPressed())
        update();
    keyPressed(e, keyCodeOf(e), shiftStateOf(e->modifiers()));
    e->setAccepted(usesKey(e->key()));
}

void PaintedButton::keyReleaseEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Space && e->isAutoRepeat()) {
        e->accept();
        return;
    }
    keyReleased(keyCodeOf(e), shiftStateOf(e->modifiers()));
    e->setAccepted(e->key() == Qt::Key_Space);
}

void PaintedButton::focusInEvent(QFocusEvent* e)
{
    m_focus.focusIn(e->reason());
    focusChanged(true);
}

void PaintedButton::focusOutEvent(QFocusEvent*)
{
    m_focus.focusOut();
    focusChanged(false);
}

void PaintedButton::trackPress(const QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        m_pressSinceRelease = true;
}

void PaintedButton::trackRelease(const QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        m_pressSinceRelease = false;
}

void PaintedButton::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        mousePressEvent(e);
        return;
    }
    // Some window systems deliver the second press before the double click, some only the
    // double click; the press is handled exactly once either way.
    doubleClicked(m_pressSinceRelease);
    m_pressSinceRelease = true;
}

} // namespace sonaveil::controls
