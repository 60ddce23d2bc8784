#include "controls/windowaccessible.h"

#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace sonaveil::controls {
namespace {

constexpr const char* kRoleProperty = "sonaveilWindowRole";

QAccessibleInterface* windowFactory(const QString&, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    const QVariant role = object->property(kRoleProperty);
    auto* widget = static_cast<QWidget*>(object);
    if (!role.isValid() || !widget->isWindow())
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Role(role.toInt()));
}

} // namespace

void setWindowRole(QWidget* window, QAccessible::Role role)
{
    static const bool installed = [] {
        QAccessible::installFactory(windowFactory);
        return true;
    }();
    (void)installed;
    window->setProperty(kRoleProperty, int(role));
}

} // namespace sonaveil::controls
