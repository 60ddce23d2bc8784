#include "player/app/tinnitusprofile.h"

#include "controls/mastervolume.h"
#include "player/app/dialogs.h"
#include "player/app/equaliserwindow.h"
#include "player/app/mainwindow.h"
#include "player/app/pitchmatchwindow.h"
#include "player/app/player.h"
#include "player/core/catalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace sonaveil::player {

TinnitusProfile::TinnitusProfile(Player& player, const QString& userFolder, Dialogs& dialogs)
    : m_player(player)
    , m_dialogs(dialogs)
    , m_diary(QDir(userFolder).filePath(DiaryStore::kFileName))
    , m_output(player.engine())
    , m_session(m_output, m_diary)
    , m_nightLog(m_diary)
    , m_reminder(m_diary)
{
    m_session.hooks().testing = [this](bool on) { setTesting(on); };
    m_minute.setInterval(60'000);
    connect(&m_minute, &QTimer::timeout, this, [this] {
        followMix();
        m_nightLog.tick(QDateTime::currentDateTime());
        // A timer does not count the hours a computer sleeps: the reminder is set again by the
        // clock on the wall.
        armReminder();
    });
    m_reminderTimer.setSingleShot(true);
    // A coarse timer may fire a little early, and the reminder would then come twice.
    m_reminderTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_reminderTimer, &QTimer::timeout, this, [this] {
        if (!m_reminder.written(now()))
            offerDiary();
        armReminder();
    });
    connect(&m_player, &Player::mixChanged, this, &TinnitusProfile::followMix);
}

TinnitusProfile::~TinnitusProfile()
{
    m_window.reset();
}

void TinnitusProfile::startUp()
{
    if (!m_opened) {
        QString error;
        m_opened = m_diary.open(&error);
        if (!m_opened)
            m_dialogs.notice(m_player.mainWindow(), tr("Sonaveil"),
                             tr("The tinnitus diary could not be opened (%1): %2. The player works without it; "
                                "nothing is written to the diary this session.")
                                 .arg(QDir::toNativeSeparators(m_diary.file()), error));
    }
    if (!m_opened)
        return;
    m_nightLog.tidy();
    m_minute.start();
    followMix();
    if (m_reminder.dueAtStart(now()))
        offerDiary();
    armReminder();
}

void TinnitusProfile::shutdown()
{
    m_session.cancel();
    m_minute.stop();
    m_reminderTimer.stop();
    if (m_opened)
        m_nightLog.finish(QDateTime::currentDateTime());
}

TinnitusWindow* TinnitusProfile::window()
{
    if (m_window)
        return m_window.get();
    m_window = std::make_unique<TinnitusWindow>(m_session, m_diary, m_dialogs);
    m_window->setWindowIcon(m_player.splash() ? m_player.splash()->windowIcon() : QIcon());
    m_window->systemVolume = [this]() -> std::optional<int> {
        if (auto* main = m_player.mainWindow())
            if (auto* volume = main->systemVolume())
                return volume->value();
        return std::nullopt;
    };
    m_window->masterPosition = [this] { return m_player.model().slider(kMasterSlider); };
    connect(m_window.get(), &TinnitusWindow::pitchMatchClicked, this, [this] {
        if (auto* w = m_player.pitchMatchWindow())
            w->bringUp();
    });
    connect(m_window.get(), &TinnitusWindow::reminderTimeChanged, this, &TinnitusProfile::armReminder);
    connect(m_window.get(), &TinnitusWindow::maskingSoundMade, this, &TinnitusProfile::tryMaskingSound);
    connect(m_window.get(), &TinnitusWindow::maskingSoundKept, this, &TinnitusProfile::keepMaskingSound);
    connect(m_window.get(), &TinnitusWindow::maskingSoundDiscarded, this, &TinnitusProfile::discardMaskingSound);
    connect(m_window.get(), &TinnitusWindow::maskingSoundChange, this, [this] {
        // What the user changes from here is theirs: nothing is put back.
        m_before.reset();
        if (auto* w = m_player.equaliserWindow())
            w->bringUp();
    });
    return m_window.get();
}

void TinnitusProfile::showWindow(TinnitusWindow::Tab tab)
{
    const TinnitusSettings& s = m_player.tinnitus().settings();
    // A pitch counts once the user saved one: the file then holds its [Match].
    m_session.setPitch(QFileInfo::exists(QString::fromStdString(m_player.tinnitus().file().string()))
                           ? std::optional<double>(s.frequencyHz)
                           : std::nullopt);
    TinnitusWindow* w = window();
    w->showTab(tab);
    w->bringUp();
}

