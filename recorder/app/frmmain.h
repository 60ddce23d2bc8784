#pragma once

#include "controls/forward.h"
#include "recorder/app/form1.h"
#include "recorder/app/frmdrive.h"
#include "recorder/core/recordersession.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;

namespace sonaveil::lumidot {
class LCD;
}

namespace sonaveil::recorder {

class LevelMeter;

// The recorder's main window: transport buttons, the two displays, the lists, the sliders and
// the level meter. Its session runs the flows; the window shows them and forwards its controls.
class FRMMAIN : public QWidget, private SessionView {
    Q_OBJECT
public:
    explicit FRMMAIN(const RecorderSetup& setup, QWidget* parent = nullptr);
    ~FRMMAIN() override;

    // Start-up: lists, free space, stored settings, devices, monitoring.
    void load() { m_session.start(); }
    RecorderSession& session() { return m_session; }

    // Mix: the recording mixer, then the help window unless it was switched off.
    void on_command1_Click();
    // Drive: the drive browser.
    void on_picturebutton1_Click();
    // Hide: minimises the window.
    void on_chameleonButton2_Click() { showMinimized(); }
    // Close: releases the devices and ends the program (after the close pause).
    void on_chameleonButton1_Click() { m_session.close(); }
    void saveForSessionEnd() { m_session.saveForSessionEnd(); }

    lumidot::LCD* lcd1() const { return m_lcd1; }
    lumidot::LCD* lcd2() const { return m_lcd2; }
    LevelMeter* meter() const { return m_meter; }
    frmDRIVE* driveBrowser() const { return m_drive; }
    Form1* helpWindow() const { return m_help; }

signals:
    // The window has saved everything and the program may end.
    void finished();

protected:
    void paintEvent(QPaintEvent*) override;
    void closeEvent(QCloseEvent*) override;

private:
    // Only the stop button on top of the pair takes the Tab focus.
    void updateStopFocus();
    void build();
    void wire();
    controls::Multibutton* button(const QString& name, const QString& caption, int width);
    controls::SComboBox* list(List which) const;

    // SessionView
    void showStatus(const QString& text) override;
    void showProgress(const QString& text) override;
    void showSpace(const QString& text) override;
    void setButtonShown(Button button, bool shown) override;
    void preparePositionSlider(int maximum) override;
    void setPosition(int value) override;
    QString listText(List which) const override;
    void setListText(List which, const QString& text) override;
    int listPosition(List which) const override;
    void setListPosition(List which, int position) override;
    void addDevice(const QString& name) override;
    int deviceCount() const override;
    void setDevicesEnabled(bool enabled) override;
    void showQuality(int index) override;
    void showStyle(int index) override;
    void showCalibration(int value, const QString& factorLabel) override;
    void showMonitoring(bool active) override;
    bool loopPlayback() const override;
    void placeWindow(std::optional<QPoint> position) override;
    QPoint windowPosition() const override { return pos(); }
    void hideForClose() override;
    void closeOtherWindows() override;

    RecorderSetup m_setup;
    lumidot::LCD* m_lcd1 = nullptr;
    lumidot::LCD* m_lcd2 = nullptr;
    LevelMeter* m_meter = nullptr;
    controls::Multibutton* m_cmdrecord = nullptr;
    controls::Multibutton* m_cmdstop = nullptr;
    controls::Multibutton* m_cmdstopplaying = nullptr;
    controls::Multibutton* m_cmdplay = nullptr;
    controls::Multibutton* m_command3 = nullptr;
    controls::Multibutton* m_command1 = nullptr;
    controls::Multibutton* m_picturebutton1 = nullptr;
    controls::Multibutton* m_command2 = nullptr;
    controls::Multibutton* m_chameleonButton5 = nullptr;
    controls::Multibutton* m_chameleonButton2 = nullptr;
    controls::Multibutton* m_chameleonButton1 = nullptr;
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
    QImage m_background;
    QPointer<frmDRIVE> m_drive;
    QPointer<Form1> m_help;
    RecorderSession m_session;
};

} // namespace sonaveil::recorder
