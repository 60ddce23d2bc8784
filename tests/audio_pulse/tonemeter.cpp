#include "tonemeter.h"

#include <fftw3.h>
#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>

namespace {

struct Recording {
    std::string source;
    pa_sample_spec format{};
    size_t wanted = 0;
    std::vector<float> samples;
    pa_stream* stream = nullptr;
    bool failed = false;
};

void onRead(pa_stream* stream, size_t, void* userdata)
{
    auto* r = static_cast<Recording*>(userdata);
    const void* data = nullptr;
    size_t bytes = 0;
    while (pa_stream_readable_size(stream) > 0 && pa_stream_peek(stream, &data, &bytes) == 0 && bytes > 0) {
        const size_t count = bytes / sizeof(float);
        if (data) {
            const auto* f = static_cast<const float*>(data);
            r->samples.insert(r->samples.end(), f, f + count);
        } else {
            r->samples.insert(r->samples.end(), count, 0.0f); // a hole in the recording
        }
        pa_stream_drop(stream);
    }
}

void onContextState(pa_context* context, void* userdata)
{
    auto* r = static_cast<Recording*>(userdata);
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED) {
        r->failed = true;
        return;
    }
    if (state != PA_CONTEXT_READY)
        return;
    r->stream = pa_stream_new(context, "test recording", &r->format, nullptr);
    if (!r->stream) {
        r->failed = true;
        return;
    }
    pa_stream_set_read_callback(r->stream, &onRead, r);
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.fragsize = uint32_t(pa_usec_to_bytes(10 * PA_USEC_PER_MSEC, &r->format));
    attr.tlength = attr.prebuf = attr.minreq = uint32_t(-1);
    if (pa_stream_connect_record(r->stream, r->source.c_str(), &attr, PA_STREAM_ADJUST_LATENCY) < 0)
        r->failed = true;
}

} // namespace

std::vector<float> recordSource(const std::string& source, int frames, int rate, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    Recording r;
    r.source = source;
    r.format = {PA_SAMPLE_FLOAT32NE, uint32_t(rate), 1};
    r.wanted = size_t(frames);

    pa_mainloop* loop = pa_mainloop_new();
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "test recorder");
    pa_context_set_state_callback(context, &onContextState, &r);
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        r.failed = true;
    while (!r.failed && r.samples.size() < r.wanted) {
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()).count();
        if (left <= 0 || pa_mainloop_prepare(loop, int(left)) < 0 || pa_mainloop_poll(loop) < 0
            || pa_mainloop_dispatch(loop) < 0)
            break;
    }
    if (r.stream) {
        pa_stream_set_read_callback(r.stream, nullptr, nullptr);
        pa_stream_disconnect(r.stream);
        pa_stream_unref(r.stream);
    }
    pa_context_set_state_callback(context, nullptr, nullptr);
    pa_context_disconnect(context);
    pa_context_unref(context);
    pa_mainloop_free(loop);
    r.samples.resize(std::min(r.samples.size(), r.wanted));
    return r.samples;
}

ToneMeasurement measureTone(const std::vector<float>& samples, int rate)
{
    ToneMeasurement m;
    if (samples.size() < 64)
        return m;
    double energy = 0;
    for (float s : samples)
        energy += double(s) * s;
    m.rms = std::sqrt(energy / double(samples.size()));

    size_t n = 1;
    while (n * 2 <= samples.size())
        n *= 2;
    const float* tail = samples.data() + (samples.size() - n);
    float* in = fftwf_alloc_real(n);
    fftwf_complex* out = fftwf_alloc_complex(n / 2 + 1);
    fftwf_plan plan = fftwf_plan_dft_r2c_1d(int(n), in, out, FFTW_ESTIMATE);
    for (size_t i = 0; i < n; ++i)
        in[i] = tail[i] * float(0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(i) / double(n)));
    fftwf_execute(plan);

    std::vector<double> power(n / 2 + 1);
    for (size_t k = 0; k < power.size(); ++k)
        power[k] = double(out[k][0]) * out[k][0] + double(out[k][1]) * out[k][1];
    fftwf_destroy_plan(plan);
    fftwf_free(in);
    fftwf_free(out);

    // Bins 0 and 1 hold DC and the window's leakage of it.
    const size_t peak = size_t(std::max_element(power.begin() + 2, power.end() - 1) - power.begin());
    const double a = std::log(power[peak - 1] + 1e-30), b = std::log(power[peak] + 1e-30),
                 c = std::log(power[peak + 1] + 1e-30);
    const double denominator = a - 2 * b + c;
    const double offset = denominator != 0 ? 0.5 * (a - c) / denominator : 0;
    m.peakHz = (double(peak) + offset) * rate / double(n);

    double total = 0, near = 0;
    for (size_t k = 2; k < power.size(); ++k) {
        total += power[k];
        if (k + 4 >= peak && k <= peak + 4)
            near += power[k];
    }
    m.purity = total > 0 ? near / total : 0;
    return m;
}
