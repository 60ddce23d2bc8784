#include "lumidot/generalpage.h"

#include "lumidot/lcd.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace sonaveil::lumidot;

namespace {

struct Page : ::testing::Test {
    LCD lcd;
    GeneralPage page;
    QStringList messages;
    void SetUp() override
    {
        page.setMessageHandler([this](const QString& title, const QString& text) {
            EXPECT_EQ(title, QStringLiteral("Value Invalid"));
            messages << text;
        });
        page.setSelection({&lcd});
    }
    QLineEdit* field(const char* name) { return page.findChild<QLineEdit*>(QLatin1String(name)); }
    QToolButton* button(const char* name) { return page.findChild<QToolButton*>(QLatin1String(name)); }
    // Types into a field and leaves it.
    QString leave(const char* name, const QString& text)
    {
        QLineEdit* edit = field(name);
        edit->setText(text);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(edit, &out);
        return edit->text();
    }
};

const QString kColumnError = QStringLiteral("Lcd Column Number Error\nValues: 1 to 80");
const QString kRowError = QStringLiteral("Lcd Row Number Error\nValue: 1 to 4");

} // namespace

TEST_F(Page, ShowsTheControlsValuesAndTips)
{
    EXPECT_EQ(page.objectName(), QStringLiteral("General"));
    EXPECT_EQ(field("txtLCDCol")->text(), QStringLiteral("20"));
    EXPECT_EQ(field("txtLCDRow")->text(), QStringLiteral("4"));
    EXPECT_EQ(field("txtColBorderSize")->text(), QStringLiteral("4"));
    EXPECT_EQ(field("txtRowBorderSize")->text(), QStringLiteral("4"));
    EXPECT_EQ(field("txtColspace")->text(), QStringLiteral("1"));
    EXPECT_EQ(field("txtRowspace")->text(), QStringLiteral("2"));
    EXPECT_TRUE(page.findChild<QCheckBox*>(QStringLiteral("chkBorderStyle"))->isChecked());
    EXPECT_EQ(field("txtLCDCol")->toolTip(), QStringLiteral("Number of Columns (Width) [Values: 1 to 80]"));
    EXPECT_EQ(field("txtLCDRow")->toolTip(), QStringLiteral("Number of Rows (Height) [Values: 1 to 4]"));
    EXPECT_FALSE(page.isChanged());

    QSignalSpy changed(&page, &GeneralPage::changed);
    QTest::keyClick(field("txtColspace"), Qt::Key_3);
    EXPECT_TRUE(page.isChanged());
    QTest::mouseClick(page.findChild<QCheckBox*>(QStringLiteral("chkBorderStyle")), Qt::LeftButton);
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(Page, LeavingAFieldCorrectsItsValue)
{
    EXPECT_EQ(leave("txtLCDCol", "0"), QStringLiteral("1"));
    EXPECT_EQ(messages, QStringList{kColumnError});
    EXPECT_EQ(leave("txtLCDCol", "100"), QStringLiteral("80"));
    EXPECT_EQ(messages.size(), 2);
    EXPECT_EQ(leave("txtLCDCol", " 12abc"), QStringLiteral(" 12abc"));
    EXPECT_EQ(messages.size(), 2);

    EXPECT_EQ(leave("txtLCDRow", "2.5"), QStringLiteral("2.5"));
    EXPECT_EQ(leave("txtLCDRow", "ab"), QStringLiteral("1"));
    EXPECT_EQ(messages.last(), kRowError);
    EXPECT_EQ(leave("txtLCDRow", "7"), QStringLiteral("4"));
    EXPECT_EQ(messages.size(), 4);

    EXPECT_EQ(leave("txtColspace", "-3"), QStringLiteral("0"));
    EXPECT_EQ(leave("txtRowspace", "40000"), QStringLiteral("32767"));
    EXPECT_EQ(leave("txtRowBorderSize", "32767"), QStringLiteral("32767"));
    EXPECT_EQ(messages.size(), 4);
}

TEST_F(Page, UpAndDownButtonsStopAtTheLimits)
{
    field("txtLCDCol")->setText(QStringLiteral("80"));
    QTest::mouseClick(button("butLCDcol(0)"), Qt::LeftButton);
    EXPECT_EQ(field("txtLCDCol")->text(), QStringLiteral("80"));
    QTest::mouseClick(button("butLCDcol(1)"), Qt::LeftButton);
    EXPECT_EQ(field("txtLCDCol")->text(), QStringLiteral("79"));
    field("txtLCDCol")->setText(QStringLiteral("1"));
    QTest::mouseClick(button("butLCDcol(1)"), Qt::LeftButton);
    EXPECT_EQ(field("txtLCDCol")->text(), QStringLiteral("1"));

    QTest::mouseClick(button("butLCDRow(0)"), Qt::LeftButton);
    EXPECT_EQ(field("txtLCDRow")->text(), QStringLiteral("4"));
    QTest::mouseClick(button("butLCDRow(1)"), Qt::LeftButton);
    EXPECT_EQ(field("txtLCDRow")->text(), QStringLiteral("3"));
}

TEST_F(Page, ApplyWritesTheFieldsInRange)
{
    field("txtLCDRow")->setText(QStringLiteral("2.5"));
    field("txtLCDCol")->setText(QStringLiteral("81"));
    field("txtColspace")->setText(QStringLiteral("32767"));
    field("txtRowspace")->setText(QStringLiteral("0"));
    field("txtColBorderSize")->setText(QStringLiteral("-1"));
    field("txtRowBorderSize")->setText(QStringLiteral("6"));
    page.findChild<QCheckBox*>(QStringLiteral("chkBorderStyle"))->setChecked(false);
    page.apply();
    EXPECT_EQ(lcd.LCDRow(), 2); // halves go to the even neighbour
    EXPECT_EQ(lcd.LCDCol(), 20);
    EXPECT_EQ(lcd.Colspace(), 1);
    EXPECT_EQ(lcd.Rowspace(), 0);
    EXPECT_EQ(lcd.ColBorderSize(), 4);
    EXPECT_EQ(lcd.RowBorderSize(), 6);
    EXPECT_FALSE(lcd.BorderStyle());
    EXPECT_EQ(lcd.size(), QSize(426, 28 * 2 + 12 - 1));

    LCD other;
    page.setSelection({&other, &lcd});
    EXPECT_EQ(field("txtLCDRow")->text(), QStringLiteral("4"));
    page.findChild<QCheckBox*>(QStringLiteral("chkBorderStyle"))->setChecked(false);
    page.apply();
    EXPECT_EQ(other.size(), QSize(426, 125)); // the frame off shrinks it by 4 each way
}

TEST(LeadingNumber, ReadsTheNumberAtTheStart)
{
    EXPECT_DOUBLE_EQ(leadingNumber("  42px"), 42);
    EXPECT_DOUBLE_EQ(leadingNumber("-2.5"), -2.5);
    EXPECT_DOUBLE_EQ(leadingNumber("1e2"), 100);
    EXPECT_DOUBLE_EQ(leadingNumber("3e"), 3);
    EXPECT_DOUBLE_EQ(leadingNumber("ab"), 0);
    EXPECT_DOUBLE_EQ(leadingNumber(""), 0);
    EXPECT_DOUBLE_EQ(leadingNumber("."), 0);
}
