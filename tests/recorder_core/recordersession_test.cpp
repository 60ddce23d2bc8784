#include "recorder/core/recordersession.h"

#include "recorder/capture/capturecontrol.h"
#include "recorder/core/diskguard.h"
#include "recorder/core/mp3converter.h"
#include "recorder/core/rules.h"

#include "platform/diskspace.h"
#include "platform/launcher.h"

#include "capturefixture.h"
#include "recorderservices.h"
#include "tempfolder.h"
#include "tonemeter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

#include <sndfile.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <utility>
#include <vector>

using namespace sonaveil;
using recorder::RecorderSession;
using RecordState = RecorderSession::RecordState;
using Button = recorder::SessionView::Button;
using List = recorder::SessionView::List;

namespace {

// The window as plain values. The lists behave like the window's drop-down lists: a position
// that names an entry selects it and shows its text; a text is shown as it is.
class FakeView : public recorder::SessionView {
public:
    struct ListState {
        QStringList items;
        int position = -1;
        QString text;
    };

    FakeView()
    {
        lists[List::Format].items = recorder::kOutputFormats;
        lists[List::Limit].items = recorder::kTimeLimits;
        lists[List::Threshold].items = recorder::kThresholds;
    }

    void showStatus(const QString& text) override { status = text; }
    void showProgress(const QString& text) override
    {
        progress = text;
        progressLines << text;
    }
    void showSpace(const QString& text) override { space = text; }
    void setButtonShown(Button b, bool on) override { shown[b] = on; }
    void preparePositionSlider(int maximum) override { sliderMaximum = maximum; }
    void setPosition(int value) override
    {
        // The slider reports every change of its value, as the window's does.
        if (value == position)
            return;
        position = value;
        if (session)
            session->seek(value);
    }
    QString listText(List l) const override { return lists.at(l).text; }
    void setListText(List l, const QString& text) override { lists[l].text = text; }
    int listPosition(List l) const override { return lists.at(l).position; }
    void setListPosition(List l, int p) override
    {
        ListState& s = lists[l];
        if (p < 1 || p > s.items.size())
            return;
        s.position = p;
        s.text = s.items[p - 1];
    }
    void addDevice(const QString& name) override { lists[List::Device].items << devicePrefix + name; }
    int deviceCount() const override { return int(lists.at(List::Device).items.size()); }
    void setDevicesEnabled(bool on) override { devicesEnabled = on; }
    void showQuality(int index) override { quality = index; }
    void showStyle(int index) override { style = index; }
    void showCalibration(int value, const QString& label) override
    {
        calibration = value;
        factor = label;
    }
    void showMonitoring(bool active) override { monitoring = active; }
    bool loopPlayback() const override { return false; }
    void placeWindow(std::optional<QPoint> at) override { placed = at; }
    QPoint windowPosition() const override { return at; }
    void hideForClose() override { hidden = true; }
    void closeOtherWindows() override { othersClosed = true; }

