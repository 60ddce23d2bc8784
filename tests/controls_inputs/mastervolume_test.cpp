#include "controls/mastervolume.h"

#include "platform/fakesystemvolume.h"
#include "privatepulse.h"
#include "qtenvironment.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWheelEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

using namespace sonaveil;
using sonaveil::controls::MasterVolume;
using sonaveil::controls::MasterVolumeModel;
using testing_support::saveGrab;
using testing_support::waitUntil;

namespace {

QRgb qrgbOf(ColorValue c)
{
    return qRgb(redOf(c), greenOf(c), blueOf(c));
}

struct FakeBar {
    platform::FakeSystemVolume* system;
    std::unique_ptr<MasterVolume> bar;
};

FakeBar fakeBar(int width)
{
    auto system = std::make_unique<platform::FakeSystemVolume>();
    auto* raw = system.get();
    auto bar = std::make_unique<MasterVolume>(std::move(system));
    bar->resize(width, 30);
    return {raw, std::move(bar)};
}

// A bar shown with the mixer at half, once it has read that.
FakeBar shownAtHalf()
{
    FakeBar fake = fakeBar(113);
    fake.bar->show();
    fake.system->level = fake.system->maximum / 2;
    EXPECT_TRUE(waitUntil([&] { return fake.bar->value() == 50; }, 500));
    return fake;
}

// A bar at 100 with no mixer behind it: what it shows comes from the value alone.
FakeBar fullBarWithoutMixer(int width)
{
    FakeBar fake = fakeBar(width);
    fake.system->available = false;
    fake.bar->setValue(100);
    return fake;
}

} // namespace

TEST(MasterVolumeWidget, PaintsTheFullHundredPixelBarLineByLine)
{
    auto fake = fullBarWithoutMixer(100);
    // A plain reference: lambdas below capture it, which older compilers refuse for structured bindings.
    auto& bar = fake.bar;
    EXPECT_EQ(bar->size(), QSize(100, MasterVolumeModel::kKnobHeight)); // thickness from the knob
    const QImage img = saveGrab(bar.get(), QStringLiteral("mastervolume_default_full"));
    const auto table = MasterVolumeModel::colorTable(100, 0x00FF00, 0x00FFFF, 0x0000FF);
    // Read each line below the knob's reach only where the knob does not cover it.
    const int knobLeft = bar->model().knobX();
    for (int i = 1; i <= 100; ++i) {
        const int x = i - 1;
        if (x >= knobLeft)
            continue;
        const QRgb want = i % 3 == 0 ? qrgbOf(MasterVolumeModel::kButtonFace) : qrgbOf(table[i - 1]);
        EXPECT_EQ(img.pixel(x, 2), want) << "line " << i;
        EXPECT_EQ(img.pixel(x, 11), want) << "line " << i;
        EXPECT_EQ(img.pixel(x, 1), qrgbOf(MasterVolumeModel::kButtonFace)) << "line " << i;
    }
    EXPECT_EQ(img.pixel(49, 6), qRgb(255, 255, 0)); // line 50, the middle colour
}

TEST(MasterVolumeWidget, PollsEveryFiftyMillisecondsFromTheFirstShowOnly)
{
    auto fake = fakeBar(150);
    auto& system = fake.system;
    auto& bar = fake.bar;
    QSignalSpy changes(bar.get(), &MasterVolume::Change);
    system->level = system->maximum / 2 + 1;
    EXPECT_FALSE(bar->polling());
    for (int i = 0; i < 5; ++i) {
        bar->show();
        bar->hide();
    }
    bar->show();
    EXPECT_EQ(system->openCount, 1);
    EXPECT_TRUE(bar->polling());
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(waitUntil([&] { return bar->value() == 50; }, 500));
    EXPECT_LE(clock.elapsed(), 100);
    EXPECT_EQ(bar->toolTip(), QStringLiteral("Volume:  50%"));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(0).toInt(), 50);

    // The output going away leaves the bar as it is; its return is followed.
    system->available = false;
    QTest::qWait(120);
    EXPECT_EQ(bar->value(), 50);
    system->available = true;
    system->level = system->maximum / 4;
    EXPECT_TRUE(waitUntil([&] { return bar->value() == 25; }, 500));
}

