#pragma once

#include "audio/generator.h"
#include "audio/tonegenerator.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sonaveil::audio {

// Handles are plain 32-bit values. Sample handle 0 is "no sample"; a channel handle names one
// voice for as long as that voice plays and nothing afterwards (it carries a generation).
using SampleHandle = std::int32_t;
using ChannelHandle = std::int32_t;
using FxHandle = std::int32_t;

// Lets the engine choose: a free channel, a free sample slot, or the output system.
constexpr std::int32_t kFree = -1;
// The mixed output: the target of pausing and of the equaliser.
constexpr std::int32_t kSystemChannel = -1000;

constexpr int kLoopOff = 1;
constexpr int kLoopNormal = 2;

constexpr unsigned kInitEnableSystemChannelFx = 4;
constexpr int kFxParamEq = 7;
// The mixed output's chain takes at most this many equaliser bands.
constexpr int kMaxEqBands = 12;
// 16-bit signed mono; for files the real format always comes from the file's content.
constexpr unsigned kSampleNormal = 0x130;

// Output systems for setOutput().
constexpr int kOutputAuto = -1;
constexpr int kOutputNoSound = 0;   // nothing is played; renderOffline() pulls the mix
constexpr int kOutputPulseAudio = 1;

// The longest device name handed out; longer names are cut at a character boundary.
constexpr std::size_t kMaxDriverNameLength = 254;

class Output;

class Engine {
public:
    Engine();
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Length of the output's buffer in milliseconds (before init).
    bool setBufferSize(int milliseconds);
    // kOutputAuto, kOutputNoSound or kOutputPulseAudio (before init).
    bool setOutput(int output);
    // For tests: init() starts the output `make` returns where it would start the sound
    // server's, and uses it the same way (before init).
    bool setOutputFactory(std::function<std::unique_ptr<Output>()> make);
    // Output device: 0 is the system's default device, then the other devices (before init).
    bool setDriver(int driver);
    // Number of output devices of the chosen output system.
    int driverCount();
    // Name of device `driver`, "" for a number that names no device.
    std::string driverName(int driver);
    // The names of all output devices, in their numbers' order.
    std::vector<std::string> driverNames();

    // Starts mixing at `mixRate` Hz with `channels` voices (at least 64 are kept, so that every
    // sound of the catalogue and the alarm can play at once). Returns false when the output cannot
    // start; the engine then keeps accepting calls and stays silent.
    bool init(int mixRate, int channels, unsigned flags);
    // Stops every voice, the output and releases every sample. A second call does nothing.
    void close();
    bool initialised() const;

    // Loads a sound file (WAV, FLAC, Ogg Vorbis, MP3, …, recognised from the content). `index`
    // is kFree; `offset` and `length` 0 mean the whole file. Returns 0 when the file is missing or
    // not audio. Only after init. The file is only checked here; its frames are decoded on a
    // thread of the engine's own when the sample is first played.
    SampleHandle loadSample(int index, const std::string& path, unsigned mode, int offset,
                            int length);
    // Loads several files at once; the handles come back in the order of `paths`, 0 for each file
    // that cannot be read. Only after init.
    std::vector<SampleHandle> loadSamples(const std::vector<std::string>& paths);
    // Frames and rate of a loaded sample (0 for handle 0 or an unknown handle). Asking for the
    // frames of a sample never played decodes it.
    int sampleFrames(SampleHandle sample) const;
    int sampleRate(SampleHandle sample) const;
    // True once the sample's frames are decoded and held in memory.
    bool sampleDecoded(SampleHandle sample) const;
    // True once enough of the sample is decoded for a voice playing it to sound.
    bool samplePlayable(SampleHandle sample) const;