    RecorderSession* session = nullptr;
    QString devicePrefix; // renames the devices, so that the list's text names none of them
    QString status, progress, space, factor;
    QStringList progressLines; // every line 3 shown, in order
    std::map<Button, bool> shown{{Button::Record, true}, {Button::Stop, true}, {Button::StopPlaying, true},
                                 {Button::Play, true}};
    int sliderMaximum = 0;
    int position = 0;
    std::map<List, ListState> lists;
    bool devicesEnabled = true;
    int quality = 0, style = 0, calibration = 10;
    bool monitoring = false;
    std::optional<QPoint> placed;
    QPoint at;
    bool hidden = false, othersClosed = false;
};

void writeFile(const QString& path, const QByteArray& bytes, bool executable = false)
{
    QFile::remove(path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    if (executable)
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

class SessionTest : public RecorderServicesTest {
protected:
    void SetUp() override
    {
        RecorderServicesTest::SetUp();
        if (!HasFatalFailure())
            open();
    }
    void TearDown() override
    {
        session.reset();
        capture.reset();
    }

    // A new session on the same program folder and store, started.
    void open()
    {
        session.reset();
        view = std::make_unique<FakeView>();
        view->devicePrefix = devicePrefix;
        session = std::make_unique<RecorderSession>(freshSetup(), *view);
        view->session = session.get();
        finished = false;
        QObject::connect(session.get(), &RecorderSession::finished, [this] { finished = true; });
        session->start();
        runFor(50);
    }

    // Records for `ms` into `leaf` under "saved recordings" and stops.
    QString recordFor(const QString& leaf, int ms)
    {
        const QString take = file("saved recordings/" + leaf);
        dialogs.saveAnswers = {take};
        session->record();
        runFor(ms);
        session->stopRecording();
        return take;
    }

    QString& text(List l) { return view->lists[l].text; }

    std::unique_ptr<FakeView> view;
    std::unique_ptr<RecorderSession> session;
    QString devicePrefix;
    bool finished = false;
};

} // namespace

TEST_F(SessionTest, FirstStartShowsTheDefaults)
{
    EXPECT_EQ(text(List::Limit), "Unlimited");
    EXPECT_EQ(text(List::Threshold), "Don't warn");
    EXPECT_EQ(text(List::Format), "MP3");
    EXPECT_EQ(session->qualityIndex(), 11);
    EXPECT_EQ(view->quality, 11);
    EXPECT_EQ(capture->quality(), 2048);
    EXPECT_EQ(view->lists[List::Device].position, 1);
    EXPECT_EQ(text(List::Device), "Monitor of Sonaveil_Test");
    EXPECT_EQ(session->inputDeviceNumber(), 1);
    EXPECT_EQ(view->status, " Status: Stopped");
    // The program folder's file system: 50,000 MB free, shown with its name.
    EXPECT_EQ(view->space, recorder::spaceLine(50000, folder()));
    EXPECT_TRUE(session->monitoringActive());
    EXPECT_TRUE(view->monitoring);
    EXPECT_FALSE(view->placed); // centred
    EXPECT_FLOAT_EQ(session->calibrationFactor(), 1.0f);
    EXPECT_EQ(view->factor, "(x1)");
    EXPECT_EQ(session->recordState(), RecordState::None);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SessionTest, RecordStopAndPlayRunTheirFlow)
{
    text(List::Format) = "Wav";
    const QString take = file("saved recordings/take 1.wav");
    dialogs.saveAnswers = {take};
    session->record();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    const auto& r = dialogs.saveRequests[0];
    EXPECT_EQ(r.title, "Save Sampled Audio");
    EXPECT_EQ(r.filter, "Wave Files|*.wav");
    EXPECT_EQ(r.folder, file("saved recordings"));
    EXPECT_EQ(r.defaultSuffix, "wav");
    EXPECT_EQ(session->recordState(), RecordState::Recording);
    EXPECT_EQ(session->lastRecordingPath(), take);
    EXPECT_EQ(view->status, " Status: Recording");
    EXPECT_TRUE(view->shown[Button::Stop]);
    EXPECT_FALSE(view->shown[Button::StopPlaying]);
    runFor(1300); // the length of the take
    const QRegularExpression progressLine("^ \\d+\\.\\d\\dKB / 00:00:0[01]$");
    EXPECT_TRUE(runUntil([&] { return progressLine.match(view->progress).hasMatch(); }, 10000))
        << view->progress.toStdString();

    session->stopRecording();
    EXPECT_EQ(session->recordState(), RecordState::Stopped);
    EXPECT_EQ(view->status, " Status: Stopped");
    EXPECT_TRUE(view->shown[Button::Record]);
    EXPECT_FALSE(view->shown[Button::Stop]);
    EXPECT_TRUE(view->shown[Button::StopPlaying]);
    EXPECT_FALSE(capture->recording());
    EXPECT_TRUE(QFile::exists(take)); // Wav output: kept, nothing converted
    EXPECT_FALSE(session->converter()->running());
    EXPECT_NEAR(view->sliderMaximum, capture->Length(), 1.0);
    EXPECT_GT(view->sliderMaximum, 1000);

    // Play: the quality follows the file, the device list is locked, the slider follows.
    session->chooseQuality(0);
    session->play();
    EXPECT_EQ(view->status, " Status: Playing");
    EXPECT_EQ(session->qualityIndex(), 11);
    EXPECT_EQ(view->quality, 11);
    EXPECT_EQ(capture->quality(), 2048);
    EXPECT_FALSE(view->devicesEnabled);
    EXPECT_TRUE(session->polling());
    EXPECT_TRUE(runUntil([this] { return view->position > 0; }, 10000));
    ASSERT_TRUE(runUntil([this] { return !capture->playing(); }, 10000));
    EXPECT_TRUE(runUntil([this] { return view->status == " Status: Stopped"; }, 10000));
    EXPECT_TRUE(session->polling()); // only stop playing ends the poll
    session->stopPlaying();
    EXPECT_TRUE(view->devicesEnabled);
    EXPECT_EQ(view->position, 0);
    EXPECT_FALSE(session->polling());
}

TEST_F(SessionTest, MovingThePlaybackSliderSeeksAndThePollFollowsPlayback)
{
    text(List::Format) = "Wav";
    recordFor("seek.wav", 1500);
    session->play();
    ASSERT_TRUE(runUntil([this] { return capture->Position() > 0; }, 10000));
    view->setPosition(1200); // the user
    EXPECT_TRUE(runUntil([this] { return capture->Position() >= 1200.0; }, 10000));
    // The poll moves the slider to where playback is; its own move is no seek.
    session->pollPosition();
    EXPECT_GE(view->position, 1200);
    EXPECT_FALSE(session->positionUpdating());
    session->stopPlaying();
}

TEST_F(SessionTest, ACancelledDialogLeavesTheStateRecordingUntilAStop)
{
    session->record(); // cancelled
    EXPECT_EQ(session->recordState(), RecordState::Recording);
    session->record();
    EXPECT_EQ(dialogs.saveRequests.size(), 1u); // no second dialog
    EXPECT_EQ(view->status, " Status: Stopped");
    // The stop before anything was recorded runs once, and converts nothing.
    session->stopRecording();
    EXPECT_EQ(session->recordState(), RecordState::Stopped);
    EXPECT_FALSE(session->converter()->running());
    EXPECT_TRUE(dialogs.messages.empty());
    // A second stop only changes the buttons.
    view->sliderMaximum = -1;
    session->stopRecording();
    EXPECT_EQ(view->sliderMaximum, -1);
    session->record();
    EXPECT_EQ(dialogs.saveRequests.size(), 2u);
}

TEST_F(SessionTest, AnExistingFileIsAppendedToOnlyAfterYes)
{
    const QString take = file("saved recordings/old.wav");
    writeFile(take, "old");
    dialogs.saveAnswers = {take};
    dialogs.questionAnswers = {false};
    session->record();
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].title, "Warning");
    EXPECT_EQ(dialogs.questions[0].text, "Recording over an existing file will append the recorded audio to the "
                                         "file.\r\nAre you sure this is what you want to do?");
    EXPECT_FALSE(capture->recording());
    EXPECT_EQ(view->status, " Status: Stopped");
    EXPECT_TRUE(session->lastRecordingPath().isEmpty());

