// PulseAudio output.
//
// Threads and locks:
// - Every start() makes a PulseSession with a pa_threaded_mainloop of its own. The context, the
//   playback stream and the retry timer belong to that mainloop: they are created, changed and
//   dropped in its callbacks on its thread, where libpulse holds the mainloop lock, and at the
//   end by the teardown, which takes that lock.
// - `render` is called only on the mainloop's thread, from the stream's write callback, with the
//   mainloop lock and the session's render gate (a std::mutex) both held. Besides the write
//   callback only stop() takes the gate, to close it, so stop() waits for at most one render call.
// - start() never takes the mainloop lock: it arms the timer before the thread runs, and the
//   first connection attempt happens on the thread. stop() closes the gate (from then on `render`
//   is not called), then tears the session down on a helper thread and waits for that at most
//   kTeardownLimit; a teardown that does not finish in time is left to finish on its own (the
//   session stays alive until it does), so stop() returns even if libpulse is stuck.
// - Reconnection: a lost or refused connection drops the context and stream and arms the timer
//   (0.5 s for the first attempts, then 1 s); a connection that is not playing within
//   kConnectLimit (a hung server) is dropped and retried the same way. The timer is a
//   CLOCK_MONOTONIC timerfd, so wall-clock jumps during the night do not delay a retry.
//
// The deep queue (when the mix can rewind, OutputConfig::rewindable):
// - About two seconds are queued at the server, which asks for about one second at a time: the
//   thread wakes about once a second. The stream is opened without ADJUST_LATENCY, so that the
//   server gives the sink only tlength - 2 minreq (kSinkMs): the sink holds little, the stream's
//   queue the rest, and what is in the stream's queue can still be replaced.
// - mixChanged() (any thread) only writes to an eventfd. On this thread the output then asks
//   the server where it reads (a timing update); the mix goes back to a rewind point just past
//   that (plus the time since and a margin) and a short stretch is mixed again and written over
//   the queue with a negative relative seek. The rest of the queue is replaced once the changes
//   have settled (the top-up timer, kSettle later); until then the server's requests wait.
// - After each rewrite a second timing update tells whether the server honoured it
//   (RewriteCheck); a server that does not is left to a short queue (kFallbackMs) without
//   rewrites, changed on the same stream.

#include "audio/output.h"
#include "audio/pcm16.h"
#include "audio/rewritecheck.h"
#include "audio/sendbuffer.h"
#include "audio/threadpriority.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <future>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>
#include <unistd.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <time.h>

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#endif

