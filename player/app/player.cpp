#include "player/app/player.h"

#include "common/atomicfile.h"
#include "common/freememory.h"
#include "common/programfolder.h"
#include "controls/mastervolume.h"
#include "lumidot/lcd.h"
#include "platform/autostart.h"
#include "platform/launcher.h"
#include "platform/systemvolume.h"
#include "player/app/alarmwindow.h"
#include "player/app/artwork.h"
#include "player/app/dialogs.h"
#include "player/app/equaliserwindow.h"
#include "player/app/mainwindow.h"
#include "player/app/mysoundspage.h"
#include "player/app/notchchart.h"
#include "player/app/optionswindow.h"
#include "player/app/pitchmatchwindow.h"
#include "player/app/playercolours.h"
#include "player/app/presetactions.h"
#include "player/app/splashwindow.h"
#include "player/app/tinnitusprofile.h"
#include "player/app/tray.h"
#include "synth/endless.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QMenu>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTime>
#include <QTimer>

namespace sonaveil::player {

Player::Player(PlayerSetup setup, QObject* parent)
    : QObject(parent)
    , m_setup(std::move(setup))
    , m_notices(*m_setup.dialogs, *m_setup.launcher, [this]() -> QWidget* { return m_main.get(); })
    , m_presets(m_model, userFolderPath().string())
    , m_slots(std::filesystem::path(userFolderPath().string()) / QuickSlots::kListName)
    , m_options(userFolderPath().string(), *m_setup.autostart, m_setup.programPath, &m_model.endless())
    , m_equaliser(m_equaliserOutput, userFolderPath().string())
    , m_alarm(m_binding, userFolderPath().string(), {})
    , m_tinnitus(userFolderPath().string())
    , m_links(m_setup.programFolder, *m_setup.launcher, *m_setup.dialogs)
{
    m_postBox->target = this;
    // The sample files play streamed from disk, never held decoded, and are decoded only once.
    m_binding.setStreamFiles(true);
    m_binding.setDecodedCache(audio::DecodedCache::userFolder());
    m_colours = std::make_unique<PlayerColours>(m_setup.programFolder, userFolder(), *m_setup.dialogs);
    m_splash = std::make_unique<SplashWindow>(artwork::load(m_setup.programFolder, "splash.jpg"));
    m_splash->setWindowIcon(artwork::programIcon(m_setup.programFolder));

    m_splashTimer.setSingleShot(true);
    m_splashTimer.setTimerType(Qt::PreciseTimer);
    m_splashTimer.setInterval(kSplashMs);
    connect(&m_splashTimer, &QTimer::timeout, this, &Player::startUp);

    m_lines.show = [this](int line, const std::string& text) {
        if (auto* lcd = m_main ? m_main->display() : nullptr)
            lcd->SetDisplay(line, QString::fromStdString(text));
    };
    m_equaliser.display = [this](int line, const std::string& text) { m_lines.set(line, text); };
    m_bandStop.lineChanged = [this] { m_lines.refresh(); };
    AlarmClock::Hooks& hooks = m_alarm.hooks();
    hooks.display = [this](int line, const std::string& text) { m_lines.set(line, text); };
    hooks.now = [] {
        const QTime t = QTime::currentTime();
        return TimeOfDay{t.hour(), t.minute(), t.second()};
    };
    // The sleep timer: the player closes the normal way, or the system is asked to power off.
    hooks.closeProgram = [this] { close(); };
    hooks.powerOff = [this](int seconds) { powerOffAsked(seconds); };
    wireNight();
    wireUserSounds();

    m_mixChange.setSingleShot(true);
    m_mixChange.setInterval(0);
    connect(&m_mixChange, &QTimer::timeout, this, &Player::mixChanged);
    // The last mix is kept on disk a few seconds after it last changed, not only at close.
    connect(this, &Player::mixChanged, this, [this] { m_keeper.mixChanged(); });
    m_keeper.failed = [this](const std::string& file, const std::string& why) {
        m_notices.keptMixFailed(file, why, m_shutDown);
    };

    // The desktop session ending closes the player the normal way, so that its files are written.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { close(); });
    connect(qApp, &QCoreApplication::aboutToQuit, this, &Player::shutdown);
}

UserVoices::Post Player::postTo(std::shared_ptr<PostBox> box)
{
    return [box](std::function<void()> work) {
        const std::lock_guard lock(box->mutex);
        if (box->target)
            QMetaObject::invokeMethod(box->target, std::move(work), Qt::QueuedConnection);
    };
}

Player::~Player()
{
    {
        const std::lock_guard lock(m_postBox->mutex);
        m_postBox->target = nullptr;
    }
    // The members then go in the order that keeps every reference valid: the tray icon before
    // its menu, the windows before the models they show.
    shutdown();
}

void Player::wireNight()
{
    Night::Hooks& night = m_night.hooks();
    night.fade = [this](double gain) { applyNightGain(gain); };
    // The sleep's moment: every sound stops; the player, its windows and the alarm stay.
    night.silence = [this] {
        m_mix.stopAll();
        m_userVoices.stopAll();
    };
    night.changed = [this] {
        if (m_tray)
            m_tray->refreshSleep();
        m_lines.refresh();
    };
    // Fine steps while a fade runs; each is followed to the millisecond it is at.
    // While the night does not tick, what it follows of the alarm changes only when the alarm's
    // settings do (AlarmWindow::armingChanged); while it ticks, the alarm's moment passing is
    // followed every second too.
    night.tickingChanged = [this](bool on) {
        if (on) {
            m_nightTimer.start();
            m_alarmFollow.start();
        } else {
            m_nightTimer.stop();
            m_alarmFollow.stop();
        }
    };
    m_nightTimer.setInterval(Night::kTickMs);
    connect(&m_nightTimer, &QTimer::timeout, this, [this] { m_night.tick(m_night.now()); });
    m_alarmFollow.setInterval(1000);
    connect(&m_alarmFollow, &QTimer::timeout, this, &Player::followAlarm);
}

void Player::followAlarm()
{
    if (!m_shutDown)
        m_night.followAlarm(m_night.now(), m_alarm.endsTheNight(), m_alarm.time());
}

bool Player::eventFilter(QObject* watched, QEvent* event)
{
    if (m_main && watched == m_main.get() && m_alarmWindow) {
        if (event->type() == QEvent::Show)
            m_alarmWindow->setClockSeen(true);
        else if (event->type() == QEvent::Hide)
            m_alarmWindow->setClockSeen(false);
    }
    return QObject::eventFilter(watched, event);
}

void Player::powerOffAsked(int seconds)
{
    m_lines.set(2, m_notices.powerOffAsked(seconds, [this] { m_alarm.refreshLine(); }));
}

void Player::applyNightGain(double gain)
{
    // A measure of the tinnitus profile holds the masking sounds silent; it restores the gain.
    if (m_profile && m_profile->testing())
        return;
    // The one place the night's gain reaches the masking sounds: each tick's value is reached
    // in a straight line by the next tick, so the fade follows its curve without steps.
    m_fading.setFade(gain, Night::kTickMs);
}

void Player::prepare()
{
    if (m_main)
        return;
    m_main = std::make_unique<MainWindow>(m_model, m_mix,
                                          m_setup.systemVolume ? m_setup.systemVolume() : nullptr);
    MainWindow* w = m_main.get();
    m_presetActions = std::make_unique<PresetActions>(m_presets, m_slots, *m_setup.dialogs, *w);
    m_links.setOwner(w);
    connect(w, &MainWindow::optionsClicked, this, &Player::showOptions);
    connect(w, &MainWindow::alarmOnClicked, this, [this] { m_alarm.arm(); });
    connect(w, &MainWindow::alarmOffClicked, this, [this] { m_alarm.disarm(); });
    connect(w, &MainWindow::recordClicked, &m_links, &OutsideLinks::record);
    connect(w, &MainWindow::helpClicked, &m_links, &OutsideLinks::help);
    connect(w, &MainWindow::trayClicked, this, &Player::toTray);
    connect(w, &MainWindow::closeClicked, this, &Player::close);

    m_presets.showCurrent = [this](const std::string& text) {
        if (auto* lcd = m_main->display())
            lcd->SetDisplay(4, QString::fromStdString(text));
        m_mixChange.start();
    };
    m_mix.muteMarkChanged = [this](bool marked) {
        if (m_tray)
            m_tray->muteAction()->setChecked(marked);
        m_mixChange.start();
    };
    m_model.mixEdited = [this] {
        // The master reaches the user's sounds as it reaches the built-in ones.
        m_userVoices.masterUpdate();
        m_mixChange.start();
    };
    m_mySoundsPage = new MySoundsPage(m_userSounds, m_userVoices, *m_setup.dialogs);
    w->addMySoundsPage(m_mySoundsPage, m_mySoundsPage->footer());
    connect(m_mySoundsPage, &MySoundsPage::edited, this, [this] { m_mixChange.start(); });
    connect(w, &MainWindow::stopAllClicked, this, [this] { m_userVoices.stopAll(); });

    m_optionsWindow = std::make_unique<OptionsWindow>(m_options, *m_setup.dialogs);
    connect(m_optionsWindow.get(), &OptionsWindow::contactClicked, this,
            [this](const QString& url) { m_links.contact(url, m_optionsWindow.get()); });
    m_pitchWindow = std::make_unique<PitchMatchWindow>(m_pitch, m_tinnitus, *m_setup.dialogs);
    connect(m_pitchWindow.get(), &PitchMatchWindow::saved, this, [this] { m_bandStop.apply(); });
    connect(m_pitchWindow.get(), &PitchMatchWindow::helpClicked, this, [this] { m_links.helpPage("tinnitus.html"); });
    m_notchChart = new NotchChart;
    m_pitchWindow->addNotchChart(m_notchChart);
    m_alarmWindow = std::make_unique<AlarmWindow>(m_alarm, m_night, m_tinnitus, *m_setup.dialogs);
    connect(m_alarmWindow.get(), &AlarmWindow::armingChanged, this, &Player::followAlarm);
    m_alarmWindow->setClockSeen(w->isVisible());
    w->installEventFilter(this);
    m_equaliserWindow = std::make_unique<EqualiserWindow>(m_equaliser, m_bandStop, *m_setup.dialogs);
    connect(w, &MainWindow::alarmConfigClicked, m_alarmWindow.get(), &BorderlessWindow::bringUp);
    connect(w, &MainWindow::equalizerClicked, m_equaliserWindow.get(), &BorderlessWindow::bringUp);
    connect(w, &MainWindow::pitchMatchClicked, m_pitchWindow.get(), &BorderlessWindow::bringUp);
    // Every window takes the program's icon, follows the colour scheme and shows the background
    // picture it chooses.
    for (QWidget* window : std::initializer_list<QWidget*>{m_main.get(), m_optionsWindow.get(), m_alarmWindow.get(),
                                                           m_equaliserWindow.get(), m_pitchWindow.get()}) {
        window->setWindowIcon(m_splash->windowIcon());
        m_colours->attach(window);
    }
    connect(w, &MainWindow::coloursClicked, m_colours.get(), &PlayerColours::showEditor);
    m_profile = std::make_unique<TinnitusProfile>(*this, userFolder(), *m_setup.dialogs);
    connect(m_pitchWindow.get(), &PitchMatchWindow::profileClicked, this, &Player::showTinnitus);
    connect(m_pitchWindow.get(), &PitchMatchWindow::saved, this, [this] {
        m_profile->session().setPitch(m_tinnitus.settings().frequencyHz);
        m_profile->session().recordPitch();
    });
    // The first show lays out and sizes every control; doing it once unseen while the splash
    // shows lets the window come up at once later.
    m_main->setAttribute(Qt::WA_DontShowOnScreen, true);
    m_main->show();
    m_main->hide();
    m_main->setAttribute(Qt::WA_DontShowOnScreen, false);
}

std::filesystem::path Player::programPath() const
{
    return QFile::encodeName(m_setup.programFolder).toStdString();
}

std::filesystem::path Player::userFolderPath() const
{
    return QFile::encodeName(userFolder()).toStdString();
}

QString Player::userFolder() const
{
    return m_setup.userFolder.isEmpty() ? m_setup.programFolder : m_setup.userFolder;
}

QString Player::userPath(const QString& name) const
{
    return QDir(userFolder()).filePath(name);
}

bool Player::trayAvailable() const
{
    return m_setup.trayAvailable ? *m_setup.trayAvailable : QSystemTrayIcon::isSystemTrayAvailable();
}

void Player::launch()
{
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        m_splash->move(area.center() - m_splash->rect().center());
    }
    m_splash->show();
    m_splashTimer.start();
    // The windows are built while the splash shows.
    prepare();
}