    // Yes on a file that is no WAV: the control's error, then the session's own.
    session->stopRecording();
    dialogs.saveAnswers = {take};
    dialogs.questionAnswers = {true};
    session->record();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("(3) ")) << dialogs.messages[0].text.toStdString();
    EXPECT_EQ(dialogs.messages[0].title, "Recorder");
    EXPECT_EQ(dialogs.messages[1].text, "The control could not start recording");
    EXPECT_EQ(dialogs.messages[1].icon, FakeDialogs::Icon::Critical);
    // Nothing records: the state is back to stopped and Stop has nothing to say.
    EXPECT_EQ(session->recordState(), RecordState::Stopped);
    session->stopRecording();
    EXPECT_EQ(dialogs.messages.size(), 2u);
}

TEST_F(SessionTest, TheDiskGuardWarnsAtTheStartAndStopsAtTheFirstProgress)
{
    text(List::Format) = "Wav";
    text(List::Threshold) = "100";
    disk.list[0].available = 99'999'999; // 100 MB: equality trips
    dialogs.saveAnswers = {file("saved recordings/full.wav")};
    session->record();
    EXPECT_EQ(view->space, " Disk Space Warning");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "Recording Stopped - The available space warning threshold has been exceeded. Please select another "
              "drive, or increase the low disk space warning threshold.\r\nYou selected drive "
                  + folder() + " \rAvailable space on the selected drive is: 100MBs\rDisk space threshold is set at: 100MBs");
    EXPECT_EQ(view->status, " Status: Stopped"); // the status is not set to recording
    EXPECT_TRUE(capture->recording());          // until the first progress
    ASSERT_TRUE(runUntil([this] { return !capture->recording(); }, 2000));
    EXPECT_EQ(view->space, " Stopped:Low D/Space");
    EXPECT_EQ(session->recordState(), RecordState::Stopped);

    // With room again and no guard, the line shows the free space at the next start.
    disk.list[0].available = 7'000'000'000;
    text(List::Threshold) = "Don't warn";
    dialogs.saveAnswers = {file("saved recordings/room.wav")};
    session->record();
    EXPECT_EQ(view->space, recorder::spaceLine(7000, folder()));
    EXPECT_EQ(view->status, " Status: Recording");

    // The disk fills up during the recording: stopped at the next progress.
    text(List::Threshold) = "50";
    disk.list[0].available = 50'400'000;
    ASSERT_TRUE(runUntil([this] { return !capture->recording(); }, 2000));
    EXPECT_EQ(view->space, " Stopped:Low D/Space");
}

