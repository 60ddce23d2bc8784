#include "controls/accessibility.h"

#include "controls/accessibleparts.h"

#include <QLabel>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace sonaveil::controls {
namespace {

AnnouncementListener g_listener = nullptr;

void send(QAccessibleEvent& event)
{
    if (g_listener)
        g_listener(&event);
    else
        QAccessible::updateAccessibility(&event);
}

QAccessibleInterface* controlsFactory(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    for (auto make : {buttonAccessible, sliderAccessible, timeControlAccessible, comboBoxAccessible}) {
        if (QAccessibleInterface* iface = make(className, object))
            return iface;
    }
    return nullptr;
}

} // namespace

void installAccessibility()
{
    installAccessibleFactory(controlsFactory);
}

void installAccessibleFactory(QAccessible::InterfaceFactory factory)
{
    // Widgets are made on the interface thread only.
    static std::vector<QAccessible::InterfaceFactory> installed;
    if (std::find(installed.begin(), installed.end(), factory) != installed.end())
        return;
    installed.push_back(factory);
    QAccessible::installFactory(factory);
}

QString withoutAccessKeyMark(const QString& caption)
{
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&') {
            if (i + 1 < caption.size() && caption.at(i + 1) == u'&')
                out += u'&', ++i;
            continue;
        }
        out += caption.at(i);
    }
    return out;
}

QString labelledName(const QWidget* widget)
{
    if (!widget)
        return {};
    if (!widget->accessibleName().isEmpty())
        return widget->accessibleName();
    // A label that names this control as its buddy, among the control's siblings.
    if (const QWidget* parent = widget->parentWidget()) {
        for (const QLabel* label : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            if (label->buddy() == widget)
                return withoutAccessKeyMark(label->text());
        }
    }
    // Last, what the tip says the control is for.
    return widget->toolTip();
}

QString descriptionBesides(const QWidget* widget, const QString& name)
{
    if (!widget)
        return {};
    const QString description = !widget->accessibleDescription().isEmpty() ? widget->accessibleDescription()
                                                                             : widget->toolTip();
    return description.trimmed() == name.trimmed() ? QString() : description;
}

bool announcing()
{
    return g_listener || QAccessible::isActive();
}

void listenToAnnouncements(AnnouncementListener listener)
{
    g_listener = listener;
}

void announceValue(QWidget* widget, const QVariant& value)
{
    if (!widget || !announcing())
        return;
    QAccessibleValueChangeEvent event(widget, value);
    send(event);
}

void announceState(QWidget* widget, QAccessible::State changed)
{
    if (!widget || !announcing())
        return;
    QAccessibleStateChangeEvent event(widget, changed);
    send(event);
}

void announce(QWidget* widget, QAccessible::Event kind)
{
    if (!widget || !announcing())
        return;
    QAccessibleEvent event(widget, kind);
    send(event);
}

} // namespace sonaveil::controls
