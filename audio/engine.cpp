#include "audio/engine.h"

#include "audio/livesource.h"
#include "audio/mixer.h"
#include "audio/output.h"
#include "audio/resampler.h"
#include "audio/sample.h"
#include "audio/sourceworker.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace sonaveil::audio {

namespace {

constexpr int kMinimumVoices = 64;
// The output queues at most 2.03 s (its deep queue): a rewind goes back no further. The
// history is kept for that and a few snapshots more; each millisecond of it costs every live
// voice's ring the source frames it may read again.
constexpr int kHistoryMilliseconds = 2150;
constexpr int kMaximumVoices = 255; // the handle keeps the voice number in 8 bits
constexpr int kIndexBits = 8;
constexpr std::uint32_t kGenerationMask = (1u << 23) - 1;
static_assert(Equaliser::kMaxBands >= kMaxEqBands, "the mixer must run every band the engine takes");

// Cuts UTF-8 text to at most `limit` bytes without splitting a character.
std::string cutName(std::string name)
{
    if (name.size() <= kMaxDriverNameLength)
        return name;
    std::size_t end = kMaxDriverNameLength;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80)
        --end;
    name.resize(end);
    return name;
}

// Decodes samples and builds the resampling kernel's tables for fast voices on a thread of its
// own, so that neither the interface thread nor the mixer waits. Jobs asked for twice run once.
class SampleWorker {
public:
    ~SampleWorker() { stop(); }

    void decode(Sample* sample, const std::string& path) { post(Job{sample, path, -1}); }
    // Called on the worker's thread after each decoding; set before the first job.
    void setOnDecoded(std::function<void()> callback) { m_onDecoded = std::move(callback); }
    void buildKernel(int speedClass) { post(Job{nullptr, {}, speedClass}); }

    // Waits until every job asked for so far has run.
    void waitIdle()
    {
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
    }

    // Drops the jobs not yet started and waits for the running one.
    void stop()
    {
        {
            std::lock_guard lock(m_mutex);
            m_jobs.clear();
            m_stopping = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable())
            m_thread.join();
        m_stopping = false;
    }

private:
    struct Job {
        Sample* sample;
        std::string path;
        int speedClass; // -1: decode
        bool operator==(const Job& o) const { return sample == o.sample && speedClass == o.speedClass; }
    };

    void post(Job job)
    {
        {
            std::lock_guard lock(m_mutex);
            if (std::find(m_jobs.begin(), m_jobs.end(), job) != m_jobs.end())
                return;
            // Decoding comes first: someone is waiting to hear the sound.
            if (job.speedClass < 0)
                m_jobs.push_front(std::move(job));
            else
                m_jobs.push_back(std::move(job));
            if (!m_thread.joinable())
                m_thread = std::thread([this] { run(); });
        }
        m_wake.notify_one();
    }

    void run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_stopping)
                return;
            Job job = std::move(m_jobs.front());
            m_jobs.pop_front();
            m_busy = true;
            lock.unlock();
            if (job.speedClass < 0) {
                if (!job.sample->ready.load(std::memory_order_acquire))
                    decodeInto(*job.sample, job.path);
                if (m_onDecoded)
                    m_onDecoded();
            } else {
                ResamplingKernel::build(job.speedClass);
            }
            lock.lock();
            m_busy = false;
            if (m_jobs.empty())
                m_idle.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake, m_idle;
    std::deque<Job> m_jobs;
    bool m_busy = false;
    bool m_stopping = false;
    std::function<void()> m_onDecoded;
    std::thread m_thread;
};

} // namespace

struct Engine::Impl {
    // Settings chosen before init.
    int bufferMilliseconds = 100;
    int output = kOutputAuto;
    int driver = 0;
    std::function<std::unique_ptr<Output>()> outputFactory;
    std::vector<OutputDevice> devices;
    bool devicesListed = false;

