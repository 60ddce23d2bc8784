#include "platform/systemvolume.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <mutex>
#include <string>

namespace sonaveil::platform {
namespace {

// How long to wait before trying a lost or absent server again: soon at first, then less and
// less often while it stays away.
constexpr pa_usec_t kFirstRetryUs = 300 * PA_USEC_PER_MSEC;
constexpr pa_usec_t kLongestRetryUs = 3000 * PA_USEC_PER_MSEC;

// Talks to the server on a libpulse thread of its own. That thread keeps a copy of the default
// sink's volume and mute up to date from the server's change events and tells the listener when
// the copy changed; the interface thread reads the copy under a short lock of its own and never
// waits for the server.
class PulseSystemVolume final : public SystemVolume {
public:
    ~PulseSystemVolume() override { close(); }

    bool open() override
    {
        if (m_loop)
            return true;
        m_loop = pa_threaded_mainloop_new();
        if (!m_loop)
            return false;
        pa_threaded_mainloop_lock(m_loop);
        if (pa_threaded_mainloop_start(m_loop) < 0) {
            pa_threaded_mainloop_unlock(m_loop);
            pa_threaded_mainloop_free(m_loop);
            m_loop = nullptr;
            return false;
        }
        connect();
        pa_threaded_mainloop_unlock(m_loop);
        return true;
    }

    bool isOpen() const override { return m_loop != nullptr; }

    void close() override
    {
        if (!m_loop)
            return;
        pa_threaded_mainloop_lock(m_loop);
        m_closing = true;
        if (m_retry) {
            api()->time_free(m_retry);
            m_retry = nullptr;
        }
        dropContext();
        pa_threaded_mainloop_unlock(m_loop);
        pa_threaded_mainloop_stop(m_loop);
        pa_threaded_mainloop_free(m_loop);
        m_loop = nullptr;
        m_closing = false;
        forget();
    }

    bool announcesChanges() const override { return true; }

    void setChangeListener(std::function<void()> listener) override
    {
        std::lock_guard lock(m_listenerMutex);
        m_listener = std::move(listener);
    }

    std::optional<VolumeLevel> volume() const override
    {
        std::lock_guard lock(m_mutex);
        if (!m_known)
            return std::nullopt;
        return VolumeLevel{m_volume, PA_VOLUME_NORM};
    }

    std::optional<bool> mute() const override
    {
        std::lock_guard lock(m_mutex);
        if (!m_known)
            return std::nullopt;
        return m_mute;
    }

    void setVolume(unsigned volume) override
    {
        if (!m_loop)
            return;
        if (volume > PA_VOLUME_NORM)
            volume = PA_VOLUME_NORM;
        pa_threaded_mainloop_lock(m_loop);
        pa_cvolume channels{};
        std::uint32_t sink = PA_INVALID_INDEX;
        {
            std::lock_guard lock(m_mutex);
            if (m_known) {
                channels = m_channels;
                sink = m_sink;
                // Answer reads with the new level at once, so that a poll before the server's
                // confirmation does not show the old one for a moment.
                m_volume = volume;
            }
        }
        if (sink != PA_INVALID_INDEX && ready()) {
            // Scaling keeps the balance between the channels.
            if (pa_cvolume_max(&channels) == PA_VOLUME_MUTED || !pa_cvolume_valid(&channels))
                pa_cvolume_set(&channels, channels.channels ? channels.channels : 2, volume);
            else
                pa_cvolume_scale(&channels, volume);
            if (pa_operation* op = pa_context_set_sink_volume_by_index(m_context, sink, &channels, nullptr, nullptr))
                pa_operation_unref(op);
        }
        pa_threaded_mainloop_unlock(m_loop);
    }

    void setMute(bool mute) override
    {
        if (!m_loop)
            return;
        pa_threaded_mainloop_lock(m_loop);
        std::uint32_t sink = PA_INVALID_INDEX;
        {
            std::lock_guard lock(m_mutex);
            if (m_known) {
                sink = m_sink;
                m_mute = mute;
            }
        }
        if (sink != PA_INVALID_INDEX && ready()) {
            if (pa_operation* op = pa_context_set_sink_mute_by_index(m_context, sink, mute ? 1 : 0, nullptr, nullptr))
                pa_operation_unref(op);
        }
        pa_threaded_mainloop_unlock(m_loop);
    }

private:
    // Everything below runs on the libpulse thread or with its lock held.

    pa_mainloop_api* api() const { return pa_threaded_mainloop_get_api(m_loop); }
    bool ready() const { return m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY; }

