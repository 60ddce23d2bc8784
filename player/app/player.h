#pragma once

#include "audio/engine.h"
#include "player/alarm/alarmclock.h"
#include "player/app/playernotices.h"
#include "player/presets/mixkeeper.h"
#include "player/equaliser/equaliser.h"
#include "player/core/audiobinding.h"
#include "player/core/channelmodel.h"
#include "player/app/outsidelinks.h"
#include "player/core/mixcontrol.h"
#include "player/presets/playeroptions.h"
#include "player/presets/presetfiles.h"
#include "player/tinnitus/bandstop.h"
#include "player/tinnitus/night.h"
#include "player/tinnitus/pitchmatch.h"
#include "player/tinnitus/sleepfade.h"
#include "player/tinnitus/statuslines.h"
#include "player/tinnitus/tinnitusstore.h"
#include "player/mysounds/notchminutes.h"
#include "player/mysounds/usersounds.h"
#include "player/mysounds/uservoices.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class QWidget;

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
class MySoundsPage;
class NotchChart;
class OptionsWindow;
class PitchMatchWindow;
class PlayerColours;
class PresetActions;
class TinnitusProfile;
class Tray;

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
    // The wall clock of the night's timers; empty for the system's.
    std::optional<NightClock> nightClock;
};

// The player program: the engine and the mix, the main window frmmain, the splash frmstartup,
// the other windows, the tray icon and its menu, and the start-up and shutdown sequences; it
// builds the models and the windows and wires them together.
class Player : public QObject {
    Q_OBJECT
public:
    explicit Player(PlayerSetup setup, QObject* parent = nullptr);
    ~Player() override;

    static constexpr int kSplashMs = 500;

    // Shows the splash; its timer (500 ms, once) runs the start-up sequence.
    void launch();
    // Builds the windows (once); launch() does it while the splash shows.
    void prepare();
    // The start-up sequence; every step is attempted, a failing one is skipped silently.
    void startUp();
    // The shutdown sequence: the engine closed, the tray icon removed, "maincol.tmp",
    // "scard2.tmp", "previous.tmp" and "startup.tmp" written, the windows hidden. Runs once.
    void shutdown();
    bool started() const { return m_started; }
    bool shutDown() const { return m_shutDown; }

    // "Mute" of the main window and the tray.
    void toggleMute();
    // The main window to the tray (minimised where there is no tray), and back.
    void toTray();
    void showMainWindow();
    void showOptions();
    // The "My Tinnitus" window (the tray menu, the pitch match window, --tinnitus).
    void showTinnitus();
    // Close and Quit: the shutdown sequence, then the program ends.
    void close();

    audio::Engine& engine() { return m_engine; }
    ChannelModel& model() { return m_model; }
    MixControl& mix() { return m_mix; }
    PresetFiles& presets() { return m_presets; }
    QuickSlots& quickSlots() { return m_slots; }
    PlayerOptions& options() { return m_options; }
    AlarmClock& alarm() { return m_alarm; }
    Equaliser& equaliser() { return m_equaliser; }
    PitchMatch& pitchMatch() { return m_pitch; }
    Night& night() { return m_night; }
    BandStop& bandStop() { return m_bandStop; }
    TinnitusStore& tinnitus() { return m_tinnitus; }
    FadingBinding& fading() { return m_fading; }
    MainWindow* mainWindow() const { return m_main.get(); }
    PresetActions& presetActions() { return *m_presetActions; }
    OptionsWindow* optionsWindow() const { return m_optionsWindow.get(); }
    AlarmWindow* alarmWindow() const { return m_alarmWindow.get(); }
    EqualiserWindow* equaliserWindow() const { return m_equaliserWindow.get(); }
    PitchMatchWindow* pitchMatchWindow() const { return m_pitchWindow.get(); }
    // The colour scheme, its editor and the windows that follow it.
    PlayerColours& colours() { return *m_colours; }
    QWidget* splash() const { return m_splash.get(); }
    OutsideLinks& links() { return m_links; }
    // The user's own sounds, their voices, their page, and the minutes of notched listening.
    UserSounds& userSounds() { return m_userSounds; }
    UserVoices& userVoices() { return m_userVoices; }
    MySoundsPage* mySoundsPage() const { return m_mySoundsPage; }
    NotchMinutes& notchMinutes() { return m_notchMinutes; }
    NotchChart* notchChart() const { return m_notchChart; }
    // Adds a sound file or a folder to My Sounds: "" when added, else why not.
    QString addSound(const QString& path);
    // The name of the track a folder of the user's plays now ("" when none does).
    QString playingTrack() const;
    // Looks at the user's playing sounds and counts notched listening (every kWatchMs).
    void watchUserSounds(int seconds);
    static constexpr int kWatchMs = 2000;

