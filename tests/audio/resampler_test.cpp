// The resampling kernel at every speed: no images above the source's band when slowed, nothing
// folded back below the output's Nyquist frequency when sped up, no droop in the band, no spurs.

#include "audio/engine.h"
#include "audio/resampler.h"

#include "audiotestutil.h"
#include "tempfolder.h"

#include <cmath>
#include <complex>
#include <fftw3.h>
#include <gtest/gtest.h>
#include <random>
#include <sndfile.h>

using namespace sonaveil::audio;

namespace {

constexpr int kRate = 44100;
constexpr int kHighestPitch = 70560; // the pitch sliders' top position, in Hz
constexpr int kFrames = 1 << 16;

// One period of noise whose amplitude grows with frequency (violet: +6 dB per octave), keeping
// only the part between `loHz` and `hiHz` of the sample's own frequencies. Every part is scaled as
// the whole band is (to 0.25 of full scale), so that parts can be compared.
std::vector<std::int16_t> violetNoise(double loHz, double hiHz)
{
    std::vector<float> x(kFrames);
    std::vector<fftwf_complex> spectrum(kFrames / 2 + 1);
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> phase(0.0, 2 * M_PI);
    double wholePower = 0.0;
    for (int j = 1; j < kFrames / 2; ++j) {
        const double hz = double(j) * kRate / kFrames;
        const double a = hz >= 20.0 ? hz / 1000.0 : 0.0;
        wholePower += 2.0 * a * a; // Parseval, both halves of the spectrum
        const double keep = (hz >= loHz && hz < hiHz) ? a : 0.0;
        const double p = phase(rng);
        spectrum[std::size_t(j)][0] = float(keep * std::cos(p));
        spectrum[std::size_t(j)][1] = float(keep * std::sin(p));
    }
    spectrum[0][0] = spectrum[0][1] = 0.0f;
    spectrum[kFrames / 2][0] = spectrum[kFrames / 2][1] = 0.0f;
    fftwf_plan plan = fftwf_plan_dft_c2r_1d(kFrames, spectrum.data(), x.data(), FFTW_ESTIMATE);
    fftwf_execute(plan);
    fftwf_destroy_plan(plan);
    const double scale = 0.25 * 32767.0 / std::sqrt(wholePower);
    std::vector<std::int16_t> out(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        out[i] = std::int16_t(std::clamp(std::lround(x[i] * scale), -32767L, 32767L));
    return out;
}

// A tone near `hz` with a whole number of periods in the loop, so that the loop has no seam.
std::vector<std::int16_t> loopTone(double hz, int rate = kRate, int frames = kFrames)
{
    const double periods = std::max(1.0, std::round(hz * frames / rate));
    return sineFrames(periods * rate / frames, rate, frames, 0.5);
}

double powerDb(const std::vector<float>& v)
{
    double sum = 0;
    for (float x : v)
        sum += double(x) * x;
    return 10.0 * std::log10(std::max(sum / double(v.size()), 1e-30));
}

class FastVoice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(engine.setOutput(kOutputNoSound));
        ASSERT_TRUE(engine.init(kRate, 32, kInitEnableSystemChannelFx));
    }

