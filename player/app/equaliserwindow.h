#pragma once

#include "player/app/borderlesswindow.h"
#include "player/equaliser/equaliser.h"
#include "player/tinnitus/bandstop.h"

#include <array>
#include <map>

class QLabel;

namespace sonaveil::controls {
class Multibutton;
class SComboBox;
class UcSlider;
}

namespace sonaveil::player {

class Dialogs;

// The equaliser window frmeffects: ten band sliders vscroll1(0) … (9), the switch check_eq, the
// preset list Combo1 with "<" and ">", the preset buttons, and beside check_eq the switch of the
// band-stop. It shows an Equaliser and a BandStop and forwards every action to them; "Close"
// only hides it.
class EqualiserWindow : public BorderlessWindow {
    Q_OBJECT
public:
    EqualiserWindow(Equaliser& equaliser, BandStop& bandStop, Dialogs& dialogs, QWidget* parent = nullptr);
    ~EqualiserWindow() override;

    // Shows the model's state.
    void refresh();

    controls::UcSlider* band(int index) const { return m_sliders.at(std::size_t(index)); }
    QLabel* gainLabel(int index) const { return m_gains.at(std::size_t(index)); }
    controls::Multibutton* onSwitch() const { return m_switch; }
    controls::Multibutton* notchSwitch() const { return m_notch; }
    controls::SComboBox* presetList() const { return m_combo; }
    controls::Multibutton* button(const QString& name) const;

    // "+6 dB", "0 dB", "−15 dB".
    static QString gainText(int position);
    // "80", "1k", "16k".
    static QString frequencyText(int band);

    // The window's buttons by caption.
    void savePreset();
    void deletePreset();

protected:
    void closeEvent(QCloseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void showEvent(QShowEvent*) override;

private:
    controls::Multibutton* makeButton(const QString& name, const QString& caption, int width, QWidget* parent);

    Equaliser& m_equaliser;
    BandStop& m_bandStop;
    Dialogs& m_dialogs;
    std::array<controls::UcSlider*, Equaliser::kBands> m_sliders{};
    std::array<QLabel*, Equaliser::kBands> m_gains{};
    controls::Multibutton* m_switch = nullptr;
    controls::Multibutton* m_notch = nullptr;
    controls::SComboBox* m_combo = nullptr;
    std::map<QString, controls::Multibutton*> m_buttons;
    std::vector<std::string> m_shownPresets;
    bool m_refreshing = false;
    bool m_placed = false;
};

} // namespace sonaveil::player
