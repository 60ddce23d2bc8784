#include "capturefixture.h"
#include "tempfolder.h"

#include <QFile>
#include <QProcess>
#include <QSettings>

#include <csignal>
#include <filesystem>

namespace {

// The recorder program in a program folder of its own (the build's program folder is never
// written by a test), with its settings under the folder too.
class RecorderProgram : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        if (!ToneServer::instance()->running())
            FAIL() << "the private pulseaudio did not start";
        const std::filesystem::path dist = std::filesystem::path(RECORDER_EXE).parent_path();
        for (const char* name : {"recorder", "liblumidot.so", "conver"})
            std::filesystem::copy_file(dist / name, folder / name);
        std::filesystem::create_directory(folder / "saved recordings");
        std::filesystem::create_directory(folder / "config");
    }

    QString path(const char* leaf) const { return QString::fromStdString((folder / leaf).string()); }

    TempFolder folder;
};

} // namespace

TEST_P(RecorderProgram, ASignalClosesItTheNormalWayAndItSavesItsSettings)
{
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", path("config"));
    program.setProcessEnvironment(env);
    program.start(path("recorder"), {});
    ASSERT_TRUE(program.waitForStarted(5000));
    // Start-up ends with monitoring: its recording stream on the sound server.
    EXPECT_TRUE(runUntil(
        [] { return !ToneServer::instance()->pulse().pactl("list short source-outputs").empty(); }, 20000));
    ASSERT_EQ(program.state(), QProcess::Running) << program.readAllStandardError().toStdString();
    ::kill(pid_t(program.processId()), GetParam());
    ASSERT_TRUE(program.waitForFinished(8000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    QFile recset(path("recset.inl"));
    ASSERT_TRUE(recset.open(QIODevice::ReadOnly));
    EXPECT_EQ(recset.readAll(), "1,\"MP3\",\"Unlimited\",\"Don't warn\"\r\n");
    QSettings store(path("config/Sonaveil/recorder.conf"), QSettings::IniFormat);
    EXPECT_EQ(store.value("Settings/Quality").toString(), "11");
    EXPECT_EQ(store.value("Settings/Calibration").toString(), "10");
    // The README sends the user to that file.
    QFile readme(SONAVEIL_SOURCE_DIR "/README.md");
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QByteArray guide = readme.readAll();
    EXPECT_TRUE(guide.contains("`$XDG_CONFIG_HOME/Sonaveil/recorder.conf`"));
    EXPECT_TRUE(guide.contains("`~/.config/Sonaveil/recorder.conf`"));
}

INSTANTIATE_TEST_SUITE_P(Signals, RecorderProgram, ::testing::Values(SIGTERM, SIGINT));
