// The list of PulseAudio sinks, asked on the caller's thread with a mainloop of its own that is
// never allowed to wait past the caller's deadline.

#include "audio/output.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>

namespace sonaveil::audio {

namespace {

struct SinkQuery {
    bool failed = false;
    bool haveServerInfo = false;
    bool haveSinks = false;
    std::string defaultSink;
    std::vector<OutputDevice> sinks;

    bool done() const { return failed || (haveServerInfo && haveSinks); }
};

void onServerInfo(pa_context*, const pa_server_info* info, void* userdata)
{
    auto* query = static_cast<SinkQuery*>(userdata);
    if (info && info->default_sink_name)
        query->defaultSink = info->default_sink_name;
    query->haveServerInfo = true;
}

void onSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* userdata)
{
    auto* query = static_cast<SinkQuery*>(userdata);
    if (eol < 0) {
        query->failed = true;
        return;
    }
    if (eol > 0) {
        query->haveSinks = true;
        return;
    }
    if (info && info->name) {
        const char* description = info->description && *info->description ? info->description : info->name;
        query->sinks.push_back({info->name, description});
    }
}

void onContextState(pa_context* context, void* userdata)
{
    auto* query = static_cast<SinkQuery*>(userdata);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        if (pa_operation* op = pa_context_get_server_info(context, &onServerInfo, query))
            pa_operation_unref(op);
        else
            query->failed = true;
        if (pa_operation* op = pa_context_get_sink_info_list(context, &onSinkInfo, query))
            pa_operation_unref(op);
        else
            query->failed = true;
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        query->failed = true;
        break;
    default:
        break;
    }
}

} // namespace

std::vector<OutputDevice> listPulseSinks(int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));

    pa_mainloop* loop = pa_mainloop_new();
    if (!loop)
        return {};
    SinkQuery query;
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "Sonaveil");
    if (context) {
        pa_context_set_state_callback(context, &onContextState, &query);
        if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            query.failed = true;
        while (!query.done()) {
            const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                break;
            // prepare() caps the poll at the time left, so a silent server cannot hold us.
            const int usec = int(std::min<std::chrono::microseconds::rep>(left.count(), 1'000'000'000));
            if (pa_mainloop_prepare(loop, usec) < 0 || pa_mainloop_poll(loop) < 0
                || pa_mainloop_dispatch(loop) < 0)
                break;
        }
        pa_context_set_state_callback(context, nullptr, nullptr);
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
    pa_mainloop_free(loop);

    if (query.failed || !query.haveServerInfo || !query.haveSinks)
        return {};
    // The default sink first, the others in the server's order.
    std::stable_partition(query.sinks.begin(), query.sinks.end(),
        [&](const OutputDevice& sink) { return sink.name == query.defaultSink; });
    return std::move(query.sinks);
}

} // namespace sonaveil::audio
