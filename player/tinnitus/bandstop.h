#pragma once

#include "audio/engine.h"
#include "player/tinnitus/tinnitusstore.h"

#include <functional>
#include <string>

namespace sonaveil::player {

// Where the band-stop goes: the engine's, or a fake in tests.
class NotchOutput {
public:
    virtual ~NotchOutput() = default;
    virtual void setNotch(bool on, double centreHz, double widthOctaves) = 0;
};

class EngineNotchOutput : public NotchOutput {
public:
    explicit EngineNotchOutput(audio::Engine& engine) : m_engine(engine) {}
    void setNotch(bool on, double centreHz, double widthOctaves) override
    {
        m_engine.setNotch(on, float(centreHz), float(widthOctaves));
    }

private:
    audio::Engine& m_engine;
};

// The band-stop around the matched pitch, switched beside the equaliser: it follows the stored
// choice and the stored match, keeps a new choice in "tinnitus.ini", and marks line 3 of the
// status display while it is on.
class BandStop {
public:
    BandStop(NotchOutput& output, TinnitusStore& store);

    // Sets the band-stop as the store holds it (at start-up, and after a new match is saved).
    void apply();
    bool on() const { return m_store.settings().notchEnabled; }
    // The switch: the band-stop follows at once; false when the choice could not be written.
    bool setOn(bool on);
    // Line 3 with the mark: "EQL:Flat" becomes "EQL:Flat N4.0k" while on.
    std::string equaliserLine(const std::string& line) const { return m_store.settings().equaliserLine(line); }

    // Line 3 should be shown again (the owner of the display).
    std::function<void()> lineChanged;
    // The switch's state changed (the window).
    std::function<void()> changed;

private:
    NotchOutput& m_output;
    TinnitusStore& m_store;
};

} // namespace sonaveil::player
