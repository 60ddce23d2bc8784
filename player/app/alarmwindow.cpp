#include "player/app/alarmwindow.h"

#include "controls/multibuttonwidget.h"
#include "controls/scombobox.h"
#include "controls/timecontrol.h"
#include "controls/ucsliderwidget.h"
#include "player/app/dialogs.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTime>
#include <QVBoxLayout>

#include <algorithm>
#include <string_view>

namespace sonaveil::player {

using controls::Multibutton;
using controls::SComboBox;
using controls::TimeControl;
using controls::UcSlider;

namespace {

// The alarm files' filter as the dialog shows it, for the translators.
constexpr const char* kShownFilter = QT_TRANSLATE_NOOP(
    "sonaveil::player::AlarmWindow", "All Supported Samples (*.wav, *.mp3, *.ogg, *.wma)|*.wav;*.ogg;*.mp3;*.wma");
static_assert(std::string_view(kShownFilter) == AlarmClock::kFilter);

QCheckBox* lightCheck(const QString& name, const QString& caption, QWidget* parent)
{
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    ToolWindow::lightText(c);
    return c;
}

constexpr int kFileWidth = 420;

} // namespace

AlarmWindow::AlarmWindow(AlarmClock& alarm, Night& night, TinnitusStore& store, Dialogs& dialogs, QWidget* parent)
    : ToolWindow("Alarm", tr("Alarm Clock"), parent)
    , m_alarm(alarm)
    , m_night(night)
    , m_store(store)
    , m_dialogs(dialogs)
{
    QVBoxLayout* layout = column();

    // When and how long.
    auto* when = new Panel(this);
    auto* w = when->setUpLayout<QGridLayout>({12, 10, 12, 10}, 8);
    w->setVerticalSpacing(6);
    w->addWidget(lightLabel(tr("Alarm time"), when, 0, true), 0, 0);
    m_time = new TimeControl(when);
    m_time->setObjectName("TimeControl1");
    m_time->setToolTip(tr("The time of day the alarm goes off (24-hour)"));
    // The alarm goes off on the minute: seconds would be shown and edited for nothing.
    m_time->model().setShowSeconds(false);
    auto* timeRow = new QHBoxLayout;
    timeRow->addWidget(m_time);
    timeRow->addSpacing(16);
    timeRow->addWidget(lightLabel(tr("Play for"), when));
    timeRow->addSpacing(4);
    m_duration = new SComboBox("scombobox1", when);
    m_duration->setFixedWidth(80);
    m_duration->setToolTip(tr("How long the alarm plays when it does not repeat"));
    for (const char* d : AlarmClock::kDurations)
        m_duration->AddItem(d);
    timeRow->addWidget(m_duration);
    timeRow->addSpacing(4);
    timeRow->addWidget(lightLabel(tr("seconds"), when));
    timeRow->addStretch();
    w->addLayout(timeRow, 0, 1);
    m_repeat = lightCheck("Check1", tr("&Repeat alarm continuously"), when);
    m_fade = lightCheck("Check4", tr("&Fade in alarm volume"), when);
    w->addWidget(m_repeat, 1, 1);
    w->addWidget(m_fade, 2, 1);
    w->addWidget(lightLabel(tr("Max Alarm Volume"), when, 0, true), 3, 0);
    auto* volumeRow = new QHBoxLayout;
    m_volume = new UcSlider("hscroll2", when);
    m_volume->setRange(0, 255);
    m_volume->setSmallChange(1);
    m_volume->setLargeChange(16);
    m_volume->setFixedSize(260, 21);
    m_volume->setFocusPolicy(Qt::StrongFocus);
    m_volume->setToolTip(tr("The volume of the alarm sound, and where a fade ends"));
    volumeRow->addWidget(m_volume);
    m_volumeValue = lightLabel("", when);
    m_volumeValue->setMinimumWidth(QFontMetrics(m_volumeValue->font()).horizontalAdvance("2555"));
    volumeRow->addWidget(m_volumeValue);
    volumeRow->addStretch();
    w->addLayout(volumeRow, 3, 1);
    layout->addWidget(when);

    // The sound.
    auto* sound = new Panel(this);
    auto* s = sound->setUpLayout<QVBoxLayout>({12, 10, 12, 10}, 6);
    s->addWidget(lightLabel(tr("Alarm sound"), sound, 0, true));
    m_file = lightLabel("", sound);
    m_file->setObjectName("wavname");
    m_file->setFixedWidth(kFileWidth);
    s->addWidget(m_file);
    auto* soundButtons = new QHBoxLayout;
    soundButtons->setSpacing(6);
    auto* choose = makeButton("cmdChoose", tr("C&hoose Alarm"), 110, sound,
                              tr("Choose the sound file the alarm plays"));
    auto* test = makeButton("cmdTest", tr("&Test Alarm"), 100, sound, tr("Play the alarm sound now at the set volume"));
    auto* stopTest = makeButton("cmdStopTest", tr("Stop T&est"), 100, sound,
                                tr("Stop the test sound (this also switches the alarm off)"));
    auto* reset = makeButton("cmdDefault", tr("Reset &Default Alarm"), 150, sound,
                             tr("Use the program's own alarm sound"));
    soundButtons->addWidget(choose);
    soundButtons->addWidget(test);
    soundButtons->addWidget(stopTest);
    soundButtons->addWidget(reset);
    soundButtons->addStretch();
    s->addLayout(soundButtons);
    layout->addWidget(sound);

    // The sleep timer.
    auto* sleep = new Panel(this);
    auto* sleepOptions = sleep->setUpLayout<QVBoxLayout>({12, 10, 12, 10}, 6);
    sleepOptions->addWidget(lightLabel(tr("Sleep timer (instead of the alarm sound)"), sleep, 0, true));
    m_close = lightCheck("Check2", tr("Close &program when alarm time is reached "), sleep);
    m_shutDown = lightCheck("Check3", tr("&Shutdown computer when alarm time is reached "), sleep);
    // The captions keep their trailing blank; a screen reader is given the words alone.
    for (QCheckBox* c : {m_close, m_shutDown})
        c->setAccessibleName(c->text().remove(u'&').trimmed());
    sleepOptions->addWidget(m_close);
    sleepOptions->addWidget(m_shutDown);
    auto* fadeRow = new QHBoxLayout;
    auto* fadeLabel = lightLabel(tr("Fade out over"), sleep);
    m_fadeOut = new QComboBox(sleep);
    m_fadeOut->setAccessibleName(tr("Fade out time"));
    m_fadeOut->view()->setAccessibleName(tr("Fade out time"));
    m_fadeOut->setObjectName("cboFadeOut");
    m_fadeOut->setToolTip(tr("The masking sounds fall smoothly to silence over this time before the alarm time"));
    for (int minutes : TinnitusSettings::kAlarmFadeChoices)
        m_fadeOut->addItem(minutes == 0 ? tr("off") : tr("%1 minutes").arg(minutes), minutes);
    fadeLabel->setBuddy(m_fadeOut);
    fadeRow->addWidget(fadeLabel);
    fadeRow->addWidget(m_fadeOut);
    fadeRow->addStretch();
    sleepOptions->addLayout(fadeRow);
    layout->addWidget(sleep);

    auto* bottom = new QHBoxLayout;
    auto* stopAlarm = makeButton("cmdStopAlarm", tr("Stop &Alarm"), 100, this, tr("Silence the alarm that is playing"));
    auto* close = makeButton("cmdClose", tr("&Close"), 80, this);
    bottom->addWidget(stopAlarm);
    bottom->addStretch();
    bottom->addWidget(close);
    layout->addLayout(bottom);

    connect(m_time, &TimeControl::Change, this, [this] {
        if (!m_refreshing)
            m_alarm.setTime(m_time->value().toStdString());
    });
    connect(m_duration, &SComboBox::SelectionMade, this, [this](const QString&, int index) {
        m_alarm.setDurationIndex(index - 1);
    });
    connect(m_duration->editBox(), &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_refreshing)
            m_alarm.setDurationText(text.toStdString());
    });
    connect(m_repeat, &QCheckBox::clicked, this, [this](bool on) { m_alarm.setRepeat(on); });
    connect(m_fade, &QCheckBox::clicked, this, [this](bool on) { m_alarm.setFadeIn(on); });
    connect(m_close, &QCheckBox::clicked, this, [this](bool on) { m_alarm.setCloseProgram(on); });
    connect(m_shutDown, &QCheckBox::clicked, this, [this](bool on) { m_alarm.setShutDown(on); });
    connect(m_fadeOut, &QComboBox::activated, this, &AlarmWindow::chooseFadeOut);
    auto forwardVolume = [this] {
        if (!m_refreshing)
            m_alarm.setVolume(m_volume->value());
        m_volumeValue->setText(QString::number(m_volume->value()));
    };
    connect(m_volume, &UcSlider::Change, this, forwardVolume);
    connect(m_volume, &UcSlider::Scroll, this, forwardVolume);
    connect(choose, &Multibutton::Click, this, &AlarmWindow::chooseAlarm);
    connect(test, &Multibutton::Click, this, [this] { m_alarm.testAlarm(); });
    connect(stopTest, &Multibutton::Click, this, [this] { m_alarm.stopTest(); });
    connect(reset, &Multibutton::Click, this, [this] { m_alarm.resetDefaultFile(); });
    connect(stopAlarm, &Multibutton::Click, this, [this] { m_alarm.stopAlarm(); });
    connect(close, &Multibutton::Click, this, &QWidget::hide);

    for (int t = 0; t < AlarmClock::kTimerCount; ++t) {
        QTimer& timer = m_timers[std::size_t(t)];
        const auto which = AlarmClock::Timer(t);
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(AlarmClock::kIntervalMs[std::size_t(t)]);
        const bool singleShot = which == AlarmClock::AlarmCheck || which == AlarmClock::Clock;
        timer.setSingleShot(singleShot);
        connect(&timer, &QTimer::timeout, this, [this, which] {
            m_alarm.tick(which);
            if (m_alarm.timerRunning(which))
                runTimer(which, true);
        });
    }

    m_alarm.hooks().changed = [this] { refresh(); };
    m_alarm.hooks().armingChanged = [this] {
        if (m_alarm.timerRunning(AlarmClock::AlarmCheck))
            scheduleCheck();
        emit armingChanged();
    };
    m_alarm.hooks().timerChanged = [this](AlarmClock::Timer which, bool running) { runTimer(which, running); };
    for (int t = 0; t < AlarmClock::kTimerCount; ++t)
        runTimer(AlarmClock::Timer(t), m_alarm.timerRunning(AlarmClock::Timer(t)));
    refresh();
    setFixedSize(sizeHint());
}

