#include "controls/mastervolumemodel.h"

#include "platform/fakesystemvolume.h"

#include <gtest/gtest.h>

using namespace sonaveil;
using sonaveil::controls::MasterVolumeModel;

namespace {

MasterVolumeModel barOf(int width, int value)
{
    MasterVolumeModel m;
    m.resize(width, 0);
    m.setValue(value);
    return m;
}

} // namespace

TEST(MasterVolumeModel, FullBarOfAHundredLinesShadesThroughTheThreeColours)
{
    const auto face = barOf(100, 100).face();
    ASSERT_EQ(face.lines.size(), 100u);
    const auto table = MasterVolumeModel::colorTable(100, 0x00FF00, 0x00FFFF, 0x0000FF);
    for (int i = 1; i <= 100; ++i) {
        const auto& line = face.lines[i - 1];
        EXPECT_EQ(line.x1, i - 1);
        EXPECT_EQ(line.x2, i - 1);
        EXPECT_EQ(line.y1, 2);
        EXPECT_EQ(line.y2, face.height - 3);
        EXPECT_EQ(line.color, i % 3 == 0 ? MasterVolumeModel::kButtonFace : table[i - 1]) << "line " << i;
    }
    EXPECT_EQ(face.lines[49].color, 0x00FFFFu); // line 50: the middle colour exactly
    EXPECT_EQ(face.lines[99].color, 0x0000FFu); // line 100: the end colour exactly
    // A half's first line is already one step from its start colour: red 255 / 50 = 5.1.
    EXPECT_EQ(table[0], rgb(5, 255, 0));
    EXPECT_EQ(table[50], rgb(255, 250, 0));
}

TEST(MasterVolumeModel, ColourTableHalvesAndShortBars)
{
    // 101 lines: the first half takes the odd line (51 lines), the second 50.
    const auto odd = MasterVolumeModel::colorTable(101, rgb(0, 0, 0), rgb(102, 0, 0), rgb(0, 0, 0));
    ASSERT_EQ(odd.size(), 101u);
    EXPECT_EQ(odd[50], rgb(102, 0, 0));
    EXPECT_EQ(odd[100], rgb(0, 0, 0));
    // Halves of two lines or fewer build no table: nothing is drawn.
    EXPECT_TRUE(MasterVolumeModel::colorTable(5, 0, 0, 0).empty());
    EXPECT_EQ(MasterVolumeModel::colorTable(6, 0, 0, 0).size(), 6u);
    EXPECT_TRUE(barOf(5, 100).face().lines.empty());
}

TEST(MasterVolumeModel, LevelSegmentsMuteAndSolidColour)
{
    auto m = barOf(200, 50);
    EXPECT_EQ(m.face().lines.size(), 100u); // round(50 / 100 * 200)

    m.setSegmentSize(9);
    EXPECT_EQ(m.segmentSize(), 5);
    m.setSegmentSize(1);
    EXPECT_EQ(m.segmentSize(), 2);
    m.setSegmented(false);
    for (const auto& line : m.face().lines)
        EXPECT_NE(line.color, m.backColor());

    // Muting darkens the three colours the bar shades between.
    m.setMute(true);
    const auto muted = m.face();
    auto dark = barOf(200, 50);
    dark.setSegmented(false);
    dark.setGradientStartColor(0x00FF00 & 0x808080);
    dark.setGradientMidColor(0x00FFFF & 0x808080);
    dark.setGradientEndColor(0x0000FF & 0x808080);
    EXPECT_EQ(muted.lines, dark.face().lines);
    EXPECT_EQ(muted.lines[99].color, rgb(128, 128, 0));

    m.setMute(false);
    m.setUseGradient(false);
    m.setForeColor(rgb(10, 200, 30));
    for (const auto& line : m.face().lines)
        EXPECT_EQ(line.color, rgb(10, 200, 30));
}

TEST(MasterVolumeModel, ValueOutsideTheRangeIsIgnored)
{
    auto m = barOf(100, 40);
    int changes = 0, redraws = 0;
    m.onChange = [&](int) { ++changes; };
    m.onRedraw = [&] { ++redraws; };
    m.setValue(101);
    m.setValue(-1);
    m.setValue(40); // the value already drawn
    EXPECT_EQ(m.value(), 40);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(redraws, 0);
    EXPECT_EQ(m.toolTip(), "Volume:  40%");
    m.setValue(50);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(m.toolTip(), "Volume:  50%");
    EXPECT_EQ(m.knobX(), 44); // round((100 - 13) * 50 / 100) = round(43.5)
}

TEST(MasterVolumeModel, VerticalBarGrowsUpward)
{
    MasterVolumeModel m;
    m.setOrientation(MasterVolumeModel::Vertical);
    m.resize(0, 60);
    EXPECT_EQ(m.width(), MasterVolumeModel::kKnobWidth);
    EXPECT_EQ(m.knobY(), 60 - MasterVolumeModel::kKnobHeight);
    m.setValue(100);
    EXPECT_EQ(m.knobY(), 0);
    const auto f = m.face();
    ASSERT_EQ(f.lines.size(), 60u);
    EXPECT_EQ(f.lines[0].y1, 59);
    EXPECT_EQ(f.lines[59].y1, 0);
    EXPECT_EQ(f.lines[0].x1, 2);
    EXPECT_EQ(f.lines[0].x2, m.width() - 3);

    // Dragging upward raises the level.
    m.press(1, 5, 30);
    m.move(5, 200);
    EXPECT_EQ(m.value(), 0);
    m.move(5, -50);
    EXPECT_EQ(m.value(), 100);
    m.release();
}

