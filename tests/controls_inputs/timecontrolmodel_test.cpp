#include "controls/timecontrolmodel.h"

#include <gtest/gtest.h>

using sonaveil::PropertyBag;
using sonaveil::controls::TimeControlModel;
using Part = TimeControlModel::Part;
using Key = TimeControlModel::Key;

namespace {

void type(TimeControlModel& m, const char* digits)
{
    for (const char* c = digits; *c; ++c)
        m.typeChar(char32_t(*c));
}

struct TypingCase {
    int part;
    const char* keys;
    const char* text;
    int partAfter;
};

} // namespace

TEST(TimeControlModel, TypingTable)
{
    const TypingCase cases[] = {
        {Part::Hours, "07", "07:00:00", Part::Hours},
        {Part::Hours, "15", "15:00:00", Part::Minutes},
        {Part::Hours, "27", "23:00:00", Part::Minutes},
        {Part::Hours, "7", "07:00:00", Part::Hours},
        {Part::Hours, "75", "23:00:00", Part::Minutes},
        {Part::Hours, "19", "19:00:00", Part::Minutes},
        {Part::Minutes, "45", "00:45:00", Part::Seconds},
        {Part::Minutes, "62", "00:59:00", Part::Seconds},
        {Part::Minutes, "5", "00:05:00", Part::Minutes},
        {Part::Seconds, "38", "00:00:38", Part::Seconds},
        {Part::Seconds, "9", "00:00:09", Part::Seconds},
        {Part::Seconds, "91", "00:00:59", Part::Seconds},
        {Part::Hours, "1234", "12:34:00", Part::Seconds},
        {Part::Hours, "x:", "00:00:00", Part::Hours},
    };
    for (const auto& c : cases) {
        TimeControlModel m;
        m.selectPart(c.part);
        type(m, c.keys);
        EXPECT_EQ(m.text(), c.text) << c.keys;
        EXPECT_EQ(m.selectedPart(), c.partAfter) << c.keys;
        EXPECT_EQ(m.selectionStart(), 3 * c.partAfter) << c.keys;
    }
    // In 12-hour mode the seconds hand on to the AM/PM mark, which takes no digits.
    TimeControlModel m;
    m.setHour24(false);
    m.selectPart(Part::Seconds);
    type(m, "4");
    EXPECT_EQ(m.selectedPart(), Part::AmPm);
    EXPECT_EQ(m.selectionStart(), 9);
    type(m, "5");
    EXPECT_EQ(m.text(), "12:00:04 AM");
}

TEST(TimeControlModel, TypingOverTheShownTimeGivesTheTypedTime)
{
    // A click on the hours of 16:28 selects them; 1630 then reads as 16:30.
    TimeControlModel m;
    m.setH(16);
    m.setMin(28);
    m.mousePressedAt(1);
    type(m, "1630");
    EXPECT_EQ(m.text(), "16:30:00");
    EXPECT_EQ(m.selectedPart(), Part::Seconds);
    // Minutes 27 clicked and 29 typed: 29.
    m.setMin(27);
    m.mousePressedAt(4);
    type(m, "29");
    EXPECT_EQ(m.Min(), 29);
    // Typed again over the same hours: each time the typed time, never a sum with the old one.
    for (const char* typed : {"0745", "2315", "0000", "1200"}) {
        m.mousePressedAt(0);
        type(m, typed);
        EXPECT_EQ(m.text().substr(0, 5), std::string(typed).insert(2, ":")) << typed;
    }
    // A part reached with the arrows or Tab is selected as a whole too.
    m.setMin(50);
    m.selectPart(Part::Hours);
    m.keyDown(Key::Right);
    type(m, "07");
    EXPECT_EQ(m.Min(), 7);
    // "07" keeps the hours selected, as the rules for a first digit say; the next digit begins
    // the minutes. A third digit in the seconds starts them afresh.
    m.mousePressedAt(0);
    type(m, "07");
    EXPECT_EQ(m.selectedPart(), Part::Hours);
    type(m, "5");
    EXPECT_EQ(m.selectedPart(), Part::Minutes);
    EXPECT_EQ(m.text().substr(0, 5), "07:05");
    m.selectPart(Part::Seconds);
    type(m, "385");
    EXPECT_EQ(m.S(), 5);
    // After a Backspace the next digit goes on from what is left.
    m.setH(16);
    m.selectPart(Part::Hours);
    m.typeChar(8);
    type(m, "4");
    EXPECT_EQ(m.H(), 14);
    EXPECT_EQ(m.selectedPart(), Part::Minutes);
}

