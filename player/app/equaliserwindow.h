#pragma once

#include "player/app/borderlesswindow.h"
#include "player/equaliser/equaliser.h"

#include <array>
#include <map>

class QHBoxLayout;
class QLabel;

namespace sonaveil::controls {
class Multibutton;
class SComboBox;
class UcSlider;
}

namespace sonaveil::player {

class Dialogs;

// The equaliser window frmeffects: ten band sliders vscroll1(0) … (9), the switch check_eq, the
// preset list Combo1 with "<" and ">", and the preset buttons. It shows an Equaliser and
// forwards every action to it; "Close" only hides it.
class EqualiserWindow : public BorderlessWindow {
    Q_OBJECT
public:
    EqualiserWindow(Equaliser& equaliser, Dialogs& dialogs, QWidget* parent = nullptr);
    ~EqualiserWindow() override;

    // Shows the model's state.
    void refresh();

    controls::UcSlider* band(int index) const { return m_sliders.at(std::size_t(index)); }
    QLabel* gainLabel(int index) const { return m_gains.at(std::size_t(index)); }
    controls::Multibutton* onSwitch() const { return m_switch; }
    controls::SComboBox* presetList() const { return m_combo; }
    controls::Multibutton* button(const QString& name) const;
    // The row of the switch, for controls that belong beside it.
    QHBoxLayout* switchRow() const { return m_switchRow; }

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
    Dialogs& m_dialogs;
    std::array<controls::UcSlider*, Equaliser::kBands> m_sliders{};
    std::array<QLabel*, Equaliser::kBands> m_gains{};
    controls::Multibutton* m_switch = nullptr;
    controls::SComboBox* m_combo = nullptr;
    QHBoxLayout* m_switchRow = nullptr;
    std::map<QString, controls::Multibutton*> m_buttons;
    std::vector<std::string> m_shownPresets;
    bool m_refreshing = false;
    bool m_placed = false;
};

} // namespace sonaveil::player
