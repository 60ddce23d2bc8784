#include "player/core/mixcontrol.h"

namespace sonaveil::player {

MixControl::MixControl(ChannelModel& model)
    : m_model(model)
{
    m_model.masterUpdated = [this] { setMark(false); };
}

void MixControl::setMark(bool on)
{
    if (m_muteMark == on)
        return;
    m_muteMark = on;
    if (muteMarkChanged)
        muteMarkChanged(on);
}

void MixControl::toggleMute()
{
    const int master = m_model.slider(kMasterSlider);
    if (master != 0) {
        m_savedMaster = master;
        m_model.setSlider(kMasterSlider, 0);
        setMark(true);
    } else {
        m_model.setSlider(kMasterSlider, m_savedMaster);
        // A saved position of 0 moves nothing, so no master update clears the mark.
        setMark(false);
    }
}

void MixControl::stopPage(int page)
{
    for (int sound : catalogue::soundsOnPage(page))
        m_model.setCheck(sound, CheckState::Unchecked);
}

void MixControl::stopAll()
{
    for (int sound = 1; sound <= kSoundCount; ++sound)
        m_model.setCheck(sound, CheckState::Unchecked);
}

int MixControl::stepped(int position, Step step, int stepSize, int maximum)
{
    switch (step) {
    case Step::ToMinimum:
        return 0;
    case Step::Down:
        return position - stepSize;
    case Step::Up:
        return position + stepSize;
    case Step::ToMaximum:
        return maximum;
    }
    return position;
}

void MixControl::stepVolumes(int page, Step step)
{
    for (int sound : catalogue::soundsOnPage(page)) {
        const int slider = catalogue::sound(sound).volumeSlider;
        m_model.setSlider(slider, stepped(m_model.slider(slider), step, kVolumeStep, kVolumeMaximum));
    }
}

void MixControl::stepPitches(int page, Step step)
{
    for (int sound : catalogue::soundsOnPage(page)) {
        const int slider = catalogue::sound(sound).pitchSlider;
        if (slider)
            m_model.setSlider(slider, stepped(m_model.slider(slider), step, kPitchStep, kPitchMaximum));
    }
}

void MixControl::centrePans(int page)
{
    for (int sound : catalogue::soundsOnPage(page))
        m_model.setSlider(catalogue::sound(sound).panSlider, kPanCentre);
}

} // namespace sonaveil::player
