#pragma once

#include "player/app/toolwindow.h"
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
// log-on, resuming the last mix, endless sounds, and the sound card. It shows a PlayerOptions and forwards the
// user's choices to it; "Close" only hides it.
class OptionsWindow : public ToolWindow {
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
    QCheckBox* endlessCheck() const { return m_endless; }
    QComboBox* driverList() const { return m_combo; }
    QLabel* driverLabel() const { return m_label4; }

    static constexpr const char* kContactAddress = "mailto:support@sonaveil.org?subject=Sonaveil";

signals:
    // "Contact Us": the owner opens the mail link.
    void contactClicked(const QString& url);

private:
    void select();
    void changeLaunchAtLogOn(bool on);

    PlayerOptions& m_options;
    Dialogs& m_dialogs;
    std::array<QRadioButton*, 3> m_display{};
    QCheckBox* m_startup = nullptr;
    QCheckBox* m_resume = nullptr;
    QCheckBox* m_endless = nullptr;
    QComboBox* m_combo = nullptr;
    QLabel* m_label4 = nullptr;
    Panel* m_general = nullptr;
    Panel* m_soundcard = nullptr;
    int m_panel = 0;
};

} // namespace sonaveil::player
