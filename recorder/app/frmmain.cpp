#include "recorder/app/frmmain.h"

#include "recorder/app/dialogs.h"
#include "recorder/app/form1.h"
#include "recorder/app/frmdrive.h"
#include "recorder/app/levelmeter.h"
#include "recorder/capture/capturecontrol.h"
#include "recorder/capture/wavformat.h"
#include "recorder/core/diskguard.h"
#include "recorder/core/mp3converter.h"
#include "recorder/core/rules.h"
#include "recorder/core/settings.h"

#include "common/propertybag.h"
#include "controls/multibuttonwidget.h"
#include "controls/scombobox.h"
#include "controls/ucsliderwidget.h"
#include "lumidot/lcd.h"
#include "platform/diskspace.h"
#include "platform/launcher.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <QStackedLayout>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include <cmath>

namespace sonaveil::recorder {

using controls::Multibutton;
using controls::SComboBox;
using controls::UcSlider;

namespace {

const QString kTitle = QStringLiteral("Recorder");
constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kDarkGrey = 0x404040;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kLightGrey = 0xE0E0E0;
constexpr std::uint32_t kRed = 0x0000FF; // colour values hold red in the low byte

// The calibration slider of this window: factors x0.1 to x5.0, x1.0 on a first start.
constexpr int kCalibrationMin = 1;
constexpr int kCalibrationMax = 50;
constexpr int kCalibrationReset = 10;

// Tags of the two kinds of conversion.
constexpr int kAutomatic = 1;
constexpr int kManual = 2;

lumidot::LCD* makeDisplay(const QString& name, int rows, std::uint32_t on, QWidget* parent)
{
    PropertyBag stored;
    stored.write("LCDRow", std::int64_t(rows));
    stored.write("LCDCol", std::int64_t(21));
    stored.write("DisplayType", std::int64_t(1));
    stored.write("BorderStyle", false);
    stored.write("PaletteMode", std::int64_t(2));
    stored.write("ColorPresetPalette", std::int64_t(-1));
    stored.write("ColorBacklight", std::int64_t(0));
    stored.write("ColorLCDoff", std::int64_t(0x404040));
    stored.write("ColorLCDon", std::int64_t(on));
    stored.write("ColorBlend", std::int64_t(on));
    QWidget* control = lumidot::createControl("Dotrix.LCD", parent, &stored);
    auto* lcd = qobject_cast<lumidot::LCD*>(control);
    if (!lcd) {
        delete control;
        return nullptr;
    }
    lcd->setObjectName(name);
    return lcd;
}

QLabel* caption(const QString& text, QWidget* parent, int pointSize = 0, bool bold = false)
{
    auto* l = new QLabel(text, parent);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, QColor(235, 235, 235));
    l->setPalette(pal);
    if (pointSize > 0 || bold) {
        QFont f = l->font();
        if (pointSize > 0)
            f.setPointSize(pointSize);
        f.setBold(bold);
        l->setFont(f);
    }
    return l;
}

SComboBox* list(const QString& name, int width, QWidget* parent)
{
    auto* c = new SComboBox(name, parent);
    c->setAppearanceCombo(21);
    c->applyProperties();
    c->setFixedWidth(width);
    return c;
}

// The window's background: brushed dark steel, drawn once for the window's size.
QImage drawBackground(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(74, 78, 86));
    g.setColorAt(0.5, QColor(46, 49, 55));
    g.setColorAt(1, QColor(28, 30, 34));
    p.fillRect(image.rect(), g);
    for (int y = 0; y < size.height(); y += 2)
        p.fillRect(0, y, size.width(), 1, QColor(255, 255, 255, (y * 7919 % 5) + 3));
    p.setPen(QColor(12, 12, 14));
    p.drawRect(image.rect().adjusted(0, 0, -1, -1));
    p.setPen(QColor(120, 124, 132));
    p.drawLine(1, 1, size.width() - 2, 1);
    return image;
}

} // namespace

