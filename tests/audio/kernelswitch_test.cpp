// A voice whose speed needs a resampling kernel that is not built yet plays with a stand-in, and
// takes its own kernel in the first block after it is built, however it came to that speed.
#include "audio/limiter.h"
#include "audio/mixer.h"
#include "audio/resampler.h"
#include "audio/sample.h"

#include "audiotestutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

using namespace sonaveil::audio;

namespace {

constexpr int kRate = 44100;

// The fastest classes not built yet in this program (the kernel tables are shared by every test).
std::vector<int> unbuiltClasses(int wanted)
{
    std::vector<int> found;
    for (int c = ResamplingKernel::kClasses - 1; c > 0 && int(found.size()) < wanted; --c)
        if (!ResamplingKernel::table(c))
            found.push_back(c);
    return found;
}

int hzOfClass(int speedClass)
{
    // Just below the class's top speed: the class itself, not the one under it.
    return int(kRate * ResamplingKernel::topSpeed(speedClass) * 0.995);
}

void startVoice(Mixer& mixer, const Sample& sample, int hz)
{
    VoiceSlot& s = mixer.slot(0);
    s.sample.store(&sample);
    s.frequency.store(hz);
    s.volume.store(40); // far below the limiter
    s.loop.store(true);
    s.keyOn.store(true);
    s.generation.store(s.generation.load() + 1, std::memory_order_release);
}

std::vector<float> render(Mixer& mixer, int frames)
{
    std::vector<float> out(std::size_t(2 * frames));
    mixer.render(out.data(), frames);
    return out;
}

double peak(const std::vector<float>& v)
{
    double p = 0;
    for (float x : v)
        p = std::max(p, std::fabs(double(x)));
    return p;
}

// From frame `from` on (stereo frames).
double largestDifference(const std::vector<float>& a, const std::vector<float>& b, int from)
{
    double worst = 0;
    for (std::size_t i = std::size_t(2 * from); i < a.size(); ++i)
        worst = std::max(worst, std::fabs(double(a[i]) - double(b[i])));
    return worst;
}

} // namespace

TEST(KernelSwitch, AVoiceTakesItsOwnKernelOnceBuiltWhetherItStartedFastOrWasRaised)
{
    const std::vector<int> classes = unbuiltClasses(2);
    ASSERT_EQ(classes.size(), 2u) << "two unbuilt kernel classes are needed";
    auto noise = makeSample(whiteNoiseFrames(40000, 0.8, 11), kRate);
    // What the limiter still holds from earlier blocks comes out first: compared from here on.
    const int settled = Limiter::kDelayFrames + Mixer::kBlock;
    // Started at its speed, and raised to it from the natural speed while playing.
    for (const bool raised : {false, true}) {
        const char* how = raised ? "raised" : "started fast";
        const int speedClass = classes[raised ? 1 : 0];
        const int hz = hzOfClass(speedClass);
        ASSERT_EQ(ResamplingKernel::table(speedClass), nullptr);
        // Returns the last block of a voice that has settled at its speed.
        auto play = [&](Mixer& mixer) {
            startVoice(mixer, *noise, raised ? kRate : hz);
            render(mixer, 4096);
            if (raised)
                mixer.slot(0).frequency.store(hz);
            render(mixer, 16384); // the glide is over
            return render(mixer, 4096);
        };
        Mixer standIn(kRate, 4);
        const std::vector<float> withStandIn = play(standIn);
        ResamplingKernel::build(speedClass);
        const std::vector<float> afterBuild = render(standIn, 4096);

        // The same voice in a mixer that had the kernel all along reads the same positions.
        Mixer own(kRate, 4);
        const std::vector<float> withOwn = play(own);
        const std::vector<float> reference = render(own, 4096);
        EXPECT_GT(peak(reference), 0.01) << how;
        EXPECT_GT(largestDifference(withStandIn, withOwn, settled), 1e-4) << how << ": the stand-in sounds different";
        EXPECT_LT(largestDifference(afterBuild, reference, settled), 1e-6) << how;
    }
}
