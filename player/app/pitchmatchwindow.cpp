#include "player/app/pitchmatchwindow.h"

#include "controls/multibuttonwidget.h"
#include "controls/ucsliderwidget.h"
#include "lumidot/lcd.h"
#include "player/app/dialogs.h"
#include "player/app/windowlook.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

namespace sonaveil::player {

using controls::Multibutton;
using controls::UcSlider;

namespace {

QString hertz(double hz)
{
    return hz < 1000 ? QString::number(std::lround(hz)) + " Hz"
                     : QString::number(hz / 1000.0, 'f', hz < 10000 ? 2 : 1) + " kHz";
}

// hertz() for the window's own texts, in the user's language; the display keeps its own.
QString shownHertz(double hz)
{
    if (hz < 1000)
        return QCoreApplication::translate("sonaveil::player::PitchMatchWindow", "%1 Hz").arg(std::lround(hz));
    return QCoreApplication::translate("sonaveil::player::PitchMatchWindow", "%1 kHz")
        .arg(QLocale().toString(hz / 1000.0, 'f', hz < 10000 ? 2 : 1));
}

} // namespace

PitchMatchWindow::PitchMatchWindow(PitchMatch& match, TinnitusStore& store, Dialogs& dialogs, QWidget* parent)
    : ToolWindow("frmpitch", tr("Pitch Match"), parent)
    , m_match(match)
    , m_dialogs(dialogs)
    , m_store(store)
{
    QVBoxLayout* layout = column();
    auto* intro = lightLabel(tr("Play a quiet sound and move it up or down until it sounds most like your "
                                "tinnitus. Keep the level low: just audible is enough."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    // The sound: display, kind, pitch steps, level, Play.
    auto* soundPanel = new Panel(this);
    auto* s = soundPanel->setUpLayout<QGridLayout>({14, 10, 14, 12}, 8);

    m_lcd = look::display(soundPanel, 2, 16);
    if (m_lcd)
        s->addWidget(m_lcd, 0, 0, 1, 6, Qt::AlignHCenter);

    s->addWidget(lightLabel(tr("Sound:"), soundPanel, 0, true), 1, 0);
    m_tone = new QRadioButton(tr("&Tone"), soundPanel);
    m_tone->setObjectName("optTone");
    m_tone->setToolTip(tr("A pure tone, for ringing or whistling tinnitus"));
    m_band = new QRadioButton(tr("&Narrow band"), soundPanel);
    m_band->setObjectName("optBand");
    m_band->setToolTip(tr("A band of noise a third of an octave wide, for hissing tinnitus"));
    for (QRadioButton* r : {m_tone, m_band})
        lightText(r);
    s->addWidget(m_tone, 1, 1, 1, 2);
    s->addWidget(m_band, 1, 3, 1, 3);
    connect(m_tone, &QRadioButton::clicked, this, [this] { m_match.setKind(MatchKind::Tone); });
    connect(m_band, &QRadioButton::clicked, this, [this] { m_match.setKind(MatchKind::Band); });

    s->addWidget(lightLabel(tr("Pitch:"), soundPanel, 0, true), 2, 0);
    struct Step {
        const char* name;
        const char* caption;
        const char* tip;
        int fine, coarse;
    };
    const Step steps[] = {
        {"cmdDownCoarse", "<<", QT_TR_NOOP("Down a third of an octave (Shift+Left)"), 0, -1},
        {"cmdDownFine", "<", QT_TR_NOOP("Down a little, 1/24 octave (Left)"), -1, 0},
        {"cmdUpFine", ">", QT_TR_NOOP("Up a little, 1/24 octave (Right)"), 1, 0},
        {"cmdUpCoarse", ">>", QT_TR_NOOP("Up a third of an octave (Shift+Right)"), 0, 1},
    };
    int column = 1;
    for (const Step& step : steps) {
        auto* b = makeButton(step.name, step.caption, 44, soundPanel, tr(step.tip));
        s->addWidget(b, 2, column++);
        const int fine = step.fine, coarse = step.coarse;
        connect(b, &Multibutton::Click, this, [this, fine, coarse] {
            if (fine)
                m_match.stepFine(fine);
            else
                m_match.stepCoarse(coarse);
        });
    }

    s->addWidget(lightLabel(tr("Level:"), soundPanel, 0, true), 3, 0);
    m_level = new UcSlider("sldLevel", soundPanel);
    m_level->setRange(std::lround(PitchMatch::kMinLevelDb), std::lround(PitchMatch::kMaxLevelDb));
    m_level->setSmallChange(1);
    m_level->setLargeChange(5);
    m_level->setFixedSize(200, 20);
    m_level->setFocusPolicy(Qt::StrongFocus);
    m_level->setToolTip(tr("The sound's level; start low and raise it only until you hear it clearly"));
    m_level->setValue(std::lround(m_match.levelDb()));
    s->addWidget(m_level, 3, 1, 1, 4);
    m_levelText = lightLabel(QString(), soundPanel);
    m_levelText->setMinimumWidth(56);
    s->addWidget(m_levelText, 3, 5);
    connect(m_level, &UcSlider::Change, this, [this] { m_match.setLevelDb(m_level->value()); });

    auto* play = makeButton("cmdPlay", tr("&Play"), 90, soundPanel, tr("Play or stop the sound (Space)"));
    s->addWidget(play, 4, 1, 1, 2);
    connect(play, &Multibutton::Click, this, &PitchMatchWindow::togglePlay);
    layout->addWidget(soundPanel);

    // The octave check.
    auto* checkPanel = new Panel(this);
    auto* c = checkPanel->setUpLayout<QVBoxLayout>({14, 10, 14, 12}, 8);
    auto* checkText = lightLabel(tr("Octave check: hear your match, then an octave below and an octave "
                                    "above. Pick the one that is closest to your tinnitus."),
                                 checkPanel);
    checkText->setWordWrap(true);
    c->addWidget(checkText);
    auto* checkRow = new QHBoxLayout;
    checkRow->setSpacing(6);
    auto* check = makeButton("cmdCheck", tr("Octave &check"), 110, checkPanel);
    checkRow->addWidget(check);
    checkRow->addSpacing(10);
    connect(check, &Multibutton::Click, this, &PitchMatchWindow::startCheck);
    const std::pair<const char*, PitchMatch::Octave> picks[] = {
        {"cmdPickSame", PitchMatch::Same}, {"cmdPickBelow", PitchMatch::Below}, {"cmdPickAbove", PitchMatch::Above}};
    const char* captions[] = {QT_TR_NOOP("&Same"), QT_TR_NOOP("&Lower"), QT_TR_NOOP("&Higher")};
    for (int i = 0; i < 3; ++i) {
        auto* b = makeButton(picks[i].first, tr(captions[i]), 80, checkPanel);
        b->setCheckBoxMode(true);
        checkRow->addWidget(b);
        const PitchMatch::Octave octave = picks[i].second;
        connect(b, &Multibutton::Click, this, [this, octave] { m_match.pick(octave); });
    }
    checkRow->addStretch();
    c->addLayout(checkRow);
    layout->addWidget(checkPanel);

    m_status = lightLabel(QString(), this);
    m_status->setObjectName("lblStatus");
    layout->addWidget(m_status);

    auto* bottom = new QHBoxLayout;
    auto* saveButton = makeButton("cmdSave", tr("Sa&ve"), 90, this,
                                  tr("Keep this pitch and kind in \"tinnitus.ini\"; the notch is centred on it"));
    auto* help = makeButton("cmdHelp", tr("H&elp"), 90, this);
    auto* close = makeButton("cmdClose", tr("&Close"), 90, this);
    bottom->addWidget(saveButton);
    auto* profile = makeButton("cmdProfile", tr("&My Tinnitus…"), 110, this,
                               tr("Hearing check, loudness, masking level, diary and plots"));
    bottom->addWidget(profile);
    connect(profile, &Multibutton::Click, this, &PitchMatchWindow::profileClicked);
    bottom->addStretch();
    bottom->addWidget(help);
    bottom->addWidget(close);
    layout->addLayout(bottom);
    connect(saveButton, &Multibutton::Click, this, [this] { save(); });
    connect(help, &Multibutton::Click, this, &PitchMatchWindow::helpClicked);
    connect(close, &Multibutton::Click, this, &QWidget::hide);

    m_checkTimer.setInterval(20);
    connect(&m_checkTimer, &QTimer::timeout, this, &PitchMatchWindow::tickCheck);
    m_match.changed = [this] { refresh(); };
    refresh();
    setFixedSize(qMax(sizeHint().width(), 440), sizeHint().height());
}

PitchMatchWindow::~PitchMatchWindow()
{
    m_match.changed = nullptr;
}

void PitchMatchWindow::addNotchChart(QWidget* chart)
{
    auto* panel = new Panel(this);
    auto* box = panel->setUpLayout<QVBoxLayout>({14, 10, 14, 12}, 6);
    box->addWidget(lightLabel(tr("Listening through the notch, day by day"), panel, 0, true));
    chart->setParent(panel);
    box->addWidget(chart);
    column()->insertWidget(column()->indexOf(m_status), panel);
    setFixedSize(qMax(sizeHint().width(), 440), sizeHint().height());
}

void PitchMatchWindow::loadSaved()
{
    m_match.load(m_store.settings());
}

bool PitchMatchWindow::save()
{
    std::string error;
    if (!m_store.setMatch(m_match.frequency(), m_match.kind(), &error)) {
        m_dialogs.information(this, tr("Sonaveil"),
                              tr("The match could not be saved in \"tinnitus.ini\": %1").arg(QString::fromStdString(error)));
        return false;
    }
    m_status->setText(tr("Saved: %1, %2").arg(shownHertz(m_match.frequency()),
                                              m_match.kind() == MatchKind::Band ? tr("narrow band") : tr("tone")));
    emit saved();
    return true;
}

void PitchMatchWindow::refresh()
{
    const double hz = m_match.frequency();
    if (m_lcd) {
        m_lcd->SetDisplay(1, QString("%1 %2").arg(hertz(hz), -9).arg(m_match.kind() == MatchKind::Band ? "Band" : "Tone", 6));
        QString second = QString("Level %1 dB").arg(std::lround(m_match.levelDb()));
        if (const auto o = m_match.presenting())
            second = *o == PitchMatch::Below ? "Check: lower" : *o == PitchMatch::Above ? "Check: higher" : "Check: match";
        m_lcd->SetDisplay(2, second);
    }
    {
        const QSignalBlocker b1(m_tone), b2(m_band);
        m_tone->setChecked(m_match.kind() == MatchKind::Tone);
        m_band->setChecked(m_match.kind() == MatchKind::Band);
    }
    if (m_level->value() != std::lround(m_match.levelDb())) {
        const QSignalBlocker block(m_level);
        m_level->setValue(std::lround(m_match.levelDb()));
    }
    m_levelText->setText(tr("%1 dB").arg(std::lround(m_match.levelDb())));
    if (auto* play = button("cmdPlay"))
        play->setCaption(m_match.playing() || m_match.checking() ? tr("&Stop") : tr("&Play"));
    const std::pair<const char*, PitchMatch::Octave> picks[] = {
        {"cmdPickSame", PitchMatch::Same}, {"cmdPickBelow", PitchMatch::Below}, {"cmdPickAbove", PitchMatch::Above}};
    for (const auto& [name, octave] : picks)
        if (auto* b = button(name)) {
            b->setEnabled(m_match.offers(octave));
            b->setValue(m_match.presenting() == octave);
        }
    if (!m_match.checking())
        m_checkTimer.stop();
}

void PitchMatchWindow::togglePlay()
{
    if (m_match.playing() || m_match.checking())
        m_match.stop();
    else
        m_match.play();
}

void PitchMatchWindow::startCheck()
{
    m_match.startOctaveCheck();
    m_checkClock.start();
    m_checkTimer.start();
}

void PitchMatchWindow::tickCheck()
{
    if (!m_match.advanceCheck(int(m_checkClock.elapsed())))
        m_checkTimer.stop();
}

void PitchMatchWindow::keyPressEvent(QKeyEvent* e)
{
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    switch (e->key()) {
    case Qt::Key_Escape:
        hide();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int direction = e->key() == Qt::Key_Left ? -1 : 1;
        if (m_level->hasFocus())
            break;
        if (shift)
            m_match.stepCoarse(direction);
        else
            m_match.stepFine(direction);
        return;
    }
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (m_level->hasFocus())
            break;
        m_match.stepCoarse(e->key() == Qt::Key_PageUp ? 1 : -1);
        return;
    case Qt::Key_Space:
        if (focusWidget() && focusWidget()->inherits("sonaveil::controls::Multibutton"))
            break;
        togglePlay();
        return;
    default:
        break;
    }
    ToolWindow::keyPressEvent(e);
}

void PitchMatchWindow::hideEvent(QHideEvent* e)
{
    // Out of sight, silent.
    m_match.stop();
    BorderlessWindow::hideEvent(e);
}

} // namespace sonaveil::player
