#pragma once

#include "player/app/borderlesswindow.h"
#include "player/tinnitus/pitchmatch.h"
#include "player/tinnitus/tinnitusstore.h"

#include <QElapsedTimer>
#include <QTimer>

#include <map>

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
class PitchMatchWindow : public BorderlessWindow {
    Q_OBJECT
public:
    PitchMatchWindow(PitchMatch& match, TinnitusStore& store, Dialogs& dialogs, QWidget* parent = nullptr);
    ~PitchMatchWindow() override;

    // Takes the stored match into the model (at start-up).
    void loadSaved();
    // "Save": writes [Match]; false after telling the user why it failed.
    bool save();

    controls::Multibutton* button(const QString& name) const;
    controls::UcSlider* levelSlider() const { return m_level; }
    QRadioButton* kindOption(MatchKind kind) const { return kind == MatchKind::Band ? m_band : m_tone; }
    lumidot::LCD* display() const { return m_lcd; }
    QLabel* statusLabel() const { return m_status; }

signals:
    // The match was saved; the band-stop follows it.
    void saved();
    void helpClicked();

protected:
    void hideEvent(QHideEvent*) override;
    void showEvent(QShowEvent*) override;
    void closeEvent(QCloseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;

private:
    controls::Multibutton* makeButton(const QString& name, const QString& caption, int width, QWidget* parent);
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
    std::map<QString, controls::Multibutton*> m_buttons;
    QTimer m_checkTimer;
    QElapsedTimer m_checkClock;
    bool m_placed = false;
};

} // namespace sonaveil::player
