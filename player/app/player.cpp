#include "player/app/player.h"

#include "common/atomicfile.h"
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
#include "player/app/optionswindow.h"
#include "player/app/pitchmatchwindow.h"
#include "controls/multibuttonwidget.h"
#include "player/app/playercolours.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTime>
#include <QUrl>

#include <ctime>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace sonaveil::player {

namespace {

// frmstartup: one picture, no buttons.
class SplashWindow : public QWidget {
public:
    explicit SplashWindow(const QImage& picture)
        : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
        , m_picture(picture.isNull() ? artwork::drawnSplash(480, 240) : picture)
    {
        setObjectName("frmstartup");
        setWindowTitle("Sonaveil");
        setFixedSize(m_picture.size());
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.drawImage(0, 0, m_picture);
    }

private:
    QImage m_picture;
};

} // namespace

qint64 millisecondsSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string content((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // The command name may hold blanks; the fields after it are counted from its closing ')'.
    const auto close = content.rfind(')');
    timespec now{};
    if (close == std::string::npos || clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return -1;
    std::istringstream fields(content.substr(close + 2));
    std::string field;
    // Field 22 (starttime) is the 20th after the command name.
    for (int i = 0; i < 20 && fields >> field; ++i) {
    }
    const long ticks = sysconf(_SC_CLK_TCK);
    if (!fields || ticks <= 0)
        return -1;
    const double started = std::stod(field) / double(ticks);
    const double elapsed = double(now.tv_sec) + double(now.tv_nsec) / 1e9 - started;
    return qint64(elapsed * 1000.0 + 0.5);
}

Player::Player(PlayerSetup setup, QObject* parent)
    : QObject(parent)
    , m_setup(std::move(setup))
    , m_presets(m_model, userFolder().toStdString())
    , m_slots(std::filesystem::path(userFolder().toStdString()) / QuickSlots::kListName)
    , m_options(userFolder().toStdString(), *m_setup.autostart, m_setup.programPath)
    , m_equaliser(m_equaliserOutput, userFolder().toStdString())
    , m_alarm(m_binding, userFolder().toStdString(), {})
{
    m_colours = std::make_unique<PlayerColours>(m_setup.programFolder, userFolder(), *m_setup.dialogs);
    m_splash = std::make_unique<SplashWindow>(artwork::load(m_setup.programFolder, "splash.jpg"));
    m_splash->setWindowIcon(artwork::programIcon(m_setup.programFolder));

    m_splashTimer.setSingleShot(true);
    m_splashTimer.setTimerType(Qt::PreciseTimer);
    m_splashTimer.setInterval(kSplashMs);
    connect(&m_splashTimer, &QTimer::timeout, this, &Player::startUp);

    m_equaliser.display = [this](int line, const std::string& text) { setLine(line, text); };
    AlarmClock::Hooks& hooks = m_alarm.hooks();
    hooks.display = [this](int line, const std::string& text) { setLine(line, text); };
    hooks.now = [] {
        const QTime t = QTime::currentTime();
        return TimeOfDay{t.hour(), t.minute(), t.second()};
    };
    // The sleep timer: the player closes the normal way, or the system is asked to power off.
    hooks.closeProgram = [this] { close(); };
    hooks.powerOff = [this](int seconds) { m_setup.launcher->requestPowerOff(seconds); };

    // Fine steps while a sleep fade runs; the fade is followed to the millisecond it is at.
    m_fadeTimer.setInterval(250);
    connect(&m_fadeTimer, &QTimer::timeout, this, [this] { tickSleep(QDateTime::currentMSecsSinceEpoch()); });
    m_alarmFollow.setInterval(1000);
    connect(&m_alarmFollow, &QTimer::timeout, this, [this] { followAlarm(QDateTime::currentMSecsSinceEpoch()); });

    m_mixChange.setSingleShot(true);
    m_mixChange.setInterval(0);
    connect(&m_mixChange, &QTimer::timeout, this, &Player::mixChanged);

    // The desktop session ending closes the player the normal way, so that its files are written.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { close(); });
    connect(qApp, &QCoreApplication::aboutToQuit, this, &Player::shutdown);
}

Player::~Player()
{
    shutdown();
    // The icon refers to its menu and the windows to the model: gone in that order.
    delete m_tray;
    m_tray = nullptr;
    m_menu.reset();
    m_pitchWindow.reset();
    m_equaliserWindow.reset();
    m_alarmWindow.reset();
    m_optionsWindow.reset();
    m_main.reset();
}

void Player::prepare()
{
    if (m_main)
        return;
    m_main = std::make_unique<MainWindow>(m_model, m_mix,
                                          m_setup.systemVolume ? m_setup.systemVolume() : nullptr);
    const QIcon icon = m_splash->windowIcon();
    m_main->setWindowIcon(icon);

    MainWindow* w = m_main.get();
    connect(w, &MainWindow::saveClicked, this, &Player::save);
    connect(w, &MainWindow::loadClicked, this, &Player::load);
    connect(w, &MainWindow::previousClicked, this, &Player::previous);
    connect(w, &MainWindow::assignClicked, this, &Player::assign);
    connect(w, &MainWindow::quickClicked, this, &Player::quickPreset);
    connect(w, &MainWindow::optionsClicked, this, &Player::showOptions);
    connect(w, &MainWindow::alarmConfigClicked, this, &Player::showAlarm);
    connect(w, &MainWindow::alarmOnClicked, this, &Player::alarmOn);
    connect(w, &MainWindow::alarmOffClicked, this, &Player::alarmOff);
    connect(w, &MainWindow::equalizerClicked, this, &Player::showEqualiser);
    connect(w, &MainWindow::recordClicked, this, &Player::record);
    connect(w, &MainWindow::helpClicked, this, &Player::help);
    connect(w, &MainWindow::trayClicked, this, &Player::toTray);
    connect(w, &MainWindow::closeClicked, this, &Player::close);
    connect(w, &MainWindow::pitchMatchClicked, this, &Player::showPitchMatch);

    m_presets.showCurrent = [this](const std::string& text) {
        if (auto* lcd = m_main->display())
            lcd->SetDisplay(4, QString::fromStdString(text));
        m_mixChange.start();
    };
    m_mix.muteMarkChanged = [this](bool marked) {
        if (m_muteAction)
            m_muteAction->setChecked(marked);
        m_mixChange.start();
    };
    watchMix();

    m_optionsWindow = std::make_unique<OptionsWindow>(m_options, *m_setup.dialogs);
    m_optionsWindow->setWindowIcon(icon);
    connect(m_optionsWindow.get(), &OptionsWindow::contactClicked, this, &Player::contact);
    m_pitchWindow = std::make_unique<PitchMatchWindow>(m_pitch, *m_setup.dialogs, tinnitusFile());
    m_pitchWindow->setWindowIcon(icon);
    connect(m_pitchWindow.get(), &PitchMatchWindow::saved, this, [this] { applyNotch(); });
    connect(m_pitchWindow.get(), &PitchMatchWindow::helpClicked, this, [this] {
        m_setup.launcher->open(QUrl::fromLocalFile(path("help/tinnitus.html")));
    });
    m_alarmWindow = std::make_unique<AlarmWindow>(m_alarm, *m_setup.dialogs);
    m_alarmWindow->setWindowIcon(icon);
    m_equaliserWindow = std::make_unique<EqualiserWindow>(m_equaliser, *m_setup.dialogs);
    m_equaliserWindow->setWindowIcon(icon);
    addTinnitusControls();
    // Every window follows the colour scheme and shows the background picture it chooses.
    m_colours->attach(m_main.get());
    m_colours->attach(m_optionsWindow.get());
    m_colours->attach(m_alarmWindow.get());
    m_colours->attach(m_equaliserWindow.get());
    m_colours->attach(m_pitchWindow.get());
    connect(w, &MainWindow::coloursClicked, m_colours.get(), &PlayerColours::showEditor);
    // The first show lays out and sizes every control; doing it once unseen while the splash
    // shows lets the window come up at once later.
    m_main->setAttribute(Qt::WA_DontShowOnScreen, true);
    m_main->show();
    m_main->hide();
    m_main->setAttribute(Qt::WA_DontShowOnScreen, false);
}

void Player::watchMix()
{
    // The window keeps its controls in step through the model's callbacks; the mix's watchers
    // are told after it.
    auto checkChanged = std::move(m_model.checkChanged);
    m_model.checkChanged = [this, checkChanged](int sound) {
        if (checkChanged)
            checkChanged(sound);
        m_mixChange.start();
    };
    auto sliderChanged = std::move(m_model.sliderChanged);
    m_model.sliderChanged = [this, sliderChanged](int number) {
        if (sliderChanged)
            sliderChanged(number);
        if (number == kMasterSlider)
            m_mixChange.start();
    };
}

QString Player::path(const QString& name) const
{
    return QDir(m_setup.programFolder).filePath(name);
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
    const std::filesystem::path folder = userFolder().toStdString();
    for (const char* sub : {"", PresetFiles::kSavesFolder, "presets", "config", "config/colors", "config/alarms"})
        removeStaleTemporaries(folder / sub);

    // Each step runs whether or not the ones before it worked.
    if (lcd)
        lcd->SetDisplay(2, "Alarm:Off");
    createTray();
    labelQuickSlots();
    m_options.readSoundCard();
    // The colour scheme: the window's own colours, then "maincol.tmp"; the picture by its flag.
    m_colours->startUp(*m_main);
    // The engine on the saved sound card; the options window lists the devices on the way.
    setupEngine();
    m_model.loadSamples(m_setup.programFolder.toStdString());
    // The stored start-up choices, then the window shown, minimised or in the tray by them.
    m_options.readResumeLastMix();
    if (const auto stored = m_options.readStartupFile())
        m_options.applyStartupFile(*stored);
    m_optionsWindow->refresh();
    present();
    // Sound 1 on and at once off again, then every volume applied (which clears the Mute mark).
    m_model.setCheck(1, CheckState::Checked);
    m_model.setCheck(1, CheckState::Unchecked);
    m_model.masterUpdate();
    // The alarm clock (its clock writes line 1, its check runs from now on) and the equaliser
    // (its stored state takes effect and line 3 shows it), both from their files.
    m_alarm.load();
    m_equaliser.load();
    m_alarmFollow.start();
    if (lcd)
        lcd->SetDisplay(4, "Current:None");
    m_splash->hide();
    // The colour editor, loaded unseen.
    m_colours->loadEditor();
    // The last mix, when the user asked for it.
    if (m_options.resumeLastMix() && QFileInfo::exists(userPath(PresetFiles::kLastMixName)))
        m_presets.load(m_presets.lastMixPath());
    warnIfFolderNotWritable();
    writeReadyFile();
    emit startUpFinished();
}

void Player::warnIfFolderNotWritable()
{
    std::string why;
    if (folderIsWritable(userFolder().toStdString(), &why))
        return;
    // Only the reason; the folder is named in the message.
    if (const auto colon = why.rfind(": "); colon != std::string::npos)
        why = why.substr(colon + 2);
    const QString text = QString(kFolderNotWritable).arg(QDir::toNativeSeparators(userFolder()),
                                                         QString::fromStdString(why));
    // After the start-up, so that the player is up and playing while the message waits.
    QTimer::singleShot(0, this, [this, text] {
        if (!m_shutDown)
            m_setup.dialogs->information(m_main.get(), kTitle, text);
    });
}

void Player::setupEngine()
{
    const int driver = m_options.driver();
    m_engine.setBufferSize(100);
    m_engine.setOutput(audio::kOutputAuto);
    m_engine.setDriver(driver);
    // The options window's load: the device list, last device first.
    m_engine.setOutput(audio::kOutputAuto);
    std::vector<std::string> names;
    const int count = m_engine.driverCount();
    for (int d = 0; d < count; ++d)
        names.push_back(m_engine.driverName(d));
    m_optionsWindow->fillDrivers(names);
    m_optionsWindow->setCurrentDriverName(QString::fromStdString(m_engine.driverName(driver)));
    m_engine.init(44100, 32, audio::kInitEnableSystemChannelFx);
    // The saved match and, when it is switched on, the band-stop around it.
    m_pitchWindow->loadSaved();
    applyNotch();
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

void Player::createTray()
{
    m_menu = std::make_unique<QMenu>();
    m_menu->setObjectName("mnutray");
    QAction* load = m_menu->addAction("&Load");
    load->setObjectName("loadm");
    m_menu->addSeparator();
    m_muteAction = m_menu->addAction("&Mute");
    m_muteAction->setObjectName("mut");
    m_muteAction->setCheckable(true);
    m_menu->addSeparator();
    for (int minutes : {30, 60, 90}) {
        QAction* a = m_menu->addAction(QString("Sleep in %1 min").arg(minutes));
        a->setObjectName(QString("sleep%1").arg(minutes));
        a->setCheckable(true);
        a->setToolTip("The sounds fade out over the last 10 minutes, then stop");
        connect(a, &QAction::triggered, this, [this, minutes] { sleepIn(minutes); });
        m_sleepActions[minutes] = a;
    }
    m_cancelSleep = m_menu->addAction("Cancel sleep");
    m_cancelSleep->setObjectName("sleepCancel");
    connect(m_cancelSleep, &QAction::triggered, this, &Player::cancelSleep);
    refreshSleepMenu();
    m_menu->addSeparator();
    QAction* quit = m_menu->addAction("&Quit");
    quit->setObjectName("Quity");
    connect(load, &QAction::triggered, this, &Player::load);
    connect(m_muteAction, &QAction::triggered, this, &Player::toggleMute);
    connect(quit, &QAction::triggered, this, &Player::close);

    m_tray = new QSystemTrayIcon(m_main->windowIcon(), this);
    m_tray->setToolTip("Sonaveil");
    m_tray->setContextMenu(m_menu.get());
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            showMainWindow();
    });
    // Shown even where no tray runs yet: the icon appears once a panel offers one (a panel
    // often starts after the programs of the log-on).
    m_tray->show();
}

void Player::labelQuickSlots()
{
    m_slots.read();
    for (int i = 0; i < QuickSlots::kCount; ++i)
        m_main->setQuickCaption(i, QString::fromStdString(m_slots.caption(i)));
}

void Player::setLine(int line, const std::string& text)
{
    if (line >= 1 && line <= 4)
        m_lineText[std::size_t(line - 1)] = text;
    std::string shown = text;
    if (line == 1) {
        // The sleep time after the clock.
        if (const auto end = m_sleep.endMs())
            shown += " S" + QDateTime::fromMSecsSinceEpoch(*end).toString("HH:mm").toStdString();
    } else if (line == 3) {
        shown = m_tinnitus.equaliserLine(text);
    }
    if (m_main)
        if (auto* lcd = m_main->display())
            lcd->SetDisplay(line, QString::fromStdString(shown));
}

void Player::writeReadyFile()
{
    if (m_setup.readyFile.isEmpty())
        return;
    writeFileAtomically(m_setup.readyFile.toStdString(), std::to_string(millisecondsSinceProcessStart()));
}

void Player::shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    m_splashTimer.stop();
    m_fadeTimer.stop();
    m_alarmFollow.stop();
    // Every sound stops.
    m_engine.close();
    // No icon is left in the tray.
    if (m_tray)
        m_tray->hide();
    // The mix is saved as the user set it, not as a fade left it.
    m_fading.setFade(1.0);
    if (m_started) {
        // The sound card, the mix that was playing (the check states and sliders still hold
        // it) and the options window's start-up choices. Nothing is written when the start-up
        // never ran: the files of the last night stay as they are.
        m_colours->writeSnapshot();
        m_options.writeSoundCard();
        m_presets.save(m_presets.lastMixPath());
        m_options.writeStartupFile();
        // The alarm's and the equaliser's settings; their timers stop.
        m_alarm.unload();
        m_equaliser.unload();
    }
    for (QWidget* w : std::initializer_list<QWidget*>{m_alarmWindow.get(), m_equaliserWindow.get()})
        if (w)
            w->hide();
    if (m_optionsWindow)
        m_optionsWindow->hide();
    if (m_pitchWindow)
        m_pitchWindow->hide();
    if (m_main)
        m_main->hide();
    m_splash->hide();
    m_colours->closeEditor();
}