namespace sonaveil::audio {

namespace {

// The stream is 16-bit: the mix is float, but the sinks of most servers are 16-bit anyway, and
// half the bytes is half the packets to the server, each of which wakes it.
constexpr int kChannels = 2;
constexpr size_t kFrameBytes = kChannels * sizeof(std::int16_t);
constexpr int kChunkFrames = 4096; // frames written at a time when the library lends no block
constexpr size_t kBlockFrames = 1 << 15; // at most this many into a block the library lends
constexpr pa_usec_t kConnectLimit = 5 * PA_USEC_PER_SEC;
constexpr auto kTeardownLimit = std::chrono::seconds(2);

// The deep queue: what is queued at most, what the server asks for at a time, and what the sink
// is left with (tlength - 2 minreq).
constexpr pa_usec_t kSinkUsec = 30 * PA_USEC_PER_MSEC;
constexpr pa_usec_t kDeepMinreqUsec = 1000 * PA_USEC_PER_MSEC;
constexpr pa_usec_t kDeepTlengthUsec = 2 * kDeepMinreqUsec + kSinkUsec;
// The short queue for a server that does not honour rewrites.
constexpr pa_usec_t kFallbackMinreqUsec = 100 * PA_USEC_PER_MSEC;
constexpr pa_usec_t kFallbackTlengthUsec = 2 * kFallbackMinreqUsec + 50 * PA_USEC_PER_MSEC;
// A rewrite starts this far past where the server reads (besides the time since it said so).
constexpr pa_usec_t kRewriteMarginUsec = 8 * PA_USEC_PER_MSEC;
// How much a rewrite mixes at once; the rest follows when changes have settled.
constexpr pa_usec_t kRewriteUsec = 300 * PA_USEC_PER_MSEC;
constexpr pa_usec_t kSettleUsec = 100 * PA_USEC_PER_MSEC;
// How far past a rewrite's first frame the server may have read and the change still be heard
// in time.
constexpr pa_usec_t kLateSlackUsec = 40 * PA_USEC_PER_MSEC;

pa_usec_t monotonicUsec()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return pa_usec_t(now.tv_sec) * PA_USEC_PER_SEC + pa_usec_t(now.tv_nsec) / 1000;
}

// Denormal floats cost up to a hundred times a normal operation; the mix decays into them
// whenever a sound fades out, so they are flushed to zero on the thread that renders.
void flushDenormalsToZero()
{
    thread_local bool done = false;
    if (done)
        return;
    done = true;
#if defined(__x86_64__) || (defined(__i386__) && defined(__SSE__))
    _mm_setcsr(_mm_getcsr() | 0x8040); // FTZ (bit 15) | DAZ (bit 6)
#elif defined(__aarch64__)
    std::uint64_t fpcr;
    asm volatile("mrs %0, fpcr" : "=r"(fpcr));
    asm volatile("msr fpcr, %0" : : "r"(fpcr | (std::uint64_t(1) << 24))); // FZ
#endif
}

class PulseSession {
public:
    PulseSession(const OutputConfig& config, RenderFunction render)
        : m_render(std::move(render)), m_mix(config.rewindable), m_device(config.device),
          m_buffer(kBlockFrames * kChannels), m_wire(kChunkFrames * kChannels)
    {
        m_granule = m_mix ? std::max(m_mix->rewindGranularity(), 1) : 1;
        m_spec.format = PA_SAMPLE_S16NE;
        m_spec.rate = static_cast<uint32_t>(std::clamp(config.mixRate, 8000, 192000));
        m_spec.channels = kChannels;
        m_bufferUsec = pa_usec_t(std::clamp(config.bufferMilliseconds, 10, 2000)) * PA_USEC_PER_MSEC;
    }

    ~PulseSession()
    {
        if (m_loop)
            pa_threaded_mainloop_free(m_loop);
        for (int fd : {m_timerFd, m_changeFd, m_topUpFd})
            if (fd >= 0)
                ::close(fd);
    }

    // Any thread: the mix changed. Never blocks (an eventfd write).
    void mixChanged()
    {
        if (m_changeFd < 0 || !m_mix)
            return;
        const std::uint64_t one = 1;
        while (::write(m_changeFd, &one, sizeof one) < 0 && errno == EINTR) {
        }
    }

    OutputStatus status() const
    {
        OutputStatus s;
        s.streaming = m_streaming.load(std::memory_order_relaxed);
        s.fellBack = m_fellBack.load(std::memory_order_relaxed);
        s.realtime = m_realtime.load(std::memory_order_relaxed);
        s.deep = m_mix != nullptr && !s.fellBack;
        s.queueMilliseconds = int(m_queueUsec.load(std::memory_order_relaxed) / PA_USEC_PER_MSEC);
        s.rewrites = m_rewrites.load(std::memory_order_acquire);
        s.lateRewrites = m_lateRewrites.load(std::memory_order_relaxed);
        s.refills = m_refills.load(std::memory_order_relaxed);
        s.lastRewriteFrame = m_lastRewriteFrame.load(std::memory_order_relaxed);
        return s;
    }

    // Creates the mainloop and its timer and starts its thread; the first attempt to connect
    // follows on that thread at once.
    bool launch()
    {
        m_timerFd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
        if (m_timerFd < 0)
            return false;
        m_loop = pa_threaded_mainloop_new();
        if (!m_loop)
            return false;
        pa_threaded_mainloop_set_name(m_loop, "sonaveil-out");
        pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_loop);
        m_timerEvent = api->io_new(api, m_timerFd, PA_IO_EVENT_INPUT, &PulseSession::onTimerEvent, this);
        if (!m_timerEvent)
            return false;
        if (m_mix) {
            m_changeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
            m_topUpFd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
            if (m_changeFd < 0 || m_topUpFd < 0)
                return false;
            m_changeEvent = api->io_new(api, m_changeFd, PA_IO_EVENT_INPUT, &PulseSession::onChangeEvent, this);
            m_topUpEvent = api->io_new(api, m_topUpFd, PA_IO_EVENT_INPUT, &PulseSession::onTopUpEvent, this);
            m_stepEvent = api->defer_new(api, &PulseSession::onStepEvent, this);
            if (!m_changeEvent || !m_topUpEvent || !m_stepEvent)
                return false;
            api->defer_enable(m_stepEvent, 0);
        }
        m_timerPurpose = TimerPurpose::Connect;
        armTimer(0);
        if (pa_threaded_mainloop_start(m_loop) < 0)
            return false;
        m_started = true;
        return true;
    }