    // Starts `sample` at once on a free voice (`channel` kFree); the voice plays at the sample's
    // own rate, full volume, centre pan, once. A sample played for the first time sounds as soon
    // as its start is decoded (tens of milliseconds); it stays decoded until close(). Returns the
    // channel handle, or -1 when nothing can play (handle 0, no free voice, not initialised).
    ChannelHandle playSound(int channel, SampleHandle sample);
    // Starts a voice that plays what `generator` makes, without end, from its first frame: at
    // the generator's rate(), full volume, centre pan. Every call for channels works on it as on
    // a sample's voice (volume, frequency as a playback speed, pan, fade, stop; the loop mode
    // changes nothing). The generator runs ahead of the mix, a batch at a time, on the engine's
    // source worker (offline, on the thread that renders); it is destroyed on the calling thread
    // some time after the voice has stopped (at the latest by close()). Returns -1, dropping the
    // generator, when nothing can play.
    ChannelHandle playGenerator(int channel, std::unique_ptr<Generator> generator);
    // 0 (silent) … 255 (full): the gain is v/255, reached in a few milliseconds. Out-of-range
    // values are clamped.
    bool setVolume(ChannelHandle channel, int volume);
    // Playback rate in Hz; the pitch glides to it. Zero or negative rates are ignored. At every
    // rate the voice is band-limited: nothing folds back below the output's Nyquist frequency
    // (above the mixing rate the kernel for that speed is built on first need, in milliseconds).
    bool setFrequency(ChannelHandle channel, int hertz);
    // A gain 0 … 1 on top of the volume, for fades: the voice moves to it in a straight line over
    // `milliseconds` (0: within a few milliseconds), continuously, whatever the volume. A voice
    // starts at 1.
    bool setFade(ChannelHandle channel, float gain, int milliseconds);
    // 0 (left) … 255 (right), 128 the centre, equal power. Clamped.
    bool setPan(ChannelHandle channel, int pan);
    // kLoopOff or kLoopNormal (the whole sample repeats, sample-accurate, without end).
    bool setLoopMode(ChannelHandle channel, int mode);
    // Fades the voice out over a few milliseconds and frees it.
    bool stopSound(ChannelHandle channel);
    // True while the handle names a sounding voice.
    bool isPlaying(ChannelHandle channel) const;

    // Pauses the whole mix (kSystemChannel).
    bool setPaused(int channel, bool paused);
    // Removes every effect from the mixed output.
    bool fxDisable(int channel);
    // Adds one parametric equaliser band (kFxParamEq) at the end of the mixed output's chain;
    // it starts flat (8000 Hz, 12 semitones, 0 dB). Returns its handle, or -1 (also when the
    // chain already holds kMaxEqBands bands).
    FxHandle fxEnable(int channel, int fx);
    // Centre in Hz, bandwidth in semitones, gain in dB; the band glides to the new setting.
    bool fxSetParamEq(FxHandle fx, float centreHz, float bandwidthSemitones, float gainDb);

    // A band-stop on the whole mix after the equaliser: centre in Hz, width in octaves between
    // its -3 dB edges (0.1 … 3). It glides to new settings and fades in and out by widening and
    // narrowing, so none of this clicks.
    bool setNotch(bool enabled, float centreHz, float widthOctaves);

    // The test-tone voice (kToneSine, kToneBand, kToneWhite or kTonePink): heard beside the
    // sample voices, after the equaliser and the band-stop, with a peak never above `levelDb`
    // (dB below full scale), in both ears or one (kEarLeft, kEarRight). It ramps in and out and
    // glides between frequencies.
    bool setTone(bool on, int kind, float hz, float levelDb, int ear = kEarBoth);

    // kOutputNoSound only: mixes `frames` frames of interleaved stereo float into `out`, after
    // every decoding and version asked for so far is done.
    void renderOffline(float* out, int frames);
    // How many times a live voice's generator fell behind and the voice played its last frames
    // again (a measurement: none of it is ever heard as silence).
    std::uint64_t starvedCount() const;
    int mixRate() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace sonaveil::audio
