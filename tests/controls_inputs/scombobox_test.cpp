#include "controls/scombobox.h"

#include "qtenvironment.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace sonaveil;
using sonaveil::controls::SComboBox;
using testing_support::saveGrab;
using testing_support::saveImage;
using testing_support::waitUntil;

namespace {

QRgb qrgbOf(ColorValue c)
{
    return qRgb(redOf(c), greenOf(c), blueOf(c));
}

// The recorder's look, as its window layout stores it.
PropertyBag recorderLook(const std::string& text)
{
    PropertyBag bag;
    bag.write("AppearanceCombo", std::int64_t(21));
    bag.write("ArrowColor", std::int64_t(rgb(64, 64, 64)));
    bag.write("BackColor", std::int64_t(rgb(64, 64, 64)));
    bag.write("HighLightBorderColor", std::int64_t(rgb(64, 64, 64)));
    bag.write("HighLightColorText", std::int64_t(rgb(64, 64, 64)));
    bag.write("ListColor", std::int64_t(rgb(64, 64, 64)));
    bag.write("ShadowColorText", std::int64_t(rgb(64, 64, 64)));
    bag.write("GradientColor1", std::int64_t(rgb(192, 192, 255)));
    bag.write("GradientColor2", std::int64_t(rgb(255, 255, 255)));
    bag.write("ListGradient", true);
    bag.write("MaxListLength", std::int64_t(-1));
    bag.write("NumberItemsToShow", std::int64_t(-1));
    bag.write("NormalBorderColor", std::int64_t(0));
    bag.write("NormalColorText", std::int64_t(rgb(255, 255, 255)));
    bag.write("OfficeAppearance", std::int64_t(2));
    bag.write("SelectBorderColor", std::int64_t(rgb(128, 128, 128)));
    bag.write("SelectListBorderColor", std::int64_t(rgb(128, 128, 128)));
    bag.write("SelectListColor", std::int64_t(rgb(255, 255, 255)));
    bag.write("XpAppearance", std::int64_t(7));
    bag.write("Text", text);
    return bag;
}

struct Form {
    QWidget window;
    SComboBox* combo;
    QLineEdit* other;
    explicit Form(int items)
    {
        QPalette dark = window.palette();
        dark.setColor(QPalette::Window, QColor(64, 64, 64));
        window.setPalette(dark);
        window.setAutoFillBackground(true);
        auto* layout = new QVBoxLayout(&window);
        combo = new SComboBox(QStringLiteral("Combo1"), &window);
        combo->readProperties(recorderLook("MP3"));
        combo->setFixedSize(121, 21);
        for (int i = 1; i <= items; ++i)
            combo->AddItem(i == 1 ? QStringLiteral("MP3") : i == 2 ? QStringLiteral("WAV") : QStringLiteral("Quality %1").arg(i));
        other = new QLineEdit(&window);
        layout->addWidget(combo);
        layout->addWidget(other);
        layout->addStretch();
        window.resize(200, 120);
        window.show();
        QApplication::setActiveWindow(&window);
        combo->editBox()->setFocus(Qt::OtherFocusReason);
        waitUntil([&] { return combo->editBox()->hasFocus(); }, 1000);
    }
    QPoint button() const { return {combo->width() - 9, combo->height() / 2}; }
    // The window with the floating list drawn where it floats.
    QImage withList()
    {
        const QImage back = window.grab().toImage();
        const QImage list = combo->listWindow()->grab().toImage();
        const QPoint at = window.mapFromGlobal(combo->listWindow()->geometry().topLeft());
        QImage img(std::max(back.width(), at.x() + list.width()), std::max(back.height(), at.y() + list.height()),
            QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.drawImage(0, 0, back);
        p.drawImage(at, list);
        return img;
    }
};

} // namespace

TEST(SComboBoxWidget, TheRecorderLookClosedAndOpen)
{
    Form f(10);
    f.combo->clearFocus(); // the face alone, without the keyboard focus frame
    const QImage closed = saveGrab(f.combo, QStringLiteral("scombobox_closed"));
    const int W = f.combo->width(), H = f.combo->height();
    EXPECT_EQ(closed.pixel(0, 0), qRgb(60, 96, 146));
    EXPECT_EQ(closed.pixel(W - 1, H - 1), qRgb(60, 96, 146));
    EXPECT_EQ(closed.pixel(W - 18, H / 2), qRgb(63, 99, 148));
    EXPECT_EQ(closed.pixel(W - 10, 2), qRgb(99, 143, 190));
    EXPECT_EQ(closed.pixel(W - 10, H - 3), qRgb(203, 219, 232));
    EXPECT_EQ(closed.pixel(1, H / 2), qRgb(174, 198, 224));
    EXPECT_EQ(closed.pixel(4, H / 2), qRgb(64, 64, 64));
    saveImage(f.window.grab().toImage(), QStringLiteral("scombobox_closed_window"));

    QTest::mouseClick(f.combo, Qt::LeftButton, {}, f.button());
    auto* list = f.combo->listWindow();
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(list->height(), 7 * 20);
    EXPECT_EQ(list->width(), W);
    EXPECT_EQ(list->geometry().top(), f.combo->mapToGlobal(QPoint(0, H)).y() + 1);
    EXPECT_TRUE(list->scrollBar()->isVisible());
    EXPECT_EQ(list->scrollBar()->maximum(), 3);
    EXPECT_EQ(f.combo->model().highlighted(), 1); // the text "MP3" names item 1
    const QImage open = saveImage(f.withList(), QStringLiteral("scombobox_open"));
    const QImage listPicture = saveGrab(list, QStringLiteral("scombobox_list"));
    EXPECT_EQ(listPicture.pixel(0, 30), qRgb(60, 96, 146));
    EXPECT_EQ(listPicture.pixel(1, 30), qRgb(211, 211, 255)); // the brightened gradient's left end
    EXPECT_EQ(listPicture.pixel(3, 10), qRgb(255, 255, 255)); // the highlighted first row
    (void)open;

    // Another press on the control closes it.
    QTest::mouseClick(f.combo, Qt::LeftButton, {}, f.button());
    EXPECT_FALSE(list->isVisible());
}

TEST(SComboBoxWidget, ClickingARowSelectsItAndDisabledRowsStayOpen)
{
    Form f(10);
    QSignalSpy made(f.combo, &SComboBox::SelectionMade);
    f.combo->model().ItemEnabled(4, false);
    QTest::mouseClick(f.combo, Qt::LeftButton, {}, f.button());
    auto* list = f.combo->listWindow();
    ASSERT_TRUE(list->isVisible());
    QTest::mouseMove(list, QPoint(30, 50));
    EXPECT_EQ(f.combo->model().highlighted(), 3);
    QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(30, 70));
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(made.count(), 0);
    list->scrollBar()->setValue(3);
    EXPECT_EQ(f.combo->model().scrollValue(), 3);
    QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(30, 130)); // row 7 + 3
    EXPECT_FALSE(list->isVisible());
    ASSERT_EQ(made.count(), 1);
    EXPECT_EQ(made.at(0).at(0).toString(), QStringLiteral("Quality 10"));
    EXPECT_EQ(made.at(0).at(1).toInt(), 10);
    EXPECT_EQ(f.combo->editBox()->text(), QStringLiteral("Quality 10"));
    EXPECT_EQ(f.combo->listIndex(), 10);
}

