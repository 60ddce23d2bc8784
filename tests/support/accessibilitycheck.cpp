#include "accessibilitycheck.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

namespace testing_support {
namespace {

QString describe(const QWidget* w)
{
    return QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(w->metaObject()->className()), w->objectName());
}

bool needsValue(QAccessible::Role role)
{
    return role == QAccessible::Slider || role == QAccessible::SpinBox || role == QAccessible::ScrollBar
        || role == QAccessible::ProgressBar || role == QAccessible::Dial;
}

void addText(QStringList& texts, const QString& text)
{
    const QString t = text.trimmed();
    if (!t.isEmpty() && !texts.contains(t))
        texts << t;
}

} // namespace

QStringList accessibilityProblems(QWidget* root)
{
    QStringList problems;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : widgets) {
        if (!(w->focusPolicy() & Qt::TabFocus) || w->isWindow())
            continue;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        if (!iface) {
            problems << describe(w) + QStringLiteral(": no accessible interface");
            continue;
        }
        const QAccessible::Role role = iface->role();
        if (role == QAccessible::NoRole || role == QAccessible::Client)
            problems << describe(w) + QStringLiteral(": no role of its own");
        if (iface->text(QAccessible::Name).trimmed().isEmpty())
            problems << describe(w) + QStringLiteral(": no name");
        if (needsValue(role)) {
            QAccessibleValueInterface* value = iface->valueInterface();
            if (!value)
                problems << describe(w) + QStringLiteral(": no value");
            else if (value->maximumValue().toDouble() <= value->minimumValue().toDouble()
                     && role != QAccessible::ProgressBar)
                problems << describe(w) + QStringLiteral(": an empty range");
        }
    }
    return problems;
}

QStringList shownTexts(QWidget* root)
{
    QStringList texts;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : widgets) {
        if (w->isWindow())
            addText(texts, w->windowTitle());
        addText(texts, w->toolTip());
        if (auto* label = qobject_cast<QLabel*>(w))
            addText(texts, label->text());
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            addText(texts, button->text());
        else if (auto* group = qobject_cast<QGroupBox*>(w))
            addText(texts, group->title());
        else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < combo->count(); ++i)
                addText(texts, combo->itemText(i));
        }
        if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w)) {
            addText(texts, iface->text(QAccessible::Name));
            addText(texts, iface->text(QAccessible::Description));
        }
    }
    return texts;
}

} // namespace testing_support