void TinnitusProfile::setTesting(bool testing)
{
    if (m_testing == testing)
        return;
    m_testing = testing;
    FadingBinding& fading = m_player.fading();
    if (testing) {
        // The measure has the test voice to itself.
        m_player.pitchMatch().stop();
        fading.setFade(0.0, 300);
    } else {
        fading.setFade(m_player.night().gain(), 300);
    }
    // An alarm due during a measure sounds when it ends; one ringing already is silent meanwhile.
    m_player.alarm().setHeld(testing);
}

std::optional<NightLog::Playing> TinnitusProfile::playing() const
{
    const ChannelModel& model = const_cast<Player&>(m_player).model();
    if (const_cast<Player&>(m_player).mix().muteMark())
        return std::nullopt;
    NightLog::Playing p;
    for (const SoundInfo& info : catalogue::sounds())
        if (model.entry(info.number).on())
            p.sounds.append(QCoreApplication::translate(catalogue::kCaptionContext,
                                                        std::string(info.caption).c_str()).trimmed());
    if (p.sounds.isEmpty())
        return std::nullopt;
    Player& player = const_cast<Player&>(m_player);
    const std::string& name = player.presets().currentName();
    p.mix = name == "None" ? QString() : QString::fromStdString(name);
    if (player.bandStop().on())
        p.notchHz = player.tinnitus().settings().frequencyHz;
    if (const int sleep = player.night().tickedSleep())
        p.sleepTimerMinutes = sleep;
    if (player.alarm().armed())
        p.alarm = QString::fromStdString(player.alarm().time());
    return p;
}

void TinnitusProfile::followMix()
{
    if (m_opened)
        m_nightLog.update(QDateTime::currentDateTime(), playing());
}

QDateTime TinnitusProfile::now() const
{
    return clock ? clock() : QDateTime::currentDateTime();
}

void TinnitusProfile::offerDiary()
{
    const bool morning = DiaryReminder::kindAt(now()) == DiaryEntry::Kind::Morning;
    m_dialogs.notice(m_player.mainWindow(), tr("Sonaveil"),
                     morning ? tr("How is your tinnitus this morning, and how did you sleep? The diary takes a few seconds.")
                             : tr("How was your tinnitus today? The diary takes a few seconds."),
                     tr("Open the diary"), [this] {
                         showWindow(TinnitusWindow::DiaryTab);
                         m_window->offerEntry();
                     });
}

void TinnitusProfile::armReminder()
{
    if (!m_opened)
        return;
    const QDateTime at = now();
    if (const auto next = m_reminder.next(at))
        m_reminderTimer.start(int(std::min<qint64>(at.msecsTo(*next), 24LL * 3600 * 1000)));
    else
        m_reminderTimer.stop();
}

void TinnitusProfile::tryMaskingSound(const MaskingSound& sound)
{
    Equaliser& eq = m_player.equaliser();
    if (!m_before)
        m_before = Before{m_player.presets().current(), eq.bands(), eq.on(), m_player.bandStop().on()};
    // The noise alone at its volume, every other sound off.
    PresetRecord mix = m_before->mix;
    mix.checks.fill(0);
    mix.checks[std::size_t(sound.sound - 1)] = 1;
    const int volumeSlider = catalogue::sound(sound.sound).volumeSlider;
    const auto& order = catalogue::sliderRecordOrder();
    for (std::size_t i = 0; i < order.size(); ++i)
        if (order[i] == volumeSlider)
            mix.sliders[i] = sound.volumePosition;
    mix.applyTo(m_player.model());
    eq.setOn(true);
    for (int b = 0; b < int(sound.equaliser.positions.size()); ++b)
        eq.setPosition(b, sound.equaliser.positions[std::size_t(b)]);
    m_player.bandStop().setOn(sound.notchHz.has_value());
}

void TinnitusProfile::keepMaskingSound()
{
    const std::string problem = m_player.equaliser().savePreset(kMaskingSoundName);
    std::string error;
    const std::string mixFile = m_player.presets().savesFolder() + "/" + kMaskingSoundName + ".svp";
    if (!problem.empty() || !m_player.presets().save(mixFile, &error))
        m_dialogs.information(window(), tr("Sonaveil"),
                              tr("The masking sound could not be kept: %1")
                                  .arg(QString::fromStdString(problem.empty() ? error : problem)));
    m_before.reset();
}

void TinnitusProfile::discardMaskingSound()
{
    if (!m_before)
        return;
    Equaliser& eq = m_player.equaliser();
    m_before->mix.applyTo(m_player.model());
    for (int b = 0; b < int(m_before->equaliser.positions.size()); ++b)
        eq.setPosition(b, m_before->equaliser.positions[std::size_t(b)]);
    eq.setOn(m_before->equaliserOn);
    m_player.bandStop().setOn(m_before->notchOn);
    m_before.reset();
}

} // namespace sonaveil::player
