#include "accessibilitycheck.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QFontMetrics>
#include <QMap>
#include <QRegularExpression>
#include <QXmlStreamReader>
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
    // A window is announced as what it is: a frame or a dialog, never a filler.
    if (root->isWindow()) {
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(root);
        const QAccessible::Role role = window ? window->role() : QAccessible::NoRole;
        if (role != QAccessible::Window && role != QAccessible::Dialog)
            problems << describe(root) + QStringLiteral(": a window announced neither as a window nor as a dialog");
    }
    for (QWidget* w : widgets) {
        if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w)) {
            // A name read out with a blank at its end, or read twice as its own description.
            const QString name = iface->text(QAccessible::Name);
            if (!name.isEmpty() && name.back().isSpace())
                problems << describe(w) + QStringLiteral(": the name \"%1\" ends in a blank").arg(name);
            if (!name.trimmed().isEmpty() && iface->text(QAccessible::Description).trimmed() == name.trimmed())
                problems << describe(w) + QStringLiteral(": its description repeats its name");
        }
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
            // A range may be empty (a position slider before the first recording); a value it has.
            QAccessibleValueInterface* value = iface->valueInterface();
            if (!value || !value->currentValue().isValid())
                problems << describe(w) + QStringLiteral(": no value");
        }
    }
    return problems;
}

QStringList shownTexts(QWidget* root, const QStringList& skipClasses)
{
    QStringList texts;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    auto skipped = [&](const QWidget* w) {
        for (; w; w = w->parentWidget()) {
            if (skipClasses.contains(QString::fromLatin1(w->metaObject()->className())))
                return true;
            if (w == root)
                break;
        }
        return false;
    };
    for (QWidget* w : widgets) {
        // Hidden controls show nothing (some only hold state).
        if (skipped(w) || (w != root && !w->isVisibleTo(root) && w->isHidden()))
            continue;
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
            if (combo->currentIndex() < 0)
                addText(texts, combo->placeholderText());
        }
        if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w)) {
            addText(texts, iface->text(QAccessible::Name));
            addText(texts, iface->text(QAccessible::Description));
            // A list shows its chosen entry.
            if (iface->role() == QAccessible::ComboBox)
                addText(texts, iface->text(QAccessible::Value));
        }
    }
    return texts;
}

QStringList cutOffCaptions(QWidget* window)
{
    QStringList out;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window))
            continue;
        const auto* label = qobject_cast<QLabel*>(w);
        const bool captioned = (label && !label->wordWrap() && !label->text().isEmpty() && label->pixmap().isNull())
                            || qobject_cast<QAbstractButton*>(w) || w->property("Caption").isValid();
        if (!captioned)
            continue;
        // The painted buttons keep a wide minimum in their size hint; their caption is what counts.
        const QVariant caption = w->property("Caption");
        const int needs = caption.isValid()
            ? QFontMetrics(w->font()).horizontalAdvance(caption.toString().remove(QLatin1Char('&'))) + 8
            : w->sizeHint().width();
        if (needs > w->width())
            out << describe(w) + QStringLiteral(": needs %1, has %2").arg(needs).arg(w->width());
    }
    return out;
}

QStringList duplicateAccessKeys(QWidget* window)
{
    QMap<QString, QStringList> byKey;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || !w->isEnabled())
            continue;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        if (!iface)
            continue;
        const QString key = iface->text(QAccessible::Accelerator).toUpper();
        if (!key.isEmpty())
            byKey[key] << iface->text(QAccessible::Name);
    }
    QStringList out;
    for (auto it = byKey.cbegin(); it != byKey.cend(); ++it) {
        if (it.value().size() > 1)
            out << it.key() + QStringLiteral(": ") + it.value().join(QStringLiteral(", "));
    }
    return out;
}

QSet<QString> keptAsTheyAre(const QString& ts)
{
    QSet<QString> kept;
    QFile file(ts);
    if (!file.open(QIODevice::ReadOnly))
        return kept;
    QXmlStreamReader xml(&file);
    QString source;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"source")
            source = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.name() == u"translation" && xml.readElementText(QXmlStreamReader::IncludeChildElements) == source)
            kept.insert(QString(source).remove(u'&').trimmed());
    }
    return kept;
}

bool isKept(const QSet<QString>& kept, const QString& text)
{
    if (kept.contains(text))
        return true;
    static const QRegularExpression marker(QStringLiteral("%\\d+"));
    for (const QString& k : kept) {
        if (!k.contains(marker))
            continue;
        QString pattern;
        qsizetype from = 0;
        for (const QRegularExpressionMatch& m : marker.globalMatch(k)) {
            pattern += QRegularExpression::escape(k.mid(from, m.capturedStart() - from)) + QStringLiteral(".+");
            from = m.capturedEnd();
        }
        pattern += QRegularExpression::escape(k.mid(from));
        if (QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(text).hasMatch())
            return true;
    }
    return false;
}

} // namespace testing_support
