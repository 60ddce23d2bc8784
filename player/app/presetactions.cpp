#include "player/app/presetactions.h"

#include "player/app/dialogs.h"
#include "player/app/mainwindow.h"

#include <QFileInfo>

namespace sonaveil::player {

PresetActions::PresetActions(PresetFiles& presets, QuickSlots& quickSlots, Dialogs& dialogs, MainWindow& window,
                             QObject* parent)
    : QObject(parent)
    , m_presets(presets)
    , m_slots(quickSlots)
    , m_dialogs(dialogs)
    , m_window(window)
{
    connect(&window, &MainWindow::saveClicked, this, &PresetActions::save);
    connect(&window, &MainWindow::loadClicked, this, &PresetActions::load);
    connect(&window, &MainWindow::previousClicked, this, &PresetActions::previous);
    connect(&window, &MainWindow::assignClicked, this, &PresetActions::assign);
    connect(&window, &MainWindow::quickClicked, this, &PresetActions::quickPreset);
}

void PresetActions::labelQuickSlots()
{
    m_slots.read();
    for (int i = 0; i < QuickSlots::kCount; ++i)
        m_window.setQuickCaption(i, QString::fromStdString(m_slots.caption(i)));
}

void PresetActions::save()
{
    FileRequest request{tr("Save Preset"), m_presets.savesFolder().c_str(), tr(kPresetFilter), {}};
    const QString file = m_dialogs.saveFileName(&m_window, request);
    if (file.isEmpty())
        return;
    // Load and Assign list "*.svp" only: a name typed without an extension gets it, or the
    // preset could not be found again.
    const std::string target = PresetFiles::withPresetExtension(file.toStdString());
    if (!m_presets.save(target))
        m_dialogs.information(&m_window, kMessageTitle, tr(kSaveProblem));
}

bool PresetActions::loadReporting(const QString& file)
{
    if (m_presets.load(file.toStdString()))
        return true;
    m_dialogs.information(&m_window, kMessageTitle, tr(kOpenProblem));
    return false;
}

void PresetActions::load()
{
    FileRequest request{tr("Load Preset"), m_presets.savesFolder().c_str(), tr(kPresetFilter), {}};
    const QString file = m_dialogs.openFileName(&m_window, request);
    if (!file.isEmpty())
        loadReporting(file);
}

void PresetActions::previous()
{
    const QString file = QString::fromStdString(m_presets.lastMixPath());
    if (QFileInfo::exists(file))
        loadReporting(file);
}

void PresetActions::quickPreset(int index)
{
    const std::string& caption = m_slots.caption(index);
    if (caption.empty())
        return;
    loadReporting(QString::fromStdString(m_presets.savesFolder() + "/" + caption + ".svp"));
}

void PresetActions::assign()
{
    FileRequest request{tr("Select the Preset File"), m_presets.savesFolder().c_str(), tr(kAssignFilter), m_assignLast};
    const QString file = m_dialogs.openFileName(&m_window, request);
    if (file.isEmpty())
        return;
    m_assignLast = file;
    const auto typed = m_dialogs.inputText(&m_window, kMessageTitle, tr(kAssignPrompt), QString());
    if (!typed)
        return;
    const QString name = QFileInfo(file).completeBaseName();
    const auto result = m_slots.assign(typed->toStdString(), name.toStdString());
    if (result == QuickSlots::Assign::NotANumber)
        return;
    const auto number = QuickSlots::slotNumber(typed->toStdString());
    m_window.setQuickCaption(*number - 1, name);
    if (result == QuickSlots::Assign::NotStored)
        m_dialogs.information(&m_window, kMessageTitle,
                              tr("The quick preset could not be stored in \"preset.txt\"; it is kept "
                                 "until the player closes."));
}

} // namespace sonaveil::player