    // Running state.
    std::unique_ptr<Mixer> mixer;
    std::unique_ptr<Output> sound;
    std::vector<std::unique_ptr<Sample>> samples; // handle n is samples[n - 1]
    std::vector<std::string> samplePaths;         // where each one is decoded from
    SampleWorker worker;
    struct SlotState {
        std::uint32_t generation = 0;
        bool stopped = true; // stopped by us: the handle names nothing from now on
        Sample* sample = nullptr;
        // A generator's voice: freed here once the mixer has finished with it.
        std::unique_ptr<LiveSource> live;
    };
    std::vector<SlotState> slots;
    // Live voices' generators run here, ahead of the mixer.
    std::unique_ptr<SourceWorker> sources;
    // Generators whose voices are done, kept until nothing can read them again: the mixer may
    // still rewind to before the voice ended, and the worker may be in the middle of a batch.
    struct Retired {
        std::unique_ptr<LiveSource> live;
        // The furthest the mix had reached when the voice was seen finished. It may be alive
        // again after a rewind (its finish seen was from a mix since replaced), but only in
        // snapshots before this and for the two blocks its ending takes.
        std::uint64_t endedBy = 0;
    };
    std::vector<Retired> retired;
    std::vector<FxHandle> fxBands; // handles of the bands in chain order
    std::vector<EqBandSettings> fxSettings;
    FxHandle nextFx = 1;
    bool paused = false;

    Sample* sampleOf(SampleHandle handle) const
    {
        if (handle <= 0 || handle > int(samples.size()))
            return nullptr;
        return samples[std::size_t(handle - 1)].get();
    }

    // The sample's frames, decoding them first (and waiting for that) if nobody has played it.
    const Sample* decoded(SampleHandle handle)
    {
        Sample* s = sampleOf(handle);
        if (!s)
            return nullptr;
        if (!s->ready.load(std::memory_order_acquire)) {
            worker.decode(s, samplePaths[std::size_t(handle - 1)]);
            worker.waitIdle();
        }
        return s;
    }

    SampleHandle add(std::unique_ptr<Sample> sample, const std::string& path)
    {
        samples.push_back(std::move(sample));
        samplePaths.push_back(path);
        return SampleHandle(samples.size());
    }

    bool pulseOutput() const { return output == kOutputAuto || output == kOutputPulseAudio; }

    // What is heard has changed: the output replaces what it has queued and not played.
    bool changed()
    {
        if (sound)
            sound->mixChanged();
        return true;
    }

    const std::vector<OutputDevice>& deviceList()
    {
        if (!devicesListed) {
            if (pulseOutput())
                devices = listPulseSinks();
            else
                devices = {OutputDevice{"null", "No sound"}};
            devicesListed = true;
        }
        return devices;
    }

    // The voice a handle names, or -1 when it names no sounding voice.
    int voiceOf(ChannelHandle handle) const
    {
        if (!mixer || handle <= 0)
            return -1;
        const int index = handle & ((1 << kIndexBits) - 1);
        const std::uint32_t generation = std::uint32_t(handle) >> kIndexBits;
        if (index >= int(slots.size()))
            return -1;
        const SlotState& state = slots[std::size_t(index)];
        if (state.generation != generation || state.stopped)
            return -1;
        if (mixer->slot(index).finishedGeneration.load(std::memory_order_acquire) == generation)
            return -1;
        return index;
    }

    // Sets one of the settings of the voice `handle` names; false when it names none.
    template <typename T>
    bool setVoice(ChannelHandle handle, std::atomic<T> VoiceSlot::*setting, T value)
    {
        const int v = voiceOf(handle);
        if (v < 0)
            return false;
        (mixer->slot(v).*setting).store(value, std::memory_order_relaxed);
        return changed();
    }

    bool slotFree(int index) const
    {
        const SlotState& state = slots[std::size_t(index)];
        return state.generation == 0
            || mixer->slot(index).finishedGeneration.load(std::memory_order_acquire) == state.generation;
    }

    // Frees the generators of voices the mixer has finished, once no rewind can bring them back.
    void releaseFinishedLive()
    {
        for (std::size_t i = 0; i < slots.size(); ++i)
            if (slots[i].live && slotFree(int(i)))
                retireLive(int(i));
        // A rewind goes back at most to the settled point and ends a stopped voice within two
        // blocks of it; a voice seen finished at `endedBy` is gone for good a little after.
        const bool rewinds = mixer->keepsHistory();
        const std::uint64_t settled = mixer->settledFrames();
        std::erase_if(retired, [&](const Retired& r) {
            return (!rewinds || settled >= r.endedBy + 4 * Mixer::kBlock) && sources->released(r.live.get());
        });
    }

