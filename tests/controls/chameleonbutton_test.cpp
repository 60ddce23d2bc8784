#include "controls/chameleonbutton.h"
#include "controls/chameleonbuttonwidget.h"

#include "support.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace sonaveil;
using namespace sonaveil::controls;

namespace {

const ColorValue kEditorFace = rgb(212, 208, 200);

class Recorder : public EventRecorder<ChameleonButtonHost> {
public:
    bool timer = false;
    void MouseOver() override { events.push_back("MouseOver"); }
    void MouseOut() override { events.push_back("MouseOut"); }
    void startOverTimer() override { timer = true; }
    void stopOverTimer() override { timer = false; }
};

// The colour editor's buttons: type 14, scheme 2, the editor's face and black text.
void editorLook(ChameleonButtonModel& m)
{
    m.setButtonType(14);
    m.setColorScheme(2);
    m.setBackColor(kEditorFace);
    m.setBackOver(kEditorFace);
    m.setForeColor(kBlack);
    m.setForeOver(kBlack);
}

} // namespace

TEST(ChameleonButtonModel, SchemeTwoDerivesFromTheFaceColour)
{
    ChameleonButtonModel m;
    editorLook(m);
    const auto c = m.derive(false);
    EXPECT_EQ(c.face, kEditorFace);
    EXPECT_EQ(c.highlight, rgb(255, 255, 247));
    EXPECT_EQ(c.light, rgb(243, 239, 231));
    EXPECT_EQ(c.shadow, rgb(148, 144, 136));
    EXPECT_EQ(c.darkShadow, rgb(20, 16, 8));
    EXPECT_EQ(c.effect, rgb(255, 255, 248));
    // The gradient runs from the highlight to 58 darker.
    EXPECT_EQ(m.type14Row(0, 24), rgb(255, 255, 247));
    EXPECT_EQ(m.type14Row(24, 24), rgb(197, 197, 189));
    EXPECT_EQ(m.type14Row(12, 24), rgb(226, 226, 218));
    // A soft bevel halves every offset.
    m.setSoftBevel(true);
    EXPECT_EQ(m.derive(false).shadow, rgb(180, 176, 168));
    EXPECT_EQ(m.derive(false).highlight, rgb(235, 231, 223));
    EXPECT_EQ(m.type14Row(24, 24), rgb(206, 202, 194));
}

TEST(ChameleonButtonModel, FixedAndFollowingSchemes)
{
    ChameleonButtonModel m;
    m.setColorScheme(3);
    EXPECT_EQ(m.derive(false).face, rgb(192, 192, 192));
    EXPECT_EQ(m.derive(false).light, rgb(223, 223, 223));
    m.setColorScheme(4);
    m.ambientChanged({rgb(100, 110, 120), rgb(1, 2, 3)});
    EXPECT_EQ(m.derive(false).face, rgb(100, 110, 120));
    EXPECT_EQ(m.derive(false).text, rgb(1, 2, 3));
    EXPECT_EQ(m.derive(false).shadow, rgb(36, 46, 56));
    // Type 3 moves the blue channel of its effect base in proportion to itself.
    m.setColorScheme(2);
    m.setBackColor(rgb(100, 100, 96));
    m.setButtonType(3);
    EXPECT_EQ(m.derive(false).effect, rgb(148, 148, 120));
}

