#include "recorder/core/recordersession.h"

#include "recorder/capture/capturecontrol.h"
#include "recorder/capture/wavformat.h"
#include "recorder/core/diskguard.h"
#include "recorder/core/mp3converter.h"
#include "recorder/core/rules.h"
#include "recorder/core/settings.h"

#include "platform/diskspace.h"
#include "platform/launcher.h"

#include <QCoreApplication>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <utility>

namespace sonaveil::recorder {

namespace {

const QString kTitle = QStringLiteral("Recorder");

// Tags of the two kinds of conversion.
constexpr int kAutomatic = 1;
constexpr int kManual = 2;

using Button = SessionView::Button;
using List = SessionView::List;

} // namespace

RecorderSession::RecorderSession(const RecorderSetup& setup, SessionView& view, QObject* parent)
    : QObject(parent), m_setup(setup), m_view(view), m_capture(*setup.capture), m_dialogs(*setup.dialogs)
{
    if (!m_setup.findProgram)
        m_setup.findProgram = [](const QString&) { return QString(); };
    m_converter = new Mp3Converter(path(QStringLiteral("conver")), this);
    connect(m_converter, &Mp3Converter::finished, this, &RecorderSession::onConversionFinished);
    connect(m_converter, &Mp3Converter::progress, this,
            [this](int percent) { m_view.showProgress(QStringLiteral(" Converting: %1%").arg(percent)); });
    m_positionTimer.setInterval(100);
    connect(&m_positionTimer, &QTimer::timeout, this, &RecorderSession::pollPosition);
    connect(&m_capture, &CaptureControl::ErrorOccurred, this, &RecorderSession::onError);
    connect(&m_capture, &CaptureControl::StateChanged, this, &RecorderSession::onStateChanged);
    connect(&m_capture, &CaptureControl::Progress, this, &RecorderSession::onProgress);
}

RecorderSession::~RecorderSession() = default;

QString RecorderSession::path(const QString& leaf) const
{
    return m_setup.programFolder + QLatin1Char('/') + leaf;
}

QString RecorderSession::userFolder() const
{
    return m_setup.userFolder.isEmpty() ? m_setup.programFolder : m_setup.userFolder;
}

QString RecorderSession::userPath(const QString& leaf) const
{
    return userFolder() + QLatin1Char('/') + leaf;
}

void RecorderSession::tell(Dialogs::Icon icon, const QString& text)
{
    m_dialogs.message(m_owner, icon, kTitle, text);
}

void RecorderSession::start()
{
    const QString recset = userPath(kRecSetName);
    // 1. The output format shows "MP3" until something is chosen.
    m_view.setListText(List::Format, QStringLiteral("MP3"));
    // 2. The drive of the folder the recordings go to.
    const auto home = m_setup.disk->volumeOf(userFolder());
    m_monitoredDrive = home ? home->mountPoint : userFolder();
    m_view.setListPosition(List::Threshold, 1);
    m_view.setListPosition(List::Limit, 1);

    bool failed = !refreshFreeSpace(); // 3.
    // 4.
    chooseQuality(11);
    chooseStyle(0);
    m_view.setListPosition(List::Limit, 1);
    m_view.showStatus(kStatusStopped);

    // 5. Section "Settings" of the per-user store.
    int savedDevice = 0;
    std::optional<QPoint> position;
    if (!failed) {
        const StoredSettings s = readStoredSettings(*m_setup.store);
        if (s.x && s.y)
            position = QPoint(int(std::lround(*s.x)), int(std::lround(*s.y)));
        if (s.driver)
            savedDevice = *s.driver;
        if (s.quality)
            chooseQuality(*s.quality);
        if (s.style)
            chooseStyle(*s.style);
        if (s.calibration)
            setCalibration(*s.calibration);
        if (s.diskspace)
            m_view.setListPosition(List::Threshold, *s.diskspace);
        failed = s.failed;
    }
    m_view.placeWindow(position);
    // 6., 7. The device list is filled and a device chosen even after a failed restore, so that
    // a damaged settings file never leaves the recorder without its input.
    fillDevices(savedDevice);
    // 8. The settings file.
    if (!failed && QFileInfo::exists(recset)) {
        if (const auto r = readRecSet(recset)) {
            m_view.setListPosition(List::Device, r->device);
            m_view.setListText(List::Format, r->format);
            m_view.setListText(List::Limit, r->limit);
            m_view.setListText(List::Threshold, r->threshold);
        } else {
            failed = true;
        }
    }
    if (failed)
        QFile::remove(recset);
    // 9. The device in use: the first input whose name is the list's text.
    m_inputDevice = m_capture.DeviceCount() + 1;
    const QString chosen = m_view.listText(List::Device);
    for (int n = 1; n <= m_capture.DeviceCount(); ++n)
        if (m_capture.DeviceName(n) == chosen && m_capture.DeviceKind(n) == 1) {
            m_inputDevice = n;
            break;
        }
    // 10.
    applyCalibration();
    // 11.
    startMonitoring();
}

void RecorderSession::fillDevices(int savedPosition)
{
    for (int n = 1; n <= m_capture.DeviceCount(); ++n)
        if (m_capture.DeviceKind(n) == 1)
            m_view.addDevice(m_capture.DeviceName(n));
    const int count = m_view.deviceCount();
    if (savedPosition >= 1 && savedPosition <= count)
        m_view.setListPosition(List::Device, savedPosition);
    else if (count > 0)
        m_view.setListPosition(List::Device, 1);
    else
        m_view.setDevicesEnabled(false);
}

void RecorderSession::startMonitoring()
{
    m_view.showStatus(kStatusStopped);
    m_capture.setInputDevice(m_inputDevice);
    m_capture.StartMonitoring();
    m_monitoringActive = !m_errorPending;
    m_errorPending = false;
    m_view.showMonitoring(m_monitoringActive);
    m_calibrationFactor = m_capture.SensitivityFactor();
}

void RecorderSession::setCalibration(int value)
{
    m_calibration = std::clamp(value, kCalibrationMin, kCalibrationMax);
    applyCalibration();
}

void RecorderSession::applyCalibration()
{
    m_calibrationFactor = float(m_calibration) / 10.0f;
    m_capture.setSensitivityFactor(m_calibrationFactor);
    m_view.showCalibration(m_calibration, factorLabel(m_calibrationFactor));
}

void RecorderSession::chooseQuality(int index)
{
    if (index < 0 || index >= int(kQualities.size()))
        return;
    m_quality = index;
    m_capture.setQuality(kQualities[std::size_t(index)].flag);
    m_view.showQuality(index);
}

void RecorderSession::chooseStyle(int index)
{
    if (index < 0 || index >= kMeterStyles.size())
        return;
    m_style = index;
    m_view.showStyle(index);
}

void RecorderSession::setInternalRendering(bool on)
{
    m_capture.setInternalRendering(on);
}

bool RecorderSession::refreshFreeSpace()
{
    const auto volume = m_setup.disk->volumeOf(m_monitoredDrive);
    if (!volume)
        return false;
    m_freeMegabytes = recorder::freeMegabytes(volume->available);
    m_view.showSpace(spaceLine(m_freeMegabytes, m_monitoredDrive));
    return true;
}

void RecorderSession::onError(int number, const QString& description)
{
    if (description.isEmpty())
        return;
    m_errorPending = true;
    // One failure, one message: a lost sound server reports itself more than once in a row.
    if (m_recordState == RecordState::Recording && m_errorTold && m_lastErrorTold.isValid()
        && m_lastErrorTold.elapsed() < kErrorEpisodeMs)
        return;
    m_errorTold = true;
    m_lastErrorTold.start();
    tell(Dialogs::Icon::None, QStringLiteral("(") + QString::number(number) + QStringLiteral(") ") + description);
}

void RecorderSession::recordingNotStarted()
{
    m_recordState = RecordState::Stopped;
    m_view.setButtonShown(Button::Record, true);
    m_view.setButtonShown(Button::Stop, false);
    m_view.showStatus(kStatusStopped);
}

void RecorderSession::onStateChanged(int state)
{
    if (state == CaptureControl::Monitoring)
        m_view.setButtonShown(Button::Record, m_monitoringActive);
    if (state == CaptureControl::Closed || state == CaptureControl::PlayEnded || state == CaptureControl::Monitoring)
        m_view.showStatus(kStatusStopped);
}

void RecorderSession::record()
{
    m_view.setButtonShown(Button::StopPlaying, false);
    m_view.setButtonShown(Button::Stop, true);
    if (m_recordState == RecordState::Recording)
        return;
    m_recordState = RecordState::Recording;
    FileRequest request;
    request.title = tr("Save Sampled Audio");
    request.folder = userPath(QStringLiteral("saved recordings"));
    if (m_view.listText(List::Format) == QStringLiteral("MP3")) {
        // The names the user may be about to reuse are those of the MP3s; the WAVs are shown too,
        // since recording into one appends to it.
        request.filter = tr("MP3 Files, recorded as WAV and converted at Stop|*.mp3;*.wav");
        request.defaultSuffix = QStringLiteral("mp3");
    } else {
        request.filter = tr("Wave Files|*.wav");
        request.defaultSuffix = QStringLiteral("wav");
    }
    QString file = m_dialogs.saveFileName(m_owner, request);
    if (file.isEmpty())
        return;
    // The recording is a WAV whatever name it was given: "x.mp3" records into "x.wav", so that
    // the MP3 made from it never takes the recording's own name.
    if (QFileInfo(file).suffix().compare(QLatin1String("wav"), Qt::CaseInsensitive) != 0
        && QFileInfo(file).suffix().compare(QLatin1String("mp3"), Qt::CaseInsensitive) == 0)
        file.chop(3), file += QStringLiteral("wav");
    if (QFileInfo::exists(file)
        && !m_dialogs.question(m_owner, Dialogs::Icon::Question, tr("Warning"),
                               tr("Recording over an existing file will append the recorded "
                                  "audio to the file.\r\nAre you sure this is what you want to do?")))
        return;
    // The WAV goes once it is converted, so no question about it would come next time: the MP3
    // an earlier take left under this name is asked about here.
    m_replaceableMp3.clear();
    if (m_view.listText(List::Format) == QStringLiteral("MP3")) {
        const QString mp3 = mp3TargetOf(file);
        if (QFileInfo::exists(mp3)) {
            if (!m_dialogs.question(m_owner, Dialogs::Icon::Information, kTitle,
                                    tr("This will overwrite an existing Mp3. Would you like to continue?")))
                return;
            m_replaceableMp3 = mp3;
        }
    }
    m_capture.setFileName(file);
    const double limit = numericValue(m_view.listText(List::Limit)) * 60.0;
    m_errorTold = false;
    if (!m_capture.StartRecording(limit)) {
        tell(Dialogs::Icon::Critical, tr("The control could not start recording"));
        // Nothing is recording: Stop has nothing to stop, nor a file to show.
        recordingNotStarted();
        return;
    }
    m_lastRecording = file;
    m_take = file;
    const auto volume = m_setup.disk->volumeOf(file);
    if (!volume)
        return;
    m_monitoredDrive = volume->mountPoint;
    if (!refreshFreeSpace())
        return;
    if (startCheckTripped())
        return;
    m_view.showStatus(kStatusRecording);
}

bool RecorderSession::startCheckTripped()
{
    const QString threshold = m_view.listText(List::Threshold);
    if (!guardTripped(threshold, m_freeMegabytes))
        return false;
    m_view.showSpace(kDiskSpaceWarning);
    tell(Dialogs::Icon::Information, lowSpaceMessage(m_monitoredDrive, m_freeMegabytes, threshold));
    return true;
}

void RecorderSession::stopRecording()
{
    m_view.setButtonShown(Button::Record, true);
    m_view.setButtonShown(Button::Stop, false);
    m_view.setButtonShown(Button::StopPlaying, true);
    if (m_recordState == RecordState::Stopped)
        return;
    m_recordState = RecordState::Stopped;
    m_view.showStatus(kStatusStopped);
    m_capture.StopRecording();
    m_capture.setFileName(m_capture.FileName());
    m_view.preparePositionSlider(int(std::llround(m_capture.Length())));
    m_view.setButtonShown(Button::Play, true);
    m_view.setDevicesEnabled(m_view.deviceCount() > 0);
    // Only what this record action recorded is converted: after a cancelled dialog or a refused
    // append there is nothing new, and the earlier take was converted at its own stop.
    const QString take = std::exchange(m_take, QString());
    if (m_view.listText(List::Format) == QStringLiteral("MP3") && !take.isEmpty())
        m_converter->start(take, mp3TargetFor(take), kAutomatic);
}

QString RecorderSession::mp3TargetFor(const QString& take) const
{
    // An MP3 the user did not agree to replace (it appeared meanwhile, or MP3 was chosen after
    // the recording started) stays; the new one takes the first free name beside it.
    const QString mp3 = mp3TargetOf(take);
    if (!QFileInfo::exists(mp3) || mp3 == m_replaceableMp3)
        return mp3;
    const QString stem = mp3.chopped(4);
    for (int n = 2;; ++n) {
        const QString free = QStringLiteral("%1 (%2).mp3").arg(stem).arg(n);
        if (!QFileInfo::exists(free) && !QFileInfo(free).isSymLink())
            return free;
    }
}

void RecorderSession::play()
{
    m_view.setButtonShown(Button::StopPlaying, true);
    m_view.setButtonShown(Button::Stop, false);
    m_capture.Play(m_view.loopPlayback());
    if (m_errorPending) {
        m_errorPending = false;
        return;
    }
    m_capture.ReadFileFormat();
    // A file in none of the list's formats (an MP3) leaves the list as it is, and the next
    // recording in the format the list shows.
    chooseQuality(qualityIndexOfFlag(m_capture.quality()).value_or(m_quality));
    m_view.setDevicesEnabled(false);
    m_view.showStatus(kStatusPlaying);
    m_positionTimer.start();
}

void RecorderSession::stopPlaying()
{
    m_capture.StopPlaying();
    m_view.setDevicesEnabled(m_view.deviceCount() > 0);
    m_view.setPosition(0);
    m_positionTimer.stop();
}

void RecorderSession::pollPosition()
{
    m_positionUpdating = true;
    m_view.setPosition(int(std::llround(m_capture.Position())));
    m_positionUpdating = false;
}

void RecorderSession::seek(int position)
{
    if (!m_positionUpdating)
        m_capture.setPosition(double(position));
}

void RecorderSession::onProgress(double bytes)
{
    m_view.showProgress(progressText(bytes, m_capture.ElapsedTime()));
    // A drive that cannot be read any more (removed) leaves the recording alone; the capture
    // control reports a failing write itself.
    if (!refreshFreeSpace())
        return;
    if (guardTripped(m_view.listText(List::Threshold), m_freeMegabytes)) {
        stopRecording();
        m_view.showSpace(kStoppedLowSpace);
    }
}

void RecorderSession::convertByHand()
{
    QString source;
    for (;;) {
        FileRequest open;
        open.title = tr("Please choose a wav file to convert.");
        open.filter = tr("Wav Files (*.wav)|*.wav|Wav Files (*.*)|*.*");
        open.fileName = m_lastSource;
        open.folder = m_lastSource.isEmpty() ? userPath(QStringLiteral("saved recordings")) : folderOf(m_lastSource);
        source = m_dialogs.openFileName(m_owner, open);
        if (source.isEmpty())
            return;
        if (QFileInfo(source).isFile())
            break;
        tell(Dialogs::Icon::Information, tr("Please choose an existing wav file."));
    }
    m_lastSource = source;
    QString target;
    for (;;) {
        FileRequest save;
        save.title = tr("Please choose a filename for your Mp3.");
        save.filter = tr("Mp3 Files (*.mp3)|*.mp3|mp3 Files (*.*)|*.*");
        save.folder = m_lastTarget.isEmpty() ? folderOf(source) : folderOf(m_lastTarget);
        save.defaultSuffix = QStringLiteral("mp3");
        target = m_dialogs.saveFileName(m_owner, save);
        if (target.isEmpty())
            return;
        if (!QFileInfo::exists(target)
            || m_dialogs.question(m_owner, Dialogs::Icon::Information, kTitle,
                                  tr("This will overwrite an existing Mp3. Would you like to continue?")))
            break;
    }
    m_lastTarget = target;
    m_view.showProgress(QStringLiteral(" Converting: 0%"));
    m_converter->start(source, target, kManual);
}

void RecorderSession::onConversionFinished(bool ok, const QString& source, const QString& target,
                                           const QString& error, int tag)
{
    m_view.showProgress(ok ? QStringLiteral(" MP3 created") : QStringLiteral(" MP3 failed"));
    if (tag == kAutomatic) {
        // The WAV goes only once its MP3 is complete; a failed conversion keeps it, and so does
        // a take that is being appended to it right now (its own stop converts it again).
        if (ok) {
            if (source != m_take)
                QFile::remove(source);
            // Play plays what is left of the recording: its MP3.
            if (m_capture.FileName() == source && !QFileInfo::exists(source))
                m_capture.setFileName(target);
            return;
        }
        tell(Dialogs::Icon::Critical,
             tr("The recording could not be converted to MP3: %1\r\nThe WAV file was kept: %2").arg(error, source));
        return;
    }
    if (!ok) {
        tell(Dialogs::Icon::Critical, tr("The Mp3 could not be created: %1").arg(error));
        return;
    }
    if (m_dialogs.question(m_owner, Dialogs::Icon::Information, kTitle,
                           tr("Your Mp3 has been created:  %1. Would you like to view the file?").arg(target)))
        m_setup.launcher->open(QUrl::fromLocalFile(folderOf(target)));
}

bool RecorderSession::openMixer()
{
    const QString mixer = m_setup.findProgram(QStringLiteral("pavucontrol"));
    // pavucontrol's second tab lists the programs that record, with their sources and levels.
    if (mixer.isEmpty()) {
        tell(Dialogs::Icon::Information,
             tr("No recording mixer was found. Install \"pavucontrol\" (PulseAudio "
                "Volume Control) to choose the recording source and its level."));
    } else if (!m_setup.launcher->start(mixer, {QStringLiteral("--tab=2")})) {
        tell(Dialogs::Icon::Information, tr("Could not open the mixer, please contact support"));
        return false;
    }
    return true;
}

void RecorderSession::openRecordingsFolder()
{
    const QString folder = folderOf(m_lastRecording);
    if (folder.isEmpty()) {
        tell(Dialogs::Icon::Information, tr("No file has yet been recorded during this session."));
        return;
    }
    if (!m_setup.launcher->open(QUrl::fromLocalFile(folder)))
        tell(Dialogs::Icon::Information, tr("The directory could not be opened."));
}

void RecorderSession::startSoundEditor()
{
    const QString own = path(QStringLiteral("SOUNDEDIT"));
    const QFileInfo info(own);
    const QString editor = info.isFile() && info.isExecutable() ? own : m_setup.findProgram(QStringLiteral("audacity"));
    if (editor.isEmpty() || !m_setup.launcher->start(editor, {}))
        tell(Dialogs::Icon::Information,
             tr("There was a problem loading the editor. The file could not be found."));
}

void RecorderSession::close()
{
    if (m_closing)
        return;
    m_closing = true;
    m_view.hideForClose();
    QCoreApplication::processEvents();
    m_capture.CloseDevices();
    QTimer::singleShot(m_setup.closeDelayMs, this, &RecorderSession::finishClose);
}

void RecorderSession::finishClose()
{
    m_view.closeOtherWindows();
    saveSettings();
    writeSettingsFile();
    // An automatic conversion still running finishes (and removes its WAV) before the end.
    if (m_converter->running())
        m_converter->waitForFinished(60000);
    emit finished();
}

void RecorderSession::saveForSessionEnd()
{
    m_capture.StopRecording();
    saveSettings();
    writeSettingsFile();
}

void RecorderSession::saveSettings()
{
    WindowSettings v;
    const QPoint at = m_view.windowPosition();
    v.x = at.x();
    v.y = at.y();
    v.driver = m_view.listPosition(List::Device);
    v.quality = m_quality;
    v.style = m_style;
    v.calibration = m_calibration;
    v.diskspace = m_view.listPosition(List::Threshold);
    writeStoredSettings(*m_setup.store, v);
}

void RecorderSession::writeSettingsFile()
{
    RecSet r;
    r.device = m_view.listPosition(List::Device);
    r.format = m_view.listText(List::Format);
    r.limit = m_view.listText(List::Limit);
    r.threshold = m_view.listText(List::Threshold);
    if (!writeRecSet(userPath(kRecSetName), r))
        tell(Dialogs::Icon::Information,
             tr("The settings file \"%1\" could not be written: the lists will not be kept.")
                 .arg(QDir::toNativeSeparators(userPath(kRecSetName))));
}

} // namespace sonaveil::recorder
