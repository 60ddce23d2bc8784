#pragma once

#include "audio/engine.h"
#include "player/alarm/alarmclock.h"
#include "player/equaliser/equaliser.h"
#include "player/core/audiobinding.h"
#include "player/core/channelmodel.h"
#include "player/core/mixcontrol.h"
#include "player/presets/playeroptions.h"
#include "player/presets/presetfiles.h"
#include "player/tinnitus/pitchmatch.h"
#include "player/tinnitus/sleepfade.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace sonaveil::controls {
class Multibutton;
}
namespace sonaveil::platform {
class Autostart;
class Launcher;
class SystemVolume;
}

namespace sonaveil::player {

class AlarmWindow;
class Dialogs;
class EqualiserWindow;
class MainWindow;
class OptionsWindow;
class PitchMatchWindow;
class PlayerColours;

// What the player runs with. The program passes the real services; tests pass a temporary
// program folder and fakes.
struct PlayerSetup {
    // The programs and the files shipped with them: samples, pictures, help.
    QString programFolder;
    // The user's files: presets, state files, schemes; empty for the program folder.
    QString userFolder;
    // The program's full path, for the run-at-log-on entry.
    QString programPath;
    Dialogs* dialogs = nullptr;
    platform::Launcher* launcher = nullptr;
    platform::Autostart* autostart = nullptr;
    // The system volume the bar follows; empty for the default sound sink.
    std::function<std::unique_ptr<platform::SystemVolume>()> systemVolume;
    // Whether the desktop has a tray; empty to ask the desktop.
    std::optional<bool> trayAvailable;
    // When set, this file receives the milliseconds since the process started once the start-up
    // sequence has finished.
    QString readyFile;
    // Start hidden in the tray whatever the stored start-up choice (the command line's --tray).
    bool startInTray = false;
};

// The player program: the engine and the mix, the main window frmmain, the splash frmstartup,
// the options window, the tray icon and its menu, the start-up and shutdown sequences, and the
// actions of the main window's buttons.
class Player : public QObject {
    Q_OBJECT
public:
    explicit Player(PlayerSetup setup, QObject* parent = nullptr);
    ~Player() override;

    static constexpr int kSplashMs = 500;

    // Shows the splash; its timer (500 ms, once) runs the start-up sequence.
    void launch();
    // Builds the main and options windows (once); launch() does it while the splash shows.
    void prepare();
    // The start-up sequence; every step is attempted, a failing one is skipped silently.
    void startUp();
    // The shutdown sequence: the engine closed, the tray icon removed, "maincol.tmp",
    // "scard2.tmp", "previous.tmp" and "startup.tmp" written, the windows hidden. Runs once.
    void shutdown();
    bool started() const { return m_started; }
    bool shutDown() const { return m_shutDown; }

    // The main window's actions.
    void save();
    void load();
    void previous();
    void assign();
    void quickPreset(int index);
    void toggleMute();
    void record();
    void help();
    void contact(const QString& url);
    void toTray();
    void showMainWindow();
    void showOptions();
    void showAlarm();
    void showEqualiser();
    // "Alarm On" and "Alarm Off".
    void alarmOn();
    void alarmOff();
    // Line 2 of the status display from the alarm's state.
    void checkalarm();
    void showPitchMatch();
    // "Sleep in N min" (tray): the mix fades out over the last ten minutes, then every sound
    // stops; the player keeps running and the alarm is left as it is. "Cancel sleep" brings the
    // mix back.
    void sleepIn(int minutes);
    void cancelSleep();
    // The sleep fade at a moment (milliseconds since the epoch); the fade timer calls it.
    void tickSleep(qint64 nowMs);
    // The band-stop as "tinnitus.ini" sets it: on or off, centred on the saved match.
    void applyNotch();
    // Switches the band-stop and keeps the choice in "tinnitus.ini"; false when it cannot be
    // written (the band-stop follows the choice all the same).
    bool setNotchEnabled(bool on);
    // A fade of the masking sounds ending at a moment (milliseconds since the epoch) over
    // `minutes`, for the alarm's close and shut-down options; nothing or 0 minutes for none.
    void setAlarmFade(std::optional<qint64> momentMs, int minutes);
    // Follows the alarm's time and its close and shut-down options for the "Fade out over"
    // choice (once a second).
    void followAlarm(qint64 nowMs);
    controls::Multibutton* notchSwitch() const { return m_notchSwitch; }
    QComboBox* alarmFadeList() const { return m_alarmFadeList; }
    // Close and Quit: the shutdown sequence, then the program ends.
    void close();

