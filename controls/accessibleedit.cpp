#include "controls/accessibleedit.h"

#include <QLineEdit>

namespace sonaveil::controls {

InnerEditAccessible::InnerEditAccessible(QLineEdit* edit, QAccessible::Role role)
    : QAccessibleWidget(edit, role)
{
}

void* InnerEditAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

QLineEdit* InnerEditAccessible::edit() const
{
    return static_cast<QLineEdit*>(widget());
}

QAccessibleInterface* InnerEditAccessible::owner() const
{
    return widget()->parentWidget() ? QAccessible::queryAccessibleInterface(widget()->parentWidget()) : nullptr;
}

QString InnerEditAccessible::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Name:
    case QAccessible::Description:
    case QAccessible::Help:
        if (!widget()->accessibleName().isEmpty() && t == QAccessible::Name)
            return widget()->accessibleName();
        return owner() ? owner()->text(t) : QString();
    case QAccessible::Value:
        return edit()->text();
    default:
        return QAccessibleWidget::text(t);
    }
}

QAccessible::State InnerEditAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.editable = !edit()->isReadOnly();
    s.readOnly = edit()->isReadOnly();
    s.selectableText = true;
    return s;
}

void InnerEditAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !edit()->hasSelectedText())
        return;
    *startOffset = int(edit()->selectionStart());
    *endOffset = *startOffset + int(edit()->selectedText().size());
}

int InnerEditAccessible::selectionCount() const
{
    return edit()->hasSelectedText() ? 1 : 0;
}

void InnerEditAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void InnerEditAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0 && !edit()->isReadOnly())
        edit()->deselect();
}

void InnerEditAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    // A read-only box shows the selection its control chose; only an editable one follows.
    if (selectionIndex != 0 || edit()->isReadOnly())
        return;
    edit()->setSelection(startOffset, endOffset - startOffset);
}

int InnerEditAccessible::cursorPosition() const
{
    return int(edit()->cursorPosition());
}

void InnerEditAccessible::setCursorPosition(int position)
{
    if (!edit()->isReadOnly())
        edit()->setCursorPosition(position);
}

QString InnerEditAccessible::text(int startOffset, int endOffset) const
{
    const QString all = edit()->text();
    startOffset = std::clamp(startOffset, 0, int(all.size()));
    endOffset = endOffset < 0 ? int(all.size()) : std::clamp(endOffset, startOffset, int(all.size()));
    return all.mid(startOffset, endOffset - startOffset);
}

int InnerEditAccessible::characterCount() const
{
    return int(edit()->text().size());
}

QRect InnerEditAccessible::characterRect(int offset) const
{
    const QString all = edit()->text();
    if (offset < 0 || offset >= all.size())
        return {};
    const QFontMetrics fm(edit()->font());
    const QRect box = edit()->contentsRect();
    const int left = box.left() + edit()->textMargins().left() + 1;
    const int x = left + fm.horizontalAdvance(all.left(offset));
    const QRect local(x, box.top() + (box.height() - fm.height()) / 2, fm.horizontalAdvance(all.at(offset)), fm.height());
    return QRect(edit()->mapToGlobal(local.topLeft()), local.size());
}

int InnerEditAccessible::offsetAtPoint(const QPoint& point) const
{
    return int(edit()->cursorPositionAt(edit()->mapFromGlobal(point)));
}

void InnerEditAccessible::scrollToSubstring(int, int)
{
}

QString InnerEditAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    *startOffset = 0;
    *endOffset = characterCount();
    (void)offset;
    return {};
}

} // namespace sonaveil::controls
