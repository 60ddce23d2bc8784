#pragma once

#include "player/core/channelmodel.h"
#include "player/presets/presetrecord.h"

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace sonaveil::player {

// Saving and loading whole mixes: preset files, the last-mix file "previous.tmp" and the name of
// the current preset shown on line 4 of the status display.
class PresetFiles {
public:
    PresetFiles(ChannelModel& model, std::filesystem::path programFolder);

    static constexpr const char* kLastMixName = "previous.tmp";
    static constexpr const char* kSavesFolder = "saves";

    // dosave: writes the current mix to `path`, replacing the file atomically.
    bool save(const std::string& path, std::string* error = nullptr) const;
    // doload: reads and checks every field of `path` first; only a good record is applied, then
    // line 4 is set. A file that cannot be read or holds a bad record changes nothing.
    bool load(const std::string& path, std::string* error = nullptr);

    // `path` with ".svp" added when its file name has no extension ("Night1" -> "Night1.svp").
    static std::string withPresetExtension(const std::string& path);

    // TrimAppPath: `path` without "<program folder>/saves/" and without ".svp", both removed
    // wherever they occur, case-sensitively.
    static std::string trimAppPath(const std::string& path, const std::string& programFolder);

    std::string lastMixPath() const;
    std::string savesFolder() const;
    const std::string& programFolder() const { return m_folder; }
    // The current preset name ("None" until the first load).
    const std::string& currentName() const { return m_current; }
    // The mix as it stands, as a preset file would hold it.
    PresetRecord current() const { return PresetRecord::capture(m_model); }
    // True once any preset or the last mix was loaded.
    bool anyLoaded() const { return m_loaded; }

    // Called after a preset file was written, and after one was read and applied (before line 4
    // is set), with its path: for what is kept beside a preset.
    std::function<void(const std::string& path)> saved;
    std::function<void(const std::string& path)> loaded;

    // Receives the text of status line 4 after each successful load.
    std::function<void(const std::string& text)> showCurrent;

private:
    ChannelModel& m_model;
    std::string m_folder;
    std::string m_current = "None";
    bool m_loaded = false;
};

// The ten quick-preset slots and their list "preset.txt": one line per assignment, later lines
// winning.
class QuickSlots {
public:
    static constexpr int kCount = 10;
    static constexpr const char* kListName = "preset.txt";

    explicit QuickSlots(std::filesystem::path listFile);

    // Fills the captions from the list; a missing or unreadable list leaves every slot empty.
    void read();
    // Caption of slot index 0 … 9 ("" for unassigned).
    const std::string& caption(int index) const;
    const std::filesystem::path& listFile() const { return m_list; }

    // The slot number the user typed, when it is a whole number from 1 to 10.
    static std::optional<int> slotNumber(const std::string& typed);

    enum class Assign { Done, NotANumber, NotStored };
    // Puts `name` on the slot `typed` names and appends the assignment to the list (the old bytes
    // and the new line, replaced atomically). NotANumber changes nothing; NotStored means the
    // caption is set for this run but the list could not be written.
    Assign assign(const std::string& typed, const std::string& name, std::string* error = nullptr);

private:
    std::filesystem::path m_list;
    std::array<std::string, kCount> m_captions;
};

} // namespace sonaveil::player