    // Takes a finished voice's generator from the worker and keeps it among the retired ones.
    void retireLive(int index)
    {
        sources->set(index, nullptr);
        mixer->slot(index).live.store(nullptr, std::memory_order_relaxed);
        retired.push_back(Retired{std::move(slots[std::size_t(index)].live), mixer->furthestFrames()});
    }

    // Offline, the generators run on the caller's thread, far enough ahead for `frames` frames.
    void fillLiveSources(int frames)
    {
        const std::int64_t reach = std::int64_t(frames + 2 * Mixer::kBlock) * std::int64_t(ResamplingKernel::kMaxSpeed)
            + Sample::kMarginAfter + 2;
        for (const SlotState& state : slots)
            if (state.live)
                state.live->fillTo(state.live->readPosition() + std::max(reach, state.live->startFrames()));
    }

    // A free voice for a new sound: `channel` when it is free, else any free one; -1 when none
    // is. The slot's new generation is taken; publish() then starts it.
    int claimSlot(int channel)
    {
        releaseFinishedLive();
        int index = -1;
        // An explicit channel is taken when it is free; otherwise any free one is.
        if (channel >= 0 && channel < int(slots.size()) && slotFree(channel))
            index = channel;
        for (int i = 0; index < 0 && i < int(slots.size()); ++i)
            if (slotFree(i))
                index = i;
        if (index < 0)
            return -1;
        SlotState& state = slots[std::size_t(index)];
        // The mixer may have finished this voice after releaseFinishedLive() looked: its
        // generator is retired like the others, never freed while a rewind can read it again.
        if (state.live)
            retireLive(index);
        state.generation = (state.generation + 1) & kGenerationMask;
        if (state.generation == 0)
            state.generation = 1;
        state.stopped = false;
        state.sample = nullptr;
        return index;
    }

    // Hands the claimed voice to the mixer: natural rate, full volume, centre pan, once.
    ChannelHandle publish(int index, const Sample* sample, LiveSource* live, int rate)
    {
        const SlotState& state = slots[std::size_t(index)];
        VoiceSlot& slot = mixer->slot(index);
        slot.sample.store(sample, std::memory_order_relaxed);
        slot.live.store(live, std::memory_order_relaxed);
        slot.volume.store(255, std::memory_order_relaxed);
        slot.pan.store(128, std::memory_order_relaxed);
        slot.frequency.store(rate, std::memory_order_relaxed);
        slot.loop.store(false, std::memory_order_relaxed);
        slot.fade.store(1.0f, std::memory_order_relaxed);
        slot.fadeFrames.store(0, std::memory_order_relaxed);
        slot.keyOn.store(true, std::memory_order_relaxed);
        slot.generation.store(state.generation, std::memory_order_release);
        return ChannelHandle((state.generation << kIndexBits) | std::uint32_t(index));
    }

    void publishEqualiser()
    {
        EqualiserRequest& request = mixer->equaliserRequest();
        const std::uint32_t seq = request.sequence.load(std::memory_order_relaxed);
        request.sequence.store(seq + 1, std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_release);
        const int count = std::min<int>(int(fxSettings.size()), Equaliser::kMaxBands);
        for (int i = 0; i < count; ++i) {
            request.values[std::size_t(3 * i)].store(fxSettings[std::size_t(i)].centreHz, std::memory_order_relaxed);
            request.values[std::size_t(3 * i + 1)].store(fxSettings[std::size_t(i)].bandwidthSemitones, std::memory_order_relaxed);
            request.values[std::size_t(3 * i + 2)].store(fxSettings[std::size_t(i)].gainDb, std::memory_order_relaxed);
        }
        request.count.store(count, std::memory_order_relaxed);
        request.sequence.store(seq + 2, std::memory_order_release);
    }
};