TEST_F(SessionTest, AChosenDriveShowsAtTheNextRefreshAndARecordingTakesItsOwn)
{
    disk.list.push_back({"/d1", 80'023'715'840, 123'456'789, 200'000'000, true});
    const QString before = view->space;
    session->setMonitoredDrive("/d1");
    EXPECT_EQ(view->space, before);
    EXPECT_TRUE(session->refreshFreeSpace());
    EXPECT_EQ(view->space, " Space: 123MBs (d1)");
    text(List::Format) = "Wav";
    dialogs.saveAnswers = {file("saved recordings/home.wav")};
    session->record();
    EXPECT_EQ(session->monitoredDrive(), folder());
    EXPECT_EQ(session->freeMegabytes(), 50000);
    session->stopRecording();
    // A drive that cannot be read fails the refresh and keeps the line.
    session->setMonitoredDrive("/nowhere");
    disk.list.clear();
    EXPECT_FALSE(session->refreshFreeSpace());
    EXPECT_EQ(view->space, recorder::spaceLine(50000, folder()));
}

TEST_F(SessionTest, TheTimeLimitStopsTheRecordingAndShowsTheRecordButton)
{
    text(List::Format) = "Wav";
    text(List::Limit) = "0.02"; // 1.2 seconds, typed by hand
    dialogs.saveAnswers = {file("saved recordings/short.wav")};
    session->record();
    view->shown[Button::Record] = false;
    ASSERT_TRUE(runUntil([this] { return !capture->recording(); }, 10000));
    EXPECT_TRUE(runUntil([this] { return view->shown[Button::Record]; }, 10000));
    EXPECT_EQ(view->status, " Status: Stopped");
    EXPECT_EQ(view->progress, " 206.72KB / 00:00:01");
    const DecodedWav wav = decode(file("saved recordings/short.wav").toStdString());
    EXPECT_EQ(wav.frames, 52920);
}

TEST_F(SessionTest, CalibrationSetsTheGainWithinItsRangeAndResetsToOne)
{
    session->setCalibration(15);
    EXPECT_FLOAT_EQ(session->calibrationFactor(), 1.5f);
    EXPECT_FLOAT_EQ(capture->SensitivityFactor(), 1.5f);
    EXPECT_EQ(view->calibration, 15);
    EXPECT_EQ(view->factor, "(x1.5)");
    session->setCalibration(90);
    EXPECT_EQ(session->calibration(), 50);
    EXPECT_FLOAT_EQ(capture->SensitivityFactor(), 5.0f);
    session->resetCalibration();
    EXPECT_EQ(view->calibration, 10);
    EXPECT_FLOAT_EQ(capture->SensitivityFactor(), 1.0f);
}

TEST_F(SessionTest, ControlErrorsAreShownWithTheirNumberAndConsumedByPlay)
{
    emit capture->ErrorOccurred(7, "Something failed");
    emit capture->ErrorOccurred(8, "");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "(7) Something failed");
    EXPECT_EQ(dialogs.messages[0].icon, FakeDialogs::Icon::None);
    EXPECT_EQ(dialogs.messages[0].title, "Recorder");
    EXPECT_TRUE(session->errorPending());
    // A play that reports an error changes nothing else.
    capture->setFileName(file("nothing.wav"));
    session->play();
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_FALSE(session->errorPending());
    EXPECT_EQ(view->status, " Status: Stopped");
    EXPECT_TRUE(view->devicesEnabled);
    EXPECT_FALSE(session->polling());
}

TEST_F(SessionTest, ADeviceListNamingNoInputStartsNoMonitoringAndLaterHidesRecord)
{
    devicePrefix = "Gone ";
    open();
    EXPECT_EQ(session->inputDeviceNumber(), capture->DeviceCount() + 1);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("(2) ")) << dialogs.messages[0].text.toStdString();
    EXPECT_FALSE(session->monitoringActive());
    EXPECT_FALSE(view->monitoring);
    EXPECT_FALSE(session->errorPending()); // the start consumed it
    emit capture->StateChanged(recorder::CaptureControl::Monitoring);
    EXPECT_FALSE(view->shown[Button::Record]);
    EXPECT_EQ(view->status, " Status: Stopped");
}

TEST_F(SessionTest, ClosingStopsTheRecordingWithItsFileCompleteAndSavesTheSettings)
{
    text(List::Format) = "Wav";
    session->chooseQuality(5);
    session->setCalibration(12);
    view->setListPosition(List::Threshold, 3);
    view->at = QPoint(140, 90);
    dialogs.saveAnswers = {file("saved recordings/closing.wav")};
    session->record();
    runFor(1200);
    session->close();
    EXPECT_TRUE(view->hidden);
    session->close(); // once
    ASSERT_TRUE(runUntil([this] { return finished; }, 5000));
    EXPECT_TRUE(view->othersClosed);
    const DecodedWav wav = decode(file("saved recordings/closing.wav").toStdString());
    EXPECT_EQ(wav.rate, 22050);
    EXPECT_GT(wav.frames, 22050);
    store->sync();
    EXPECT_EQ(store->value("Settings/X").toString(), "140");
    EXPECT_EQ(store->value("Settings/Y").toString(), "90");
    EXPECT_EQ(store->value("Settings/Quality").toString(), "5");
    EXPECT_EQ(store->value("Settings/Style").toString(), "0");
    EXPECT_EQ(store->value("Settings/Calibration").toString(), "12");
    EXPECT_EQ(store->value("Settings/Diskspace").toString(), "3");
    EXPECT_EQ(store->value("Settings/Driver").toString(), "1");
    QFile recset(file("recset.inl"));
    ASSERT_TRUE(recset.open(QIODevice::ReadOnly));
    EXPECT_EQ(recset.readAll(), "1,\"Wav\",\"Unlimited\",\"50\"\r\n");

    // The next start restores both.
    open();
    EXPECT_EQ(view->placed, QPoint(140, 90));
    EXPECT_EQ(view->quality, 5);
    EXPECT_EQ(capture->quality(), 64);
    EXPECT_EQ(view->calibration, 12);
    EXPECT_FLOAT_EQ(capture->SensitivityFactor(), 1.2f);
    EXPECT_EQ(text(List::Threshold), "50");
    EXPECT_EQ(text(List::Format), "Wav");
}

