#include "player/presets/playeroptions.h"

#include "common/inifile.h"
#include "tempfolder.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace sonaveil;
using namespace sonaveil::player;
namespace fs = std::filesystem;

namespace {

std::string setting(const fs::path& folder, const char* key)
{
    return IniFile::readString(folder / "settings.ini", "Startup", key).value_or("(none)");
}

} // namespace

TEST(StartupFile, TextAndLenientReading)
{
    EXPECT_EQ((StartupFile{0, false, true}.toText()), "0,#FALSE#,#TRUE#\r\n");
    EXPECT_EQ((StartupFile{1, true, false}.toText()), "1,#TRUE#,#FALSE#\r\n");
    EXPECT_EQ(StartupFile::parse("1\r\n #TRUE# ,\"#FALSE#\""), (StartupFile{1, true, false}));
    EXPECT_EQ(StartupFile::parse("0,-1,0"), (StartupFile{0, true, false}));
    EXPECT_FALSE(StartupFile::parse("0,#TRUE#"));
    EXPECT_FALSE(StartupFile::parse("yes,#TRUE#,#FALSE#"));
}

TEST(PlayerOptions, ChoicesWriteSettingsAndTheAutostartEntry)
{
    TempFolder folder, home;
    platform::XdgAutostart autostart(QString::fromStdString((home / "none").string()),
                                     QString::fromStdString((home / "autostart").string()));
    PlayerOptions options(folder.path(), autostart, "/opt/sonaveil/quietdeck");

    options.chooseDisplay(PlayerOptions::SystemTray);
    EXPECT_EQ(setting(folder.path(), "Display"), "2");
    options.setLaunchAtLogOn(true);
    EXPECT_EQ(setting(folder.path(), "AutoLaunch"), "1");
    const fs::path entry = home / "autostart" / "Sonaveil.desktop";
    ASSERT_TRUE(fs::exists(entry));
    EXPECT_NE(fileText(entry).find("/opt/sonaveil/quietdeck"), std::string::npos);
    ASSERT_TRUE(options.writeStartupFile());
    EXPECT_EQ(fileText(folder / "startup.tmp"), "1,#FALSE#,#TRUE#\r\n");

    options.setLaunchAtLogOn(false);
    EXPECT_EQ(setting(folder.path(), "AutoLaunch"), "0");
    EXPECT_FALSE(fs::exists(entry));

    EXPECT_FALSE(options.resumeLastMix());
    options.setResumeLastMix(true);
    EXPECT_EQ(setting(folder.path(), "ResumeLastMix"), "1");
    PlayerOptions again(folder.path(), autostart, "/opt/sonaveil/quietdeck");
    again.readSettings();
    EXPECT_TRUE(again.resumeLastMix());
}

TEST(PlayerOptions, EndlessSoundsAreOnUnlessStoredOffAndTheSoundsFollow)
{
    TempFolder folder;
    platform::FakeAutostart autostart;
    EndlessSounds endless;
    endless.setEnabled(false);
    PlayerOptions options(folder.path(), autostart, "/p/quietdeck", &endless);
    EXPECT_TRUE(options.endlessSounds());
    EXPECT_TRUE(endless.enabled()) << "the sounds follow the option from the start";
    options.readSettings();
    EXPECT_TRUE(options.endlessSounds()) << "no settings.ini: on";

    // A settings.ini of a player that knew nothing of it reads the same: on.
    std::ofstream(folder / "settings.ini") << "[Startup]\r\nDisplay=0\r\nAutoLaunch=1\r\nResumeLastMix=1\r\n";
    options.readSettings();
    EXPECT_TRUE(options.endlessSounds());
    EXPECT_TRUE(options.resumeLastMix());

    options.setEndlessSounds(false);
    EXPECT_FALSE(endless.enabled());
    EXPECT_EQ(setting(folder.path(), "EndlessSounds"), "0");
    EXPECT_EQ(setting(folder.path(), "Display"), "0") << "the other keys stay";
    EndlessSounds next;
    PlayerOptions again(folder.path(), autostart, "/p/quietdeck", &next);
    again.readSettings();
    EXPECT_FALSE(again.endlessSounds());
    EXPECT_FALSE(next.enabled());
    again.setEndlessSounds(true);
    EXPECT_EQ(setting(folder.path(), "EndlessSounds"), "1");
    EXPECT_TRUE(next.enabled());

    // Anything but "0" is on.
    IniFile::writeString(folder / "settings.ini", "Startup", "EndlessSounds", "maybe");
    again.readSettings();
    EXPECT_TRUE(again.endlessSounds());
}

TEST(PlayerOptions, StartupFileAppliedAsTheWindowSetsItsControls)
{
    TempFolder folder;
    platform::FakeAutostart autostart;
    PlayerOptions options(folder.path(), autostart, "/p/quietdeck");
    options.applyStartupFile({0, false, false});
    EXPECT_EQ(options.display(), PlayerOptions::Taskbar);
    EXPECT_FALSE(fs::exists(folder / "settings.ini")); // nothing chosen, nothing written
    EXPECT_FALSE(autostart.isEnabled("Sonaveil"));
    options.applyStartupFile({1, false, true});
    EXPECT_EQ(options.display(), PlayerOptions::SystemTray);
    EXPECT_TRUE(autostart.isEnabled("Sonaveil"));
    EXPECT_EQ(autostart.path(), "/p/quietdeck");
    EXPECT_EQ(options.startupFile(), (StartupFile{1, false, true}));
}

TEST(PlayerOptions, SoundCardFile)
{
    TempFolder folder;
    platform::FakeAutostart autostart;
    PlayerOptions options(folder.path(), autostart, "/p/quietdeck");
    EXPECT_FALSE(options.readSoundCard());
    EXPECT_EQ(options.driver(), 0);
    options.setDriver(2);
    ASSERT_TRUE(options.writeSoundCard());
    EXPECT_EQ(fileText(folder / "scard2.tmp"), "2\r\n");
    std::ofstream(folder / "scard2.tmp") << "junk\r\n";
    PlayerOptions other(folder.path(), autostart, "/p/quietdeck");
    EXPECT_FALSE(other.readSoundCard());
    std::ofstream(folder / "scard2.tmp") << " 1 \n";
    EXPECT_TRUE(other.readSoundCard());
    EXPECT_EQ(other.driver(), 1);
    EXPECT_EQ(PlayerOptions::listOrder(3), (std::vector<int>{2, 1, 0}));
}
