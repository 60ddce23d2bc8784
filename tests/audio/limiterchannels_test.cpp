// The limiter with the loud sound in one channel only: the ceiling holds in that channel, and the
// quiet channel is only ever turned down with it, never up.
#include "audio/limiter.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

using sonaveil::audio::Limiter;

TEST(LimiterOneChannel, APeakInEitherChannelAloneHoldsTheCeilingOfMinusOneDecibel)
{
    constexpr int kRate = 44100;
    const float ceiling = std::pow(10.0f, -1.0f / 20.0f); // -1 dBFS
    for (int loud = 0; loud < 2; ++loud) {
        // A steady loud sine, then single-frame spikes, in one channel; a quiet tone in the other.
        const int frames = kRate * 2;
        std::vector<float> channel[2];
        channel[0].assign(std::size_t(frames), 0.0f);
        channel[1].assign(std::size_t(frames), 0.0f);
        for (int i = 0; i < frames; ++i) {
            channel[loud][std::size_t(i)] = i < kRate ? 2.5f * float(std::sin(2 * M_PI * 300.0 * i / kRate)) : 0.0f;
            channel[1 - loud][std::size_t(i)] = 0.1f * float(std::sin(2 * M_PI * 500.0 * i / kRate));
        }
        for (int i = kRate + 1000; i < frames; i += 5000)
            channel[loud][std::size_t(i)] = (i / 5000) % 2 ? 4.0f : -4.0f;
        const std::vector<float> quietIn = channel[1 - loud];

        Limiter limiter(kRate, ceiling);
        std::mt19937 rng(5);
        for (int done = 0; done < frames;) {
            const int n = std::min(frames - done, 1 + int(rng() % 700));
            limiter.process(channel[0].data() + done, channel[1].data() + done, n);
            done += n;
        }
        float peak = 0;
        for (float v : channel[loud])
            peak = std::max(peak, std::fabs(v));
        EXPECT_LE(peak, ceiling + 1e-6f) << (loud == 0 ? "left" : "right");
        EXPECT_GT(peak, ceiling * 0.9f) << "the loud channel is still loud";
        // The quiet channel comes out delayed, and at most as loud as it went in.
        int louder = 0;
        for (int i = Limiter::kDelayFrames; i < frames; ++i)
            louder += std::fabs(channel[1 - loud][std::size_t(i)])
                              > std::fabs(quietIn[std::size_t(i - Limiter::kDelayFrames)]) + 1e-6f ? 1 : 0;
        EXPECT_EQ(louder, 0);
    }
}
