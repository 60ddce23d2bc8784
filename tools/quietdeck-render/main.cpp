// Renders a mix offline through the player's engine and channel model into a 16-bit stereo
// 44100 Hz WAV file.
#include "audio/engine.h"
#include "common/atomicfile.h"
#include "player/core/channelmodel.h"
#include "player/equaliser/eqpreset.h"
#include "player/presets/presetrecord.h"
#include "player/tinnitus/sleepfade.h"
#include "tools/quietdeck-render/renderoptions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <sndfile.h>
#include <unistd.h>
#include <vector>

using namespace sonaveil;
namespace fs = std::filesystem;

namespace {

constexpr int kRate = 44100;
constexpr int kChunk = 4410;

int fail(const std::string& message)
{
    std::fprintf(stderr, "quietdeck-render: %s\n", message.c_str());
    return 2;
}

fs::path executableFolder()
{
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path() : self.parent_path();
}

// The text of the file `path` when one is named; when it cannot be read, nothing, and `failure`
// says why (`what` names the file).
std::optional<std::string> readInput(const std::string& path, const std::string& what, std::string& failure)
{
    if (path.empty())
        return std::nullopt;
    std::string why;
    auto text = readWholeFile(path, kMaxStateFileBytes, &why);
    if (!text)
        failure = "cannot read " + what + " " + path + ": " + why;
    return text;
}

// Sets the mix from the command line's quick options: the listed sounds on, all at one setting.
void applyQuickMix(const render::RenderOptions& o, player::ChannelModel& model)
{
    if (o.master)
        model.setSlider(player::kMasterSlider, *o.master);
    for (int n : o.sounds) {
        const player::SoundInfo& s = player::catalogue::sound(n);
        if (o.volume)
            model.setSlider(s.volumeSlider, *o.volume);
        if (o.pitch && s.pitchSlider)
            model.setSlider(s.pitchSlider, *o.pitch);
        if (o.pan)
            model.setSlider(s.panSlider, *o.pan);
        model.setCheck(n, CheckState::Checked);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::printf("%s\n", render::kRenderUsage);
        return 0;
    }
    std::string error;
    const auto options = render::parseRenderOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        return fail(error + " (quietdeck-render --help shows the usage)");
    }
    const render::RenderOptions& o = *options;
    const fs::path folder = o.programFolder.empty() ? executableFolder() : fs::path(o.programFolder);
    if (!fs::is_directory(folder / "bin"))
        return fail("no sample folder \"bin\" in the program folder " + folder.string());

    std::string problem;
    std::optional<player::PresetRecord> preset;
    if (const auto text = readInput(o.presetFile, "the preset", problem); text && !(preset = player::PresetRecord::parse(*text)))
        problem = "the preset " + o.presetFile + " is not a mix: it needs 137 whole numbers";
    if (!problem.empty())
        return fail(problem);
    std::optional<player::EqualiserBands> bands;
    if (const auto text = readInput(o.equaliserFile, "the equaliser preset", problem);
        text && !(bands = player::EqualiserBands::parsePresetText(*text)))
        problem = "the equaliser preset " + o.equaliserFile + " needs ten whole numbers";
    if (!problem.empty())
        return fail(problem);

    audio::Engine engine;
    engine.setOutput(audio::kOutputNoSound);
    engine.init(kRate, 32, audio::kInitEnableSystemChannelFx);
    player::EngineBinding binding(engine);
    // The player's own path for fades: the channel model reaches the engine through it.
    player::FadingBinding fading(binding);
    player::ChannelModel model(fading);
    model.loadSamples(folder);
    // Endless unless asked otherwise; a seed makes every sound's chance, and so the render,
    // repeatable.
    model.endless().setEnabled(!o.loopFiles);
    model.endless().setSeed(o.seed);

