#pragma once

#include <QString>

namespace sonaveil::player {

// What the desktop's media controls see of the player and may ask of it.
class MediaControl {
public:
    enum class Status { Playing, Paused, Stopped };

    virtual ~MediaControl() = default;
    // Playing while a sound is on and the mix is not muted, Paused while muted, Stopped when no
    // sound is on.
    virtual Status status() const = 0;
    // What plays: the name of the current preset, or "" before any was loaded.
    virtual QString title() const = 0;
    // True when play() would make something sound.
    virtual bool canPlay() const = 0;
    // The master volume, 0 … 1.
    virtual double volume() const = 0;
    virtual void setVolume(double volume) = 0;

    virtual void raise() = 0;
    virtual void quit() = 0;
    // Unmutes; with no sound on, brings back the mix stop() switched off, else loads the
    // previous mix first.
    virtual void play() = 0;
    // Mutes.
    virtual void pause() = 0;
    // Switches every sound off.
    virtual void stop() = 0;
};

} // namespace sonaveil::player