TEST(TimeControlModel, WithoutSecondsItShowsAndEditsHoursAndMinutesOnly)
{
    TimeControlModel m;
    m.setH(16);
    m.setMin(28);
    m.setS(40);
    m.setShowSeconds(false);
    EXPECT_EQ(m.text(), "16:28");
    EXPECT_EQ(m.S(), 0);
    m.mousePressedAt(0);
    type(m, "1630");
    EXPECT_EQ(m.text(), "16:30");
    EXPECT_EQ(m.selectedPart(), Part::Minutes);
    EXPECT_EQ(m.value(), "16:30:00");
    m.keyDown(Key::Right);
    EXPECT_EQ(m.selectedPart(), Part::Minutes);
    EXPECT_TRUE(m.tabForward()) << "from the minutes the focus leaves";
    m.mousePressedAt(5);
    EXPECT_EQ(m.selectedPart(), Part::Minutes);
    EXPECT_TRUE(m.setValue("07:45:59"));
    EXPECT_EQ(m.text(), "07:45");
    EXPECT_EQ(m.S(), 0);
    // In 12-hour mode the mark follows the minutes.
    m.setHour24(false);
    EXPECT_EQ(m.text(), "07:45 AM");
    m.selectPart(Part::Minutes);
    EXPECT_FALSE(m.tabForward());
    EXPECT_EQ(m.selectedPart(), Part::AmPm);
    EXPECT_EQ(m.selectionStart(), 6);
    EXPECT_FALSE(m.tabBackward());
    EXPECT_EQ(m.selectedPart(), Part::Minutes);
}

TEST(TimeControlModel, BackspaceShortensOrStepsBack)
{
    TimeControlModel m;
    m.setH(17);
    m.setMin(8);
    m.setS(42);
    m.selectPart(Part::Hours);
    m.typeChar(8);
    EXPECT_EQ(m.H(), 1);
    m.typeChar(8);
    EXPECT_EQ(m.H(), 0);
    m.selectPart(Part::Seconds);
    m.typeChar(8);
    EXPECT_EQ(m.S(), 4);
    m.typeChar(8);
    m.typeChar(8); // at 0: back to the minutes
    EXPECT_EQ(m.selectedPart(), Part::Minutes);
    m.typeChar(8);
    EXPECT_EQ(m.Min(), 0);
    m.typeChar(8);
    EXPECT_EQ(m.selectedPart(), Part::Hours);
    EXPECT_EQ(m.text(), "00:00:00");
}

TEST(TimeControlModel, ArrowsWrapAndMoveBetweenParts)
{
    TimeControlModel m;
    m.setH(23);
    m.keyDown(Key::Up);
    EXPECT_EQ(m.text(), "00:00:00");
    m.keyDown(Key::Down);
    EXPECT_EQ(m.H(), 23);
    m.keyDown(Key::Left); // nothing left of the hours
    EXPECT_EQ(m.selectedPart(), Part::Hours);
    m.keyDown(Key::Right);
    m.keyDown(Key::Down);
    EXPECT_EQ(m.Min(), 59);
    m.keyDown(Key::Right);
    m.keyDown(Key::Up);
    EXPECT_EQ(m.S(), 1);
    m.keyDown(Key::Right); // 24-hour mode: no AM/PM part
    EXPECT_EQ(m.selectedPart(), Part::Seconds);
    m.setS(59);
    m.keyDown(Key::Up);
    EXPECT_EQ(m.S(), 0);
    m.setH(24);
    EXPECT_EQ(m.H(), 0);
    m.setMin(-1);
    EXPECT_EQ(m.Min(), 59);
}

TEST(TimeControlModel, TwelveHourModeAndItsToggle)
{
    TimeControlModel m;
    m.setH(9);
    m.setHour24(false);
    EXPECT_EQ(m.widthTwips(), TimeControlModel::kWidth12);
    EXPECT_EQ(m.text(), "09:00:00 AM");
    m.selectPart(Part::Seconds);
    m.keyDown(Key::Right);
    ASSERT_EQ(m.selectedPart(), Part::AmPm);
    m.keyDown(Key::Up);
    EXPECT_EQ(m.H(), 21);
    EXPECT_EQ(m.text(), "09:00:00 PM");
    m.keyDown(Key::Down);
    EXPECT_EQ(m.H(), 9);
    // The spin button does the same.
    m.spinUp();
    EXPECT_EQ(m.H(), 21);
    m.spinUp(); // already PM
    EXPECT_EQ(m.H(), 21);
    m.spinDown();
    EXPECT_EQ(m.H(), 9);
    m.setH(0);
    EXPECT_EQ(m.text(), "12:00:00 AM");
    m.setH(12);
    EXPECT_EQ(m.text(), "12:00:00 PM");
    m.keyDown(Key::Left);
    EXPECT_EQ(m.selectedPart(), Part::Seconds);

    m.setHour24(true);
    EXPECT_EQ(m.text(), "12:00:00");
    EXPECT_EQ(m.widthTwips(), TimeControlModel::kWidth24);
    m.setDesignators("vorm.", "nachm.");
    m.setHour24(false);
    EXPECT_EQ(m.text(), "12:00:00 nachm.");
}

