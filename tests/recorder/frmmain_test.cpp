#include "recorderfixture.h"

#include "recorder/app/levelmeter.h"
#include "recorder/core/mp3converter.h"

#include "controls/multibuttonwidget.h"
#include "controls/scombobox.h"
#include "controls/ucsliderwidget.h"

#include <QComboBox>
#include <QLabel>
#include <QFile>
#include <QRegularExpression>

#include <sndfile.h>

using namespace sonaveil;
using controls::Multibutton;
using controls::SComboBox;
using controls::UcSlider;

TEST_F(RecorderTest, FirstStartShowsTheDefaults)
{
    EXPECT_EQ(window->windowTitle(), "Recorder");
    EXPECT_EQ(child<SComboBox>("cmBtime2record")->text(), "Unlimited");
    EXPECT_EQ(child<SComboBox>("combo1")->text(), "Don't warn");
    EXPECT_EQ(child<SComboBox>("SComboBox1")->text(), "MP3");
    EXPECT_EQ(child<QComboBox>("cmbQuality")->currentIndex(), 11);
    EXPECT_EQ(child<QComboBox>("cmbQuality")->currentText(), "44KHz @ 16bit Stereo");
    EXPECT_EQ(capture->quality(), 2048);
    EXPECT_EQ(child<SComboBox>("cmbsounddriver")->listIndex(), 1);
    EXPECT_EQ(child<SComboBox>("cmbsounddriver")->text(), "Monitor of Sonaveil_Test");
    EXPECT_EQ(window->InputDeviceNumber, 1);
    EXPECT_EQ(line(1, 2), " Status: Stopped");
    EXPECT_TRUE(line(1, 1).trimmed().isEmpty());
    // The program folder's file system: 50,000 MB free; its long mount point gives way to the figure.
    EXPECT_EQ(line(2, 1), " Space: 50000MBs");
    EXPECT_TRUE(window->MonitoringActive());
    EXPECT_TRUE(child<Multibutton>("cmdrecord")->isVisible());
    EXPECT_FLOAT_EQ(window->CalibrationFactor, 1.0f);
    EXPECT_TRUE(dialogs.messages.empty());
    picture(window.get(), "frmmain-stopped");
}

TEST_F(RecorderTest, RecordStopAndPlayRunTheirFlow)
{
    child<SComboBox>("SComboBox1")->setText("Wav");
    const QString take = file("saved recordings/take 1.wav");
    dialogs.saveAnswers = {take};
    emit child<Multibutton>("cmdrecord")->Click();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    const auto& r = dialogs.saveRequests[0];
    EXPECT_EQ(r.title, "Save Sampled Audio");
    EXPECT_EQ(r.filter, "Wave Files|*.wav");
    EXPECT_EQ(r.folder, file("saved recordings"));
    EXPECT_EQ(window->RecordState, "recording");
    EXPECT_EQ(window->LastRecordingPath, take);
    EXPECT_EQ(line(1, 2), " Status: Recording");
    EXPECT_TRUE(child<Multibutton>("cmdstop")->isVisible());
    EXPECT_FALSE(child<Multibutton>("cmdstopplaying")->isVisible());
    runFor(1300);
    EXPECT_TRUE(QRegularExpression("^ \\d+\\.\\d\\dKB / 00:00:0[01]$").match(line(1, 3)).hasMatch())
        << line(1, 3).toStdString();
    const auto lit = window->meter()->litSegments();
    EXPECT_GT(lit[0], 5); // the tone moves the meter
    picture(window.get(), "frmmain-recording");

    window->on_cmdstop_Click();
    EXPECT_EQ(window->RecordState, "stopped");
    EXPECT_EQ(line(1, 2), " Status: Stopped");
    EXPECT_FALSE(capture->recording());
    EXPECT_TRUE(QFile::exists(take)); // Wav output: kept, nothing converted
    EXPECT_FALSE(window->converter()->running());
    auto* pos = child<UcSlider>("ucsPos");
    EXPECT_NEAR(pos->maximum(), capture->Length(), 1.0);
    EXPECT_GT(pos->maximum(), 1000);
    // A second stop only changes the buttons.
    window->on_cmdstop_Click();
    EXPECT_TRUE(child<Multibutton>("cmdstopplaying")->isVisible());

    // Play: the quality follows the file, the device list is locked, the slider follows.
    child<QComboBox>("cmbQuality")->setCurrentIndex(0);
    window->on_cmdplay_Click();
    EXPECT_EQ(line(1, 2), " Status: Playing");
    EXPECT_EQ(child<QComboBox>("cmbQuality")->currentIndex(), 11);
    EXPECT_FALSE(child<SComboBox>("cmbsounddriver")->isEnabled());
    runFor(400);
    EXPECT_GT(pos->value(), 0);
    picture(window.get(), "frmmain-playing");
    ASSERT_TRUE(runUntil([this] { return !capture->playing(); }, 4000));
    runFor(50);
    EXPECT_EQ(line(1, 2), " Status: Stopped");
    window->on_cmdstopplaying_Click();
    EXPECT_TRUE(child<SComboBox>("cmbsounddriver")->isEnabled());
    EXPECT_EQ(pos->value(), 0);
}

