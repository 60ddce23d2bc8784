#include "recorder/app/frmmain.h"

#include "recorder/app/form1.h"
#include "controls/windowaccessible.h"
#include "controls/windowdrag.h"
#include "recorder/app/frmdrive.h"
#include "recorder/app/levelmeter.h"
#include "recorder/app/recorderlook.h"
#include "recorder/capture/capturecontrol.h"
#include "recorder/capture/wavformat.h"
#include "recorder/core/rules.h"
#include "recorder/core/settings.h"

#include "controls/multibuttonwidget.h"
#include "controls/scombobox.h"
#include "controls/ucsliderwidget.h"
#include "lumidot/lcd.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace sonaveil::recorder {

using controls::Multibutton;
using controls::SComboBox;
using controls::UcSlider;

namespace {

const QString kTitle = QStringLiteral("Recorder");

} // namespace

FRMMAIN::FRMMAIN(const RecorderSetup& setup, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_setup(setup), m_session(setup, *this)
{
    setObjectName(QStringLiteral("FRMMAIN"));
    controls::setWindowRole(this, QAccessible::Window);
    new controls::WindowDrag(this);
    setWindowTitle(kTitle);
    m_session.setDialogOwner(this);
    build();
    wire();
}

FRMMAIN::~FRMMAIN()
{
    delete m_drive.data();
    delete m_help.data();
}

Multibutton* FRMMAIN::button(const QString& name, const QString& text, int width)
{
    return makeButton(name, text, QSize(width, 26), this);
}

void FRMMAIN::build()
{
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(14, 10, 12, 12);
    outer->setSpacing(12);
    auto* left = new QVBoxLayout;
    left->setSpacing(7);
    outer->addLayout(left);

    auto* title = makeCaption(tr("Sound Recorder"), this, 15, true);
    title->setObjectName(QStringLiteral("Label15"));
    left->addWidget(title);

    m_lcd2 = makeDisplay(QStringLiteral("LCD2"), 1, 0x0080FF, this);
    m_lcd1 = makeDisplay(QStringLiteral("LCD1"), 4, 0xFFFF80, this);
    if (m_lcd2)
        left->addWidget(m_lcd2, 0, Qt::AlignLeft);
    if (m_lcd1)
        left->addWidget(m_lcd1, 0, Qt::AlignLeft);

    // Transport: the symbols are drawn as shapes for the symbol-font captions.
    controls::FontSpec symbols;
    symbols.name = "Webdings";
    symbols.pointSize = 14;
    m_cmdrecord = button(QStringLiteral("cmdrecord"), QStringLiteral("="), 40);
    m_cmdrecord->setForeColor(kCaptionRed);
    m_cmdstop = button(QStringLiteral("cmdstop"), QStringLiteral("<"), 40);
    m_cmdstop->setBackColor(kButtonDarkGrey);
    m_cmdstopplaying = button(QStringLiteral("cmdstopplaying"), QStringLiteral("<"), 40);
    m_cmdplay = button(QStringLiteral("cmdplay"), QStringLiteral("4"), 40);
    for (Multibutton* b : {m_cmdrecord, m_cmdstop, m_cmdstopplaying, m_cmdplay})
        b->setButtonFont(symbols);
    m_cmdrecord->setToolTip(tr("Record"));
    m_cmdstop->setToolTip(tr("Stop recording"));
    m_cmdstopplaying->setToolTip(tr("Stop playing"));
    m_cmdplay->setToolTip(tr("Play the last recording"));
    // The stop-recording button lies over the stop-playing button.
    auto* stopPlace = new QWidget(this);
    stopPlace->setFixedSize(40, 26);
    auto* stack = new QStackedLayout(stopPlace);
    stack->setStackingMode(QStackedLayout::StackAll);
    m_cmdstopplaying->setParent(stopPlace);
    m_cmdstop->setParent(stopPlace);
    stack->addWidget(m_cmdstopplaying);
    stack->addWidget(m_cmdstop);
    m_cmdstop->raise();
    updateStopFocus();

    m_command3 = button(QStringLiteral("command3"), tr("MP3"), 46);
    m_command3->setToolTip(tr("Convert a Wav to MP3"));
    m_command1 = button(QStringLiteral("command1"), tr("Mix"), 46);
    m_command1->setToolTip(tr("Open the mixer to configure recording source / level"));
    m_picturebutton1 = button(QStringLiteral("picturebutton1"), tr("Drive"), 50);
    m_picturebutton1->setToolTip(tr("View available drive space"));
    m_command2 = button(QStringLiteral("command2"), tr("Dir"), 46);
    m_command2->setToolTip(tr("Open the directory containing the last recording"));
    for (Multibutton* b : {m_command3, m_command1, m_picturebutton1, m_command2})
        b->setForeColor(kCaptionLightGrey);

    auto* transport = new QHBoxLayout;
    transport->setSpacing(5);
    transport->addWidget(m_cmdrecord);
    transport->addWidget(stopPlace);
    transport->addWidget(m_cmdplay);
    transport->addSpacing(10);
    for (Multibutton* b : {m_command3, m_command1, m_picturebutton1, m_command2})
        transport->addWidget(b);
    transport->addStretch();
    left->addLayout(transport);

    m_ucsPos = new UcSlider(QStringLiteral("ucsPos"), this);
    m_ucsPos->setRange(0, 0);
    m_hsCalibration = new UcSlider(QStringLiteral("hsCalibration"), this);
    m_hsCalibration->setRange(RecorderSession::kCalibrationMin, RecorderSession::kCalibrationMax);
    m_hsCalibration->setSmallChange(1);
    m_hsCalibration->setLargeChange(10);
    m_hsCalibration->setValue(RecorderSession::kCalibrationReset);
    m_hsCalibration->setToolTip(tr("Double-click the thumb for x1.0"));
    auto* sliders = new QGridLayout;
    sliders->setHorizontalSpacing(8);
    sliders->setVerticalSpacing(3);
    auto* posCaption = makeCaption(tr("Playback Positioning"), this);
    posCaption->setBuddy(m_ucsPos);
    sliders->addWidget(posCaption, 0, 0);
    sliders->addWidget(m_ucsPos, 0, 1);
    m_hsCalibration->setAccessibleName(tr("Recording Sensitivity"));
    sliders->addWidget(makeCaption(tr("Recording Sensitivity"), this), 1, 0);
    sliders->addWidget(m_hsCalibration, 1, 1);
    left->addLayout(sliders);

    m_format = makeList(QStringLiteral("SComboBox1"), 70, kOutputFormats, this);
    m_devices = makeList(QStringLiteral("cmbsounddriver"), 190, {}, this);
    m_threshold = makeList(QStringLiteral("combo1"), 96, kThresholds, this);
    m_limit = makeList(QStringLiteral("cmBtime2record"), 96, kTimeLimits, this);
    m_format->setAccessibleName(tr("Output Format"));
    m_devices->setAccessibleName(tr("Driver"));
    m_threshold->setAccessibleName(tr("Low disk space threshold in MB"));
    m_limit->setAccessibleName(tr("Recording length limit in minutes"));
    auto* lists = new QGridLayout;
    lists->setHorizontalSpacing(6);
    lists->setVerticalSpacing(5);
    lists->addWidget(makeCaption(tr("Output Format"), this), 0, 0);
    auto* formatRow = new QHBoxLayout;
    formatRow->setSpacing(6);
    formatRow->addWidget(m_format);
    formatRow->addSpacing(8);
    formatRow->addWidget(makeCaption(tr("Driver"), this));
    formatRow->addWidget(m_devices);
    formatRow->addStretch();
    lists->addLayout(formatRow, 0, 1, 1, 2);
    lists->addWidget(makeCaption(tr("Stop on low dsk space"), this), 1, 0);
    lists->addWidget(m_threshold, 1, 1);
    lists->addWidget(makeCaption(tr("MB"), this), 1, 2);
    lists->addWidget(makeCaption(tr("Limit recording length"), this), 2, 0);
    lists->addWidget(m_limit, 2, 1);
    lists->addWidget(makeCaption(tr("Min"), this), 2, 2);
    lists->setColumnStretch(2, 1);
    left->addLayout(lists);

    left->addStretch();
    auto* bottom = new QHBoxLayout;
    m_chameleonButton5 = button(QStringLiteral("chameleonButton5"), tr("Sound Editor"), 100);
    m_chameleonButton2 = button(QStringLiteral("chameleonButton2"), tr("Hide"), 64);
    m_chameleonButton1 = button(QStringLiteral("chameleonButton1"), tr("Close"), 64);
    bottom->addWidget(m_chameleonButton5);
    bottom->addStretch();
    bottom->addWidget(m_chameleonButton2);
    bottom->addWidget(m_chameleonButton1);
    left->addLayout(bottom);

    m_meter = new LevelMeter([this] { return m_setup.capture->takeLevels(); }, this);
    m_meter->setSegments(30);
    m_meter->setFixedWidth(34);
    outer->addWidget(m_meter);

    // Controls that only hold state; they are never shown.
    m_quality = new QComboBox(this);
    m_quality->setObjectName(QStringLiteral("cmbQuality"));
    m_quality->setAccessibleName(tr("Quality"));
    m_quality->view()->setAccessibleName(tr("Quality"));
    for (const Quality& q : kQualities)
        m_quality->addItem(QString::fromUtf8(q.text.data(), qsizetype(q.text.size())), q.flag);
    m_style = new QComboBox(this);
    m_style->setObjectName(QStringLiteral("cmbStyle"));
    m_style->setAccessibleName(tr("Style"));
    m_style->view()->setAccessibleName(tr("Style"));
    for (const QString& item : kMeterStyles)
        m_style->addItem(shownItem(item));
    m_loop = new QCheckBox(tr("Loop"), this);
    m_loop->setObjectName(QStringLiteral("chkLoop"));
    m_disableRender = new QCheckBox(tr("Disable Internal Rendering Engine"), this);
    m_disableRender->setObjectName(QStringLiteral("chkDisableRender"));
    m_cmdStartVU = button(QStringLiteral("cmdStartVU"), tr("&Start VU"), 60);
    m_cmdStartVU->setToolTip(tr("Start Monitoring"));
    m_cmdStopVU = button(QStringLiteral("cmdStopVU"), tr("S&top VU"), 60);
    m_cmdStopVU->setToolTip(tr("Stop Monitoring"));
    m_cmdStopVU->setEnabled(false);
    m_command4 = button(QStringLiteral("Command4"), QStringLiteral("invisible"), 60);
    m_factor = new QLabel(this);
    m_factor->setObjectName(QStringLiteral("lblFactor"));
    for (QWidget* w : std::initializer_list<QWidget*>{m_quality, m_style, m_loop, m_disableRender, m_cmdStartVU,
                                                      m_cmdStopVU, m_command4, m_factor})
        w->hide();

    setFixedSize(sizeHint().expandedTo(QSize(470, 0)));
}

void FRMMAIN::wire()
{
    RecorderSession* s = &m_session;
    connect(m_cmdrecord, &Multibutton::Click, s, &RecorderSession::record);
    connect(m_cmdstop, &Multibutton::Click, s, &RecorderSession::stopRecording);
    connect(m_cmdplay, &Multibutton::Click, s, &RecorderSession::play);
    connect(m_cmdstopplaying, &Multibutton::Click, s, &RecorderSession::stopPlaying);
    connect(m_command3, &Multibutton::Click, s, &RecorderSession::convertByHand);
    connect(m_command1, &Multibutton::Click, this, &FRMMAIN::on_command1_Click);
    connect(m_command2, &Multibutton::Click, s, &RecorderSession::openRecordingsFolder);
    connect(m_picturebutton1, &Multibutton::Click, this, &FRMMAIN::on_picturebutton1_Click);
    connect(m_chameleonButton5, &Multibutton::Click, s, &RecorderSession::startSoundEditor);
    connect(m_chameleonButton2, &Multibutton::Click, this, &FRMMAIN::on_chameleonButton2_Click);
    connect(m_chameleonButton1, &Multibutton::Click, this, &FRMMAIN::on_chameleonButton1_Click);
    connect(m_command4, &Multibutton::Click, s, &RecorderSession::refreshFreeSpace);
    connect(m_quality, &QComboBox::currentIndexChanged, s, &RecorderSession::chooseQuality);
    connect(m_style, &QComboBox::currentIndexChanged, s, &RecorderSession::chooseStyle);
    connect(m_hsCalibration, &UcSlider::Change, s, [this] { m_session.setCalibration(int(m_hsCalibration->value())); });
    connect(m_hsCalibration, &UcSlider::Reset, s, &RecorderSession::resetCalibration);
    connect(m_ucsPos, &UcSlider::Change, s, [this] { m_session.seek(int(m_ucsPos->value())); });
    connect(m_disableRender, &QCheckBox::clicked, this, [this](bool checked) {
        m_session.setInternalRendering(!checked);
        m_meter->setRendering(!checked);
    });
    connect(s, &RecorderSession::finished, this, &FRMMAIN::finished);
}

void FRMMAIN::on_command1_Click()
{
    if (!m_session.openMixer())
        return;
    if (m_help) {
        m_help->raise();
        m_help->activateWindow();
        return;
    }
    if (!showRecordingHelp(*m_setup.store)) {
        raise();
        activateWindow();
        return;
    }
    m_help = new Form1(m_setup, this);
    m_help->setAttribute(Qt::WA_DeleteOnClose);
    m_help->show();
}

void FRMMAIN::on_picturebutton1_Click()
{
    if (!m_drive) {
        m_drive = new frmDRIVE(*m_setup.disk, nullptr);
        m_drive->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_drive, &frmDRIVE::driveChosen, &m_session, &RecorderSession::setMonitoredDrive);
    }
    m_drive->show();
    m_drive->raise();
    m_drive->activateWindow();
}

