#include "player/colours/colourseditor.h"

#include "common/liststep.h"

#include <algorithm>

namespace sonaveil::player {

ColoursEditor::ColoursEditor(ColourScheme& held, const std::filesystem::path& programFolder,
                             ColoursEditorHost* host)
    : m_host(host ? host : &m_noHost)
    , m_held(held)
    , m_library(programFolder)
{
}

void ColoursEditor::open()
{
    m_imageBox = m_held.imageFlag == 1;
    fillList();
    m_text = kListDesignText;
    m_selected = -1;
    // The sample shows what "Apply" would give the status display.
    m_samplePalette = ColourScheme::validPalette(m_held.palette) ? m_held.palette : kDesignPalette;
    setImageBox(m_imageBox);
}

void ColoursEditor::fillList()
{
    m_names = m_library.names();
}

int ColoursEditor::indexOf(const std::string& name) const
{
    const auto it = std::find(m_names.begin(), m_names.end(), name);
    return it == m_names.end() ? -1 : int(it - m_names.begin());
}

void ColoursEditor::chooseColour(SchemeColour which, ColorValue chosen)
{
    m_held.setColour(which, chosen);
    m_host->docolors();
}

void ColoursEditor::setBarPosition(int position)
{
    position = std::clamp(position, kBarMinimum, kBarMaximum);
    m_samplePalette = ColourScheme::kLastPalette - position;
    m_held.palette = std::int16_t(m_samplePalette);
    m_host->refresh();
}

void ColoursEditor::setImageBox(bool ticked)
{
    m_imageBox = ticked;
    m_held.imageFlag = ticked ? 1 : 0;
    m_host->refresh();
    m_host->docolors();
}

void ColoursEditor::select(int index)
{
    if (index < 0 || index >= int(m_names.size())) {
        m_selected = -1;
        m_text.clear();
        m_host->refresh();
        return;
    }
    m_selected = index;
    m_text = m_names[std::size_t(index)];
    m_host->refresh();
    loadScheme(m_text);
}

void ColoursEditor::previous()
{
    if (!m_names.empty())
        select(previousInList(m_selected, int(m_names.size())));
}

void ColoursEditor::next()
{
    if (!m_names.empty())
        select(nextInList(m_selected, int(m_names.size())));
}

ColoursEditor::SaveResult ColoursEditor::save(const std::optional<std::string>& typed)
{
    if (!typed || typed->empty())
        return SaveResult::Nothing;
    // A double quote would end the name where the colour file and the lists read it back.
    if (typed->find('"') != std::string::npos) {
        m_host->message(kSaveFailed);
        return SaveResult::Failed;
    }
    if (typed->size() > SchemeLibrary::kMaxNameLength) {
        m_host->numberedMessage(kNameTooLong, long(SchemeLibrary::kMaxNameLength));
        return SaveResult::Failed;
    }
    if (!m_library.save(*typed, m_held)) {
        m_host->message(kSaveFailed);
        return SaveResult::Failed;
    }
    m_names.clear();
    fillList();
    m_text = *typed;
    m_selected = indexOf(*typed);
    m_host->refresh();
    return SaveResult::Saved;
}

void ColoursEditor::remove()
{
    m_library.remove(m_text);
    m_names.clear();
    m_text = kNoPresetText;
    m_selected = -1;
    fillList();
    m_host->refresh();
}

void ColoursEditor::restoreDefault()
{
    m_text = SchemeLibrary::kDefaultName;
    m_selected = indexOf(m_text);
    m_host->refresh();
    loadScheme(m_text);
}

bool ColoursEditor::loadScheme(const std::string& name)
{
    const auto content = m_library.read(name);
    if (!content) {
        m_host->information(kLoadFailed);
        return false;
    }
    const SchemeFile::Fields f = SchemeFile::parse(*content);
    if (f.background)
        m_held.background = *f.background;
    if (f.text)
        m_held.text = *f.text;
    if (f.palette) {
        m_held.palette = *f.palette;
        m_samplePalette = *f.palette;
    }
    if (f.gradient1)
        m_held.gradient1 = *f.gradient1;
    if (f.gradient2)
        m_held.gradient2 = *f.gradient2;
    if (f.buttonBack)
        m_held.buttonBack = *f.buttonBack;
    if (f.buttonText)
        m_held.buttonText = *f.buttonText;
    if (f.form)
        m_held.form = *f.form;
    if (f.imageBox) {
        m_imageBox = *f.imageBox == 1;
        m_held.imageFlag = *f.imageBox;
    }
    m_host->refresh();
    // The windows show what is held, also after a partial load.
    m_host->docolors();
    if (!f.complete)
        m_host->information(kLoadFailed);
    return f.complete;
}

} // namespace sonaveil::player