TEST_F(RecorderTest, MovingThePlaybackSliderSeeksButTheTimersUpdatesDoNot)
{
    child<SComboBox>("SComboBox1")->setText("Wav");
    dialogs.saveAnswers = {file("saved recordings/seek.wav")};
    window->on_cmdrecord_Click();
    runFor(1500);
    window->on_cmdstop_Click();
    window->on_cmdplay_Click();
    runFor(150);
    auto* pos = child<UcSlider>("ucsPos");
    pos->setValue(1200);
    runFor(120);
    EXPECT_GE(capture->Position(), 1200.0);
    window->on_cmdstopplaying_Click();
}

TEST_F(RecorderTest, ACancelledDialogLeavesTheStateRecordingUntilAStop)
{
    window->on_cmdrecord_Click(); // cancelled
    EXPECT_EQ(window->RecordState, "recording");
    window->on_cmdrecord_Click();
    EXPECT_EQ(dialogs.saveRequests.size(), 1u); // no second dialog
    EXPECT_EQ(line(1, 2), " Status: Stopped");
    // The stop before anything was recorded runs once, and converts nothing.
    window->on_cmdstop_Click();
    EXPECT_EQ(window->RecordState, "stopped");
    EXPECT_FALSE(window->converter()->running());
    EXPECT_TRUE(dialogs.messages.empty());
    window->on_cmdrecord_Click();
    EXPECT_EQ(dialogs.saveRequests.size(), 2u);
}

TEST_F(RecorderTest, AnExistingFileIsAppendedToOnlyAfterYes)
{
    const QString take = file("saved recordings/old.wav");
    QFile f(take);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
    f.close();
    dialogs.saveAnswers = {take};
    dialogs.questionAnswers = {false};
    window->on_cmdrecord_Click();
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].title, "Warning");
    EXPECT_EQ(dialogs.questions[0].text, "Recording over an existing file will append the recorded audio to the "
                                         "file.\r\nAre you sure this is what you want to do?");
    EXPECT_FALSE(capture->recording());
    EXPECT_EQ(line(1, 2), " Status: Stopped");
    EXPECT_TRUE(window->LastRecordingPath.isEmpty());

    // Yes on a file that is no WAV: the control's error, then the window's own.
    window->on_cmdstop_Click();
    dialogs.saveAnswers = {take};
    dialogs.questionAnswers = {true};
    window->on_cmdrecord_Click();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("(3) ")) << dialogs.messages[0].text.toStdString();
    EXPECT_EQ(dialogs.messages[0].title, "Recorder");
    EXPECT_EQ(dialogs.messages[1].text, "The control could not start recording");
    EXPECT_EQ(dialogs.messages[1].icon, FakeDialogs::Icon::Critical);
    EXPECT_EQ(window->RecordState, "recording");
}

