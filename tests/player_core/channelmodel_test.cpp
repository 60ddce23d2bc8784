#include "player/core/channelmodel.h"

#include "fakebinding.h"

#include <gtest/gtest.h>

using namespace sonaveil;
using namespace sonaveil::player;

TEST(ChannelVolume, RoundsHalfToEven)
{
    EXPECT_EQ(ChannelModel::channelVolume(255, 100), 255);
    EXPECT_EQ(ChannelModel::channelVolume(255, 50), 127);
    EXPECT_EQ(ChannelModel::channelVolume(5, 50), 2);
    EXPECT_EQ(ChannelModel::channelVolume(7, 50), 4);
    EXPECT_EQ(ChannelModel::channelVolume(250, 1), 2);
    EXPECT_EQ(ChannelModel::channelVolume(200, 75), 150);
    EXPECT_EQ(ChannelModel::channelVolume(0, 100), 0);
}

class ChannelModelTest : public ::testing::Test {
protected:
    ChannelModelTest() { model.loadSamples("/prog"); }
    FakeBinding audio;
    ChannelModel model{audio};
};

TEST_F(ChannelModelTest, LoadsTheCatalogueFilesInOrder)
{
    ASSERT_EQ(audio.loaded.size(), 35u);
    EXPECT_EQ(audio.loaded[0], "/prog/bin/1.isz");
    EXPECT_EQ(audio.loaded[34], "/prog/bin/35.wav");
    EXPECT_EQ(model.entry(1).sample, 1);
    EXPECT_EQ(model.entry(1).channel, 0);
}

TEST_F(ChannelModelTest, SwitchingOnAppliesTheSlidersAndLoops)
{
    switchOnSoundOne(model);
    const auto& ch = audio.channels.at(model.entry(1).channel);
    EXPECT_EQ(ch.volume, 150);
    EXPECT_EQ(ch.frequency, 44100);
    EXPECT_EQ(ch.pan, 120);
    EXPECT_EQ(ch.loop, audio::kLoopNormal);
}

TEST_F(ChannelModelTest, ASoundWithoutPitchKeepsItsOwnRate)
{
    model.setSlider(95, 80);
    model.setSlider(101, 3);
    model.setCheck(33, CheckState::Checked);
    const auto& ch = audio.channels.at(model.entry(33).channel);
    EXPECT_EQ(ch.volume, 80);
    EXPECT_EQ(ch.pan, 30);
    EXPECT_EQ(ch.frequency, -1);
}

TEST_F(ChannelModelTest, MasterReappliesEveryVolumeAndReportsIt)
{
    int masterReports = 0;
    model.masterUpdated = [&] { ++masterReports; };
    for (int s : {1, 4, 12, 25, 33})
        model.setCheck(s, CheckState::Checked);
    model.setSlider(kMasterSlider, 50);
    EXPECT_EQ(masterReports, 1);
    for (int s : {1, 4, 12, 25, 33})
        EXPECT_EQ(audio.channels.at(model.entry(s).channel).volume, 50) << s;
}

TEST_F(ChannelModelTest, ChecksThatDoNotChangeDoNothing)
{
    model.setCheck(5, CheckState::Checked);
    const int first = model.entry(5).channel;
    audio.calls.clear();
    model.setCheck(5, CheckState::Checked);
    EXPECT_TRUE(audio.calls.empty());
    model.setCheck(5, CheckState::Unchecked);
    EXPECT_FALSE(audio.channels.at(first).playing);
    EXPECT_EQ(model.entry(5).channel, first); // kept after the stop
    model.setCheck(5, CheckState::Checked);
    EXPECT_NE(model.entry(5).channel, first);
    // A greyed box counts as off.
    model.setCheck(5, CheckState::Grayed);
    EXPECT_FALSE(audio.channels.at(model.entry(5).channel).playing);
}

TEST_F(ChannelModelTest, SlidersOfSilentSoundsReachOnlyDeadHandles)
{
    model.setCheck(2, CheckState::Checked);
    model.setCheck(2, CheckState::Unchecked);
    const auto before = audio.channels;
    model.setSlider(2, 30);
    model.setSlider(12, 5000);
    for (const auto& [handle, ch] : audio.channels)
        EXPECT_EQ(ch.volume, before.at(handle).volume);
}

TEST_F(ChannelModelTest, PositionsAreClampedToTheirRange)
{
    model.setSlider(1, 999);
    EXPECT_EQ(model.slider(1), 255);
    model.setSlider(11, -5);
    EXPECT_EQ(model.slider(11), 10);
    model.setSlider(kMasterSlider, 101);
    EXPECT_EQ(model.slider(kMasterSlider), 100);
    model.setSlider(98, 5); // no such slider
    EXPECT_EQ(model.slider(98), 0);
}

TEST_F(ChannelModelTest, AMissingSampleStaysSilentAndChecked)
{
    FakeBinding a;
    a.missing["/p/bin/7.isz"] = 1;
    ChannelModel m(a);
    m.loadSamples("/p");
    EXPECT_EQ(m.entry(7).sample, 0);
    m.setCheck(7, CheckState::Checked);
    EXPECT_EQ(m.check(7), CheckState::Checked);
    EXPECT_EQ(m.entry(7).channel, -1);
}