TEST(SComboBoxWidget, KeyboardOpensMovesChoosesAndCloses)
{
    Form f(4);
    QSignalSpy made(f.combo, &SComboBox::SelectionMade);
    auto* edit = f.combo->editBox();
    auto* list = f.combo->listWindow();
    QTest::keyClick(edit, Qt::Key_F4); // press and release: opens once
    ASSERT_TRUE(list->isVisible());
    EXPECT_FALSE(list->scrollBar()->isVisible());
    EXPECT_EQ(list->height(), 4 * 20);
    QTest::keyClick(edit, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down); // the open list passes its keys on
    EXPECT_EQ(f.combo->model().highlighted(), 3);
    QTest::keyClick(edit, Qt::Key_End);
    EXPECT_EQ(f.combo->model().highlighted(), 4);
    QTest::keyClick(edit, Qt::Key_Up);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(list->isVisible());
    ASSERT_EQ(made.count(), 1);
    EXPECT_EQ(made.at(0).at(1).toInt(), 3);
    EXPECT_EQ(edit->text(), QStringLiteral("Quality 3"));

    QTest::keyClick(edit, Qt::Key_F4);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(made.count(), 1);

    // A press anywhere else closes an open list; typing into it reaches the edit box.
    QTest::keyClick(edit, Qt::Key_F4);
    ASSERT_TRUE(list->isVisible());
    QTest::keyClicks(list, QStringLiteral("x"));
    EXPECT_EQ(edit->text(), QStringLiteral("Quality 3x"));
    QTest::mouseClick(f.other, Qt::LeftButton);
    EXPECT_TRUE(waitUntil([&] { return !list->isVisible(); }, 500));
    EXPECT_FALSE(f.combo->model().isOpen());
}

