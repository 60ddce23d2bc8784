#include "player/tinnitus/bandstop.h"
#include "player/tinnitus/statuslines.h"
#include "player/tinnitus/tinnitusstore.h"

#include "common/atomicfile.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <vector>

using namespace sonaveil;
using namespace sonaveil::player;
namespace fs = std::filesystem;

namespace {

struct FakeNotch : NotchOutput {
    void setNotch(bool on, double hz, double width) override { calls.push_back({on, hz, width}); }
    struct Call {
        bool on;
        double hz, width;
    };
    std::vector<Call> calls;
};

} // namespace

TEST(TinnitusStore, HoldsWhatTheFileWouldGiveAndWritesASectionAtATime)
{
    TempFolder dir;
    TinnitusStore store(dir.path());
    store.load();
    EXPECT_EQ(store.settings().frequencyHz, TinnitusSettings::kDefaultHz) << "no file: the defaults";
    EXPECT_FALSE(store.settings().notchEnabled);

    ASSERT_TRUE(store.setMatch(4237.6, MatchKind::Band));
    EXPECT_EQ(store.settings().frequencyHz, 4238.0) << "whole hertz, as the file keeps it";
    ASSERT_TRUE(store.setNotchEnabled(true));
    ASSERT_TRUE(store.setAlarmFadeMinutes(15));
    EXPECT_EQ(readWholeFile(store.file().string()), "[Match]\r\nFrequency=4238\r\nKind=band\r\n"
                                                    "[Notch]\r\nEnabled=1\r\nWidth=1.0\r\n"
                                                    "[Sleep]\r\nAlarmFade=15\r\n");
    TinnitusStore again(dir.path());
    again.load();
    EXPECT_EQ(again.settings().frequencyHz, 4238.0);
    EXPECT_EQ(again.settings().kind, MatchKind::Band);
    EXPECT_TRUE(again.settings().notchEnabled);
    EXPECT_EQ(again.settings().alarmFadeMinutes, 15);

    // A file that cannot be written: the match stays as it was, the switches follow the user.
    fs::remove(store.file());
    fs::create_directory(store.file());
    std::string error;
    EXPECT_FALSE(store.setMatch(2000, MatchKind::Tone, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(store.settings().frequencyHz, 4238.0);
    EXPECT_FALSE(store.setNotchEnabled(false));
    EXPECT_FALSE(store.settings().notchEnabled);
}

TEST(BandStop, FollowsTheStoreAndMarksTheLines)
{
    TempFolder dir;
    writeFileAtomically((dir / TinnitusSettings::kFileName).string(),
                        "[Match]\r\nFrequency=6000\r\n[Notch]\r\nEnabled=0\r\nWidth=0.5\r\n");
    TinnitusStore store(dir.path());
    store.load();
    FakeNotch output;
    BandStop notch(output, store);
    Night night;
    StatusLines lines(night, notch);
    std::map<int, std::string> shown;
    lines.show = [&](int line, const std::string& text) { shown[line] = text; };
    int changed = 0;
    notch.changed = [&] { ++changed; };
    notch.lineChanged = [&] { lines.refresh(); };

    notch.apply();
    ASSERT_EQ(output.calls.size(), 1u);
    EXPECT_FALSE(output.calls[0].on);
    EXPECT_EQ(output.calls[0].hz, 6000.0);
    EXPECT_EQ(output.calls[0].width, 0.5);
    lines.set(3, "EQL:Flat");
    lines.set(4, "Current:None");
    EXPECT_EQ(shown[3], "EQL:Flat");

    EXPECT_TRUE(notch.setOn(true));
    EXPECT_TRUE(notch.on());
    EXPECT_TRUE(output.calls.back().on);
    EXPECT_EQ(changed, 2);
    EXPECT_EQ(shown[3], "EQL:Flat N6.0k") << "the mark comes at once";
    EXPECT_EQ(shown[4], "Current:None");
    EXPECT_EQ(TinnitusSettings::read(store.file()).notchEnabled, true);
    lines.set(3, "EQL:A preset with a long name");
    EXPECT_EQ(shown[3].size(), 25u) << "shortened to keep the mark on the display";
    EXPECT_EQ(shown[3].substr(19), " N6.0k");

    night.sleepIn(30);
    lines.set(1, "Time:22:00:00");
    EXPECT_EQ(shown[1].substr(0, 15), "Time:22:00:00 S");
    night.cancelSleep();
    lines.refresh();
    EXPECT_EQ(shown[1], "Time:22:00:00");
}
