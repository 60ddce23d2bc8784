#include "controls/timecontrol.h"

#include "qtenvironment.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using sonaveil::controls::TimeControl;
using testing_support::saveGrab;
using testing_support::saveImage;
using testing_support::waitUntil;

namespace {

// A window with the time control and a button after it in the tab order.
struct Form {
    QWidget window;
    TimeControl* time;
    QPushButton* next;
    Form()
    {
        auto* layout = new QVBoxLayout(&window);
        time = new TimeControl(&window);
        next = new QPushButton(QStringLiteral("Close"), &window);
        layout->addWidget(time);
        layout->addWidget(next);
        window.show();
        QApplication::setActiveWindow(&window);
        time->textBox()->setFocus(Qt::OtherFocusReason);
        waitUntil([&] { return time->textBox()->hasFocus(); }, 1000);
    }
    QLineEdit* box() const { return time->textBox(); }
};

} // namespace

TEST(TimeControlWidget, KeysGoThroughTheRulesAndNeverEditTheText)
{
    Form f;
    QSignalSpy changes(f.time, &TimeControl::Change);
    QTest::keyClicks(f.box(), QStringLiteral("07"));
    EXPECT_EQ(f.box()->text(), QStringLiteral("07:00:00"));
    EXPECT_EQ(f.box()->selectedText(), QStringLiteral("07"));
    QTest::keyClicks(f.box(), QStringLiteral("a-"));
    QTest::keyClick(f.box(), Qt::Key_Delete);
    QTest::keyClick(f.box(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f.box()->text(), QStringLiteral("07:00:00"));
    QTest::keyClick(f.box(), Qt::Key_Right);
    QTest::keyClicks(f.box(), QStringLiteral("45"));
    EXPECT_EQ(f.box()->text(), QStringLiteral("07:45:00"));
    EXPECT_EQ(f.box()->selectionStart(), 6);
    QTest::keyClick(f.box(), Qt::Key_Down);
    EXPECT_EQ(f.box()->text(), QStringLiteral("07:45:59"));
    QTest::keyClick(f.box(), Qt::Key_Backspace);
    EXPECT_EQ(f.box()->text(), QStringLiteral("07:45:05"));
    EXPECT_EQ(changes.count(), 5);
    EXPECT_EQ(f.time->value(), QStringLiteral("07:45:00"));
}

TEST(TimeControlWidget, TabStepsThroughThePartsThenLeaves)
{
    Form f;
    QTest::keyClick(f.box(), Qt::Key_Tab);
    EXPECT_TRUE(f.box()->hasFocus());
    EXPECT_EQ(f.box()->selectionStart(), 3);
    QTest::keyClick(f.box(), Qt::Key_Tab);
    EXPECT_EQ(f.box()->selectionStart(), 6);
    QTest::keyClick(f.box(), Qt::Key_Tab);
    EXPECT_TRUE(waitUntil([&] { return f.next->hasFocus(); }, 500));
    // Coming back with the caret left at 0 selects the hours.
    EXPECT_EQ(f.box()->cursorPosition(), 0);
    QTest::keyClick(f.next, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_TRUE(waitUntil([&] { return f.box()->hasFocus(); }, 500));
    EXPECT_EQ(f.time->model().selectedPart(), 0);
    EXPECT_EQ(f.box()->selectedText(), QStringLiteral("00"));
}

TEST(TimeControlWidget, ClicksChooseThePartAndTheSpinButtonContinuesFromIt)
{
    Form f;
    f.time->setHour24(false);
    f.time->setValue(QStringLiteral("18:45"));
    EXPECT_EQ(f.box()->text(), QStringLiteral("06:45:00 PM"));
    // A click just past the middle of character i, where the caret lands after it.
    const auto clickAtCharacter = [&](int i) {
        const int y = f.box()->height() / 2;
        int x = 0;
        while (x < f.box()->width() && f.box()->cursorPositionAt(QPoint(x, y)) <= i)
            ++x;
        QTest::mouseClick(f.box(), Qt::LeftButton, {}, QPoint(x, y));
    };
    clickAtCharacter(4);
    EXPECT_EQ(f.time->model().selectedPart(), 1);
    EXPECT_EQ(f.box()->selectedText(), QStringLiteral("45"));
    clickAtCharacter(10);
    EXPECT_EQ(f.time->model().selectedPart(), 3);
    EXPECT_EQ(f.box()->selectedText(), QStringLiteral("PM"));
    clickAtCharacter(0);
    EXPECT_EQ(f.time->model().selectedPart(), 0);

    QTest::keyClicks(f.box(), QStringLiteral("1"));
    EXPECT_EQ(f.time->H(), 1); // the click selected the 18: a typed 1 starts the hours afresh
    QTest::keyClick(f.box(), Qt::Key_Left);
    QTest::keyClicks(f.box(), QStringLiteral("\b\b09"));
    ASSERT_EQ(f.time->H(), 9);
    auto* spin = f.time->spinButton();
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(spin->width() / 2, 3));
    EXPECT_EQ(f.time->H(), 10);
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(spin->width() / 2, spin->height() - 3));
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(spin->width() / 2, spin->height() - 3));
    EXPECT_EQ(f.box()->text(), QStringLiteral("08:45:00 AM"));
}

TEST(TimeControlWidget, SizeFromTheStoredWidthAndGrabs)
{
    Form f;
    EXPECT_EQ(f.time->height(), 19);
    EXPECT_GE(f.time->width(), 66);
    sonaveil::PropertyBag bag;
    bag.write("h", std::int64_t(7));
    bag.write("min", std::int64_t(30));
    f.time->readProperties(bag);
    QTest::keyClick(f.box(), Qt::Key_Right);
    const QImage day = saveGrab(f.time, QStringLiteral("timecontrol_24h"));
    // The whole text is visible: its right end is not under the spin button.
    const QFontMetrics fm(f.box()->font());
    EXPECT_LE(fm.horizontalAdvance(f.box()->text()) + 4, f.box()->width());
    f.time->setHour24(false);
    const QImage twelve = saveGrab(f.time, QStringLiteral("timecontrol_12h"));
    EXPECT_GT(twelve.width(), day.width());
    EXPECT_LE(fm.horizontalAdvance(f.box()->text()) + 4, f.box()->width());
    QApplication::processEvents(); // the window's layout takes the wider control
    EXPECT_GE(f.window.width(), f.time->width());
    saveImage(f.window.grab().toImage(), QStringLiteral("timecontrol_window"));
}
