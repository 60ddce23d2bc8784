#include "recorder/capture/capturecontrol.h"

#include "capturefixture.h"
#include "tempfolder.h"
#include "testutil.h"
#include "tonemeter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>

#include <sndfile.h>

#include <cmath>
#include <csignal>
#include <fstream>
#include <sys/mount.h>
#include <iterator>

using namespace sonaveil::recorder;

namespace {

class Capture : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!ToneServer::instance()->running())
            FAIL() << "the private pulseaudio did not start";
        QObject::connect(&capture, &CaptureControl::ErrorOccurred,
                         [this](int n, const QString& t) { errors.push_back({n, t}); });
        QObject::connect(&capture, &CaptureControl::StateChanged, [this](int s) { states.push_back(s); });
        capture.StartMonitoring();
        ASSERT_TRUE(errors.empty()) << errors.front().second.toStdString();
    }
    void TearDown() override { capture.CloseDevices(); }

    // Records `seconds` into `path` with the time limit and waits for the recording to end.
    void recordFor(const std::filesystem::path& path, int flag, double seconds)
    {
        capture.setQuality(flag);
        capture.setFileName(QString::fromStdString(path.string()));
        ASSERT_TRUE(capture.StartRecording(seconds));
        ASSERT_TRUE(runUntil([this] { return !capture.recording(); }, int(seconds * 1000) + 3000));
        runFor(20); // the queued end-of-recording events
    }

    CaptureControl capture;
    TempFolder folder;
    std::vector<std::pair<int, QString>> errors;
    std::vector<int> states;
};

} // namespace

TEST_F(Capture, DevicesAreTheServersSourcesWithTheDefaultFirst)
{
    ASSERT_GE(capture.DeviceCount(), 2); // the monitors of the two null sinks
    const std::string defaultSource = ToneServer::instance()->pulse().pactl("get-default-source");
    const std::string description
        = ToneServer::instance()->pulse().pactl("list sources");
    EXPECT_NE(description.find(capture.DeviceName(1).toStdString()), std::string::npos);
    EXPECT_NE(defaultSource.find("sonaveil_test.monitor"), std::string::npos);
    EXPECT_EQ(capture.DeviceName(1), QString("Monitor of Sonaveil_Test"));
    for (int n = 1; n <= capture.DeviceCount(); ++n)
        EXPECT_EQ(capture.DeviceKind(n), 1);
    EXPECT_EQ(capture.DeviceKind(0), 0);
    EXPECT_EQ(capture.DeviceKind(capture.DeviceCount() + 1), 0);
    EXPECT_TRUE(capture.DeviceName(capture.DeviceCount() + 1).isEmpty());
}

TEST_F(Capture, EachOfTheTwelveQualitiesRecordsTheToneInItsFormat)
{
    for (const Quality& q : kQualities) {
        SCOPED_TRACE(std::string(q.text));
        const auto path = folder / ("q" + std::to_string(q.flag) + ".wav");
        recordFor(path, q.flag, 1.0);
        const DecodedWav wav = decode(path.string());
        EXPECT_EQ(wav.rate, q.format.rate);
        EXPECT_EQ(wav.channels, q.format.channels);
        EXPECT_EQ(wav.format & SF_FORMAT_SUBMASK, q.format.bits == 8 ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_16);
        EXPECT_NEAR(double(wav.frames) / wav.rate, 1.0, 0.05);
        // The first 100 ms may still hold the stream's start; the tone is measured after it.
        std::vector<float> tail(wav.left.begin() + wav.rate / 10, wav.left.end());
        const ToneMeasurement m = measureTone(tail, wav.rate);
        EXPECT_NEAR(m.peakHz, ToneServer::kToneHz, 5.0);
        EXPECT_GT(m.rms, 0.05);
        EXPECT_GT(m.purity, 0.8);
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(Capture, TheTimeLimitEndsTheRecordingWithStateAndLastProgress)
{
    QSignalSpy progress(&capture, &CaptureControl::Progress);
    states.clear();
    recordFor(folder / "limit.wav", 2048, 1.2);
    EXPECT_EQ(states.front(), CaptureControl::Recording);
    EXPECT_EQ(states.back(), CaptureControl::Monitoring);
    ASSERT_GE(progress.count(), 2); // about twice a second, and once at the end
    EXPECT_DOUBLE_EQ(progress.last().at(0).toDouble(), 1.2 * 44100 * 4);
    const auto e = capture.ElapsedTime();
    EXPECT_EQ(e[0], 1.0f);
    EXPECT_EQ(e[1], 0.0f);
    EXPECT_EQ(e[2], 0.0f);
    EXPECT_EQ(decode((folder / "limit.wav").string()).frames, 52920);
}

TEST_F(Capture, ProgressComesAboutTwiceASecondWhileRecordingWithoutLimit)
{
    QSignalSpy progress(&capture, &CaptureControl::Progress);
    capture.setFileName(QString::fromStdString((folder / "free.wav").string()));
    ASSERT_TRUE(capture.StartRecording(0));
    runFor(2100);
    EXPECT_TRUE(capture.recording());
    capture.StopRecording();
    EXPECT_FALSE(capture.recording());
    EXPECT_GE(progress.count(), 3);
    EXPECT_LE(progress.count(), 5);
    double last = 0;
    for (const auto& args : progress) {
        EXPECT_GT(args.at(0).toDouble(), last);
        last = args.at(0).toDouble();
    }
    const DecodedWav wav = decode((folder / "free.wav").string());
    EXPECT_NEAR(double(wav.frames) / wav.rate, 2.1, 0.3);
}

TEST_F(Capture, RecordingOverAFileOfTheSameFormatAppends)
{
    const auto path = folder / "append.wav";
    recordFor(path, 64, 0.5);
    const std::string first = fileText(path);
    recordFor(path, 64, 0.5);
    const std::string both = fileText(path);
    EXPECT_EQ(both.substr(44, first.size() - 44), first.substr(44));
    const DecodedWav wav = decode(path.string());
    EXPECT_EQ(wav.frames, 22050);
    EXPECT_TRUE(errors.empty());
}

TEST_F(Capture, AFileOfAnotherFormatIsRefusedBeforeTheCallReturnsAndLeftAlone)
{
    const auto path = folder / "other.wav";
    recordFor(path, 2048, 0.3);
    const std::string before = fileText(path);
    capture.setQuality(1);
    errors.clear();
    EXPECT_FALSE(capture.StartRecording(0));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].first, CaptureControl::OtherFormat);
    EXPECT_TRUE(errors[0].second.contains("44100 Hz, 16 bit, stereo")) << errors[0].second.toStdString();
    EXPECT_FALSE(capture.recording());
    EXPECT_EQ(fileText(path), before);

    std::ofstream(folder / "text.wav") << "not a sound";
    capture.setFileName(QString::fromStdString((folder / "text.wav").string()));
    errors.clear();
    EXPECT_FALSE(capture.StartRecording(0));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(fileText(folder / "text.wav"), "not a sound");

    capture.setQuality(3);
    errors.clear();
    EXPECT_FALSE(capture.StartRecording(0));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].first, CaptureControl::BadQuality);
}

