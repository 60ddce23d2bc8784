#include "player/presets/presetrecord.h"

#include "fakebinding.h"
#include "player/core/channelmodel.h"

#include <algorithm>
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

TEST(PresetRecord, EveryCheckAndSliderSurvivesSaveAndLoad)
{
    FakeBinding a;
    ChannelModel m(a);
    m.loadSamples("/p");
    // Every slider away from its start, every sound in a state of its own, first and last too.
    for (int slider : catalogue::sliderRecordOrder()) {
        const SliderRange r = catalogue::sliderRange(slider);
        m.setSlider(slider, r.start == r.maximum ? r.minimum + slider % 7 : r.maximum - slider % 7);
    }
    for (int s = 1; s <= kSoundCount; ++s)
        m.setCheck(s, CheckState(s % 3 == 1 ? 0 : s % 3 == 2 ? 1 : 2));
    const auto saved = PresetRecord::parse(PresetRecord::capture(m).toText());
    ASSERT_TRUE(saved);

    FakeBinding b;
    ChannelModel other(b);
    other.loadSamples("/p");
    saved->applyTo(other);
    for (int s = 1; s <= kSoundCount; ++s)
        EXPECT_EQ(other.check(s), m.check(s)) << "sound " << s;
    for (int slider : catalogue::sliderRecordOrder())
        EXPECT_EQ(other.slider(slider), m.slider(slider)) << "ucSlider" << slider;
    const auto* last = b.live(other.entry(35).channel);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->pan, m.slider(103) * 10);
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

TEST(PresetRecord, AGreyedCheckIsAcceptedAndRestoredGreyed)
{
    FakeBinding a;
    ChannelModel m(a);
    m.loadSamples("/p");
    PresetRecord r = PresetRecord::capture(m);
    r.checks[6] = 1; // sound 7 on in the file …
    r.checks[7] = 2; // … sound 8 greyed
    const std::string text = r.toText();
    const auto parsed = PresetRecord::parse(text);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->checks[7], 2);

    m.setCheck(8, CheckState::Checked); // playing before the load
    const int was = m.entry(8).channel;
    parsed->applyTo(m);
    EXPECT_EQ(m.check(8), CheckState::Grayed);
    EXPECT_EQ(a.live(was), nullptr); // greyed counts as off
    EXPECT_EQ(m.check(7), CheckState::Checked);
    EXPECT_EQ(PresetRecord::capture(m).toText(), text); // and is saved as 2 again
}

TEST(PresetRecord, LoadingTheMixThatPlaysStillSendsEverySliderToTheEngine)
{
    FakeBinding a;
    ChannelModel m(a);
    m.loadSamples("/p");
    for (int s = 1; s <= kSoundCount; ++s)
        m.setCheck(s, CheckState::Checked);
    const PresetRecord same = PresetRecord::capture(m);
    a.calls.clear();
    same.applyTo(m);
    auto sent = [&](const std::string& call, int sound) {
        const std::string wanted = call + " " + std::to_string(m.entry(sound).channel);
        return std::count(a.calls.begin(), a.calls.end(), wanted);
    };
    for (int s = 1; s <= kSoundCount; ++s) {
        // Its own volume slider's update and the master's.
        EXPECT_GE(sent("volume", s), 2) << s;
        EXPECT_EQ(sent("frequency", s), s <= 30 ? 1 : 0) << s;
        EXPECT_EQ(sent("pan", s), 1) << s;
    }
    EXPECT_EQ(std::count(a.calls.begin(), a.calls.end(), "play"), 0);
    EXPECT_EQ(std::count(a.calls.begin(), a.calls.end(), "stop"), 0);
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
