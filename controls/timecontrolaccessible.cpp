// Screen-reader interface of the time entry: a spin box named by its label, whose value is the
// part being set (hours, minutes, seconds or AM/PM) with that part's range, as the spin button
// beside the text has it; the whole time is its text. Its edit box, which holds the focus,
// speaks for it.

#include "controls/accessibility.h"
#include "controls/accessibleedit.h"
#include "controls/accessibleparts.h"
#include "controls/steppedaccessible.h"
#include "controls/timecontrol.h"

#include <QCoreApplication>
#include <QLineEdit>

namespace sonaveil::controls {
namespace {

// What the arrows and digits set now.
QString partDescription(int part)
{
    switch (part) {
    case TimeControlModel::Hours: return QCoreApplication::translate("sonaveil::controls::TimeControl", "Setting the hours");
    case TimeControlModel::Minutes: return QCoreApplication::translate("sonaveil::controls::TimeControl", "Setting the minutes");
    case TimeControlModel::Seconds: return QCoreApplication::translate("sonaveil::controls::TimeControl", "Setting the seconds");
    default: return QCoreApplication::translate("sonaveil::controls::TimeControl", "Setting AM or PM");
    }
}

// The value of the selected part, shared by the control and its edit box.
class TimeValue : public QAccessibleValueInterface {
public:
    explicit TimeValue(TimeControl* c) : m_control(c) {}

    QVariant currentValue() const override
    {
        const auto& model = m_control->model();
        switch (model.selectedPart()) {
        case TimeControlModel::Hours: return model.H();
        case TimeControlModel::Minutes: return model.Min();
        case TimeControlModel::Seconds: return model.S();
        default: return model.H() >= 12 ? 1 : 0;
        }
    }
    void setCurrentValue(const QVariant& value) override
    {
        if (!m_control->isEnabled())
            return;
        auto& model = m_control->model();
        const int v = std::clamp(value.toInt(), 0, model.spinMax());
        if (v != currentValue().toInt())
            model.spinChanged(v);
    }
    QVariant maximumValue() const override { return m_control->model().spinMax(); }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

protected:
    TimeControl* m_control;
};

class TimeControlAccessible : public SteppedAccessible, public TimeValue {
public:
    explicit TimeControlAccessible(TimeControl* c) : SteppedAccessible(c, QAccessible::SpinBox, "Up", "Down"), TimeValue(c) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: return labelledName(widget());
        case QAccessible::Value: return m_control->text();
        case QAccessible::Description: {
            const QString own = QAccessibleWidget::text(t);
            const QString part = partDescription(m_control->model().selectedPart());
            return own.isEmpty() ? part : own + QStringLiteral(". ") + part;
        }
        default: return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.focused = m_control->textBox()->hasFocus();
        return s;
    }

    // The spin button is the value interface's; only the edit box is a child.
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(m_control->textBox()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child->object() == m_control->textBox() ? 0 : -1;
    }
    QAccessibleInterface* focusChild() const override
    {
        return m_control->textBox()->hasFocus() ? child(0) : nullptr;
    }


protected:
    void stepBy(int steps) override
    {
        if (steps > 0)
            m_control->model().spinUp();
        else
            m_control->model().spinDown();
    }
};

class TimeTextAccessible : public InnerEditAccessible, public TimeValue {
public:
    TimeTextAccessible(QLineEdit* edit, TimeControl* c) : InnerEditAccessible(edit, QAccessible::SpinBox), TimeValue(c) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return InnerEditAccessible::interface_cast(t);
    }
};

} // namespace

QAccessibleInterface* timeControlAccessible(const QString&, QObject* object)
{
    if (auto* c = qobject_cast<TimeControl*>(object))
        return new TimeControlAccessible(c);
    if (auto* c = controlOfEdit(object, &TimeControl::textBox))
        return new TimeTextAccessible(c->textBox(), c);
    return nullptr;
}

} // namespace sonaveil::controls
