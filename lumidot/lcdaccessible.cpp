#include "lumidot/lcdaccessible.h"

#include "lumidot/lcd.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace sonaveil::lumidot {
namespace {

class LcdAccessible : public QAccessibleWidget {
public:
    explicit LcdAccessible(LCD* lcd) : QAccessibleWidget(lcd, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        const LCD* lcd = static_cast<const LCD*>(widget());
        switch (t) {
        case QAccessible::Name: {
            const QString name = lcd->accessibleName();
            return name.isEmpty() ? lcd->visibleText() : name;
        }
        case QAccessible::Description:
            return lcd->accessibleName().isEmpty() ? lcd->accessibleDescription() : lcd->visibleText();
        case QAccessible::Value:
            return lcd->visibleText();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        return s;
    }
};

LcdAnnouncementListener g_listener = nullptr;

QAccessibleInterface* lcdFactory(const QString&, QObject* object)
{
    if (auto* lcd = qobject_cast<LCD*>(object))
        return new LcdAccessible(lcd);
    return nullptr;
}

} // namespace

void installLcdAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(lcdFactory);
        return true;
    }();
    (void)installed;
}

void listenToLcdAnnouncements(LcdAnnouncementListener listener)
{
    g_listener = listener;
}

bool lcdAnnouncing()
{
    return g_listener || QAccessible::isActive();
}

void sendLcdAnnouncement(QAccessibleEvent& event)
{
    if (g_listener)
        g_listener(&event);
    else
        QAccessible::updateAccessibility(&event);
}

} // namespace sonaveil::lumidot
