#include "recorderfixture.h"

#include "recorder/core/mp3converter.h"

#include "controls/scombobox.h"
#include "tonemeter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sndfile.h>

using namespace sonaveil;

namespace {

// The first channel of a sound file as float samples, and its rate.
std::vector<float> decodeLeft(const QString& path, int* rate)
{
    SF_INFO info{};
    SNDFILE* f = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
    if (!f)
        return {};
    std::vector<float> all(std::size_t(info.frames) * std::size_t(info.channels));
    sf_readf_float(f, all.data(), info.frames);
    sf_close(f);
    *rate = info.samplerate;
    std::vector<float> left;
    for (std::size_t i = 0; i < all.size(); i += std::size_t(info.channels))
        left.push_back(all[i]);
    return left;
}

void writeScript(const QString& path, const QByteArray& body)
{
    QFile::remove(path);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("#!/bin/sh\n" + body);
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

TEST_F(RecorderTest, MP3OutputConvertsAfterTheStopAndRemovesTheWavOnlyThen)
{
    const QString take = file("saved recordings/my take.wav");
    dialogs.saveAnswers = {take};
    window->on_cmdrecord_Click();
    runFor(1500);
    window->on_cmdstop_Click();
    EXPECT_TRUE(window->converter()->running());
    EXPECT_TRUE(QFile::exists(take)); // not before the converter is done
    ASSERT_TRUE(runUntil([this] { return !window->converter()->running(); }, 20000));
    runFor(50);
    const QString mp3 = file("saved recordings/my take.mp3");
    EXPECT_TRUE(QFileInfo(mp3).size() > 0);
    EXPECT_FALSE(QFile::exists(take));
    EXPECT_TRUE(dialogs.messages.empty());
    int rate = 0;
    const auto samples = decodeLeft(mp3, &rate);
    ASSERT_GT(samples.size(), std::size_t(rate));
    std::vector<float> tail(samples.begin() + rate / 5, samples.end());
    EXPECT_NEAR(measureTone(tail, rate).peakHz, ToneServer::kToneHz, 5.0);
}

TEST_F(RecorderTest, AFailedAutomaticConversionKeepsTheWavAndSaysSo)
{
    writeScript(file("conver"), "echo 'conver: no encoder here' >&2\nexit 3\n");
    const QString take = file("saved recordings/kept.wav");
    dialogs.saveAnswers = {take};
    window->on_cmdrecord_Click();
    runFor(700);
    window->on_cmdstop_Click();
    ASSERT_TRUE(runUntil([this] { return !dialogs.messages.empty(); }, 5000));
    EXPECT_TRUE(QFile::exists(take));
    EXPECT_EQ(dialogs.messages[0].text,
              "The recording could not be converted to MP3: no encoder here\r\nThe WAV file was kept: " + take);

    // A converter that claims success without an MP3 is a failure too.
    writeScript(file("conver"), "exit 0\n");
    dialogs.messages.clear();
    dialogs.saveAnswers = {file("saved recordings/kept2.wav")};
    window->on_cmdrecord_Click();
    runFor(700);
    window->on_cmdstop_Click();
    ASSERT_TRUE(runUntil([this] { return !dialogs.messages.empty(); }, 5000));
    EXPECT_TRUE(QFile::exists(file("saved recordings/kept2.wav")));
}

TEST_F(RecorderTest, ManualConversionAsksAndReportsOnlyASuccess)
{
    // A recording to convert.
    child<controls::SComboBox>("SComboBox1")->setText("Wav");
    const QString wav = file("saved recordings/for mp3.wav");
    dialogs.saveAnswers = {wav};
    window->on_cmdrecord_Click();
    runFor(800);
    window->on_cmdstop_Click();

    const QString target = file("My Music/out put.mp3");
    QDir().mkpath(file("My Music"));
    {
        QFile existing(target);
        existing.open(QIODevice::WriteOnly);
        existing.write("old");
    }
    dialogs.openAnswers = {file("nope.wav"), wav};
    dialogs.saveAnswers = {target, target};
    dialogs.questionAnswers = {false, true, true}; // No to overwrite, then Yes, then Yes to view
    window->on_command3_Click();
    ASSERT_EQ(dialogs.openRequests.size(), 2u);
    EXPECT_EQ(dialogs.openRequests[0].title, "Please choose a wav file to convert.");
    EXPECT_EQ(dialogs.openRequests[0].filter, "Wav Files (*.wav)|*.wav|Wav Files (*.*)|*.*");
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

    // A failing conversion: a message, no question.
    writeScript(file("conver"), "echo 'conver: cannot write' >&2\nexit 1\n");
    dialogs.openAnswers = {wav};
    dialogs.saveAnswers = {file("My Music/second.mp3")};
    dialogs.messages.clear();
    window->on_command3_Click();
    ASSERT_TRUE(runUntil([this] { return !dialogs.messages.empty(); }, 5000));
    EXPECT_EQ(dialogs.messages[0].text, "The Mp3 could not be created: cannot write");
    EXPECT_EQ(dialogs.questions.size(), 3u);
}