TEST(MasterVolumeModel, PollDragAndMuteThroughTheSystem)
{
    platform::FakeSystemVolume system;
    MasterVolumeModel m;
    m.resize(113, 0); // 100 pixels of knob travel
    m.setSystem(&system);
    system.level = system.maximum / 2;
    EXPECT_TRUE(m.show());
    EXPECT_TRUE(m.show());
    EXPECT_EQ(system.openCount, 1);
    m.poll();
    EXPECT_EQ(m.value(), 50);

    // A press beside the knob takes it at its centre and jumps there.
    m.press(1, 86 + 6, 7);
    EXPECT_TRUE(m.dragging());
    EXPECT_EQ(m.value(), 86);
    EXPECT_EQ(m.knobX(), 86);
    EXPECT_EQ(system.level, 56360u); // round(0.86 * 65535)
    // A poll during the drag changes the value but leaves the knob under the pointer.
    system.level = 0;
    m.poll();
    EXPECT_EQ(m.value(), 0);
    EXPECT_EQ(m.knobX(), 86);
    m.move(1000, 7);
    EXPECT_EQ(system.level, system.maximum);
    EXPECT_EQ(m.value(), 100);
    m.release();
    m.press(1, 100, 7); // on the knob: keeps the grab offset
    m.move(-20, 7);
    EXPECT_EQ(system.level, 0u);
    EXPECT_EQ(m.value(), 0);
    m.release();

    m.press(2, 5, 5);
    EXPECT_TRUE(m.mute());
    EXPECT_TRUE(system.muted);
    m.press(2, 5, 5);
    EXPECT_FALSE(system.muted);

    // The system's own mute is taken without being written back.
    const int writes = system.muteWrites;
    system.muted = true;
    m.poll();
    EXPECT_TRUE(m.mute());
    EXPECT_EQ(system.muteWrites, writes);

    // Volume above the full level (amplification) shows as full.
    system.level = system.maximum + 5000;
    m.poll();
    EXPECT_EQ(m.value(), 100);

    m.setEnabled(false);
    m.press(2, 5, 5);
    m.press(1, 0, 5);
    EXPECT_TRUE(m.mute());
    EXPECT_EQ(m.value(), 100);
}

TEST(MasterVolumeModel, WithoutAnOutputTheBarStaysAndNoVolumeIsWritten)
{
    platform::FakeSystemVolume system;
    system.available = false;
    MasterVolumeModel m;
    m.resize(113, 0);
    m.setSystem(&system);
    m.setValue(30);
    ASSERT_TRUE(m.show());
    m.poll();
    EXPECT_EQ(m.value(), 30);
    EXPECT_EQ(m.maximum(), 0u);
    m.press(1, 106, 7);
    m.release();
    EXPECT_EQ(m.value(), 100); // only the knob moves
    EXPECT_EQ(system.volumeWrites, 0);

    system.canOpen = false;
    MasterVolumeModel closed;
    closed.setSystem(&system);
    EXPECT_FALSE(closed.show());
}

TEST(MasterVolumeModel, PropertiesRoundTripAndForeColourIsNotKept)
{
    MasterVolumeModel m;
    m.setValue(64);
    m.setBackColor(0x404040);
    m.setGradientStartColor(0xC0FFFF);
    m.setGradientMidColor(0x0080FF);
    m.setSegmentSize(4);
    m.setForeColor(0x123456);
    m.setMute(true);
    PropertyBag bag;
    m.writeProperties(bag);
    EXPECT_FALSE(bag.contains("ForeColor"));

    MasterVolumeModel back;
    back.readProperties(bag);
    EXPECT_EQ(back.value(), 64);
    EXPECT_EQ(back.backColor(), 0x404040u);
    EXPECT_EQ(back.gradientStartColor(), 0xC0FFFFu);
    EXPECT_EQ(back.gradientMidColor(), 0x0080FFu);
    EXPECT_EQ(back.gradientEndColor(), 0x0000FFu);
    EXPECT_EQ(back.segmentSize(), 4);
    EXPECT_EQ(back.foreColor(), 0x00FF00u);
    EXPECT_TRUE(back.mute());

    PropertyBag stored; // as a window layout stores them: lower case, out-of-range values
    stored.write("segmentsize", std::int64_t(12));
    stored.write("value", std::int64_t(250));
    stored.write("usegradient", std::int64_t(0));
    MasterVolumeModel loaded;
    loaded.readProperties(stored);
    EXPECT_EQ(loaded.segmentSize(), 5);
    EXPECT_EQ(loaded.value(), 0);
    EXPECT_FALSE(loaded.useGradient());
}
