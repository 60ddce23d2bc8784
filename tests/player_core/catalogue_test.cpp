#include "player/core/catalogue.h"

#include <gtest/gtest.h>
#include <set>

using namespace sonaveil::player;

TEST(Catalogue, EverySliderBelongsToExactlyOneSoundRole)
{
    std::set<int> seen;
    for (const SoundInfo& s : catalogue::sounds()) {
        for (int slider : {s.volumeSlider, s.pitchSlider, s.panSlider}) {
            if (slider == 0)
                continue;
            EXPECT_TRUE(catalogue::sliderExists(slider));
            EXPECT_TRUE(seen.insert(slider).second) << "ucSlider" << slider << " used twice";
            EXPECT_EQ(catalogue::sliderUse(slider).sound, s.number);
        }
    }
    // 35 volumes, 30 pitches, 35 pans; with the master and the hidden one that is all but 98.
    EXPECT_EQ(seen.size(), 100u);
    EXPECT_FALSE(seen.count(31) || seen.count(32) || seen.count(98));
    EXPECT_EQ(catalogue::sliderUse(32).role, SliderRole::Master);
    EXPECT_EQ(catalogue::sliderUse(31).role, SliderRole::None);
    EXPECT_FALSE(catalogue::sliderExists(98));
}

TEST(Catalogue, TellingEntriesAreAsShipped)
{
    EXPECT_EQ(catalogue::sound(2).caption, "Pink Noise ");
    EXPECT_EQ(catalogue::sound(22).caption, "Air Condiioner2");
    EXPECT_EQ(catalogue::sound(11).volumeSlider, 42);
    EXPECT_EQ(catalogue::sound(20).pitchSlider, 43);
    EXPECT_EQ(catalogue::sound(35).file, "bin/35.wav");
    EXPECT_EQ(catalogue::sound(30).file, "bin/30.isz");
    EXPECT_EQ(catalogue::sound(33).pitchSlider, 0);
    int disabled = 0;
    for (const SoundInfo& s : catalogue::sounds())
        disabled += s.pitchDisabled;
    EXPECT_EQ(disabled, 7); // sounds 6 to 12
    EXPECT_EQ(catalogue::soundsOnPage(1), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 11}));
    EXPECT_EQ(catalogue::soundsOnPage(2).front(), 20);
}

TEST(Catalogue, SliderRangesAndStartingPositions)
{
    struct Row {
        int slider, min, max, start;
    } rows[] = {
        {1, 0, 255, 100}, {33, 0, 255, 0}, {93, 0, 255, 100}, {11, 10, 7056, 4410},
        {51, 10, 7056, 4410}, {43, 10, 7056, 3300}, {73, 10, 7056, 3300}, {21, 0, 25, 12},
        {103, 0, 25, 12}, {32, 0, 100, 100}, {31, 0, 255, 100},
    };
    for (const Row& r : rows) {
        const SliderRange range = catalogue::sliderRange(r.slider);
        EXPECT_EQ(range.minimum, r.min) << r.slider;
        EXPECT_EQ(range.maximum, r.max) << r.slider;
        EXPECT_EQ(range.start, r.start) << r.slider;
    }
}

TEST(Catalogue, MasterUpdateOrderAndRecordOrder)
{
    const auto& m = catalogue::masterUpdateOrder();
    EXPECT_EQ(m[9], 10);
    EXPECT_EQ(m[10], 20);
    EXPECT_EQ(m[19], 11);
    EXPECT_EQ(m[20], 31);
    EXPECT_EQ(m[24], 35);
    EXPECT_EQ(m[25], 21);
    EXPECT_EQ(m[34], 30);
    const auto& r = catalogue::sliderRecordOrder();
    EXPECT_EQ(r[0], 1);
    EXPECT_EQ(r[96], 97);
    EXPECT_EQ(r[97], 99);
    EXPECT_EQ(r[101], 103);
}