TEST_F(SessionTest, ABadStoredValueDeletesTheSettingsFileButKeepsTheDevice)
{
    writeFile(file("recset.inl"), "1,\"Wav\",\"5\",\"10\"\r\n");
    store->setValue("Settings/X", "30");
    store->setValue("Settings/Y", "40");
    store->setValue("Settings/Driver", "1");
    store->remove("Settings/Quality"); // missing: the restore stops here
    store->sync();
    open();
    EXPECT_FALSE(QFile::exists(file("recset.inl")));
    EXPECT_EQ(text(List::Format), "MP3");
    EXPECT_EQ(text(List::Limit), "Unlimited");
    EXPECT_EQ(session->inputDeviceNumber(), 1);
    EXPECT_TRUE(session->monitoringActive());
    EXPECT_TRUE(dialogs.messages.empty());

    // Calibration missing (with everything else there): 10.
    store->setValue("Settings/Quality", "2");
    store->setValue("Settings/Style", "0");
    store->setValue("Settings/Diskspace", "2");
    store->remove("Settings/Calibration");
    store->sync();
    writeFile(file("recset.inl"), "2,\"Wav\",\"5\",\"10\"\r\n");
    open();
    EXPECT_EQ(view->calibration, 10);
    EXPECT_EQ(capture->quality(), 2);
    // The file's device position wins over the store's.
    EXPECT_EQ(view->lists[List::Device].position, 2);
    EXPECT_EQ(session->inputDeviceNumber(), 2);
    EXPECT_EQ(text(List::Limit), "5");

    // A stored position that names no device keeps the one chosen before.
    writeFile(file("recset.inl"), "9,\"Wav\",\"5\",\"10\"\r\n");
    open();
    EXPECT_EQ(view->lists[List::Device].position, 1);
}

TEST_F(SessionTest, MP3OutputConvertsAfterTheStopAndRemovesTheWavOnlyThen)
{
    const QString take = file("saved recordings/my take.wav");
    dialogs.saveAnswers = {take};
    session->record();
    runFor(1500);
    session->stopRecording();
    EXPECT_TRUE(session->converter()->running());
    EXPECT_TRUE(QFile::exists(take)); // not before the converter is done
    ASSERT_TRUE(runUntil([this] { return !session->converter()->running(); }, 20000));
    const QString mp3 = file("saved recordings/my take.mp3");
    EXPECT_TRUE(runUntil([&] { return !QFile::exists(take); }, 10000));
    EXPECT_TRUE(QFileInfo(mp3).size() > 0);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(view->progress, " MP3 created");
    const DecodedWav decoded = decode(mp3.toStdString());
    ASSERT_GT(decoded.frames, decoded.rate);
    std::vector<float> tail(decoded.left.begin() + decoded.rate / 5, decoded.left.end());
    EXPECT_NEAR(measureTone(tail, decoded.rate).peakHz, ToneServer::kToneHz, 5.0);
}

TEST_F(SessionTest, AFailedAutomaticConversionKeepsTheWavAndSaysSo)
{
    writeFile(file("conver"), "#!/bin/sh\necho 'conver: no encoder here' >&2\nexit 3\n", true);
    const QString take = recordFor("kept.wav", 700);
    ASSERT_TRUE(runUntil([this] { return !dialogs.messages.empty(); }, 5000));
    EXPECT_TRUE(QFile::exists(take));
    EXPECT_EQ(dialogs.messages[0].icon, FakeDialogs::Icon::Critical);
    EXPECT_EQ(dialogs.messages[0].text,
              "The recording could not be converted to MP3: no encoder here\r\nThe WAV file was kept: " + take);
    EXPECT_EQ(view->progress, " MP3 failed");

    // A converter that claims success without an MP3 is a failure too.
    writeFile(file("conver"), "#!/bin/sh\nexit 0\n", true);
    dialogs.messages.clear();
    const QString second = recordFor("kept2.wav", 700);
    ASSERT_TRUE(runUntil([this] { return !dialogs.messages.empty(); }, 5000));
    EXPECT_TRUE(QFile::exists(second));
}

