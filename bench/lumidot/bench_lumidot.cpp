// The display's per-tick and full-redraw costs on the player's 4 x 25 status display.
#include "lumidot/displaymodel.h"

#include <benchmark/benchmark.h>

using namespace sonaveil::lumidot;

namespace {

void setUp(DisplayModel& m, int type)
{
    m.setDisplayType(type);
    m.setLCDCol(25);
    m.setColorPresetPalette(LCD_Blue);
    m.ResizeDisplay();
    m.SetDisplay(1, u"Time:11:42:07 PM");
    m.SetDisplay(2, u"Alarm:Off");
    m.SetDisplay(3, u"EQL:Off");
    m.SetDisplay(4, u"Current:None");
}

// One tick of an endless animation on line 4: a frame string and the changed cells.
void BM_AnimationTick(benchmark::State& state)
{
    DisplayModel m;
    setUp(m, int(state.range(0)));
    m.SetAnimationOpts(4, int(state.range(1)), 100, false, false, -1);
    m.SetAnimation(4, u"Current:Rain on a tin roof");
    for (auto _ : state) {
        m.tick(3);
        benchmark::DoNotOptimize(m.image());
    }
}
BENCHMARK(BM_AnimationTick)
    ->ArgNames({"type", "kind"})
    ->Args({Small, Bounce})
    ->Args({Small, Push})
    ->Args({Small, Scroll})
    ->Args({Small, Typeover})
    ->Args({Normal, Scroll})
    ->Args({Large, Scroll});

// A full redraw of every cell (what Refresh and every colour change end with).
void BM_FullRedraw(benchmark::State& state)
{
    DisplayModel m;
    setUp(m, int(state.range(0)));
    for (auto _ : state) {
        m.Refresh();
        benchmark::DoNotOptimize(m.image());
    }
}
BENCHMARK(BM_FullRedraw)->ArgName("type")->Arg(Small)->Arg(Normal)->Arg(Large);

// A palette change: the sheet rebuilt in the new colours, then the full redraw.
void BM_PaletteChange(benchmark::State& state)
{
    DisplayModel m;
    setUp(m, Small);
    int p = 0;
    for (auto _ : state) {
        m.setColorPresetPalette(p);
        p = (p + 1) % 13;
        benchmark::DoNotOptimize(m.image());
    }
}
BENCHMARK(BM_PaletteChange);

// The line text a host sets once a second (the clock line).
void BM_SetDisplayClock(benchmark::State& state)
{
    DisplayModel m;
    setUp(m, Small);
    const std::u16string a = u"Time:11:42:07 PM", b = u"Time:11:42:08 PM";
    bool flip = false;
    for (auto _ : state) {
        m.SetDisplay(1, flip ? a : b);
        flip = !flip;
    }
}
BENCHMARK(BM_SetDisplayClock);

} // namespace

BENCHMARK_MAIN();
