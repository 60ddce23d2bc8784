// The keyboard focus shows on every painted control, in light and dark colour schemes alike,
// and only when it came from the keyboard.

#include "controls/chameleonbuttonwidget.h"
#include "controls/focusframe.h"
#include "controls/mastervolume.h"
#include "controls/multibuttonwidget.h"
#include "controls/scombobox.h"
#include "controls/ucsliderwidget.h"
#include "platform/fakesystemvolume.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
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

TEST(FocusFrame, ItsInnerLineInTheOppositeShadeShowsOnAFaceOfTheFramesOwnColour)
{
    // The worst face for a frame: one of its own colour, where only the inner line can show.
    for (const QColor& colour : {QColor(0, 0, 0), QColor(255, 255, 255), QColor(40, 40, 90), QColor(230, 230, 210)}) {
        QImage face(40, 20, QImage::Format_RGB32);
        face.fill(colour);
        {
            QPainter p(&face);
            FocusFrame::paint(p, face.rect(), colour, 2);
        }
        const QRgb opposite = colour.lightness() < 128 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
        // The inner line runs one pixel inside the frame at inset 2: x 3..36, y 3..16.
        auto shown = [&](int x0, int y0, int dx, int dy, int n) {
            int count = 0;
            for (int i = 0; i < n; ++i)
                count += face.pixel(x0 + i * dx, y0 + i * dy) == opposite ? 1 : 0;
            return count;
        };
        const std::string name = colour.name().toStdString();
        EXPECT_GE(shown(3, 3, 1, 0, 34), 34 / 4) << name << " top";
        EXPECT_GE(shown(3, 16, 1, 0, 34), 34 / 4) << name << " bottom";
        EXPECT_GE(shown(3, 3, 0, 1, 14), 14 / 4) << name << " left";
        EXPECT_GE(shown(36, 3, 0, 1, 14), 14 / 4) << name << " right";
        // Nothing of it outside its line: the frame's own line and the middle keep the face.
        EXPECT_EQ(shown(2, 2, 1, 0, 36), 0) << name << " the frame's line";
        EXPECT_EQ(shown(4, 10, 1, 0, 32), 0) << name << " the middle";
        EXPECT_EQ(shown(0, 0, 1, 0, 40), 0) << name << " outside";
    }
}