TEST_F(RecorderTest, TheDiskGuardWarnsAtTheStartAndStopsAtTheFirstProgress)
{
    child<SComboBox>("SComboBox1")->setText("Wav");
    child<SComboBox>("combo1")->setText("100");
    disk.list[0].available = 99'999'999; // 100 MB: equality trips
    dialogs.saveAnswers = {file("saved recordings/full.wav")};
    window->on_cmdrecord_Click();
    EXPECT_EQ(line(2, 1), " Disk Space Warning");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "Recording Stopped - The available space warning threshold has been exceeded. Please select another "
              "drive, or increase the low disk space warning threshold.\r\nYou selected drive "
                  + folder() + " \rAvailable space on the selected drive is: 100MBs\rDisk space threshold is set at: 100MBs");
    EXPECT_EQ(line(1, 2), " Status: Stopped"); // the status is not set to recording
    EXPECT_TRUE(capture->recording());          // until the first progress
    ASSERT_TRUE(runUntil([this] { return !capture->recording(); }, 2000));
    EXPECT_EQ(line(2, 1), " Stopped:Low D/Space");
    EXPECT_EQ(window->RecordState, "stopped");

    // With room again and no guard, the line shows the free space at the next start.
    disk.list[0].available = 7'000'000'000;
    child<SComboBox>("combo1")->setText("Don't warn");
    dialogs.saveAnswers = {file("saved recordings/room.wav")};
    window->on_cmdrecord_Click();
    EXPECT_TRUE(line(2, 1).startsWith(" Space: 7000MBs"));
    EXPECT_EQ(line(1, 2), " Status: Recording");

    // The disk fills up during the recording: stopped at the next progress.
    child<SComboBox>("combo1")->setText("50");
    disk.list[0].available = 50'400'000;
    ASSERT_TRUE(runUntil([this] { return !capture->recording(); }, 2000));
    EXPECT_EQ(line(2, 1), " Stopped:Low D/Space");
}

TEST_F(RecorderTest, TheTimeLimitStopsTheRecordingAndShowsTheRecordButton)
{
    child<SComboBox>("SComboBox1")->setText("Wav");
    child<SComboBox>("cmBtime2record")->setText("0.02"); // 1.2 seconds, typed by hand
    dialogs.saveAnswers = {file("saved recordings/short.wav")};
    window->on_cmdrecord_Click();
    ASSERT_TRUE(runUntil([this] { return !capture->recording(); }, 4000));
    runFor(50);
    EXPECT_EQ(line(1, 2), " Status: Stopped");
    EXPECT_TRUE(child<Multibutton>("cmdrecord")->isVisible());
    EXPECT_EQ(line(1, 3), " 206.72KB / 00:00:01");
    SF_INFO info{};
    SNDFILE* f = sf_open(file("saved recordings/short.wav").toLocal8Bit().constData(), SFM_READ, &info);
    ASSERT_NE(f, nullptr);
    sf_close(f);
    EXPECT_EQ(info.frames, 52920);
}

TEST_F(RecorderTest, CalibrationSetsTheGainAndResetsToOne)
{
    auto* slider = child<UcSlider>("hsCalibration");
    slider->setValue(15);
    EXPECT_FLOAT_EQ(window->CalibrationFactor, 1.5f);
    EXPECT_FLOAT_EQ(capture->SensitivityFactor(), 1.5f);
    EXPECT_EQ(window->findChild<QLabel*>("lblFactor")->text(), "(x1.5)");
    emit slider->Reset();
    EXPECT_EQ(slider->value(), 10);
    EXPECT_FLOAT_EQ(capture->SensitivityFactor(), 1.0f);
}

TEST_F(RecorderTest, ControlErrorsAreShownWithTheirNumber)
{
    emit capture->ErrorOccurred(7, "Something failed");
    emit capture->ErrorOccurred(8, "");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "(7) Something failed");
    EXPECT_EQ(dialogs.messages[0].icon, FakeDialogs::Icon::None);
    EXPECT_TRUE(window->ErrorPending);
    // A play that reports an error changes nothing else.
    window->ErrorPending = false;
    capture->setFileName(file("nothing.wav"));
    window->on_cmdplay_Click();
    EXPECT_FALSE(window->ErrorPending);
    EXPECT_EQ(line(1, 2), " Status: Stopped");
    EXPECT_TRUE(child<SComboBox>("cmbsounddriver")->isEnabled());
}

