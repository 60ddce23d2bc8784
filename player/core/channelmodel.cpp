#include "player/core/channelmodel.h"

#include "common/rounding.h"

#include <algorithm>

namespace sonaveil::player {

ChannelModel::ChannelModel(AudioBinding& audio)
    : m_audio(audio)
{
    for (int s = 1; s <= kHighestSlider; ++s)
        if (catalogue::sliderExists(s))
            m_sliders[std::size_t(s)] = catalogue::sliderRange(s).start;
}

void ChannelModel::loadSamples(const std::filesystem::path& programFolder)
{
    std::vector<std::string> paths;
    for (const SoundInfo& info : catalogue::sounds())
        paths.push_back((programFolder / info.file).string());
    m_endless.setProgramFolder(programFolder);
    const auto handles = m_audio.loadSamples(paths);
    for (const SoundInfo& info : catalogue::sounds())
        mutableEntry(info.number).sample = handles.at(std::size_t(info.number - 1));
}

void ChannelModel::setCheck(int sound, CheckState state)
{
    if (sound < 1 || sound > kSoundCount)
        return;
    SoundEntry& e = mutableEntry(sound);
    if (e.check == state)
        return;
    const bool wasOn = e.on();
    e.check = state;
    if (e.on())
        switchOn(sound);
    else if (wasOn)
        switchOff(sound);
    if (checkChanged)
        checkChanged(sound);
    if (mixEdited)
        mixEdited();
}

int ChannelModel::slider(int number) const
{
    return catalogue::sliderExists(number) ? m_sliders[std::size_t(number)] : 0;
}

void ChannelModel::setSlider(int number, int position)
{
    if (!catalogue::sliderExists(number))
        return;
    const SliderRange range = catalogue::sliderRange(number);
    position = std::clamp(position, range.minimum, range.maximum);
    int& held = m_sliders[std::size_t(number)];
    if (held == position)
        return;
    held = position;
    if (sliderChanged)
        sliderChanged(number);
    if (number == kMasterSlider && mixEdited)
        mixEdited();
    runSliderUpdate(number);
}

void ChannelModel::runSliderUpdate(int number)
{
    const SliderUse use = catalogue::sliderUse(number);
    switch (use.role) {
    case SliderRole::Volume:
        volumeUpdate(use.sound);
        break;
    case SliderRole::Pitch:
        pitchUpdate(use.sound);
        break;
    case SliderRole::Pan:
        panUpdate(use.sound);
        break;
    case SliderRole::Master:
        masterUpdate();
        break;
    case SliderRole::None:
        break;
    }
}

int ChannelModel::channelVolume(int volumePosition, int masterPosition)
{
    return int(roundHalfEven(double(volumePosition) / 100.0 * double(masterPosition)));
}

void ChannelModel::volumeUpdate(int sound)
{
    const SoundInfo& info = catalogue::sound(sound);
    m_audio.setVolume(entry(sound).channel,
                      channelVolume(slider(info.volumeSlider), slider(kMasterSlider)));
}

void ChannelModel::pitchUpdate(int sound)
{
    const SoundInfo& info = catalogue::sound(sound);
    if (info.pitchSlider)
        m_audio.setFrequency(entry(sound).channel, slider(info.pitchSlider) * 10);
}

void ChannelModel::panUpdate(int sound)
{
    const SoundInfo& info = catalogue::sound(sound);
    m_audio.setPan(entry(sound).channel, slider(info.panSlider) * 10);
}

void ChannelModel::masterUpdate()
{
    for (int sound : catalogue::masterUpdateOrder())
        volumeUpdate(sound);
    if (masterUpdated)
        masterUpdated();
}

void ChannelModel::switchOn(int sound)
{
    SoundEntry& e = mutableEntry(sound);
    // Live when it can, else (also when no voice takes the generator) its file as a loop.
    auto generator = m_endless.make(sound);
    e.channel = generator ? m_audio.playGenerator(std::move(generator)) : -1;
    e.live = e.channel > 0;
    if (!e.live)
        e.channel = m_audio.playSound(e.sample);
    volumeUpdate(sound);
    pitchUpdate(sound);
    panUpdate(sound);
    m_audio.setLoopMode(e.channel, audio::kLoopNormal);
}

void ChannelModel::switchOff(int sound)
{
    m_audio.stopSound(entry(sound).channel);
}

} // namespace sonaveil::player