void Player::startUp()
{
    if (m_started || m_shutDown)
        return;
    m_started = true;
    prepare();
    lumidot::LCD* lcd = m_main->display();

    // Files half-written when the last session was killed or the power went are of no use.
    const std::filesystem::path folder = userFolderPath();
    for (const char* sub : {"", PresetFiles::kSavesFolder, "presets", "config", "config/colors", "config/alarms"})
        removeStaleTemporaries(folder / sub);
    // A session that ended without closing left its running mix: that is the last mix now.
    m_keeper.recover();

    // Each step runs whether or not the ones before it worked.
    if (lcd)
        lcd->SetDisplay(2, "Alarm:Off");
    m_tray = std::make_unique<Tray>(m_night, m_splash->windowIcon());
    connect(m_tray.get(), &Tray::loadClicked, m_presetActions.get(), &PresetActions::load);
    connect(m_tray.get(), &Tray::muteClicked, this, &Player::toggleMute);
    connect(m_tray.get(), &Tray::quitClicked, this, &Player::close);
    connect(m_tray.get(), &Tray::activated, this, &Player::showMainWindow);
    if (QAction* quit = m_tray->menu()->findChild<QAction*>("Quity")) {
        auto* tinnitus = new QAction(tr("My &Tinnitus…"), m_tray->menu());
        tinnitus->setObjectName("tinnitus");
        m_tray->menu()->insertAction(quit, tinnitus);
        m_tray->menu()->insertSeparator(quit);
        connect(tinnitus, &QAction::triggered, this, &Player::showTinnitus);
    }
    m_presetActions->labelQuickSlots();
    m_options.readSoundCard();
    // The colour scheme: the window's own colours, then "maincol.tmp"; the picture by its flag.
    m_colours->startUp(*m_main);
    // The engine on the saved sound card; the options window lists the devices on the way.
    setupEngine();
    m_model.loadSamples(programPath());
    // The user's own sounds and the days of notched listening, from the data folder.
    m_userSounds.load();
    m_mySoundsPage->refresh();
    m_notchMinutes.load();
    {
        const QDate d = QDate::currentDate();
        m_notchChart->setMinutes(m_notchMinutes.lastDays(std::chrono::year_month_day{
            std::chrono::year{d.year()}, std::chrono::month{unsigned(d.month())}, std::chrono::day{unsigned(d.day())}}));
    }
    // The stored start-up choices, then the window shown, minimised or in the tray by them.
    m_options.readSettings();
    const auto unloaded = unloadedSounds();
    if (const auto stored = m_options.readStartupFile())
        m_options.applyStartupFile(*stored);
    m_optionsWindow->refresh();
    present();
    // The window's picture is decoded now, before the sounds start: what the decoding needs
    // for a moment is then free again for the sounds' buffers, rather than needed beside them.
    if (m_main->isVisible())
        m_main->prepareBackground();
    // Sound 1 on and at once off again, then every volume applied (which clears the Mute mark).
    m_model.setCheck(1, CheckState::Checked);
    m_model.setCheck(1, CheckState::Unchecked);
    m_model.masterUpdate();
    // The alarm clock (its clock writes line 1, its check runs from now on) and the equaliser
    // (its stored state takes effect and line 3 shows it), both from their files.
    m_alarm.load();
    m_equaliser.load();
    followAlarm();
    m_userWatch.start();
    if (lcd)
        lcd->SetDisplay(4, "Current:None");
    m_splash->hide();
    m_notices.soundsNotLoaded(unloaded);
    // The colour editor, loaded unseen.
    m_colours->loadEditor();
    // The last mix, when the user asked for it.
    if (m_options.resumeLastMix() && QFileInfo::exists(userPath(PresetFiles::kLastMixName)))
        m_presets.load(m_presets.lastMixPath());
    warnIfFolderNotWritable();
    m_profile->startUp();
    // From here on the mix is kept on disk as it changes.
    m_keeper.setActive(true);
    if (!m_setup.readyFile.isEmpty())
        writeFileAtomically(QFile::encodeName(m_setup.readyFile).toStdString(), std::to_string(millisecondsSinceProcessStart()));
    // The start-up's passing needs (decoded pictures, kernel designs, files read whole) leave
    // free memory among what stays: given back once the first paint and the first sounds are
    // done, rather than held all night.
    QTimer::singleShot(std::chrono::seconds(2), this, [] { releaseFreeMemory(); });
    emit startUpFinished();
}