void Player::close()
{
    shutdown();
    emit quitRequested();
}

void Player::save()
{
    FileRequest request{"Save Preset", m_presets.savesFolder().c_str(), kPresetFilter, {}};
    const QString file = m_setup.dialogs->saveFileName(m_main.get(), request);
    if (file.isEmpty())
        return;
    // Load and Assign list "*.svp" only: a name typed without an extension gets it, or the
    // preset could not be found again.
    const std::string target = PresetFiles::withPresetExtension(file.toStdString());
    if (!m_presets.save(target))
        m_setup.dialogs->information(m_main.get(), kTitle, kSaveProblem);
}

bool Player::loadReporting(const QString& file)
{
    if (m_presets.load(file.toStdString()))
        return true;
    m_setup.dialogs->information(m_main.get(), kTitle, kOpenProblem);
    return false;
}

void Player::load()
{
    FileRequest request{"Load Preset", m_presets.savesFolder().c_str(), kPresetFilter, {}};
    const QString file = m_setup.dialogs->openFileName(m_main.get(), request);
    if (!file.isEmpty())
        loadReporting(file);
}

void Player::previous()
{
    const QString file = QString::fromStdString(m_presets.lastMixPath());
    if (QFileInfo::exists(file))
        loadReporting(file);
}

void Player::quickPreset(int index)
{
    const std::string& caption = m_slots.caption(index);
    if (caption.empty())
        return;
    loadReporting(QString::fromStdString(m_presets.savesFolder() + "/" + caption + ".svp"));
}

