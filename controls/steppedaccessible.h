#pragma once

#include <QAccessibleWidget>
#include <QWidget>

namespace sonaveil::controls {

// A screen-reader interface with the increase and decrease actions, while the control is
// enabled, each bound to the key that does the same (a slider, a time entry).
class SteppedAccessible : public QAccessibleWidget {
public:
    SteppedAccessible(QWidget* w, QAccessible::Role role, const char* increaseKey, const char* decreaseKey)
        : QAccessibleWidget(w, role), m_increaseKey(increaseKey), m_decreaseKey(decreaseKey)
    {
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (widget()->isEnabled())
            names << increaseAction() << decreaseAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (!widget()->isEnabled())
            return;
        if (action == increaseAction())
            stepBy(1);
        else if (action == decreaseAction())
            stepBy(-1);
        else
            QAccessibleWidget::doAction(action);
    }

    QStringList keyBindingsForAction(const QString& action) const override
    {
        if (action == increaseAction())
            return {QString::fromLatin1(m_increaseKey)};
        if (action == decreaseAction())
            return {QString::fromLatin1(m_decreaseKey)};
        return {};
    }

protected:
    // Up by one step (1) or down (-1).
    virtual void stepBy(int steps) = 0;

private:
    const char* m_increaseKey;
    const char* m_decreaseKey;
};

} // namespace sonaveil::controls
