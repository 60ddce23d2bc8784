#pragma once

#include "recorder/app/form1.h"
#include "recorder/app/frmdrive.h"

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QSettings;

namespace sonaveil::platform {
class DiskSpace;
class Launcher;
}
namespace sonaveil::controls {
class Multibutton;
class SComboBox;
class UcSlider;
}
namespace sonaveil::lumidot {
class LCD;
}

namespace sonaveil::recorder {

class CaptureControl;
class Dialogs;
class LevelMeter;
class Mp3Converter;

// What the recorder's windows work with; tests hand in fakes.
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

// The recorder's main window: transport buttons, the two displays, the lists, the sliders and
// the level meter. It runs the recording flow on the capture control and ends the program when
// it closes.
class FRMMAIN : public QWidget {
    Q_OBJECT
public:
    explicit FRMMAIN(const RecorderSetup& setup, QWidget* parent = nullptr);
    ~FRMMAIN() override;

    // Start-up: lists, free space, stored settings, devices, monitoring.
    void load();

    // Line 2 of LCD1.
    void SetStatus(const QString& text);
    // Refreshes the free space of MonitoredDrive and line 1 of LCD2; false when it cannot be read.
    bool Command4_Click();

    void on_cmdrecord_Click();
    void on_cmdstop_Click();
    void on_cmdplay_Click();
    void on_cmdstopplaying_Click();
    void on_command3_Click();
    void on_command1_Click();
    void on_command2_Click();
    void on_picturebutton1_Click();
    void on_chameleonButton5_Click();
    void on_chameleonButton2_Click();
    // Releases the devices and ends the program (after the close pause).
    void on_chameleonButton1_Click();
    // Saves what the end of the desktop session could otherwise lose: stops a recording and
    // writes the settings at once.
    void saveForSessionEnd();

    // Window state, readable for tests and the other windows.
    QString RecordState;
    int InputDeviceNumber = 0;
    QString LastRecordingPath;
    bool ErrorPending = false;
    float CalibrationFactor = 1.0f;
    bool PositionUpdating = false;
    QString MonitoredDrive;
    qint64 FreeMegabytes = 0;
    bool MonitoringActive() const;

    lumidot::LCD* lcd1() const { return m_lcd1; }
    lumidot::LCD* lcd2() const { return m_lcd2; }
    LevelMeter* meter() const { return m_meter; }
    frmDRIVE* driveBrowser() const { return m_drive; }
    Form1* helpWindow() const { return m_help; }
    Mp3Converter* converter() const { return m_converter; }
    bool closing() const { return m_closing; }

signals:
    // The window has saved everything and the program may end.
    void finished();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void closeEvent(QCloseEvent*) override;

private:
    void build();
    controls::Multibutton* button(const QString& name, const QString& caption, int width);
    void startUp();
    void fillDevices(int savedPosition);
    void applyCalibration();
    void startMonitoring();
    void onError(int number, const QString& description);
    void onStateChanged(int state);
    void onProgress(double bytes);
    void onPositionTimer();
    void onConversionFinished(bool ok, const QString& source, const QString& target, const QString& error, int tag);
    void setQualityIndex(int index);
    bool startCheckTripped();
    void saveSettings();
    void writeSettingsFile();
    void finishClose();
    QString recsetPath() const;
    QString path(const QString& leaf) const;
    QString userFolder() const;
    QString userPath(const QString& leaf) const;

    RecorderSetup m_setup;
    lumidot::LCD* m_lcd1 = nullptr;
    lumidot::LCD* m_lcd2 = nullptr;
    LevelMeter* m_meter = nullptr;
    controls::Multibutton* m_cmdrecord = nullptr;
    controls::Multibutton* m_cmdstop = nullptr;
    controls::Multibutton* m_cmdstopplaying = nullptr;
    controls::Multibutton* m_cmdplay = nullptr;
    controls::Multibutton* m_cmdStartVU = nullptr;
    controls::Multibutton* m_cmdStopVU = nullptr;
    controls::Multibutton* m_command4 = nullptr;
    controls::UcSlider* m_ucsPos = nullptr;
    controls::UcSlider* m_hsCalibration = nullptr;
    controls::SComboBox* m_format = nullptr;    // SComboBox1
    controls::SComboBox* m_threshold = nullptr; // combo1
    controls::SComboBox* m_limit = nullptr;     // cmBtime2record
    controls::SComboBox* m_devices = nullptr;   // cmbsounddriver
    QComboBox* m_quality = nullptr;             // cmbQuality
    QComboBox* m_style = nullptr;               // cmbStyle
    QCheckBox* m_loop = nullptr;                // chkLoop
    QCheckBox* m_disableRender = nullptr;       // chkDisableRender
    QLabel* m_factor = nullptr;                 // lblFactor
    QTimer m_tmrMonPlayBack;
    QImage m_background;
    QPoint m_dragAnchor;
    QPointer<frmDRIVE> m_drive;
    QPointer<Form1> m_help;
    Mp3Converter* m_converter = nullptr;
    // The conversion dialogs start from the files chosen last time.
    QString m_lastSource;
    QString m_lastTarget;
    bool m_closing = false;
    bool m_saved = false;
};

} // namespace sonaveil::recorder
