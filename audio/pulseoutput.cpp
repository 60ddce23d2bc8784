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

#include "audio/output.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
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
#include <sys/timerfd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#endif

namespace sonaveil::audio {

namespace {

constexpr int kChannels = 2;
constexpr size_t kFrameBytes = kChannels * sizeof(float);
constexpr int kChunkFrames = 4096; // render is asked for at most this many frames at a time
constexpr pa_usec_t kConnectLimit = 5 * PA_USEC_PER_SEC;
constexpr auto kTeardownLimit = std::chrono::seconds(2);

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
        : m_render(std::move(render)), m_device(config.device), m_buffer(kChunkFrames * kChannels)
    {
        m_spec.format = PA_SAMPLE_FLOAT32NE;
        m_spec.rate = static_cast<uint32_t>(std::clamp(config.mixRate, 8000, 192000));
        m_spec.channels = kChannels;
        m_bufferUsec = pa_usec_t(std::clamp(config.bufferMilliseconds, 10, 2000)) * PA_USEC_PER_MSEC;
    }

    ~PulseSession()
    {
        if (m_loop)
            pa_threaded_mainloop_free(m_loop);
        if (m_timerFd >= 0)
            ::close(m_timerFd);
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
        if (m_timerEvent) {
            pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_loop);
            api->io_free(m_timerEvent);
            m_timerEvent = nullptr;
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
        const char* device = m_useDevice ? m_device.c_str() : nullptr;
        if (pa_stream_connect_playback(m_stream, device, &attr, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) < 0) {
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
            break;
        case PA_STREAM_FAILED:
        case PA_STREAM_TERMINATED:
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
        flushDenormalsToZero();
        std::lock_guard gate(m_renderGate);
        if (!m_gateOpen)
            return;
        size_t frames = bytes / kFrameBytes;
        while (frames > 0) {
            const size_t chunk = std::min<size_t>(frames, kChunkFrames);
            m_render(m_buffer.data(), int(chunk));
            if (pa_stream_write(stream, m_buffer.data(), chunk * kFrameBytes, nullptr, 0, PA_SEEK_RELATIVE) < 0)
                return; // the stream is failing; its state callback follows
            frames -= chunk;
        }
    }

    void dropStream()
    {
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

    const std::string m_device;
    pa_sample_spec m_spec{};
    pa_usec_t m_bufferUsec = 0;
    std::vector<float> m_buffer;

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

private:
    std::shared_ptr<PulseSession> m_session;
};

} // namespace

std::unique_ptr<Output> makePulseOutput()
{
    return std::make_unique<PulseOutput>();
}

} // namespace sonaveil::audio
