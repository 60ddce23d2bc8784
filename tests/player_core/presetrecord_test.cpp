#include "player/presets/presetrecord.h"

#include "fakebinding.h"
#include "player/core/channelmodel.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace sonaveil;
using namespace sonaveil::player;

namespace {
PresetRecord sampleRecord()
{
    PresetRecord r;
    for (std::size_t i = 0; i < r.checks.size(); ++i)
        r.checks[i] = std::int16_t(i % 3 == 0);
    for (std::size_t i = 0; i < r.sliders.size(); ++i)
        r.sliders[i] = std::int32_t(i * 7) - 20;
    return r;
}
}

TEST(PresetRecord, TextIsOneLineOf137Integers)
{
    const std::string text = sampleRecord().toText();
    EXPECT_EQ(std::count(text.begin(), text.end(), ','), 136);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(text.find('\r'), text.size() - 2);
    EXPECT_EQ(text.rfind("1,0,0,1,", 0), 0u);
    EXPECT_NE(text.find(",-20,-13,"), std::string::npos);
    EXPECT_EQ(PresetRecord::parse(text), sampleRecord());
}

TEST(PresetRecord, LenientReadingOfSpreadAndPaddedFields)
{
    std::string spread;
    const std::string line = sampleRecord().toText();
    for (char c : line.substr(0, line.size() - 2))
        spread += c == ',' ? std::string(" ,\n  ") : std::string(1, c);
    EXPECT_EQ(PresetRecord::parse(spread + "\r\ntrailing junk"), sampleRecord());
}

TEST(PresetRecord, BadRecordsAreRefusedWhole)
{
    const std::string good = sampleRecord().toText();
    const std::string short136 = good.substr(0, good.rfind(','));
    EXPECT_FALSE(PresetRecord::parse(short136));
    EXPECT_FALSE(PresetRecord::parse(""));
    std::string bad = good;
    bad.replace(0, 1, "3"); // check state 3
    EXPECT_FALSE(PresetRecord::parse(bad));
    bad = good;
    bad.replace(0, 1, "x");
    EXPECT_FALSE(PresetRecord::parse(bad));
    // The last field must fit 16 bits; the others 32.
    EXPECT_FALSE(PresetRecord::parse(short136 + ",40000\r\n"));
    EXPECT_TRUE(PresetRecord::parse(short136 + ",-32768\r\n"));
    std::string wide = good;
    wide.replace(good.find(",-20,"), 5, ",2147483648,");
    EXPECT_FALSE(PresetRecord::parse(wide));
}

TEST(PresetRecord, SaveAndLoadGiveTheSameMixBack)
{
    FakeBinding a;
    ChannelModel m(a);
    m.loadSamples("/p");
    m.setCheck(3, CheckState::Checked);
    m.setCheck(28, CheckState::Checked);
    m.setSlider(80, 4000);  // pitch of sound 28
    m.setSlider(31, 77);    // the slider without a function
    m.setSlider(kMasterSlider, 64);
    const PresetRecord saved = PresetRecord::capture(m);
    EXPECT_EQ(saved.sliders[114 - 35], 4000); // field 115
    EXPECT_EQ(saved.sliders[65 - 35], 77);    // field 66

    FakeBinding b;
    ChannelModel other(b);
    other.loadSamples("/p");
    saved.applyTo(other);
    EXPECT_EQ(PresetRecord::capture(other), saved);
    const auto& ch = b.channels.at(other.entry(28).channel);
    EXPECT_EQ(ch.frequency, 40000);
    EXPECT_EQ(ch.volume, 64);
}

TEST(PresetRecord, LoadingKeepsASoundThatIsAlreadyOn)
{
    FakeBinding a;
    ChannelModel m(a);
    m.loadSamples("/p");
    m.setCheck(5, CheckState::Checked);
    const int playing = m.entry(5).channel;
    PresetRecord r = PresetRecord::capture(m);
    r.sliders[4] = 33;       // volume of sound 5
    r.sliders[14] = 5000;    // its pitch
    r.applyTo(m);
    EXPECT_EQ(m.entry(5).channel, playing);
    EXPECT_EQ(a.channels.at(playing).volume, 33);
    EXPECT_EQ(a.channels.at(playing).frequency, 50000);
}

TEST(StarterPresets, EveryShippedPresetIsAWholeMixWithinTheSliderRanges)
{
    const char* dist = std::getenv("SONAVEIL_DIST");
    ASSERT_TRUE(dist);
    int presets = 0;
    for (const auto& file : std::filesystem::directory_iterator(std::filesystem::path(dist) / "saves")) {
        if (file.path().extension() != ".svp")
            continue;
        ++presets;
        SCOPED_TRACE(file.path().string());
        std::ifstream in(file.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const auto record = PresetRecord::parse(text);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->toText(), text); // written exactly as the player writes
        const auto& order = catalogue::sliderRecordOrder();
        for (std::size_t i = 0; i < order.size(); ++i) {
            const SliderRange r = catalogue::sliderRange(order[i]);
            EXPECT_GE(record->sliders[i], r.minimum) << "ucSlider" << order[i];
            EXPECT_LE(record->sliders[i], r.maximum) << "ucSlider" << order[i];
        }
    }
    EXPECT_GE(presets, 1);
}
