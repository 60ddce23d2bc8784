#include "synth/endless.h"

#include "synth/liverecipes.h"
#include "synth/synth.h"

#include <algorithm>
#include <cmath>

namespace sonaveil::synth {

namespace live {

LiveSound::LiveSound(int rate, std::uint64_t seed) : rate_(rate), dither_(4096), ditherRng_(seed)
{
    for (float& d : dither_)
        d = float(ditherRng_.uniform() - ditherRng_.uniform());
}

void LiveSound::setLevelDb(double db)
{
    gain_ = float(dbToGain(db));
}

void LiveSound::generate(audio::SourceFrame* out, int frames)
{
    // Above the knee, peaks are bent smoothly towards full scale: rare, so the check is cheap.
    constexpr float kKnee = 0.8f;
    constexpr float kRoom = 1.0f - kKnee;
    // Adding and taking away 1.5 · 2^23 rounds a float to the nearest integer.
    constexpr float kRound = 12582912.0f;
    while (frames > 0) {
        if (position_ == kBlock) {
            std::fill(buffer_, buffer_ + kBlock, 0.0f);
            block(buffer_);
            const float g = gain_;
            float peak = 0.0f;
            for (float& v : buffer_) {
                v *= g;
                peak = std::max(peak, std::fabs(v));
            }
            if (peak > kKnee)
                for (float& v : buffer_) {
                    const float a = std::fabs(v);
                    if (a > kKnee)
                        v = std::copysign(kKnee + kRoom * std::tanh((a - kKnee) / kRoom), v);
                }
            const float* __restrict d = dither_.data() + (ditherRng_.next() % (dither_.size() - kBlock));
            for (int i = 0; i < kBlock; ++i) {
                const float s = (buffer_[i] * 32767.0f + d[i] + kRound) - kRound;
                frames_[i] = audio::SourceFrame(std::clamp(s, -32767.0f, 32767.0f));
            }
            position_ = 0;
        }
        const int take = std::min(frames, kBlock - position_);
        std::copy(frames_ + position_, frames_ + position_ + take, out);
        out += take;
        frames -= take;
        position_ += take;
    }
}

} // namespace live

namespace {

struct Endless {
    live::Recipe make;
    // The gain that brings the recipe to the files' loudness (kTargetLoudnessLufs), measured by
    // bench_endless --calibrate.
    double levelDb;
};

std::unique_ptr<live::LiveSound> white(int rate, Rng& rng) { return live::colouredNoise(rate, rng, 0.0); }
std::unique_ptr<live::LiveSound> pink(int rate, Rng& rng) { return live::colouredNoise(rate, rng, -3.0103); }
std::unique_ptr<live::LiveSound> brown(int rate, Rng& rng) { return live::colouredNoise(rate, rng, -6.0206); }
std::unique_ptr<live::LiveSound> blue(int rate, Rng& rng) { return live::colouredNoise(rate, rng, 3.0103); }
std::unique_ptr<live::LiveSound> violet(int rate, Rng& rng) { return live::colouredNoise(rate, rng, 6.0206); }

const Endless* endless(int number)
{
    using namespace live;
    static const Endless table[] = {
        {white, -18.0},          {pink, -18.0},         {brown, -18.0},         {blue, -18.0},
        {violet, -18.0},         {rainGarden, -18.0},   {rainRoof, -18.0},      {rainDownpour, -18.0},
        {ocean, -18.0},          {cicadaDrone, -18.0},  {cicadaSwells, -18.0},  {cicadaChirps, -18.0},
        {rainThunder, -18.0},    {rainLeaves, -18.0},   {rainDrizzle, -18.0},   {rainGutter, -18.0},
        {rainTinRoof, -18.0},    {cicadaTicking, -18.0}, {cicadaWeeOo, -18.0},  {cicadaShimmer, -18.0},
        {airConditionerDuct, -18.0}, {airConditionerWindow, -18.0}, {aircraftCabin, -18.0}, {trainCabin, -18.0},
        {aquariumAirStone, -18.0}, {aquariumFilter, -18.0}, {fan, -18.0},         {hoover, -18.0},
        {fire, -18.0},           {hairdryerHot, -18.0}, {hairdryerLow, -18.0},  {vacuumCanister, -18.0},
        {vacuumCentral, -18.0},  {vacuumHandheld, -18.0}, {vacuumWorkshop, -18.0},
    };
    static_assert(std::size(table) == 35);
    if (number < 1 || number > 35)
        return nullptr;
    return &table[number - 1];
}

} // namespace

bool hasEndless(int number)
{
    return endless(number) != nullptr;
}

std::unique_ptr<audio::Generator> makeEndless(int number, std::uint64_t seed)
{
    const Endless* e = endless(number);
    const SoundRecipe* recipe = findRecipe(number);
    if (!e || !recipe)
        return nullptr;
    Rng rng(seed * 0x9E3779B97F4A7C15ull + std::uint64_t(number));
    auto sound = e->make(recipe->rate, rng);
    sound->setLevelDb(e->levelDb);
    return sound;
}

} // namespace sonaveil::synth
