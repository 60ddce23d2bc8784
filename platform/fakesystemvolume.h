#pragma once

#include "platform/systemvolume.h"

#include <mutex>

namespace sonaveil::platform {

// A system volume held in memory, for tests: the test plays the other mixer program by setting
// the fields, and reads what the control wrote.
class FakeSystemVolume : public SystemVolume {
public:
    bool open() override;
    bool isOpen() const override { return m_open; }
    void close() override { m_open = false; }
    std::optional<VolumeLevel> volume() const override;
    std::optional<bool> mute() const override;
    void setVolume(unsigned volume) override;
    void setMute(bool mute) override;
    bool announcesChanges() const override { return announces; }
    void setChangeListener(std::function<void()> listener) override;

    // Tells the listener that the fields changed, when `announces` is set; callable from any
    // thread, as a real system calls from its own.
    void announceChange();

    // What the "system" holds.
    bool available = true;  // false: no output device, reads give nothing
    bool canOpen = true;    // false: open() fails
    unsigned level = 0;
    unsigned maximum = 65535;
    bool muted = false;
    // Whether this system says that it announces changes (without it the control has to poll).
    bool announces = false;

    // How often the control opened the mixer and wrote to it.
    int openCount = 0;
    int volumeWrites = 0;
    int muteWrites = 0;
    // How often the control read the volume.
    mutable int volumeReads = 0;

private:
    bool m_open = false;
    std::mutex m_listenerMutex;
    std::function<void()> m_listener;
};

} // namespace sonaveil::platform