TEST(ChameleonButtonModel, TypeFourteenFaceNormalHoverPressed)
{
    Recorder host;
    ChameleonButtonModel m(&host);
    editorLook(m);
    m.setBackOver(rgb(200, 200, 200));
    m.setCaption("Load");
    m.shown(80, 24);
    PixelSurface s(80, 24);
    m.paint(s);
    // Gradient rows below the highlight bands, outlines around.
    EXPECT_EQ(s.pixel(40, 10), m.type14Row(10, 24));
    EXPECT_EQ(s.pixel(40, 21), m.type14Row(21, 24));
    EXPECT_EQ(s.pixel(0, 5), offset(rgb(148, 144, 136), -50));
    EXPECT_EQ(s.pixel(1, 5), offset(kEditorFace, -9));
    EXPECT_EQ(s.pixel(10, 2), rgb(255, 255, 247));
    EXPECT_EQ(s.pixel(3, 12), rgb(255, 255, 247));
    ASSERT_FALSE(s.texts().empty());
    EXPECT_EQ(s.texts().back().color, kBlack);

    // Hover fills the face with BackOver + 31.
    m.mouseMove(0, 0, 10, 10, true);
    EXPECT_TRUE(host.timer);
    PixelSurface h(80, 24);
    m.paint(h);
    EXPECT_EQ(h.pixel(40, 10), rgb(231, 231, 231));

    // Pressed: the face in F - 9, the caption embossed.
    m.mousePress(1, 0, 10, 10);
    PixelSurface p(80, 24);
    m.paint(p);
    EXPECT_EQ(m.drawnState(), 2);
    ASSERT_EQ(p.texts().size(), 2u);
    EXPECT_EQ(p.texts()[0].color, offset(m.colors().shadow, -50));
    EXPECT_EQ(p.texts()[1].color, m.colors().highlight);
    EXPECT_EQ(p.pixel(40, 12), offset(rgb(200, 200, 200), -9));
    EXPECT_EQ(p.texts()[0].rect.x, p.texts()[1].rect.x + 1);
}

TEST(ChameleonButtonModel, TypeTwoShowsNoFace)
{
    ChameleonButtonModel m;
    m.setColorScheme(2);
    m.setBackColor(rgb(10, 20, 30));
    m.setCaption("Various");
    m.shown(60, 20);
    PixelSurface s(60, 20);
    m.paint(s);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(s.pixel(x, y), rgb(10, 20, 30)) << x << "," << y;
    ASSERT_EQ(s.texts().size(), 1u);
    EXPECT_TRUE(s.texts()[0].flags.wordWrap);
}

TEST(ChameleonButtonModel, RightButtonLeavesTheLook)
{
    Recorder host;
    ChameleonButtonModel m(&host);
    m.shown(60, 20);
    m.mousePress(2, 0, 5, 5);
    EXPECT_EQ(m.drawnState(), 0);
    m.mouseRelease(2, 0, 5, 5);
    m.click();
    EXPECT_EQ(host.events, (std::vector<std::string>{"MouseDown", "MouseUp"}));
}

TEST(ChameleonButtonModel, SpaceClicksOnlyAfterSpace)
{
    Recorder host;
    ChameleonButtonModel m(&host);
    m.shown(60, 20);
    m.keyPress(32, 0);
    EXPECT_EQ(m.drawnState(), 2);
    m.keyRelease(32, 0);
    EXPECT_EQ(m.drawnState(), 0);
    // The recorded key stays Space until another key is pressed.
    m.keyRelease(32, 0);
    m.keyPress(65, 0);
    m.keyRelease(32, 0);
    EXPECT_EQ(host.events, (std::vector<std::string>{"KeyDown 32", "KeyUp 32", "Click", "KeyUp 32", "Click",
                                                     "KeyDown 65", "KeyUp 32"}));
}

TEST(ChameleonButtonModel, RedrawRuleAndDisableRefresh)
{
    Recorder host;
    ChameleonButtonModel m(&host);
    m.setCaption("A");
    EXPECT_EQ(host.redraws, 0); // not shown yet
    m.shown(60, 20);
    EXPECT_EQ(host.redraws, 1);
    m.mouseRelease(1, 0, 1, 1); // state 0 again, same caption: nothing to draw
    EXPECT_EQ(host.redraws, 1);
    m.DisableRefresh();
    m.setCaption("B");
    m.setBackColor(rgb(1, 1, 1));
    m.mousePress(1, 0, 1, 1);
    EXPECT_EQ(host.redraws, 1);
    m.Refresh();
    EXPECT_EQ(host.redraws, 2);
    // Check-box behaviour with Value on always shows the pressed look.
    m.setCheckBoxBehaviour(true);
    m.setValue(true);
    m.mouseRelease(1, 0, 1, 1);
    EXPECT_EQ(m.drawnState(), 2);
    m.click();
    EXPECT_FALSE(m.value());
    EXPECT_EQ(m.drawnState(), 0);
}

