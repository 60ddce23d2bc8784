#pragma once

#include <functional>
#include <memory>
#include <optional>

namespace sonaveil::platform {

// The volume of the master output as a raw level and the level that means full volume.
struct VolumeLevel {
    unsigned volume = 0;
    unsigned maximum = 0;
};

// The computer's master output: the volume and mute switch of the default sound sink.
// Every call returns at once; an implementation that talks to a sound server answers from what
// it last heard and sends changes without waiting for them.
class SystemVolume {
public:
    virtual ~SystemVolume() = default;

    // Starts talking to the system; false when that is impossible on this machine.
    virtual bool open() = 0;
    // Whether open() succeeded and close() has not been called since.
    virtual bool isOpen() const = 0;
    // Stops talking to the system; the object can be opened again.
    virtual void close() = 0;

    // The current volume of the master output; nothing when no output is known right now.
    virtual std::optional<VolumeLevel> volume() const = 0;
    // The current mute switch; nothing when no output is known right now.
    virtual std::optional<bool> mute() const = 0;

    // Sets the volume (0 to the maximum that volume() reports); ignored when no output is known.
    virtual void setVolume(unsigned volume) = 0;
    // Sets the mute switch; ignored when no output is known.
    virtual void setMute(bool mute) = 0;

    // Whether the change listener hears of every change made by other programs. When not, the
    // caller has to read volume() and mute() again from time to time to follow them.
    virtual bool announcesChanges() const { return false; }
    // Called after what volume() or mute() answer has changed, including the output becoming
    // known or unknown; possibly on a thread of the implementation's own, so the listener must
    // return quickly and must not call this object. Once this call returns, the previous listener
    // is no longer running and is never called again: setting an empty one lets its owner go.
    virtual void setChangeListener(std::function<void()> listener) { (void)listener; }
};

// The default sink of the PulseAudio server (PipeWire serves the same interface), followed by a
// background connection that reconnects by itself when the server goes away and comes back.
std::unique_ptr<SystemVolume> createPulseSystemVolume();

} // namespace sonaveil::platform