Engine::Engine()
    : d(std::make_unique<Impl>())
{
}

Engine::~Engine()
{
    close();
}

bool Engine::setBufferSize(int milliseconds)
{
    if (d->mixer)
        return false;
    d->bufferMilliseconds = std::clamp(milliseconds, 10, 2000);
    return true;
}

bool Engine::setOutput(int output)
{
    if (d->mixer || output < kOutputAuto || output > kOutputPulseAudio)
        return false;
    if (output != d->output)
        d->devicesListed = false;
    d->output = output;
    return true;
}

bool Engine::setOutputFactory(std::function<std::unique_ptr<Output>()> make)
{
    if (d->mixer)
        return false;
    d->outputFactory = std::move(make);
    return true;
}

bool Engine::setDriver(int driver)
{
    if (d->mixer)
        return false;
    d->driver = driver;
    return true;
}

int Engine::driverCount()
{
    return int(d->deviceList().size());
}

std::string Engine::driverName(int driver)
{
    const auto& list = d->deviceList();
    if (driver < 0 || driver >= int(list.size()))
        return {};
    return cutName(list[std::size_t(driver)].description);
}

std::vector<std::string> Engine::driverNames()
{
    std::vector<std::string> names;
    const int count = driverCount();
    for (int d = 0; d < count; ++d)
        names.push_back(driverName(d));
    return names;
}

bool Engine::init(int mixRate, int channels, unsigned flags)
{
    if (d->mixer)
        return false;
    mixRate = std::clamp(mixRate, 8000, 192000);
    const int voices = std::clamp(channels, kMinimumVoices, kMaximumVoices);
    d->mixer = std::make_unique<Mixer>(mixRate, voices);
    d->slots.clear();
    d->slots.resize(std::size_t(voices));
    d->sources = std::make_unique<SourceWorker>(voices);
    d->mixer->setSourceWorker(d->sources.get());
    d->paused = false;

    if (d->pulseOutput()) {
        OutputConfig config;
        config.mixRate = mixRate;
        config.bufferMilliseconds = d->bufferMilliseconds;
        // Driver 0 is whatever the server's default is at the time; the rest by name.
        if (d->driver > 0) {
            const auto& list = d->deviceList();
            if (d->driver < int(list.size()))
                config.device = list[std::size_t(d->driver)].name;
        }
        // The output queues deep and replaces what it queued when the mix changes: the mix keeps
        // what it needs to go back over the queue.
        d->mixer->keepHistory(kHistoryMilliseconds * mixRate / 1000);
        config.rewindable = d->mixer.get();
        d->sound = d->outputFactory ? d->outputFactory() : makePulseOutput();
        Mixer* mixer = d->mixer.get();
        if (!d->sound || !d->sound->start(config, [mixer](float* out, int frames) { mixer->render(out, frames); })) {
            d->sound.reset();
            return false;
        }
        // A voice that waited for its first frames (a file's start decoded, a generator's first
        // batch) sounds at once: what was queued while it waited is mixed again.
        Output* sound = d->sound.get();
        d->sources->setOnFirstFrames([sound] { sound->mixChanged(); });
        d->worker.setOnDecoded([sound] { sound->mixChanged(); });
        d->sources->start();
    }
    return true;
}

void Engine::close()
{
    // The workers first: they tell the output about new frames.
    d->worker.stop();
    d->worker.setOnDecoded(nullptr);
    if (d->sources)
        d->sources->stop();
    if (d->sound) {
        d->sound->stop();
        d->sound.reset();
    }
    d->slots.clear();
    d->retired.clear();
    d->sources.reset();
    d->mixer.reset();
    d->samples.clear();
    d->samplePaths.clear();
    d->fxBands.clear();
    d->fxSettings.clear();
}

bool Engine::initialised() const
{
    return d->mixer != nullptr;
}

int Engine::mixRate() const
{
    return d->mixer ? d->mixer->mixRate() : 0;
}

SampleHandle Engine::loadSample(int, const std::string& path, unsigned, int, int)
{
    if (!d->mixer || path.empty())
        return 0;
    auto sample = openSampleFile(path);
    if (!sample)
        return 0;
    return d->add(std::move(sample), path);
}