TEST(ChameleonButtonModel, PersistenceWritesEveryKey)
{
    ChameleonButtonModel m;
    editorLook(m);
    m.setCaption("Save");
    m.setHandPointer(true);
    PropertyBag bag;
    m.save(bag);
    for (const char* key : {"BTYPE", "TX", "ENAB", "FONT", "COLTYPE", "FOCUSR", "BCOL", "BCOLO", "FCOL", "FCOLO",
                            "MCOL", "MPTR", "MICON", "PICN", "PICH", "UMCOL", "SOFT", "PICPOS", "NGREY", "FX",
                            "HAND", "CHECK", "VALUE"})
        EXPECT_TRUE(bag.contains(key)) << key;
    EXPECT_EQ(bag.readInteger("mptr", 0), 99);
    ChameleonButtonModel back;
    back.load(bag, FontSpec{});
    EXPECT_EQ(back.buttonType(), 14);
    EXPECT_EQ(back.caption(), "Save");
    EXPECT_EQ(back.backColor(), kEditorFace);
    EXPECT_TRUE(back.handPointer());
    // Missing over-colours follow the loaded face and text colours.
    PropertyBag partial;
    partial.write("bcol", std::int64_t(rgb(5, 6, 7)));
    back.load(partial, FontSpec{});
    EXPECT_EQ(back.backOver(), rgb(5, 6, 7));
    EXPECT_EQ(back.buttonType(), 2);
    EXPECT_EQ(back.colorScheme(), 1);
}

TEST(ChameleonButtonWidget, HoverEndsWhenThePointerLeavesAndClicksWithRealEvents)
{
    QWidget window;
    window.resize(200, 60);
    auto* b = new ChameleonButton("chameleonButton1", &window);
    b->setGeometry(10, 10, 90, 25);
    editorLook(b->model());
    b->setCaption("Apply");
    std::vector<std::string> events;
    QObject::connect(b, &ChameleonButton::MouseOver, [&] { events.push_back("MouseOver"); });
    QObject::connect(b, &ChameleonButton::MouseOut, [&] { events.push_back("MouseOut"); });
    QObject::connect(b, &ChameleonButton::Click, [&] { events.push_back("Click"); });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    sendMove(b, QPoint(20, 10));
    EXPECT_TRUE(b->model().mouseOver());
    const QString hover = saveGrab(b, "chameleon-type14-hover");
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(b, &leave);
    EXPECT_FALSE(b->model().mouseOver());
    saveGrab(b, "chameleon-type14");

    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(20, 10));
    saveGrab(b, "chameleon-type14-pressed");
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(200, 10)); // released off the face
    EXPECT_EQ(events, (std::vector<std::string>{"MouseOver", "MouseOut", "Click"}));

    // Hidden under a resting pointer, no Leave needs to come: the hover ends all the same.
    sendMove(b, QPoint(20, 10));
    ASSERT_TRUE(b->model().mouseOver());
    b->hide();
    EXPECT_FALSE(b->model().mouseOver());
    EXPECT_EQ(events.back(), "MouseOut");

    const QImage img(hover);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.pixelColor(75, 10), QColor(243, 239, 231));
}

