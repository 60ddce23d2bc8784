#include "recorder/core/mp3converter.h"

#include "tempfolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <sndfile.h>

#include <gtest/gtest.h>

#include <cmath>
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