    // The tinnitus profile: its diary, measures and window, from prepare() on.
    TinnitusProfile* profile() const { return m_profile.get(); }
    // The tray icon and its menu, from the start-up on.
    Tray* tray() const { return m_tray.get(); }
    bool trayAvailable() const;

signals:
    // The shutdown sequence has run and the program should end.
    void quitRequested();
    // The start-up sequence has finished.
    void startUpFinished();
    // The mix changed: a sound on or off, a volume, Mute, or the current preset's name. Sent
    // once after a burst of changes (a preset load), from the event loop.
    void mixChanged();
    // Another track of a folder of the user's plays.
    void trackChanged();

private:
    void wireNight();
    // The night follows the alarm's time and sleep options.
    void followAlarm();
    // Sees the main window shown and hidden: its clock line ticks only while it can be seen.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void setupEngine();
    void present();
    void warnIfFolderNotWritable();
    void applyNightGain(double gain);
    void powerOffAsked(int seconds);
    QString userFolder() const;
    // The folders as the system names them: bytes, whatever their encoding.
    std::filesystem::path programPath() const;
    std::filesystem::path userFolderPath() const;
    // The sounds whose files could not be loaded, and why.
    std::vector<PlayerNotices::UnloadedSound> unloadedSounds();
    QString userPath(const QString& name) const;
    void wireUserSounds();
    bool audible() const;

    PlayerSetup m_setup;
    PlayerNotices m_notices;
    audio::Engine m_engine;
    EngineBinding m_binding{m_engine};
    // The masking sounds reach the engine through the night's fade.
    FadingBinding m_fading{m_binding};
    ChannelModel m_model{m_fading, ChannelModel::Making::OnWorker};
    MixControl m_mix{m_model};
    UserSounds m_userSounds{userFolder().toStdString()};
    // Where other threads hand work to this one, for as long as the player lives.
    struct PostBox {
        std::mutex mutex;
        QObject* target = nullptr;
    };
    std::shared_ptr<PostBox> m_postBox = std::make_shared<PostBox>();
    static UserVoices::Post postTo(std::shared_ptr<PostBox> box);
    UserVoices m_userVoices{m_userSounds, m_fading, [this] { return m_model.slider(kMasterSlider); },
                            postTo(m_postBox)};
    NotchMinutes m_notchMinutes{userFolder().toStdString()};
    PresetFiles m_presets;
    MixKeeper m_keeper{m_presets};
    QuickSlots m_slots;
    PlayerOptions m_options;
    EngineEqualiserOutput m_equaliserOutput{m_engine};
    Equaliser m_equaliser;
    AlarmClock m_alarm;
    TinnitusStore m_tinnitus;
    EngineNotchOutput m_notchOutput{m_engine};
    BandStop m_bandStop{m_notchOutput, m_tinnitus};
    EngineToneOutput m_toneOutput{m_engine};
    PitchMatch m_pitch{m_toneOutput};
    Night m_night{m_setup.nightClock.value_or(NightClock::system())};
    StatusLines m_lines{m_night, m_bandStop};
    std::unique_ptr<PlayerColours> m_colours;
    std::unique_ptr<QWidget> m_splash;
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<PresetActions> m_presetActions;
    std::unique_ptr<OptionsWindow> m_optionsWindow;
    std::unique_ptr<AlarmWindow> m_alarmWindow;
    std::unique_ptr<EqualiserWindow> m_equaliserWindow;
    std::unique_ptr<PitchMatchWindow> m_pitchWindow;
    OutsideLinks m_links;
    std::unique_ptr<TinnitusProfile> m_profile;
    std::unique_ptr<Tray> m_tray;
    QTimer m_splashTimer;
    QTimer m_nightTimer;
    QTimer m_alarmFollow;
    QTimer m_mixChange;
    QTimer m_userWatch;
    MySoundsPage* m_mySoundsPage = nullptr; // on the main window
    NotchChart* m_notchChart = nullptr;     // on the pitch-match window
    QString m_lastTrack;
    int m_notchSecondsUnsaved = 0;
    bool m_started = false;
    bool m_shutDown = false;
    bool m_placed = false;
};

} // namespace sonaveil::player