TEST(ChameleonButtonWidget, AccessKeyAndHandPointer)
{
    QWidget window;
    window.resize(200, 60);
    auto* b = new ChameleonButton("chameleonButton2", &window);
    b->setGeometry(10, 10, 90, 25);
    b->setCaption("&Apply");
    auto* other = new ChameleonButton("chameleonButton3", &window);
    other->setGeometry(100, 10, 90, 25);
    int clicks = 0;
    QObject::connect(b, &ChameleonButton::Click, [&] { ++clicks; });
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    QTest::keyClick(&window, Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(b->model().lastButton(), 1);
    b->setEnabled(false);
    QTest::keyClick(&window, Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);

    b->setHandPointer(true);
    EXPECT_EQ(b->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(b->model().mousePointer(), 99);
    b->setHandPointer(false);
    EXPECT_EQ(b->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(b->model().mousePointer(), 1);
    EXPECT_EQ(b->version(), "2.0.6");
}

TEST(ChameleonButtonModel, TypeThreeFace)
{
    ChameleonButtonModel m;
    m.setButtonType(3);
    m.setColorScheme(2);
    m.setBackColor(rgb(100, 100, 96));
    m.setBackOver(rgb(100, 100, 96));
    m.setCaption("OK");
    m.shown(80, 24);
    PixelSurface s(80, 24);
    m.paint(s);
    // Effect base (148,148,120); row 10 is 10 darker, the blue by 120 x 10 / 192 truncated.
    EXPECT_EQ(s.pixel(40, 10), rgb(138, 138, 114));
    EXPECT_EQ(s.pixel(0, 5), rgb(0, 60, 115));
    EXPECT_EQ(s.pixel(1, 1), rgb(16, 77, 123));
    EXPECT_EQ(s.pixel(78, 22), rgb(16, 77, 123));
    EXPECT_EQ(s.pixel(40, 22), rgb(100, 100, 90)); // bottom shading X - 48
    // Pressed: darkest at the top.
    m.mousePress(1, 0, 5, 5);
    PixelSurface p(80, 24);
    m.paint(p);
    EXPECT_EQ(p.pixel(40, 3), rgb(125, 125, 106));
    // Disabled.
    m.mouseRelease(1, 0, 5, 5);
    m.setEnabled(false);
    PixelSurface d(80, 24);
    m.paint(d);
    EXPECT_EQ(d.pixel(40, 10), rgb(124, 124, 105));
    EXPECT_EQ(d.pixel(0, 10), rgb(64, 64, 68));
    ASSERT_FALSE(d.texts().empty());
    EXPECT_EQ(d.texts().back().color, rgb(44, 44, 55));
}

TEST(ChameleonButtonWidget, DoubleClickPressesAgainAndEveryReleaseClicks)
{
    QWidget window;
    window.resize(200, 60);
    auto* b = new ChameleonButton("chameleonButton4", &window);
    b->setGeometry(10, 10, 90, 25);
    std::vector<std::string> events;
    QObject::connect(b, &ChameleonButton::MouseDown, [&](int button, int shift, float x, float y) {
        events.push_back("MouseDown " + std::to_string(button) + " " + std::to_string(int(x)));
    });
    QObject::connect(b, &ChameleonButton::MouseUp, [&](int, int, float, float) { events.push_back("MouseUp"); });
    QObject::connect(b, &ChameleonButton::Click, [&] { events.push_back("Click"); });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPoint c(30, 12);
    QTest::mouseClick(b, Qt::LeftButton, {}, c);
    QTest::mouseDClick(b, Qt::LeftButton, {}, c);
    EXPECT_EQ(b->model().drawnState(), 2);
    QTest::mouseRelease(b, Qt::LeftButton, {}, c);
    EXPECT_EQ(events, (std::vector<std::string>{"MouseDown 1 30", "MouseUp", "Click", "MouseDown 1 0", "MouseUp", "Click"}));
    // Right button: MouseDown and MouseUp, no pressed look, no Click.
    events.clear();
    QTest::mousePress(b, Qt::RightButton, {}, c);
    EXPECT_EQ(b->model().drawnState(), 0);
    QTest::mouseRelease(b, Qt::RightButton, {}, c);
    EXPECT_EQ(events, (std::vector<std::string>{"MouseDown 2 30", "MouseUp"}));
}