void Player::assign()
{
    FileRequest request{"Select the Preset File", m_presets.savesFolder().c_str(), kAssignFilter, m_assignLast};
    const QString file = m_setup.dialogs->openFileName(m_main.get(), request);
    if (file.isEmpty())
        return;
    m_assignLast = file;
    const auto typed = m_setup.dialogs->inputText(m_main.get(), kTitle, kAssignPrompt, QString());
    if (!typed)
        return;
    const QString name = QFileInfo(file).completeBaseName();
    const auto result = m_slots.assign(typed->toStdString(), name.toStdString());
    if (result == QuickSlots::Assign::NotANumber)
        return;
    const auto number = QuickSlots::slotNumber(typed->toStdString());
    m_main->setQuickCaption(*number - 1, name);
    if (result == QuickSlots::Assign::NotStored)
        m_setup.dialogs->information(m_main.get(), kTitle,
                                     "The quick preset could not be stored in \"preset.txt\"; it is kept "
                                     "until the player closes.");
}

void Player::toggleMute()
{
    m_mix.toggleMute();
    if (m_muteAction)
        m_muteAction->setChecked(m_mix.muteMark());
}

void Player::record()
{
    if (!m_setup.launcher->start(path("recorder"), {}, m_setup.programFolder))
        m_setup.dialogs->information(m_main.get(), kTitle, kRecorderMissing);
}