TEST_F(SessionTest, ManualConversionAsksAndReportsOnlyASuccess)
{
    text(List::Format) = "Wav";
    const QString wav = recordFor("for mp3.wav", 800);

    const QString target = file("My Music/out put.mp3");
    QDir().mkpath(file("My Music"));
    writeFile(target, "old");
    dialogs.openAnswers = {file("nope.wav"), wav};
    dialogs.saveAnswers = {target, target};
    dialogs.questionAnswers = {false, true, true}; // No to overwrite, then Yes, then Yes to view
    session->convertByHand();
    ASSERT_EQ(dialogs.openRequests.size(), 2u);
    EXPECT_EQ(dialogs.openRequests[0].title, "Please choose a wav file to convert.");
    EXPECT_EQ(dialogs.openRequests[0].filter, "Wav Files (*.wav)|*.wav|Wav Files (*.*)|*.*");
    EXPECT_EQ(dialogs.openRequests[0].folder, file("saved recordings"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Please choose an existing wav file.");
    ASSERT_EQ(dialogs.saveRequests.size(), 3u);
    EXPECT_EQ(dialogs.saveRequests[1].title, "Please choose a filename for your Mp3.");
    EXPECT_EQ(dialogs.saveRequests[1].filter, "Mp3 Files (*.mp3)|*.mp3|mp3 Files (*.*)|*.*");
    EXPECT_EQ(dialogs.questions[0].text, "This will overwrite an existing Mp3. Would you like to continue?");
    // The question comes when the converter has finished, not before.
    EXPECT_EQ(dialogs.questions.size(), 2u);
    ASSERT_TRUE(runUntil([this] { return dialogs.questions.size() == 3; }, 20000));
    EXPECT_EQ(dialogs.questions[2].text, "Your Mp3 has been created:  " + target + ". Would you like to view the file?");
    ASSERT_EQ(launcher.opened.size(), 1u);
    EXPECT_EQ(launcher.opened[0].toLocalFile(), file("My Music/"));
    EXPECT_TRUE(QFile::exists(wav)); // the manual conversion keeps its source
    EXPECT_GT(QFileInfo(target).size(), 1000);

    // A failing conversion: a message, no question; the dialogs start from the last choices.
    writeFile(file("conver"), "#!/bin/sh\necho 'conver: cannot write' >&2\nexit 1\n", true);
    dialogs.openAnswers = {wav};
    dialogs.saveAnswers = {file("My Music/second.mp3")};
    dialogs.messages.clear();
    session->convertByHand();
    EXPECT_EQ(dialogs.openRequests.back().fileName, wav);
    EXPECT_EQ(dialogs.saveRequests.back().folder, file("My Music/"));
    ASSERT_TRUE(runUntil([this] { return !dialogs.messages.empty(); }, 5000));
    EXPECT_EQ(dialogs.messages[0].text, "The Mp3 could not be created: cannot write");
    EXPECT_EQ(dialogs.questions.size(), 3u);
}

TEST_F(SessionTest, TheOutsideToolsStartOrSaySoWhenMissing)
{
    // The mixer: a missing one is explained and the help still follows; a failing one ends there.
    EXPECT_TRUE(session->openMixer());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains("pavucontrol"));
    installed = {"pavucontrol"};
    EXPECT_TRUE(session->openMixer());
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, "/usr/bin/pavucontrol");
    EXPECT_EQ(launcher.started[0].arguments, QStringList{"--tab=2"});
    launcher.startSucceeds = false;
    EXPECT_FALSE(session->openMixer());
    EXPECT_EQ(dialogs.messages.back().text, "Could not open the mixer, please contact support");
    launcher.startSucceeds = true;
    launcher.started.clear();
    dialogs.messages.clear();

    // Dir: the folder of the last recording.
    session->openRecordingsFolder();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "No file has yet been recorded during this session.");
    text(List::Format) = "Wav";
    recordFor("a b.wav", 300);
    session->openRecordingsFolder();
    ASSERT_EQ(launcher.opened.size(), 1u);
    EXPECT_EQ(launcher.opened[0].toLocalFile(), file("saved recordings/"));
    launcher.openSucceeds = false;
    session->openRecordingsFolder();
    EXPECT_EQ(dialogs.messages.back().text, "The directory could not be opened.");
    dialogs.messages.clear();

    // The sound editor: the program folder's, else Audacity.
    installed.clear();
    session->startSoundEditor();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "There was a problem loading the editor. The file could not be found.");
    installed = {"audacity"};
    session->startSoundEditor();
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, "/usr/bin/audacity");
    writeFile(file("SOUNDEDIT"), "#!/bin/sh\n", true);
    session->startSoundEditor();
    ASSERT_EQ(launcher.started.size(), 2u);
    EXPECT_EQ(launcher.started[1].program, file("SOUNDEDIT"));
}

TEST_F(SessionTest, ARecordingNamedLikeItsMp3IsRecordedAsAWavAndConverted)
{
    // The user names the recording "x.mp3": the conversion must never take its source as target.
    dialogs.saveAnswers = {file("saved recordings/x.mp3")};
    session->record();
    runFor(1000);
    session->stopRecording();
    const QString wav = file("saved recordings/x.wav");
    const QString mp3 = file("saved recordings/x.mp3");
    EXPECT_EQ(session->converter()->source(), wav);
    EXPECT_EQ(session->converter()->target(), mp3);
    ASSERT_TRUE(runUntil([this] { return !session->converter()->running(); }, 20000));
    runFor(50);
    const DecodedWav decoded = decode(mp3.toStdString());
    EXPECT_GT(decoded.frames, decoded.rate / 2) << "a real MP3 of the recording";
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SessionTest, StopAfterAFailedStartSaysNothingMore)
{
    // A folder that does not exist: the control cannot start.
    dialogs.saveAnswers = {file("no such folder/take.wav")};
    session->record();
    const std::size_t told = dialogs.messages.size();
    EXPECT_GE(told, 1u);
    EXPECT_EQ(session->recordState(), RecordState::Stopped);
    EXPECT_EQ(view->status, " Status: Stopped");
    session->stopRecording();
    runFor(50);
    EXPECT_EQ(dialogs.messages.size(), told) << "no \"cannot be played\" after a start that failed";
    EXPECT_FALSE(session->converter()->running());
}

