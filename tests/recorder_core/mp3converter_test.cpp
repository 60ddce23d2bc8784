#include "recorder/core/mp3converter.h"

#include "tempfolder.h"
#include "testutil.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <sndfile.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace sonaveil::recorder;

namespace {

struct Outcome {
    bool done = false;
    bool ok = false;
    QString error;
};

Outcome convert(const QString& program, const QString& source, const QString& target)
{
    int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
    Mp3Converter c(program);
    Outcome o;
    QObject::connect(&c, &Mp3Converter::finished, [&o](bool ok, const QString&, const QString&, const QString& error, int) {
        o.done = true;
        o.ok = ok;
        o.error = error;
    });
    c.start(source, target);
    QElapsedTimer t;
    t.start();
    while (!o.done && t.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return o;
}

// A WAV of `seconds` of a sine at `hz`.
void writeTone(const std::string& path, int rate, int channels, int hz, double seconds)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    const int frames = int(rate * seconds);
    std::vector<float> data(std::size_t(frames) * std::size_t(channels));
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            data[std::size_t(i * channels + c)] = 0.5f * float(std::sin(2 * M_PI * hz * i / rate));
    sf_writef_float(f, data.data(), frames);
    sf_close(f);
}

// Strongest frequency by counting zero crossings of the middle part.
double crossingsHz(const std::vector<float>& s, int rate)
{
    int crossings = 0;
    const std::size_t from = s.size() / 4, to = s.size() * 3 / 4;
    for (std::size_t i = from + 1; i < to; ++i)
        if ((s[i - 1] < 0) != (s[i] < 0))
            ++crossings;
    return crossings / 2.0 / (double(to - from) / rate);
}

} // namespace

TEST(Conver, TheMp3DecodesBackToTheTone)
{
    TempFolder folder;
    const auto wav = folder / "take 1.wav";
    const auto mp3 = folder / "take 1.mp3";
    writeTone(wav.string(), 22050, 2, 1000, 2.0);
    const Outcome o = convert(CONVER, QString::fromStdString(wav.string()), QString::fromStdString(mp3.string()));
    ASSERT_TRUE(o.done);
    EXPECT_TRUE(o.ok) << o.error.toStdString();
    SF_INFO info{};
    SNDFILE* f = sf_open(mp3.string().c_str(), SFM_READ, &info);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_MPEG);
    EXPECT_EQ(info.samplerate, 22050);
    std::vector<float> all(std::size_t(info.frames) * std::size_t(info.channels));
    sf_readf_float(f, all.data(), info.frames);
    sf_close(f);
    EXPECT_NEAR(double(info.frames) / info.samplerate, 2.0, 0.1);
    std::vector<float> left;
    for (std::size_t i = 0; i < all.size(); i += std::size_t(info.channels))
        left.push_back(all[i]);
    EXPECT_NEAR(crossingsHz(left, info.samplerate), 1000.0, 5.0);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(mp3.string() + ".part")));
}

TEST(Conver, FailuresAreOneLineAndLeaveNoMp3)
{
    TempFolder folder;
    const QString missing = QString::fromStdString((folder / "missing.wav").string());
    const QString target = QString::fromStdString((folder / "out.mp3").string());
    Outcome o = convert(CONVER, missing, target);
    ASSERT_TRUE(o.done);
    EXPECT_FALSE(o.ok);
    EXPECT_TRUE(o.error.startsWith("cannot read")) << o.error.toStdString();
    EXPECT_FALSE(o.error.contains('\n'));
    EXPECT_FALSE(QFile::exists(target));

    // A text file with a .wav name is no sound.
    QFile text(QString::fromStdString((folder / "text.wav").string()));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("hello");
    text.close();
    o = convert(CONVER, text.fileName(), target);
    EXPECT_FALSE(o.ok);
    EXPECT_FALSE(QFile::exists(target));

    // The converter missing altogether.
    o = convert(QString::fromStdString((folder / "conver").string()), missing, target);
    ASSERT_TRUE(o.done);
    EXPECT_FALSE(o.ok);
    EXPECT_TRUE(o.error.contains("missing"));
}

