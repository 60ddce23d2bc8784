// Screen-reader interfaces of the slider and the system volume bar: a slider with its name, its
// value (current, minimum, maximum, step; settable) and the increase and decrease actions.

#include "controls/accessibility.h"
#include "controls/accessibleparts.h"
#include "controls/mastervolume.h"
#include "controls/steppedaccessible.h"
#include "controls/ucsliderwidget.h"

#include <QAccessibleWidget>
#include <QCoreApplication>

namespace sonaveil::controls {
namespace {

class RangeAccessible : public SteppedAccessible, public QAccessibleValueInterface {
public:
    explicit RangeAccessible(QWidget* w) : SteppedAccessible(w, QAccessible::Slider, "Right", "Left") {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return labelledName(widget());
        if (t == QAccessible::Value)
            return valueText();
        if (t == QAccessible::Description)
            return descriptionBesides(widget(), labelledName(widget()));
        return QAccessibleWidget::text(t);
    }

    QVariant minimumStepSize() const override { return step(); }

protected:
    virtual QString valueText() const = 0;
    virtual int step() const = 0;
};

class UcSliderAccessible : public RangeAccessible {
public:
    explicit UcSliderAccessible(UcSlider* s) : RangeAccessible(s) {}

    QVariant currentValue() const override { return slider()->value(); }
    void setCurrentValue(const QVariant& value) override
    {
        if (slider()->isEnabled())
            slider()->setValue(value.toLongLong());
    }
    QVariant maximumValue() const override { return slider()->maximum(); }
    QVariant minimumValue() const override { return slider()->minimum(); }

protected:
    UcSlider* slider() const { return static_cast<UcSlider*>(widget()); }
    QString valueText() const override { return QString::number(slider()->value()); }
    int step() const override { return std::max(1, slider()->smallChange()); }
    void stepBy(int steps) override { slider()->setValue(qint64(slider()->value()) + qint64(steps) * step()); }
};

class MasterVolumeAccessible : public RangeAccessible {
public:
    explicit MasterVolumeAccessible(MasterVolume* v) : RangeAccessible(v) {}

    QVariant currentValue() const override { return bar()->value(); }
    void setCurrentValue(const QVariant& value) override
    {
        if (bar()->isEnabled())
            bar()->model().stepBy(std::clamp(value.toInt(), 0, 100) - bar()->value());
    }
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }

    QStringList actionNames() const override
    {
        QStringList names = RangeAccessible::actionNames();
        if (widget()->isEnabled())
            names.insert(0, toggleAction());
        return names;
    }
    void doAction(const QString& action) override
    {
        if (action == toggleAction()) {
            if (bar()->isEnabled())
                bar()->setMute(!bar()->mute());
            return;
        }
        RangeAccessible::doAction(action);
    }
    QString localizedActionDescription(const QString& action) const override
    {
        if (action == toggleAction())
            return QCoreApplication::translate("sonaveil::controls::MasterVolume", "Mute or unmute");
        return RangeAccessible::localizedActionDescription(action);
    }
    QStringList keyBindingsForAction(const QString& action) const override
    {
        if (action == toggleAction())
            return {QStringLiteral("M")};
        return RangeAccessible::keyBindingsForAction(action);
    }

protected:
    MasterVolume* bar() const { return static_cast<MasterVolume*>(widget()); }
    QString valueText() const override
    {
        if (bar()->mute())
            return QCoreApplication::translate("sonaveil::controls::MasterVolume", "%1 %, muted").arg(bar()->value());
        return QCoreApplication::translate("sonaveil::controls::MasterVolume", "%1 %").arg(bar()->value());
    }
    int step() const override { return 1; }
    void stepBy(int steps) override
    {
        bar()->model().stepBy(steps);
    }
};

} // namespace

QAccessibleInterface* sliderAccessible(const QString&, QObject* object)
{
    if (auto* s = qobject_cast<UcSlider*>(object))
        return new UcSliderAccessible(s);
    if (auto* v = qobject_cast<MasterVolume*>(object))
        return new MasterVolumeAccessible(v);
    return nullptr;
}

} // namespace sonaveil::controls