    // Waits for a render call in progress, then makes sure no other begins. Returns the render
    // function so that the caller destroys it on its own thread.
    RenderFunction closeGate()
    {
        std::lock_guard gate(m_renderGate);
        m_gateOpen = false;
        return std::move(m_render);
    }

    // Drops the connection and ends the mainloop's thread.
    void shutdown()
    {
        if (!m_started)
            return;
        pa_threaded_mainloop_lock(m_loop);
        dropConnection();
        pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_loop);
        for (pa_io_event** event : {&m_timerEvent, &m_changeEvent, &m_topUpEvent})
            if (*event) {
                api->io_free(*event);
                *event = nullptr;
            }
        if (m_stepEvent) {
            api->defer_free(m_stepEvent);
            m_stepEvent = nullptr;
        }
        pa_threaded_mainloop_unlock(m_loop);
        pa_threaded_mainloop_stop(m_loop);
        m_started = false;
    }

private:
    enum class TimerPurpose { Connect, ConnectLimit, RetryStream };

    // Arms the one-shot timer; 0 means as soon as possible.
    void armTimer(pa_usec_t delay)
    {
        itimerspec timer{};
        if (delay == 0)
            timer.it_value.tv_nsec = 1;
        else {
            timer.it_value.tv_sec = time_t(delay / PA_USEC_PER_SEC);
            timer.it_value.tv_nsec = long(delay % PA_USEC_PER_SEC) * 1000;
        }
        ::timerfd_settime(m_timerFd, 0, &timer, nullptr);
    }

    void disarmTimer()
    {
        itimerspec timer{};
        ::timerfd_settime(m_timerFd, 0, &timer, nullptr);
    }

    void scheduleReconnect()
    {
        dropConnection();
        m_timerPurpose = TimerPurpose::Connect;
        armTimer(m_failedAttempts < 10 ? 500 * PA_USEC_PER_MSEC : PA_USEC_PER_SEC);
        ++m_failedAttempts;
    }

    static void onTimerEvent(pa_mainloop_api*, pa_io_event*, int fd, pa_io_event_flags_t, void* userdata)
    {
        std::uint64_t expirations;
        while (::read(fd, &expirations, sizeof expirations) < 0 && errno == EINTR) {
        }
        static_cast<PulseSession*>(userdata)->onTimer();
    }

    void onTimer()
    {
        switch (m_timerPurpose) {
        case TimerPurpose::Connect:
            connect();
            break;
        case TimerPurpose::ConnectLimit: // the server took too long to answer: a hung server
            scheduleReconnect();
            break;
        case TimerPurpose::RetryStream:
            if (m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY)
                createStream();
            else
                scheduleReconnect();
            break;
        }
    }

    void connect()
    {
        m_realtime = m_priority.request("sonaveil-out");
        dropConnection();
        m_useDevice = !m_device.empty();
        pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_loop);
        m_context = pa_context_new(api, "Sonaveil");
        if (!m_context) {
            scheduleReconnect();
            return;
        }
        pa_context_set_state_callback(m_context, &PulseSession::onContextState, this);
        // No autospawn: spawning a daemon blocks this thread, and a session's server is
        // started by the desktop.
        if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            scheduleReconnect();
            return;
        }
        m_timerPurpose = TimerPurpose::ConnectLimit;
        armTimer(kConnectLimit);
    }

    static void onContextState(pa_context* context, void* userdata)
    {
        auto* self = static_cast<PulseSession*>(userdata);
        switch (pa_context_get_state(context)) {
        case PA_CONTEXT_READY:
            self->createStream();
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            self->scheduleReconnect();
            break;
        default:
            break;
        }
    }

    void createStream()
    {
        dropStream();
        pa_channel_map map;
        pa_channel_map_init_stereo(&map);
        m_stream = pa_stream_new(m_context, "Playback", &m_spec, &map);
        if (!m_stream) {
            scheduleReconnect();
            return;
        }
        pa_stream_set_state_callback(m_stream, &PulseSession::onStreamState, this);
        pa_stream_set_write_callback(m_stream, &PulseSession::onWrite, this);

        // The buffer B is shared out so that the whole system stays quiet: this thread is asked
        // for B / 2 at a time (about 20 wake-ups a second at 100 ms), the sink holds B / 4 of its
        // own (tens of milliseconds: the server and the card wake rarely, and a late wake-up
        // does not underrun), and the stream queue the rest. With ADJUST_LATENCY the server
        // gives the sink (tlength - 2 minreq) / 2 and keeps the total near tlength, so a change
        // to the mix is heard after at most 1.5 B (150 ms at 100 ms), 1.25 B on average.
        pa_buffer_attr attr;
        attr.maxlength = uint32_t(-1);
        attr.tlength = uint32_t(pa_usec_to_bytes(m_bufferUsec * 3 / 2, &m_spec));
        attr.prebuf = uint32_t(-1);
        attr.minreq = uint32_t(pa_usec_to_bytes(m_bufferUsec / 2, &m_spec));
        attr.fragsize = uint32_t(-1);
        pa_stream_flags_t flags = PA_STREAM_ADJUST_LATENCY;
        m_queueUsec = m_bufferUsec * 3 / 2;
        if (m_mix) {
            attr = queueAttributes(m_fellBack.load(std::memory_order_relaxed));
            flags = PA_STREAM_NOFLAGS;
            // The new stream's index 0 is the mix's present frame; nothing before it is rewound.
            m_streamBase = m_mix->mixedFrames();
            m_mix->setRewindFloor(m_streamBase);
            m_staleUntil = m_streamBase;
            m_settleUntil = 0;
            m_timingPending = m_verifyPending = m_changeAgain = false;
        }
        const char* device = m_useDevice ? m_device.c_str() : nullptr;
        if (pa_stream_connect_playback(m_stream, device, &attr, flags, nullptr, nullptr) < 0) {
            scheduleReconnect();
            return;
        }
        m_timerPurpose = TimerPurpose::ConnectLimit;
        armTimer(kConnectLimit);
    }

    static void onStreamState(pa_stream* stream, void* userdata)
    {
        auto* self = static_cast<PulseSession*>(userdata);
        switch (pa_stream_get_state(stream)) {
        case PA_STREAM_READY:
            self->m_failedAttempts = 0;
            self->disarmTimer();
            // A refill goes to the server in one go, rather than waiting for it to read
            // half of it first (see widenSendBuffers).
            if (const char* server = pa_context_get_server(self->m_context))
                widenSendBuffers(server);
            self->m_streaming = true;
            break;
        case PA_STREAM_FAILED:
        case PA_STREAM_TERMINATED:
            self->m_streaming = false;
            self->onStreamLost();
            break;
        default:
            break;
        }
    }

    // The stream failed while the connection may still be good: the chosen sink is missing, or
    // the server removed the stream (its sink was unloaded).
    void onStreamLost()
    {
        if (!m_context || pa_context_get_state(m_context) != PA_CONTEXT_READY) {
            scheduleReconnect();
            return;
        }
        const bool missingDevice = m_useDevice && pa_context_errno(m_context) == PA_ERR_NOENTITY;
        dropStream();
        m_timerPurpose = TimerPurpose::RetryStream;
        if (missingDevice) {
            // A sound card that is gone (unplugged, renamed) plays on the default sink rather
            // than not at all; the next connection tries the chosen one again.
            m_useDevice = false;
            armTimer(0);
        } else {
            armTimer(500 * PA_USEC_PER_MSEC);
        }
    }

    static void onWrite(pa_stream* stream, size_t bytes, void* userdata)
    {
        static_cast<PulseSession*>(userdata)->write(stream, bytes);
    }

    void write(pa_stream* stream, size_t bytes)
    {
        // While changes come in, a rewrite has replaced only the start of the queue; the top-up
        // timer writes the rest once they have settled.
        if (m_mix && monotonicUsec() < m_settleUntil)
            return;
        if (m_mix && m_fellBack.load(std::memory_order_relaxed)) {
            fillShortQueue();
            return;
        }
        if (!m_mix || bytes / kFrameBytes <= size_t(stepFrames())) {
            renderAndWrite(stream, bytes / kFrameBytes, 0);
            return;
        }
        writeStep(true);
    }

    // The deep queue's refill of about a second is written a step at a time, one step for each
    // turn of the mainloop: the server takes each step while the next is mixed, rather than a
    // whole second in one burst (without shared memory more than a socket's usual buffer). A
    // step fills whole blocks of the library's: a few frames over would cost a packet more,
    // and each packet wakes the server.
    int stepFrames() const
    {
        const int block = m_blockFrames > 0 ? m_blockFrames : 8192;
        return std::max(m_granule, block / m_granule * m_granule);
    }

    // `first`: the refill's first step, the one counted as a refill.
    void writeStep(bool first)
    {
        if (!streamReady() || (m_mix && monotonicUsec() < m_settleUntil))
            return;
        const size_t writable = pa_stream_writable_size(m_stream);
        if (writable == size_t(-1) || writable / kFrameBytes == 0)
            return;
        const size_t frames = writable / kFrameBytes;
        const size_t step = size_t(stepFrames());
        if (!renderAndWrite(m_stream, std::min(frames, step), 0, first))
            return;
        if (frames > step)
            enableStep(true);
    }

    void enableStep(bool on)
    {
        if (m_stepEvent)
            pa_threaded_mainloop_get_api(m_loop)->defer_enable(m_stepEvent, on ? 1 : 0);
    }

    static void onStepEvent(pa_mainloop_api*, pa_defer_event*, void* userdata)
    {
        auto* self = static_cast<PulseSession*>(userdata);
        self->enableStep(false);
        self->writeStep(false);
    }

    // Mixes `frames` frames (rounded up to whole rewind points) and writes them, the first
    // after a relative seek of `seekFrames`; `counted` unless it continues a refill. False when
    // the stream is failing or closed.
    bool renderAndWrite(pa_stream* stream, size_t frames, std::int64_t seekFrames, bool counted = true)
    {
        flushDenormalsToZero();
        std::lock_guard gate(m_renderGate);
        if (!m_gateOpen)
            return false;
        frames = (frames + size_t(m_granule) - 1) / size_t(m_granule) * size_t(m_granule);
        std::int64_t seek = seekFrames * std::int64_t(kFrameBytes);
        if (frames > 0 && counted)
            m_refills.fetch_add(1, std::memory_order_relaxed);
        while (frames > 0) {
            // The mix goes straight into a block of the library's own size (tens of kilobytes):
            // no copy, and the fewest packets to the server, each of which wakes it.
            void* block = nullptr;
            size_t blockBytes = size_t(-1);
            std::int16_t* out = m_wire.data();
            size_t chunk = std::min<size_t>(frames, kChunkFrames);
            if (pa_stream_begin_write(stream, &block, &blockBytes) == 0 && block && blockBytes >= kFrameBytes) {
                out = static_cast<std::int16_t*>(block);
                m_blockFrames = int(std::min<size_t>(blockBytes / kFrameBytes, kBlockFrames));
                chunk = std::min<size_t>(frames, size_t(m_blockFrames));
            } else if (block) {
                pa_stream_cancel_write(stream);
            }
            m_priority.beforeWork();
            m_render(m_buffer.data(), int(chunk));
            toPcm16(m_buffer.data(), out, chunk * kChannels);
            if (pa_stream_write(stream, out, chunk * kFrameBytes, nullptr, seek, PA_SEEK_RELATIVE) < 0)
                return false; // the stream is failing; its state callback follows
            seek = 0;
            frames -= chunk;
        }
        return true;
    }

    pa_buffer_attr queueAttributes(bool fallback)
    {
        const pa_usec_t tlength = fallback ? kFallbackTlengthUsec : kDeepTlengthUsec;
        const pa_usec_t minreq = fallback ? kFallbackMinreqUsec : kDeepMinreqUsec;
        pa_buffer_attr attr;
        attr.maxlength = uint32_t(-1);
        attr.tlength = uint32_t(pa_usec_to_bytes(tlength, &m_spec));
        attr.prebuf = uint32_t(-1);
        attr.minreq = uint32_t(pa_usec_to_bytes(minreq, &m_spec));
        attr.fragsize = uint32_t(-1);
        m_queueUsec = tlength;
        return attr;
    }

    bool streamReady() const { return m_stream && pa_stream_get_state(m_stream) == PA_STREAM_READY; }

    static void onChangeEvent(pa_mainloop_api*, pa_io_event*, int fd, pa_io_event_flags_t, void* userdata)
    {
        std::uint64_t count;
        while (::read(fd, &count, sizeof count) < 0 && errno == EINTR) {
        }
        static_cast<PulseSession*>(userdata)->onChange();
    }

    void onChange()
    {
        if (!streamReady() || m_fellBack.load(std::memory_order_relaxed))
            return;
        if (m_timingPending) {
            m_changeAgain = true; // one rewrite at a time; the next follows this one
            return;
        }
        requestTiming(false);
    }

    void requestTiming(bool verify)
    {
        pa_operation* op = pa_stream_update_timing_info(m_stream, &PulseSession::onTiming, this);
        if (!op)
            return;
        pa_operation_unref(op);
        m_timingPending = true;
        m_verifyPending = verify;
        m_changeAgain = false;
    }

    static void onTiming(pa_stream* stream, int success, void* userdata)
    {
        auto* self = static_cast<PulseSession*>(userdata);
        if (stream == self->m_stream)
            self->timingArrived(success != 0);
    }

    void timingArrived(bool success)
    {
        const bool verify = m_verifyPending;
        m_timingPending = m_verifyPending = false;
        const pa_timing_info* timing = success && streamReady() ? pa_stream_get_timing_info(m_stream) : nullptr;
        if (timing && !timing->read_index_corrupt) {
            const std::int64_t frameBytes = std::int64_t(kFrameBytes);
            const std::int64_t read = std::int64_t(timing->read_index) / frameBytes;
            m_mix->setRewindFloor(m_streamBase + std::uint64_t(std::max<std::int64_t>(read, 0)));
            if (m_fellBack.load(std::memory_order_relaxed)) {
                if (!timing->write_index_corrupt)
                    writeUpTo(kFallbackTlengthUsec, std::int64_t(timing->write_index) / frameBytes - read);
            } else if (verify) {
                const std::int64_t slack = std::int64_t(pa_usec_to_bytes(kLateSlackUsec, &m_spec)) / frameBytes;
                const std::int64_t write = timing->write_index_corrupt ? m_checkWrite
                                                                       : std::int64_t(timing->write_index) / frameBytes;
                const auto verdict = RewriteCheck::judge(m_checkPoint, m_checkWrite, read, write, slack);
                if (verdict == RewriteCheck::Verdict::Late)
                    m_lateRewrites.fetch_add(1, std::memory_order_relaxed);
                if (m_check.record(verdict))
                    fallBack();
            } else {
                rewrite(*timing, read);
            }
        }
        if (m_changeAgain && streamReady() && !m_fellBack.load(std::memory_order_relaxed))
            requestTiming(false);
    }

    // Replaces the queue from just past where the server reads.
    void rewrite(const pa_timing_info& timing, std::int64_t read)
    {
        const std::uint64_t end = m_mix->mixedFrames();
        const pa_usec_t since = pa_timeval_age(&timing.timestamp);
        const std::int64_t ahead = std::int64_t(pa_usec_to_bytes(since + kRewriteMarginUsec, &m_spec) / kFrameBytes);
        std::uint64_t point = m_streamBase + std::uint64_t(std::max<std::int64_t>(read + ahead, 0));
        point = (point + std::uint64_t(m_granule) - 1) / std::uint64_t(m_granule) * std::uint64_t(m_granule);
        point = std::max(point, m_mix->oldestRewind());
        if (point >= end)
            return; // nothing queued past it: the next refill mixes the change
        {
            std::lock_guard gate(m_renderGate);
            if (!m_gateOpen || !m_mix->rewindTo(point))
                return;
        }
        m_staleUntil = std::max(m_staleUntil, end);
        const std::uint64_t stretch = pa_usec_to_bytes(kRewriteUsec, &m_spec) / kFrameBytes;
        const std::uint64_t frames = std::min<std::uint64_t>(stretch, m_staleUntil - point);
        if (!renderAndWrite(m_stream, size_t(frames), -std::int64_t(end - point)))
            return;
        m_lastRewriteFrame.store(point, std::memory_order_relaxed);
        m_rewrites.fetch_add(1, std::memory_order_release);
        m_settleUntil = monotonicUsec() + kSettleUsec;
        armTopUp(kSettleUsec);
        m_checkPoint = std::int64_t(point - m_streamBase);
        m_checkWrite = std::int64_t(m_mix->mixedFrames() - m_streamBase);
        if (!m_changeAgain)
            requestTiming(true);
    }

    void armTopUp(pa_usec_t delay)
    {
        itimerspec timer{};
        timer.it_value.tv_sec = time_t(delay / PA_USEC_PER_SEC);
        timer.it_value.tv_nsec = long(delay % PA_USEC_PER_SEC) * 1000 + 1;
        ::timerfd_settime(m_topUpFd, 0, &timer, nullptr);
    }

    static void onTopUpEvent(pa_mainloop_api*, pa_io_event*, int fd, pa_io_event_flags_t, void* userdata)
    {
        std::uint64_t expirations;
        while (::read(fd, &expirations, sizeof expirations) < 0 && errno == EINTR) {
        }
        static_cast<PulseSession*>(userdata)->topUp();
    }

    // Fills the queue again after rewrites: at least over what is left of the old queue, and as
    // much as the server asks for.
    void topUp()
    {
        const pa_usec_t now = monotonicUsec();
        if (now < m_settleUntil) {
            armTopUp(m_settleUntil - now);
            return;
        }
        if (!streamReady() || m_fellBack.load(std::memory_order_relaxed))
            return;
        const std::uint64_t mixed = m_mix->mixedFrames();
        const size_t stale = m_staleUntil > mixed ? size_t(m_staleUntil - mixed) : 0;
        const size_t writable = pa_stream_writable_size(m_stream);
        const size_t asked = writable == size_t(-1) ? 0 : writable / kFrameBytes;
        renderAndWrite(m_stream, std::max(stale, asked), 0);
    }

    // The server does not honour rewrites: a short queue on the same stream from now on.
    void fallBack()
    {
        if (m_fellBack.exchange(true, std::memory_order_relaxed))
            return;
        m_settleUntil = 0;
        // The server kept the old queue whole and appended the rewrite to it: nothing of it is
        // to be written again, only what the server asks for from now on.
        m_staleUntil = m_mix->mixedFrames();
        if (!streamReady())
            return;
        const pa_buffer_attr attr = queueAttributes(true);
        if (pa_operation* op = pa_stream_set_buffer_attr(m_stream, &attr, nullptr, nullptr))
            pa_operation_unref(op);
        fillShortQueue();
    }

    // After falling back the server's own count of what it misses includes the rewrites it
    // appended instead of placing, so it asks for far more than the short queue: what is
    // written is measured against its read and write indices instead.
    void fillShortQueue()
    {
        if (streamReady() && !m_timingPending)
            requestTiming(false);
    }

    // Writes what brings the queue (now `queued` frames) up to `target`.
    void writeUpTo(pa_usec_t target, std::int64_t queued)
    {
        const std::int64_t wanted = std::int64_t(pa_usec_to_bytes(target, &m_spec) / kFrameBytes) - queued;
        if (wanted > 0)
            renderAndWrite(m_stream, size_t(wanted), 0);
    }

    void dropStream()
    {
        m_streaming = false;
        enableStep(false);
        if (m_topUpFd >= 0) {
            itimerspec off{};
            ::timerfd_settime(m_topUpFd, 0, &off, nullptr);
        }
        if (!m_stream)
            return;
        pa_stream_set_state_callback(m_stream, nullptr, nullptr);
        pa_stream_set_write_callback(m_stream, nullptr, nullptr);
        if (PA_STREAM_IS_GOOD(pa_stream_get_state(m_stream)))
            pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }

    void dropConnection()
    {
        dropStream();
        if (!m_context)
            return;
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }

    std::mutex m_renderGate;
    bool m_gateOpen = true;
    RenderFunction m_render;
    RewindableMix* const m_mix; // deep queue with rewrites when set
    int m_granule = 1;          // frames are written in whole multiples of this
    int m_blockFrames = 0;      // frames in a block the library lends (0: not seen yet)

    const std::string m_device;
    pa_sample_spec m_spec{};
    pa_usec_t m_bufferUsec = 0;
    std::vector<float> m_buffer;       // the mix of one block
    std::vector<std::int16_t> m_wire;  // what is written when the library lends no block
    RealtimeThread m_priority;         // the mainloop thread's scheduling

    pa_threaded_mainloop* m_loop = nullptr;
    bool m_started = false;
    int m_timerFd = -1;
    pa_io_event* m_timerEvent = nullptr;
    // The rest is touched only on the mainloop's thread (or before it starts).
    TimerPurpose m_timerPurpose = TimerPurpose::Connect;
    int m_failedAttempts = 0;
    bool m_useDevice = false;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;

    // The deep queue's state (this thread only, but for the counters).
    int m_changeFd = -1;
    int m_topUpFd = -1;
    pa_io_event* m_changeEvent = nullptr;
    pa_io_event* m_topUpEvent = nullptr;
    pa_defer_event* m_stepEvent = nullptr; // the refill's next step
    std::uint64_t m_streamBase = 0;  // the mix's frame at the stream's index 0
    std::uint64_t m_staleUntil = 0;  // the old queue, from before the last rewrite, ends here
    pa_usec_t m_settleUntil = 0;     // monotonic: requests wait for the top-up until then
    bool m_timingPending = false;
    bool m_verifyPending = false;
    bool m_changeAgain = false;
    std::int64_t m_checkPoint = 0;   // the last rewrite's first frame and where it left the
    std::int64_t m_checkWrite = 0;   // write index, in frames of the stream
    RewriteCheck m_check;
    std::atomic<bool> m_streaming{false};
    std::atomic<bool> m_fellBack{false};
    std::atomic<bool> m_realtime{false};
    std::atomic<pa_usec_t> m_queueUsec{0};
    std::atomic<std::uint64_t> m_rewrites{0};
    std::atomic<std::uint64_t> m_lateRewrites{0};
    std::atomic<std::uint64_t> m_refills{0};
    std::atomic<std::uint64_t> m_lastRewriteFrame{0};
};

