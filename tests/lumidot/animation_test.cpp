#include "helpers.h"

#include <gtest/gtest.h>

using namespace lumidot_test;
using Frames = std::vector<std::string>;

namespace {

std::u16string u16(const std::string& s)
{
    return std::u16string(s.begin(), s.end());
}

// The cells of line 1 as shown, blanks as '_'.
std::string shown(const DisplayModel& m, int line = 1)
{
    std::string s;
    const std::u16string text = m.GetDisplay(line);
    for (int c = 0; c < m.LCDCol(); ++c) {
        const char16_t ch = c < int(text.size()) ? text[c] : u' ';
        s += ch == u' ' ? '_' : char(ch);
    }
    return s;
}

struct Animation : ::testing::Test {
    DisplayModel m;
    Recorder rec;
    void SetUp() override
    {
        m.setListener(&rec);
        m.setLCDCol(4);
        m.ResizeDisplay();
    }
    // Runs line 1 from `before` with text `text` until its timer stops.
    Frames run(int kind, bool rightToLeft, const std::string& before, const std::string& text, int loops = 0,
               bool skipSpace = false)
    {
        m.SetDisplay(1, u16(before));
        m.SetAnimationOpts(1, kind, 50, rightToLeft, skipSpace, loops);
        m.SetAnimation(1, u16(text));
        EXPECT_TRUE(m.timerEnabled(0));
        EXPECT_EQ(m.timerInterval(0), 50);
        Frames frames;
        for (int i = 0; i < 100 && m.timerEnabled(0); ++i) {
            m.tick(0);
            frames.push_back(shown(m));
        }
        return frames;
    }
};

} // namespace

TEST_F(Animation, BounceTravelsEdgeToEdgeAndTurnsBetweenCycles)
{
    EXPECT_EQ(run(Bounce, false, "", "AB"), (Frames{"AB__", "_AB_", "__AB"}));
    EXPECT_EQ(rec.completed, std::vector<int>{1});
    EXPECT_FALSE(m.aniRec(0).Armed);

    rec.completed.clear();
    m.SetAni_RightToLeft(1, false);
    EXPECT_EQ(run(Bounce, false, "", "AB", 2),
              (Frames{"AB__", "_AB_", "__AB", "__AB", "_AB_", "AB__", "AB__", "_AB_", "__AB"}));
    EXPECT_EQ(rec.completed, std::vector<int>{1});

    // A text as long as the line shows once, whatever the loop count.
    EXPECT_EQ(run(Bounce, false, "", "ABCD", 5), (Frames{"ABCD"}));
    // A longer text slides until its other end is in view.
    EXPECT_EQ(run(Bounce, false, "", "ABCDEF"), (Frames{"CDEF", "BCDE", "ABCD"}));
}

TEST_F(Animation, PushScrollTypeAndUncoverFrames)
{
    EXPECT_EQ(run(Push, false, "WXYZ", "AB"), (Frames{"WXYZ", "BWXY", "ABWX", "AB_W", "AB__", "AB__"}));
    EXPECT_EQ(run(Push, true, "WXYZ", "AB"), (Frames{"WXYZ", "XYZA", "YZAB", "Z_AB", "__AB"}));
    EXPECT_EQ(run(Scroll, false, "WXYZ", "AB"), (Frames{"WXYZ", "_WXY", "__WX", "B__W", "AB__"}));
    EXPECT_EQ(run(Scroll, true, "WXYZ", "AB"), (Frames{"WXYZ", "XYZA", "YZAB", "ZAB_", "AB__"}));
    EXPECT_EQ(run(Typeclear, false, "WXYZ", "AB"), (Frames{"____", "A___", "AB__", "AB__", "AB__", "AB__"}));
    EXPECT_EQ(run(Typeclear, true, "WXYZ", "AB"), (Frames{"____", "____", "____", "_B__", "AB__"}));
    EXPECT_EQ(run(Typeover, false, "WXYZ", "AB"), (Frames{"WXYZ", "AXYZ", "ABYZ", "AB_Z", "AB__", "AB__"}));
    EXPECT_EQ(run(Typeover, true, "WXYZ", "AB"), (Frames{"WXYZ", "WXY_", "WX__", "WB__", "AB__"}));
    EXPECT_EQ(run(Uncover, false, "WXYZ", "AB"), (Frames{"WXYZ", "AWXY", "ABWX", "AB_W", "AB__"}));
    EXPECT_EQ(run(Uncover, true, "WXYZ", "AB"), (Frames{"WXYZ", "XYZ_", "YZ__", "ZB__", "AB__"}));
    EXPECT_EQ(rec.completed.size(), 10u);
}

TEST_F(Animation, SkippedSpacesCostNoTickAndLongScrollsEndOnTheirTail)
{
    EXPECT_EQ(run(Typeclear, false, "", "A B", 0, true), (Frames{"____", "A___", "A_B_", "A_B_"}));
    EXPECT_EQ(run(Scroll, true, "", "HELLO"), (Frames{"____", "___H", "__HE", "_HEL", "HELL", "ELLO"}));
    // An unknown kind ends each cycle at once without touching the text.
    EXPECT_EQ(run(9, false, "WXYZ", "AB", 1), (Frames{"WXYZ", "WXYZ"}));
}

