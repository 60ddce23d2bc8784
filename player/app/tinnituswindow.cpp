#include "player/app/tinnituswindow.h"

#include "player/app/dialogs.h"
#include "player/app/profileplots.h"
#include "player/app/tinnitustext.h"
#include "controls/windowaccessible.h"

#include <QCheckBox>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace sonaveil::player {

using tinnitustext::dbText;
using tinnitustext::earText;
using tinnitustext::hzText;

TinnitusWindow::TinnitusWindow(ProfileSession& session, DiaryStore& diary, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_session(session)
    , m_diary(diary)
    , m_reminder(diary)
    , m_dialogs(dialogs)
{
    setObjectName("frmTinnitus");
    setWindowTitle(tr("My Tinnitus"));
    controls::setWindowRole(this, QAccessible::Dialog);
    auto* layout = new QVBoxLayout(this);
    auto* selfHelp = new QLabel(tr("These measures and this diary help you follow your own tinnitus; they are "
                                   "self-help, not a diagnosis."),
                                this);
    selfHelp->setObjectName("lblSelfHelp");
    selfHelp->setWordWrap(true);
    layout->addWidget(selfHelp);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName("tabs");
    m_tabs->setAccessibleName(tr("My Tinnitus"));
    // The tab bar takes the focus and speaks for the pages.
    m_tabs->setFocusPolicy(Qt::NoFocus);
    m_tabs->addTab(buildMeasures(), tr("&Measures"));
    m_tabs->addTab(buildDiary(), tr("&Diary"));
    QString why;
    m_charts = ProfilePlots::make(m_tabs, &why);
    if (m_charts) {
        m_tabs->addTab(m_charts, tr("&Plots"));
    } else {
        auto* missing = new QLabel(tr("The plots cannot be shown: %1").arg(why), m_tabs);
        missing->setObjectName("lblNoPlots");
        missing->setWordWrap(true);
        missing->setAlignment(Qt::AlignCenter);
        m_tabs->addTab(missing, tr("&Plots"));
    }
    m_tabs->addTab(buildReport(), tr("&Report"));
    layout->addWidget(m_tabs, 1);

    m_status = new QLabel(this);
    m_status->setObjectName("lblStatus");
    m_status->setWordWrap(true);
    m_status->setAccessibleName(tr("Status"));
    layout->addWidget(m_status);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    auto* close = makeButton("cmdClose", tr("&Close"), this);
    bottom->addWidget(close);
    layout->addLayout(bottom);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    m_tick.setInterval(50);
    connect(&m_tick, &QTimer::timeout, this, [this] {
        m_session.tick();
        // The clock of residual inhibition counts on screen.
        if (m_session.running() == ProfileSession::Measure::Inhibition)
            refreshMeasure();
    });
    m_session.changed = [this] { refreshMeasure(); };
    m_session.resultKept = [this](bool kept) {
        if (!kept)
            m_dialogs.information(this, tr("Sonaveil"),
                                  tr("The result could not be kept in the diary: %1").arg(m_session.lastError()));
        reload();
    };
    refreshPitch();
    refreshMeasure();
    resize(760, 640);
}

TinnitusWindow::~TinnitusWindow()
{
    m_session.changed = nullptr;
    m_session.resultKept = nullptr;
    m_session.cancel();
}

QPushButton* TinnitusWindow::makeButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QPushButton* TinnitusWindow::button(const QString& name) const
{
    return findChild<QPushButton*>(name);
}

QWidget* TinnitusWindow::buildMeasures()
{
    auto* page = new QWidget(m_tabs);
    auto* v = new QVBoxLayout(page);
    m_volume = new QLabel(page);
    m_volume->setObjectName("lblVolume");
    m_volume->setWordWrap(true);
    v->addWidget(m_volume);
    auto* pitchRow = new QHBoxLayout;
    m_pitch = new QLabel(page);
    m_pitch->setObjectName("lblPitch");
    pitchRow->addWidget(m_pitch, 1);
    auto* pitchButton = makeButton("cmdPitchMatch", tr("Pitch ma&tch…"), page);
    pitchButton->setToolTip(tr("Find the pitch of your tinnitus first; the other measures use it"));
    pitchRow->addWidget(pitchButton);
    connect(pitchButton, &QPushButton::clicked, this, &TinnitusWindow::pitchMatchClicked);
    v->addLayout(pitchRow);

    auto* start = new QGroupBox(tr("Start a measure"), page);
    auto* g = new QGridLayout(start);
    struct Item {
        const char* name;
        const char* caption;
        const char* text;
        ProfileSession::Measure measure;
    };
    const Item items[] = {
        {"cmdHearing", QT_TR_NOOP("&Hearing check"),
         QT_TR_NOOP("With headphones: press \"I hear it\" whenever you hear a tone, in each ear, at eleven pitches."),
         ProfileSession::Measure::Hearing},
        {"cmdLoudness", QT_TR_NOOP("&Loudness match"),
         QT_TR_NOOP("Make a tone at your tinnitus pitch as loud as your tinnitus."), ProfileSession::Measure::Loudness},
        {"cmdMasking", QT_TR_NOOP("Masking le&vel"),
         QT_TR_NOOP("Raise a noise in 1 dB steps until it just covers your tinnitus."), ProfileSession::Measure::Masking},
        {"cmdInhibition", QT_TR_NOOP("Residual &inhibition"),
         QT_TR_NOOP("A minute of that noise 10 dB louder, then tell how long your tinnitus stays quieter."),
         ProfileSession::Measure::Inhibition},
    };
    int row = 0;
    for (const Item& item : items) {
        auto* b = makeButton(item.name, tr(item.caption), start);
        auto* text = new QLabel(tr(item.text), start);
        text->setWordWrap(true);
        b->setToolTip(tr(item.text));
        g->addWidget(b, row, 0);
        g->addWidget(text, row, 1);
        const auto measure = item.measure;
        connect(b, &QPushButton::clicked, this, [this, measure] { startMeasure(measure); });
        if (measure == ProfileSession::Measure::Masking) {
            m_noise = new QComboBox(start);
            m_noise->setObjectName("cboNoise");
            m_noise->setAccessibleName(tr("Noise for the masking level"));
            m_noise->addItem(tr("Pink noise"), int(TestKind::Pink));
            m_noise->addItem(tr("White noise"), int(TestKind::White));
            m_noise->addItem(tr("Band around the pitch"), int(TestKind::Band));
            m_noise->view()->setAccessibleName(m_noise->accessibleName());
            g->addWidget(m_noise, row, 2);
        }
        ++row;
    }
    g->setColumnStretch(1, 1);
    v->addWidget(start);

    auto* now = new QGroupBox(tr("Now"), page);
    auto* n = new QVBoxLayout(now);
    m_measureText = new QLabel(now);
    m_measureText->setObjectName("lblMeasure");
    m_measureText->setWordWrap(true);
    m_measureText->setMinimumHeight(48);
    n->addWidget(m_measureText);
    m_progress = new QProgressBar(now);
    m_progress->setObjectName("barProgress");
    m_progress->setAccessibleName(tr("Progress of the hearing check"));
    n->addWidget(m_progress);
    auto* actions = new QHBoxLayout;
    const std::pair<const char*, const char*> buttons[] = {
        {"cmdHeard", QT_TR_NOOP("I hear it (Space)")},  {"cmdSofter", QT_TR_NOOP("Softer (Down)")},
        {"cmdLouder", QT_TR_NOOP("Louder (Up)")},       {"cmdAccept", QT_TR_NOOP("&Accept")},
        {"cmdRetry", QT_TR_NOOP("Tr&y again")},          {"cmdSkip", QT_TR_NOOP("S&kip this pitch")},
        {"cmdFully", QT_TR_NOOP("Back: it had gone &fully")}, {"cmdPartly", QT_TR_NOOP("Back: it had gone p&artly")},
        {"cmdNoChange", QT_TR_NOOP("It did &not change")}, {"cmdStop", QT_TR_NOOP("&Stop (Esc)")},
    };
    for (const auto& [name, caption] : buttons) {
        auto* b = makeButton(name, tr(caption), now);
        actions->addWidget(b);
    }
    actions->addStretch();
    n->addLayout(actions);
    v->addWidget(now);
    v->addStretch();

    connect(button("cmdHeard"), &QPushButton::clicked, this, [this] { m_session.heard(); });
    connect(button("cmdSofter"), &QPushButton::clicked, this, [this] {
        if (auto* a = m_session.adjustment())
            a->step(-1);
    });
    connect(button("cmdLouder"), &QPushButton::clicked, this, [this] {
        if (auto* a = m_session.adjustment())
            a->step(1);
    });
    connect(button("cmdAccept"), &QPushButton::clicked, this, [this] { m_session.acceptLevel(); });
    connect(button("cmdRetry"), &QPushButton::clicked, this, [this] { m_session.retry(); });
    connect(button("cmdSkip"), &QPushButton::clicked, this, [this] { m_session.skip(); });
    connect(button("cmdFully"), &QPushButton::clicked, this,
            [this] { m_session.inhibitionBack(ResidualInhibition::Outcome::Full); });
    connect(button("cmdPartly"), &QPushButton::clicked, this,
            [this] { m_session.inhibitionBack(ResidualInhibition::Outcome::Partial); });
    connect(button("cmdNoChange"), &QPushButton::clicked, this,
            [this] { m_session.inhibitionBack(ResidualInhibition::Outcome::None); });
    connect(button("cmdStop"), &QPushButton::clicked, this, [this] { m_session.cancel(); });
    return page;
}

QWidget* TinnitusWindow::buildDiary()
{
    auto* page = new QWidget(m_tabs);
    auto* v = new QVBoxLayout(page);
    auto* form = new QGroupBox(tr("Today's entry"), page);
    auto* g = new QGridLayout(form);
    m_morning = new QRadioButton(tr("Mor&ning"), form);
    m_morning->setObjectName("optMorning");
    m_evening = new QRadioButton(tr("E&vening"), form);
    m_evening->setObjectName("optEvening");
    g->addWidget(m_morning, 0, 0);
    g->addWidget(m_evening, 0, 1);
    connect(m_morning, &QRadioButton::toggled, this, &TinnitusWindow::updateFormForKind);

    auto slider = [&](int row, const QString& caption, const QString& low, const QString& high, QSlider*& s, QLabel*& value,
                      const char* name) {
        auto* label = new QLabel(caption, form);
        s = new QSlider(Qt::Horizontal, form);
        s->setObjectName(name);
        s->setRange(0, 10);
        s->setPageStep(2);
        s->setTickPosition(QSlider::TicksBelow);
        s->setTickInterval(1);
        s->setValue(5);
        label->setBuddy(s);
        s->setAccessibleName(QString(caption).remove('&').remove(':'));
        s->setAccessibleDescription(tr("0 is %1, 10 is %2").arg(low, high));
        value = new QLabel(QString::number(s->value()), form);
        value->setMinimumWidth(24);
        connect(s, &QSlider::valueChanged, value, [value](int v) { value->setText(QString::number(v)); });
        g->addWidget(label, row, 0);
        g->addWidget(new QLabel(low, form), row, 1);
        g->addWidget(s, row, 2);
        g->addWidget(new QLabel(high, form), row, 3);
        g->addWidget(value, row, 4);
    };
    slider(1, tr("&Loudness of the tinnitus:"), tr("not heard"), tr("as loud as can be"), m_loudness, m_loudnessValue,
           "sldLoudness");
    slider(2, tr("How much it &bothers:"), tr("not at all"), tr("very much"), m_bother, m_botherValue, "sldBother");
    slider(3, tr("&Sleep last night:"), tr("very poor"), tr("very good"), m_sleep, m_sleepValue, "sldSleep");
    auto* noteLabel = new QLabel(tr("N&ote:"), form);
    m_note = new QLineEdit(form);
    m_note->setObjectName("txtNote");
    m_note->setAccessibleName(tr("Note"));
    m_note->setMaxLength(500);
    noteLabel->setBuddy(m_note);
    g->addWidget(noteLabel, 4, 0);
    g->addWidget(m_note, 4, 1, 1, 4);
    auto* save = makeButton("cmdSaveEntry", tr("Save &entry"), form);
    g->addWidget(save, 5, 4);
    connect(save, &QPushButton::clicked, this, [this] { saveEntry(); });
    g->setColumnStretch(2, 1);
    v->addWidget(form);

    auto* remind = new QGroupBox(tr("Offer the diary"), page);
    auto* r = new QGridLayout(remind);
    m_remindAtStart = new QCheckBox(tr("When the player s&tarts, if today's entry is missing"), remind);
    m_remindAtStart->setObjectName("chkRemindAtStart");
    m_remindAtTime = new QCheckBox(tr("Every day &at"), remind);
    m_remindAtTime->setObjectName("chkRemindAtTime");
    m_remindTime = new QComboBox(remind);
    m_remindTime->setObjectName("cboRemindTime");
    m_remindTime->setAccessibleName(tr("Time of the daily reminder"));
    m_remindTime->view()->setAccessibleName(m_remindTime->accessibleName());
    for (int minutes = 0; minutes < 24 * 60; minutes += 15) {
        const QTime t(minutes / 60, minutes % 60);
        m_remindTime->addItem(t.toString("HH:mm"), t);
    }
    r->addWidget(m_remindAtStart, 0, 0, 1, 3);
    r->addWidget(m_remindAtTime, 1, 0);
    r->addWidget(m_remindTime, 1, 1);
    r->setColumnStretch(2, 1);
    v->addWidget(remind);
    v->addStretch();

    m_remindAtStart->setChecked(m_reminder.atStart());
    const auto time = m_reminder.time();
    m_remindAtTime->setChecked(time.has_value());
    const QTime shown = time.value_or(QTime(8, 0));
    m_remindTime->setCurrentIndex(std::max(0, m_remindTime->findData(QTime(shown.hour(), shown.minute() / 15 * 15))));
    m_remindTime->setEnabled(time.has_value());
    connect(m_remindAtStart, &QCheckBox::toggled, this, [this](bool on) { m_reminder.setAtStart(on); });
    auto storeTime = [this] {
        m_remindTime->setEnabled(m_remindAtTime->isChecked());
        m_reminder.setTime(m_remindAtTime->isChecked() ? std::optional<QTime>(m_remindTime->currentData().toTime())
                                                       : std::nullopt);
        emit reminderTimeChanged();
    };
    connect(m_remindAtTime, &QCheckBox::toggled, this, storeTime);
    connect(m_remindTime, &QComboBox::currentIndexChanged, this, storeTime);
    offerEntry();
    return page;
}

void TinnitusWindow::say(const QString& text)
{
    m_status->setText(text);
}

void TinnitusWindow::showTab(Tab tab)
{
    m_tabs->setCurrentIndex(int(tab));
}

void TinnitusWindow::bringUp()
{
    show();
    raise();
    activateWindow();
}

void TinnitusWindow::offerEntry()
{
    const QDateTime now = m_session.hooks().now ? m_session.hooks().now() : QDateTime::currentDateTime();
    const bool morning = DiaryReminder::kindAt(now) == DiaryEntry::Kind::Morning;
    (morning ? m_morning : m_evening)->setChecked(true);
    updateFormForKind();
}

void TinnitusWindow::updateFormForKind()
{
    const bool morning = m_morning->isChecked();
    m_sleep->setEnabled(morning);
    m_sleepValue->setEnabled(morning);
}

bool TinnitusWindow::saveEntry()
{
    DiaryEntry e;
    e.kind = m_morning->isChecked() ? DiaryEntry::Kind::Morning : DiaryEntry::Kind::Evening;
    e.at = m_session.hooks().now ? m_session.hooks().now() : QDateTime::currentDateTime();
    e.loudness = m_loudness->value();
    e.bother = m_bother->value();
    if (e.kind == DiaryEntry::Kind::Morning)
        e.sleep = m_sleep->value();
    e.note = m_note->text().trimmed();
    if (!m_diary.addEntry(e)) {
        // The form keeps what was typed, so nothing is lost when the user tries again.
        m_dialogs.information(this, tr("Sonaveil"), tr("The entry could not be saved: %1").arg(m_diary.lastError()));
        return false;
    }
    m_note->clear();
    say(e.kind == DiaryEntry::Kind::Morning ? tr("Morning entry saved.") : tr("Evening entry saved."));
    reload();
    return true;
}

void TinnitusWindow::reload()
{
    if (m_charts)
        m_charts->show(m_diary, m_session.pitch());
}

void TinnitusWindow::refreshVolume()
{
    const auto percent = systemVolume ? systemVolume() : std::nullopt;
    m_volume->setText(percent ? tr("System volume: %1 %. Use headphones, and keep this volume the same for every "
                                   "measure so that the results compare.")
                                    .arg(*percent)
                              : tr("System volume: not known. Use headphones, and keep the volume the same for "
                                   "every measure so that the results compare."));
}

void TinnitusWindow::refreshPitch()
{
    const auto pitch = m_session.pitch();
    m_pitch->setText(pitch ? tr("Your tinnitus pitch: %1.").arg(hzText(*pitch))
                           : tr("No pitch matched yet: the loudness match and the band noise need one."));
}

void TinnitusWindow::startMeasure(ProfileSession::Measure measure)
{
    refreshVolume();
    refreshPitch();
    bool started = true;
    QString refusal; // why the measure cannot start, when it cannot
    switch (measure) {
    case ProfileSession::Measure::Hearing:
        m_session.startHearingCheck();
        break;
    case ProfileSession::Measure::Loudness:
        started = m_session.startLoudness();
        refusal = tr("Match the pitch of your tinnitus first (Pitch match…).");
        break;
    case ProfileSession::Measure::Masking:
        started = m_session.startMasking(TestKind(m_noise->currentData().toInt()));
        refusal = tr("The band around the pitch needs a matched pitch: use Pitch match… first, or pick a noise.");
        break;
    case ProfileSession::Measure::Inhibition:
        started = m_session.startInhibition();
        refusal = tr("Find your masking level first: residual inhibition plays that noise 10 dB louder.");
        break;
    case ProfileSession::Measure::None:
        break;
    }
    if (!started)
        say(refusal);
    if (started) {
        say(QString());
        m_tick.start();
        // The keys of the measure (Space, Up, Down, Escape) reach the window.
        setFocus();
    }
    refreshMeasure();
}

void TinnitusWindow::refreshMeasure()
{
    using M = ProfileSession::Measure;
    const M running = m_session.running();
    QString text;
    QStringList shown;
    m_progress->setVisible(running == M::Hearing);
    switch (running) {
    case M::None:
        m_tick.stop();
        text = tr("No measure is running. Each one starts quietly; stop it at any time with Esc.");
        break;
    case M::Hearing: {
        const HearingCheck* h = m_session.hearing();
        m_progress->setRange(0, int(h->points().size()));
        m_progress->setValue(int(h->results().size()));
        const auto& p = h->points()[std::min(h->current(), h->points().size() - 1)];
        if (h->phase() == HearingCheck::Phase::Stopped) {
            text = h->stopReason() == UpDownTrack::State::TooLong
                       ? tr("This pitch took too long to settle. Rest a moment, then try it again, or skip it.")
                       : tr("The answers at this pitch did not agree with each other (a press with no tone, or a "
                            "loud tone missed). Try it again, or skip it.");
            shown = {"cmdRetry", "cmdSkip", "cmdStop"};
        } else {
            text = tr("Listening at %1, %2. Press \"I hear it\" (or Space) each time you hear a tone, however faint.")
                       .arg(hzText(p.hz), earText(p.ear));
            shown = {"cmdHeard", "cmdStop"};
        }
        break;
    }
    case M::Loudness:
    case M::Masking: {
        const LevelAdjustment* a = m_session.adjustment();
        const auto above = a->aboveThreshold();
        const QString level = above ? tr("%1 above your threshold").arg(dbText(*above)) : dbText(a->levelDb());
        text = running == M::Loudness
                   ? tr("Tone at %1: %2. Make it softer or louder until it is as loud as your tinnitus, then Accept.")
                         .arg(hzText(a->sound().hz), level)
                   : tr("Noise at %1. Raise it until it just covers your tinnitus, then Accept.").arg(level);
        if (a->levelDb() >= m_session.safeSound().ceiling())
            text += ' ' + tr("This is as loud as the measure goes.");
        shown = {"cmdSofter", "cmdLouder", "cmdAccept", "cmdStop"};
        break;
    }
    case M::Inhibition: {
        const ResidualInhibition* r = m_session.inhibition();
        const std::int64_t t = m_session.steadyNow();
        if (r->phase() == ResidualInhibition::Phase::Noise) {
            text = tr("Noise for %n more second(s). Then listen: is your tinnitus quieter?", nullptr, r->noiseSecondsLeft(t));
            shown = {"cmdStop"};
        } else {
            text = tr("The noise has stopped. When your tinnitus is back as before, say whether it had gone fully or "
                      "partly. %n second(s) so far.",
                      nullptr, int(r->seconds(t)));
            shown = {"cmdFully", "cmdPartly", "cmdNoChange", "cmdStop"};
        }
        break;
    }
    }
    m_measureText->setText(text);
    for (const char* name : {"cmdHeard", "cmdSofter", "cmdLouder", "cmdAccept", "cmdRetry", "cmdSkip", "cmdFully",
                             "cmdPartly", "cmdNoChange", "cmdStop"})
        button(name)->setVisible(shown.contains(name));
    for (const char* name : {"cmdHearing", "cmdLoudness", "cmdMasking", "cmdInhibition"})
        button(name)->setEnabled(running == M::None);
}

void TinnitusWindow::showEvent(QShowEvent* e)
{
    refreshVolume();
    refreshPitch();
    reload();
    QWidget::showEvent(e);
}

void TinnitusWindow::hideEvent(QHideEvent* e)
{
    // Out of sight, silent: a measure ends with the window.
    if (m_session.running() != ProfileSession::Measure::None)
        m_session.cancel();
    QWidget::hideEvent(e);
}

void TinnitusWindow::keyPressEvent(QKeyEvent* e)
{
    using M = ProfileSession::Measure;
    const M running = m_session.running();
    switch (e->key()) {
    case Qt::Key_Space:
        if (running == M::Hearing) {
            button("cmdHeard")->click();
            return;
        }
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (running == M::Loudness || running == M::Masking) {
            button(e->key() == Qt::Key_Up ? "cmdLouder" : "cmdSofter")->click();
            return;
        }
        break;
    case Qt::Key_Escape:
        if (running != M::None) {
            m_session.cancel();
            return;
        }
        close();
        return;
    default:
        break;
    }
    QWidget::keyPressEvent(e);
}

} // namespace sonaveil::player