TEST(TimeControlModel, SpinFollowsThePartAndTheTypedHour)
{
    TimeControlModel m;
    type(m, "08");
    EXPECT_EQ(m.spinValue(), 8);
    EXPECT_EQ(m.spinMax(), 23);
    m.spinUp();
    EXPECT_EQ(m.H(), 9);
    m.selectPart(Part::Minutes);
    EXPECT_EQ(m.spinMax(), 59);
    EXPECT_EQ(m.spinValue(), 0);
    m.spinDown(); // the spin button stops at its ends
    EXPECT_EQ(m.Min(), 0);
    m.spinChanged(42);
    EXPECT_EQ(m.text(), "09:42:00");
}

TEST(TimeControlModel, ValueReadsWithoutSecondsAndTakesTimesAndDates)
{
    TimeControlModel m;
    int changes = 0;
    m.onChange = [&] { ++changes; };
    m.setH(7);
    m.setMin(30);
    m.setS(15);
    EXPECT_EQ(m.text(), "07:30:15");
    EXPECT_EQ(m.value(), "07:30:00");
    m.setHour24(false);
    m.setH(19);
    EXPECT_EQ(m.value(), "07:30:00 PM");
    m.setHour24(true);

    EXPECT_TRUE(m.setValue("18:45"));
    EXPECT_EQ(m.text(), "18:45:00");
    EXPECT_TRUE(m.setValue("7:05:09 pm"));
    EXPECT_EQ(m.text(), "19:05:09");
    EXPECT_TRUE(m.setValue("12 AM"));
    EXPECT_EQ(m.text(), "00:00:00");
    EXPECT_TRUE(m.setValue("2026-03-14 06:10"));
    EXPECT_EQ(m.text(), "06:10:00");
    EXPECT_TRUE(m.setValue("14.03.2026"));
    EXPECT_EQ(m.text(), "00:00:00");

    changes = 0;
    for (const char* bad : {"", "soon", "7", "24:00", "12:60", "13:00 PM", "1:2:3:4", "2026-02-30", "07:30 XM"})
        EXPECT_FALSE(m.setValue(bad)) << bad;
    EXPECT_EQ(m.text(), "00:00:00");
    EXPECT_EQ(changes, 0);
}

TEST(TimeControlModel, TabStepsThroughThePartsBeforeLeaving)
{
    TimeControlModel m;
    EXPECT_FALSE(m.tabForward());
    EXPECT_FALSE(m.tabForward());
    EXPECT_TRUE(m.tabForward()); // from the seconds in 24-hour mode
    m.setHour24(false);
    m.selectPart(Part::Seconds);
    EXPECT_FALSE(m.tabForward());
    EXPECT_EQ(m.selectedPart(), Part::AmPm);
    EXPECT_TRUE(m.tabForward());
    EXPECT_FALSE(m.tabBackward());
    EXPECT_EQ(m.selectedPart(), Part::Seconds);

    m.mousePressedAt(4);
    EXPECT_EQ(m.selectedPart(), Part::Minutes);
    m.mousePressedAt(10);
    EXPECT_EQ(m.selectedPart(), Part::AmPm);
    m.mousePressedAt(2);
    EXPECT_EQ(m.selectedPart(), Part::Hours);
    m.selectPart(Part::Seconds);
    m.focusIn(1);
    EXPECT_EQ(m.selectedPart(), Part::Hours);
    EXPECT_EQ(m.focusOut(5), 0);
    EXPECT_EQ(m.focusOut(2), 2);
}

TEST(TimeControlModel, PersistsHoursMinutesModeAndWidth)
{
    TimeControlModel m;
    m.setH(6);
    m.setMin(45);
    m.setS(30);
    m.setHour24(false);
    m.setWidthTwips(1500);
    PropertyBag bag;
    m.writeProperties(bag);
    EXPECT_EQ(bag.names(), (std::vector<std::string>{"h", "hour24", "min", "width"}));

    TimeControlModel back;
    int changes = 0;
    back.onChange = [&] { ++changes; };
    back.readProperties(bag);
    EXPECT_EQ(back.text(), "06:45:00 AM"); // seconds are not kept
    EXPECT_EQ(back.widthTwips(), 1500);
    EXPECT_EQ(changes, 1);

    TimeControlModel fresh;
    fresh.readProperties(PropertyBag());
    EXPECT_EQ(fresh.text(), "00:00:00");
    EXPECT_TRUE(fresh.hour24());
    EXPECT_EQ(fresh.widthTwips(), 990);
}
