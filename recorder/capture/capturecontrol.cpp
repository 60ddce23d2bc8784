// The capture control on libpulse.
//
// Threads: one pa_threaded_mainloop per connection. The record and playback streams' callbacks
// run on its thread with the mainloop lock held; the interface thread takes that lock for every
// change of the streams or of the WAV writer, so the writer is only ever used under the lock.
// Counters the interface reads often (frames written, levels, play position) are atomics.
// Events found on the mainloop's thread (a time limit reached, a full disk, a lost server, the
// end of playback) are posted to the interface thread as queued calls.
//
// Waiting: connecting and opening a stream are waited for by polling with a deadline (a hung
// server must not hang the caller), never with pa_threaded_mainloop_wait, which has no timeout.

#include "recorder/capture/capturecontrol.h"

#include "recorder/capture/wavfile.h"

#include <pulse/pulseaudio.h>
#include <sndfile.h>

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace sonaveil::recorder {

namespace {

// A path as the file system spells it: the user's file names need not be UTF-8.
std::string systemPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

namespace {

constexpr auto kServerWait = std::chrono::milliseconds(3000);
constexpr pa_usec_t kFragment = 50 * PA_USEC_PER_MSEC;   // one read callback per 50 ms
constexpr pa_usec_t kPlayBuffer = 200 * PA_USEC_PER_MSEC;

enum class EventKind { State, Error, PlaybackDrained };

void storeMax(std::atomic<float>& target, float value)
{
    float seen = target.load(std::memory_order_relaxed);
    while (value > seen && !target.compare_exchange_weak(seen, value, std::memory_order_relaxed)) {
    }
}

} // namespace

struct SourceEntry {
    std::string name;
    QString description;
};

class PulseCapture {
public:
    explicit PulseCapture(CaptureControl* owner)
        : m_owner(owner)
    {
    }
    ~PulseCapture() { disconnect(); }

    // Runs `answer` with the loop locked and gives what it says; false when there is no loop.
    template <typename Answer>
    bool whileLocked(Answer answer)
    {
        if (!m_loop)
            return false;
        pa_threaded_mainloop_lock(m_loop);
        const bool said = answer();
        pa_threaded_mainloop_unlock(m_loop);
        return said;
    }

    // With the loop locked.
    bool recordStreamReady() const { return m_record && pa_stream_get_state(m_record) == PA_STREAM_READY; }

    // Connects when there is no working connection. False when the server cannot be reached.
    bool connect()
    {
        if (m_loop) {
            if (contextReady())
                return true;
            disconnect();
        }
        m_loop = pa_threaded_mainloop_new();
        if (!m_loop)
            return false;
        pa_threaded_mainloop_set_name(m_loop, "recorder-capture");
        if (pa_threaded_mainloop_start(m_loop) < 0) {
            pa_threaded_mainloop_free(m_loop);
            m_loop = nullptr;
            return false;
        }
        pa_threaded_mainloop_lock(m_loop);
        m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Recorder");
        bool ok = m_context != nullptr;
        if (ok) {
            pa_context_set_state_callback(m_context, &PulseCapture::onContextState, this);
            ok = pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0;
        }
        pa_threaded_mainloop_unlock(m_loop);
        if (ok)
            ok = waitUntil([this] {
                const auto s = pa_context_get_state(m_context);
                return s == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(s);
            }) && contextReady();
        if (!ok)
            disconnect();
        return ok;
    }

    void disconnect()
    {
        if (!m_loop)
            return;
        pa_threaded_mainloop_lock(m_loop);
        m_closing = true;
        endRecordingLocked();
        dropRecordStream();
        dropPlayStream();
        if (m_context) {
            pa_context_set_state_callback(m_context, nullptr, nullptr);
            pa_context_disconnect(m_context);
            pa_context_unref(m_context);
            m_context = nullptr;
        }
        pa_threaded_mainloop_unlock(m_loop);
        pa_threaded_mainloop_stop(m_loop);
        pa_threaded_mainloop_free(m_loop);
        m_loop = nullptr;
        m_closing = false;
    }

    bool connected() const { return m_loop != nullptr; }

    std::vector<SourceEntry> sources()
    {
        std::vector<SourceEntry> list;
        if (!connect())
            return list;
        struct Query {
            std::vector<SourceEntry> list;
            std::string defaultName;
            int pending = 2;
        } q;
        pa_threaded_mainloop_lock(m_loop);
        pa_operation* a = pa_context_get_server_info(
            m_context,
            [](pa_context*, const pa_server_info* info, void* u) {
                auto* q = static_cast<Query*>(u);
                if (info && info->default_source_name)
                    q->defaultName = info->default_source_name;
                --q->pending;
            },
            &q);
        pa_operation* b = pa_context_get_source_info_list(
            m_context,
            [](pa_context*, const pa_source_info* info, int eol, void* u) {
                auto* q = static_cast<Query*>(u);
                if (eol) {
                    --q->pending;
                    return;
                }
                if (info)
                    q->list.push_back({info->name, QString::fromUtf8(info->description ? info->description : info->name)});
            },
            &q);
        pa_threaded_mainloop_unlock(m_loop);
        const bool done = a && b && waitUntil([&q] { return q.pending == 0; });
        pa_threaded_mainloop_lock(m_loop);
        for (pa_operation* op : {a, b})
            if (op) {
                pa_operation_cancel(op);
                pa_operation_unref(op);
            }
        pa_threaded_mainloop_unlock(m_loop);
        if (!done)
            return list;
        std::stable_partition(q.list.begin(), q.list.end(),
                              [&q](const SourceEntry& e) { return e.name == q.defaultName; });
        return q.list;
    }

    // Opens the record stream on `source` in `format` (as float samples), replacing one that runs.
    bool openRecordStream(const std::string& source, const WavFormat& format)
    {
        if (!connect())
            return false;
        pa_threaded_mainloop_lock(m_loop);
        dropRecordStream();
        m_spec = {PA_SAMPLE_FLOAT32NE, std::uint32_t(format.rate), std::uint8_t(format.channels)};
        m_source = source;
        m_record = pa_stream_new(m_context, "Recording", &m_spec, nullptr);
        bool ok = m_record != nullptr;
        if (ok) {
            pa_stream_set_read_callback(m_record, &PulseCapture::onRead, this);
            pa_stream_set_overflow_callback(m_record, [](pa_stream*, void* u) { ++static_cast<PulseCapture*>(u)->m_overflows; }, this);
            pa_stream_set_state_callback(m_record, &PulseCapture::onRecordState, this);
            pa_buffer_attr attr;
            attr.maxlength = std::uint32_t(-1);
            attr.fragsize = std::uint32_t(pa_usec_to_bytes(kFragment, &m_spec));
            attr.tlength = attr.prebuf = attr.minreq = std::uint32_t(-1);
            ok = pa_stream_connect_record(m_record, source.empty() ? nullptr : source.c_str(), &attr,
                                          PA_STREAM_ADJUST_LATENCY) >= 0;
        }
        pa_threaded_mainloop_unlock(m_loop);
        if (ok)
            ok = waitUntil([this] {
                const auto s = m_record ? pa_stream_get_state(m_record) : PA_STREAM_FAILED;
                return s == PA_STREAM_READY || !PA_STREAM_IS_GOOD(s);
            });
        pa_threaded_mainloop_lock(m_loop);
        ok = ok && recordStreamReady();
        if (!ok)
            dropRecordStream();
        pa_threaded_mainloop_unlock(m_loop);
        return ok;
    }

    bool recordStreamMatches(const std::string& source, const WavFormat& format)
    {
        if (!m_loop)
            return false;
        pa_threaded_mainloop_lock(m_loop);
        const bool same = m_record && pa_stream_get_state(m_record) == PA_STREAM_READY && source == m_source
            && m_spec.rate == std::uint32_t(format.rate) && m_spec.channels == format.channels;
        pa_threaded_mainloop_unlock(m_loop);
        return same;
    }

    bool recordStreamOpen()
    {
        return whileLocked([this] { return recordStreamReady(); });
    }

    // Hands an opened writer to the record stream's callback.
    void beginRecording(std::unique_ptr<WavWriter> writer, double limitSeconds)
    {
        pa_threaded_mainloop_lock(m_loop);
        const int rate = writer->format().rate;
        m_writer = std::move(writer);
        m_rate = rate;
        m_limitFrames = limitSeconds > 0 ? std::uint64_t(std::llround(limitSeconds * rate)) : 0;
        m_framesWritten = 0;
        m_framesAtHeader = 0;
        m_recording = true;
        pa_threaded_mainloop_unlock(m_loop);
    }

    // Ends a running recording; true when one ran.
    bool endRecording()
    {
        return whileLocked([this] { return endRecordingLocked(); });
    }

    bool startPlayback(const std::string& path, bool loop, QString* error)
    {
        if (!connect()) {
            *error = QStringLiteral("The sound server cannot be reached.");
            return false;
        }
        SF_INFO info{};
        SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
        if (!file) {
            *error = QStringLiteral("The file \"%1\" cannot be played: %2").arg(QString::fromStdString(path),
                                                                                QString::fromUtf8(sf_strerror(nullptr)));
            return false;
        }
        pa_threaded_mainloop_lock(m_loop);
        dropPlayStream();
        m_file = file;
        m_fileInfo = info;
        m_loopPlayback = loop;
        m_playFrame = 0;
        m_seekTo = -1;
        m_playSpec = {PA_SAMPLE_FLOAT32NE, std::uint32_t(info.samplerate), std::uint8_t(std::clamp(info.channels, 1, 32))};
        m_play = pa_stream_new(m_context, "Playback", &m_playSpec, nullptr);
        bool ok = m_play != nullptr;
        if (ok) {
            pa_stream_set_write_callback(m_play, &PulseCapture::onWrite, this);
            pa_buffer_attr attr;
            attr.maxlength = std::uint32_t(-1);
            attr.tlength = std::uint32_t(pa_usec_to_bytes(kPlayBuffer, &m_playSpec));
            attr.prebuf = attr.minreq = attr.fragsize = std::uint32_t(-1);
            ok = pa_stream_connect_playback(m_play, nullptr, &attr, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) >= 0;
        }
        if (!ok) {
            dropPlayStream();
            *error = QStringLiteral("Playback cannot be started on the sound server.");
        }
        pa_threaded_mainloop_unlock(m_loop);
        return ok;
    }

    // Ends playback; true when a file was playing.
    bool stopPlayback()
    {
        return whileLocked([this] {
            const bool was = m_file != nullptr;
            dropPlayStream();
            return was;
        });
    }

    bool isPlaying() const { return m_playing.load(); }
    bool isRecording() const { return m_recording.load(); }
    std::uint64_t framesWritten() const { return m_framesWritten.load(); }
    int rate() const { return m_rate; }
    int blockAlign() const { return m_blockAlign; }
    double playLengthMs() const { return m_playing ? double(m_fileInfo.frames) * 1000.0 / m_fileInfo.samplerate : -1; }
    // Where playback is, or ended: a slider polled after the end stays there. A seek the stream
    // has not reached yet (its next write request may be a while coming) is where it will be.
    double playPositionMs() const
    {
        if (m_fileInfo.samplerate <= 0)
            return 0;
        const std::int64_t pending = m_seekTo.load();
        const std::int64_t frame = pending >= 0 ? std::clamp<std::int64_t>(pending, 0, m_fileInfo.frames)
                                                : std::int64_t(m_playFrame.load());
        return double(frame) * 1000.0 / m_fileInfo.samplerate;
    }
    void seek(double ms)
    {
        if (m_playing)
            m_seekTo = std::int64_t(std::llround(ms * m_fileInfo.samplerate / 1000.0));
    }

    std::atomic<float> gain{1.0f};
    std::atomic<float> levels[2] = {0.0f, 0.0f};
    std::atomic<std::uint64_t> m_overflows{0};

private:
    template <class Ready>
    bool waitUntil(Ready ready)
    {
        const auto deadline = std::chrono::steady_clock::now() + kServerWait;
        for (;;) {
            pa_threaded_mainloop_lock(m_loop);
            const bool done = ready();
            pa_threaded_mainloop_unlock(m_loop);
            if (done)
                return true;
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    bool contextReady()
    {
        return whileLocked([this] { return m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY; });
    }

    void post(EventKind kind, int number, const QString& text = {})
    {
        CaptureControl* owner = m_owner;
        QMetaObject::invokeMethod(
            owner, [owner, kind, number, text] { owner->onEngineEvent(int(kind), number, text); }, Qt::QueuedConnection);
    }

    bool endRecordingLocked()
    {
        if (!m_recording)
            return false;
        m_recording = false;
        if (m_writer)
            m_writer->close();
        m_writer.reset();
        return true;
    }

    void dropRecordStream()
    {
        if (!m_record)
            return;
        pa_stream_set_read_callback(m_record, nullptr, nullptr);
        pa_stream_set_state_callback(m_record, nullptr, nullptr);
        pa_stream_set_overflow_callback(m_record, nullptr, nullptr);
        pa_stream_disconnect(m_record);
        pa_stream_unref(m_record);
        m_record = nullptr;
    }

    void dropPlayStream()
    {
        m_playing = false;
        if (m_play) {
            pa_stream_set_write_callback(m_play, nullptr, nullptr);
            pa_stream_disconnect(m_play);
            pa_stream_unref(m_play);
            m_play = nullptr;
        }
        if (m_file) {
            sf_close(m_file);
            m_file = nullptr;
        }
    }

    // A lost server or a vanished source: the recording keeps what it has and the user is told.
    void lost(const QString& what)
    {
        if (m_closing)
            return;
        const bool wasRecording = endRecordingLocked();
        const bool wasPlaying = m_file != nullptr;
        if (wasPlaying) {
            m_playing = false;
            post(EventKind::PlaybackDrained, 0);
        }
        post(EventKind::Error, CaptureControl::NoServer,
             what + (wasRecording ? QStringLiteral(" The recording was stopped; what was recorded is saved.") : QString()));
        if (wasRecording)
            post(EventKind::State, CaptureControl::Monitoring);
    }

    static void onContextState(pa_context* context, void* u)
    {
        auto* self = static_cast<PulseCapture*>(u);
        const auto s = pa_context_get_state(context);
        if (s == PA_CONTEXT_FAILED || s == PA_CONTEXT_TERMINATED) {
            // Only a connection that was working counts as lost; a failed attempt is reported by connect().
            if (self->m_wasReady)
                self->lost(QStringLiteral("The connection to the sound server was lost."));
            self->m_wasReady = false;
        } else if (s == PA_CONTEXT_READY) {
            self->m_wasReady = true;
        }
    }

    static void onRecordState(pa_stream* stream, void* u)
    {
        auto* self = static_cast<PulseCapture*>(u);
        if (pa_stream_get_state(stream) == PA_STREAM_FAILED && self->m_context
            && pa_context_get_state(self->m_context) == PA_CONTEXT_READY)
            self->lost(QStringLiteral("The input device is no longer available."));
    }

    static void onRead(pa_stream* stream, size_t, void* u)
    {
        auto* self = static_cast<PulseCapture*>(u);
        while (pa_stream_readable_size(stream) > 0) {
            const void* data = nullptr;
            size_t bytes = 0;
            if (pa_stream_peek(stream, &data, &bytes) < 0 || bytes == 0)
                break;
            self->take(static_cast<const float*>(data), bytes / sizeof(float));
            pa_stream_drop(stream);
        }
    }

    // One block of input: levels, then the recording. A null block is a hole (silence).
    void take(const float* samples, std::size_t count)
    {
        const int channels = m_spec.channels;
        const std::size_t frames = count / std::size_t(channels);
        const float g = gain.load(std::memory_order_relaxed);
        if (samples) {
            float peak[2] = {0, 0};
            for (std::size_t i = 0; i < frames * channels; ++i) {
                const float v = std::fabs(samples[i]);
                float& p = peak[channels > 1 ? i % 2 : 0];
                p = std::max(p, v);
            }
            storeMax(levels[0], std::min(1.0f, peak[0] * g));
            storeMax(levels[1], std::min(1.0f, (channels > 1 ? peak[1] : peak[0]) * g));
        }
        if (!m_recording || !m_writer)
            return;
        std::uint64_t n = frames;
        if (m_limitFrames > 0)
            n = std::min<std::uint64_t>(n, m_limitFrames - m_framesWritten);
        const WavFormat& f = m_writer->format();
        const std::size_t values = std::size_t(n) * std::size_t(channels);
        m_buffer.resize(values * std::size_t(f.bits / 8));
        if (f.bits == 8) {
            auto* out = m_buffer.data();
            for (std::size_t i = 0; i < values; ++i) {
                const float v = samples ? samples[i] * g : 0.0f;
                out[i] = static_cast<std::uint8_t>(std::clamp(std::lrint(v * 128.0f), -128L, 127L) + 128);
            }
        } else {
            auto* out = reinterpret_cast<std::int16_t*>(m_buffer.data());
            for (std::size_t i = 0; i < values; ++i) {
                const float v = samples ? samples[i] * g : 0.0f;
                out[i] = static_cast<std::int16_t>(std::clamp(std::lrint(v * 32767.0f), -32768L, 32767L));
            }
        }
        const auto result = m_writer->write(m_buffer.data(), m_buffer.size());
        if (result != WavWriter::Result::Ok) {
            endRecordingLocked();
            if (result == WavWriter::Result::DiskFull)
                post(EventKind::Error, CaptureControl::DiskFull,
                     QStringLiteral("The disk is full. The recording was stopped; what was recorded is saved."));
            else if (result == WavWriter::Result::TooLarge)
                post(EventKind::Error, CaptureControl::FileError,
                     QStringLiteral("The WAV file has reached the largest size a WAV file can hold. The recording was stopped; what was recorded is saved."));
            else
                post(EventKind::Error, CaptureControl::FileError,
                     QStringLiteral("The recording could not be written. It was stopped; what was recorded is saved."));
            post(EventKind::State, CaptureControl::Monitoring);
            return;
        }
        m_framesWritten += n;
        if (m_framesWritten - m_framesAtHeader >= std::uint64_t(m_rate)) {
            m_writer->keepHeaderCurrent();
            m_framesAtHeader = m_framesWritten.load();
        }
        if (m_limitFrames > 0 && m_framesWritten >= m_limitFrames) {
            endRecordingLocked();
            post(EventKind::State, CaptureControl::Monitoring);
        }
    }

    static void onWrite(pa_stream* stream, size_t bytes, void* u)
    {
        auto* self = static_cast<PulseCapture*>(u);
        if (!self->m_file || self->m_draining)
            return;
        const int channels = self->m_playSpec.channels;
        void* data = nullptr;
        if (pa_stream_begin_write(stream, &data, &bytes) < 0 || !data)
            return;
        auto* out = static_cast<float*>(data);
        const sf_count_t wanted = sf_count_t(bytes / (sizeof(float) * std::size_t(channels)));
        sf_count_t got = 0;
        while (got < wanted) {
            const std::int64_t seek = self->m_seekTo.exchange(-1);
            if (seek >= 0) {
                const sf_count_t to = std::clamp<sf_count_t>(seek, 0, self->m_fileInfo.frames);
                sf_seek(self->m_file, to, SEEK_SET);
                self->m_playFrame = to;
            }
            const sf_count_t n = sf_readf_float(self->m_file, out + got * channels, wanted - got);
            got += n;
            self->m_playFrame += n;
            if (n > 0)
                continue;
            if (self->m_loopPlayback && self->m_fileInfo.frames > 0) {
                sf_seek(self->m_file, 0, SEEK_SET);
                self->m_playFrame = 0;
                continue;
            }
            break;
        }
        if (got == 0) {
            pa_stream_cancel_write(stream);
        } else {
            pa_stream_write(stream, data, std::size_t(got) * sizeof(float) * std::size_t(channels), nullptr, 0, PA_SEEK_RELATIVE);
        }
        if (got < wanted && !self->m_draining) {
            self->m_draining = true;
            pa_operation* op = pa_stream_drain(
                stream,
                [](pa_stream*, int, void* u) {
                    auto* self = static_cast<PulseCapture*>(u);
                    self->m_playing = false;
                    self->post(EventKind::PlaybackDrained, 0);
                },
                self);
            if (op)
                pa_operation_unref(op);
        }
    }

public:
    // Marks playback as running (after a successful start).
    void markPlaying()
    {
        pa_threaded_mainloop_lock(m_loop);
        m_draining = false;
        m_playing = m_file != nullptr;
        pa_threaded_mainloop_unlock(m_loop);
    }

private:
    CaptureControl* m_owner;
    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    bool m_wasReady = false;
    bool m_closing = false;

    pa_stream* m_record = nullptr;
    pa_sample_spec m_spec{};
    std::string m_source;
    std::unique_ptr<WavWriter> m_writer;
    std::vector<std::uint8_t> m_buffer;
    std::atomic<bool> m_recording{false};
    std::atomic<std::uint64_t> m_framesWritten{0};
    std::uint64_t m_framesAtHeader = 0;
    std::uint64_t m_limitFrames = 0;
    int m_rate = 44100;
    int m_blockAlign = 4;

    pa_stream* m_play = nullptr;
    pa_sample_spec m_playSpec{};
    SNDFILE* m_file = nullptr;
    SF_INFO m_fileInfo{};
    bool m_loopPlayback = false;
    bool m_draining = false;
    std::atomic<bool> m_playing{false};
    std::atomic<std::int64_t> m_playFrame{0};
    std::atomic<std::int64_t> m_seekTo{-1};

    friend class CaptureControl;
};

CaptureControl::CaptureControl(QObject* parent)
    : QObject(parent), m_engine(std::make_unique<PulseCapture>(this))
{
    setObjectName(QStringLiteral("dxVU1"));
    // Progress about twice a second while recording.
    m_progress.setInterval(500);
    connect(&m_progress, &QTimer::timeout, this, &CaptureControl::onTick);
}

CaptureControl::~CaptureControl()
{
    m_engine->disconnect();
}

namespace {
std::vector<SourceEntry>& deviceCache(PulseCapture* engine, std::vector<SourceEntry>& cache, bool& loaded)
{
    if (!loaded) {
        cache = engine->sources();
        loaded = true;
    }
    return cache;
}
} // namespace

void CaptureControl::refreshDevices()
{
    m_devicesLoaded = false;
    deviceCache(m_engine.get(), m_devices, m_devicesLoaded);
}

int CaptureControl::DeviceCount()
{
    return int(deviceCache(m_engine.get(), m_devices, m_devicesLoaded).size());
}

QString CaptureControl::DeviceName(int n)
{
    const auto& list = deviceCache(m_engine.get(), m_devices, m_devicesLoaded);
    return n >= 1 && n <= int(list.size()) ? list[std::size_t(n - 1)].description : QString();
}

int CaptureControl::DeviceKind(int n)
{
    const auto& list = deviceCache(m_engine.get(), m_devices, m_devicesLoaded);
    return n >= 1 && n <= int(list.size()) ? 1 : 0;
}

std::string CaptureControl::sourceName() const
{
    if (m_inputDevice >= 1 && m_inputDevice <= int(m_devices.size()))
        return m_devices[std::size_t(m_inputDevice - 1)].name;
    return {};
}

void CaptureControl::StartMonitoring()
{
    if (!m_engine->connect()) {
        raise(NoServer, QStringLiteral("The sound server cannot be reached. Check that the desktop's sound "
                                       "service (PulseAudio or PipeWire) runs, then start the recorder again."));
        return;
    }
    deviceCache(m_engine.get(), m_devices, m_devicesLoaded);
    if (m_inputDevice < 1 || m_inputDevice > int(m_devices.size())) {
        raise(NoDevice, QStringLiteral("There is no input device to record from."));
        return;
    }
    const WavFormat format = formatOfFlag(m_quality).value_or(WavFormat{});
    if (!m_engine->openRecordStream(sourceName(), format)) {
        raise(NoDevice, QStringLiteral("The input device \"%1\" cannot be opened.").arg(DeviceName(m_inputDevice)));
        return;
    }
    // Raised after the call returns, so that the host has taken in the start first.
    QMetaObject::invokeMethod(this, [this] { emit StateChanged(Monitoring); }, Qt::QueuedConnection);
}

bool CaptureControl::monitoring() const
{
    return m_engine->recordStreamOpen();
}

float CaptureControl::SensitivityFactor() const
{
    return m_engine->gain.load();
}

void CaptureControl::setSensitivityFactor(float factor)
{
    m_engine->gain = std::clamp(factor, 0.0f, 100.0f);
}

bool CaptureControl::StartRecording(double limitSeconds)
{
    const auto format = formatOfFlag(m_quality);
    if (!format) {
        raise(BadQuality, QStringLiteral("The recording quality %1 is not one the recorder knows.").arg(m_quality));
        return false;
    }
    if (m_fileName.isEmpty()) {
        raise(FileError, QStringLiteral("No file was named for the recording."));
        return false;
    }
    if (m_engine->isRecording())
        StopRecording();
    if (!m_engine->connect()) {
        raise(NoServer, QStringLiteral("The sound server cannot be reached."));
        return false;
    }
    deviceCache(m_engine.get(), m_devices, m_devicesLoaded);
    if (m_inputDevice < 1 || m_inputDevice > int(m_devices.size())) {
        raise(NoDevice, QStringLiteral("There is no input device to record from."));
        return false;
    }
    auto writer = std::make_unique<WavWriter>();
    const std::string path = systemPath(m_fileName);
    switch (writer->open(path, *format)) {
    case WavWriter::Result::Ok:
        break;
    case WavWriter::Result::OtherFormat: {
        const auto info = readWavInfo(path);
        const QString has = info ? QStringLiteral("%1 Hz, %2 bit, %3")
                                       .arg(info->format.rate)
                                       .arg(info->format.bits)
                                       .arg(info->format.channels == 1 ? QStringLiteral("mono") : QStringLiteral("stereo"))
                                 : QStringLiteral("another format");
        raise(OtherFormat, QStringLiteral("\"%1\" holds %2, not %3, so the recording cannot be added to it. "
                                          "Choose another file, or the quality of that file.")
                               .arg(m_fileName, has, QString::fromUtf8(kQualities[std::size_t(*qualityIndexOfFlag(m_quality))].text.data())));
        return false;
    }
    case WavWriter::Result::NotWav:
        raise(FileError, QStringLiteral("\"%1\" is not a WAV file, so the recording cannot be added to it.").arg(m_fileName));
        return false;
    case WavWriter::Result::CannotExtend:
        raise(FileError, QStringLiteral("\"%1\" has more after its samples, so the recording cannot be added to it.").arg(m_fileName));
        return false;
    default:
        raise(FileError, QStringLiteral("\"%1\" cannot be written.").arg(m_fileName));
        return false;
    }
    if (!m_engine->recordStreamMatches(sourceName(), *format) && !m_engine->openRecordStream(sourceName(), *format)) {
        writer->close();
        raise(NoDevice, QStringLiteral("The input device \"%1\" cannot be opened.").arg(DeviceName(m_inputDevice)));
        return false;
    }
    m_engine->m_blockAlign = format->blockAlign();
    m_engine->beginRecording(std::move(writer), limitSeconds);
    m_progress.start();
    emit StateChanged(Recording);
    return true;
}

void CaptureControl::StopRecording()
{
    if (m_engine->endRecording()) {
        m_progress.stop();
        emit StateChanged(Monitoring);
    }
}

bool CaptureControl::recording() const
{
    return m_engine->isRecording();
}

std::array<float, 3> CaptureControl::ElapsedTime() const
{
    const std::uint64_t seconds = m_engine->framesWritten() / std::uint64_t(std::max(1, m_engine->rate()));
    return {float(seconds % 60), float(seconds / 60 % 60), float(seconds / 3600)};
}

double CaptureControl::bytesRecorded() const
{
    return double(m_engine->framesWritten()) * m_engine->blockAlign();
}

void CaptureControl::Play(bool loop)
{
    QString error;
    if (!m_engine->startPlayback(systemPath(m_fileName), loop, &error)) {
        raise(FileError, error);
        return;
    }
    m_engine->markPlaying();
    emit StateChanged(Playing);
}

void CaptureControl::StopPlaying()
{
    if (m_engine->stopPlayback())
        emit StateChanged(PlayEnded);
}

bool CaptureControl::playing() const
{
    return m_engine->isPlaying();
}

void CaptureControl::ReadFileFormat()
{
    const auto info = readWavInfo(systemPath(m_fileName));
    m_quality = info && info->pcm ? flagOfFormat(info->format) : 0;
}

double CaptureControl::Length() const
{
    const double playing = m_engine->playLengthMs();
    if (playing >= 0)
        return playing;
    SF_INFO info{};
    SNDFILE* file = sf_open(systemPath(m_fileName).c_str(), SFM_READ, &info);
    if (!file)
        return 0;
    sf_close(file);
    return info.samplerate > 0 ? double(info.frames) * 1000.0 / info.samplerate : 0;
}

double CaptureControl::Position() const
{
    return m_engine->playPositionMs();
}

void CaptureControl::setPosition(double milliseconds)
{
    m_engine->seek(milliseconds);
}

void CaptureControl::CloseDevices()
{
    m_progress.stop();
    const bool wasRecording = m_engine->isRecording();
    m_engine->disconnect();
    if (wasRecording)
        emit StateChanged(Monitoring);
    emit StateChanged(Closed);
}

std::array<float, 2> CaptureControl::takeLevels()
{
    return {m_engine->levels[0].exchange(0.0f), m_engine->levels[1].exchange(0.0f)};
}

std::uint64_t CaptureControl::overflows() const
{
    return m_engine->m_overflows.load();
}

void CaptureControl::raise(int number, const QString& description)
{
    emit ErrorOccurred(number, description);
}

void CaptureControl::onTick()
{
    emit Progress(bytesRecorded());
    if (!m_engine->isRecording())
        m_progress.stop();
}

void CaptureControl::onEngineEvent(int kind, int number, const QString& text)
{
    switch (EventKind(kind)) {
    case EventKind::State:
        if (number == Monitoring) {
            // The recording ended on the capture thread: the last progress, then the state.
            m_progress.stop();
            emit Progress(bytesRecorded());
        }
        emit StateChanged(number);
        break;
    case EventKind::Error:
        raise(number, text);
        break;
    case EventKind::PlaybackDrained:
        if (m_engine->stopPlayback())
            emit StateChanged(PlayEnded);
        break;
    }
}

} // namespace sonaveil::recorder