TEST(SComboBoxWidget, TypingSelectsAndCompletes)
{
    Form f(4);
    auto* edit = f.combo->editBox();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("WAV"));
    EXPECT_EQ(f.combo->listIndex(), 2);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(f.combo->listIndex(), -1);
    EXPECT_EQ(f.combo->text(), QStringLiteral("WA"));

    f.combo->model().AutoCompleteWord = true;
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("Qu"));
    EXPECT_EQ(edit->text(), QStringLiteral("Quality 3"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("ality 3"));
    EXPECT_EQ(f.combo->listIndex(), 3);
    QTest::keyClicks(edit, QStringLiteral("ality 4"));
    EXPECT_EQ(edit->text(), QStringLiteral("Quality 4"));
    EXPECT_EQ(f.combo->listIndex(), 4);
    // Backspace takes away the completion instead of bringing it back.
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("M"));
    EXPECT_EQ(edit->text(), QStringLiteral("MP3"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("M"));
    EXPECT_EQ(f.combo->listIndex(), -1);
}

TEST(SComboBoxWidget, HoverAndDisabledLooks)
{
    Form f(3);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), f.combo->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(f.combo, &enter);
    const QImage hover = saveGrab(f.combo, QStringLiteral("scombobox_hover"));
    EXPECT_EQ(hover.pixel(f.combo->width() - 10, 2), qRgb(128, 164, 202));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(f.combo, &leave);
    EXPECT_EQ(f.combo->grab().toImage().pixel(f.combo->width() - 10, 2), qRgb(99, 143, 190));

    f.combo->setEnabledState(false);
    const QImage off = saveGrab(f.combo, QStringLiteral("scombobox_disabled"));
    EXPECT_EQ(off.pixel(0, 0), qRgb(194, 205, 221));
    EXPECT_EQ(off.pixel(f.combo->width() - 10, 2), qRgb(206, 220, 234));
    QTest::mouseClick(f.combo, Qt::LeftButton, {}, f.button());
    EXPECT_FALSE(f.combo->listWindow()->isVisible());

    // A simple look for the other appearances.
    SComboBox plain(QStringLiteral("Combo2"));
    plain.resize(121, 21);
    plain.AddItem(QStringLiteral("One"));
    plain.show();
    const QImage simple = saveGrab(&plain, QStringLiteral("scombobox_look1"));
    EXPECT_EQ(simple.pixel(0, 0), qrgbOf(plain.model().NormalBorderColor));
}

TEST(SComboBoxWidget, DrawnTextStyleTakesTheKeysItself)
{
    QWidget window;
    auto* combo = new SComboBox(QStringLiteral("Combo3"), &window);
    combo->resize(121, 21);
    combo->model().Style = 1;
    combo->applyProperties();
    for (const char* t : {"One", "Two"})
        combo->AddItem(QString::fromLatin1(t));
    window.show();
    QApplication::setActiveWindow(&window);
    combo->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(waitUntil([&] { return combo->hasFocus(); }, 1000));
    EXPECT_FALSE(combo->editBox()->isVisible());
    QTest::keyClick(combo, Qt::Key_F4);
    ASSERT_TRUE(combo->listWindow()->isVisible());
    QTest::keyClick(combo, Qt::Key_End);
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_EQ(combo->text(), QStringLiteral("Two"));
    const QImage img = saveGrab(combo, QStringLiteral("scombobox_style1"));
    // The text is drawn in the edit colour on the control's face.
    bool textPainted = false;
    for (int x = 8; x < 40 && !textPainted; ++x)
        for (int y = 4; y < 17; ++y)
            if (img.pixel(x, y) != qRgb(255, 255, 255))
                textPainted = true;
    EXPECT_TRUE(textPainted);
}
