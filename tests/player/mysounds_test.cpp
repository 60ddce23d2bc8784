// The My Sounds page as the user meets it: adding, playing, renaming and removing their own
// sounds, presets that keep them, and the minutes of notched listening in the tinnitus tools.
#include "playerfixture.h"

#include "controls/multibuttonwidget.h"
#include "player/app/desktopbridge.h"
#include "player/desktop/commandline.h"
#include "controls/ucsliderwidget.h"
#include "player/app/mainwindow.h"
#include "player/app/mysoundspage.h"
#include "player/app/notchchart.h"
#include "player/app/pitchmatchwindow.h"
#include "player/mysounds/companionfile.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QTest>

#include <gtest/gtest.h>
#include <sndfile.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <fstream>
#include <random>

using namespace sonaveil;
using namespace sonaveil::player;
namespace fs = std::filesystem;

namespace {

void writeNoise(const fs::path& path, int rate, int frames, int format)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << path;
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> u(-8000, 8000);
    std::vector<short> frames2(std::size_t(frames) * 2);
    for (auto& v : frames2)
        v = short(u(rng));
    sf_writef_short(f, frames2.data(), frames);
    sf_close(f);
}

// A long WAV of silence that costs no disk: a header, then a hole.
void writeLongSilence(const fs::path& path, std::uint32_t dataBytes)
{
    auto le = [](std::string& out, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            out += char((v >> (8 * i)) & 0xff);
    };
    std::string h = "RIFF";
    le(h, 36 + dataBytes, 4);
    h += "WAVEfmt ";
    le(h, 16, 4), le(h, 1, 2), le(h, 1, 2), le(h, 44100, 4), le(h, 88200, 4), le(h, 2, 2), le(h, 16, 2);
    h += "data";
    le(h, dataBytes, 4);
    {
        std::ofstream(path, std::ios::binary) << h;
    }
    fs::resize_file(path, h.size() + dataBytes);
}

bool holdsNoSound(const fs::path& folder)
{
    std::error_code ec;
    return !fs::exists(folder, ec) || fs::is_empty(folder, ec);
}

} // namespace