void Player::help()
{
    const QString page = path("help/index.html");
    if (!m_setup.launcher->open(QUrl::fromLocalFile(page)))
        m_setup.dialogs->information(m_main.get(), kTitle, QString(kHelpMissing).arg(QDir::toNativeSeparators(page)));
}

void Player::contact(const QString& url)
{
    if (m_setup.launcher->open(QUrl(url)))
        return;
    QString address = url;
    address.remove(QRegularExpression("^mailto:", QRegularExpression::CaseInsensitiveOption));
    address = address.section('?', 0, 0);
    m_setup.dialogs->information(m_optionsWindow.get(), kTitle, QString(kMailMissing).arg(address));
}

void Player::toTray()
{
    if (trayAvailable())
        m_main->hide();
    else
        m_main->showMinimized(); // without a tray a hidden window could not come back
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

void Player::showAlarm()
{
    if (!m_alarmWindow)
        return;
    m_alarmWindow->show();
    m_alarmWindow->raise();
    m_alarmWindow->activateWindow();
}

void Player::showEqualiser()
{
    if (!m_equaliserWindow)
        return;
    m_equaliserWindow->show();
    m_equaliserWindow->raise();
    m_equaliserWindow->activateWindow();
}

void Player::alarmOn()
{
    m_alarm.arm();
}

void Player::alarmOff()
{
    m_alarm.disarm();
}

void Player::checkalarm()
{
    m_alarm.refreshLine();
}

void Player::showOptions()
{
    if (!m_optionsWindow)
        return;
    m_optionsWindow->refresh();
    m_optionsWindow->show();
    m_optionsWindow->raise();
    m_optionsWindow->activateWindow();
}

QString Player::tinnitusFile() const
{
    return userPath(TinnitusSettings::kFileName);
}

void Player::showPitchMatch()
{
    if (!m_pitchWindow)
        return;
    m_pitchWindow->show();
    m_pitchWindow->raise();
    m_pitchWindow->activateWindow();
}

void Player::applyNotch()
{
    m_tinnitus = TinnitusSettings::read(tinnitusFile().toStdString());
    m_engine.setNotch(m_tinnitus.notchEnabled, float(m_tinnitus.frequencyHz), float(m_tinnitus.notchWidth));
    if (m_notchSwitch)
        m_notchSwitch->setValue(m_tinnitus.notchEnabled);
    if (m_alarmFadeList)
        m_alarmFadeList->setCurrentIndex(std::max(0, m_alarmFadeList->findData(m_tinnitus.alarmFadeMinutes)));
    refreshLines();
}

void Player::refreshLines()
{
    if (!m_lineText[0].empty())
        setLine(1, m_lineText[0]);
    if (!m_lineText[2].empty())
        setLine(3, m_lineText[2]);
}

void Player::addTinnitusControls()
{
    // The band-stop's switch beside the equaliser's.
    m_notchSwitch = makeWindowButton("check_notch", "Notch", 64, m_equaliserWindow.get());
    m_notchSwitch->setCheckBoxMode(true);
    m_notchSwitch->setToolTip("Take a band around your matched pitch out of the whole mix (see Pitch Match)");
    m_equaliserWindow->switchRow()->addWidget(m_notchSwitch);
    connect(m_notchSwitch, &controls::Multibutton::Click, this, [this] { setNotchEnabled(m_notchSwitch->value()); });

    // "Fade out over" with the alarm's close and shut-down options.
    auto* row = new QHBoxLayout;
    auto* label = new QLabel("Fade out over", m_alarmWindow.get());
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(246, 236, 216));
    label->setPalette(pal);
    m_alarmFadeList = new QComboBox(m_alarmWindow.get());
    m_alarmFadeList->setObjectName("cboFadeOut");
    m_alarmFadeList->setToolTip("The masking sounds fall smoothly to silence over this time before the alarm time");
    for (int minutes : TinnitusSettings::kAlarmFadeChoices)
        m_alarmFadeList->addItem(minutes == 0 ? QString("off") : QString("%1 minutes").arg(minutes), minutes);
    label->setBuddy(m_alarmFadeList);
    row->addWidget(label);
    row->addWidget(m_alarmFadeList);
    row->addStretch();
    m_alarmWindow->sleepOptions()->addLayout(row);
    connect(m_alarmFadeList, &QComboBox::activated, this, [this](int index) {
        TinnitusSettings s = TinnitusSettings::read(tinnitusFile().toStdString());
        s.alarmFadeMinutes = m_alarmFadeList->itemData(index).toInt();
        s.writeAlarmFade(tinnitusFile().toStdString());
        m_tinnitus.alarmFadeMinutes = s.alarmFadeMinutes;
        followAlarm(QDateTime::currentMSecsSinceEpoch());
    });
}

