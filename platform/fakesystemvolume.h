#pragma once

#include "platform/systemvolume.h"

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

    // What the "system" holds.
    bool available = true;  // false: no output device, reads give nothing
    bool canOpen = true;    // false: open() fails
    unsigned level = 0;
    unsigned maximum = 65535;
    bool muted = false;

    // How often the control opened the mixer and wrote to it.
    int openCount = 0;
    int volumeWrites = 0;
    int muteWrites = 0;

private:
    bool m_open = false;
};

} // namespace sonaveil::platform