TEST(WindowPlacement, AStoredPositionOffEveryScreenGoesToThePrimaryOne)
{
    const QRect primary(0, 0, 1920, 1050);
    const QRect second(1920, 0, 1280, 1024);
    const QSize window(400, 300);
    const QPoint centred = primary.center() - QRect(QPoint(0, 0), window).center();
    EXPECT_EQ(sonaveil::recorder::placeOnScreens(QPoint(100, 80), window, {primary, second}, primary), QPoint(100, 80));
    EXPECT_EQ(sonaveil::recorder::placeOnScreens(QPoint(2000, 50), window, {primary, second}, primary), QPoint(2000, 50));
    // The second monitor unplugged, a position that wrapped, one far beyond, none at all.
    EXPECT_EQ(sonaveil::recorder::placeOnScreens(QPoint(2000, 50), window, {primary}, primary), centred);
    EXPECT_EQ(sonaveil::recorder::placeOnScreens(QPoint(-5536, 100), window, {primary}, primary), centred);
    EXPECT_EQ(sonaveil::recorder::placeOnScreens(QPoint(60000, 100), window, {primary}, primary), centred);
    EXPECT_EQ(sonaveil::recorder::placeOnScreens(std::nullopt, window, {primary}, primary), centred);
    // Hanging over an edge but with its corner to grab on the screen: left where it is.
    EXPECT_EQ(sonaveil::recorder::placeOnScreens(QPoint(1800, 900), window, {primary}, primary), QPoint(1800, 900));
}

TEST_F(SessionTest, ASettingsFileThatCannotBeWrittenAtCloseIsTold)
{
    UnwritableFolder locked(std::filesystem::path(folder().toStdString()));
    if (!locked.active())
        GTEST_SKIP() << "cannot make a folder unwritable here";
    session->close();
    ASSERT_TRUE(runUntil([this] { return finished; }, 5000));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains("recset.inl")) << dialogs.messages[0].text.toStdString();
}

namespace {

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST_F(SessionTest, ASecondTakeUnderAnEarlierNameNeverReplacesItsMp3WithoutTheUsersWord)
{
    const QString wav = recordFor("take 1.wav", 700);
    const QString mp3 = file("saved recordings/take 1.mp3");
    ASSERT_TRUE(runUntil([this] { return !session->converter()->running(); }, 20000));
    ASSERT_TRUE(runUntil([&] { return !QFile::exists(wav); }, 5000));
    const QByteArray first = contentOf(mp3);
    ASSERT_GT(first.size(), 1000);

    // The WAV is gone, so only the MP3 can be asked about; No records nothing.
    dialogs.saveAnswers = {wav};
    session->record();
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].text, "This will overwrite an existing Mp3. Would you like to continue?");
    EXPECT_FALSE(capture->recording());
    session->stopRecording();
    EXPECT_FALSE(session->converter()->running());
    EXPECT_EQ(contentOf(mp3), first);

    // Yes: the new take replaces it.
    dialogs.saveAnswers = {wav};
    dialogs.questionAnswers = {true};
    session->record();
    EXPECT_TRUE(capture->recording());
    runFor(1200);
    session->stopRecording();
    ASSERT_TRUE(runUntil([this] { return !session->converter()->running(); }, 20000));
    const QByteArray second = contentOf(mp3);
    EXPECT_NE(second, first);

    // A take started as WAV and stopped with MP3 chosen was never asked about: the MP3 stays and
    // the new one takes a free name beside it.
    text(List::Format) = "Wav";
    dialogs.saveAnswers = {wav};
    session->record();
    EXPECT_EQ(dialogs.questions.size(), 2u);
    runFor(700);
    text(List::Format) = "MP3";
    session->stopRecording();
    EXPECT_EQ(session->converter()->target(), file("saved recordings/take 1 (2).mp3"));
    ASSERT_TRUE(runUntil([this] { return !session->converter()->running(); }, 20000));
    EXPECT_EQ(contentOf(mp3), second);
    EXPECT_GT(QFileInfo(file("saved recordings/take 1 (2).mp3")).size(), 1000);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SessionTest, ARefusedAppendThenStopSaysNothingAndConvertsNothing)
{
    recordFor("earlier.wav", 600);
    ASSERT_TRUE(runUntil([this] { return !session->converter()->running(); }, 20000));
    runFor(20);
    ASSERT_FALSE(QFile::exists(file("saved recordings/earlier.wav")));
    const QString other = file("saved recordings/other.wav");
    writeFile(other, "not ours to touch");
    dialogs.saveAnswers = {other};
    session->record(); // No to appending
    session->stopRecording();
    EXPECT_FALSE(session->converter()->running());
    runFor(50);
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages.front().text.toStdString();
    EXPECT_EQ(contentOf(other), "not ours to touch");
}

TEST_F(SessionTest, PlayAfterAnMp3RecordingPlaysTheMp3)
{
    const QString wav = recordFor("played.wav", 1200);
    ASSERT_TRUE(runUntil([this] { return !session->converter()->running(); }, 20000));
    ASSERT_TRUE(runUntil([&] { return !QFile::exists(wav); }, 5000));
    session->play();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages.front().text.toStdString();
    EXPECT_EQ(capture->FileName(), file("saved recordings/played.mp3"));
    EXPECT_EQ(view->status, " Status: Playing");
    EXPECT_TRUE(capture->playing());
    ASSERT_TRUE(runUntil([this] { return view->position > 0; }, 10000));
    session->stopPlaying();
    // The MP3 is in none of the list's formats: the list and the next recording keep theirs.
    EXPECT_EQ(session->qualityIndex(), 11);
    EXPECT_EQ(capture->quality(), 2048);

    // With WAV output the WAV is what plays.
    text(List::Format) = "Wav";
    const QString kept = recordFor("kept.wav", 700);
    session->play();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages.front().text.toStdString();
    EXPECT_EQ(capture->FileName(), kept);
    EXPECT_TRUE(capture->playing());
    session->stopPlaying();
}

