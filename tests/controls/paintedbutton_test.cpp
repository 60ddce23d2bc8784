// What both painted buttons do alike with the keyboard: a held space bar clicks once, the keys a
// button does not use reach its window, Tab moves on.

#include "controls/chameleonbuttonwidget.h"
#include "controls/multibuttonwidget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace sonaveil::controls;

namespace {

// A window that keeps the keys that reach it.
class KeyWindow : public QWidget {
public:
    std::vector<int> keys;

protected:
    void keyPressEvent(QKeyEvent* e) override { keys.push_back(e->key()); }
};

template <class Button>
class PaintedButtonKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(200, 80);
        button = new Button("Button1", &window);
        button->setGeometry(10, 10, 90, 25);
        next = new Button("Button2", &window);
        next->setGeometry(10, 40, 90, 25);
        window.show();
        window.activateWindow();
        button->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(QTest::qWaitFor([&] { return button->hasFocus(); }, 5000));
    }

    void sendSpace(QEvent::Type type, bool autoRepeat)
    {
        QKeyEvent e(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), autoRepeat);
        QApplication::sendEvent(button, &e);
    }

    KeyWindow window;
    Button* button = nullptr;
    Button* next = nullptr;
};

using Buttons = ::testing::Types<Multibutton, ChameleonButton>;
TYPED_TEST_SUITE(PaintedButtonKeys, Buttons);

TYPED_TEST(PaintedButtonKeys, AHeldSpaceBarClicksOnce)
{
    QSignalSpy clicks(this->button, &TypeParam::Click);
    this->sendSpace(QEvent::KeyPress, false);
    for (int i = 0; i < 5; ++i) {
        this->sendSpace(QEvent::KeyRelease, true);
        this->sendSpace(QEvent::KeyPress, true);
    }
    EXPECT_EQ(clicks.count(), 0);
    this->sendSpace(QEvent::KeyRelease, false);
    EXPECT_EQ(clicks.count(), 1);
}

TYPED_TEST(PaintedButtonKeys, KeysTheButtonDoesNotUseReachItsWindow)
{
    for (int key : {Qt::Key_Space, Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down})
        QTest::keyClick(this->button, Qt::Key(key));
    EXPECT_TRUE(this->window.keys.empty());
    QTest::keyClick(this->button, Qt::Key_X);
    QTest::keyClick(this->button, Qt::Key_F5);
    EXPECT_EQ(this->window.keys, (std::vector<int>{Qt::Key_X, Qt::Key_F5}));
}

TYPED_TEST(PaintedButtonKeys, TabMovesTheFocusOn)
{
    QTest::keyClick(this->button, Qt::Key_Tab);
    EXPECT_TRUE(QTest::qWaitFor([&] { return this->next->hasFocus(); }, 5000));
}

TEST(PaintedButtonKeys, ReturnPressesOnlyTheMultibutton)
{
    KeyWindow window;
    auto* multi = new Multibutton("Multibutton1", &window);
    auto* chameleon = new ChameleonButton("chameleonButton1", &window);
    QTest::keyClick(multi, Qt::Key_Return);
    EXPECT_TRUE(window.keys.empty());
    QTest::keyClick(chameleon, Qt::Key_Return);
    EXPECT_EQ(window.keys, std::vector<int>{Qt::Key_Return});
}

} // namespace
