#include "controls/multibutton.h"
#include "controls/multibuttonwidget.h"

#include "support.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace sonaveil;
using namespace sonaveil::controls;

namespace {

const ColorValue kGrey = rgb(128, 128, 128);

// Records the events a host receives, in order.
class Recorder : public EventRecorder<MultibuttonHost> {
public:
    void DblClick() override { events.push_back("DblClick"); }
    void MouseEnter() override { events.push_back("MouseEnter"); }
    void MouseLeave() override { events.push_back("MouseLeave"); }
};

// A window holding one button, shown and active, with every event the host sees recorded.
struct ButtonWindow {
    QWidget window;
    Multibutton* button;
    std::vector<std::string> events;

    explicit ButtonWindow(const QString& caption = "Equalizer")
    {
        window.resize(200, 80);
        button = new Multibutton("Multibutton1", &window);
        button->setGeometry(20, 20, 100, 26);
        button->setButtonStyle(7);
        button->setBackColor(kGrey);
        button->setCaption(caption);
        auto log = [this](const char* name) { return [this, name] { events.push_back(name); }; };
        QObject::connect(button, &Multibutton::Click, log("Click"));
        QObject::connect(button, &Multibutton::DblClick, log("DblClick"));
        QObject::connect(button, &Multibutton::MouseDown, [this](int, int, float, float) { events.push_back("MouseDown"); });
        QObject::connect(button, &Multibutton::MouseUp, [this](int, int, float, float) { events.push_back("MouseUp"); });
        QObject::connect(button, &Multibutton::KeyDown, [this](int k, int) { events.push_back("KeyDown " + std::to_string(k)); });
        QObject::connect(button, &Multibutton::KeyUp, [this](int k, int) { events.push_back("KeyUp " + std::to_string(k)); });
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        button->setFocus();
    }

    QPoint centre() const { return button->rect().center(); }
};

PixelSurface render(const MultibuttonModel& m, int w = 80, int h = 23)
{
    PixelSurface s(w, h, kWhite);
    m.paint(s, SystemColors{});
    return s;
}

} // namespace

// --- model -------------------------------------------------------------------------------

