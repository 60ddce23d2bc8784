// Screen-reader interfaces of the two painted push buttons: a push button, or a toggle button in
// check-box mode, named by its caption, with the press (and toggle) action.

#include "controls/accessibility.h"
#include "controls/accessibleparts.h"
#include "controls/chameleonbuttonwidget.h"
#include "controls/multibuttonwidget.h"

#include <QAccessibleWidget>

#include <algorithm>

namespace sonaveil::controls {
namespace {

class PaintedButtonAccessible : public QAccessibleWidget {
public:
    explicit PaintedButtonAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: {
            if (!widget()->accessibleName().isEmpty())
                return widget()->accessibleName();
            // A caption of signs ("<<", a symbol-font letter) says nothing; the tip says what
            // the button does.
            const QString shown = withoutAccessKeyMark(caption());
            const bool speaks = std::any_of(shown.begin(), shown.end(), [](QChar c) { return c.isLetterOrNumber(); });
            if ((!speaks || symbolCaption()) && !widget()->toolTip().isEmpty())
                return widget()->toolTip();
            // Blanks a caption keeps for its looks are not read out.
            return shown.trimmed();
        }
        case QAccessible::Accelerator:
            return accessKey() ? QStringLiteral("Alt+") + QChar(accessKey()).toUpper() : QString();
        case QAccessible::Description:
            return descriptionBesides(widget(), text(QAccessible::Name));
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (checkable()) {
            s.checkable = true;
            s.checked = checked();
        }
        s.pressed = pressed();
        return s;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (widget()->isEnabled())
            names << (checkable() ? toggleAction() : pressAction());
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (!widget()->isEnabled())
            return;
        if (action == pressAction() || action == toggleAction())
            press();
        else
            QAccessibleWidget::doAction(action);
    }

    QStringList keyBindingsForAction(const QString& action) const override
    {
        if ((action == pressAction() || action == toggleAction()) && accessKey())
            return {QStringLiteral("Alt+") + QChar(accessKey()).toUpper()};
        return {};
    }

protected:
    virtual QString caption() const = 0;
    // The caption is drawn as a picture (a symbol font), not as the letters it holds.
    virtual bool symbolCaption() const { return false; }
    virtual char accessKey() const = 0;
    virtual bool checkable() const = 0;
    virtual bool checked() const = 0;
    virtual bool pressed() const = 0;
    // What the access key does: toggles in check-box mode, then raises Click.
    virtual void press() = 0;
};

class MultibuttonAccessible : public PaintedButtonAccessible {
public:
    explicit MultibuttonAccessible(Multibutton* b) : PaintedButtonAccessible(b) {}

protected:
    Multibutton* button() const { return static_cast<Multibutton*>(widget()); }
    QString caption() const override { return button()->caption(); }
    bool symbolCaption() const override
    {
        return transportSymbolOf(button()->model().font(), button()->model().caption()) != TransportSymbol::None;
    }
    char accessKey() const override { return button()->model().accessKey(); }
    bool checkable() const override { return button()->checkBoxMode(); }
    bool checked() const override { return button()->checkBoxMode() && button()->value(); }
    bool pressed() const override { return button()->model().visualState() == VisualState::Pressed; }
    void press() override { button()->model().accessKeyPressed(32); }
};

class ChameleonButtonAccessible : public PaintedButtonAccessible {
public:
    explicit ChameleonButtonAccessible(ChameleonButton* b) : PaintedButtonAccessible(b) {}

protected:
    ChameleonButton* button() const { return static_cast<ChameleonButton*>(widget()); }
    QString caption() const override { return button()->caption(); }
    char accessKey() const override { return MultibuttonModel::accessKeyOf(button()->model().caption()); }
    bool checkable() const override { return button()->checkBoxBehaviour(); }
    bool checked() const override { return button()->checkBoxBehaviour() && button()->value(); }
    bool pressed() const override { return button()->model().drawnState() == 2; }
    void press() override { button()->model().accessKey(); }
};

} // namespace

QAccessibleInterface* buttonAccessible(const QString&, QObject* object)
{
    if (auto* b = qobject_cast<Multibutton*>(object))
        return new MultibuttonAccessible(b);
    if (auto* b = qobject_cast<ChameleonButton*>(object))
        return new ChameleonButtonAccessible(b);
    return nullptr;
}

} // namespace sonaveil::controls
