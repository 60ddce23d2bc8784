#include "player/tinnitus/sleepfade.h"


#include <algorithm>
#include <cmath>
#include <cstdio>

namespace sonaveil::player {

double FadeOut::curve(double u)
{
    if (u <= 0.0)
        return 1.0;
    if (u >= 1.0)
        return 0.0;
    const double c = 0.5 * (1.0 + std::cos(3.141592653589793 * u));
    return c * c;
}

double FadeOut::gainAt(std::int64_t nowMs, std::int64_t endMs, std::int64_t durationMs)
{
    if (nowMs >= endMs)
        return 0.0;
    if (durationMs <= 0)
        return 1.0;
    return curve(1.0 - double(endMs - nowMs) / double(durationMs));
}

void SleepTimer::start(std::int64_t nowMs, int minutes)
{
    m_end = nowMs + std::int64_t(std::max(minutes, 0)) * 60'000;
    m_cancelledAt = 0;
    m_gainAtCancel = 1.0;
}

void SleepTimer::cancel(std::int64_t nowMs)
{
    if (!m_end)
        return;
    m_gainAtCancel = gain(nowMs);
    m_cancelledAt = nowMs;
    m_end.reset();
}

void SleepTimer::finish()
{
    m_end.reset();
    m_cancelledAt = 0;
    m_gainAtCancel = 1.0;
}

double SleepTimer::gain(std::int64_t nowMs) const
{
    if (m_end)
        return FadeOut::gainAt(nowMs, *m_end, std::int64_t(kFadeMinutes) * 60'000);
    if (m_gainAtCancel < 1.0 && nowMs >= m_cancelledAt) {
        // Back up along the same curve, run backwards over two seconds.
        const double u = double(nowMs - m_cancelledAt) / double(kRecoverMs);
        if (u >= 1.0)
            return 1.0;
        return m_gainAtCancel + (1.0 - m_gainAtCancel) * (1.0 - FadeOut::curve(u));
    }
    return 1.0;
}

bool SleepTimer::fading(std::int64_t nowMs) const
{
    return gain(nowMs) < 1.0 || (m_end && nowMs >= *m_end - std::int64_t(kFadeMinutes) * 60'000);
}

std::string clockLine(const ClockTime& now, const std::optional<ClockTime>& sleepAt)
{
    char text[40];
    if (sleepAt)
        std::snprintf(text, sizeof text, "Time:%02d:%02d:%02d S%02d:%02d", now.hour, now.minute,
                      now.second, sleepAt->hour, sleepAt->minute);
    else
        std::snprintf(text, sizeof text, "Time:%02d:%02d:%02d", now.hour, now.minute, now.second);
    return text;
}

FadingBinding::FadingBinding(AudioBinding& inner)
    : m_inner(inner)
{
}

void FadingBinding::setFade(double gain, int rampMs)
{
    gain = std::clamp(std::isfinite(gain) ? gain : 1.0, 0.0, 1.0);
    if (gain == m_fade)
        return;
    m_fade = gain;
    for (audio::ChannelHandle channel : m_playing)
        m_inner.setFade(channel, float(gain), rampMs);
}

audio::SampleHandle FadingBinding::loadSample(const std::string& path)
{
    return m_inner.loadSample(path);
}

std::vector<audio::SampleHandle> FadingBinding::loadSamples(const std::vector<std::string>& paths)
{
    return m_inner.loadSamples(paths);
}

audio::ChannelHandle FadingBinding::playSound(audio::SampleHandle sample)
{
    return started(m_inner.playSound(sample));
}

audio::ChannelHandle FadingBinding::playGenerator(std::unique_ptr<audio::Generator> generator)
{
    return started(m_inner.playGenerator(std::move(generator)));
}

audio::ChannelHandle FadingBinding::playFile(const std::string& path)
{
    const audio::ChannelHandle channel = m_inner.playFile(path);
    return channel > 0 ? started(channel) : channel;
}

audio::ChannelHandle FadingBinding::started(audio::ChannelHandle channel)
{
    if (channel > 0) {
        m_playing.insert(channel);
        if (m_fade < 1.0)
            m_inner.setFade(channel, float(m_fade), 0);
    }
    return channel;
}

void FadingBinding::setVolume(audio::ChannelHandle channel, int volume)
{
    m_inner.setVolume(channel, volume);
}

void FadingBinding::setFrequency(audio::ChannelHandle channel, int hertz)
{
    m_inner.setFrequency(channel, hertz);
}

void FadingBinding::setPan(audio::ChannelHandle channel, int pan)
{
    m_inner.setPan(channel, pan);
}

void FadingBinding::setLoopMode(audio::ChannelHandle channel, int mode)
{
    m_inner.setLoopMode(channel, mode);
}

void FadingBinding::stopSound(audio::ChannelHandle channel)
{
    m_playing.erase(channel);
    m_inner.stopSound(channel);
}

void FadingBinding::setFade(audio::ChannelHandle channel, float gain, int milliseconds)
{
    m_inner.setFade(channel, gain, milliseconds);
}

} // namespace sonaveil::player