SComboBox* FRMMAIN::list(List which) const
{
    switch (which) {
    case List::Format: return m_format;
    case List::Limit: return m_limit;
    case List::Threshold: return m_threshold;
    case List::Device: break;
    }
    return m_devices;
}

void FRMMAIN::showStatus(const QString& text)
{
    if (m_lcd1)
        m_lcd1->SetDisplay(2, text);
}

void FRMMAIN::showProgress(const QString& text)
{
    if (m_lcd1)
        m_lcd1->SetDisplay(3, text);
}

void FRMMAIN::showSpace(const QString& text)
{
    if (m_lcd2)
        m_lcd2->SetDisplay(1, text);
}

void FRMMAIN::setButtonShown(Button which, bool shown)
{
    Multibutton* b = which == Button::Record ? m_cmdrecord
        : which == Button::Stop              ? m_cmdstop
        : which == Button::StopPlaying       ? m_cmdstopplaying
                                             : m_cmdplay;
    b->setVisible(shown);
    if (b == m_cmdstop || b == m_cmdstopplaying)
        updateStopFocus();
}

void FRMMAIN::updateStopFocus()
{
    // The two stop buttons share one place: only the one on top is a Tab stop.
    const bool recordingStopOnTop = !m_cmdstop->isHidden();
    m_cmdstop->setFocusPolicy(recordingStopOnTop ? Qt::StrongFocus : Qt::NoFocus);
    m_cmdstopplaying->setFocusPolicy(recordingStopOnTop ? Qt::NoFocus : Qt::StrongFocus);
}