    void forget()
    {
        bool wasKnown = false;
        {
            std::lock_guard lock(m_mutex);
            wasKnown = m_known;
            m_known = false;
            m_sink = PA_INVALID_INDEX;
        }
        if (wasKnown)
            announce();
    }

    // Held while the listener runs, so that replacing it waits for a call in progress.
    void announce()
    {
        std::lock_guard lock(m_listenerMutex);
        if (m_listener)
            m_listener();
    }

    void connect()
    {
        m_context = pa_context_new(api(), "Sonaveil");
        if (!m_context) {
            scheduleRetry();
            return;
        }
        pa_context_set_state_callback(m_context, &PulseSystemVolume::onState, this);
        if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            dropContext();
            scheduleRetry();
        }
    }

    void dropContext()
    {
        if (!m_context)
            return;
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }

    void scheduleRetry()
    {
        if (m_closing || m_retry)
            return;
        timeval tv{};
        pa_gettimeofday(&tv);
        pa_timeval_add(&tv, m_retryDelay);
        m_retryDelay = std::min(m_retryDelay * 2, kLongestRetryUs);
        m_retry = api()->time_new(api(), &tv, &PulseSystemVolume::onRetry, this);
    }

    static void onRetry(pa_mainloop_api* a, pa_time_event* e, const timeval*, void* self)
    {
        auto* me = static_cast<PulseSystemVolume*>(self);
        a->time_free(e);
        me->m_retry = nullptr;
        me->dropContext();
        me->connect();
    }

    static void onState(pa_context* c, void* self)
    {
        auto* me = static_cast<PulseSystemVolume*>(self);
        switch (pa_context_get_state(c)) {
        case PA_CONTEXT_READY:
            me->m_retryDelay = kFirstRetryUs;
            pa_context_set_subscribe_callback(c, &PulseSystemVolume::onEvent, me);
            if (pa_operation* op = pa_context_subscribe(
                    c, pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SERVER), nullptr, nullptr))
                pa_operation_unref(op);
            me->refresh();
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            // The context cannot be reused; a new one is made after the delay.
            me->forget();
            me->scheduleRetry();
            break;
        default:
            break;
        }
    }

    static void onEvent(pa_context*, pa_subscription_event_type_t, std::uint32_t, void* self)
    {
        static_cast<PulseSystemVolume*>(self)->refresh();
    }

    // Asks which sink is the default one, then for that sink's volume and mute.
    void refresh()
    {
        if (!ready())
            return;
        if (pa_operation* op = pa_context_get_server_info(m_context, &PulseSystemVolume::onServerInfo, this))
            pa_operation_unref(op);
    }

    static void onServerInfo(pa_context* c, const pa_server_info* info, void* self)
    {
        auto* me = static_cast<PulseSystemVolume*>(self);
        if (!info || !info->default_sink_name || !*info->default_sink_name) {
            me->forget();
            return;
        }
        if (pa_operation* op = pa_context_get_sink_info_by_name(c, info->default_sink_name, &PulseSystemVolume::onSinkInfo, me))
            pa_operation_unref(op);
    }

    static void onSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* self)
    {
        auto* me = static_cast<PulseSystemVolume*>(self);
        if (eol < 0) {
            me->forget(); // the default sink is gone
            return;
        }
        if (eol > 0 || !info)
            return;
        const pa_volume_t highest = pa_cvolume_max(&info->volume);
        const unsigned level = highest > PA_VOLUME_NORM ? PA_VOLUME_NORM : highest;
        const bool mute = info->mute != 0;
        bool changed = false;
        {
            std::lock_guard lock(me->m_mutex);
            // Events for other sinks and for the sink's state come far more often than volume
            // changes: only a change of what the reader sees is announced.
            changed = !me->m_known || me->m_volume != level || me->m_mute != mute;
            me->m_known = true;
            me->m_sink = info->index;
            me->m_channels = info->volume;
            me->m_volume = level;
            me->m_mute = mute;
        }
        if (changed)
            me->announce();
    }

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_time_event* m_retry = nullptr;
    pa_usec_t m_retryDelay = kFirstRetryUs;
    bool m_closing = false;

    // The copy the interface thread reads.
    mutable std::mutex m_mutex;
    bool m_known = false;
    std::uint32_t m_sink = PA_INVALID_INDEX;
    pa_cvolume m_channels{};
    unsigned m_volume = 0;
    bool m_mute = false;

    std::mutex m_listenerMutex;
    std::function<void()> m_listener;
};

} // namespace

std::unique_ptr<SystemVolume> createPulseSystemVolume()
{
    return std::make_unique<PulseSystemVolume>();
}

} // namespace sonaveil::platform