class PulseOutput final : public Output {
public:
    ~PulseOutput() override { stop(); }

    bool start(const OutputConfig& config, RenderFunction render) override
    {
        stop();
        if (!render)
            return false;
        auto session = std::make_shared<PulseSession>(config, std::move(render));
        if (!session->launch()) {
            session->shutdown();
            return false;
        }
        m_session = std::move(session);
        return true;
    }

    void stop() override
    {
        if (!m_session)
            return;
        std::shared_ptr<PulseSession> session = std::move(m_session);
        RenderFunction render = session->closeGate();
        // The teardown only closes sockets and joins the mainloop's thread, which never waits
        // on the server; the limit is for a libpulse that is stuck all the same.
        auto done = std::make_shared<std::promise<void>>();
        std::future<void> finished = done->get_future();
        try {
            std::thread teardown([session, done] {
                session->shutdown();
                done->set_value();
            });
            if (finished.wait_for(kTeardownLimit) == std::future_status::ready)
                teardown.join();
            else
                teardown.detach();
        } catch (const std::system_error&) { // no thread to spare: tear down here
            session->shutdown();
        }
    }

    void mixChanged() override
    {
        if (m_session)
            m_session->mixChanged();
    }

    OutputStatus status() const override { return m_session ? m_session->status() : OutputStatus{}; }

private:
    std::shared_ptr<PulseSession> m_session;
};

} // namespace

std::unique_ptr<Output> makePulseOutput()
{
    return std::make_unique<PulseOutput>();
}

} // namespace sonaveil::audio