FRMMAIN::FRMMAIN(const RecorderSetup& setup, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_setup(setup)
{
    setObjectName(QStringLiteral("FRMMAIN"));
    setWindowTitle(kTitle);
    if (!m_setup.findProgram)
        m_setup.findProgram = [](const QString&) { return QString(); };
    m_converter = new Mp3Converter(path(QStringLiteral("conver")), this);
    connect(m_converter, &Mp3Converter::finished, this, &FRMMAIN::onConversionFinished);
    connect(m_converter, &Mp3Converter::progress, this, [this](int percent) {
        if (m_lcd1)
            m_lcd1->SetDisplay(3, QStringLiteral(" Converting: %1%").arg(percent));
    });
    m_tmrMonPlayBack.setInterval(100);
    connect(&m_tmrMonPlayBack, &QTimer::timeout, this, &FRMMAIN::onPositionTimer);
    CaptureControl* capture = m_setup.capture;
    connect(capture, &CaptureControl::ErrorOccurred, this, &FRMMAIN::onError);
    connect(capture, &CaptureControl::StateChanged, this, &FRMMAIN::onStateChanged);
    connect(capture, &CaptureControl::Progress, this, &FRMMAIN::onProgress);
    build();
}

FRMMAIN::~FRMMAIN()
{
    delete m_drive.data();
    delete m_help.data();
}

QString FRMMAIN::path(const QString& leaf) const
{
    return m_setup.programFolder + QLatin1Char('/') + leaf;
}

QString FRMMAIN::userFolder() const
{
    return m_setup.userFolder.isEmpty() ? m_setup.programFolder : m_setup.userFolder;
}

QString FRMMAIN::userPath(const QString& leaf) const
{
    return userFolder() + QLatin1Char('/') + leaf;
}

QString FRMMAIN::recsetPath() const
{
    return userPath(kRecSetName);
}

Multibutton* FRMMAIN::button(const QString& name, const QString& text, int width)
{
    auto* b = new Multibutton(name, this);
    b->setButtonStyle(7);
    b->setBackColor(kGrey);
    b->setForeColor(kWhite);
    b->setCaption(text);
    b->setFixedSize(width, 26);
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

void FRMMAIN::build()
{
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(14, 10, 12, 12);
    outer->setSpacing(12);
    auto* left = new QVBoxLayout;
    left->setSpacing(7);
    outer->addLayout(left);

    auto* title = caption(QStringLiteral("Sound Recorder"), this, 15, true);
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
    m_cmdrecord->setForeColor(kRed);
    m_cmdstop = button(QStringLiteral("cmdstop"), QStringLiteral("<"), 40);
    m_cmdstop->setBackColor(kDarkGrey);
    m_cmdstopplaying = button(QStringLiteral("cmdstopplaying"), QStringLiteral("<"), 40);
    m_cmdplay = button(QStringLiteral("cmdplay"), QStringLiteral("4"), 40);
    for (Multibutton* b : {m_cmdrecord, m_cmdstop, m_cmdstopplaying, m_cmdplay})
        b->setButtonFont(symbols);
    m_cmdrecord->setToolTip(QStringLiteral("Record"));
    m_cmdstop->setToolTip(QStringLiteral("Stop recording"));
    m_cmdstopplaying->setToolTip(QStringLiteral("Stop playing"));
    m_cmdplay->setToolTip(QStringLiteral("Play the last recording"));
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

    auto* mp3 = button(QStringLiteral("command3"), QStringLiteral("MP3"), 46);
    mp3->setToolTip(QStringLiteral("Convert a Wav to MP3"));
    auto* mix = button(QStringLiteral("command1"), QStringLiteral("Mix"), 46);
    mix->setToolTip(QStringLiteral("Open the mixer to configure recording source / level"));
    auto* drive = button(QStringLiteral("picturebutton1"), QStringLiteral("Drive"), 50);
    drive->setToolTip(QStringLiteral("View available drive space"));
    auto* dir = button(QStringLiteral("command2"), QStringLiteral("Dir"), 46);
    dir->setToolTip(QStringLiteral("Open the directory containing the last recording"));
    for (Multibutton* b : {mp3, mix, drive, dir})
        b->setForeColor(kLightGrey);

    auto* transport = new QHBoxLayout;
    transport->setSpacing(5);
    transport->addWidget(m_cmdrecord);
    transport->addWidget(stopPlace);
    transport->addWidget(m_cmdplay);
    transport->addSpacing(10);
    transport->addWidget(mp3);
    transport->addWidget(mix);
    transport->addWidget(drive);
    transport->addWidget(dir);
    transport->addStretch();
    left->addLayout(transport);

    m_ucsPos = new UcSlider(QStringLiteral("ucsPos"), this);
    m_ucsPos->setRange(0, 0);
    m_hsCalibration = new UcSlider(QStringLiteral("hsCalibration"), this);
    m_hsCalibration->setRange(kCalibrationMin, kCalibrationMax);
    m_hsCalibration->setSmallChange(1);
    m_hsCalibration->setLargeChange(10);
    m_hsCalibration->setValue(kCalibrationReset);
    m_hsCalibration->setToolTip(QStringLiteral("Double-click the thumb for x1.0"));
    auto* sliders = new QGridLayout;
    sliders->setHorizontalSpacing(8);
    sliders->setVerticalSpacing(3);
    sliders->addWidget(caption(QStringLiteral("Playback Positioning"), this), 0, 0);
    sliders->addWidget(m_ucsPos, 0, 1);
    sliders->addWidget(caption(QStringLiteral("Recording Sensitivity"), this), 1, 0);
    sliders->addWidget(m_hsCalibration, 1, 1);
    left->addLayout(sliders);

    m_format = list(QStringLiteral("SComboBox1"), 70, this);
    m_devices = list(QStringLiteral("cmbsounddriver"), 190, this);
    m_threshold = list(QStringLiteral("combo1"), 96, this);
    m_limit = list(QStringLiteral("cmBtime2record"), 96, this);
    auto* lists = new QGridLayout;
    lists->setHorizontalSpacing(6);
    lists->setVerticalSpacing(5);
    lists->addWidget(caption(QStringLiteral("Output Format"), this), 0, 0);
    auto* formatRow = new QHBoxLayout;
    formatRow->addWidget(m_format);
    formatRow->addSpacing(8);
    formatRow->addWidget(caption(QStringLiteral("Driver"), this));
    formatRow->addWidget(m_devices);
    formatRow->addStretch();
    lists->addLayout(formatRow, 0, 1, 1, 2);
    lists->addWidget(caption(QStringLiteral("Stop on low dsk space"), this), 1, 0);
    lists->addWidget(m_threshold, 1, 1);
    lists->addWidget(caption(QStringLiteral("MB"), this), 1, 2);
    lists->addWidget(caption(QStringLiteral("Limit recording length"), this), 2, 0);
    lists->addWidget(m_limit, 2, 1);
    lists->addWidget(caption(QStringLiteral("Min"), this), 2, 2);
    lists->setColumnStretch(2, 1);
    left->addLayout(lists);

    left->addStretch();
    auto* bottom = new QHBoxLayout;
    auto* editor = button(QStringLiteral("chameleonButton5"), QStringLiteral("Sound Editor"), 100);
    auto* hide = button(QStringLiteral("chameleonButton2"), QStringLiteral("Hide"), 64);
    auto* close = button(QStringLiteral("chameleonButton1"), QStringLiteral("Close"), 64);
    bottom->addWidget(editor);
    bottom->addStretch();
    bottom->addWidget(hide);
    bottom->addWidget(close);
    left->addLayout(bottom);

    m_meter = new LevelMeter([this] { return m_setup.capture->takeLevels(); }, this);
    m_meter->setSegments(30);
    m_meter->setFixedWidth(34);
    outer->addWidget(m_meter);

    // Controls that only hold state; they are never shown.
    m_quality = new QComboBox(this);
    m_quality->setObjectName(QStringLiteral("cmbQuality"));
    for (const Quality& q : kQualities)
        m_quality->addItem(QString::fromUtf8(q.text.data(), qsizetype(q.text.size())), q.flag);
    m_style = new QComboBox(this);
    m_style->setObjectName(QStringLiteral("cmbStyle"));
    m_style->addItems(kMeterStyles);
    m_loop = new QCheckBox(QStringLiteral("Loop"), this);
    m_loop->setObjectName(QStringLiteral("chkLoop"));
    m_disableRender = new QCheckBox(QStringLiteral("Disable Internal Rendering Engine"), this);
    m_disableRender->setObjectName(QStringLiteral("chkDisableRender"));
    m_cmdStartVU = button(QStringLiteral("cmdStartVU"), QStringLiteral("&Start VU"), 60);
    m_cmdStartVU->setToolTip(QStringLiteral("Start Monitoring"));
    m_cmdStopVU = button(QStringLiteral("cmdStopVU"), QStringLiteral("S&top VU"), 60);
    m_cmdStopVU->setToolTip(QStringLiteral("Stop Monitoring"));
    m_cmdStopVU->setEnabled(false);
    m_command4 = button(QStringLiteral("Command4"), QStringLiteral("invisible"), 60);
    m_factor = new QLabel(this);
    m_factor->setObjectName(QStringLiteral("lblFactor"));
    for (QWidget* w : std::initializer_list<QWidget*>{m_quality, m_style, m_loop, m_disableRender, m_cmdStartVU,
                                                      m_cmdStopVU, m_command4, m_factor})
        w->hide();

    connect(m_cmdrecord, &Multibutton::Click, this, &FRMMAIN::on_cmdrecord_Click);
    connect(m_cmdstop, &Multibutton::Click, this, &FRMMAIN::on_cmdstop_Click);
    connect(m_cmdplay, &Multibutton::Click, this, &FRMMAIN::on_cmdplay_Click);
    connect(m_cmdstopplaying, &Multibutton::Click, this, &FRMMAIN::on_cmdstopplaying_Click);
    connect(mp3, &Multibutton::Click, this, &FRMMAIN::on_command3_Click);
    connect(mix, &Multibutton::Click, this, &FRMMAIN::on_command1_Click);
    connect(dir, &Multibutton::Click, this, &FRMMAIN::on_command2_Click);
    connect(drive, &Multibutton::Click, this, &FRMMAIN::on_picturebutton1_Click);
    connect(editor, &Multibutton::Click, this, &FRMMAIN::on_chameleonButton5_Click);
    connect(hide, &Multibutton::Click, this, &FRMMAIN::on_chameleonButton2_Click);
    connect(close, &Multibutton::Click, this, &FRMMAIN::on_chameleonButton1_Click);
    connect(m_command4, &Multibutton::Click, this, [this] { Command4_Click(); });
    connect(m_quality, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            m_setup.capture->setQuality(m_quality->itemData(index).toInt());
    });
    connect(m_hsCalibration, &UcSlider::Change, this, &FRMMAIN::applyCalibration);
    connect(m_hsCalibration, &UcSlider::Reset, this, [this] { m_hsCalibration->setValue(kCalibrationReset); });
    connect(m_ucsPos, &UcSlider::Change, this, [this] {
        if (!PositionUpdating)
            m_setup.capture->setPosition(double(m_ucsPos->value()));
    });
    connect(m_disableRender, &QCheckBox::clicked, this, [this](bool checked) {
        m_setup.capture->setInternalRendering(!checked);
        m_meter->setRendering(!checked);
    });

    setFixedSize(sizeHint().expandedTo(QSize(470, 0)));
}

bool FRMMAIN::MonitoringActive() const
{
    return m_cmdStopVU->isEnabled();
}

void FRMMAIN::SetStatus(const QString& text)
{
    if (m_lcd1)
        m_lcd1->SetDisplay(2, text);
}

bool FRMMAIN::Command4_Click()
{
    const auto volume = m_setup.disk->volumeOf(MonitoredDrive);
    if (!volume)
        return false;
    FreeMegabytes = freeMegabytes(volume->available);
    if (m_lcd2)
        m_lcd2->SetDisplay(1, spaceLine(FreeMegabytes, MonitoredDrive));
    return true;
}

void FRMMAIN::load()
{
    startUp();
    startMonitoring();
}

void FRMMAIN::startUp()
{
    // 1. The fixed lists; the output format shows "MP3" until something is chosen.
    for (const QString& t : kTimeLimits)
        m_limit->AddItem(t);
    for (const QString& t : kThresholds)
        m_threshold->AddItem(t);
    for (const QString& t : kOutputFormats)
        m_format->AddItem(t);
    m_format->setText(QStringLiteral("MP3"));
    // 2. The drive of the folder the recordings go to.
    const auto home = m_setup.disk->volumeOf(userFolder());
    MonitoredDrive = home ? home->mountPoint : userFolder();
    m_threshold->setListIndex(1);
    m_limit->setListIndex(1);

    bool failed = !Command4_Click(); // 3.
    // 4.
    setQualityIndex(11);
    m_style->setCurrentIndex(0);
    m_limit->setListIndex(1);
    SetStatus(kStatusStopped);

    // 5. Section "Settings" of the per-user store.
    int savedDevice = 0;
    bool positioned = false;
    if (!failed) {
        const StoredSettings s = readStoredSettings(*m_setup.store);
        if (s.x && s.y) {
            move(int(std::lround(*s.x)), int(std::lround(*s.y)));
            positioned = true;
        }
        if (s.driver)
            savedDevice = *s.driver;
        if (s.quality)
            setQualityIndex(*s.quality);
        if (s.style)
            m_style->setCurrentIndex(*s.style);
        if (s.calibration)
            m_hsCalibration->setValue(*s.calibration);
        if (s.diskspace)
            m_threshold->setListIndex(*s.diskspace);
        failed = s.failed;
    }
    if (QScreen* screen = QGuiApplication::primaryScreen(); !positioned && screen) {
        const QRect r = screen->availableGeometry();
        move(r.center() - rect().center());
    }
    // 6., 7. The device list is filled and a device chosen even after a failed restore, so that
    // a damaged settings file never leaves the recorder without its input.
    fillDevices(savedDevice);
    // 8. The settings file.
    if (!failed && QFileInfo::exists(recsetPath())) {
        if (const auto r = readRecSet(recsetPath())) {
            m_devices->setListIndex(r->device);
            m_format->setText(r->format);
            m_limit->setText(r->limit);
            m_threshold->setText(r->threshold);
        } else {
            failed = true;
        }
    }
    if (failed)
        QFile::remove(recsetPath());
    // 9. The device in use: the first input whose name is the list's text.
    CaptureControl* capture = m_setup.capture;
    InputDeviceNumber = capture->DeviceCount() + 1;
    const QString chosen = m_devices->text();
    for (int n = 1; n <= capture->DeviceCount(); ++n)
        if (capture->DeviceName(n) == chosen && capture->DeviceKind(n) == 1) {
            InputDeviceNumber = n;
            break;
        }
    // 10.
    applyCalibration();
}

void FRMMAIN::fillDevices(int savedPosition)
{
    CaptureControl* capture = m_setup.capture;
    for (int n = 1; n <= capture->DeviceCount(); ++n)
        if (capture->DeviceKind(n) == 1)
            m_devices->AddItem(capture->DeviceName(n));
    const int count = m_devices->model().count();
    if (savedPosition >= 1 && savedPosition <= count)
        m_devices->setListIndex(savedPosition);
    else if (count > 0)
        m_devices->setListIndex(1);
    else
        m_devices->setEnabled(false);
}

void FRMMAIN::applyCalibration()
{
    CalibrationFactor = float(m_hsCalibration->value()) / 10.0f;
    m_setup.capture->setSensitivityFactor(CalibrationFactor);
    m_factor->setText(factorLabel(CalibrationFactor));
}

void FRMMAIN::startMonitoring()
{
    SetStatus(kStatusStopped);
    CaptureControl* capture = m_setup.capture;
    capture->setInputDevice(InputDeviceNumber);
    capture->StartMonitoring();
    if (ErrorPending) {
        ErrorPending = false;
        m_cmdStopVU->setEnabled(false);
    } else {
        m_cmdStopVU->setEnabled(true);
    }
    CalibrationFactor = capture->SensitivityFactor();
}

void FRMMAIN::setQualityIndex(int index)
{
    if (index < 0 || index >= m_quality->count())
        return;
    if (m_quality->currentIndex() == index)
        m_setup.capture->setQuality(m_quality->itemData(index).toInt());
    else
        m_quality->setCurrentIndex(index);
}

void FRMMAIN::onError(int number, const QString& description)
{
    if (description.isEmpty())
        return;
    m_setup.dialogs->message(this, Dialogs::Icon::None, kTitle,
                             QStringLiteral("(") + QString::number(number) + QStringLiteral(") ") + description);
    ErrorPending = true;
}

void FRMMAIN::onStateChanged(int state)
{
    if (state == 0 || state == 1) {
        SetStatus(kStatusStopped);
    } else if (state == 3) {
        m_cmdrecord->setVisible(MonitoringActive());
        SetStatus(kStatusStopped);
    }
}

void FRMMAIN::on_cmdrecord_Click()
{
    m_cmdstopplaying->hide();
    m_cmdstop->show();
    if (RecordState == QLatin1String("recording"))
        return;
    RecordState = QStringLiteral("recording");
    FileRequest request;
    request.title = QStringLiteral("Save Sampled Audio");
    request.filter = QStringLiteral("Wave Files|*.wav");
    request.folder = userPath(QStringLiteral("saved recordings"));
    request.defaultSuffix = QStringLiteral("wav");
    const QString file = m_setup.dialogs->saveFileName(this, request);
    if (file.isEmpty())
        return;
    if (QFileInfo::exists(file)
        && !m_setup.dialogs->question(this, Dialogs::Icon::Question, QStringLiteral("Warning"),
                                      QStringLiteral("Recording over an existing file will append the recorded "
                                                     "audio to the file.\r\nAre you sure this is what you want to do?")))
        return;
    CaptureControl* capture = m_setup.capture;
    capture->setFileName(file);
    LastRecordingPath = file;
    const double limit = numericValue(m_limit->text()) * 60.0;
    if (!capture->StartRecording(limit)) {
        m_setup.dialogs->message(this, Dialogs::Icon::Critical, kTitle,
                                 QStringLiteral("The control could not start recording"));
        return;
    }
    const auto volume = m_setup.disk->volumeOf(file);
    if (!volume)
        return;
    MonitoredDrive = volume->mountPoint;
    if (!Command4_Click())
        return;
    if (startCheckTripped())
        return;
    SetStatus(kStatusRecording);
}

bool FRMMAIN::startCheckTripped()
{
    const QString threshold = m_threshold->text();
    if (!guardTripped(threshold, FreeMegabytes))
        return false;
    if (m_lcd2)
        m_lcd2->SetDisplay(1, kDiskSpaceWarning);
    m_setup.dialogs->message(this, Dialogs::Icon::Information, kTitle,
                             lowSpaceMessage(MonitoredDrive, FreeMegabytes, threshold));
    return true;
}

void FRMMAIN::on_cmdstop_Click()
{
    m_cmdrecord->show();
    m_cmdstop->hide();
    m_cmdstopplaying->show();
    if (RecordState == QLatin1String("stopped"))
        return;
    RecordState = QStringLiteral("stopped");
    m_ucsPos->show();
    SetStatus(kStatusStopped);
    CaptureControl* capture = m_setup.capture;
    capture->StopRecording();
    capture->setFileName(capture->FileName());
    m_ucsPos->setMinimum(0);
    m_ucsPos->setMaximum(std::llround(capture->Length()));
    m_ucsPos->setEnabled(true);
    m_cmdplay->show();
    m_devices->setEnabled(m_devices->model().count() > 0);
    // Nothing was recorded since the start: nothing to convert.
    if (m_format->text() == QLatin1String("MP3") && !LastRecordingPath.isEmpty()) {
        m_converter->start(LastRecordingPath, mp3TargetOf(LastRecordingPath), kAutomatic);
    }
}

void FRMMAIN::on_cmdplay_Click()
{
    m_cmdstopplaying->show();
    m_cmdstop->hide();
    CaptureControl* capture = m_setup.capture;
    capture->Play(m_loop->isChecked());
    if (ErrorPending) {
        ErrorPending = false;
        return;
    }
    capture->ReadFileFormat();
    if (const auto index = qualityIndexOfFlag(capture->quality()))
        setQualityIndex(*index);
    m_devices->setEnabled(false);
    SetStatus(kStatusPlaying);
    m_tmrMonPlayBack.start();
}

void FRMMAIN::on_cmdstopplaying_Click()
{
    m_setup.capture->StopPlaying();
    m_devices->setEnabled(m_devices->model().count() > 0);
    m_ucsPos->setValue(0);
    m_tmrMonPlayBack.stop();
}

void FRMMAIN::onPositionTimer()
{
    PositionUpdating = true;
    m_ucsPos->setValue(std::llround(m_setup.capture->Position()));
    PositionUpdating = false;
}

void FRMMAIN::onProgress(double bytes)
{
    if (m_lcd1)
        m_lcd1->SetDisplay(3, progressText(bytes, m_setup.capture->ElapsedTime()));
    // A drive that cannot be read any more (removed) leaves the recording alone; the capture
    // control reports a failing write itself.
    if (!Command4_Click())
        return;
    if (guardTripped(m_threshold->text(), FreeMegabytes)) {
        on_cmdstop_Click();
        if (m_lcd2)
            m_lcd2->SetDisplay(1, kStoppedLowSpace);
    }
}

void FRMMAIN::on_command3_Click()
{
    QString source;
    for (;;) {
        FileRequest open;
        open.title = QStringLiteral("Please choose a wav file to convert.");
        open.filter = QStringLiteral("Wav Files (*.wav)|*.wav|Wav Files (*.*)|*.*");
        open.fileName = m_lastSource;
        open.folder = m_lastSource.isEmpty() ? userPath(QStringLiteral("saved recordings")) : folderOf(m_lastSource);
        source = m_setup.dialogs->openFileName(this, open);
        if (source.isEmpty())
            return;
        if (QFileInfo(source).isFile())
            break;
        m_setup.dialogs->message(this, Dialogs::Icon::Information, kTitle, QStringLiteral("Please choose an existing wav file."));
    }
    m_lastSource = source;
    QString target;
    for (;;) {
        FileRequest save;
        save.title = QStringLiteral("Please choose a filename for your Mp3.");
        save.filter = QStringLiteral("Mp3 Files (*.mp3)|*.mp3|mp3 Files (*.*)|*.*");
        save.folder = m_lastTarget.isEmpty() ? folderOf(source) : folderOf(m_lastTarget);
        save.defaultSuffix = QStringLiteral("mp3");
        target = m_setup.dialogs->saveFileName(this, save);
        if (target.isEmpty())
            return;
        if (!QFileInfo::exists(target)
            || m_setup.dialogs->question(this, Dialogs::Icon::Information, kTitle,
                                         QStringLiteral("This will overwrite an existing Mp3. Would you like to continue?")))
            break;
    }
    m_lastTarget = target;
    if (m_lcd1)
        m_lcd1->SetDisplay(3, QStringLiteral(" Converting: 0%"));
    m_converter->start(source, target, kManual);
}

void FRMMAIN::onConversionFinished(bool ok, const QString& source, const QString& target, const QString& error,
                                   int tag)
{
    if (m_lcd1)
        m_lcd1->SetDisplay(3, ok ? QStringLiteral(" MP3 created") : QStringLiteral(" MP3 failed"));
    if (tag == kAutomatic) {
        // The WAV goes only once its MP3 is complete; a failed conversion keeps it.
        if (ok) {
            QFile::remove(source);
            return;
        }
        m_setup.dialogs->message(this, Dialogs::Icon::Critical, kTitle,
                                 QStringLiteral("The recording could not be converted to MP3: ") + error
                                     + QStringLiteral("\r\nThe WAV file was kept: ") + source);
        return;
    }
    if (!ok) {
        m_setup.dialogs->message(this, Dialogs::Icon::Critical, kTitle,
                                 QStringLiteral("The Mp3 could not be created: ") + error);
        return;
    }
    if (m_setup.dialogs->question(this, Dialogs::Icon::Information, kTitle,
                                  QStringLiteral("Your Mp3 has been created:  ") + target
                                      + QStringLiteral(". Would you like to view the file?")))
        m_setup.launcher->open(QUrl::fromLocalFile(folderOf(target)));
}

void FRMMAIN::on_command1_Click()
{
    const QString mixer = m_setup.findProgram(QStringLiteral("pavucontrol"));
    // pavucontrol's second tab lists the programs that record, with their sources and levels.
    if (mixer.isEmpty()) {
        m_setup.dialogs->message(this, Dialogs::Icon::Information, kTitle,
                                 QStringLiteral("No recording mixer was found. Install \"pavucontrol\" (PulseAudio "
                                                "Volume Control) to choose the recording source and its level."));
    } else if (!m_setup.launcher->start(mixer, {QStringLiteral("--tab=2")})) {
        m_setup.dialogs->message(this, Dialogs::Icon::Information, kTitle,
                                 QStringLiteral("Could not open the mixer, please contact support"));
        return;
    }
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

void FRMMAIN::on_command2_Click()
{
    const QString folder = folderOf(LastRecordingPath);
    if (folder.isEmpty()) {
        m_setup.dialogs->message(this, Dialogs::Icon::Information, kTitle,
                                 QStringLiteral("No file has yet been recorded during this session."));
        return;
    }
    if (!m_setup.launcher->open(QUrl::fromLocalFile(folder)))
        m_setup.dialogs->message(this, Dialogs::Icon::Information, kTitle, QStringLiteral("The directory could not be opened."));
}

void FRMMAIN::on_picturebutton1_Click()
{
    if (!m_drive) {
        m_drive = new frmDRIVE(*m_setup.disk, nullptr);
        m_drive->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_drive, &frmDRIVE::driveChosen, this, [this](const QString& drive) { MonitoredDrive = drive; });
    }
    m_drive->show();
    m_drive->raise();
    m_drive->activateWindow();
}

void FRMMAIN::on_chameleonButton5_Click()
{
    const QString own = path(QStringLiteral("SOUNDEDIT"));
    const QFileInfo info(own);
    QString editor = info.isFile() && info.isExecutable() ? own : m_setup.findProgram(QStringLiteral("audacity"));
    if (editor.isEmpty() || !m_setup.launcher->start(editor, {}))
        m_setup.dialogs->message(this, Dialogs::Icon::Information, kTitle,
                                 QStringLiteral("There was a problem loading the editor. The file could not be found."));
}

void FRMMAIN::on_chameleonButton2_Click()
{
    showMinimized();
}

void FRMMAIN::on_chameleonButton1_Click()
{
    if (m_closing)
        return;
    m_closing = true;
    hide();
    setEnabled(false);
    QCoreApplication::processEvents();
    m_setup.capture->CloseDevices();
    QTimer::singleShot(m_setup.closeDelayMs, this, &FRMMAIN::finishClose);
}

void FRMMAIN::finishClose()
{
    if (m_drive)
        m_drive->close();
    if (m_help)
        m_help->close();
    saveSettings();
    writeSettingsFile();
    // An automatic conversion still running finishes (and removes its WAV) before the end.
    if (m_converter->running())
        m_converter->waitForFinished(60000);
    emit finished();
}

void FRMMAIN::saveForSessionEnd()
{
    m_setup.capture->StopRecording();
    saveSettings();
    writeSettingsFile();
}

void FRMMAIN::saveSettings()
{
    WindowSettings v;
    v.x = pos().x();
    v.y = pos().y();
    v.driver = m_devices->listIndex();
    v.quality = m_quality->currentIndex();
    v.style = m_style->currentIndex();
    v.calibration = m_hsCalibration->value();
    v.diskspace = m_threshold->listIndex();
    writeStoredSettings(*m_setup.store, v);
    m_saved = true;
}

void FRMMAIN::writeSettingsFile()
{
    RecSet r;
    r.device = m_devices->listIndex();
    r.format = m_format->text();
    r.limit = m_limit->text();
    r.threshold = m_threshold->text();
    writeRecSet(recsetPath(), r);
}

void FRMMAIN::closeEvent(QCloseEvent* event)
{
    // Closed by the window manager or the desktop: the same way as the Close button.
    if (!m_closing) {
        event->ignore();
        on_chameleonButton1_Click();
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

void FRMMAIN::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) && windowHandle()
        && windowHandle()->startSystemMove())
        return;
    m_dragAnchor = e->position().toPoint();
}

void FRMMAIN::mouseMoveEvent(QMouseEvent* e)
{
    if (e->buttons() & Qt::LeftButton)
        move(pos() + e->position().toPoint() - m_dragAnchor);
}

} // namespace sonaveil::recorder