AlarmWindow::~AlarmWindow()
{
    m_alarm.hooks().changed = nullptr;
    m_alarm.hooks().timerChanged = nullptr;
    m_alarm.hooks().armingChanged = nullptr;
}

void AlarmWindow::chooseFadeOut(int index)
{
    const int minutes = m_fadeOut->itemData(index).toInt();
    m_store.setAlarmFadeMinutes(minutes);
    m_night.setAlarmFadeMinutes(minutes);
}

void AlarmWindow::startOnTheSecond(AlarmClock::Timer which)
{
    // The clock and the check run just after each second begins, so the clock line never skips
    // or repeats a second.
    m_timers[std::size_t(which)].start(1000 - QTime::currentTime().msec() + 5);
}

// The alarm check sleeps until the set minute (or the model's longest sleep) rather than waking
// every second; the night in the tray costs no wake-ups for it.
void AlarmWindow::scheduleCheck()
{
    m_timers[std::size_t(AlarmClock::AlarmCheck)].start(m_alarm.checkDelayMs(QTime::currentTime().msec()) + 5);
}

void AlarmWindow::runTimer(AlarmClock::Timer which, bool running)
{
    QTimer& timer = m_timers[std::size_t(which)];
    if (!running || (which == AlarmClock::Clock && !m_clockSeen))
        timer.stop();
    else if (which == AlarmClock::AlarmCheck)
        scheduleCheck();
    else if (which == AlarmClock::Clock)
        startOnTheSecond(which);
    else if (!timer.isActive())
        timer.start();
}

