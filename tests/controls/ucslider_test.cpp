#include "controls/ucslider.h"
#include "controls/ucsliderwidget.h"

#include "support.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>

using namespace sonaveil;
using namespace sonaveil::controls;

namespace {

class Counter : public UcSliderHost {
public:
    int changes = 0;
    int scrolls = 0;
    int resets = 0;
    void Change() override { ++changes; }
    void Scroll() override { ++scrolls; }
    void Reset() override { ++resets; }
};

void sendWheel(QWidget* w, int delta)
{
    const QPointF pos(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent e(pos, w->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

} // namespace

TEST(UcSliderModel, DefaultsAndClampedSets)
{
    Counter host;
    UcSliderModel m(&host);
    EXPECT_EQ(m.minimum(), 0);
    EXPECT_EQ(m.maximum(), 255);
    EXPECT_EQ(m.value(), 100);

    struct Case { std::int64_t set; std::int32_t expect; };
    const Case cases[] = {{200, 200}, {256, 255}, {-1, 0}, {INT_MAX, 255}, {INT_MIN, 0},
                          {std::int64_t(1) << 40, 255}, {-(std::int64_t(1) << 40), 0}, {12, 12}};
    int expectedChanges = 0;
    std::int32_t last = m.value();
    for (const auto& c : cases) {
        m.setValue(c.set);
        EXPECT_EQ(m.value(), c.expect) << c.set;
        if (c.expect != last)
            ++expectedChanges;
        last = c.expect;
    }
    EXPECT_EQ(host.changes, expectedChanges);
    // Setting the position it already has raises nothing.
    m.setValue(12);
    EXPECT_EQ(host.changes, expectedChanges);
}

TEST(UcSliderModel, RangeChangesClampTheValueAndRaiseChange)
{
    Counter host;
    UcSliderModel m(&host);
    m.setRange(10, 7056);
    EXPECT_EQ(m.value(), 100);
    m.setValue(4410);
    host.changes = 0;
    m.setMaximum(25);
    EXPECT_EQ(m.maximum(), 25);
    EXPECT_EQ(m.minimum(), 10);
    EXPECT_EQ(m.value(), 25);
    EXPECT_EQ(host.changes, 1);
    // A maximum below the minimum takes the minimum along.
    m.setMaximum(5);
    EXPECT_EQ(m.minimum(), 5);
    EXPECT_EQ(m.value(), 5);
    m.setMinimum(30);
    EXPECT_EQ(m.maximum(), 30);
    EXPECT_EQ(m.value(), 30);
    m.setRange(100, 0);
    EXPECT_EQ(m.minimum(), 0);
    EXPECT_EQ(m.maximum(), 100);
    // The extreme range still maps onto the track without overflow.
    m.setRange(INT_MIN, INT_MAX);
    m.setValue(INT_MAX);
    EXPECT_EQ(m.thumbOffset(200, 15), m.trackLength(200, 15));
    m.setValue(INT_MIN);
    EXPECT_EQ(m.thumbOffset(200, 15), 0);
    EXPECT_EQ(m.valueAt(199, 7, 200, 15), INT_MAX);
}

TEST(UcSliderModel, KeysAndWheelStep)
{
    Counter host;
    UcSliderModel m(&host);
    m.setRange(0, 25);
    m.setValue(12);
    m.setSmallChange(1);
    m.setLargeChange(5);
    host.changes = 0;
    struct Step { int key; std::int32_t expect; };
    const Step steps[] = {{39, 13}, {38, 14}, {37, 13}, {40, 12}, {33, 17}, {34, 12}, {35, 25}, {39, 25}, {36, 0}, {37, 0}};
    for (const auto& s : steps) {
        EXPECT_TRUE(m.keyPress(s.key));
        EXPECT_EQ(m.value(), s.expect) << s.key;
    }
    EXPECT_EQ(host.changes, 8); // the presses at the ends move nothing
    EXPECT_FALSE(m.keyPress(65));

    m.setValue(10);
    m.wheel(120);
    EXPECT_EQ(m.value(), 13);
    m.wheel(60); // half a notch waits for the other half
    EXPECT_EQ(m.value(), 13);
    m.wheel(60);
    EXPECT_EQ(m.value(), 16);
    m.wheel(-240);
    EXPECT_EQ(m.value(), 10);
    m.setEnabled(false);
    m.wheel(120);
    EXPECT_FALSE(m.keyPress(39));
    EXPECT_EQ(m.value(), 10);
}

TEST(UcSliderModel, DragScrollsThenChangesOnce)
{
    Counter host;
    UcSliderModel m(&host);
    m.setRange(0, 100);
    m.setValue(0);
    host.changes = 0;
    const int w = 109, h = 15; // 100 pixels of track: one value a pixel
    const Rect t = m.thumbRect(w, h);
    m.mousePress(t.x + 4, 7, w, h);
    EXPECT_TRUE(m.dragging());
    for (int x = 10; x <= 60; x += 10)
        m.mouseMove(x + 4, 7, w, h);
    EXPECT_EQ(m.value(), 60);
    EXPECT_EQ(host.scrolls, 6);
    EXPECT_EQ(host.changes, 0);
    m.mouseRelease(64, 7, w, h);
    EXPECT_EQ(host.changes, 1);
    EXPECT_FALSE(m.dragging());
    // Dragged past the end: clamped.
    m.mousePress(m.thumbRect(w, h).x + 4, 7, w, h);
    m.mouseMove(500, 7, w, h);
    m.mouseRelease(500, 7, w, h);
    EXPECT_EQ(m.value(), 100);
    // A press on the track pages toward it.
    m.setLargeChange(10);
    m.mousePress(2, 7, w, h);
    EXPECT_EQ(m.value(), 90);
    EXPECT_FALSE(m.dragging());
}

TEST(UcSliderModel, VerticalHasItsMaximumAtTheTop)
{
    UcSliderModel m;
    m.setOrientation(UcSliderModel::Orientation::Vertical);
    m.setRange(0, 30);
    m.setValue(30);
    EXPECT_EQ(m.thumbRect(15, 100).y, 0);
    m.setValue(0);
    EXPECT_EQ(m.thumbRect(15, 100).y, 100 - UcSliderModel::kThumbLength);
    EXPECT_EQ(m.valueAt(7, 0, 15, 100), 30);
    EXPECT_EQ(m.valueAt(7, 99, 15, 100), 0);
}

TEST(UcSliderModel, PaintsBothGradientColours)
{
    UcSliderModel m;
    m.setRange(0, 100);
    m.setValue(100);
    m.setGradientColor1(rgb(255, 0, 0));
    m.setGradientColor2(rgb(0, 0, 255));
    PixelSurface s(120, 15);
    m.paint(s, SystemColors{});
    const Rect track = m.trackRect(120, 15);
    EXPECT_EQ(s.pixel(track.x + 1, 7), rgb(255, 0, 0));
    const Rect thumb = m.thumbRect(120, 15);
    const ColorValue nearThumb = s.pixel(thumb.x - 1, 7);
    EXPECT_GT(blueOf(nearThumb), 200);
    EXPECT_LT(redOf(nearThumb), 60);
    m.setEnabled(false); // greyed
    PixelSurface g(120, 15);
    m.paint(g, SystemColors{});
    const ColorValue c = g.pixel(track.x + 1, 7);
    EXPECT_EQ(redOf(c), blueOf(c));
}

TEST(UcSliderModel, PersistenceRoundTrip)
{
    UcSliderModel m;
    m.setRange(10, 7056);
    m.setValue(4410);
    m.setSmallChange(10);
    m.setLargeChange(150);
    m.setOrientation(UcSliderModel::Orientation::Vertical);
    m.setGradientColor1(rgb(1, 2, 3));
    PropertyBag bag;
    m.save(bag);
    UcSliderModel back;
    back.load(bag);
    EXPECT_EQ(back.value(), 4410);
    EXPECT_EQ(back.minimum(), 10);
    EXPECT_EQ(back.maximum(), 7056);
    EXPECT_EQ(back.largeChange(), 150);
    EXPECT_EQ(back.orientation(), UcSliderModel::Orientation::Vertical);
    EXPECT_EQ(back.gradientColor1(), rgb(1, 2, 3));
    // Damaged values: an inverted range is put right and the value clamped into it.
    PropertyBag bad;
    bad.write("min", std::int64_t(50));
    bad.write("MAX", std::int64_t(5));
    bad.write("value", std::int64_t(1000));
    bad.write("SmallChange", std::int64_t(-4));
    back.load(bad);
    EXPECT_EQ(back.minimum(), 5);
    EXPECT_EQ(back.maximum(), 50);
    EXPECT_EQ(back.value(), 50);
    EXPECT_EQ(back.smallChange(), 0);
}

// --- widget with real events ---------------------------------------------------------------

TEST(UcSliderWidget, KeyboardWheelAndDragWithRealEvents)
{
    QWidget window;
    window.resize(220, 160);
    auto* h = new UcSlider("ucSlider1", &window);
    h->setGeometry(10, 10, 109, 19);
    h->setRange(0, 100);
    h->setValue(50);
    auto* v = new UcSlider("ucSlider2", &window);
    v->setVertical(true);
    v->setGeometry(150, 10, 19, 109);
    v->setRange(0, 100);
    v->setValue(0);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(h->objectName(), "ucSlider1");

    QSignalSpy change(h, &UcSlider::Change);
    QSignalSpy scroll(h, &UcSlider::Scroll);
    h->setFocus();
    QTest::keyClick(h, Qt::Key_Right);
    QTest::keyClick(h, Qt::Key_PageUp);
    QTest::keyClick(h, Qt::Key_Home);
    EXPECT_EQ(h->value(), 0);
    EXPECT_EQ(change.count(), 3);
    QTest::keyClick(h, Qt::Key_End);
    EXPECT_EQ(h->value(), 100);
    sendWheel(h, -120);
    EXPECT_EQ(h->value(), 97);
    EXPECT_EQ(change.count(), 5);

    // Drag the thumb from 0 to 40: Scroll while moving, one Change at the end.
    h->setValue(0);
    change.clear();
    const Rect t = h->model().thumbRect(h->width(), h->height());
    const QPoint grab(t.x + 4, 9);
    QTest::mousePress(h, Qt::LeftButton, {}, grab);
    for (int dx = 10; dx <= 40; dx += 10)
        sendMove(h, grab + QPoint(dx, 0), Qt::LeftButton);
    QTest::mouseRelease(h, Qt::LeftButton, {}, grab + QPoint(40, 0));
    EXPECT_EQ(h->value(), 40);
    EXPECT_EQ(scroll.count(), 4);
    EXPECT_EQ(change.count(), 1);

    // A program set raises Change too.
    h->setValue(77);
    EXPECT_EQ(change.count(), 2);

    // Vertical: Up raises the value, dragging upward too.
    QSignalSpy vchange(v, &UcSlider::Change);
    v->setFocus();
    QTest::keyClick(v, Qt::Key_Up);
    EXPECT_EQ(v->value(), 1);
    const Rect vt = v->model().thumbRect(v->width(), v->height());
    const QPoint vgrab(9, vt.y + 4);
    QTest::mousePress(v, Qt::LeftButton, {}, vgrab);
    sendMove(v, vgrab - QPoint(0, 50), Qt::LeftButton);
    QTest::mouseRelease(v, Qt::LeftButton, {}, vgrab - QPoint(0, 50));
    EXPECT_EQ(v->value(), 51);
    EXPECT_EQ(vchange.count(), 2);

    // Disabled sliders ignore the user but not the program.
    h->setEnabled(false);
    sendWheel(h, 120);
    QTest::mouseClick(h, Qt::LeftButton, {}, QPoint(2, 9));
    EXPECT_EQ(h->value(), 77);
    h->setValue(5);
    EXPECT_EQ(h->value(), 5);
    h->setEnabled(true);
    saveGrab(&window, "ucslider");
}

TEST(UcSliderWidget, DoubleClickOnTheThumbAsksForAReset)
{
    UcSlider s("hsCalibration");
    s.resize(120, 19);
    s.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&s));
    QSignalSpy reset(&s, &UcSlider::Reset);
    const Rect t = s.model().thumbRect(s.width(), s.height());
    QTest::mouseDClick(&s, Qt::LeftButton, {}, QPoint(t.x + 3, 9));
    EXPECT_EQ(reset.count(), 1);
    QTest::mouseDClick(&s, Qt::LeftButton, {}, QPoint(t.x + 60 > 110 ? 2 : 110, 9));
    EXPECT_EQ(reset.count(), 1);
}

TEST(UcSliderWidget, A103SliderWindowIsCheapToBuildAndPaint)
{
    // The player's main window holds 103 sliders; building and painting them all must stay
    // far below a frame's worth of time on a loaded machine.
    std::vector<double> buildMs, paintMs;
    for (int run = 0; run < 5; ++run) {
        QWidget window;
        window.resize(900, 700);
        QElapsedTimer timer;
        timer.start();
        for (int i = 1; i <= 103; ++i) {
            auto* s = new UcSlider(QString("ucSlider%1").arg(i), &window);
            s->setGeometry(10 + (i % 4) * 220, 10 + (i / 4) * 25, 200, 19);
            s->setRange(0, 255);
            s->setValue(i * 2);
        }
        buildMs.push_back(timer.nsecsElapsed() / 1e6);
        QImage target(window.size(), QImage::Format_ARGB32_Premultiplied);
        timer.restart();
        window.render(&target);
        paintMs.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(buildMs.begin(), buildMs.end());
    std::sort(paintMs.begin(), paintMs.end());
    std::printf("[ measure  ] 103 sliders: build %.2f ms, paint %.2f ms (medians of 5)\n", buildMs[2], paintMs[2]);
    EXPECT_LT(buildMs[2], 200.0);
    EXPECT_LT(paintMs[2], 200.0);
}
