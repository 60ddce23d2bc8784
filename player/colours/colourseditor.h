#pragma once

#include "common/translatable.h"
#include "player/colours/colourscheme.h"
#include "player/colours/schemelibrary.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace sonaveil::player {

// What the colour editor needs from its window. Every member does nothing unless overridden.
class ColoursEditorHost {
public:
    virtual ~ColoursEditorHost() = default;
    // The editor's colour routine: the held values may have changed.
    virtual void docolors() {}
    // The list, its text, the sample palette, the bar or the image box changed.
    virtual void refresh() {}
    // A message with the information icon.
    virtual void information(const std::string& text) {}
    // A message with an OK button and no icon.
    virtual void message(const std::string& text) {}
    // message() of `text` with its "%1" replaced by `number`; a window translates `text` first.
    virtual void numberedMessage(const std::string& text, long number)
    {
        std::string filled = text;
        if (const auto at = filled.find("%1"); at != std::string::npos)
            filled.replace(at, 2, std::to_string(number));
        message(filled);
    }
};

// The colour editor frmcolors without its widgets: the scheme list with its text and selection,
// the "LCD Scheme" bar and the sample display's palette, the "Image As Background" box, and the
// actions of its buttons on the held scheme and the scheme files.
class ColoursEditor {
public:
    static constexpr const char* kSavePrompt = QT_TRANSLATE_NOOP("sonaveil::player::ColoursEditor", "Please type a name to identify this color scheme");
    static constexpr const char* kSaveFailed = QT_TRANSLATE_NOOP("sonaveil::player::ColoursEditor",
        "The file could not be saved. Please try again ensuring you have not used special characters "
        "(!/<>&*$%) in the name ");
    static constexpr const char* kDeleteQuestion = QT_TRANSLATE_NOOP("sonaveil::player::ColoursEditor", "This will delete the current preset. Continue?");
    static constexpr const char* kLoadFailed = QT_TRANSLATE_NOOP("sonaveil::player::ColoursEditor", "There was an error loading the configuration!");
    static constexpr const char* kNameTooLong = QT_TRANSLATE_NOOP("sonaveil::player::ColoursEditor",
        "This scheme name is too long; please use at most %1 characters (fewer with accented letters).");
    static constexpr const char* kListDesignText = QT_TRANSLATE_NOOP("sonaveil::player::ColoursEditor", "Select");
    static constexpr const char* kNoPresetText = QT_TRANSLATE_NOOP("sonaveil::player::ColoursEditor", "No Preset Selected");
    static constexpr const char* kSampleText = "    SAMPLE";
    // The sample display's palette as placed on the window.
    static constexpr int kDesignPalette = 7;

    ColoursEditor(ColourScheme& held, const std::filesystem::path& programFolder,
                  ColoursEditorHost* host = nullptr);

    void setHost(ColoursEditorHost* host) { m_host = host ? host : &m_noHost; }

    // The editor's load: the box from the held flag, the list filled, the sample display showing
    // the held palette, then the box's action (which runs docolors).
    void open();

    const ColourScheme& held() const { return m_held; }
    const SchemeLibrary& library() const { return m_library; }
    const std::vector<std::string>& names() const { return m_names; }
    // The selected scheme's index in names(), or -1.
    int selected() const { return m_selected; }
    // The text the list shows.
    const std::string& listText() const { return m_text; }
    int samplePalette() const { return m_samplePalette; }
    // The bar runs from 0 to 12; the palette is 12 minus its position.
    int barPosition() const { return ColourScheme::kLastPalette - m_samplePalette; }
    static constexpr int kBarMinimum = 0;
    static constexpr int kBarMaximum = ColourScheme::kLastPalette - ColourScheme::kFirstPalette;
    bool imageBox() const { return m_imageBox; }
    // The "Form Color" label and swatch take input only while the box is unticked.
    bool formEnabled() const { return !m_imageBox; }

    // A swatch's colour dialog returned `chosen`: the value takes it, then docolors.
    void chooseColour(SchemeColour which, ColorValue chosen);
    // The "LCD Scheme" bar moved: palette 12 minus the position, on the sample and held.
    void setBarPosition(int position);
    // "Image As Background" clicked to `ticked`: the flag follows, then docolors.
    void setImageBox(bool ticked);
    // The user picked a scheme in the list: it is loaded. An index outside the list empties the
    // selection.
    void select(int index);
    // "<" and ">".
    void previous();
    void next();

    enum class SaveResult { Nothing, Saved, Failed };
    // "Save " with the typed name (nothing for Cancel): an empty answer does nothing; a name that
    // is no plain file name, or a file that cannot be written, gives the save message; a name
    // longer than the library takes says so, with the limit.
    SaveResult save(const std::optional<std::string>& typed);
    // "Del" after the user said Yes: the scheme named by the list's text is deleted (a failure is
    // ignored) and the list filled again.
    void remove();
    // "Restore Default Colors".
    void restoreDefault();
    // Loads the named scheme into the held values, field by field; on a missing file or a bad
    // field the load message shows and the values read before it stay. True when complete.
    bool loadScheme(const std::string& name);

private:
    void fillList();
    int indexOf(const std::string& name) const;

    ColoursEditorHost m_noHost;
    ColoursEditorHost* m_host;
    ColourScheme& m_held;
    SchemeLibrary m_library;
    std::vector<std::string> m_names;
    std::string m_text = kListDesignText;
    int m_selected = -1;
    int m_samplePalette = kDesignPalette;
    bool m_imageBox = true;
};

} // namespace sonaveil::player