TEST_F(RecorderTest, ClosingStopsTheRecordingWithItsFileCompleteAndSavesTheSettings)
{
    child<SComboBox>("SComboBox1")->setText("Wav");
    child<QComboBox>("cmbQuality")->setCurrentIndex(5);
    child<UcSlider>("hsCalibration")->setValue(12);
    child<SComboBox>("combo1")->setListIndex(3);
    window->move(140, 90);
    dialogs.saveAnswers = {file("saved recordings/closing.wav")};
    window->on_cmdrecord_Click();
    runFor(1200);
    closeWindow();
    SF_INFO info{};
    SNDFILE* f = sf_open(file("saved recordings/closing.wav").toLocal8Bit().constData(), SFM_READ, &info);
    ASSERT_NE(f, nullptr);
    sf_close(f);
    EXPECT_EQ(info.samplerate, 22050);
    EXPECT_GT(info.frames, 22050);
    store->sync();
    EXPECT_EQ(store->value("Settings/Quality").toString(), "5");
    EXPECT_EQ(store->value("Settings/Calibration").toString(), "12");
    EXPECT_EQ(store->value("Settings/Diskspace").toString(), "3");
    EXPECT_EQ(store->value("Settings/Driver").toString(), "1");
    QFile recset(file("recset.inl"));
    ASSERT_TRUE(recset.open(QIODevice::ReadOnly));
    EXPECT_EQ(recset.readAll(), "1,\"Wav\",\"Unlimited\",\"50\"\r\n");

    // The next start restores both.
    open();
    EXPECT_EQ(window->pos(), QPoint(140, 90));
    EXPECT_EQ(child<QComboBox>("cmbQuality")->currentIndex(), 5);
    EXPECT_EQ(capture->quality(), 64);
    EXPECT_EQ(child<UcSlider>("hsCalibration")->value(), 12);
    EXPECT_FLOAT_EQ(capture->SensitivityFactor(), 1.2f);
    EXPECT_EQ(child<SComboBox>("combo1")->text(), "50");
    EXPECT_EQ(child<SComboBox>("SComboBox1")->text(), "Wav");
}

TEST_F(RecorderTest, ABadStoredValueDeletesTheSettingsFileButKeepsTheDevice)
{
    {
        QFile recset(file("recset.inl"));
        ASSERT_TRUE(recset.open(QIODevice::WriteOnly));
        recset.write("1,\"Wav\",\"5\",\"10\"\r\n");
    }
    store->setValue("Settings/X", "30");
    store->setValue("Settings/Y", "40");
    store->setValue("Settings/Driver", "1");
    store->remove("Settings/Quality"); // missing: the restore stops here
    store->sync();
    open();
    EXPECT_FALSE(QFile::exists(file("recset.inl")));
    EXPECT_EQ(child<SComboBox>("SComboBox1")->text(), "MP3");
    EXPECT_EQ(child<SComboBox>("cmBtime2record")->text(), "Unlimited");
    EXPECT_EQ(window->InputDeviceNumber, 1);
    EXPECT_TRUE(window->MonitoringActive());
    EXPECT_TRUE(dialogs.messages.empty());

    // Calibration missing (with everything else there): 10.
    store->setValue("Settings/Quality", "2");
    store->setValue("Settings/Style", "0");
    store->setValue("Settings/Diskspace", "2");
    store->remove("Settings/Calibration");
    store->sync();
    {
        QFile recset(file("recset.inl"));
        ASSERT_TRUE(recset.open(QIODevice::WriteOnly));
        recset.write("2,\"Wav\",\"5\",\"10\"\r\n");
    }
    open();
    EXPECT_EQ(child<UcSlider>("hsCalibration")->value(), 10);
    EXPECT_EQ(capture->quality(), 2);
    // The file's device position wins over the store's.
    EXPECT_EQ(child<SComboBox>("cmbsounddriver")->listIndex(), 2);
    EXPECT_EQ(window->InputDeviceNumber, 2);
    EXPECT_EQ(child<SComboBox>("cmBtime2record")->text(), "5");
}
