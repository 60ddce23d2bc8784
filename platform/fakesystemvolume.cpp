#include "platform/fakesystemvolume.h"

namespace sonaveil::platform {

bool FakeSystemVolume::open()
{
    if (!canOpen)
        return false;
    ++openCount;
    m_open = true;
    return true;
}

std::optional<VolumeLevel> FakeSystemVolume::volume() const
{
    ++volumeReads;
    if (!m_open || !available)
        return std::nullopt;
    return VolumeLevel{level, maximum};
}

std::optional<bool> FakeSystemVolume::mute() const
{
    if (!m_open || !available)
        return std::nullopt;
    return muted;
}

void FakeSystemVolume::setVolume(unsigned volume)
{
    if (!m_open || !available)
        return;
    ++volumeWrites;
    level = volume > maximum ? maximum : volume;
}

void FakeSystemVolume::setMute(bool mute)
{
    if (!m_open || !available)
        return;
    ++muteWrites;
    muted = mute;
}

void FakeSystemVolume::setChangeListener(std::function<void()> listener)
{
    std::lock_guard lock(m_listenerMutex);
    m_listener = std::move(listener);
}

void FakeSystemVolume::announceChange()
{
    std::lock_guard lock(m_listenerMutex);
    if (announces && m_listener)
        m_listener();
}

} // namespace sonaveil::platform
