// Every sample file loads through the engine's own loader at its rate and length.

#include "audio/engine.h"
#include "synth/synth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace {

using namespace sonaveil;

TEST(EngineLoader, DecodesEverySampleFileAtItsRateAndLength)
{
    const char* d = std::getenv("SONAVEIL_DIST");
    ASSERT_NE(d, nullptr);
    audio::Engine engine;
    ASSERT_TRUE(engine.setOutput(audio::kOutputNoSound));
    ASSERT_TRUE(engine.init(44100, 32, 0));
    for (const synth::SoundRecipe& r : synth::catalogue()) {
        const std::string path = (std::filesystem::path(d) / r.path).string();
        const audio::SampleHandle h = engine.loadSample(audio::kFree, path, audio::kSampleNormal, 0, 0);
        ASSERT_NE(h, 0) << path;
        EXPECT_EQ(engine.sampleRate(h), r.rate) << path;
        EXPECT_EQ(engine.sampleFrames(h), std::lround(r.rate * r.seconds)) << path;
    }
    engine.close();
}

} // namespace
