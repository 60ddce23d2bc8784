// Noises, rain, surf, insects, aquariums and fire.

#include "synth/recipes.h"

#include "synth/choruses.h"
#include "synth/layers.h"
#include "synth/rainstyles.h"

#include <cmath>

namespace sonaveil::synth::recipes {

namespace {

Signal eventsAt(const Loop& loop, const std::vector<double>& times, const std::function<Signal(Rng&)>& kernel,
                Rng& rng, double sizeSigma)
{
    Signal x(std::size_t(loop.frames), 0.0f);
    for (double t : times)
        addWrapped(x, loop.at(t), kernel(rng), float(std::min(3.0, rng.logNormal(sizeSigma))));
    return x;
}

} // namespace

Signal colouredNoise(const Loop& loop, Rng& rng, double dbPerOctave)
{
    // A steeper rumble filter than the common one, as brown noise piles its energy at the bottom;
    // still flat (< 0.001 dB) from 50 Hz, where the slope is measured.
    return shapedNoise(loop, rng, product({tilt(dbPerOctave), highpass(27.0, 10)}));
}

Signal rainGarden(const Loop& loop, Rng& rng)
{
    const RainStyle s = rainstyles::garden();
    return rain(loop, rng, s);
}

Signal rainRoof(const Loop& loop, Rng& rng)
{
    const RainStyle s = rainstyles::roof();
    Signal x = rain(loop, rng, s);
    // Heavier drops falling from the eaves onto a sill.
    Rng dripRng = rng.fork();
    Signal drips = eventsAt(loop, poissonTimes(dripRng, 1.6, loop.seconds()), [&](Rng& r) {
        Signal k = knock(loop.rate, r.range(280, 420), r.range(18, 30));
        Signal t = tick(r, loop.rate, 0.6, r.range(1200, 2000), 4, 0.4);
        for (std::size_t i = 0; i < t.size() && i < k.size(); ++i)
            k[i] += 0.5f * t[i];
        return k;
    }, dripRng, 0.3);
    scaleToRms(drips, 1.0);
    mixDb(x, drips, -9);
    return x;
}

Signal rainDownpour(const Loop& loop, Rng& rng)
{
    const RainStyle s = rainstyles::downpour();
    return rain(loop, rng, s);
}

Signal rainThunder(const Loop& loop, Rng& rng)
{
    const RainStyle s = rainstyles::thunder();
    Signal x = rain(loop, rng, s);

    // One distant roll of thunder: a few overlapping rumbles, low and slow.
    Rng thunderRng = rng.fork();
    Signal rumble = shapedNoise(loop, thunderRng, product({bandpass(28, 180, 2), tilt(-3, 60)}));
    const double seconds = loop.seconds();
    const double start = 14.0;
    struct Roll { double at, size, decay; };
    std::vector<Roll> rolls;
    double t = start;
    // Peals that come and go within a second or two, the first the loudest, each rumbling
    // unevenly: thunder does not swell and ebb like a wave.
    for (int i = 0; i < 4; ++i) {
        rolls.push_back({t, i == 0 ? 1.0 : thunderRng.range(0.3, 0.8), thunderRng.range(0.6, 1.4)});
        t += thunderRng.range(0.9, 2.2);
    }
    Signal env = envelope(loop, [&](double time) {
        double e = 0.0;
        for (const Roll& r : rolls)
            e += r.size * swellAndFall(circularOffset(time, r.at, seconds), 0.5, r.decay);
        return e;
    });
    multiply(env, wobble(loop, thunderRng, 6.0, 0.6, 0.1));
    multiply(rumble, env);
    scaleToRms(rumble, 1.0);
    mixDb(x, rumble, -6);
    return x;
}

Signal rainLeaves(const Loop& loop, Rng& rng)
{
    const RainStyle s = rainstyles::leaves();
    Signal x = rain(loop, rng, s);
    // Big drops gathered on leaves and let go: soft low pats.
    Rng patRng = rng.fork();
    Signal pats = eventsAt(loop, poissonTimes(patRng, 3.0, loop.seconds()), [&](Rng& r) {
        Signal k = knock(loop.rate, r.range(500, 900), r.range(6, 10));
        Signal t = tick(r, loop.rate, 0.8, 2500, 2, 0.2);
        for (std::size_t i = 0; i < t.size() && i < k.size(); ++i)
            k[i] += 0.6f * t[i];
        return k;
    }, patRng, 0.4);
    scaleToRms(pats, 1.0);
    mixDb(x, pats, -8);
    return x;
}

Signal rainDrizzle(const Loop& loop, Rng& rng)
{
    const RainStyle s = rainstyles::drizzle();
    return rain(loop, rng, s);
}

Signal rainGutter(const Loop& loop, Rng& rng)
{
    const RainStyle s = rainstyles::gutter();
    Signal x = rain(loop, rng, s);
    // Two drips from a gutter into a water butt, each at its own steady pace.
    Rng dripRng = rng.fork();
    Signal drips(std::size_t(loop.frames), 0.0f);
    const double seconds = loop.seconds();
    for (auto [period, hz, gain] : {std::tuple{0.62, 1150.0, 1.0}, std::tuple{0.91, 820.0, 0.7}}) {
        const int count = int(std::lround(seconds / period));
        const double p = seconds / count;
        const double offset = dripRng.uniform() * p;
        for (int i = 0; i < count; ++i) {
            const double at = offset + i * p + dripRng.gauss() * 0.02 * p;
            Signal k = bubble(loop.rate, hz * dripRng.range(0.96, 1.04), dripRng.range(25, 35), 0.3);
            Signal t = tick(dripRng, loop.rate, 0.5, 3000, 2, 0.2);
            for (std::size_t j = 0; j < t.size() && j < k.size(); ++j)
                k[j] += 0.4f * t[j];
            addWrapped(drips, loop.at(at), k, float(gain * dripRng.logNormal(0.15)));
        }
    }
    scaleToRms(drips, 1.0);
    mixDb(x, drips, -7);
    return x;
}

Signal rainTinRoof(const Loop& loop, Rng& rng)
{
    const RainStyle s = rainstyles::tinRoof();
    return rain(loop, rng, s);
}

Signal ocean(const Loop& loop, Rng& rng)
{
    const double seconds = loop.seconds();
    // Surf comes irregularly: waves a few seconds apart, then a lull; each wave has its own size,
    // rise and fall. The gaps are drawn and then stretched a little so that they fill the loop.
    struct Wave { double at, size, rise, decay; };
    std::vector<double> gaps;
    double total = 0.0;
    while (total < seconds) {
        const double gap = 4.0 + 4.0 * -std::log(1.0 - 0.95 * rng.uniform());
        gaps.push_back(gap);
        total += gap;
    }
    if (gaps.size() > 2 && total - seconds > 0.5 * gaps.back()) {
        total -= gaps.back();
        gaps.pop_back();
    }
    std::vector<Wave> waves;
    double at = rng.range(0.5, 2.0);
    for (double gap : gaps) {
        const double size = rng.range(0.3, 1.0);
        waves.push_back({at, size * size, rng.range(1.0, 2.6), rng.range(1.4, 3.6)});
        at += gap * seconds / total;
    }

    auto bandEnvelope = [&](double base, double riseShare, double decayShare) {
        return envelope(loop, [&, base, riseShare, decayShare](double t) {
            double e = base;
            for (const Wave& w : waves)
                e += w.size * swellAndFall(circularOffset(t, w.at, seconds), w.rise * riseShare, w.decay * decayShare);
            return e;
        });
    };

    // The body of the wave rises first and lowest; the break is brighter; the wash fizzes.
    Signal low = shapedNoise(loop, rng, product({bandpass(40, 500, 2), tilt(-3, 100)}));
    multiply(low, bandEnvelope(0.2, 1.0, 1.0));
    Signal mid = shapedNoise(loop, rng, bandpass(300, 2500, 2));
    multiply(mid, bandEnvelope(0.08, 0.45, 0.6));
    Signal wash = shapedNoise(loop, rng, product({bandpass(1500, 12000, 2), tilt(-1, 3000)}));
    Signal washEnv = bandEnvelope(0.05, 0.1, 1.2);
    multiply(wash, washEnv);
    multiply(wash, wobble(loop, rng, 30.0, 0.5, 0.1));

    // Foam: tiny bubbles bursting, as dense as the wash is loud.
    Rng foamRng = rng.fork();
    Signal foam(std::size_t(loop.frames), 0.0f);
    float washMax = 0;
    for (float v : washEnv)
        washMax = std::max(washMax, v);
    for (double t : poissonTimes(foamRng, 1500, seconds)) {
        const long at = loop.at(t);
        if (foamRng.uniform() * washMax > washEnv[std::size_t(at)])
            continue;
        addWrapped(foam, at, tick(foamRng, loop.rate, foamRng.range(0.1, 0.3), foamRng.range(3000, 8000), 0.8, 0.3),
                   float(std::min(3.0, foamRng.logNormal(0.6))));
    }
    filter(foam, loop, highpass(2000, 2));
    scaleToRms(foam, 1.0);

    Signal x;
    mixDb(x, low, 0);
    mixDb(x, mid, -3);
    mixDb(x, wash, -4);
    mixDb(x, foam, -11);
    return x;
}

namespace {

Signal chorus(const Loop& loop, Rng& rng, const ChorusStyle& style)
{
    Signal x;
    for (const InsectVoice& v : style.voices) {
        Rng voiceRng = rng.fork();
        mixDb(x, insect(loop, voiceRng, v), 0);
    }
    // Many more insects further away, one shimmering band.
    Signal far = shapedNoise(loop, rng, bandpass(style.lo, style.hi, 4));
    multiply(far, wobble(loop, rng, 0.3, 0.3));
    mixDb(x, far, style.backgroundDb);
    if (style.swellDepth > 0)
        multiply(x, wobble(loop, rng, style.swellHz, style.swellDepth, 0.3));
    return x;
}

} // namespace

Signal cicadaDrone(const Loop& loop, Rng& rng)
{
    return chorus(loop, rng, choruses::drone());
}

Signal cicadaSwells(const Loop& loop, Rng& rng)
{
    return chorus(loop, rng, choruses::swells());
}

Signal cicadaChirps(const Loop& loop, Rng& rng)
{
    return chorus(loop, rng, choruses::chirps());
}

Signal cicadaTicking(const Loop& loop, Rng& rng)
{
    return chorus(loop, rng, choruses::ticking());
}

Signal cicadaWeeOo(const Loop& loop, Rng& rng)
{
    return chorus(loop, rng, choruses::weeOo());
}

Signal cicadaShimmer(const Loop& loop, Rng& rng)
{
    return chorus(loop, rng, choruses::shimmer());
}

Signal aquariumAirStone(const Loop& loop, Rng& rng)
{
    const double seconds = loop.seconds();
    Rng b = rng.fork();
    Signal bubbles(std::size_t(loop.frames), 0.0f);
    Signal density = wobble(loop, b, 3.0, 0.4);
    for (double t : poissonTimes(b, 70, seconds)) {
        const long at = loop.at(t);
        if (b.uniform() * 1.8 > density[std::size_t(at)])
            continue;
        const double hz = 2200 * b.logNormal(0.35);
        addWrapped(bubbles, at, bubble(loop.rate, hz, b.range(3, 8), b.range(0.2, 0.6)), float(std::min(3.0, b.logNormal(0.5))));
    }
    scaleToRms(bubbles, 1.0);
    // The surface: water broken by the rising stream.
    Signal surface = shapedNoise(loop, rng, bandpass(400, 4000, 2));
    multiply(surface, wobble(loop, rng, 15.0, 0.6, 0.1));
    Signal pump = machine(loop, rng, bandpass(80, 1500, 2), -40, {Hum{100.0, {0, -6, -14, -20}, 0.6, 0}});
    Signal x;
    mixDb(x, bubbles, 0);
    mixDb(x, surface, -6);
    mixDb(x, pump, -15);
    return x;
}

Signal aquariumFilter(const Loop& loop, Rng& rng)
{
    const double seconds = loop.seconds();
    Rng g = rng.fork();
    Signal gurgle(std::size_t(loop.frames), 0.0f);
    // Gurgles: bursts of large bubbles where the outflow meets the surface.
    for (double t : poissonTimes(g, 2.2, seconds)) {
        const int n = 3 + int(g.uniform() * 8);
        double at = t;
        for (int i = 0; i < n; ++i) {
            const double hz = 650 * g.logNormal(0.35);
            addWrapped(gurgle, loop.at(at), bubble(loop.rate, hz, g.range(10, 25), g.range(0.3, 0.8)),
                       float(std::min(3.0, g.logNormal(0.4))));
            at += g.range(0.03, 0.07);
        }
    }
    scaleToRms(gurgle, 1.0);
    Signal stream = shapedNoise(loop, rng, product({bandpass(200, 6000, 2), tilt(-2, 800)}));
    multiply(stream, wobble(loop, rng, 6.0, 0.35));
    Signal pump = machine(loop, rng, bandpass(60, 800, 2), -30,
                          {Hum{50.0, {-4, -14, 0, -16, -6, -20, -12}, 1.2, 0}});
    Signal x;
    mixDb(x, gurgle, 0);
    mixDb(x, stream, -3);
    mixDb(x, pump, -11);
    return x;
}

Signal fire(const Loop& loop, Rng& rng)
{
    const double seconds = loop.seconds();
    Signal roar = shapedNoise(loop, rng, product({bandpass(60, 900, 2), tilt(-2, 200)}));
    multiply(roar, wobble(loop, rng, 3.0, 0.4, 0.2));

    // Crackles come in clusters; a few bigger pops of sap.
    Rng c = rng.fork();
    Signal crackles(std::size_t(loop.frames), 0.0f);
    for (double t : poissonTimes(c, 3.0, seconds)) {
        const int n = 1 + int(c.uniform() * 6);
        double at = t;
        for (int i = 0; i < n; ++i) {
            addWrapped(crackles, loop.at(at), tick(c, loop.rate, c.range(0.15, 1.2), c.range(2000, 6000), 0.5, 0.2),
                       float(std::min(3.5, c.logNormal(0.8))));
            at += c.range(0.003, 0.05);
        }
    }
    for (double t : poissonTimes(c, 0.35, seconds)) {
        Signal k = knock(loop.rate, c.range(300, 600), c.range(5, 12));
        Signal s = tick(c, loop.rate, 1.5, 2500, 2, 0.1);
        for (std::size_t i = 0; i < s.size() && i < k.size(); ++i)
            k[i] += s[i];
        addWrapped(crackles, loop.at(t), k, float(1.4 * c.logNormal(0.3)));
    }
    filter(crackles, loop, highpass(250, 2));
    scaleToRms(crackles, 1.0);

    Signal hiss = shapedNoise(loop, rng, bandpass(3000, 9000, 2));
    multiply(hiss, wobble(loop, rng, 1.0, 0.5, 0.1));

    Signal x;
    mixDb(x, roar, 0);
    mixDb(x, crackles, -4);
    mixDb(x, hiss, -16);
    return x;
}

} // namespace sonaveil::synth::recipes
