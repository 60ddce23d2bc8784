#include "player/core/channelmodel.h"

#include "common/rounding.h"
#include "player/core/livebuilder.h"

#include <QMetaObject>
#include <QObject>

#include <algorithm>
#include <utility>

namespace sonaveil::player {

ChannelModel::ChannelModel(AudioBinding& audio, Making making)
    : m_audio(audio)
{
    for (int s = 1; s <= kHighestSlider; ++s)
        if (catalogue::sliderExists(s))
            m_sliders[std::size_t(s)] = catalogue::sliderRange(s).start;
    if (making == Making::OnWorker) {
        m_receiver = std::make_unique<QObject>();
        m_builder = std::make_unique<LiveBuilder>([this, receiver = m_receiver.get()] {
            QMetaObject::invokeMethod(receiver, [this] { takeMade(); }, Qt::QueuedConnection);
        });
    }
}

// The worker goes first (it waits for a job being made); the receiver then drops any "done"
// still queued for it.
ChannelModel::~ChannelModel() = default;

void ChannelModel::loadSamples(const std::filesystem::path& programFolder)
{
    std::vector<std::string> paths;
    for (const SoundInfo& info : catalogue::sounds())
        paths.push_back((programFolder / info.file).string());
    m_endless.setProgramFolder(programFolder);
    m_folder = programFolder;
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
    if (!m_builder) {
        startVoice(sound, m_endless.make(sound));
        return;
    }
    auto job = m_endless.prepare(sound);
    if (!job) {
        startVoice(sound, nullptr);
        return;
    }
    // Until its generator is there the sound has no voice: slider changes meanwhile only move
    // the positions, which the voice takes when it starts.
    SoundEntry& e = mutableEntry(sound);
    e.making = true;
    e.live = false;
    e.channel = -1;
    m_tickets[std::size_t(sound - 1)] = m_builder->submit(std::move(job));
}

void ChannelModel::startVoice(int sound, std::unique_ptr<audio::Generator> generator)
{
    SoundEntry& e = mutableEntry(sound);
    e.channel = generator ? m_audio.playGenerator(std::move(generator)) : -1;
    e.live = e.channel > 0;
    // A file is streamed where the binding can (nothing held decoded), else its sample plays.
    e.streamed = false;
    if (!e.live && e.sample != 0 && !m_folder.empty()) {
        e.channel = m_audio.playFile((m_folder / catalogue::sound(sound).file).string());
        e.streamed = e.channel > 0;
    }
    if (!e.live && !e.streamed)
        e.channel = m_audio.playSound(e.sample);
    volumeUpdate(sound);
    pitchUpdate(sound);
    panUpdate(sound);
    m_audio.setLoopMode(e.channel, audio::kLoopNormal);
}

void ChannelModel::switchOff(int sound)
{
    SoundEntry& e = mutableEntry(sound);
    if (e.making) {
        e.making = false;
        m_builder->cancel(std::exchange(m_tickets[std::size_t(sound - 1)], 0));
    }
    m_audio.stopSound(e.channel);
}

void ChannelModel::takeMade()
{
    if (!m_builder)
        return;
    for (LiveBuilder::Done& done : m_builder->take()) {
        m_endless.learn(done.made);
        const auto asked = std::find(m_tickets.begin(), m_tickets.end(), done.ticket);
        if (asked == m_tickets.end())
            continue; // switched off, or on again, since: what it made is not wanted
        *asked = 0;
        const int sound = int(asked - m_tickets.begin()) + 1;
        mutableEntry(sound).making = false;
        // The option switched off meanwhile is the latest wish: the file.
        startVoice(sound, m_endless.enabled() ? std::move(done.made.generator) : nullptr);
    }
}

void ChannelModel::finishMaking()
{
    if (!m_builder)
        return;
    m_builder->wait();
    takeMade();
}

std::size_t ChannelModel::making() const
{
    return m_builder ? m_builder->busy() : 0;
}

} // namespace sonaveil::player
