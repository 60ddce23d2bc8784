// Screen-reader interface of the drop-down list: a combo box named by its label, whose value is
// the chosen text, or the highlighted row while the list is open; expanded while open; the
// press action opens and closes the list. Its edit box speaks for it.

#include "controls/accessibility.h"
#include "controls/accessibleedit.h"
#include "controls/accessibleparts.h"
#include "controls/scombobox.h"

#include <QLineEdit>

namespace sonaveil::controls {
namespace {

class SComboBoxAccessible : public QAccessibleWidget {
public:
    explicit SComboBoxAccessible(SComboBox* c) : QAccessibleWidget(c, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return labelledName(widget());
        if (t == QAccessible::Value)
            return shownText(combo());
        if (t == QAccessible::Description)
            return descriptionBesides(widget(), labelledName(widget()));
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = combo()->model().isOpen();
        s.collapsed = !s.expanded;
        s.hasPopup = true;
        s.focused = combo()->hasFocus() || combo()->editBox()->hasFocus();
        return s;
    }

    int childCount() const override { return editShown() ? 1 : 0; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 && editShown() ? QAccessible::queryAccessibleInterface(combo()->editBox()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && editShown() && child->object() == combo()->editBox() ? 0 : -1;
    }
    QAccessibleInterface* focusChild() const override
    {
        return combo()->editBox()->hasFocus() ? child(0) : nullptr;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (widget()->isEnabled())
            names << showMenuAction() << pressAction();
        return names + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override
    {
        if (!widget()->isEnabled())
            return;
        if (action == showMenuAction() || action == pressAction())
            combo()->model().key(SComboBoxModel::Key::F4);
        else
            QAccessibleWidget::doAction(action);
    }
    QStringList keyBindingsForAction(const QString& action) const override
    {
        if (action == showMenuAction() || action == pressAction())
            return {QStringLiteral("F4")};
        return {};
    }

    // The text a listener needs now: the highlighted row of the open list, else the choice.
    static QString shownText(SComboBox* c)
    {
        auto& model = c->model();
        if (model.isOpen()) {
            if (const auto* item = model.item(model.highlighted()))
                return QString::fromStdString(item->text);
        }
        return c->text();
    }

private:
    SComboBox* combo() const { return static_cast<SComboBox*>(widget()); }
    bool editShown() const { return combo()->model().Style == 0; }
};

} // namespace

QAccessibleInterface* comboBoxAccessible(const QString&, QObject* object)
{
    if (auto* c = qobject_cast<SComboBox*>(object))
        return new SComboBoxAccessible(c);
    if (auto* c = controlOfEdit(object, &SComboBox::editBox))
        return new InnerEditAccessible(c->editBox(), QAccessible::EditableText);
    return nullptr;
}

} // namespace sonaveil::controls
