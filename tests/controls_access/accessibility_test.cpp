// What a screen reader finds on each painted control: role, name, state, actions, value, and
// the events that tell it about changes.

#include "accessibilitycheck.h"
#include "controls/windowaccessible.h"
#include "controls/accessibility.h"
#include "controls/chameleonbuttonwidget.h"
#include "controls/mastervolume.h"
#include "controls/multibuttonwidget.h"
#include "controls/scombobox.h"
#include "controls/timecontrol.h"
#include "controls/ucsliderwidget.h"
#include "lumidot/lcd.h"
#include "lumidot/lcdaccessible.h"
#include "platform/fakesystemvolume.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <vector>

using namespace sonaveil;
using namespace sonaveil::controls;

namespace {

struct Heard {
    QObject* object;
    QAccessible::Event type;
    QVariant value;
    QAccessible::State changed;
};
std::vector<Heard> g_heard;

void listen(QAccessibleEvent* e)
{
    Heard h{e->object(), e->type(), {}, {}};
    if (e->type() == QAccessible::ValueChanged)
        h.value = static_cast<QAccessibleValueChangeEvent*>(e)->value();
    if (e->type() == QAccessible::StateChanged)
        h.changed = static_cast<QAccessibleStateChangeEvent*>(e)->changedStates();
    g_heard.push_back(h);
}

// Collects the events the controls send while it lives.
class Ear {
public:
    Ear()
    {
        g_heard.clear();
        listenToAnnouncements(listen);
        lumidot::listenToLcdAnnouncements(listen);
    }
    ~Ear()
    {
        listenToAnnouncements(nullptr);
        lumidot::listenToLcdAnnouncements(nullptr);
    }
    int count(QObject* o, QAccessible::Event type) const
    {
        int n = 0;
        for (const auto& h : g_heard)
            n += h.object == o && h.type == type;
        return n;
    }
    const Heard* last(QObject* o, QAccessible::Event type) const
    {
        for (auto it = g_heard.rbegin(); it != g_heard.rend(); ++it)
            if (it->object == o && it->type == type)
                return &*it;
        return nullptr;
    }
    void clear() { g_heard.clear(); }
};

QAccessibleInterface* ifaceOf(QObject* o)
{
    return QAccessible::queryAccessibleInterface(o);
}

} // namespace

TEST(ControlsAccessibility, MultibuttonIsAPushButtonNamedByItsCaption)
{
    Multibutton b(QStringLiteral("chameleonButton6"));
    b.setCaption(QStringLiteral("&Load"));
    QAccessibleInterface* a = ifaceOf(&b);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::Button);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Load"));
    EXPECT_EQ(a->text(QAccessible::Accelerator), QStringLiteral("Alt+L"));
    EXPECT_FALSE(a->state().checkable);

    // A caption of signs is no name: the tip says what the button does; a window's own name wins
    // over both.
    b.setCaption(QStringLiteral("<<"));
    b.setToolTip(QStringLiteral("Every volume of this page 15 lower"));
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Every volume of this page 15 lower"));
    b.setAccessibleName(QStringLiteral("Quieter"));
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Quieter"));

    b.setCaption(QStringLiteral("&Load"));
    QSignalSpy clicks(&b, &Multibutton::Click);
    ASSERT_TRUE(a->actionInterface());
    EXPECT_TRUE(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks.count(), 1);

    b.setEnabled(false);
    EXPECT_TRUE(a->state().disabled);
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks.count(), 1);
}

TEST(ControlsAccessibility, ASymbolCaptionIsReadAsItsTipAndAWordAsItself)
{
    Multibutton b(QStringLiteral("cmdplay"));
    FontSpec symbols;
    symbols.name = "Webdings";
    symbols.pointSize = 14;
    b.setButtonFont(symbols);
    b.setToolTip(QStringLiteral("Play the last recording"));
    QAccessibleInterface* a = ifaceOf(&b);
    ASSERT_NE(a, nullptr);
    // "4" and "=" are the play and record shapes in the symbol font, not a digit or a sign.
    for (const char* shape : {"4", "=", "<"}) {
        b.setCaption(QString::fromLatin1(shape));
        EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Play the last recording")) << shape;
    }
    // The same "4" in a text font is the digit it shows.
    FontSpec text;
    text.name = "Arial";
    text.pointSize = 10;
    b.setButtonFont(text);
    b.setCaption(QStringLiteral("4"));
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("4"));
}