    // Plays `frames` looped at `hertz` and returns the left channel after the glide has settled.
    std::vector<float> play(const std::vector<std::int16_t>& frames, int hertz, int rate = kRate)
    {
        const auto path = dir / ("s" + std::to_string(++files) + ".isz");
        EXPECT_TRUE(writeSoundFile(path, frames, rate, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
        const SampleHandle s = engine.loadSample(kFree, path.string(), kSampleNormal, 0, 0);
        const ChannelHandle h = engine.playSound(kFree, s);
        engine.setLoopMode(h, kLoopNormal);
        engine.setPan(h, 0);
        engine.setFrequency(h, hertz);
        std::vector<float> out(2 * 8192);
        engine.renderOffline(out.data(), 8192);
        out.assign(2 * 65536, 0.0f);
        engine.renderOffline(out.data(), 65536);
        engine.stopSound(h);
        std::vector<float> settle(2 * 4096);
        engine.renderOffline(settle.data(), 4096);
        return channelOf(out, 0);
    }

    // Level in dB of a tone at `hz` in `signal` (peak of the spectrum around it).
    static double toneDb(const std::vector<float>& signal, double hz)
    {
        const auto p = averagedPowerSpectrum(signal, 8192);
        const int bin = int(std::lround(hz * 8192 / kRate));
        double best = 0;
        for (int b = std::max(0, bin - 3); b <= bin + 3 && b < int(p.size()); ++b)
            best = std::max(best, p[std::size_t(b)]);
        return 10 * std::log10(std::max(best, 1e-30));
    }

    // Mean power per bin of `p` between two frequencies.
    static double bandDb(const std::vector<double>& p, double loHz, double hiHz)
    {
        double sum = 0;
        int bins = 0;
        for (std::size_t b = 0; b < p.size(); ++b) {
            const double hz = double(b) * kRate / 8192;
            if (hz >= loHz && hz < hiHz) {
                sum += p[b];
                ++bins;
            }
        }
        return 10 * std::log10(std::max(sum / std::max(bins, 1), 1e-30));
    }

    // The strongest component of `signal` more than 60 Hz from `hz` (above 30 Hz), in dB below
    // the tone at `hz`.
    static double worstSpurDb(const std::vector<float>& signal, double hz)
    {
        const auto p = averagedPowerSpectrum(signal, 8192);
        double worst = 1e-30;
        for (std::size_t b = 0; b < p.size(); ++b) {
            const double f = double(b) * kRate / 8192;
            if (f > 30 && std::fabs(f - hz) > 60)
                worst = std::max(worst, p[b]);
        }
        return 10 * std::log10(worst) - toneDb(signal, hz);
    }

    TempFolder dir;
    int files = 0;
    Engine engine;
};

} // namespace

// Violet noise at the highest pitch: the part of it that lands above the output's Nyquist
// frequency must vanish, not fold back onto what the listener hears.
TEST_F(FastVoice, VioletNoiseAtTheHighestPitchDoesNotFoldBack)
{
    const double speed = double(kHighestPitch) / kRate;
    const double nyquistInSample = 0.5 * kRate / speed; // 13781 Hz
    const auto whole = play(violetNoise(20, 22050), kHighestPitch);
    const auto above = play(violetNoise(nyquistInSample, 22050), kHighestPitch);
    const auto below = play(violetNoise(20, nyquistInSample * 0.85), kHighestPitch);
    EXPECT_LT(powerDb(above), powerDb(whole) - 40.0) << "aliased energy";
    // What lands well below the Nyquist frequency is all there.
    EXPECT_NEAR(powerDb(below), powerDb(whole), 1.5);
}

TEST_F(FastVoice, WhiteNoiseAtTheHighestPitchDoesNotFoldBack)
{
    std::vector<std::int16_t> white = whiteNoiseFrames(kFrames, 0.5, 9);
    // The same noise with everything below the sample's cut-off taken away: its output is alias.
    std::vector<float> x(white.begin(), white.end());
    std::vector<fftwf_complex> spectrum(kFrames / 2 + 1);
    fftwf_plan forward = fftwf_plan_dft_r2c_1d(kFrames, x.data(), spectrum.data(), FFTW_ESTIMATE);
    fftwf_execute(forward);
    fftwf_destroy_plan(forward);
    const double cut = 0.5 * kRate * kRate / kHighestPitch;
    for (int j = 0; j <= kFrames / 2; ++j)
        if (double(j) * kRate / kFrames < cut)
            spectrum[std::size_t(j)][0] = spectrum[std::size_t(j)][1] = 0.0f;
    fftwf_plan backward = fftwf_plan_dft_c2r_1d(kFrames, spectrum.data(), x.data(), FFTW_ESTIMATE);
    fftwf_execute(backward);
    fftwf_destroy_plan(backward);
    std::vector<std::int16_t> high(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        high[i] = std::int16_t(std::lround(x[i] / kFrames));
    EXPECT_LT(powerDb(play(high, kHighestPitch)), powerDb(play(white, kHighestPitch)) - 40.0);
}

// A tone that lands above the Nyquist frequency is gone; one that lands below keeps its level.
TEST_F(FastVoice, TonesAboveTheNyquistFrequencyVanishAndTonesBelowKeepTheirLevel)
{
    const double speed = double(kHighestPitch) / kRate;
    for (double lands : {23000.0, 26000.0, 32000.0}) {
        const double hz = lands / speed;
        const auto out = play(sineFrames(hz, kRate, kFrames, 0.5), kHighestPitch);
        EXPECT_LT(powerDb(out), 20 * std::log10(0.5 / std::sqrt(2.0)) - 40.0) << "tone landing at " << lands;
    }
    for (double lands : {1000.0, 9000.0, 17000.0}) {
        const double hz = lands / speed;
        const double fast = toneDb(play(sineFrames(hz, kRate, kFrames, 0.5), kHighestPitch), lands);
        const double natural = toneDb(play(sineFrames(lands, kRate, kFrames, 0.5), kRate), lands);
        EXPECT_NEAR(fast, natural, 1.0) << "tone landing at " << lands;
    }
}

// Slowed below one frame per output frame (a 33 kHz file at its own rate, any pitch-down), the
// kernel must remove the source's images above its Nyquist frequency.
TEST_F(FastVoice, SlowVoicesLeaveNoImages)
{
    // A 14 kHz tone in a 33 kHz file played at `rate`, heard at `heard`: its mirror at `mirror`
    // and every other spur at least 60 dB down.
    const auto expectNoMirror = [&](int rate, double heard, double mirror) {
        SCOPED_TRACE(rate);
        const auto tone = play(loopTone(14000, 33000, 33000), rate, 33000);
        EXPECT_LT(toneDb(tone, mirror) - toneDb(tone, heard), -60.0);
        EXPECT_LT(worstSpurDb(tone, heard), -60.0);
    };
    // White noise played at `rate` fills 0 … `filledTo`: above `quietFrom` at least 60 dB down.
    const auto expectQuietAbove = [&](int rate, double filledTo, double quietFrom) {
        SCOPED_TRACE(rate);
        const auto p = averagedPowerSpectrum(play(whiteNoiseFrames(kFrames, 0.5, 3), rate), 8192);
        EXPECT_LT(bandDb(p, quietFrom, 22000) - bandDb(p, filledTo / 11, filledTo * 9 / 11), -60.0);
    };
    // 14 kHz in a 33 kHz file mirrors to 19 kHz; white noise at half speed fills 0 … 11 kHz.
    expectNoMirror(33000, 14000, 19000);
    expectQuietAbove(kRate / 2, 11000, 13000);
    // Far slower, where the polynomials mix: 14 kHz at a fifth of 33 kHz lands at 2.8 kHz, its
    // mirror at 3.8 kHz; noise at a tenth fills 0 … 2.2 kHz and nothing above 2.7 kHz.
    expectNoMirror(6600, 2800, 3800);
    expectQuietAbove(kRate / 10, 2200, 2700);
}

TEST_F(FastVoice, TonesStayCleanAtOddSpeeds)
{
    for (double speed : {1.13, 1.6, 0.77}) {
        const auto out = play(loopTone(10000), int(std::lround(speed * kRate)));
        EXPECT_LT(worstSpurDb(out, 10000 * speed), -65.0) << "speed " << speed;
    }
    // Pushed above the output's Nyquist frequency (28.8 kHz), a tone is gone, not folded to 15.3.
    const auto pushed = play(loopTone(18000), int(std::lround(1.6 * kRate)));
    const auto reference = play(loopTone(15300), kRate);
    EXPECT_LT(toneDb(pushed, 15300) - toneDb(reference, 15300), -80.0);
}

// The band's top survives a small speed-up, and nothing droops anywhere in the band at any speed.
TEST_F(FastVoice, TheBandKeepsItsLevelAtEverySpeed)
{
    const double natural15 = toneDb(play(loopTone(15000 * 1.13), kRate), 15000 * 1.13);
    const double fast15 = toneDb(play(loopTone(15000), int(std::lround(1.13 * kRate))),
                                 15000 * 1.13);
    EXPECT_NEAR(fast15, natural15, 1.0);

    // A pure tone's level is its RMS (what the kernel adds besides lies 65 dB and more below).
    const double natural = powerDb(play(loopTone(1000), kRate));
    for (double speed : {0.5, 0.75, 0.9, 1.03, 1.13, 1.6, 2.5, 7.9}) {
        const double hz = 1000 / speed;
        const auto out = play(loopTone(hz), int(std::lround(speed * kRate)));
        EXPECT_NEAR(powerDb(out), natural, 0.1) << "speed " << speed;
    }
}

// A loop shorter than the kernel's reach wraps as seamlessly as a long one: a whole number of
// periods in 40 frames plays as one unbroken tone.
TEST_F(FastVoice, ShortLoopsWrapWithoutASeam)
{
    const auto out = play(sineFrames(2205, kRate, 40, 0.5), int(std::lround(0.9 * kRate)));
    EXPECT_LT(worstSpurDb(out, 2205 * 0.9), -70.0);
}

TEST(ResamplingKernel, RowsPassDcExactlyAndNaturalSpeedIsTheSourceItself)
{
    for (int c : {0, 1, 5, 12, 24, ResamplingKernel::kClasses - 1}) {
        const auto t = ResamplingKernel::design(c);
        ASSERT_TRUE(t);
        EXPECT_EQ(t->taps % 8, 0);
        EXPECT_GE(double(t->taps), ResamplingKernel::kBaseTaps * ResamplingKernel::topSpeed(c) - 1e-9);
        for (int p = 0; p <= KernelTable::kPhases; p += 7) {
            long sum = 0;
            std::array<long, 8> lanes{}; // the vector kernel's 32-bit lanes: taps 2m, 2m + 1 of 16
            for (int j = 0; j < t->taps; ++j) {
                const int q = t->coefficients[std::size_t(p * t->taps + j)];
                sum += q;
                lanes[std::size_t((j % 16) / 2)] += std::abs(q);
            }
            EXPECT_EQ(sum, t->unity) << "class " << c << " phase " << p;
            for (long lane : lanes)
                EXPECT_LE(lane * 32768, long(INT32_MAX)) << "a lane of a dot product could overflow";
            // Lanes 0 … 3 and 4 … 7 are added up as integers too.
            EXPECT_LE((lanes[0] + lanes[1] + lanes[2] + lanes[3]) * 32768, long(INT32_MAX)) << "class " << c;
            EXPECT_LE((lanes[4] + lanes[5] + lanes[6] + lanes[7]) * 32768, long(INT32_MAX)) << "class " << c;
        }
    }
    EXPECT_EQ(ResamplingKernel::classFor(std::uint64_t(1) << 32), 0);
    EXPECT_EQ(ResamplingKernel::classFor((std::uint64_t(1) << 32) + 1), 1);
    EXPECT_EQ(ResamplingKernel::classFor(std::uint64_t(100) << 32), ResamplingKernel::kClasses - 1);

    // At one frame per frame and no fraction, the kernel gives back the frames it reads.
    auto sample = makeSample(whiteNoiseFrames(2000, 0.9, 4), kRate);
    for (auto mix : {mixResampled, mixResampledPortable}) {
        std::vector<float> l(1000, 0.0f), r(1000, 0.0f);
        mix(*ResamplingKernel::table(0), sample->data() + 500, 0, std::uint64_t(1) << 32, 1000, 1.0f, 0.0f, 0.5f,
            0.0f, l.data(), r.data());
        for (int k = 0; k < 1000; ++k) {
            ASSERT_NEAR(l[std::size_t(k)], sample->data()[500 + k] / 32768.0f, 1e-6) << k;
            ASSERT_NEAR(r[std::size_t(k)], 0.5f * l[std::size_t(k)], 1e-6) << k;
        }
    }
}

// The vector kernel and the portable one compute the same sums, at every length of kernel.
TEST(ResamplingKernel, TheVectorKernelMatchesThePortableOne)
{
    auto sample = makeSample(whiteNoiseFrames(20000, 1.0, 8), kRate);
    for (int c : {0, 1, 4, 12, ResamplingKernel::kClasses - 1}) {
        ResamplingKernel::build(c);
        const KernelTable& t = *ResamplingKernel::table(c);
        const std::uint64_t step = std::uint64_t(ResamplingKernel::topSpeed(c) * 0.97 * 4294967296.0);
        std::vector<float> l1(333, 0.25f), r1(333, 0.0f), l2(333, 0.25f), r2(333, 0.0f);
        mixResampled(t, sample->data() + 3000, 123456789u, step, 333, 0.9f, -0.001f, 0.3f, 0.001f, l1.data(),
                     r1.data());
        mixResampledPortable(t, sample->data() + 3000, 123456789u, step, 333, 0.9f, -0.001f, 0.3f, 0.001f,
                             l2.data(), r2.data());
        for (std::size_t k = 0; k < l1.size(); ++k) {
            ASSERT_NEAR(l1[k], l2[k], 1e-6) << "class " << c << " frame " << k;
            ASSERT_NEAR(r1[k], r2[k], 1e-6) << "class " << c << " frame " << k;
        }
    }
}

// Slow voices are mixed from the kernel's polynomials: in both versions of the kernel, over runs
// longer than the vector kernel's chunks, they follow the rows closely and pass DC exactly.
TEST(ResamplingKernel, SlowVoicesFromThePolynomialsMatchTheRows)
{
    const KernelTable& table = *ResamplingKernel::table(0);
    ASSERT_EQ(table.polynomial.size(), std::size_t(KernelTable::kOrder * table.taps / 2));
    KernelTable rowsOnly = table;
    rowsOnly.polynomial.clear();
    auto noise = makeSample(whiteNoiseFrames(20000, 1.0, 8), kRate);
    auto level = makeSample(std::vector<std::int16_t>(20000, 12345), kRate);
    const int n = 700;
    for (double speed : {0.0023, 0.11, 0.31}) {
        const auto step = std::uint64_t(speed * 4294967296.0);
        ASSERT_LT(step, ResamplingKernel::kSlowStep);
        std::vector<float> rows(n, 0.0f), right(n, 0.0f);
        mixResampled(rowsOnly, noise->data() + 3000, 987654321u, step, n, 1.0f, 0.0f, 0.0f, 0.0f, rows.data(),
                     right.data());
        for (auto mix : {mixResampled, mixResampledPortable}) {
            std::vector<float> l(n, 0.25f), r(n, 0.0f);
            mix(table, noise->data() + 3000, 987654321u, step, n, 0.9f, -0.001f, 0.3f, 0.0005f, l.data(), r.data());
            double error = 0, power = 0;
            for (int k = 0; k < n; ++k) {
                const double expected = rows[std::size_t(k)] * (0.9 - 0.001 * k);
                error += std::pow(l[std::size_t(k)] - 0.25 - expected, 2);
                power += expected * expected;
                ASSERT_NEAR(r[std::size_t(k)], rows[std::size_t(k)] * (0.3 + 0.0005 * k), 2e-4) << speed << " " << k;
            }
            EXPECT_LT(10 * std::log10(error / power), -78.0) << "speed " << speed;

            std::vector<float> dc(n, 0.0f), unused(n, 0.0f);
            mix(table, level->data() + 3000, 5u, step, n, 1.0f, 0.0f, 0.0f, 0.0f, dc.data(), unused.data());
            for (int k = 0; k < n; ++k)
                ASSERT_NEAR(dc[std::size_t(k)], 12345 / 32768.0f, 2e-6) << "speed " << speed << " frame " << k;
        }
    }
}
