#pragma once

#include "common/types.h"
#include "player/core/audiobinding.h"
#include "player/core/catalogue.h"
#include "player/core/endlesssounds.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

class QObject;

namespace sonaveil::player {

class LiveBuilder;

// Run-time record of one sound.
struct SoundEntry {
    audio::SampleHandle sample = 0;   // 0 when its file could not be loaded
    audio::ChannelHandle channel = 0; // the last play request's answer, kept after a stop
    CheckState check = CheckState::Unchecked;
    bool live = false; // the last start plays live, not the file
    bool making = false; // on, its generator still being made: no voice yet (channel -1)
    bool streamed = false; // the last start streams its file from disk
    bool on() const { return check == CheckState::Checked; }
};

// The 35 sounds with their check boxes and the 103 slider positions of the main window, and
// what changing them does to the engine. The window binds its check boxes and sliders to the
// values held here: setting a check box to another state switches its sound on or off, and
// every change of a slider position runs that slider's update, whoever made the change.
class ChannelModel {
public:
    // Where the live sounds' generators are made. Here: as the sound is switched on, so that it
    // plays at once (renders, measurements). OnWorker: on a thread of the model's own, the voice
    // starting once its generator is there, through the event loop of the thread that made the
    // model (the player: switching a sound on never waits for its generator).
    enum class Making { Here, OnWorker };

    explicit ChannelModel(AudioBinding& audio, Making making = Making::Here);
    ~ChannelModel();
    ChannelModel(const ChannelModel&) = delete;
    ChannelModel& operator=(const ChannelModel&) = delete;

    // Loads sounds 1 … 35 from their files under the program folder (start-up only), and tells
    // the endless sounds where the files we ship are.
    void loadSamples(const std::filesystem::path& programFolder);

    // Which sounds start live rather than from their files.
    EndlessSounds& endless() { return m_endless; }

    const SoundEntry& entry(int sound) const { return m_entries.at(std::size_t(sound - 1)); }

    CheckState check(int sound) const { return entry(sound).check; }
    // Switches the sound on (Checked) or off (any other state) when the state changes.
    void setCheck(int sound, CheckState state);

    int slider(int number) const;
    // Moves a slider, clamped to its range, and runs its update when the position changes.
    // Unknown slider numbers are ignored.
    void setSlider(int number, int position);
    // A slider's change action: the update of the sound or of the master it belongs to.
    void runSliderUpdate(int number);

    void volumeUpdate(int sound);
    void pitchUpdate(int sound);
    void panUpdate(int sound);
    void masterUpdate();

    // Starts the sounds whose generators the worker has made, with the sliders as they are now;
    // a sound switched off or on again since its job was asked for takes nothing from it.
    void takeMade();
    // Waits until every generator asked for is made, then takes them.
    void finishMaking();
    // Generators asked for and not yet made.
    std::size_t making() const;

    // The volume the channel receives: position / 100 × master, rounded half to even.
    static int channelVolume(int volumePosition, int masterPosition);

    // Called after every master update (the window clears the Mute mark), and after a slider
    // position changes (the window moves its widget).
    std::function<void()> masterUpdated;
    std::function<void(int slider)> sliderChanged;
    // Called after a check state changes and its sound has been switched (the window sets its
    // check box).
    std::function<void(int sound)> checkChanged;
    // Called after the two callbacks above when what makes the mix changed: a check state or
    // the master slider (for those who watch the mix as a whole).
    std::function<void()> mixEdited;

private:
    void switchOn(int sound);
    void switchOff(int sound);
    // Starts the sound's voice: live from `generator`, else (also when no voice takes it) its file.
    void startVoice(int sound, std::unique_ptr<audio::Generator> generator);
    SoundEntry& mutableEntry(int sound) { return m_entries.at(std::size_t(sound - 1)); }

    AudioBinding& m_audio;
    EndlessSounds m_endless;
    std::filesystem::path m_folder; // the program folder the samples were loaded from
    std::array<SoundEntry, kSoundCount> m_entries{};
    std::array<int, kHighestSlider + 1> m_sliders{};
    // The job making each sound's generator (0: none).
    std::array<std::uint64_t, kSoundCount> m_tickets{};
    // Receives the worker's "done" on the model's thread; outlives the worker.
    std::unique_ptr<QObject> m_receiver;
    std::unique_ptr<LiveBuilder> m_builder;
};

} // namespace sonaveil::player