std::vector<SampleHandle> Engine::loadSamples(const std::vector<std::string>& paths)
{
    std::vector<SampleHandle> handles;
    for (const std::string& path : paths)
        handles.push_back(loadSample(kFree, path, kSampleNormal, 0, 0));
    return handles;
}

int Engine::sampleFrames(SampleHandle sample) const
{
    const Sample* s = d->decoded(sample);
    return s ? s->frames : 0;
}

int Engine::sampleRate(SampleHandle sample) const
{
    const Sample* s = d->sampleOf(sample);
    return s ? s->rate : 0;
}

bool Engine::sampleDecoded(SampleHandle sample) const
{
    const Sample* s = d->sampleOf(sample);
    return s && s->ready.load(std::memory_order_acquire);
}

bool Engine::samplePlayable(SampleHandle sample) const
{
    const Sample* s = d->sampleOf(sample);
    // A second is far more than a voice reads before the decoder is further on.
    return s && (s->ready.load(std::memory_order_acquire) || s->available.load(std::memory_order_acquire) >= s->rate);
}

ChannelHandle Engine::playSound(int channel, SampleHandle sample)
{
    Sample* s = d->sampleOf(sample);
    if (!d->mixer || !s)
        return -1;
    const int index = d->claimSlot(channel);
    if (index < 0)
        return -1;
    d->slots[std::size_t(index)].sample = s;
    // The first play of a sample decodes it; the voice starts as soon as it is ready.
    if (!s->ready.load(std::memory_order_acquire))
        d->worker.decode(s, d->samplePaths[std::size_t(sample - 1)]);
    const ChannelHandle handle = d->publish(index, s, nullptr, s->rate);
    d->changed();
    return handle;
}

ChannelHandle Engine::playGenerator(int channel, std::unique_ptr<Generator> generator)
{
    if (!d->mixer || !generator || generator->rate() <= 0)
        return -1;
    const int index = d->claimSlot(channel);
    if (index < 0)
        return -1;
    Impl::SlotState& state = d->slots[std::size_t(index)];
    state.live = std::make_unique<LiveSource>(std::move(generator));
    const ChannelHandle handle = d->publish(index, nullptr, state.live.get(), state.live->rate());
    d->sources->set(index, state.live.get());
    d->changed();
    return handle;
}

bool Engine::setVolume(ChannelHandle channel, int volume)
{
    return d->setVoice(channel, &VoiceSlot::volume, std::clamp(volume, 0, 255));
}

bool Engine::setFrequency(ChannelHandle channel, int hertz)
{
    const int v = d->voiceOf(channel);
    if (v < 0 || hertz <= 0)
        return false;
    hertz = std::min(hertz, int(ResamplingKernel::kMaxSpeed) * d->mixer->mixRate());
    // Faster than one frame per output frame needs the kernel made for that speed.
    const int speedClass = ResamplingKernel::classFor((std::uint64_t(hertz) << 32) / std::uint64_t(d->mixer->mixRate()));
    if (!ResamplingKernel::table(speedClass))
        d->worker.buildKernel(speedClass);
    d->mixer->slot(v).frequency.store(hertz, std::memory_order_relaxed);
    return d->changed();
}