void AlarmWindow::setClockSeen(bool seen)
{
    if (seen == m_clockSeen)
        return;
    m_clockSeen = seen;
    const bool running = m_alarm.timerRunning(AlarmClock::Clock);
    if (seen && running)
        m_alarm.tick(AlarmClock::Clock); // the line is right the moment it shows
    runTimer(AlarmClock::Clock, running);
}

void AlarmWindow::refresh()
{
    m_refreshing = true;
    if (m_time->value() != QString::fromStdString(m_alarm.time()))
        m_time->setValue(QString::fromStdString(m_alarm.time()));
    const int index = m_alarm.durationIndex();
    if (index >= 0 && m_duration->model().selectedIndex() != index + 1)
        m_duration->setListIndex(index + 1);
    if (m_duration->text() != QString::fromStdString(m_alarm.durationText()))
        m_duration->setText(QString::fromStdString(m_alarm.durationText()));
    m_duration->setEnabled(m_alarm.durationEnabled());
    m_repeat->setChecked(m_alarm.repeat());
    m_fade->setChecked(m_alarm.fadeIn());
    m_close->setChecked(m_alarm.closeProgram());
    m_shutDown->setChecked(m_alarm.shutDown());
    m_fadeOut->setCurrentIndex(std::max(0, m_fadeOut->findData(m_night.alarmFadeMinutes())));
    m_volume->setValue(m_alarm.volume());
    m_volumeValue->setText(QString::number(m_alarm.volume()));
    const QString file = QString::fromStdString(m_alarm.file());
    const QString shown = QFontMetrics(m_file->font()).elidedText(file, Qt::ElideMiddle, kFileWidth);
    m_file->setText(shown);
    // The tip shows a name cut short whole; one shown whole is not said twice.
    m_file->setToolTip(shown == file ? QString() : file);
    button("cmdTest")->setVisible(!m_alarm.testing());
    button("cmdStopTest")->setVisible(m_alarm.testing());
    button("cmdStopAlarm")->setEnabled(m_alarm.playing());
    m_refreshing = false;
}

void AlarmWindow::chooseAlarm()
{
    m_alarm.stopChannel();
    FileRequest request{tr("Choose Alarm"), QString::fromStdString(m_alarm.alarmsFolder()), tr(kShownFilter),
                        QString::fromStdString(m_alarm.file())};
    const QString chosen = m_dialogs.openFileName(this, request);
    if (chosen.isEmpty())
        return;
    if (!AlarmClock::storablePath(chosen.toStdString())) {
        m_dialogs.information(this, tr("Sonaveil"),
                              tr("The alarm settings cannot keep a file name with a double quote or a line "
                                 "break in it. Please rename the file or choose another one."));
        return;
    }
    m_alarm.setFile(chosen.toStdString());
}

} // namespace sonaveil::player