TEST_F(Animation, SettersWaitForTheCycleToEnd)
{
    m.SetAnimationOpts(1, Push, 10, false, false, 1);
    m.SetAnimation(1, u"AB");
    m.tick(0);
    ASSERT_TRUE(m.aniRec(0).Active);
    m.SetAni_Text(1, u"CD");
    m.SetAni_Animation(1, Scroll);
    m.SetAni_LoopCount(1, 7);
    EXPECT_EQ(m.aniRec(0).AniText, u"AB");
    EXPECT_EQ(m.aniRec(0).Animation, Push);
    while (m.aniRec(0).Active)
        m.tick(0);
    // Between the two cycles the same call takes effect at the next cycle start.
    m.SetAni_Text(1, u"CD");
    m.tick(0);
    m.tick(0);
    EXPECT_EQ(shown(m), "DAB_");

    EXPECT_EQ(m.SetAni_Timing(2, 0), 1);
    EXPECT_EQ(m.aniRec(1).Timing, 1);
    m.SetAni_LoopCount(2, -2);
    EXPECT_EQ(m.aniRec(1).LoopCount, 0);
    int timing = 0, loops = 0;
    m.SetAnimationOpts(2, Bounce, -5, false, false, -9, &timing, &loops);
    EXPECT_EQ(timing, 1);
    EXPECT_EQ(loops, 0);
    m.SetAni_Text(0, u"ignored");
    m.SetAni_Text(5, u"ignored");
}

TEST_F(Animation, StartingAndStoppingLines)
{
    m.setLCDRow(2);
    m.SetAni_Timing(3, 20);
    m.SetAnimation(3, u"AB");
    EXPECT_EQ(m.aniRec(2).AniText, u"AB");
    EXPECT_FALSE(m.timerEnabled(2));
    m.setLCDRow(3);
    m.StartAnimation(rAll);
    EXPECT_TRUE(m.timerEnabled(2));
    EXPECT_EQ(m.timerInterval(2), 20);

    // A line whose timing was never set does not start.
    m.SetAni_Text(4, u"XY");
    m.setLCDRow(4);
    m.StartAnimation(rLine4);
    EXPECT_FALSE(m.timerEnabled(3));
    m.StartAnimation(rAll);
    EXPECT_FALSE(m.timerEnabled(3));

    m.StopAnimation(rAll);
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(m.timerEnabled(i));
        EXPECT_FALSE(m.aniRec(i).Armed);
    }
    // A completed or stopped line restarts only when named.
    m.StartAnimation(rAll);
    EXPECT_FALSE(m.timerEnabled(2));
    m.StartAnimation(rLine3);
    EXPECT_TRUE(m.timerEnabled(2));
    m.StartAnimation(7);
    m.StopAnimation(-1);
    EXPECT_TRUE(m.timerEnabled(2));
}

TEST_F(Animation, SetDisplayStopsOnlyALineInCycle)
{
    m.SetAnimationOpts(1, Scroll, 10, false, false, 0);
    m.SetAnimation(1, u"AB");
    // Started but not ticked: the new text is what the first frame scrolls away from.
    m.SetDisplay(1, u"WXYZ");
    EXPECT_TRUE(m.timerEnabled(0));
    m.tick(0);
    m.tick(0);
    EXPECT_EQ(shown(m), "_WXY");
    m.SetDisplay(1, u"STOP");
    EXPECT_FALSE(m.timerEnabled(0));
    EXPECT_FALSE(m.aniRec(0).Armed);
    EXPECT_EQ(shown(m), "STOP");

    m.SetAnimation(1, u"AB");
    m.tick(0);
    m.CLS();
    EXPECT_FALSE(m.timerEnabled(0));
    EXPECT_TRUE(m.aniRec(0).Armed);
    EXPECT_EQ(m.GetDisplay(1), u"");
}

TEST_F(Animation, EndlessLoopsKeepRunningAndHiddenLinesKeepChanging)
{
    m.SetAnimationOpts(2, Bounce, 10, false, false, -1);
    m.SetAnimation(2, u"AB");
    m.setLCDRow(1);
    for (int i = 0; i < 50; ++i)
        m.tick(1);
    EXPECT_TRUE(m.timerEnabled(1));
    EXPECT_TRUE(rec.completed.empty());
    EXPECT_EQ(m.aniRec(1).LoopCount, -1);
}

TEST(AnimationRobustness, AnyOrderOfCallsKeepsTheDisplayConsistent)
{
    DisplayModel m;
    m.ResizeDisplay();
    std::uint32_t seed = 12345;
    auto next = [&](int n) {
        seed = seed * 1664525u + 1013904223u;
        return int((seed >> 8) % std::uint32_t(n));
    };
    const std::u16string texts[] = {u"", u"A", u"AB CD", u"0123456789012345678901234567890123456789", u"  "};
    for (int i = 0; i < 20000; ++i) {
        const int line = next(6);
        switch (next(12)) {
        case 0: m.SetAnimationOpts(line, next(9) - 1, next(50) - 5, next(2), next(2), next(6) - 2); break;
        case 1: m.SetAnimation(line, texts[next(5)]); break;
        case 2: m.SetDisplay(line, texts[next(5)]); break;
        case 3: m.setLCDCol(next(84) - 1); break;
        case 4: m.setLCDRow(next(6)); break;
        case 5: m.StartAnimation(line); break;
        case 6: m.StopAnimation(next(10) == 0 ? line : 7); break;
        case 7: m.WrapDisplay(texts[next(5)] + u"\n" + texts[next(5)]); break;
        case 8: m.setDisplayType(next(5) - 2); break;
        case 9: m.SetAni_Text(line, texts[next(5)]); break;
        default:
            for (int t = 0; t < 4; ++t)
                if (m.timerEnabled(t))
                    m.tick(t);
            break;
        }
        ASSERT_EQ(m.width(), m.computedWidth());
        ASSERT_EQ(m.height(), m.computedHeight());
    }
}
