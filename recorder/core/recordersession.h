#pragma once

#include "recorder/core/dialogs.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

class QSettings;

namespace sonaveil::platform {
class DiskSpace;
class Launcher;
}

namespace sonaveil::recorder {

class CaptureControl;
class Mp3Converter;

// What the recorder works with; tests hand in fakes.
struct RecorderSetup {
    // The recorder, conver and the help pages.
    QString programFolder;
    // The user's files: "recset.inl" and "saved recordings"; empty for the program folder.
    QString userFolder;
    Dialogs* dialogs = nullptr;
    platform::Launcher* launcher = nullptr;
    platform::DiskSpace* disk = nullptr;
    QSettings* store = nullptr;
    CaptureControl* capture = nullptr;
    // Finds a program on the PATH ("" when it is not installed).
    std::function<QString(const QString&)> findProgram;
    // The pause between releasing the devices and ending, while the window is hidden.
    int closeDelayMs = 2000;
};

// The recorder window as the session sees it: the lines and buttons it shows, the lists whose
// texts the user edits there.
class SessionView {
public:
    enum class Button { Record, Stop, StopPlaying, Play };
    // The four drop-down lists; positions count from 1.
    enum class List { Format, Limit, Threshold, Device };
    virtual ~SessionView() = default;

    // Line 2 of LCD1.
    virtual void showStatus(const QString& text) = 0;
    // Line 3 of LCD1.
    virtual void showProgress(const QString& text) = 0;
    // Line 1 of LCD2.
    virtual void showSpace(const QString& text) = 0;
    virtual void setButtonShown(Button button, bool shown) = 0;
    // Shows and enables the playback slider with the range 0..maximum.
    virtual void preparePositionSlider(int maximum) = 0;
    // Moves the playback slider; like a user's move, it reports the change back through seek().
    virtual void setPosition(int value) = 0;

    virtual QString listText(List list) const = 0;
    virtual void setListText(List list, const QString& text) = 0;
    virtual int listPosition(List list) const = 0;
    // Selects the entry at `position` (its text too); a position that names no entry changes nothing.
    virtual void setListPosition(List list, int position) = 0;
    virtual void addDevice(const QString& name) = 0;
    virtual int deviceCount() const = 0;
    virtual void setDevicesEnabled(bool enabled) = 0;

    // The controls that only hold state: quality and meter-style lists, the calibration slider
    // with its factor label, the stop-monitoring button whose enabled state means "monitoring".
    virtual void showQuality(int index) = 0;
    virtual void showStyle(int index) = 0;
    virtual void showCalibration(int value, const QString& factorLabel) = 0;
    virtual void showMonitoring(bool active) = 0;
    // The loop box of playback.
    virtual bool loopPlayback() const = 0;

    // Moves the window to a stored position, or centres it on the screen.
    virtual void placeWindow(std::optional<QPoint> position) = 0;
    virtual QPoint windowPosition() const = 0;
    // Hides and disables the window while the program closes.
    virtual void hideForClose() = 0;
    // Closes the drive browser and the help window when they are open.
    virtual void closeOtherWindows() = 0;
};

// The flows of the recorder window: start-up, record, stop, play, seek, calibration, the
// free-space guard, the MP3 conversions, the outside tools and the close. It runs them on the
// capture control, the disk, the converter and the dialogs, and shows their outcome on the view.
class RecorderSession : public QObject {
    Q_OBJECT
public:
    // Empty before the first record or stop, then what the last of the two did.
    enum class RecordState { None, Recording, Stopped };
    Q_ENUM(RecordState)

    // The calibration slider: factors x0.1 to x5.0, x1.0 on a first start and after a reset.
    static constexpr int kCalibrationMin = 1;
    static constexpr int kCalibrationMax = 50;
    static constexpr int kCalibrationReset = 10;

    RecorderSession(const RecorderSetup& setup, SessionView& view, QObject* parent = nullptr);
    ~RecorderSession() override;

    // The window the dialogs belong to.
    void setDialogOwner(QWidget* owner) { m_owner = owner; }

