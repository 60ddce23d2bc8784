#pragma once

// The edit box inside a painted control (the time entry's text, the combo box's text): it has
// the focus when the control has, so a screen reader meets it first. It speaks for its control:
// the control's name and role, and its own text with caret and selection.

#include <QAccessibleWidget>
#include <QLineEdit>

namespace sonaveil::controls {

// The control of kind Control whose edit box (`edit`) `object` is; nullptr for any other object.
template <typename Control>
Control* controlOfEdit(QObject* object, QLineEdit* (Control::*edit)() const)
{
    auto* box = qobject_cast<QLineEdit*>(object);
    auto* control = box ? qobject_cast<Control*>(box->parentWidget()) : nullptr;
    return control && (control->*edit)() == box ? control : nullptr;
}

class InnerEditAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    InnerEditAccessible(QLineEdit* edit, QAccessible::Role role);

    void* interface_cast(QAccessible::InterfaceType t) override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;

    // QAccessibleTextInterface: the edit box's text as shown.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

protected:
    QLineEdit* edit() const;
    // The control that holds the edit box.
    QAccessibleInterface* owner() const;
};

} // namespace sonaveil::controls