std::vector<PlayerNotices::UnloadedSound> Player::unloadedSounds()
{
    std::vector<PlayerNotices::UnloadedSound> unloaded;
    for (const SoundInfo& info : catalogue::sounds()) {
        if (m_model.entry(info.number).sample != 0)
            continue;
        const std::string path = (programPath() / info.file).string();
        std::string reason;
        const auto problem = audio::SafeSoundFile::check(path, &reason);
        if (problem == audio::SafeSoundFile::Problem::None)
            continue; // the engine took no samples at all: nothing wrong with the file
        // With endless sounds on, a built-in sound plays live unless a file of the user's stands
        // in its place.
        const bool live = m_model.endless().enabled() && synth::hasEndless(info.number)
            && m_model.endless().shipped(info.number);
        unloaded.push_back({QCoreApplication::translate(catalogue::kCaptionContext, std::string(info.caption).c_str()).trimmed(),
                            QFile::decodeName(QByteArray::fromStdString(ProgramFolder::shownPath(path).string())),
                            PlayerNotices::soundFileProblem(problem, reason), live});
    }
    return unloaded;
}

void Player::warnIfFolderNotWritable()
{
    std::string why;
    if (folderIsWritable(userFolderPath().string(), &why))
        return;
    m_notices.folderNotWritable(userFolder(), why, this, [this] { return m_shutDown; });
}

