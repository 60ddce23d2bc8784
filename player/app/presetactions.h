#pragma once

#include "player/presets/presetfiles.h"

#include <QObject>
#include <QString>

namespace sonaveil::player {

class Dialogs;
class MainWindow;

// The main window's preset buttons: "Save", "Load", "Previous", the ten quick presets and
// "Assign", with their dialogs and messages.
class PresetActions : public QObject {
    Q_OBJECT
public:
    PresetActions(PresetFiles& presets, QuickSlots& quickSlots, Dialogs& dialogs, MainWindow& window,
                  QObject* parent = nullptr);

    static constexpr const char* kPresetFilter = QT_TR_NOOP("Sonaveil Files (*.svp)|*.svp");
    static constexpr const char* kAssignFilter = QT_TR_NOOP("Sonaveil Files (*.svp)| *.svp");
    static constexpr const char* kAssignPrompt = QT_TR_NOOP("Please Enter a Preset Number between 1 and 10 both inclusive ");
    static constexpr const char* kOpenProblem = QT_TR_NOOP("There was a problem opening this file!");
    static constexpr const char* kSaveProblem = QT_TR_NOOP("There was a problem saving this file!");

    void save();
    void load();
    void previous();
    void quickPreset(int index);
    void assign();
    // Reads "preset.txt" and puts the captions on the quick buttons.
    void labelQuickSlots();

private:
    bool loadReporting(const QString& file);

    PresetFiles& m_presets;
    QuickSlots& m_slots;
    Dialogs& m_dialogs;
    MainWindow& m_window;
    QString m_assignLast;
};

} // namespace sonaveil::player