TEST(ControlsAccessibility, MultibuttonInCheckBoxModeTogglesAndAnnouncesIt)
{
    Ear ear;
    Multibutton b(QStringLiteral("chameleonButton20"));
    b.setCaption(QStringLiteral("Alarm On"));
    b.setCheckBoxMode(true);
    QAccessibleInterface* a = ifaceOf(&b);
    EXPECT_TRUE(a->state().checkable);
    EXPECT_FALSE(a->state().checked);
    EXPECT_TRUE(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));

    QSignalSpy clicks(&b, &Multibutton::Click);
    a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(b.value());
    EXPECT_TRUE(a->state().checked);
    EXPECT_EQ(clicks.count(), 1);
    const Heard* h = ear.last(&b, QAccessible::StateChanged);
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(h->changed.checked);

    // The program switching it off is heard too.
    ear.clear();
    b.setValue(false);
    EXPECT_EQ(ear.count(&b, QAccessible::StateChanged), 1);

    // A new caption is a new name.
    b.setCaption(QStringLiteral("Alarm Off"));
    EXPECT_EQ(ear.count(&b, QAccessible::NameChanged), 1);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Alarm Off"));
}

TEST(ControlsAccessibility, ChameleonButtonIsAPushButtonThatPresses)
{
    ChameleonButton b(QStringLiteral("chameleonButton3"));
    b.setCaption(QStringLiteral("&Save"));
    QAccessibleInterface* a = ifaceOf(&b);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::Button);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Save"));
    QSignalSpy clicks(&b, &ChameleonButton::Click);
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks.count(), 1);
}

TEST(ControlsAccessibility, SliderOffersItsValueAndTakesANewOne)
{
    Ear ear;
    QWidget form;
    auto* label = new QLabel(QStringLiteral("&Master"), &form);
    auto* s = new UcSlider(QStringLiteral("ucSlider103"), &form);
    s->setRange(0, 100);
    s->setSmallChange(5);
    s->setValue(40);
    QAccessibleInterface* a = ifaceOf(s);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::Slider);

    // Named by its tip, by the label that points at it, and best by the window.
    EXPECT_EQ(a->text(QAccessible::Name), QString());
    s->setToolTip(QStringLiteral("Master volume of every sound"));
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Master volume of every sound"));
    label->setBuddy(s);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Master"));
    s->setAccessibleName(QStringLiteral("White Noise volume"));
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("White Noise volume"));

    QAccessibleValueInterface* v = a->valueInterface();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->currentValue().toInt(), 40);
    EXPECT_EQ(v->minimumValue().toInt(), 0);
    EXPECT_EQ(v->maximumValue().toInt(), 100);
    EXPECT_EQ(v->minimumStepSize().toInt(), 5);
    EXPECT_EQ(a->text(QAccessible::Value), QStringLiteral("40"));

    // Setting it is a change like any other: the window hears Change and moves the sound.
    QSignalSpy changes(s, &UcSlider::Change);
    ear.clear();
    v->setCurrentValue(70);
    EXPECT_EQ(s->value(), 70);
    EXPECT_EQ(changes.count(), 1);
    const Heard* h = ear.last(s, QAccessible::ValueChanged);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->value.toInt(), 70);
    v->setCurrentValue(500);
    EXPECT_EQ(s->value(), 100);

    QAccessibleActionInterface* actions = a->actionInterface();
    EXPECT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::increaseAction()));
    EXPECT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::decreaseAction()));
    actions->doAction(QAccessibleActionInterface::decreaseAction());
    EXPECT_EQ(s->value(), 95);
    actions->doAction(QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(s->value(), 100);
    // Both actions stop at their end of the range, and go back from it.
    actions->doAction(QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(s->value(), 100);
    v->setCurrentValue(0);
    actions->doAction(QAccessibleActionInterface::decreaseAction());
    EXPECT_EQ(s->value(), 0);
    actions->doAction(QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(s->value(), 5);
    // The program's own moves are heard as well.
    ear.clear();
    s->setValue(10);
    EXPECT_EQ(ear.count(s, QAccessible::ValueChanged), 1);

    s->setEnabled(false);
    v->setCurrentValue(50);
    EXPECT_EQ(s->value(), 10);
}

TEST(ControlsAccessibility, SystemVolumeBarIsASliderInPercentThatWritesTheSystem)
{
    auto system = std::make_unique<platform::FakeSystemVolume>();
    auto* fake = system.get();
    fake->level = 0;
    MasterVolume bar(std::move(system));
    bar.resize(100, 14);
    bar.show();
    QAccessibleInterface* a = ifaceOf(&bar);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::Slider);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("System volume"));
    QAccessibleValueInterface* v = a->valueInterface();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->maximumValue().toInt(), 100);

    v->setCurrentValue(40);
    EXPECT_EQ(bar.value(), 40);
    EXPECT_GT(fake->volumeWrites, 0);
    EXPECT_NEAR(double(fake->level) / fake->maximum, 0.40, 0.01);
    EXPECT_EQ(a->text(QAccessible::Value), QStringLiteral("40 %"));

    a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(fake->muted);
    EXPECT_EQ(a->text(QAccessible::Value), QStringLiteral("40 %, muted"));
}