TEST_F(Capture, SensitivityScalesTheRecording)
{
    capture.setSensitivityFactor(1.0f);
    recordFor(folder / "full.wav", 1024, 0.6);
    capture.setSensitivityFactor(0.5f);
    EXPECT_FLOAT_EQ(capture.SensitivityFactor(), 0.5f);
    recordFor(folder / "half.wav", 1024, 0.6);
    auto level = [](const std::filesystem::path& p) {
        DecodedWav w = decode(p.string());
        std::vector<float> tail(w.left.begin() + w.rate / 5, w.left.end());
        return measureTone(tail, w.rate).rms;
    };
    EXPECT_NEAR(level(folder / "half.wav") / level(folder / "full.wav"), 0.5, 0.02);
    const auto levels = capture.takeLevels();
    EXPECT_GT(levels[0], 0.05f);
}

TEST_F(Capture, PlaysAFileAndTellsItsFormatLengthAndPosition)
{
    const auto path = folder / "play.wav";
    recordFor(path, 1, 0.8);
    capture.setQuality(2048);
    capture.setFileName(QString::fromStdString(path.string()));
    capture.ReadFileFormat();
    EXPECT_EQ(capture.quality(), 1);
    EXPECT_NEAR(capture.Length(), 800.0, 0.1);
    states.clear();
    capture.Play(false);
    EXPECT_TRUE(capture.playing());
    EXPECT_EQ(states, std::vector<int>{CaptureControl::Playing});
    EXPECT_TRUE(runUntil([this] { return capture.Position() > 0.0; }, 10000));
    ASSERT_TRUE(runUntil([this] { return !states.empty() && states.back() == CaptureControl::PlayEnded; }, 3000));
    EXPECT_FALSE(capture.playing());

    // Stopped by hand, and a seek moves the position.
    capture.Play(false);
    capture.setPosition(600);
    EXPECT_TRUE(runUntil([this] { return capture.Position() >= 600.0; }, 10000));
    states.clear();
    capture.StopPlaying();
    EXPECT_EQ(states, std::vector<int>{CaptureControl::PlayEnded});
    EXPECT_FALSE(capture.playing());

    capture.setFileName(QString::fromStdString((folder / "missing.wav").string()));
    errors.clear();
    capture.Play(false);
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_FALSE(capture.playing());
    capture.ReadFileFormat();
    EXPECT_EQ(capture.quality(), 0);
    EXPECT_EQ(capture.Length(), 0.0);
}

TEST_F(Capture, ARecorderKilledMidRecordingLeavesAPlayableFile)
{
    const auto path = folder / "killed.wav";
    QProcess helper;
    helper.start(RECORD_HELPER, {QString::fromStdString(path.string())});
    ASSERT_TRUE(helper.waitForReadyRead(5000)) << helper.readAllStandardError().toStdString();
    ASSERT_EQ(helper.readAllStandardOutput().trimmed(), "recording");
    runFor(3000);
    ::kill(pid_t(helper.processId()), SIGKILL);
    helper.waitForFinished(3000);
    const DecodedWav wav = decode(path.string());
    ASSERT_GT(wav.frames, 0);
    EXPECT_GE(double(wav.frames) / wav.rate, 2.0);
    std::vector<float> tail(wav.left.begin() + wav.rate / 5, wav.left.end());
    EXPECT_NEAR(measureTone(tail, wav.rate).peakHz, ToneServer::kToneHz, 5.0);
}

