#include "lumidot/lcd.h"

#include "common/propertybag.h"
#include "lumidot/displaymodel.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace sonaveil::lumidot;

TEST(LcdControl, FactoryCreatesTheControlByItsIdentifier)
{
    std::unique_ptr<QWidget> w(createControl("Dotrix.LCD"));
    auto* lcd = qobject_cast<LCD*>(w.get());
    ASSERT_NE(lcd, nullptr);
    EXPECT_EQ(lcd->size(), QSize(430, 129));
    EXPECT_EQ(lcd->ColorPresetPalette(), LCD_Green);
    EXPECT_EQ(createControl("Dotrix.Other"), nullptr);

    // A host's stored layout: 4 x 25 small dots in LCD_Blue, as the player's main window has it.
    sonaveil::PropertyBag layout;
    layout.write("lcdrow", std::int64_t(4));
    layout.write("lcdcol", std::int64_t(25));
    layout.write("displaytype", std::int64_t(Small));
    std::unique_ptr<QWidget> stored(createControl("dotrix.lcd", nullptr, &layout));
    auto* player = qobject_cast<LCD*>(stored.get());
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->size(), QSize((10 + 1) * 25 + 8 - 1 + 3, 73));

    QSignalSpy colours(player, &LCD::ColorChanged);
    player->setProperty("ColorPresetPalette", int(LCD_Blue));
    EXPECT_EQ(player->property("ColorPresetPalette").toInt(), int(LCD_Blue));
    ASSERT_EQ(colours.count(), 4);
    EXPECT_EQ(colours.at(0).at(0).toInt(), int(lcdPixelOff));
    EXPECT_EQ(colours.at(3).at(1).toUInt(), uint(sonaveil::rgb(207, 223, 255)));
    player->SetDisplay(4, QStringLiteral("Current:None"));
    EXPECT_EQ(player->GetDisplay(4), QStringLiteral("Current:None"));
}

TEST(LcdControl, KeepsItsOwnSizeAndReportsIt)
{
    LCD lcd;
    lcd.show();
    QSignalSpy sizes(&lcd, &LCD::SizeChanged);
    lcd.resize(50, 50);
    EXPECT_EQ(lcd.size(), QSize(430, 129));
    EXPECT_EQ(sizes.count(), 1);

    lcd.setBorderStyle(false);
    EXPECT_EQ(lcd.size(), QSize(426, 125));
    EXPECT_EQ(sizes.count(), 2);
    lcd.setLCDRow(9);
    EXPECT_EQ(sizes.count(), 2);
    EXPECT_EQ(lcd.sizeHint(), QSize(426, 125));
}

TEST(LcdControl, PaintsTheModelsImage)
{
    LCD lcd;
    lcd.setColorPresetPalette(Led_Green);
    lcd.SetDisplay(1, QString(QChar(0x85)) + QStringLiteral("A"));
    const QImage shot = lcd.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), QSize(430, 129));
    EXPECT_EQ(shot.pixel(6, 6), qRgb(0, 255, 0));
    EXPECT_EQ(shot.pixel(6 + 1, 6 + 3), qRgb(0, 96, 0));
    EXPECT_EQ(shot, lcd.image());
}

TEST(LcdControl, LineTimersRunTheAnimationToItsEnd)
{
    LCD lcd;
    lcd.setLCDCol(4);
    QSignalSpy done(&lcd, &LCD::AnimationComplete);
    lcd.SetAnimationOpts(2, Scroll, 5, false, false, 0);
    lcd.SetAnimation(2, QStringLiteral("AB"));
    ASSERT_TRUE(done.wait(2000));
    EXPECT_EQ(done.count(), 1);
    EXPECT_EQ(done.at(0).at(0).toInt(), 2);
    EXPECT_EQ(lcd.GetDisplay(2), QStringLiteral("AB  "));
    EXPECT_FALSE(lcd.model().timerEnabled(1));
}

TEST(LcdControl, ForwardsMouseAndKeyEvents)
{
    LCD lcd;
    lcd.show();
    QSignalSpy down(&lcd, &LCD::MouseDown);
    QSignalSpy up(&lcd, &LCD::MouseUp);
    QSignalSpy click(&lcd, &LCD::Click);
    QSignalSpy dbl(&lcd, &LCD::DblClick);
    QSignalSpy keyDown(&lcd, &LCD::KeyDown);
    QSignalSpy keyPress(&lcd, &LCD::KeyPress);
    QSignalSpy keyUp(&lcd, &LCD::KeyUp);

    QTest::mouseClick(&lcd, Qt::RightButton, Qt::ShiftModifier, QPoint(10, 20));
    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(down.at(0).at(0).toInt(), 2);
    EXPECT_EQ(down.at(0).at(1).toInt(), 1);
    EXPECT_FLOAT_EQ(down.at(0).at(2).toFloat(), 10.0f);
    EXPECT_FLOAT_EQ(down.at(0).at(3).toFloat(), 20.0f);
    EXPECT_EQ(up.count(), 1);
    EXPECT_EQ(click.count(), 1);
    QTest::mouseDClick(&lcd, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(dbl.count(), 1);

    QTest::keyClick(&lcd, 'A', Qt::ShiftModifier); // Shift goes down first
    ASSERT_EQ(keyDown.count(), 2);
    EXPECT_EQ(keyDown.at(0).at(0).toInt(), 0x10);
    EXPECT_EQ(keyDown.at(1).at(0).toInt(), 65);
    EXPECT_EQ(keyDown.at(1).at(1).toInt(), 1);
    ASSERT_EQ(keyPress.count(), 1);
    EXPECT_EQ(keyPress.at(0).at(0).toInt(), int('A'));
    EXPECT_EQ(keyUp.last().at(0).toInt(), 0x10);
    QTest::keyClick(&lcd, Qt::Key_Left);
    EXPECT_EQ(keyDown.last().at(0).toInt(), 0x25);
}

TEST(LcdControl, PropertiesReportChangesForSaving)
{
    LCD lcd;
    QSignalSpy changed(&lcd, &LCD::propertyChanged);
    lcd.setProperty("LCDRow", 2);
    lcd.setProperty("AutoBlend", false);
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(0).at(0).toString(), QStringLiteral("LCDRow"));
    EXPECT_EQ(changed.at(1).at(0).toString(), QStringLiteral("AutoBlend"));

    QImage dot(2, 2, QImage::Format_RGB32);
    dot.fill(Qt::red);
    lcd.setLCDonPicture(dot);
    dot.fill(Qt::darkRed);
    lcd.setLCDoffPicture(dot);
    EXPECT_EQ(lcd.DisplayType(), int(Custom));
    EXPECT_EQ(lcd.size(), QSize((10 + 1) * 20 + 8 - 1 + 3, (14 + 2) * 2 + 8 - 2 + 3));
    EXPECT_EQ(lcd.LCDoffPicture().pixel(0, 0), QColor(Qt::darkRed).rgb());

    sonaveil::PropertyBag bag;
    lcd.writeProperties(bag);
    LCD copy;
    copy.readProperties(bag);
    EXPECT_EQ(copy.size(), lcd.size());
    EXPECT_EQ(copy.image(), lcd.image());
}