void Player::setupEngine()
{
    const int driver = m_options.driver();
    m_engine.setBufferSize(100);
    m_engine.setOutput(audio::kOutputAuto);
    m_engine.setDriver(driver);
    // The options window's load: the device list, last device first.
    m_engine.setOutput(audio::kOutputAuto);
    m_optionsWindow->fillDrivers(m_engine.driverNames());
    m_optionsWindow->setCurrentDriverName(QString::fromStdString(m_engine.driverName(driver)));
    m_engine.init(44100, 32, audio::kInitEnableSystemChannelFx);
    // "tinnitus.ini": the saved match, the band-stop around it when it is switched on, and the
    // alarm's fade choice.
    m_tinnitus.load();
    m_pitchWindow->loadSaved();
    m_bandStop.apply();
    m_night.setAlarmFadeMinutes(m_tinnitus.settings().alarmFadeMinutes);
    m_alarmWindow->refresh();
}

void Player::present()
{
    if (m_setup.startInTray) {
        toTray();
        return;
    }
    if (!QFileInfo::exists(userPath(PlayerOptions::kStartupName))) {
        showMainWindow();
        return;
    }
    switch (m_options.display()) {
    case PlayerOptions::SystemTray:
        toTray();
        break;
    case PlayerOptions::Taskbar:
        // On the task bar only: the window is there, minimised.
        m_main->showMinimized();
        break;
    default:
        showMainWindow();
        break;
    }
}