TEST(MasterVolumeWidget, DragRightClickAndTheMutedLook)
{
    auto fake = shownAtHalf();
    auto& system = fake.system;
    auto& bar = fake.bar;
    ASSERT_EQ(bar->value(), 50);
    saveGrab(bar.get(), QStringLiteral("mastervolume_default_half"));

    const int knobCentre = bar->model().knobX() + 6;
    QTest::mousePress(bar.get(), Qt::LeftButton, {}, QPoint(knobCentre, 7));
    QTest::mouseMove(bar.get(), QPoint(knobCentre + 30, 7));
    EXPECT_EQ(bar->value(), 80);
    QTest::mouseMove(bar.get(), QPoint(400, 7));
    QTest::mouseRelease(bar.get(), Qt::LeftButton, {}, QPoint(400, 7));
    EXPECT_EQ(bar->value(), 100);
    EXPECT_EQ(system->level, system->maximum);
    EXPECT_EQ(bar->model().knobX(), 100);

    QTest::mousePress(bar.get(), Qt::LeftButton, {}, QPoint(3, 7));
    QTest::mouseRelease(bar.get(), Qt::LeftButton, {}, QPoint(3, 7));
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(system->level, 0u);

    bar->setValue(100);
    system->level = system->maximum;
    QTest::mouseClick(bar.get(), Qt::RightButton, {}, QPoint(20, 7));
    EXPECT_TRUE(system->muted);
    bar->clearFocus(); // the face alone, without the keyboard focus frame
    const QImage muted = bar->grab().toImage();
    // Every line is painted as the model's face says, the face shading between the darkened
    // colours: line 56 of 113 is one step short of the darkened middle colour.
    const auto face = bar->model().face();
    for (const auto& line : face.lines) {
        if (line.x1 < bar->model().knobX()) {
            EXPECT_EQ(muted.pixel(line.x1, 7), qrgbOf(line.color)) << line.x1;
        }
    }
    EXPECT_EQ(muted.pixel(55, 7), qRgb(126, 128, 0));
    QTest::mouseClick(bar.get(), Qt::RightButton, {}, QPoint(20, 7));
    EXPECT_FALSE(system->muted);
}

TEST(MasterVolumeWidget, GrabsOfTheMainWindowLook)
{
    for (const bool muted : {false, true}) {
        auto fake = fakeBar(160);
        auto& system = fake.system;
        auto& bar = fake.bar;
        system->available = false;
        PropertyBag bag;
        bag.write("backcolor", std::int64_t(0x404040));
        bag.write("gradientstartcolor", std::int64_t(0xC0FFFF));
        bag.write("gradientmidcolor", std::int64_t(0x0080FF));
        bag.write("value", std::int64_t(70));
        bag.write("mute", muted);
        bar->readProperties(bag);
        bar->show();
        const QImage img = saveGrab(bar.get(), muted ? QStringLiteral("mastervolume_muted") : QStringLiteral("mastervolume"));
        const QRgb line = img.pixel(40, 7);
        EXPECT_EQ(qRed(line) > 128, !muted) << qRed(line);
    }
}

// The same bar on a real sound server.
TEST(MasterVolumeWidget, FollowsAndSetsAPrivatePulseServer)
{
    PrivatePulse pulse;
    ASSERT_TRUE(pulse.start());
    pulse.pactl("set-sink-volume sonaveil_test 40%");
    MasterVolume bar;
    bar.resize(113, 14);
    bar.show();
    ASSERT_TRUE(waitUntil([&] { return bar.value() == 40; }, 3000));
    EXPECT_FALSE(bar.polling()) << "the server announces its changes";

    // pactl's own run time is not the bar's: measure from its return.
    std::vector<qint64> delays;
    for (int percent : {50, 65, 20, 75, 50}) {
        pulse.pactl("set-sink-volume sonaveil_test " + std::to_string(percent) + "%");
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(waitUntil([&] { return bar.value() == percent; }, 1000)) << percent;
        delays.push_back(clock.elapsed());
    }
    std::sort(delays.begin(), delays.end());
    EXPECT_LE(delays[delays.size() / 2], 100);
    std::printf("pactl change shown on the bar after (ms, sorted):");
    for (auto d : delays)
        std::printf(" %lld", static_cast<long long>(d));
    std::printf("\n");

    const int knobCentre = bar.model().knobX() + 6;
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(knobCentre, 7));
    QTest::mouseMove(&bar, QPoint(500, 7));
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(500, 7));
    EXPECT_EQ(bar.value(), 100);
    EXPECT_TRUE(waitUntil([&] { return pulse.pactl("get-sink-volume sonaveil_test").find(" 100% ") != std::string::npos; }, 1000))
        << pulse.pactl("get-sink-volume sonaveil_test");

    QTest::mouseClick(&bar, Qt::RightButton, {}, QPoint(20, 7));
    EXPECT_TRUE(waitUntil([&] { return pulse.pactl("get-sink-mute sonaveil_test").find("yes") != std::string::npos; }, 1000));
    pulse.pactl("set-sink-mute sonaveil_test 0");
    EXPECT_TRUE(waitUntil([&] { return !bar.mute(); }, 1000));

    // The server dies: the bar stays and the program runs on; it follows the server's return.
    pulse.kill();
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(300);
    EXPECT_EQ(bar.value(), 100);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(10, 7));
    QTest::mouseClick(&bar, Qt::RightButton, {}, QPoint(10, 7));
    EXPECT_LT(clock.elapsed(), 600);
    ASSERT_TRUE(pulse.start());
    pulse.pactl("set-sink-volume sonaveil_test 30%");
    EXPECT_TRUE(waitUntil([&] { return bar.value() == 30; }, 3000));
}