TEST(Conver, ConversionsAskedForMeanwhileWaitTheirTurn)
{
    TempFolder folder;
    const auto wav = folder / "a.wav";
    writeTone(wav.string(), 11025, 1, 500, 1.0);
    Mp3Converter c(CONVER);
    std::vector<std::pair<int, bool>> done;
    QObject::connect(&c, &Mp3Converter::finished,
                     [&done](bool ok, const QString&, const QString&, const QString&, int tag) { done.push_back({tag, ok}); });
    const QString source = QString::fromStdString(wav.string());
    EXPECT_TRUE(c.start(source, QString::fromStdString((folder / "1.mp3").string()), 1));
    EXPECT_TRUE(c.start(source, QString::fromStdString((folder / "2.mp3").string()), 2));
    EXPECT_TRUE(c.start(QString::fromStdString((folder / "none.wav").string()),
                        QString::fromStdString((folder / "3.mp3").string()), 3));
    EXPECT_TRUE(c.waitForFinished(20000));
    ASSERT_EQ(done.size(), 3u);
    EXPECT_EQ(done[0], (std::pair<int, bool>{1, true}));
    EXPECT_EQ(done[1], (std::pair<int, bool>{2, true}));
    EXPECT_EQ(done[2], (std::pair<int, bool>{3, false}));
}

TEST(Conver, AConverterThatExitsZeroWithAnEmptyMp3HasFailed)
{
    TempFolder folder;
    const auto wav = folder / "take.wav";
    writeTone(wav.string(), 11025, 1, 500, 0.5);
    const auto script = folder / "conver";
    {
        std::ofstream out(script);
        out << "#!/bin/sh\n: > \"$2\"\nexit 0\n";
    }
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    const Outcome o = convert(QString::fromStdString(script.string()), QString::fromStdString(wav.string()),
                              QString::fromStdString((folder / "take.mp3").string()));
    ASSERT_TRUE(o.done);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.error, "The converter produced no MP3.");
    EXPECT_TRUE(std::filesystem::exists(wav));
}