bool Engine::setFade(ChannelHandle channel, float gain, int milliseconds)
{
    const int v = d->voiceOf(channel);
    if (v < 0 || !std::isfinite(gain))
        return false;
    VoiceSlot& slot = d->mixer->slot(v);
    const std::int64_t frames = std::int64_t(std::clamp(milliseconds, 0, 24 * 3600 * 1000)) * d->mixer->mixRate() / 1000;
    slot.fade.store(std::clamp(gain, 0.0f, 1.0f), std::memory_order_relaxed);
    slot.fadeFrames.store(std::int32_t(std::min<std::int64_t>(frames, INT32_MAX)), std::memory_order_relaxed);
    slot.fadeSerial.store(slot.fadeSerial.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    return d->changed();
}

bool Engine::setPan(ChannelHandle channel, int pan)
{
    return d->setVoice(channel, &VoiceSlot::pan, std::clamp(pan, 0, 255));
}

bool Engine::setLoopMode(ChannelHandle channel, int mode)
{
    if (mode != kLoopOff && mode != kLoopNormal)
        return false;
    return d->setVoice(channel, &VoiceSlot::loop, mode == kLoopNormal);
}

bool Engine::stopSound(ChannelHandle channel)
{
    const int v = d->voiceOf(channel);
    if (v < 0)
        return false;
    d->slots[std::size_t(v)].stopped = true;
    d->mixer->slot(v).keyOn.store(false, std::memory_order_relaxed);
    // Voices stopped earlier have finished by now: their generators go.
    d->releaseFinishedLive();
    return d->changed();
}

bool Engine::isPlaying(ChannelHandle channel) const
{
    return d->voiceOf(channel) >= 0;
}

bool Engine::setPaused(int channel, bool paused)
{
    if (!d->mixer || channel != kSystemChannel)
        return false;
    d->paused = paused;
    d->mixer->setPaused(paused);
    return d->changed();
}

bool Engine::fxDisable(int channel)
{
    if (!d->mixer || channel != kSystemChannel)
        return false;
    d->fxBands.clear();
    d->fxSettings.clear();
    d->publishEqualiser();
    return d->changed();
}

FxHandle Engine::fxEnable(int channel, int fx)
{
    if (!d->mixer || channel != kSystemChannel || fx != kFxParamEq
        || int(d->fxBands.size()) >= kMaxEqBands)
        return -1;
    const FxHandle handle = d->nextFx++;
    d->fxBands.push_back(handle);
    d->fxSettings.push_back(EqBandSettings{});
    d->publishEqualiser();
    d->changed();
    return handle;
}

bool Engine::fxSetParamEq(FxHandle fx, float centreHz, float bandwidthSemitones, float gainDb)
{
    if (!d->mixer)
        return false;
    const auto it = std::find(d->fxBands.begin(), d->fxBands.end(), fx);
    if (it == d->fxBands.end())
        return false;
    if (!std::isfinite(centreHz) || !std::isfinite(bandwidthSemitones) || !std::isfinite(gainDb))
        return false;
    EqBandSettings& band = d->fxSettings[std::size_t(it - d->fxBands.begin())];
    band.centreHz = std::clamp(centreHz, 20.0f, 22000.0f);
    band.bandwidthSemitones = std::clamp(bandwidthSemitones, 1.0f, 36.0f);
    band.gainDb = std::clamp(gainDb, -24.0f, 24.0f);
    d->publishEqualiser();
    return d->changed();
}

bool Engine::setNotch(bool enabled, float centreHz, float widthOctaves)
{
    if (!d->mixer || !std::isfinite(centreHz) || !std::isfinite(widthOctaves) || centreHz <= 0
        || widthOctaves <= 0)
        return false;
    d->mixer->notch().set(NotchSettings{enabled, centreHz, widthOctaves});
    return d->changed();
}

bool Engine::setTone(bool on, int kind, float hz, float levelDb, int ear)
{
    if (!d->mixer || kind < kToneSine || kind > kTonePink || !std::isfinite(hz) || hz <= 0
        || !std::isfinite(levelDb) || ear < kEarBoth || ear > kEarRight)
        return false;
    d->mixer->toneGenerator().set(ToneSettings{on, kind, hz, levelDb, ear});
    return d->changed();
}

void Engine::renderOffline(float* out, int frames)
{
    if (!d->mixer || d->sound || frames <= 0)
        return;
    // Offline, time is what the caller renders: what has been asked of the decoder is there first.
    d->worker.waitIdle();
    // In pieces of whole blocks, so that the mixer's blocks fall where one call would put them.
    constexpr int kPiece = 32 * Mixer::kBlock;
    while (frames > 0) {
        const int n = std::min(frames, kPiece);
        d->fillLiveSources(n);
        d->mixer->render(out, n);
        out += 2 * n;
        frames -= n;
    }
}

std::uint64_t Engine::starvedCount() const
{
    return d->mixer ? d->mixer->starvedCount() : 0;
}

} // namespace sonaveil::audio
