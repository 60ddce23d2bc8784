#pragma once

#include "player/app/borderlesswindow.h"
#include "player/core/channelmodel.h"
#include "player/core/mixcontrol.h"

#include <QCheckBox>
#include <QImage>
#include <QPoint>
#include <QWidget>

#include <array>
#include <map>

class QLabel;
class QStackedWidget;

namespace sonaveil::controls {
class MasterVolume;
class Multibutton;
class UcSlider;
}
namespace sonaveil::lumidot {
class LCD;
}
namespace sonaveil::platform {
class SystemVolume;
}

namespace sonaveil::player {

// A sound's on/off box. A user's click always ends in on or off, also from the greyed state a
// preset may set.
class SoundCheck : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override;
};

// The player's main window frmmain: the status display, the four sound pages with their check
// boxes and sliders bound to the channel model, the master slider, the system volume bar, the
// step and stop buttons, the preset group and the buttons that open the other windows. The
// window is one of the player's borderless windows.
// It wires its controls to the models and leaves the preset, tray and window actions to its
// owner through signals.
class MainWindow : public BorderlessWindow {
    Q_OBJECT
public:
    static constexpr int kPageCount = 4;

    MainWindow(ChannelModel& model, MixControl& mix, std::unique_ptr<platform::SystemVolume> systemVolume,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    lumidot::LCD* display() const { return m_lcd; }
    void setQuickCaption(int index, const QString& caption);
    QString quickCaption(int index) const;

    // The page of the user's own sounds, shown as page kMySoundsPage beside the built-in ones;
    // `footer` takes the place of the step buttons while it shows.
    static constexpr int kMySoundsPage = kPageCount + 1;
    void addMySoundsPage(QWidget* page, QWidget* footer);

    // Shows sound page 1 … 4 (or the user's own).
    void showPage(int page);
    int page() const { return m_page; }
    static QString pageTitle(int page);

    SoundCheck* check(int sound) const { return m_checks.at(std::size_t(sound - 1)); }
    controls::UcSlider* slider(int number) const;
    controls::MasterVolume* systemVolume() const { return m_system; }

signals:
    void saveClicked();
    void loadClicked();
    void previousClicked();
    void assignClicked();
    void quickClicked(int index);
    void optionsClicked();
    void alarmConfigClicked();
    void alarmOnClicked();
    void alarmOffClicked();
    void equalizerClicked();
    void coloursClicked();
    void recordClicked();
    void helpClicked();
    void trayClicked();
    void closeClicked();
    void pitchMatchClicked();
    // "Stop all" switched off the built-in sounds; the user's own should follow.
    void stopAllClicked();

protected:
    void closeEvent(QCloseEvent*) override;
    void showEvent(QShowEvent*) override;

private:
    QWidget* buildTop();
    QWidget* buildPage(int page);
    QWidget* buildPageBar();
    QWidget* buildStepRow();
    QWidget* buildMasterColumn();
    QWidget* buildPresets();
    controls::UcSlider* makeSlider(int number, QWidget* parent);
    // A sound's caption in the user's language ("White Noise"), and a slider's spoken name
    // ("White Noise volume").
    static QString soundCaption(const SoundInfo& info);
    static QString sliderName(const SliderUse& use);
    void syncCheck(int sound);
    void syncSlider(int number);
    void setKeyboardOrder();

    ChannelModel& m_model;
    MixControl& m_mix;
    lumidot::LCD* m_lcd = nullptr;
    controls::MasterVolume* m_system = nullptr;
    QStackedWidget* m_pages = nullptr;
    std::array<SoundCheck*, kSoundCount> m_checks{};
    std::map<int, controls::UcSlider*> m_sliders;
    std::array<controls::Multibutton*, 10> m_quick{};
    std::array<QString, 10> m_quickNames;
    std::array<controls::Multibutton*, kPageCount> m_pageButtons{};
    int m_page = 1;
    QWidget* m_stepRow = nullptr;
    QWidget* m_myFooter = nullptr;
    QWidget* m_pageBar = nullptr;
    controls::Multibutton* m_myPageButton = nullptr;
};

} // namespace sonaveil::player
