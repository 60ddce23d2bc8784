// Screen-reader interface of the level meter: a progress bar named "Recording level" whose value
// is the louder channel in percent of full scale; its text gives both channels.

#include "recorder/app/levelmeter.h"

#include "controls/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>

namespace sonaveil::recorder {
namespace {

class LevelMeterAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit LevelMeterAccessible(LevelMeter* m) : QAccessibleWidget(m, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return QCoreApplication::translate("sonaveil::recorder::LevelMeter", "Recording level");
        if (t == QAccessible::Value) {
            const auto p = meter()->levelPercent();
            return QCoreApplication::translate("sonaveil::recorder::LevelMeter", "Left %1 %, right %2 %").arg(p[0]).arg(p[1]);
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        return s;
    }

    QVariant currentValue() const override
    {
        const auto p = meter()->levelPercent();
        return std::max(p[0], p[1]);
    }
    // A meter shows; nobody sets it.
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    LevelMeter* meter() const { return static_cast<LevelMeter*>(widget()); }
};

QAccessibleInterface* levelMeterFactory(const QString&, QObject* object)
{
    if (auto* m = qobject_cast<LevelMeter*>(object))
        return new LevelMeterAccessible(m);
    return nullptr;
}

} // namespace

void installLevelMeterAccessibility()
{
    controls::installAccessibleFactory(levelMeterFactory);
}

} // namespace sonaveil::recorder