TEST(MultibuttonModel, AccessKeys)
{
    struct Case { const char* caption; char key; };
    const Case cases[] = {
        {"&Play", 'p'}, {"&File", 'f'}, {"Sto&p", 'p'}, {"A&&B", 0}, {"Save&", 0}, {"&", 0},
        {"A&&B&c", 'c'}, {"&&&x", 'x'}, {"&&&&", 0}, {"R&&&&D", 0}, {"Plain", 0}, {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MultibuttonModel::accessKeyOf(c.caption), c.key) << c.caption;
}

TEST(MultibuttonModel, StyleSetsItsDefaultColours)
{
    MultibuttonModel m;
    m.initNew("Multibutton1");
    EXPECT_EQ(m.caption(), "Multibutton1");
    EXPECT_EQ(m.buttonStyle(), 0);
    m.setButtonStyle(5);
    EXPECT_EQ(m.foreColor(), kWhite);
    EXPECT_EQ(m.backColor(), rgb(0, 109, 170));
    EXPECT_FALSE(m.showFocusRect());
    m.setButtonStyle(7);
    EXPECT_EQ(m.backColor(), rgb(173, 209, 255));
    EXPECT_EQ(m.foreColor(), systemColor(SystemColor::ButtonText));
    m.setButtonStyle(4);
    EXPECT_EQ(m.backColor(), rgb(227, 227, 227));
    m.setButtonStyle(99);
    EXPECT_EQ(m.buttonStyle(), 14);
}

TEST(MultibuttonModel, PersistedPropertiesUseTheirKeysAndDefaults)
{
    MultibuttonModel m;
    m.initNew("Multibutton7");
    PropertyBag empty;
    m.load(empty, FontSpec{});
    // Missing keys give the load defaults, which differ from a new control's.
    EXPECT_EQ(m.buttonStyle(), 1);
    EXPECT_FALSE(m.showFocusRect());
    EXPECT_EQ(m.caption(), "Multibutton");
    EXPECT_FALSE(m.useMaskColor());

    m.setButtonStyle(7);
    m.setBackColor(kGrey);
    m.setCaption("&Record");
    m.setCheckBoxMode(true);
    m.setValue(true);
    m.setUseMaskColor(true);
    PropertyBag bag;
    m.save(bag, FontSpec{});
    EXPECT_EQ(bag.readInteger("buttonstyle", -1), 7);
    EXPECT_EQ(bag.readInteger("BACKCOLOR", -1), std::int64_t(kGrey));
    EXPECT_TRUE(bag.readBoolean("UseMaskCOlor", false));
    EXPECT_FALSE(bag.contains("Enabled"));    // True is not stored
    EXPECT_FALSE(bag.contains("PictureAlign")); // neither is 1

    MultibuttonModel back;
    back.load(bag, FontSpec{});
    EXPECT_EQ(back.buttonStyle(), 7);
    EXPECT_EQ(back.caption(), "&Record");
    EXPECT_EQ(back.accessKey(), 'r');
    EXPECT_TRUE(back.value());
    EXPECT_EQ(back.backColor(), kGrey);
}

TEST(MultibuttonModel, ValueOutsideCheckBoxModeIsIgnoredAndDrawsNormal)
{
    Recorder host;
    MultibuttonModel m(&host);
    m.setButtonStyle(7);
    m.hookedMouseMove();
    EXPECT_EQ(m.visualState(), VisualState::Hot);
    m.setValue(true);
    EXPECT_FALSE(m.value());
    EXPECT_EQ(m.visualState(), VisualState::Normal);
}

TEST(MultibuttonModel, Style7BandsForGrey)
{
    const auto n = MultibuttonModel::style7Bands(kGrey, VisualState::Normal, false, false);
    EXPECT_EQ(n.upperTop, rgb(203, 203, 203));    // average of (151,151,151) and white
    EXPECT_EQ(n.upperBottom, rgb(137, 137, 137)); // average of (146,146,146) and the face
    EXPECT_EQ(n.lowerTop, kGrey);
    EXPECT_EQ(n.lowerBottom, rgb(136, 136, 136));
    EXPECT_EQ(n.outline, rgb(41, 41, 41));
    EXPECT_EQ(MultibuttonModel::style7UpperHeight(23), 9);
    EXPECT_EQ(MultibuttonModel::style7LowerHeight(23), 14);
    EXPECT_EQ(MultibuttonModel::style7UpperHeight(27), 10);
    EXPECT_EQ(MultibuttonModel::style7LowerHeight(27), 17);

    // The rendered face: first rows of each band exactly, outline all round.
    MultibuttonModel m;
    m.setButtonStyle(7);
    m.setBackColor(kGrey);
    const auto s = render(m, 80, 23);
    EXPECT_EQ(s.pixel(0, 0), rgb(41, 41, 41));
    EXPECT_EQ(s.pixel(79, 22), rgb(41, 41, 41));
    EXPECT_EQ(s.pixel(40, 1), gradientRows(rgb(203, 203, 203), rgb(137, 137, 137), 9)[1]);
    EXPECT_EQ(s.pixel(40, 8), rgb(137, 137, 137));
    EXPECT_EQ(s.pixel(40, 9), kGrey);
    EXPECT_EQ(s.pixel(40, 21), gradientRows(kGrey, rgb(136, 136, 136), 14)[12]);
}

TEST(MultibuttonModel, Style7CheckedLooks)
{
    MultibuttonModel m;
    m.setButtonStyle(7);
    m.setBackColor(kGrey);
    m.setCheckBoxMode(true);
    m.setValue(true);
    EXPECT_EQ(m.drawnState(), VisualState::Pressed);
    auto s = render(m, 80, 23);
    // Not hovered: the checked colours.
    EXPECT_EQ(s.pixel(40, 8), rgb(255, 192, 111));
    EXPECT_EQ(s.pixel(40, 9), rgb(255, 171, 63));
    // Hovered: the pressed colours.
    m.hookedMouseMove();
    s = render(m, 80, 23);
    EXPECT_EQ(s.pixel(40, 8), rgb(255, 175, 81));
    EXPECT_EQ(s.pixel(40, 9), rgb(255, 143, 70));
    // Hot without the check.
    m.setValue(false);
    m.hookedMouseLeave();
    m.hookedMouseMove();
    s = render(m, 80, 23);
    EXPECT_EQ(s.pixel(40, 9), rgb(255, 215, 103));
}

TEST(MultibuttonModel, Style7RolloverColourReplacesTheHoverPressedAndCheckedBands)
{
    const ColorValue rollover = rgb(40, 90, 160);
    // The normal bands of a face colour, row by row.
    auto normalOf = [](ColorValue back) {
        MultibuttonModel plain;
        plain.setButtonStyle(7);
        plain.setBackColor(back);
        return render(plain, 80, 23);
    };
    auto sameRows = [](const PixelSurface& a, const PixelSurface& b) {
        for (int y : {4, 8, 12, 17})
            if (a.pixel(40, y) != b.pixel(40, y))
                return false;
        return true;
    };
    MultibuttonModel m;
    m.setButtonStyle(7);
    m.setBackColor(kGrey);
    m.setForeColor(rgb(250, 240, 230));
    m.setRolloverColor(rollover);
    // Not hovered: the rollover colour changes nothing.
    EXPECT_TRUE(sameRows(render(m, 80, 23), normalOf(kGrey)));
    // Hovered: the normal bands of the rollover colour, not the built-in yellow ones.
    m.hookedMouseMove();
    ASSERT_EQ(m.drawnState(), VisualState::Hot);
    EXPECT_TRUE(sameRows(render(m, 80, 23), normalOf(rollover)));
    // Pressed: a darker shade of it.
    m.mousePress(1, 0, 10, 10);
    ASSERT_EQ(m.drawnState(), VisualState::Pressed);
    EXPECT_TRUE(sameRows(render(m, 80, 23), normalOf(shade(rollover, -0.12f))));
    m.mouseRelease(1, 0, 10, 10, 80, 23);
    // Checked and not hovered: the rollover colour; hovered: the darker shade.
    m.setCheckBoxMode(true);
    m.setValue(true);
    m.hookedMouseLeave();
    PixelSurface checked = render(m, 80, 23);
    EXPECT_TRUE(sameRows(checked, normalOf(rollover)));
    // framed in the caption colour
    EXPECT_EQ(checked.pixel(2, 12), rgb(250, 240, 230));
    EXPECT_EQ(checked.pixel(77, 12), rgb(250, 240, 230));
    m.hookedMouseMove();
    EXPECT_TRUE(sameRows(render(m, 80, 23), normalOf(shade(rollover, -0.12f))));
    // Cleared: the built-in hover bands again.
    m.setValue(false);
    m.setRolloverColor(std::nullopt);
    m.hookedMouseLeave();
    m.hookedMouseMove();
    EXPECT_EQ(render(m, 80, 23).pixel(40, 9), rgb(255, 215, 103));
}

TEST(MultibuttonModel, CheckBoxModeOfStyleZeroIsSunkenNotPressed)
{
    MultibuttonModel m;
    m.setButtonStyle(0);
    m.setBackColor(kGrey);
    m.setCheckBoxMode(true);
    m.setValue(true);
    EXPECT_EQ(m.drawnState(), VisualState::Normal);
    const auto s = render(m, 80, 23);
    SystemColors sys;
    EXPECT_EQ(s.pixel(40, 10), shade(kGrey, 0.02f));
    EXPECT_EQ(s.pixel(0, 0), sys.buttonShadow);   // sunken edge: dark at the top left
    EXPECT_EQ(s.pixel(79, 22), sys.buttonHighlight);
}

TEST(MultibuttonModel, CaptionPlacementAndColours)
{
    MultibuttonModel m;
    m.setButtonStyle(7);
    m.setCaption("Play");
    auto s = render(m, 80, 23);
    ASSERT_EQ(s.texts().size(), 1u);
    const int tw = 4 * PixelSurface::kCharWidth;
    EXPECT_EQ(s.texts()[0].rect.x, 80 / 2 - tw / 2);
    EXPECT_EQ(s.texts()[0].rect.y, 23 / 2 - PixelSurface::kLineHeight / 2);
    m.setCaption("&Play"); // measured with the "&", moved 3 to the right
    s = render(m, 80, 23);
    EXPECT_EQ(s.texts()[0].rect.x, 80 / 2 - (5 * PixelSurface::kCharWidth) / 2 + 3);
    m.setCaptionAlign(0);
    s = render(m, 80, 23);
    EXPECT_EQ(s.texts()[0].rect.x, 4 + 3);
    m.setEnabled(false);
    s = render(m, 80, 23);
    EXPECT_EQ(s.texts()[0].color, SystemColors{}.grayText);
}

TEST(MultibuttonModel, SymbolCaptionsDrawShapes)
{
    MultibuttonModel m;
    m.setButtonStyle(7);
    FontSpec f;
    f.name = "Webdings";
    f.pointSize = 12;
    m.setFont(f);
    m.setCaption("=");
    m.setForeColor(rgb(255, 0, 0));
    const auto s = render(m, 40, 30);
    EXPECT_TRUE(s.texts().empty());
    ASSERT_EQ(s.symbols().size(), 1u);
    EXPECT_EQ(s.symbols()[0].symbol, TransportSymbol::Record);
    // Red it stays, only as much darker as a shape needs to stand out (3 : 1) on the face.
    const ColorValue c = s.symbols()[0].color;
    EXPECT_GT(redOf(c), 200);
    EXPECT_EQ(greenOf(c), 0);
    EXPECT_EQ(blueOf(c), 0);
    const auto& r = s.symbols()[0].rect;
    EXPECT_GE(contrastRatio(c, s.pixel(3, r.y + r.h / 2)), 3.0); // the face beside the symbol
}

TEST(MultibuttonModel, Style7CaptionsKeepFourAndAHalfToOneInEveryState)
{
    // Pale and dark captions on pale and dark faces, with and without a rollover colour: in every
    // state the caption reads at least 4.5 : 1 against every pixel behind it.
    struct Case {
        ColorValue back, fore;
        std::optional<ColorValue> rollover;
    };
    const std::vector<Case> cases = {
        {rgb(60, 60, 70), rgb(255, 255, 255), std::nullopt},   // light caption, built-in yellow hover
        {rgb(40, 40, 90), rgb(250, 240, 200), std::nullopt},
        {rgb(230, 230, 230), rgb(0, 0, 0), std::nullopt},
        {rgb(30, 30, 30), rgb(235, 235, 235), rgb(250, 250, 240)}, // pale rollover under a pale caption
        {rgb(200, 200, 255), rgb(120, 120, 120), rgb(230, 230, 250)},
    };
    for (const Case& c : cases) {
        for (int state = 0; state < 5; ++state) {
            MultibuttonModel m;
            m.setButtonStyle(7);
            m.setBackColor(c.back);
            m.setForeColor(c.fore);
            m.setRolloverColor(c.rollover);
            m.setCaption("Equalizer");
            if (state == 1) m.hookedMouseMove();
            if (state == 2) { m.hookedMouseMove(); m.mousePress(1, 0, 5, 5); }
            if (state >= 3) { m.setCheckBoxMode(true); m.setValue(true); }
            if (state == 4) m.hookedMouseMove();
            const PixelSurface s = render(m, 90, 26);
            ASSERT_EQ(s.texts().size(), 1u);
            const auto& run = s.texts()[0];
            double worst = 21;
            for (int y = std::max(0, run.rect.y); y < std::min(26, run.rect.y + run.rect.h); ++y)
                for (int x = std::max(0, run.rect.x); x < std::min(90, run.rect.x + run.rect.w); ++x)
                    worst = std::min(worst, contrastRatio(run.color, s.pixel(x, y)));
            EXPECT_GE(worst, 4.5) << "back " << std::hex << c.back << " fore " << c.fore << " state " << state;
        }
    }
    // A caption that already reads well keeps its colour.
    MultibuttonModel m;
    m.setButtonStyle(7);
    m.setBackColor(rgb(230, 230, 230));
    m.setForeColor(rgb(0, 0, 120));
    m.setCaption("Equalizer");
    EXPECT_EQ(render(m, 90, 26).texts()[0].color, rgb(0, 0, 120));
}

TEST(Contrast, RatiosOfKnownPairs)
{
    EXPECT_NEAR(contrastRatio(kBlack, kWhite), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(kWhite, kWhite), 1.0, 1e-9);
    EXPECT_NEAR(contrastRatio(rgb(118, 118, 118), kWhite), 4.54, 0.01);
}

TEST(MultibuttonModel, EveryStyleDrawsInEveryState)
{
    // Nothing may be left undrawn or draw outside: every style, every state, tiny and large.
    for (int style = 0; style <= 14; ++style) {
        for (int state = 0; state < 4; ++state) {
            for (auto size : {std::pair{15, 15}, std::pair{90, 26}}) {
                Recorder host;
                MultibuttonModel m(&host);
                m.setButtonStyle(style);
                m.setCaption("&Go");
                if (state == 1) m.hookedMouseMove();
                if (state == 2) { m.hookedMouseMove(); m.mousePress(1, 0, 5, 5); }
                if (state == 3) { m.setCheckBoxMode(true); m.setValue(true); }
                PixelSurface s(size.first, size.second, rgb(1, 2, 3));
                m.paint(s, SystemColors{});
                EXPECT_EQ(s.texts().size(), 1u) << style;
                // 13 and 14 show the background in some states.
                if (style != 14 && style != 13) {
                    EXPECT_NE(s.pixel(size.first / 2, size.second / 2), rgb(1, 2, 3)) << style << " " << state;
                }
            }
        }
    }
}

TEST(MultibuttonModel, EdgeReleasesRaiseNoClick)
{
    Recorder host;
    MultibuttonModel m(&host);
    for (auto [x, y] : {std::pair{0.f, 10.f}, {10.f, 0.f}, {80.f, 10.f}, {10.f, 23.f}, {-3.f, 10.f}}) {
        host.events.clear();
        m.mousePress(1, 0, 10, 10);
        m.mouseRelease(1, 0, x, y, 80, 23);
        EXPECT_EQ(host.events, (std::vector<std::string>{"MouseDown", "MouseUp"})) << x << "," << y;
    }
    host.events.clear();
    m.mousePress(1, 0, 10, 10);
    m.mouseRelease(1, 0, 1, 1, 80, 23);
    EXPECT_EQ(host.events, (std::vector<std::string>{"MouseDown", "Click", "MouseUp"}));
}

TEST(MultibuttonModel, AccessKeyInCheckBoxMode)
{
    Recorder host;
    MultibuttonModel m(&host);
    m.setCaption("&Loop");
    m.setCheckBoxMode(true);
    m.accessKeyPressed('L');
    EXPECT_TRUE(m.value());
    EXPECT_EQ(host.events, std::vector<std::string>{"Click"});
    // Enter and Esc do nothing more in check-box mode.
    m.accessKeyPressed(13);
    m.accessKeyPressed(27);
    EXPECT_TRUE(m.value());
    EXPECT_EQ(host.events.size(), 1u);
    m.setEnabled(false);
    m.accessKeyPressed('L');
    EXPECT_EQ(host.events.size(), 1u);
}

TEST(MultibuttonModel, DeactivationOfTheWindowDropsEverythingHeld)
{
    Recorder host;
    MultibuttonModel m(&host);
    m.hookedMouseMove();
    m.mousePress(1, 0, 5, 5);
    EXPECT_EQ(m.visualState(), VisualState::Pressed);
    m.parentActivated(false);
    EXPECT_EQ(m.visualState(), VisualState::Normal);
    EXPECT_FALSE(m.leftButtonDown());
    EXPECT_FALSE(m.hasFocus());
    m.parentActivated(true);
    EXPECT_TRUE(m.parentActive());
}

// --- widget with real events ---------------------------------------------------------------

TEST(MultibuttonWidget, DoubleClickSequence)
{
    ButtonWindow w;
    QTest::mouseClick(w.button, Qt::LeftButton, {}, w.centre());
    QTest::mouseDClick(w.button, Qt::LeftButton, {}, w.centre());
    QTest::mouseRelease(w.button, Qt::LeftButton, {}, w.centre());
    const std::vector<std::string> expected{"MouseDown", "Click", "MouseUp", "MouseDown", "DblClick", "Click", "MouseUp"};
    EXPECT_EQ(w.events, expected);

    // The same when the window system delivers the second press before the double click.
    w.events.clear();
    QTest::mouseClick(w.button, Qt::LeftButton, {}, w.centre());
    sendPressAndDoubleClick(w.button, w.centre());
    sendRelease(w.button, w.centre());
    EXPECT_EQ(w.events, expected);
}

TEST(MultibuttonWidget, RightButtonRaisesOnlyMouseUp)
{
    ButtonWindow w;
    sendEnter(w.button, w.centre());
    ASSERT_EQ(w.button->model().visualState(), VisualState::Hot);
    QTest::mousePress(w.button, Qt::RightButton, {}, w.centre());
    EXPECT_TRUE(w.events.empty());
    EXPECT_EQ(w.button->model().visualState(), VisualState::Hot);
    QTest::mouseRelease(w.button, Qt::RightButton, {}, w.centre());
    EXPECT_EQ(w.events, std::vector<std::string>{"MouseUp"});
}

TEST(MultibuttonWidget, SpaceAndAltSpace)
{
    ButtonWindow w;
    QTest::keyPress(w.button, Qt::Key_Space);
    EXPECT_EQ(w.button->model().visualState(), VisualState::Pressed);
    QTest::keyRelease(w.button, Qt::Key_Space);
    EXPECT_EQ(w.events, (std::vector<std::string>{"KeyDown 32", "Click", "KeyUp 32"}));
    EXPECT_EQ(w.button->model().visualState(), VisualState::Normal);

    // Alt+Space: no KeyDown and no pressed look; the release still clicks.
    w.events.clear();
    QTest::keyPress(w.button, Qt::Key_Space, Qt::AltModifier);
    EXPECT_EQ(w.events, std::vector<std::string>{"KeyDown 18"}); // the Alt key itself
    EXPECT_EQ(w.button->model().visualState(), VisualState::Normal);
    QTest::keyRelease(w.button, Qt::Key_Space);
    EXPECT_EQ(w.events, (std::vector<std::string>{"KeyDown 18", "Click", "KeyUp 32"}));

    // Releasing Space while the left button is held over the control does not click.
    w.events.clear();
    sendEnter(w.button, w.centre());
    QTest::mousePress(w.button, Qt::LeftButton, {}, w.centre());
    QTest::keyPress(w.button, Qt::Key_Space);
    QTest::keyRelease(w.button, Qt::Key_Space);
    EXPECT_EQ(w.events, (std::vector<std::string>{"MouseDown", "KeyDown 32", "KeyUp 32"}));
    EXPECT_EQ(w.button->model().visualState(), VisualState::Pressed);

    // A held Space repeats without repeating the toggle or the click.
    ButtonWindow c;
    c.button->setCheckBoxMode(true);
    QTest::keyPress(c.button, Qt::Key_Space);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ", true);
    QApplication::sendEvent(c.button, &repeat);
    QApplication::sendEvent(c.button, &repeat);
    QTest::keyRelease(c.button, Qt::Key_Space);
    EXPECT_TRUE(c.button->value());
    EXPECT_EQ(c.events, (std::vector<std::string>{"KeyDown 32", "Click", "KeyUp 32"}));
}

TEST(MultibuttonWidget, EnterClicksAndOtherKeysGoToKeyDownOnly)
{
    ButtonWindow w;
    QTest::keyClick(w.button, Qt::Key_Return);
    QTest::keyClick(w.button, Qt::Key_A);
    EXPECT_EQ(w.events, (std::vector<std::string>{"Click", "KeyDown 13", "KeyDown 65"}));
}

TEST(MultibuttonWidget, ReleasesOnTheEdge)
{
    ButtonWindow w;
    const QPoint inside = w.centre();
    for (QPoint edge : {QPoint(0, 10), QPoint(10, 0), QPoint(100, 10), QPoint(150, 40)}) {
        w.events.clear();
        QTest::mousePress(w.button, Qt::LeftButton, {}, inside);
        sendMove(w.button, edge, Qt::LeftButton);
        QTest::mouseRelease(w.button, Qt::LeftButton, {}, edge);
        EXPECT_EQ(w.events, (std::vector<std::string>{"MouseDown", "MouseUp"})) << edge.x() << "," << edge.y();
    }
    // Dragged off the face the button stops looking pressed; back on, it is pressed again.
    QTest::mousePress(w.button, Qt::LeftButton, {}, inside);
    sendMove(w.button, QPoint(150, 40), Qt::LeftButton);
    EXPECT_EQ(w.button->model().visualState(), VisualState::Normal);
    sendMove(w.button, inside, Qt::LeftButton);
    EXPECT_EQ(w.button->model().visualState(), VisualState::Pressed);
    QTest::mouseRelease(w.button, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(w.events.back(), "MouseUp");
    EXPECT_EQ(w.events[w.events.size() - 2], "Click");
    EXPECT_EQ(w.button->model().visualState(), VisualState::Hot);
}

TEST(MultibuttonWidget, AccessKeyClicks)
{
    ButtonWindow w("&Play");
    auto* other = new Multibutton("Multibutton2", &w.window);
    other->setGeometry(20, 50, 100, 26);
    other->show();
    other->setFocus();
    QTest::keyClick(&w.window, Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(w.events, std::vector<std::string>{"Click"});
    w.button->setCaption("Stop");
    QTest::keyClick(&w.window, Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(w.events.size(), 1u);
}

TEST(MultibuttonWidget, CheckBoxModeToggles)
{
    ButtonWindow w;
    w.button->setCheckBoxMode(true);
    QTest::mouseClick(w.button, Qt::LeftButton, {}, w.centre());
    EXPECT_TRUE(w.button->value());
    EXPECT_EQ(w.button->model().drawnState(), VisualState::Pressed);
    QTest::keyPress(w.button, Qt::Key_Space);
    EXPECT_FALSE(w.button->value());
    QTest::keyRelease(w.button, Qt::Key_Space);
    EXPECT_FALSE(w.button->value());
}

TEST(MultibuttonWidget, ArrowKeysMoveTheFocus)
{
    ButtonWindow w;
    auto* next = new Multibutton("Multibutton2", &w.window);
    next->setGeometry(20, 50, 100, 26);
    next->show();
    w.button->setFocus();
    QTest::keyClick(w.button, Qt::Key_Right);
    EXPECT_TRUE(next->hasFocus());
    QTest::keyClick(next, Qt::Key_Up);
    EXPECT_TRUE(w.button->hasFocus());
}

TEST(MultibuttonWidget, SmallSizesAreRaised)
{
    ButtonWindow w;
    w.button->resize(2, 2);
    EXPECT_EQ(w.button->size(), QSize(MultibuttonModel::kMinimumSize, MultibuttonModel::kMinimumSize));
}

TEST(MultibuttonWidget, GrabsOfStyle7)
{
    ButtonWindow w;
    w.button->resize(96, 25);
    const QPoint c = w.centre();
    saveGrab(w.button, "style7-normal");
    sendEnter(w.button, c);
    ASSERT_EQ(w.button->model().visualState(), VisualState::Hot);
    saveGrab(w.button, "style7-hot");
    QTest::mousePress(w.button, Qt::LeftButton, {}, c);
    ASSERT_EQ(w.button->model().visualState(), VisualState::Pressed);
    saveGrab(w.button, "style7-pressed");
    QTest::mouseRelease(w.button, Qt::LeftButton, {}, c);
    sendLeave(w.button);
    w.button->setCheckBoxMode(true);
    w.button->setValue(true);
    // The face alone, without the keyboard focus frame.
    w.button->clearFocus();
    const QString path = saveGrab(w.button, "style7-checked");

    // The picture holds the painted colours: the checked lower band under the caption row.
    const QImage img(path);
    ASSERT_FALSE(img.isNull());
    const int lowerTop = MultibuttonModel::style7UpperHeight(25);
    EXPECT_EQ(img.pixelColor(3, lowerTop), QColor(255, 171, 63));
    EXPECT_EQ(img.pixelColor(0, 0), QColor(41, 41, 41));
}

TEST(MultibuttonWidget, AnotherWindowTakingActivationDropsThePress)
{
    ButtonWindow w;
    sendEnter(w.button, w.centre());
    QTest::mousePress(w.button, Qt::LeftButton, {}, w.centre());
    ASSERT_EQ(w.button->model().visualState(), VisualState::Pressed);
    QWidget other;
    other.resize(50, 50);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(w.button->model().parentActive());
    // The focus leaves with the activation; the mouse is still over the face.
    EXPECT_EQ(w.button->model().visualState(), VisualState::Hot);
    EXPECT_FALSE(w.button->model().hasFocus());
    EXPECT_FALSE(w.button->model().leftButtonDown());
    w.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    EXPECT_TRUE(w.button->model().parentActive());
}