    // Start-up: lists, free space, stored settings, devices, monitoring.
    void start();
    void record();
    void stopRecording();
    void play();
    void stopPlaying();
    // The playback slider moved to `position`: seeks unless the poll timer moved it.
    void seek(int position);
    // One poll of the playback position (every 100 ms while playing).
    void pollPosition();
    void setCalibration(int value);
    void resetCalibration() { setCalibration(kCalibrationReset); }
    // Quality list index 0..11; the control records in its format from then on.
    void chooseQuality(int index);
    void chooseStyle(int index);
    void setInternalRendering(bool on);
    // Refreshes FreeMegabytes of MonitoredDrive and its line; false when it cannot be read.
    bool refreshFreeSpace();
    void setMonitoredDrive(const QString& drive) { m_monitoredDrive = drive; }
    // The MP3 button: asks for a WAV and an MP3 name and converts in the background.
    void convertByHand();
    // The Mix button's mixer; false when it could not be started and nothing more should follow.
    bool openMixer();
    // The Dir button: the folder of the last recording.
    void openRecordingsFolder();
    void startSoundEditor();
    // Releases the devices, then (after the close pause) saves and reports finished().
    void close();
    // Saves what the end of the desktop session could otherwise lose: stops a recording and
    // writes the settings at once.
    void saveForSessionEnd();

    RecordState recordState() const { return m_recordState; }
    int inputDeviceNumber() const { return m_inputDevice; }
    QString lastRecordingPath() const { return m_lastRecording; }
    bool errorPending() const { return m_errorPending; }
    bool monitoringActive() const { return m_monitoringActive; }
    float calibrationFactor() const { return m_calibrationFactor; }
    int calibration() const { return m_calibration; }
    int qualityIndex() const { return m_quality; }
    int styleIndex() const { return m_style; }
    bool positionUpdating() const { return m_positionUpdating; }
    bool polling() const { return m_positionTimer.isActive(); }
    QString monitoredDrive() const { return m_monitoredDrive; }
    qint64 freeMegabytes() const { return m_freeMegabytes; }
    bool closing() const { return m_closing; }
    Mp3Converter* converter() const { return m_converter; }

signals:
    // Everything is saved and the program may end.
    void finished();

private:
    void fillDevices(int savedPosition);
    void applyCalibration();
    void startMonitoring();
    bool startCheckTripped();
    void onError(int number, const QString& description);
    // Record pressed but nothing records (cancelled, refused, failed): back to stopped.
    void recordingNotStarted();
    void onStateChanged(int state);
    void onProgress(double bytes);
    // The MP3 a finished take is converted into.
    QString mp3TargetFor(const QString& take) const;
    void onConversionFinished(bool ok, const QString& source, const QString& target, const QString& error, int tag);
    void finishClose();
    void saveSettings();
    void writeSettingsFile();
    void tell(Dialogs::Icon icon, const QString& text);
    QString path(const QString& leaf) const;
    QString userFolder() const;
    QString userPath(const QString& leaf) const;

    RecorderSetup m_setup;
    SessionView& m_view;
    CaptureControl& m_capture;
    Dialogs& m_dialogs;
    QWidget* m_owner = nullptr;
    Mp3Converter* m_converter = nullptr;
    QTimer m_positionTimer;

    RecordState m_recordState = RecordState::None;
    int m_inputDevice = 0;
    QString m_lastRecording;
    // The file the running record action records into; empty once stopped or when it never started.
    QString m_take;
    // The existing MP3 the user agreed to replace with the take being recorded.
    QString m_replaceableMp3;
    bool m_errorPending = false;
    // A message for the failure under way has been shown.
    bool m_errorTold = false;
    QElapsedTimer m_lastErrorTold;
    static constexpr int kErrorEpisodeMs = 3000;
    bool m_monitoringActive = false;
    float m_calibrationFactor = 1.0f;
    int m_calibration = kCalibrationReset;
    int m_quality = 0;
    int m_style = 0;
    bool m_positionUpdating = false;
    QString m_monitoredDrive;
    qint64 m_freeMegabytes = 0;
    // The conversion dialogs start from the files chosen last time.
    QString m_lastSource;
    QString m_lastTarget;
    bool m_closing = false;
};

} // namespace sonaveil::recorder