TEST(ControlsAccessibility, TimeEntryIsASpinBoxOverThePartBeingSet)
{
    Ear ear;
    TimeControl t;
    t.setAccessibleName(QStringLiteral("Alarm time"));
    t.setH(7);
    t.setMin(30);
    QAccessibleInterface* a = ifaceOf(&t);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::SpinBox);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Alarm time"));
    EXPECT_EQ(a->text(QAccessible::Value), QStringLiteral("07:30:00"));

    // The edit box takes the focus; it speaks for the control.
    QAccessibleInterface* edit = ifaceOf(t.textBox());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->role(), QAccessible::SpinBox);
    EXPECT_EQ(edit->text(QAccessible::Name), QStringLiteral("Alarm time"));
    EXPECT_EQ(a->childCount(), 1);
    EXPECT_EQ(a->child(0)->object(), t.textBox());
    EXPECT_EQ(edit->parent()->object(), &t);
    ASSERT_NE(edit->textInterface(), nullptr);
    EXPECT_EQ(edit->textInterface()->text(0, -1), QStringLiteral("07:30:00"));

    t.model().selectPart(TimeControlModel::Minutes);
    QAccessibleValueInterface* v = edit->valueInterface();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->currentValue().toInt(), 30);
    EXPECT_EQ(v->maximumValue().toInt(), 59);
    EXPECT_TRUE(a->text(QAccessible::Description).contains(QStringLiteral("minutes")));
    ear.clear();
    v->setCurrentValue(45);
    EXPECT_EQ(t.Min(), 45);
    EXPECT_EQ(t.text(), QStringLiteral("07:45:00"));
    EXPECT_GE(ear.count(t.textBox(), QAccessible::ValueChanged), 1);

    t.model().selectPart(TimeControlModel::Hours);
    EXPECT_GE(ear.count(t.textBox(), QAccessible::DescriptionChanged), 1);
    a->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(t.H(), 8);
}

TEST(ControlsAccessibility, ComboBoxSaysItsChoiceAndTheRowBeingChosen)
{
    Ear ear;
    QWidget host;
    auto* combo = new SComboBox(QStringLiteral("SComboBox1"), &host);
    combo->setAccessibleName(QStringLiteral("Input device"));
    combo->AddItem(QStringLiteral("Microphone"));
    combo->AddItem(QStringLiteral("Line in"));
    combo->setListIndex(1);
    host.show();
    QAccessibleInterface* a = ifaceOf(combo);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::ComboBox);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Input device"));
    EXPECT_EQ(a->text(QAccessible::Value), QStringLiteral("Microphone"));
    EXPECT_TRUE(a->state().collapsed);
    QAccessibleInterface* edit = ifaceOf(combo->editBox());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(QAccessible::Name), QStringLiteral("Input device"));

    ear.clear();
    a->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_TRUE(combo->model().isOpen());
    EXPECT_TRUE(a->state().expanded);
    EXPECT_GE(ear.count(combo, QAccessible::StateChanged), 1);
    combo->model().key(SComboBoxModel::Key::Down);
    EXPECT_EQ(a->text(QAccessible::Value), QStringLiteral("Line in"));
    EXPECT_GE(ear.count(combo, QAccessible::ValueChanged), 1);
    combo->model().key(SComboBoxModel::Key::Enter);
    EXPECT_EQ(combo->text(), QStringLiteral("Line in"));
    EXPECT_FALSE(combo->model().isOpen());
}

