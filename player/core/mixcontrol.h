#pragma once

#include "player/core/channelmodel.h"

#include <functional>

namespace sonaveil::player {

// The main window's mix actions on the channel model: Mute with its check mark, the step buttons
// and the stop buttons. Every change goes through the model's check states and slider positions,
// so each one runs the same switch action or slider update as a user's change.
class MixControl {
public:
    // Takes over the model's masterUpdated callback: every master update clears the Mute mark.
    explicit MixControl(ChannelModel& model);

    enum class Step { ToMinimum, Down, Up, ToMaximum };
    static constexpr int kVolumeStep = 15;
    static constexpr int kVolumeMaximum = 255;
    static constexpr int kPitchStep = 150;
    static constexpr int kPitchMaximum = 7056;
    static constexpr int kPanCentre = 12;

    // Mute: a master above 0 is remembered and set to 0 (mark set); a master at 0 goes back to
    // the remembered position (mark cleared).
    void toggleMute();
    bool muteMark() const { return m_muteMark; }
    int savedMaster() const { return m_savedMaster; }

    // Switches off every sound of a page (1 … 4), or every sound.
    void stopPage(int page);
    void stopAll();

    // The step buttons, for the sounds of one page in the window's order.
    void stepVolumes(int page, Step step);
    void stepPitches(int page, Step step);
    void centrePans(int page);

    // Called whenever the Mute mark changes.
    std::function<void(bool marked)> muteMarkChanged;

private:
    void setMark(bool on);
    static int stepped(int position, Step step, int stepSize, int maximum);

    ChannelModel& m_model;
    int m_savedMaster = 0;
    bool m_muteMark = false;
};

} // namespace sonaveil::player