namespace {

struct ConverRun {
    int status = -1; // exit status, or 128 + the signal that ended it
    std::string errors;
    std::string output;
};

// Runs conver on `source` and `target`; `fileSizeLimit` bytes when not 0, and `signal` sent
// after `afterMs` when not 0.
ConverRun conver(const TempFolder& folder, const std::string& source, const std::string& target,
           rlim_t fileSizeLimit = 0, int signal = 0, int afterMs = 0)
{
    const std::string errors = (folder / "errors.txt").string();
    const std::string output = (folder / "output.txt").string();
    const pid_t child = ::fork();
    if (child == 0) {
        const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, 1);
        ::dup2(err, 2);
        // A converter that hangs ends with SIGALRM (status 142) instead of hanging the test.
        ::alarm(60);
        if (fileSizeLimit) {
            rlimit limit{fileSizeLimit, fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execl(CONVER, CONVER, source.c_str(), target.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int raw = 0;
    bool over = false;
    if (signal) {
        // The signal comes once the MP3 has begun to be written (at least `afterMs` after the
        // start), so that it cuts a conversion short however fast the machine encodes.
        ::usleep(useconds_t(afterMs) * 1000);
        const std::string part = target + ".part";
        for (int i = 0; i < 10000; ++i) {
            if (::waitpid(child, &raw, WNOHANG) == child) {
                over = true;
                break;
            }
            std::error_code ec;
            if (std::filesystem::file_size(part, ec) > 0 && !ec)
                break;
            ::usleep(1000);
        }
        if (!over)
            ::kill(child, signal);
    }
    if (!over)
        ::waitpid(child, &raw, 0);
    ConverRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    r.errors = fileText(errors);
    r.output = fileText(output);
    return r;
}

} // namespace

TEST(Conver, RefusesToWriteOverItsSourceByAnyNameAndLeavesItUntouched)
{
    TempFolder folder;
    const auto wav = folder / "a.wav";
    writeTone(wav.string(), 11025, 1, 500, 0.5);
    const std::string before = fileText(wav);
    std::filesystem::create_symlink(wav, folder / "link.mp3");
    std::filesystem::create_hard_link(wav, folder / "hard.mp3");
    const std::string dir = folder.path().string();
    for (const std::string& target : {dir + "/a.wav", dir + "/./a.wav", dir + "//a.wav", dir + "/../"
                                          + folder.path().filename().string() + "/a.wav",
                                      dir + "/link.mp3", dir + "/hard.mp3"}) {
        const ConverRun r = conver(folder, wav.string(), target);
        EXPECT_EQ(r.status, 1) << target;
        EXPECT_EQ(std::count(r.errors.begin(), r.errors.end(), '\n'), 1) << r.errors;
        EXPECT_NE(r.errors.find("is the source itself"), std::string::npos) << r.errors;
        EXPECT_EQ(fileText(wav), before) << target;
    }
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.mp3"));
    // The temporary beside the target may not be the source either.
    std::filesystem::rename(wav, folder / "a.part");
    EXPECT_EQ(conver(folder, dir + "/a.part", dir + "/a").status, 1);
    EXPECT_EQ(fileText(folder / "a.part"), before);
}

TEST(Conver, RefusesATargetThatIsNoRegularFile)
{
    TempFolder folder;
    const auto wav = folder / "a.wav";
    writeTone(wav.string(), 11025, 1, 500, 0.5);
    ASSERT_EQ(::mkfifo((folder / "pipe.mp3").c_str(), 0600), 0);
    // Devices reached through links of our own: a converter that replaced them would replace
    // only the links, never the machine's devices.
    std::filesystem::create_symlink("/dev/full", folder / "full.mp3");
    std::filesystem::create_symlink("/dev/null", folder / "null.mp3");
    for (const std::string& target : {(folder / "full.mp3").string(), (folder / "null.mp3").string(),
                                     (folder / "pipe.mp3").string()}) {
        const ConverRun r = conver(folder, wav.string(), target);
        EXPECT_EQ(r.status, 1) << target;
        EXPECT_NE(r.errors.find("is not a regular file"), std::string::npos) << r.errors;
    }
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "full.mp3"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "null.mp3"));
    EXPECT_TRUE(std::filesystem::is_fifo(folder / "pipe.mp3"));
    EXPECT_FALSE(std::filesystem::exists(folder / "full.mp3.part"));
}

TEST(Conver, RefusesASourceThatIsNoRegularFileWithoutWaitingForIt)
{
    TempFolder folder;
    ASSERT_EQ(::mkfifo((folder / "pipe.wav").c_str(), 0600), 0);
    const std::string target = (folder / "out.mp3").string();
    for (const std::string& source : {(folder / "pipe.wav").string(), std::string("/dev/zero"), folder.path().string()}) {
        const ConverRun r = conver(folder, source, target);
        EXPECT_EQ(r.status, 1) << source << ": " << r.errors;
        EXPECT_EQ(std::count(r.errors.begin(), r.errors.end(), '\n'), 1) << r.errors;
        EXPECT_NE(r.errors.find("not a regular file"), std::string::npos) << r.errors;
        EXPECT_FALSE(std::filesystem::exists(target));
    }
    EXPECT_TRUE(std::filesystem::is_fifo(folder / "pipe.wav"));
}

TEST(Conver, LeavesAReadOnlyTargetAsItIs)
{
    TempFolder folder;
    const auto wav = folder / "a.wav";
    writeTone(wav.string(), 11025, 1, 500, 0.5);
    const auto kept = folder / "kept.mp3";
    std::ofstream(kept) << "an earlier MP3";
    std::filesystem::permissions(kept, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    const ConverRun r = conver(folder, wav.string(), kept.string());
    EXPECT_EQ(r.status, 1) << r.errors;
    EXPECT_EQ(std::count(r.errors.begin(), r.errors.end(), '\n'), 1) << r.errors;
    EXPECT_NE(r.errors.find("read-only"), std::string::npos) << r.errors;
    EXPECT_EQ(fileText(kept), "an earlier MP3");
    EXPECT_FALSE(std::filesystem::exists(kept.string() + ".part"));

    // Writable again, it is replaced, and only then is 100% reported.
    std::filesystem::permissions(kept, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    const ConverRun again = conver(folder, wav.string(), kept.string());
    EXPECT_EQ(again.status, 0) << again.errors;
    EXPECT_NE(fileText(kept), "an earlier MP3");
    EXPECT_TRUE(again.output.ends_with("100%\n")) << again.output;
}

TEST(Conver, AWriteThatFailsIsReportedNotCountedAsDone)
{
    TempFolder folder;
    const auto wav = folder / "long.wav";
    writeTone(wav.string(), 44100, 2, 500, 20.0);
    const std::string target = (folder / "long.mp3").string();
    // The file-size limit stands in for a full disk: the writes fail part-way.
    const ConverRun r = conver(folder, wav.string(), target, 64 * 1024);
    EXPECT_EQ(r.status, 1) << r.errors;
    EXPECT_EQ(r.output.find("100%"), std::string::npos) << r.output;
    EXPECT_NE(r.errors.find("cannot write"), std::string::npos) << r.errors;
    EXPECT_EQ(std::count(r.errors.begin(), r.errors.end(), '\n'), 1) << r.errors;
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST(Conver, AConversionCutShortLeavesNoTemporaryBehind)
{
    TempFolder folder;
    const auto wav = folder / "long.wav";
    writeTone(wav.string(), 44100, 2, 500, 60.0);
    const std::string target = (folder / "long.mp3").string();
    // Past the file-size limit.
    ConverRun r = conver(folder, wav.string(), target, 8 * 1024);
    EXPECT_EQ(r.status, 1) << r.errors;
    EXPECT_EQ(std::count(r.errors.begin(), r.errors.end(), '\n'), 1) << r.errors;
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_FALSE(std::filesystem::exists(target + ".part"));
    // Stopped by a signal half-way.
    std::filesystem::remove(target);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        r = conver(folder, wav.string(), target, 0, signal, 0);
        EXPECT_EQ(r.status, 128 + signal) << "the conversion was over before the signal came";
        EXPECT_FALSE(std::filesystem::exists(target)) << signal;
        EXPECT_FALSE(std::filesystem::exists(target + ".part")) << signal;
    }
    // A temporary a killed run left is replaced, and the next run succeeds.
    std::ofstream(target + ".part") << "torso";
    r = conver(folder, wav.string(), target);
    EXPECT_EQ(r.status, 0) << r.errors;
    EXPECT_FALSE(std::filesystem::exists(target + ".part"));
}

TEST(Mp3ConverterGuard, NeverStartsAConversionOntoItsOwnSource)
{
    TempFolder folder;
    const auto wav = folder / "x.mp3"; // a recording that was given the MP3's name
    writeTone(wav.string(), 11025, 1, 500, 0.5);
    const std::string before = fileText(wav);
    std::filesystem::create_symlink(wav, folder / "link.mp3");
    const QString source = QString::fromStdString(wav.string());
    for (const std::string& target : {wav.string(), (folder / "." / "x.mp3").string(), (folder / "link.mp3").string()}) {
        const Outcome o = convert(CONVER, source, QString::fromStdString(target));
        ASSERT_TRUE(o.done) << target;
        EXPECT_FALSE(o.ok) << target;
        EXPECT_EQ(o.error, "The MP3 would replace the recording itself.") << target;
        EXPECT_EQ(fileText(wav), before) << target;
    }
    EXPECT_TRUE(Mp3Converter::sameFile(source, QString::fromStdString((folder / "link.mp3").string())));
    EXPECT_FALSE(Mp3Converter::sameFile(source, QString::fromStdString((folder / "other.mp3").string())));
}
