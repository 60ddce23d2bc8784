#include "monitorrecorder.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <thread>

MonitorRecorder::MonitorRecorder(std::string source, int rate)
    : m_source(std::move(source)), m_rate(rate)
{
}

MonitorRecorder::~MonitorRecorder()
{
    stop();
}

bool MonitorRecorder::start()
{
    m_loop = pa_threaded_mainloop_new();
    if (!m_loop)
        return false;
    pa_threaded_mainloop_lock(m_loop);
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "test monitor");
    pa_context_set_state_callback(m_context, &MonitorRecorder::onContextState, this);
    pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr);
    pa_threaded_mainloop_unlock(m_loop);
    pa_threaded_mainloop_start(m_loop);
    const auto deadline = Clock::now() + std::chrono::seconds(3);
    while (Clock::now() < deadline) {
        {
            std::lock_guard lock(m_mutex);
            if (m_failed)
                return false;
            if (!m_arrivals.empty())
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

void MonitorRecorder::stop()
{
    if (!m_loop)
        return;
    pa_threaded_mainloop_lock(m_loop);
    if (m_stream) {
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    if (m_context) {
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    pa_threaded_mainloop_unlock(m_loop);
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
    m_loop = nullptr;
}

void MonitorRecorder::onContextState(pa_context* context, void* userdata)
{
    auto* self = static_cast<MonitorRecorder*>(userdata);
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED) {
        std::lock_guard lock(self->m_mutex);
        self->m_failed = true;
        return;
    }
    if (state != PA_CONTEXT_READY)
        return;
    pa_sample_spec format{PA_SAMPLE_FLOAT32NE, uint32_t(self->m_rate), 2};
    self->m_stream = pa_stream_new(context, "test monitor", &format, nullptr);
    pa_stream_set_read_callback(self->m_stream, &MonitorRecorder::onRead, self);
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.fragsize = uint32_t(pa_usec_to_bytes(5 * PA_USEC_PER_MSEC, &format));
    attr.tlength = attr.prebuf = attr.minreq = uint32_t(-1);
    if (pa_stream_connect_record(self->m_stream, self->m_source.c_str(), &attr, PA_STREAM_ADJUST_LATENCY) < 0) {
        std::lock_guard lock(self->m_mutex);
        self->m_failed = true;
    }
}

void MonitorRecorder::onRead(pa_stream* stream, std::size_t, void* userdata)
{
    auto* self = static_cast<MonitorRecorder*>(userdata);
    const auto now = Clock::now();
    const void* data = nullptr;
    std::size_t bytes = 0;
    std::lock_guard lock(self->m_mutex);
    while (pa_stream_readable_size(stream) > 0 && pa_stream_peek(stream, &data, &bytes) == 0 && bytes > 0) {
        const std::size_t count = bytes / sizeof(float);
        if (data) {
            const auto* f = static_cast<const float*>(data);
            self->m_samples.insert(self->m_samples.end(), f, f + count);
        } else {
            self->m_samples.insert(self->m_samples.end(), count, 0.0f);
        }
        pa_stream_drop(stream);
    }
    self->m_arrivals.emplace_back(self->m_samples.size() / 2, now);
}

bool MonitorRecorder::waitForFrames(std::size_t frames, std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    while (this->frames() < frames) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::vector<float> MonitorRecorder::samples() const
{
    std::lock_guard lock(m_mutex);
    return m_samples;
}

std::size_t MonitorRecorder::frames() const
{
    std::lock_guard lock(m_mutex);
    return m_samples.size() / 2;
}

MonitorRecorder::Clock::time_point MonitorRecorder::arrivalOf(std::size_t frame) const
{
    std::lock_guard lock(m_mutex);
    const auto it = std::upper_bound(m_arrivals.begin(), m_arrivals.end(), frame,
                                     [](std::size_t f, const auto& a) { return f < a.first; });
    return it == m_arrivals.end() ? Clock::time_point::max() : it->second;
}
