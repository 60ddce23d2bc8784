#pragma once

#include "common/translatable.h"
#include "audio/engine.h"
#include "player/equaliser/eqpreset.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace sonaveil::player {

// The engine calls the equaliser makes on the mixed output, behind an interface so that tests
// can watch them.
class EqualiserOutput {
public:
    virtual ~EqualiserOutput() = default;
    virtual void setPaused(bool paused) = 0;
    virtual void fxDisable() = 0;
    virtual audio::FxHandle fxEnable() = 0;
    virtual void fxSetParamEq(audio::FxHandle fx, float centreHz, float bandwidthSemitones, float gainDb) = 0;
};

// Forwards to the engine's system channel.
class EngineEqualiserOutput : public EqualiserOutput {
public:
    explicit EngineEqualiserOutput(audio::Engine& engine) : m_engine(engine) {}
    void setPaused(bool paused) override { m_engine.setPaused(audio::kSystemChannel, paused); }
    void fxDisable() override { m_engine.fxDisable(audio::kSystemChannel); }
    audio::FxHandle fxEnable() override { return m_engine.fxEnable(audio::kSystemChannel, audio::kFxParamEq); }
    void fxSetParamEq(audio::FxHandle fx, float hz, float semitones, float db) override
    {
        m_engine.fxSetParamEq(fx, hz, semitones, db);
    }

private:
    audio::Engine& m_engine;
};

// The ten-band equaliser without a window: the on/off switch, the band positions, the preset
// list of the folder "presets" with its text, the preset files and "effects.tmp", the filter
// chain on the engine and line 3 of the status display.
class Equaliser {
public:
    static constexpr int kBands = 10;
    static constexpr const char* kStateName = "effects.tmp";
    static constexpr const char* kPresetsFolder = "presets";
    static constexpr const char* kExtension = ".eqf";
    static constexpr const char* kDesignText = "Flat";
    static constexpr const char* kNoPreset = QT_TRANSLATE_NOOP("sonaveil::player::Equaliser", "No Preset Selected");
    static constexpr const char* kSavePrompt = QT_TRANSLATE_NOOP("sonaveil::player::Equaliser", "Please type a name to identify this equalizer configuration");
    static constexpr const char* kDeleteQuestion = QT_TRANSLATE_NOOP("sonaveil::player::Equaliser", "This will delete the current preset. Continue?");

    Equaliser(EqualiserOutput& output, std::string programFolder);

    // A line of the main window's status display.
    std::function<void(int line, const std::string& text)> display;
    // Something the window shows changed (switch, positions, list, text).
    std::function<void()> changed;

    // The window's load: the preset list, "effects.tmp" when present, line 3, the chain built.
    void load();
    // The window's unload: "effects.tmp" written. False when it could not be (`error` says why).
    bool unload(std::string* error = nullptr);

    bool on() const { return m_on; }
    // The switch: line 3, then the chain rebuilt from nothing.
    void setOn(bool on);

    int position(int band) const { return m_bands.positions[std::size_t(band)]; }
    const EqualiserBands& bands() const { return m_bands; }
    // A band slider's change: stores the position (clamped to 0 … 30) and retunes its filter
    // whether the equaliser is on or not. Bands outside 0 … 9 are ignored.
    void setPosition(int band, int position);
    // "Center all EQs".
    void centreAll();
    // Sets one filter: the band's centre, the common bandwidth and `gainDb`.
    void fxSetEq(int band, float gainDb);
    // Pause, remove every filter, (when on) add ten and set them, resume.
    void applyState();
    const std::array<audio::FxHandle, kBands>& handles() const { return m_handles; }

    // The preset list: names of the folder's "*.eqf" files without the extension.
    void listPresets();
    const std::vector<std::string>& presets() const { return m_presets; }
    int selected() const { return m_selected; }
    // The list's text: the current preset name.
    const std::string& text() const { return m_text; }
    // Selects a preset and loads it (-1 clears the selection and loads nothing). False when the
    // file could not be read whole; bands read before the fault keep their new positions.
    bool selectPreset(int index);
    // "<" and ">".
    void previousPreset();
    void nextPreset();
    // "Save Preset" with a typed name: the positions to "presets/<name>.eqf" (band 9 first). An
    // empty name does nothing. Returns "" when saved or nothing was to be done, otherwise the
    // message to show.
    std::string savePreset(const std::string& name);
    // "Delete" after Yes: the file of the list's text removed, text "No Preset Selected", list
    // read again. Bands and sound stay.
    void deletePreset();
    // Why `name` cannot name a preset file, or nothing when it can.
    static std::optional<std::string> nameProblem(const std::string& name);

    std::string presetsFolder() const;
    std::string stateFileText() const;

private:
    void showLine();
    void notify();
    std::string presetPath(const std::string& name) const;

    EqualiserOutput& m_output;
    std::string m_folder;
    bool m_on = false;
    EqualiserBands m_bands;
    std::array<audio::FxHandle, kBands> m_handles{};
    std::vector<std::string> m_presets;
    int m_selected = -1;
    std::string m_text = kDesignText;
};

} // namespace sonaveil::player