void FRMMAIN::preparePositionSlider(int maximum)
{
    m_ucsPos->show();
    m_ucsPos->setMinimum(0);
    m_ucsPos->setMaximum(maximum);
    m_ucsPos->setEnabled(true);
}

void FRMMAIN::setPosition(int value)
{
    m_ucsPos->setValue(value);
}

QString FRMMAIN::listText(List which) const
{
    return storedItem(list(which)->text());
}

void FRMMAIN::setListText(List which, const QString& text)
{
    list(which)->setText(shownItem(text));
}

int FRMMAIN::listPosition(List which) const
{
    return list(which)->listIndex();
}

void FRMMAIN::setListPosition(List which, int position)
{
    list(which)->setListIndex(position);
}

void FRMMAIN::addDevice(const QString& name)
{
    m_devices->AddItem(name);
}

int FRMMAIN::deviceCount() const
{
    return m_devices->listCount();
}

void FRMMAIN::setDevicesEnabled(bool enabled)
{
    m_devices->setEnabled(enabled);
}

void FRMMAIN::showQuality(int index)
{
    m_quality->setCurrentIndex(index);
}

void FRMMAIN::showStyle(int index)
{
    m_style->setCurrentIndex(index);
}

void FRMMAIN::showCalibration(int value, const QString& factorLabel)
{
    m_hsCalibration->setValue(value);
    m_factor->setText(factorLabel);
}

void FRMMAIN::showMonitoring(bool active)
{
    m_cmdStopVU->setEnabled(active);
}

bool FRMMAIN::loopPlayback() const
{
    return m_loop->isChecked();
}

void FRMMAIN::placeWindow(std::optional<QPoint> position)
{
    placeOnScreen(*this, position);
}

void FRMMAIN::hideForClose()
{
    hide();
    setEnabled(false);
}

void FRMMAIN::closeOtherWindows()
{
    if (m_drive)
        m_drive->close();
    if (m_help)
        m_help->close();
}

void FRMMAIN::closeEvent(QCloseEvent* event)
{
    // Closed by the window manager or the desktop: the same way as the Close button.
    if (!m_session.closing()) {
        event->ignore();
        m_session.close();
        return;
    }
    event->accept();
}

void FRMMAIN::paintEvent(QPaintEvent*)
{
    if (m_background.size() != size())
        m_background = drawBackground(size());
    QPainter p(this);
    p.drawImage(0, 0, m_background);
}

} // namespace sonaveil::recorder