void Player::followAlarm(qint64 nowMs)
{
    // The alarm's close and shut-down options fade the masking sounds out before the alarm time.
    const int minutes = m_tinnitus.alarmFadeMinutes;
    if (minutes <= 0 || !m_alarm.armed() || !(m_alarm.closeProgram() || m_alarm.shutDown())) {
        if (m_alarmFadeMinutes)
            setAlarmFade(std::nullopt, 0);
        return;
    }
    // Past the moment the sounds stay silent while the option acts (a power-off comes 30 s
    // later); should nothing happen, they come back after two minutes.
    if (m_alarmFadeMoment && nowMs >= *m_alarmFadeMoment && nowMs < *m_alarmFadeMoment + 120'000)
        return;
    const QTime at = QTime::fromString(QString::fromStdString(m_alarm.time()), "HH:mm:ss");
    if (!at.isValid())
        return;
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(nowMs);
    QDateTime moment(now.date(), at);
    if (moment.toMSecsSinceEpoch() + 1000 <= nowMs)
        moment = moment.addDays(1);
    setAlarmFade(moment.toMSecsSinceEpoch(), minutes);
}

bool Player::setNotchEnabled(bool on)
{
    TinnitusSettings s = TinnitusSettings::read(tinnitusFile().toStdString());
    s.notchEnabled = on;
    const bool written = s.writeNotch(tinnitusFile().toStdString());
    m_tinnitus = s;
    m_engine.setNotch(on, float(s.frequencyHz), float(s.notchWidth));
    if (m_notchSwitch)
        m_notchSwitch->setValue(on);
    refreshLines();
    return written;
}

void Player::setAlarmFade(std::optional<qint64> momentMs, int minutes)
{
    m_alarmFadeMoment = minutes > 0 ? momentMs : std::nullopt;
    m_alarmFadeMinutes = minutes;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    tickSleep(now);
    if (m_alarmFadeMoment)
        m_fadeTimer.start();
}

QAction* Player::sleepAction(int minutes) const
{
    const auto it = m_sleepActions.find(minutes);
    return it == m_sleepActions.end() ? nullptr : it->second;
}

void Player::refreshSleepMenu()
{
    const auto end = m_sleep.endMs();
    // The entry last chosen is ticked while its sleep is set.
    for (const auto& [minutes, action] : m_sleepActions)
        action->setChecked(end && minutes == m_sleepChoice);
    if (m_cancelSleep) {
        m_cancelSleep->setEnabled(end.has_value());
        m_cancelSleep->setText(end ? "Cancel sleep (at " + QDateTime::fromMSecsSinceEpoch(*end).toString("HH:mm") + ")"
                                   : "Cancel sleep");
    }
}

void Player::sleepIn(int minutes)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    m_sleep.start(now, minutes);
    m_sleepChoice = minutes;
    refreshSleepMenu();
    tickSleep(now);
    m_fadeTimer.start();
    refreshLines();
}

void Player::cancelSleep()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    m_sleep.cancel(now);
    refreshSleepMenu();
    tickSleep(now);
    refreshLines();
}

void Player::tickSleep(qint64 nowMs)
{
    if (m_sleep.due(nowMs)) {
        // The set moment: every sound stops; the player, its windows and the alarm stay.
        m_fading.setFade(0.0);
        m_mix.stopAll();
        m_sleep.finish();
        m_fading.setFade(1.0);
        refreshSleepMenu();
        refreshLines();
    } else {
        double gain = m_sleep.gain(nowMs);
        if (m_alarmFadeMoment)
            gain = std::min(gain, FadeOut::gainAt(nowMs, *m_alarmFadeMoment, qint64(m_alarmFadeMinutes) * 60'000));
        m_fading.setFade(gain);
    }
    if (!m_sleep.active() && !m_sleep.fading(nowMs) && !m_alarmFadeMoment)
        m_fadeTimer.stop();
}

} // namespace sonaveil::player