TEST(MasterVolumeWidget, TurningTheBarKeepsItsLength)
{
    auto fake = fullBarWithoutMixer(120);
    auto& bar = fake.bar;
    bar->setOrientation(MasterVolumeModel::Vertical);
    EXPECT_EQ(bar->size(), QSize(MasterVolumeModel::kKnobWidth, 120));
    EXPECT_EQ(bar->model().knobY(), 0);
    const QImage img = saveGrab(bar.get(), QStringLiteral("mastervolume_vertical"));
    EXPECT_EQ(img.pixel(6, 119), qRgb(4, 255, 0)); // line 1 at the bottom: 255 / 60 = 4.25
    bar->setOrientation(MasterVolumeModel::Horizontal);
    EXPECT_EQ(bar->size(), QSize(120, MasterVolumeModel::kKnobHeight));
}

TEST(MasterVolumeWidget, KeysAndWheelSetTheVolumeToo)
{
    auto fake = shownAtHalf();
    auto& system = fake.system;
    auto& bar = fake.bar;
    ASSERT_EQ(bar->value(), 50);
    QTest::keyClick(bar.get(), Qt::Key_Right);
    EXPECT_EQ(bar->value(), 51);
    EXPECT_EQ(bar->model().knobX(), 51);
    QTest::keyClick(bar.get(), Qt::Key_PageDown);
    EXPECT_EQ(bar->value(), 41);
    EXPECT_EQ(system->level, 26869u); // round(0.41 * 65535)
    QTest::keyClick(bar.get(), Qt::Key_End);
    EXPECT_EQ(system->level, system->maximum);
    QWheelEvent down(QPointF(5, 5), bar->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -240), Qt::NoButton, Qt::NoModifier,
        Qt::NoScrollPhase, false);
    QApplication::sendEvent(bar.get(), &down);
    EXPECT_EQ(bar->value(), 90);
    QTest::keyClick(bar.get(), Qt::Key_M);
    EXPECT_TRUE(system->muted);
}

TEST(MasterVolumeWidget, HiddenOrMinimisedItRestsAndCatchesUpWhenShown)
{
    QWidget window;
    auto system = std::make_unique<sonaveil::platform::FakeSystemVolume>();
    auto* fake = system.get();
    auto* bar = new MasterVolume(std::move(system), &window);
    fake->level = fake->maximum / 2;
    window.show();
    ASSERT_TRUE(waitUntil([&] { return bar->value() == 50; }, 500));
    EXPECT_TRUE(bar->polling());

    window.hide();
    EXPECT_FALSE(bar->polling());
    fake->level = fake->maximum / 4;
    QTest::qWait(120);
    EXPECT_EQ(bar->value(), 50) << "no poll while hidden";
    window.show();
    EXPECT_EQ(bar->value(), 25) << "the show catches up at once";
    EXPECT_TRUE(bar->polling());

    window.showMinimized();
    QTest::qWait(2 * MasterVolume::kPollMs + 20);
    EXPECT_FALSE(bar->polling());
    window.showNormal();
    EXPECT_TRUE(waitUntil([&] { return bar->polling(); }, 500));
}

TEST(MasterVolumeWidget, FollowsAnAnnouncingSystemWithoutPolling)
{
    QWidget window;
    auto system = std::make_unique<sonaveil::platform::FakeSystemVolume>();
    auto* fake = system.get();
    fake->announces = true;
    fake->level = fake->maximum / 2;
    auto* bar = new MasterVolume(std::move(system), &window);
    window.show();
    EXPECT_EQ(bar->value(), 50) << "read at once when shown";
    EXPECT_FALSE(bar->polling());

    // Announced from the system's own thread, a burst of them is read once.
    QSignalSpy changes(bar, &MasterVolume::Change);
    const int readsBefore = fake->volumeReads;
    std::thread other([fake] {
        fake->level = fake->maximum / 4;
        fake->muted = true;
        for (int i = 0; i < 50; ++i)
            fake->announceChange();
    });
    other.join();
    ASSERT_TRUE(waitUntil([&] { return bar->value() == 25 && bar->mute(); }, 2000));
    EXPECT_EQ(fake->volumeReads - readsBefore, 1);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(fake->muteWrites, 0) << "the system's switch is not written back";

    // Hidden, the bar leaves the change for the next show, which reads it at once.
    window.hide();
    fake->level = fake->maximum / 4 * 3;
    fake->announceChange();
    QCoreApplication::sendPostedEvents(bar);
    EXPECT_EQ(bar->value(), 25);
    window.show();
    EXPECT_EQ(bar->value(), 75);
    EXPECT_FALSE(bar->polling());

    // A change announced just before the bar goes away goes with it.
    fake->announceChange();
    delete bar;
    QCoreApplication::sendPostedEvents();
}
