// The keyboard focus shows on every painted control, in light and dark colour schemes alike,
// and only when it came from the keyboard.

#include "controls/chameleonbuttonwidget.h"
#include "controls/mastervolume.h"
#include "controls/multibuttonwidget.h"
#include "controls/scombobox.h"
#include "controls/ucsliderwidget.h"
#include "platform/fakesystemvolume.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>

using namespace sonaveil;
using namespace sonaveil::controls;

namespace {

struct Scheme {
    const char* name;
    QColor window, text;
    uint face, caption; // 0x00BBGGRR
};

const Scheme kSchemes[] = {
    {"default", QColor(212, 208, 200), QColor(0, 0, 0), 0x808080, 0x000000},
    {"night", QColor(20, 24, 40), QColor(230, 230, 210), 0x402018, 0xD2E6E6},
};

struct Case {
    const char* name;
    std::function<QWidget*(QWidget*, const Scheme&)> make;
};

const Case kCases[] = {
    {"Multibutton", [](QWidget* p, const Scheme& s) {
         auto* b = new Multibutton(QStringLiteral("chameleonButton1"), p);
         b->setButtonStyle(7);
         b->setBackColor(s.face);
         b->setForeColor(s.caption);
         b->setCaption(QStringLiteral("Pitch Match"));
         b->setFixedSize(90, 25);
         return static_cast<QWidget*>(b);
     }},
    {"ChameleonButton", [](QWidget* p, const Scheme& s) {
         auto* b = new ChameleonButton(QStringLiteral("chameleonButton2"), p);
         b->setShowFocusRect(false);
         b->setBackColor(s.face);
         b->setForeColor(s.caption);
         b->setCaption(QStringLiteral("Load"));
         b->setFixedSize(90, 25);
         return static_cast<QWidget*>(b);
     }},
    {"UcSlider", [](QWidget* p, const Scheme&) {
         auto* sl = new UcSlider(QStringLiteral("ucSlider1"), p);
         sl->setFixedWidth(120);
         return static_cast<QWidget*>(sl);
     }},
    {"MasterVolume", [](QWidget* p, const Scheme&) {
         auto* v = new MasterVolume(std::make_unique<platform::FakeSystemVolume>(), p);
         v->resize(100, 14);
         return static_cast<QWidget*>(v);
     }},
    {"SComboBox", [](QWidget* p, const Scheme&) {
         auto* c = new SComboBox(QStringLiteral("SComboBox1"), p);
         c->setFixedSize(121, 21);
         return static_cast<QWidget*>(c);
     }},
};

// Holds a window with the control and a second control to take the focus away.
struct Stage {
    QWidget window;
    QWidget* control = nullptr;
    QWidget* other = nullptr;

    Stage(const Case& c, const Scheme& s)
    {
        QPalette pal = window.palette();
        pal.setColor(QPalette::Window, s.window);
        pal.setColor(QPalette::WindowText, s.text);
        window.setPalette(pal);
        window.setAutoFillBackground(true);
        auto* layout = new QVBoxLayout(&window);
        control = c.make(&window, s);
        other = new Multibutton(QStringLiteral("other"), &window);
        layout->addWidget(control);
        layout->addWidget(other);
        window.show();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // The control's own picture, without whatever child edits it has.
    QImage picture()
    {
        QApplication::processEvents();
        return control->grab().toImage();
    }
    void focus(Qt::FocusReason reason)
    {
        other->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        control->setFocus(reason);
        QApplication::processEvents();
    }
};

} // namespace

TEST(FocusFrame, ShowsOnEveryPaintedControlWithKeyboardFocusInEveryScheme)
{
    for (const Scheme& scheme : kSchemes) {
        for (const Case& c : kCases) {
            SCOPED_TRACE(std::string(c.name) + " in the " + scheme.name + " scheme");
            Stage stage(c, scheme);
            stage.other->setFocus(Qt::TabFocusReason);
            const QImage none = stage.picture();
            stage.focus(Qt::TabFocusReason);
            ASSERT_TRUE(stage.control->hasFocus() || stage.control->focusProxy()->hasFocus());
            const QImage focused = stage.picture();
            EXPECT_NE(none, focused);
            focused.save(QStringLiteral("%1/focus-%2-%3.png").arg(QCoreApplication::applicationDirPath(),
                                                                   QString::fromLatin1(c.name),
                                                                   QString::fromLatin1(scheme.name)));
        }
    }
}

TEST(FocusFrame, ButtonFrameIsDrawnInTheCaptionColourOnlyForKeyboardFocus)
{
    for (const Scheme& scheme : kSchemes) {
        SCOPED_TRACE(scheme.name);
        Stage stage(kCases[0], scheme);
        stage.other->setFocus(Qt::TabFocusReason);
        const QImage none = stage.picture();

        // A click gives the focus without the frame: the pressed look already shows it.
        stage.focus(Qt::MouseFocusReason);
        EXPECT_EQ(stage.picture(), none);
        // The first key shows it.
        QTest::keyClick(stage.control, Qt::Key_Shift);
        const QImage keyed = stage.picture();
        EXPECT_NE(keyed, none);

        stage.focus(Qt::TabFocusReason);
        const QImage tabbed = stage.picture();
        EXPECT_EQ(tabbed, keyed);
        const QColor caption(int(scheme.caption & 0xFF), int((scheme.caption >> 8) & 0xFF), int((scheme.caption >> 16) & 0xFF));
        const int y = tabbed.height() / 2;
        EXPECT_EQ(tabbed.pixelColor(2, y), caption);
        EXPECT_EQ(tabbed.pixelColor(tabbed.width() - 3, y), caption);

        // Leaving takes it away.
        stage.other->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(stage.picture(), none);
    }
}