TEST(MySoundsPage, AddsPlaysRenamesAndRemovesTheUsersOwnSounds)
{
    PlayerFixture f;
    Player& p = f.start();
    MainWindow* w = p.mainWindow();
    click(w->button("pageButtonMySounds"));
    EXPECT_EQ(w->page(), MainWindow::kMySoundsPage);
    MySoundsPage* page = p.mySoundsPage();
    ASSERT_TRUE(page->isVisible());
    EXPECT_TRUE(page->footer()->isVisible());
    EXPECT_FALSE(w->button("chameleonButton14")->isVisible()) << "the built-in steps make way";

    writeNoise(f.home / "Our Fan.flac", 44100, 44100 * 2, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    f.dialogs.files.push_back(QString::fromStdString((f.home / "Our Fan.flac").string()));
    click(page->addFileButton());
    ASSERT_EQ(p.userSounds().count(), 1);
    EXPECT_TRUE(f.dialogs.messages.empty());
    EXPECT_TRUE(fs::exists(f.file("sounds/Our Fan.flac")));
    QCheckBox* check = page->check(0);
    ASSERT_TRUE(check->isVisible());
    EXPECT_EQ(check->text(), "Our Fan");
    EXPECT_EQ(page->volumeSlider(0)->accessibleName(), "Our Fan volume");
    EXPECT_EQ(page->panSlider(0)->accessibleName(), "Our Fan balance");

    click(check);
    EXPECT_TRUE(p.userSounds().at(0).on);
    EXPECT_TRUE(p.userVoices().anyOn());
    page->volumeSlider(0)->setValue(180);
    EXPECT_EQ(p.userSounds().at(0).volume, 180);
    // Stop all switches the user's sounds off too.
    click(w->button("stopAllButton"));
    EXPECT_FALSE(p.userSounds().at(0).on);
    EXPECT_FALSE(check->isChecked());

    // What cannot be added says why, and nothing changes.
    {
        std::ofstream(f.home / "notes.wav") << "not a sound";
    }
    f.dialogs.files.push_back(QString::fromStdString((f.home / "notes.wav").string()));
    click(page->addFileButton());
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_EQ(f.dialogs.messages[0], "Sonaveil|\"notes.wav\" is not a sound file the player can read, or it is damaged.");
    EXPECT_EQ(p.userSounds().count(), 1);

    // A folder of music.
    fs::create_directory(f.home / "Album");
    writeNoise(f.home / "Album" / "01.wav", 48000, 4800, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    f.dialogs.folders.push_back(QString::fromStdString((f.home / "Album").string()));
    click(page->addFolderButton());
    ASSERT_EQ(p.userSounds().count(), 2);
    EXPECT_EQ(page->check(1)->text(), "Album");

    // Up to twelve, then the message.
    for (int i = 2; i < UserSounds::kMaxSounds; ++i)
        EXPECT_EQ(p.addSound(QString::fromStdString((f.home / "Our Fan.flac").string())), "") << i;
    EXPECT_EQ(p.addSound(QString::fromStdString((f.home / "Our Fan.flac").string())),
              "You already have 12 sounds of your own. Remove one of them before you add another.");
    f.dialogs.messages.clear();
    click(page->addFileButton());
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_TRUE(f.dialogs.messages[0].contains("12 sounds")) << f.dialogs.messages[0].toStdString();

    // Rename and remove, from a row's menu.
    f.dialogs.inputs.push_back(QString("Fan & Rain"));
    page->renameSound(0);
    EXPECT_EQ(p.userSounds().at(0).name, "Fan & Rain");
    EXPECT_EQ(check->text(), "Fan && Rain");
    f.dialogs.answers.push_back(true);
    page->removeSound(0);
    EXPECT_EQ(p.userSounds().count(), UserSounds::kMaxSounds - 1);
    EXPECT_FALSE(fs::exists(f.file("sounds/Our Fan.flac")));
    EXPECT_EQ(page->check(0)->text(), "Album");
    EXPECT_FALSE(page->check(UserSounds::kMaxSounds - 1)->isVisible());

    // The list survives a restart.
    f.close();
    Player& again = f.start();
    EXPECT_EQ(again.userSounds().count(), UserSounds::kMaxSounds - 1);
    EXPECT_EQ(again.mySoundsPage()->check(0)->text(), "Album");

    again.mainWindow()->showPage(MainWindow::kMySoundsPage);
    again.mainWindow()->grab().save(pictureFolder() + "/my-sounds.png");
}

TEST(MySoundsPage, APresetKeepsTheUsersSoundsBesideItAndItsOwnBytesStayTheSame)
{
    PlayerFixture f;
    Player& p = f.start();
    writeNoise(f.home / "sea.wav", 22050, 22050, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    ASSERT_EQ(p.addSound(QString::fromStdString((f.home / "sea.wav").string())), "");
    p.model().setCheck(3, CheckState::Checked);
    const std::string plain = (f.folder / "saves" / "plain.svp").string();
    ASSERT_TRUE(p.presets().save(plain));
    EXPECT_FALSE(fs::exists(CompanionFile::pathFor(plain)));

    p.userVoices().setOn(0, true);
    p.userVoices().setVolume(0, 77);
    p.userVoices().setPitch(0, 5000);
    p.userVoices().setPan(0, 20);
    const std::string mine = (f.folder / "saves" / "mine.svp").string();
    ASSERT_TRUE(p.presets().save(mine));
    EXPECT_EQ(f.read("saves/mine.svp"), f.read("saves/plain.svp")) << "the preset file is untouched";
    EXPECT_TRUE(fs::exists(CompanionFile::pathFor(mine)));

    // Restart, load: the same sounds at the same settings.
    f.close();
    Player& again = f.start();
    EXPECT_FALSE(again.userSounds().at(0).on);
    ASSERT_TRUE(again.presets().load(mine));
    const UserSound& s = again.userSounds().at(0);
    EXPECT_TRUE(s.on);
    EXPECT_EQ(s.volume, 77);
    EXPECT_EQ(s.pitch, 5000);
    EXPECT_EQ(s.pan, 20);
    EXPECT_TRUE(again.mySoundsPage()->check(0)->isChecked());
    EXPECT_EQ(again.mySoundsPage()->volumeSlider(0)->value(), 77);
    EXPECT_TRUE(again.model().entry(3).on());
    // A preset without one: none of the user's sounds.
    ASSERT_TRUE(again.presets().load(plain));
    EXPECT_FALSE(again.userSounds().at(0).on);

    // The sound removed since: everything else loads, and one message names it.
    again.userSounds().remove(0);
    again.mySoundsPage()->refresh();
    f.dialogs.notices.clear();
    ASSERT_TRUE(again.presets().load(mine));
    EXPECT_TRUE(again.model().entry(3).on());
    ASSERT_EQ(f.dialogs.notices.size(), 1u);
    EXPECT_TRUE(f.dialogs.notices[0].contains("\"sea\"")) << f.dialogs.notices[0].toStdString();
}

TEST(MySoundsPage, NotchedListeningIsCountedAndChartedInTheTinnitusTools)
{
    PlayerFixture f;
    Player& p = f.start();
    NotchChart* chart = p.notchChart();
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->minutes().size(), std::size_t(NotchMinutes::kDaysShown));
    EXPECT_EQ(chart->minutes().back(), 0);

    // Nothing plays: nothing counts, notch or not.
    ASSERT_TRUE(p.bandStop().setOn(true));
    p.watchUserSounds(120);
    EXPECT_EQ(chart->minutes().back(), 0);
    p.model().setCheck(2, CheckState::Checked);
    p.watchUserSounds(120);
    EXPECT_EQ(chart->minutes().back(), 2);
    ASSERT_TRUE(p.bandStop().setOn(false));
    p.watchUserSounds(600);
    EXPECT_EQ(chart->minutes().back(), 2);
    EXPECT_EQ(chart->summary(), "Today: 2 min · the 14 days before: 0 min");
    EXPECT_EQ(chart->accessibleDescription(), chart->summary());

    // Kept in the data folder across a restart.
    f.close();
    Player& again = f.start();
    EXPECT_EQ(again.notchChart()->minutes().back(), 2);
    again.pitchMatchWindow()->show();
    again.pitchMatchWindow()->grab().save(pictureFolder() + "/pitch-match-notch-minutes.png");
}

TEST(MySoundsPage, TheCommandLineAddsASoundAndTheMediaControlsNameTheTrack)
{
    std::string error;
    const auto line = CommandLine::parse({"--add-sound", "/music/a b.flac", "--add-sound=/music/Album"}, error);
    ASSERT_TRUE(line) << error;
    EXPECT_EQ(line->steps, (std::vector<CommandLine::Step>{{CommandLine::Action::AddSound, "/music/a b.flac"},
                                                           {CommandLine::Action::AddSound, "/music/Album"}}));
    std::string again;
    EXPECT_EQ(CommandLine::parse(line->arguments(), again)->arguments(), line->arguments());
    EXPECT_FALSE(CommandLine::parse({"--add-sound"}, error));

    PlayerFixture f;
    Player& p = f.start(true);
    DesktopBridge bridge(p);
    auto send = [&](std::vector<std::string> arguments) {
        std::optional<InstanceReply> reply;
        bridge.receive(arguments, [&](const InstanceReply& r) { reply = r; });
        return reply.value_or(InstanceReply{-1, {}});
    };
    fs::create_directory(f.home / "Album");
    writeNoise(f.home / "Album" / "First Song.wav", 44100, 44100 * 20, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(send({"--add-sound", (f.home / "Album").string()}).code, 0);
    ASSERT_EQ(p.userSounds().count(), 1);
    const InstanceReply bad = send({"--add-sound", (f.home / "nothing.wav").string()});
    EXPECT_EQ(bad.code, 2);
    EXPECT_NE(bad.message.find("cannot be found"), std::string::npos) << bad.message;

    EXPECT_EQ(bridge.status(), MediaControl::Status::Stopped);
    p.userVoices().setOn(0, true);
    EXPECT_EQ(bridge.status(), MediaControl::Status::Playing);
    // The track is known once the voice has read its first frames.
    EXPECT_TRUE(QTest::qWaitFor([&] { return bridge.title() == "First Song"; }, 10000))
        << bridge.title().toStdString();

    // Stop, then play: the user's sound comes back with its settings, beside the built-in ones.
    p.userVoices().setVolume(0, 77);
    p.model().setCheck(3, CheckState::Checked);
    bridge.stop();
    EXPECT_EQ(bridge.status(), MediaControl::Status::Stopped);
    EXPECT_FALSE(p.userSounds().at(0).on);
    p.userVoices().setVolume(0, 200);
    bridge.play();
    EXPECT_EQ(bridge.status(), MediaControl::Status::Playing);
    EXPECT_TRUE(p.userSounds().at(0).on);
    EXPECT_EQ(p.userSounds().at(0).volume, 77);
    EXPECT_TRUE(p.model().entry(3).on());
    EXPECT_TRUE(p.mySoundsPage()->check(0)->isChecked());
}

TEST(MySoundsPage, ALongAddShowsProgressAndCanBeCancelledOrFailWithNothingKept)
{
    PlayerFixture f;
    Player& p = f.start();
    MySoundsPage* page = p.mySoundsPage();
    page->setProgressDelay(0);
    const fs::path big = f.home / "Whole Night.wav";
    writeLongSilence(big, 400u << 20);

    // Cancel, pressed in the progress dialog while the copy runs: the window's events keep
    // flowing meanwhile, or the press could not happen.
    QPointer<QProgressDialog> seen;
    QTimer presser;
    presser.setInterval(5);
    QObject::connect(&presser, &QTimer::timeout, [&] {
        auto* dialog = p.mainWindow()->findChild<QProgressDialog*>("addSoundProgress");
        if (!dialog || !dialog->isVisible() || seen)
            return;
        seen = dialog;
        dialog->grab().save(pictureFolder() + "/add-sound-progress.png");
        auto* cancel = dialog->findChild<QPushButton*>();
        ASSERT_NE(cancel, nullptr);
        QTest::mouseClick(cancel, Qt::LeftButton);
    });
    presser.start();
    const auto cancelled = page->addPath(QString::fromStdString(big.string()));
    presser.stop();
    EXPECT_TRUE(seen) << "no progress was shown";
    EXPECT_EQ(cancelled.result, UserSounds::Result::Cancelled);
    EXPECT_EQ(p.userSounds().count(), 0);
    EXPECT_TRUE(holdsNoSound(f.folder / "sounds"));
    EXPECT_FALSE(page->adding());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !p.mainWindow()->findChild<QProgressDialog*>("addSoundProgress"); }, 10000));

    // The disk fills part way: the message says so, and no part of the copy stays.
    writeNoise(f.home / "Fan.wav", 44100, 44100 * 10, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 256 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    f.dialogs.files.push_back(QString::fromStdString((f.home / "Fan.wav").string()));
    // The message stands alone: the progress dialog is gone, and its timer does not bring it
    // back while the message waits for the user.
    bool progressWithMessage = false;
    f.dialogs.whileInformationShows = [&] {
        QCoreApplication::processEvents();
        const auto* dialog = p.mainWindow()->findChild<QProgressDialog*>("addSoundProgress");
        progressWithMessage = dialog && dialog->isVisible();
    };
    click(page->addFileButton());
    f.dialogs.whileInformationShows = nullptr;
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(progressWithMessage);
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_TRUE(f.dialogs.messages[0].contains("There is not enough free space")) << f.dialogs.messages[0].toStdString();
    EXPECT_EQ(p.userSounds().count(), 0);
    EXPECT_TRUE(holdsNoSound(f.folder / "sounds"));

    // And then it goes in, through the same worker.
    f.dialogs.messages.clear();
    f.dialogs.files.push_back(QString::fromStdString((f.home / "Fan.wav").string()));
    click(page->addFileButton());
    EXPECT_TRUE(f.dialogs.messages.empty());
    ASSERT_EQ(p.userSounds().count(), 1);
    EXPECT_FALSE(page->check(0)->isHidden());
}