    if (preset)
        preset->applyTo(model);
    else
        applyQuickMix(o, model);
    model.masterUpdate();
    for (int n = 1; n <= player::kSoundCount; ++n)
        if (model.entry(n).on() && model.entry(n).sample == 0)
            return fail("sound " + std::to_string(n) + " is on but its file cannot be read: "
                        + (folder / player::catalogue::sound(n).file).string());

    if (bands) {
        engine.fxDisable(audio::kSystemChannel);
        for (int b = 0; b < 10; ++b) {
            const audio::FxHandle fx = engine.fxEnable(audio::kSystemChannel, audio::kFxParamEq);
            engine.fxSetParamEq(fx, player::EqualiserBands::kCentresHz[std::size_t(b)],
                                player::EqualiserBands::kBandwidthSemitones,
                                player::EqualiserBands::gainDb(bands->positions[std::size_t(b)]));
        }
    }

    if (o.notchHz)
        engine.setNotch(true, float(*o.notchHz), float(o.notchWidth.value_or(1.0)));

    // Written beside the target and renamed at the end: an interrupted render leaves no torso.
    const std::string partial = o.outFile + ".part";
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | (o.floatSamples ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_16);
    SNDFILE* out = sf_open(partial.c_str(), SFM_WRITE, &info);
    if (!out)
        return fail("cannot write " + o.outFile + ": " + sf_strerror(nullptr));

    const long long total = std::llround(o.seconds * kRate);
    // The fade to silence over the last seconds, with the sleep timer's curve: the sounds head
    // for the curve's value at each chunk's end, in a straight line over the chunk.
    const std::int64_t endMs = std::llround(o.seconds * 1000.0);
    const std::int64_t fadeMs = o.fadeOutSeconds ? std::llround(*o.fadeOutSeconds * 1000.0) : 0;
    auto applyFade = [&](long long untilFrame, int chunkFrames) {
        const std::int64_t atMs = untilFrame * 1000 / kRate;
        fading.setFade(player::FadeOut::gainAt(atMs, endMs, fadeMs), chunkFrames * 1000 / kRate);
    };
    std::vector<float> mix(2 * kChunk);
    std::vector<short> pcm(2 * kChunk);
    std::mt19937 rng(1);
    std::uniform_real_distribution<float> dither(-0.5f, 0.5f);
    const bool tty = ::isatty(2);
    int lastPercent = -1;
    for (long long done = 0; done < total;) {
        const int n = int(std::min<long long>(kChunk, total - done));
        if (fadeMs > 0)
            applyFade(done + n, n);
        engine.renderOffline(mix.data(), n);
        bool written = false;
        if (o.floatSamples) {
            written = sf_writef_float(out, mix.data(), n) == n;
        } else {
            // 16 bits with triangular dither, so that a fade's last decibels stay sound instead
            // of breaking up into steps; silence (a millionth of a step and less) stays silence.
            for (int i = 0; i < 2 * n; ++i) {
                const float x = std::clamp(mix[std::size_t(i)], -1.0f, 1.0f) * 32767.0f;
                const float d = std::fabs(x) < 1e-6f ? 0.0f : dither(rng) + dither(rng);
                pcm[std::size_t(i)] = short(std::clamp(std::lrint(x + d), -32767L, 32767L));
            }
            written = sf_writef_short(out, pcm.data(), n) == n;
        }
        if (!written) {
            sf_close(out);
            std::remove(partial.c_str());
            return fail("cannot write " + o.outFile + " (is the disk full?)");
        }
        done += n;
        const int percent = int(done * 100 / total);
        if (percent != lastPercent && (tty || percent % 10 == 0)) {
            std::fprintf(stderr, tty ? "\rRendering %s: %d%%" : "Rendering %s: %d%%\n", o.outFile.c_str(), percent);
            lastPercent = percent;
        }
    }
    if (tty)
        std::fputc('\n', stderr);
    if (sf_close(out) != 0 || std::rename(partial.c_str(), o.outFile.c_str()) != 0) {
        std::remove(partial.c_str());
        return fail("cannot write " + o.outFile);
    }
    return 0;
}