TEST(ControlsAccessibility, DisplayReadsAsTheTextItShows)
{
    Ear ear;
    lumidot::LCD lcd;
    lcd.setLCDRow(2);
    lcd.setLCDCol(10);
    QAccessibleInterface* a = ifaceOf(&lcd);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::StaticText);
    lcd.SetDisplay(1, QStringLiteral("Alarm:Off"));
    lcd.SetDisplay(2, QStringLiteral("EQL:Night listening"));
    // Only what fits on the glass is read.
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Alarm:Off\nEQL:Night"));
    EXPECT_GE(ear.count(&lcd, QAccessible::NameChanged), 1);

    lcd.setAccessibleName(QStringLiteral("Status"));
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Status"));
    EXPECT_EQ(a->text(QAccessible::Description), QStringLiteral("Alarm:Off\nEQL:Night"));
    ear.clear();
    lcd.SetDisplay(1, QStringLiteral("Alarm:On"));
    EXPECT_EQ(ear.count(&lcd, QAccessible::DescriptionChanged), 1);
}

TEST(ControlsAccessibility, TheWindowCheckFindsAControlThatLostItsNameOrValue)
{
    {
        // A window without a role of its own is read as a filler.
        QWidget plain;
        const QStringList problems = testing_support::accessibilityProblems(&plain);
        ASSERT_EQ(problems.size(), 1);
        EXPECT_TRUE(problems[0].contains(QStringLiteral("window"))) << problems[0].toStdString();
    }
    QWidget form;
    sonaveil::controls::setWindowRole(&form, QAccessible::Dialog);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&form)->role(), QAccessible::Dialog);
    auto* layout = new QHBoxLayout(&form);
    auto* button = new Multibutton(QStringLiteral("chameleonButton1"), &form);
    auto* slider = new UcSlider(QStringLiteral("ucSlider1"), &form);
    auto* time = new TimeControl(&form);
    layout->addWidget(button);
    layout->addWidget(slider);
    layout->addWidget(time);
    slider->setAccessibleName(QStringLiteral("White Noise volume"));
    time->setAccessibleName(QStringLiteral("Alarm time"));
    EXPECT_EQ(testing_support::accessibilityProblems(&form), QStringList());

    // A button whose caption went, a slider nobody named.
    button->setCaption(QString());
    slider->setAccessibleName(QString());
    const QStringList problems = testing_support::accessibilityProblems(&form);
    ASSERT_EQ(problems.size(), 2) << problems.join(u'\n').toStdString();
    EXPECT_TRUE(problems[0].contains(QStringLiteral("chameleonButton1")));
    EXPECT_TRUE(problems[1].contains(QStringLiteral("ucSlider1")));

    // A painted control without an interface is the unnamed filler a screen reader skips.
    auto* bare = new QWidget(&form);
    bare->setObjectName(QStringLiteral("painted"));
    bare->setFocusPolicy(Qt::StrongFocus);
    EXPECT_TRUE(testing_support::accessibilityProblems(&form).join(u'\n').contains(QStringLiteral("painted\": no role")));
}

TEST(ControlsAccessibility, TheWindowCheckFindsTwoControlsSharingAnAccessKey)
{
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    auto* record = new Multibutton(QStringLiteral("cmdRecord"), &window);
    auto* repeat = new Multibutton(QStringLiteral("cmdRepeat"), &window);
    record->setCaption(QStringLiteral("&Record"));
    repeat->setCaption(QStringLiteral("Re&peat"));
    layout->addWidget(record);
    layout->addWidget(repeat);
    window.show();
    EXPECT_EQ(testing_support::duplicateAccessKeys(&window), QStringList());
    // A translation that gives both the same letter.
    repeat->setCaption(QStringLiteral("&Repeat"));
    EXPECT_EQ(testing_support::duplicateAccessKeys(&window), QStringList{QStringLiteral("ALT+R: Record, Repeat")});
    // Only controls that are shown count.
    repeat->hide();
    EXPECT_EQ(testing_support::duplicateAccessKeys(&window), QStringList());
}
