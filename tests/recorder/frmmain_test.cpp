#include "recorderfixture.h"

#include "recorder/app/levelmeter.h"
#include "recorder/core/diskguard.h"

#include "controls/multibuttonwidget.h"
#include "controls/scombobox.h"
#include "controls/ucsliderwidget.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>

using namespace sonaveil;
using controls::Multibutton;
using controls::SComboBox;
using controls::UcSlider;
using RecordState = recorder::RecorderSession::RecordState;

TEST_F(RecorderTest, FirstStartShowsTheDefaults)
{
    EXPECT_EQ(window->windowTitle(), "Recorder");
    EXPECT_EQ(child<SComboBox>("cmBtime2record")->text(), "Unlimited");
    EXPECT_EQ(child<SComboBox>("combo1")->text(), "Don't warn");
    EXPECT_EQ(child<SComboBox>("SComboBox1")->text(), "MP3");
    EXPECT_EQ(child<QComboBox>("cmbQuality")->currentIndex(), 11);
    EXPECT_EQ(child<QComboBox>("cmbQuality")->currentText(), "44KHz @ 16bit Stereo");
    EXPECT_EQ(child<SComboBox>("cmbsounddriver")->listIndex(), 1);
    EXPECT_EQ(child<SComboBox>("cmbsounddriver")->text(), "Monitor of Sonaveil_Test");
    EXPECT_EQ(line(1, 2), " Status: Stopped");
    EXPECT_TRUE(line(1, 1).trimmed().isEmpty());
    EXPECT_EQ(line(2, 1), recorder::spaceLine(50000, folder()));
    EXPECT_TRUE(child<Multibutton>("cmdStopVU")->isEnabled()); // monitoring
    EXPECT_TRUE(child<Multibutton>("cmdrecord")->isVisible());
    EXPECT_EQ(child<UcSlider>("hsCalibration")->value(), 10);
    EXPECT_TRUE(dialogs.messages.empty());
    picture(window.get(), "frmmain-stopped");
}

TEST_F(RecorderTest, TheTransportButtonsRunTheRecordingFlow)
{
    child<SComboBox>("SComboBox1")->setText("Wav");
    const QString take = file("saved recordings/take 1.wav");
    dialogs.saveAnswers = {take};
    emit child<Multibutton>("cmdrecord")->Click();
    EXPECT_EQ(window->session().recordState(), RecordState::Recording);
    EXPECT_EQ(line(1, 2), " Status: Recording");
    EXPECT_TRUE(child<Multibutton>("cmdstop")->isVisible());
    EXPECT_FALSE(child<Multibutton>("cmdstopplaying")->isVisible());
    runFor(1300); // the length of the take
    EXPECT_TRUE(runUntil([this] { return line(1, 3).contains("KB / 00:00:0"); }, 10000)) << line(1, 3).toStdString();
    EXPECT_TRUE(runUntil([this] { return window->meter()->litSegments()[0] > 5; }, 10000)); // the tone moves the meter
    picture(window.get(), "frmmain-recording");

    emit child<Multibutton>("cmdstop")->Click();
    EXPECT_EQ(line(1, 2), " Status: Stopped");
    EXPECT_TRUE(child<Multibutton>("cmdrecord")->isVisible());
    EXPECT_TRUE(child<Multibutton>("cmdstopplaying")->isVisible());
    EXPECT_FALSE(child<Multibutton>("cmdstop")->isVisible());
    EXPECT_TRUE(QFile::exists(take));
    auto* pos = child<UcSlider>("ucsPos");
    EXPECT_NEAR(pos->maximum(), capture->Length(), 1.0);
    EXPECT_TRUE(pos->isEnabled());

    // Play: the quality list follows the file, the device list is locked, the slider follows.
    child<QComboBox>("cmbQuality")->setCurrentIndex(0);
    EXPECT_EQ(capture->quality(), 1);
    emit child<Multibutton>("cmdplay")->Click();
    EXPECT_EQ(line(1, 2), " Status: Playing");
    EXPECT_EQ(child<QComboBox>("cmbQuality")->currentIndex(), 11);
    EXPECT_FALSE(child<SComboBox>("cmbsounddriver")->isEnabled());
    EXPECT_TRUE(runUntil([pos] { return pos->value() > 0; }, 10000));
    picture(window.get(), "frmmain-playing");
    pos->setValue(1200); // a move of the slider seeks
    EXPECT_TRUE(runUntil([this] { return capture->Position() >= 1200.0; }, 10000));
    emit child<Multibutton>("cmdstopplaying")->Click();
    EXPECT_FALSE(capture->playing());
    EXPECT_TRUE(child<SComboBox>("cmbsounddriver")->isEnabled());
    EXPECT_EQ(pos->value(), 0);
}

TEST_F(RecorderTest, CalibrationSetsTheGainAndResetsToOne)
{
    auto* slider = child<UcSlider>("hsCalibration");
    slider->setValue(15);
    EXPECT_FLOAT_EQ(window->session().calibrationFactor(), 1.5f);
    EXPECT_FLOAT_EQ(capture->SensitivityFactor(), 1.5f);
    EXPECT_EQ(window->findChild<QLabel*>("lblFactor")->text(), "(x1.5)");
    emit slider->Reset();
    EXPECT_EQ(slider->value(), 10);
    EXPECT_FLOAT_EQ(capture->SensitivityFactor(), 1.0f);
}

TEST_F(RecorderTest, CloseSavesTheWindowAndItsListsAndTheNextStartRestoresThem)
{
    child<SComboBox>("SComboBox1")->setText("Wav");
    child<QComboBox>("cmbQuality")->setCurrentIndex(5);
    child<UcSlider>("hsCalibration")->setValue(12);
    child<SComboBox>("combo1")->setListIndex(3);
    window->move(140, 90);
    emit child<Multibutton>("chameleonButton1")->Click();
    EXPECT_FALSE(window->isVisible());
    ASSERT_TRUE(runUntil([this] { return finished; }, 5000));
    QFile recset(file("recset.inl"));
    ASSERT_TRUE(recset.open(QIODevice::ReadOnly));
    EXPECT_EQ(recset.readAll(), "1,\"Wav\",\"Unlimited\",\"50\"\r\n");

    open();
    EXPECT_EQ(window->pos(), QPoint(140, 90));
    EXPECT_EQ(child<QComboBox>("cmbQuality")->currentIndex(), 5);
    EXPECT_EQ(child<UcSlider>("hsCalibration")->value(), 12);
    EXPECT_EQ(child<SComboBox>("combo1")->text(), "50");
    EXPECT_EQ(child<SComboBox>("SComboBox1")->text(), "Wav");

    // Closed by the window manager: the same way as the Close button.
    window->close();
    ASSERT_TRUE(runUntil([this] { return finished; }, 5000));
}