TEST_F(SessionTest, AThresholdThatIsNoListItemCountsByItsFigure)
{
    writeFile(file("recset.inl"), "1,\"Wav\",\"Unlimited\",\"75\"\r\n");
    open();
    EXPECT_EQ(text(List::Threshold), "75");
    // 75 MB free: the guard trips at its own figure.
    disk.list[0].available = 75'000'000;
    dialogs.saveAnswers = {file("saved recordings/low.wav")};
    session->record();
    EXPECT_EQ(view->space, " Disk Space Warning");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.endsWith("Disk space threshold is set at: 75MBs"));
    ASSERT_TRUE(runUntil([this] { return !capture->recording(); }, 4000));
    // One more megabyte and it does not.
    session->stopRecording();
    disk.list[0].available = 76'000'000;
    dialogs.saveAnswers = {file("saved recordings/room.wav")};
    session->record();
    EXPECT_EQ(view->status, " Status: Recording");
    session->stopRecording();
    // The file keeps the figure for the next start.
    session->close();
    ASSERT_TRUE(runUntil([this] { return finished; }, 5000));
    EXPECT_EQ(contentOf(file("recset.inl")), "1,\"Wav\",\"Unlimited\",\"75\"\r\n");
}

TEST_F(SessionTest, TheRecordDialogOffersWhatTheRecordingBecomes)
{
    dialogs.saveAnswers = {file("saved recordings/named")};
    session->record();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].filter, "MP3 Files, recorded as WAV and converted at Stop|*.mp3;*.wav");
    EXPECT_EQ(dialogs.saveRequests[0].defaultSuffix, "mp3");
    session->stopRecording();
    text(List::Format) = "Wav";
    session->record();
    EXPECT_EQ(dialogs.saveRequests[1].filter, "Wave Files|*.wav");
    EXPECT_EQ(dialogs.saveRequests[1].defaultSuffix, "wav");
}

TEST_F(SessionTest, TheSavedDeviceIsRestoredAtEitherEndOfTheList)
{
    const int count = view->deviceCount();
    ASSERT_GE(count, 2) << "the private sound server offers two inputs";
    store->setValue("Settings/X", "20");
    store->setValue("Settings/Y", "20");
    store->setValue("Settings/Quality", "11");
    store->setValue("Settings/Style", "0");
    store->setValue("Settings/Diskspace", "1");
    for (const auto& [saved, expected] : std::vector<std::pair<int, int>>{{count, count}, {1, 1}, {count + 1, 1}, {0, 1}}) {
        store->setValue("Settings/Driver", QString::number(saved));
        store->sync();
        QFile::remove(file("recset.inl"));
        open();
        EXPECT_EQ(view->lists[List::Device].position, expected) << "saved " << saved;
        EXPECT_EQ(session->inputDeviceNumber(), expected) << "saved " << saved;
        EXPECT_EQ(capture->DeviceName(session->inputDeviceNumber()), text(List::Device).mid(devicePrefix.size()));
    }
}

TEST_F(SessionTest, AConversionShowsItsProgressUpToItsEnd)
{
    recordFor("long take.wav", 2500);
    ASSERT_TRUE(runUntil([this] { return !session->converter()->running(); }, 20000));
    ASSERT_TRUE(runUntil([this] { return view->progress == " MP3 created"; }, 10000)) << view->progress.toStdString();
    QList<int> percents;
    for (const QString& line : std::as_const(view->progressLines))
        if (line.startsWith(" Converting: ") && line.endsWith('%'))
            percents << line.mid(13).chopped(1).toInt();
    ASSERT_GE(percents.size(), 3) << view->progressLines.join('|').toStdString();
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_LT(percents.front(), 50);
    EXPECT_EQ(percents.back(), 100);
    EXPECT_EQ(view->progressLines.back(), " MP3 created");

    // A conversion that fails part-way never shows 100%, and ends saying so.
    view->progressLines.clear();
    writeFile(file("conver"), "#!/bin/sh\necho 10%\necho 60%\necho 'conver: cannot write: No space left on device' >&2\nexit 1\n", true);
    recordFor("full disk.wav", 700);
    ASSERT_TRUE(runUntil([this] { return !dialogs.messages.empty(); }, 20000));
    QStringList conversion;
    for (const QString& line : std::as_const(view->progressLines))
        if (line.startsWith(" Converting") || line.startsWith(" MP3"))
            conversion << line;
    EXPECT_EQ(conversion, (QStringList{" Converting: 10%", " Converting: 60%", " MP3 failed"}))
        << view->progressLines.join('|').toStdString();
}
