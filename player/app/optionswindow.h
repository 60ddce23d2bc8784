#pragma once

#include "player/app/borderlesswindow.h"
#include "player/presets/playeroptions.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <array>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;

namespace sonaveil::controls {
class Multibutton;
}

namespace sonaveil::player {

class Dialogs;

// The options window FRMOPTIONS ("Program Options"): the start-up presentation, launching at
// log-on, resuming the last mix, and the sound card. It shows a PlayerOptions and forwards the
// user's choices to it; "Close" only hides it.
class OptionsWindow : public BorderlessWindow {
    Q_OBJECT
public:
    OptionsWindow(PlayerOptions& options, Dialogs& dialogs, QWidget* parent = nullptr);

    // The window's load step: the driver names, last driver first (index = driver number).
    void fillDrivers(const std::vector<std::string>& names);
    // "Current Soundcard: " followed by the name.
    void setCurrentDriverName(const QString& name);
    // Shows the options' values without running their actions.
    void refresh();

    // "General Options" (0) or "Soundcard" (1).
    void showPanel(int panel);
    int panel() const { return m_panel; }

    QRadioButton* displayOption(int index) const { return m_display.at(std::size_t(index)); }
    QCheckBox* startupCheck() const { return m_startup; }
    QCheckBox* resumeCheck() const { return m_resume; }
    QComboBox* driverList() const { return m_combo; }
    QLabel* driverLabel() const { return m_label4; }
    controls::Multibutton* button(const QString& name) const;

    static constexpr const char* kContactAddress = "mailto:support@sonaveil.org?subject=Sonaveil";

signals:
    // "Contact Us": the owner opens the mail link.
    void contactClicked(const QString& url);

protected:
    void closeEvent(QCloseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void showEvent(QShowEvent*) override;

private:
    controls::Multibutton* makeButton(const QString& name, const QString& caption, int width, QWidget* parent);
    void select();

    PlayerOptions& m_options;
    Dialogs& m_dialogs;
    std::array<QRadioButton*, 3> m_display{};
    QCheckBox* m_startup = nullptr;
    QCheckBox* m_resume = nullptr;
    QComboBox* m_combo = nullptr;
    QLabel* m_label4 = nullptr;
    QWidget* m_general = nullptr;
    QWidget* m_soundcard = nullptr;
    std::vector<std::pair<QString, controls::Multibutton*>> m_buttons;
    int m_panel = 0;
    bool m_placed = false;
};

} // namespace sonaveil::player
