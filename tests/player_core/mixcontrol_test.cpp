#include "player/core/mixcontrol.h"

#include "fakebinding.h"

#include <gtest/gtest.h>

using namespace sonaveil;
using namespace sonaveil::player;

class MixControlTest : public ::testing::Test {
protected:
    MixControlTest()
    {
        model.loadSamples("/prog");
        mix.muteMarkChanged = [this](bool on) { marks.push_back(on); };
    }
    int volumeOf(int sound) { return audio.channels.at(model.entry(sound).channel).volume; }
    FakeBinding audio;
    ChannelModel model{audio};
    MixControl mix{model};
    std::vector<bool> marks;
};

TEST_F(MixControlTest, MuteRemembersTheMasterAndAMoveEndsIt)
{
    model.setCheck(2, CheckState::Checked);
    model.setSlider(kMasterSlider, 60);
    mix.toggleMute();
    EXPECT_EQ(model.slider(kMasterSlider), 0);
    EXPECT_EQ(volumeOf(2), 0);
    EXPECT_TRUE(mix.muteMark());
    mix.toggleMute();
    EXPECT_EQ(model.slider(kMasterSlider), 60);
    EXPECT_EQ(volumeOf(2), 60);
    EXPECT_FALSE(mix.muteMark());

    mix.toggleMute();
    model.setSlider(kMasterSlider, 30); // by hand while muted
    EXPECT_FALSE(mix.muteMark());
    EXPECT_EQ(mix.savedMaster(), 60);
    EXPECT_EQ(marks, (std::vector<bool>{true, false, true, false}));
}

TEST(MixControlFresh, MuteWithTheMasterAtZeroAndNoEarlierMuteLeavesIt)
{
    FakeBinding audio;
    ChannelModel model{audio};
    MixControl mix{model};
    model.setSlider(kMasterSlider, 0);
    mix.toggleMute();
    EXPECT_EQ(model.slider(kMasterSlider), 0);
    EXPECT_FALSE(mix.muteMark());
}

TEST_F(MixControlTest, StepsActOnThePageGivenAndClampToTheRanges)
{
    model.setSlider(catalogue::sound(21).volumeSlider, 250);
    mix.stepVolumes(3, MixControl::Step::Up);
    EXPECT_EQ(model.slider(catalogue::sound(21).volumeSlider), 255);
    EXPECT_EQ(model.slider(catalogue::sound(22).volumeSlider), 115);
    EXPECT_EQ(model.slider(catalogue::sound(1).volumeSlider), 100); // page 1 untouched

    mix.stepPitches(1, MixControl::Step::ToMinimum);
    EXPECT_EQ(model.slider(11), catalogue::sliderRange(11).minimum);
    EXPECT_EQ(model.slider(catalogue::sound(12).pitchSlider), catalogue::sliderRange(51).minimum);
    mix.stepPitches(1, MixControl::Step::ToMaximum);
    EXPECT_EQ(model.slider(catalogue::sound(11).pitchSlider), 7056);
    mix.stepPitches(4, MixControl::Step::Up); // page 4 has no pitch sliders: nothing happens

    model.setSlider(catalogue::sound(33).panSlider, 25);
    mix.centrePans(4);
    EXPECT_EQ(model.slider(catalogue::sound(33).panSlider), 12);
}

TEST_F(MixControlTest, TheModelReportsEveryCheckChangeAfterSwitching)
{
    std::vector<std::pair<int, bool>> seen;
    model.checkChanged = [&](int sound) { seen.emplace_back(sound, audio.live(model.entry(sound).channel) != nullptr); };
    model.setCheck(4, CheckState::Checked);
    model.setCheck(4, CheckState::Checked); // no change, nothing reported
    model.setCheck(4, CheckState::Grayed);
    model.setCheck(4, CheckState::Unchecked);
    EXPECT_EQ(seen, (std::vector<std::pair<int, bool>>{{4, true}, {4, false}, {4, false}}));
}

TEST_F(MixControlTest, StopAllSilencesEverySoundAndStopPageOnlyItsOwn)
{
    for (int s = 1; s <= kSoundCount; ++s) {
        model.setCheck(s, CheckState::Checked);
        ASSERT_NE(audio.live(model.entry(s).channel), nullptr) << s;
    }
    mix.stopPage(4);
    for (int s = 1; s <= kSoundCount; ++s) {
        const bool onPage4 = s >= 31;
        EXPECT_EQ(model.entry(s).on(), !onPage4) << s;
        EXPECT_EQ(audio.live(model.entry(s).channel) != nullptr, !onPage4) << s;
    }
    for (int s = 31; s <= kSoundCount; ++s)
        model.setCheck(s, CheckState::Checked);
    mix.stopAll();
    for (int s = 1; s <= kSoundCount; ++s) {
        EXPECT_EQ(model.check(s), CheckState::Unchecked) << s;
        EXPECT_EQ(audio.live(model.entry(s).channel), nullptr) << s;
    }
}