TEST_F(Capture, AFullDiskEndsTheRecordingWithAMessageAndAValidFile)
{
    // A file system of 256 KiB: about 1.5 seconds of 44.1 kHz 16-bit stereo.
    const auto mountPoint = folder / "small";
    std::filesystem::create_directory(mountPoint);
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here";
    const auto path = mountPoint / "full.wav";
    capture.setQuality(2048);
    capture.setFileName(QString::fromStdString(path.string()));
    ASSERT_TRUE(capture.StartRecording(0));
    const bool ended = runUntil([this] { return !capture.recording(); }, 5000);
    runFor(20);
    const DecodedWav wav = decode(path.string());
    const auto size = std::filesystem::file_size(path);
    ::umount2(mountPoint.c_str(), MNT_DETACH);
    ASSERT_TRUE(ended);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].first, CaptureControl::DiskFull);
    EXPECT_EQ(states.back(), CaptureControl::Monitoring);
    // Every whole frame that fitted is there and the header says so.
    EXPECT_EQ(std::uint64_t(wav.frames), (size - 44) / 4);
    EXPECT_GT(wav.frames, 44100);
    std::vector<float> tail(wav.left.begin() + wav.rate / 5, wav.left.end());
    EXPECT_NEAR(measureTone(tail, wav.rate).peakHz, ToneServer::kToneHz, 5.0);
}

// A server of its own, since this test kills it.
TEST(CaptureServerLoss, ALostServerEndsTheRecordingWithAMessageAndTheNextStartReconnects)
{
    if (!ToneServer::instance()->running())
        FAIL() << "the private pulseaudio did not start";
    TempFolder folder;
    CaptureControl capture;
    std::vector<std::pair<int, QString>> errors;
    std::vector<int> states;
    QObject::connect(&capture, &CaptureControl::ErrorOccurred, [&](int n, const QString& t) { errors.push_back({n, t}); });
    QObject::connect(&capture, &CaptureControl::StateChanged, [&](int s) { states.push_back(s); });
    capture.StartMonitoring();
    ASSERT_TRUE(errors.empty());
    const auto path = folder / "lost.wav";
    capture.setFileName(QString::fromStdString(path.string()));
    ASSERT_TRUE(capture.StartRecording(0));
    runFor(1300);
    ToneServer::instance()->pulse().kill();
    ASSERT_TRUE(runUntil([&] { return !errors.empty(); }, 3000));
    EXPECT_EQ(errors[0].first, CaptureControl::NoServer);
    EXPECT_FALSE(capture.recording());
    EXPECT_EQ(states.back(), CaptureControl::Monitoring);
    EXPECT_GE(decode(path.string()).frames, 44100);

    // No server: an error before the call returns, not a hang.
    errors.clear();
    capture.StartMonitoring();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].first, CaptureControl::NoServer);

    ASSERT_TRUE(ToneServer::instance()->pulse().start());
    // A server that hangs (accepts the connection, never answers): an error within a few
    // seconds, not a hang.
    {
        CaptureControl other;
        std::vector<int> numbers;
        QObject::connect(&other, &CaptureControl::ErrorOccurred, [&](int n, const QString&) { numbers.push_back(n); });
        ToneServer::instance()->pulse().freeze();
        QElapsedTimer t;
        t.start();
        other.StartMonitoring();
        const auto waited = t.elapsed();
        ToneServer::instance()->pulse().thaw();
        EXPECT_EQ(numbers, std::vector<int>{CaptureControl::NoServer});
        EXPECT_LT(waited, 5000);
    }
    ToneServer::instance()->pulse().pactl("load-module module-sine sink=sonaveil_test frequency="
                                          + std::to_string(ToneServer::kToneHz));
    errors.clear();
    capture.refreshDevices();
    capture.StartMonitoring();
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(capture.monitoring());
    capture.CloseDevices();
}

TEST_F(Capture, ANameBeyondAsciiIsRecordedUnderTheBytesTheFileSystemGivesIt)
{
    const std::string leaf = "t\xC3\xA5ke \xC3\xA9t\xC3\xA9.wav"; // "tåke été.wav"
    const std::filesystem::path path = folder / leaf;
    const QString name = QFile::decodeName(QByteArray::fromStdString(path.string()));
    capture.setQuality(64);
    capture.setFileName(name);
    ASSERT_TRUE(capture.StartRecording(0.3));
    ASSERT_TRUE(runUntil([this] { return !capture.recording(); }, 3300));
    runFor(20);
    EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors.front().second.toStdString());
    std::vector<std::string> made;
    for (const auto& e : std::filesystem::directory_iterator(folder.path()))
        made.push_back(e.path().filename().string());
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0], leaf);
    EXPECT_NEAR(decode(path.string()).frames, 6615, 50);
}