void Player::shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    m_splashTimer.stop();
    m_nightTimer.stop();
    m_alarmFollow.stop();
    m_userWatch.stop();
    // A measure ends and the night's record with it, while the engine still plays.
    if (m_profile)
        m_profile->shutdown();
    // Every sound stops.
    m_engine.close();
    // No icon is left in the tray.
    if (m_tray)
        m_tray->remove();
    // The mix is saved as the user set it, not as a fade left it.
    applyNightGain(1.0);
    if (m_started) {
        // The sound card, the mix that was playing (the check states and sliders still hold
        // it) and the options window's start-up choices. Nothing is written when the start-up
        // never ran: the files of the last night stay as they are.
        // Whatever cannot be written is told once, without holding up a session that ends.
        auto note = [this](bool ok, const char* file, const std::string& why = {}) {
            m_notices.noteClosingWrite(ok, file, why);
        };
        note(m_colours->writeSnapshot(), "maincol.tmp");
        note(m_options.writeSoundCard(), "scard2.tmp");
        std::string why;
        note(m_keeper.close(&why), PresetFiles::kLastMixName, why);
        note(m_options.writeStartupFile(), "startup.tmp");
        // The alarm's and the equaliser's settings; their timers stop.
        why.clear();
        note(m_alarm.unload(&why), AlarmClock::kSettingsName, why);
        why.clear();
        note(m_equaliser.unload(&why), Equaliser::kStateName, why);
        why.clear();
        note(m_notchMinutes.save(&why), NotchMinutes::kFileName, why);
        why.clear();
        note(m_userSounds.save(&why), UserSounds::kListName, why);
        m_notices.tellClosingFailures();
    }
    for (QWidget* w : std::initializer_list<QWidget*>{m_alarmWindow.get(), m_equaliserWindow.get(),
                                                      m_optionsWindow.get(), m_pitchWindow.get(), m_main.get()})
        if (w)
            w->hide();
    m_splash->hide();
    m_colours->closeEditor();
}

void Player::close()
{
    shutdown();
    emit quitRequested();
}

void Player::toggleMute()
{
    m_mix.toggleMute();
    if (m_tray)
        m_tray->muteAction()->setChecked(m_mix.muteMark());
}

void Player::toTray()
{
    if (trayAvailable()) {
        m_main->hide();
        return;
    }
    // Without a tray a hidden window could not come back: minimised it stays on the task bar.
    m_main->showMinimized();
    if (m_started)
        m_notices.minimisedForNoTray();
}

void Player::showMainWindow()
{
    if (!m_placed) {
        m_placed = true;
        if (QScreen* screen = QGuiApplication::primaryScreen())
            m_main->move(screen->availableGeometry().center() - m_main->rect().center());
    }
    m_main->showNormal();
    m_main->raise();
    m_main->activateWindow();
}

void Player::showTinnitus()
{
    if (m_profile)
        m_profile->showWindow();
}

void Player::showOptions()
{
    if (!m_optionsWindow)
        return;
    m_optionsWindow->refresh();
    m_optionsWindow->bringUp();
}

} // namespace sonaveil::player