    audio::Engine& engine() { return m_engine; }
    ChannelModel& model() { return m_model; }
    MixControl& mix() { return m_mix; }
    PresetFiles& presets() { return m_presets; }
    QuickSlots& quickSlots() { return m_slots; }
    PlayerOptions& options() { return m_options; }
    MainWindow* mainWindow() const { return m_main.get(); }
    OptionsWindow* optionsWindow() const { return m_optionsWindow.get(); }
    AlarmClock& alarm() { return m_alarm; }
    Equaliser& equaliser() { return m_equaliser; }
    AlarmWindow* alarmWindow() const { return m_alarmWindow.get(); }
    EqualiserWindow* equaliserWindow() const { return m_equaliserWindow.get(); }
    PitchMatchWindow* pitchMatchWindow() const { return m_pitchWindow.get(); }
    PitchMatch& pitchMatch() { return m_pitch; }
    SleepTimer& sleepTimer() { return m_sleep; }
    FadingBinding& fading() { return m_fading; }
    QAction* sleepAction(int minutes) const;
    QAction* cancelSleepAction() const { return m_cancelSleep; }
    QString tinnitusFile() const;
    // The colour scheme, its editor and the windows that follow it.
    PlayerColours& colours() { return *m_colours; }
    QWidget* splash() const { return m_splash.get(); }
    QSystemTrayIcon* trayIcon() const { return m_tray; }
    QMenu* trayMenu() const { return m_menu.get(); }
    QAction* muteAction() const { return m_muteAction; }
    bool trayAvailable() const;

    static constexpr const char* kTitle = "Sonaveil";
    static constexpr const char* kPresetFilter = "Sonaveil Files (*.svp)|*.svp";
    static constexpr const char* kAssignFilter = "Sonaveil Files (*.svp)| *.svp";
    static constexpr const char* kAssignPrompt = "Please Enter a Preset Number between 1 and 10 both inclusive ";
    static constexpr const char* kOpenProblem = "There was a problem opening this file!";
    static constexpr const char* kSaveProblem = "There was a problem saving this file!";
    static constexpr const char* kRecorderMissing = "The recorder could not be found. Please re-install the program.";

    static constexpr const char* kFolderNotWritable =
        "Sonaveil cannot write to its folder \"%1\" (%2).\n\nThe mix, the options and the quick "
        "presets of this session will not be kept when Sonaveil closes. Make the folder writable, "
        "or install Sonaveil where you can write (\"make install\").";
    static constexpr const char* kHelpMissing =
        "There is no program on this desktop to show the help with. The help is the file \"%1\".";
    static constexpr const char* kMailMissing =
        "There is no e-mail program on this desktop to write to us with. Our address is %1.";

signals:
    // The shutdown sequence has run and the program should end.
    void quitRequested();
    // The start-up sequence has finished.
    void startUpFinished();
    // The mix changed: a sound on or off, a volume, Mute, or the current preset's name. Sent
    // once after a burst of changes (a preset load), from the event loop.
    void mixChanged();

private:
    void createTray();
    void labelQuickSlots();
    void setupEngine();
    void present();
    void writeReadyFile();
    void setLine(int line, const std::string& text);
    void refreshSleepMenu();
    void refreshLines();
    void addTinnitusControls();
    QString path(const QString& name) const;
    QString userFolder() const;
    QString userPath(const QString& name) const;
    bool loadReporting(const QString& file);

    PlayerSetup m_setup;
    audio::Engine m_engine;
    EngineBinding m_binding{m_engine};
    // The masking sounds reach the engine through the sleep fade.
    FadingBinding m_fading{m_binding};
    ChannelModel m_model{m_fading};
    MixControl m_mix{m_model};
    PresetFiles m_presets;
    QuickSlots m_slots;
    PlayerOptions m_options;
    EngineEqualiserOutput m_equaliserOutput{m_engine};
    Equaliser m_equaliser;
    AlarmClock m_alarm;
    std::unique_ptr<QWidget> m_splash;
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<OptionsWindow> m_optionsWindow;
    std::unique_ptr<AlarmWindow> m_alarmWindow;
    std::unique_ptr<EqualiserWindow> m_equaliserWindow;
    EngineToneOutput m_toneOutput{m_engine};
    PitchMatch m_pitch{m_toneOutput};
    std::unique_ptr<PitchMatchWindow> m_pitchWindow;
    SleepTimer m_sleep;
    QTimer m_fadeTimer;
    QTimer m_alarmFollow;
    std::map<int, QAction*> m_sleepActions;
    QAction* m_cancelSleep = nullptr;
    int m_sleepChoice = 0;
    std::optional<qint64> m_alarmFadeMoment;
    int m_alarmFadeMinutes = 0;
    TinnitusSettings m_tinnitus;
    controls::Multibutton* m_notchSwitch = nullptr;
    QComboBox* m_alarmFadeList = nullptr;
    // The texts the display's owners last gave, before the notch and sleep marks.
    std::array<std::string, 4> m_lineText;
    std::unique_ptr<PlayerColours> m_colours;
    std::unique_ptr<QMenu> m_menu;
    QSystemTrayIcon* m_tray = nullptr;
    QAction* m_muteAction = nullptr;
    QTimer m_splashTimer;
    void watchMix();
    void warnIfFolderNotWritable();

    QTimer m_mixChange;
    QString m_assignLast;
    bool m_started = false;
    bool m_shutDown = false;
    bool m_placed = false;
};

// Milliseconds since this process started, from the kernel's record of its start.
qint64 millisecondsSinceProcessStart();

} // namespace sonaveil::player
