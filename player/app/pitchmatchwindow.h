#pragma once

#include "player/app/toolwindow.h"
#include "player/tinnitus/pitchmatch.h"
#include "player/tinnitus/tinnitusstore.h"

#include <QElapsedTimer>
#include <QTimer>


class QLabel;
class QRadioButton;

namespace sonaveil::controls {
class Multibutton;
class UcSlider;
}
namespace sonaveil::lumidot {
class LCD;
}

namespace sonaveil::player {

class Dialogs;

// The "Pitch Match" window: plays a tone or a narrow band of noise that the user moves until it
// sounds like the tinnitus, runs the octave check, and saves the match to "tinnitus.ini". It
// shows a PitchMatch and forwards the user's actions to it; hiding the window silences it.
class PitchMatchWindow : public ToolWindow {
    Q_OBJECT
public:
    PitchMatchWindow(PitchMatch& match, TinnitusStore& store, Dialogs& dialogs, QWidget* parent = nullptr);
    ~PitchMatchWindow() override;

    // Takes the stored match into the model (at start-up).
    void loadSaved();
    // Puts `chart` (the minutes of notched listening) in its own panel above the status line.
    void addNotchChart(QWidget* chart);
    // "Save": writes [Match]; false after telling the user why it failed.
    bool save();

    controls::UcSlider* levelSlider() const { return m_level; }
    QRadioButton* kindOption(MatchKind kind) const { return kind == MatchKind::Band ? m_band : m_tone; }
    lumidot::LCD* display() const { return m_lcd; }
    QLabel* statusLabel() const { return m_status; }

signals:
    // The match was saved; the band-stop follows it.
    void saved();
    void helpClicked();
    // "My Tinnitus": the measures, the diary and the plots.
    void profileClicked();

protected:
    void hideEvent(QHideEvent*) override;
    void keyPressEvent(QKeyEvent*) override;

private:
    void refresh();
    void togglePlay();
    void startCheck();
    void tickCheck();

    PitchMatch& m_match;
    Dialogs& m_dialogs;
    TinnitusStore& m_store;
    lumidot::LCD* m_lcd = nullptr;
    QRadioButton* m_tone = nullptr;
    QRadioButton* m_band = nullptr;
    controls::UcSlider* m_level = nullptr;
    QLabel* m_levelText = nullptr;
    QLabel* m_status = nullptr;
    QTimer m_checkTimer;
    QElapsedTimer m_checkClock;
};

} // namespace sonaveil::player
