#include "player/equaliser/equaliser.h"

#include "common/atomicfile.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

using namespace sonaveil;
using namespace sonaveil::player;
namespace fs = std::filesystem;

namespace {

// Records the chain as the engine would hold it.
class FakeOutput : public EqualiserOutput {
public:
    struct Band {
        float hz = 0, semitones = 0, db = 0;
    };
    void setPaused(bool paused) override { calls.push_back(paused ? "pause" : "resume"); }
    void fxDisable() override
    {
        calls.push_back("disable");
        chain.clear();
    }
    audio::FxHandle fxEnable() override
    {
        calls.push_back("enable");
        chain.push_back(++next);
        bands[next] = {};
        return next;
    }
    void fxSetParamEq(audio::FxHandle fx, float hz, float semitones, float db) override
    {
        if (std::find(chain.begin(), chain.end(), fx) != chain.end())
            bands[fx] = {hz, semitones, db};
    }
    // Gains of the live chain in chain order.
    std::vector<float> gains() const
    {
        std::vector<float> g;
        for (auto fx : chain)
            g.push_back(bands.at(fx).db);
        return g;
    }

    std::vector<std::string> calls;
    std::vector<audio::FxHandle> chain;
    std::map<audio::FxHandle, Band> bands;
    audio::FxHandle next = 0;
};

class EqualiserTest : public ::testing::Test {
protected:
    EqualiserTest()
    {
        fs::create_directory(folder / "presets");
        eq.display = [this](int line, const std::string& text) { lines[line] = text; };
    }
    void preset(const std::string& name, const std::string& bytes)
    {
        std::ofstream(folder / "presets" / (name + ".eqf"), std::ios::binary) << bytes;
    }

    TempFolder folder;
    FakeOutput out;
    Equaliser eq{out, folder.path().string()};
    std::map<int, std::string> lines;
};

} // namespace

TEST_F(EqualiserTest, FirstStartIsOffAndFlat)
{
    eq.load();
    EXPECT_FALSE(eq.on());
    EXPECT_EQ(eq.text(), "Flat");
    for (int b = 0; b < 10; ++b)
        EXPECT_EQ(eq.position(b), 15);
    EXPECT_EQ(lines[3], "EQL:Off");
    EXPECT_EQ(out.calls, (std::vector<std::string>{"pause", "disable", "resume"}));
    EXPECT_TRUE(out.chain.empty());
}

TEST_F(EqualiserTest, StateFileByteForByteInNaturalOrder)
{
    eq.load();
    eq.setOn(true);
    ASSERT_TRUE(eq.unload());
    EXPECT_EQ(*readWholeFile(folder / "effects.tmp"), "#TRUE#,\"Flat\",15,15,15,15,15,15,15,15,15,15\r\n");

    for (int b = 0; b < 10; ++b)
        eq.setPosition(b, b * 3);
    eq.setOn(false);
    ASSERT_TRUE(eq.unload());
    EXPECT_EQ(*readWholeFile(folder / "effects.tmp"), "#FALSE#,\"Flat\",0,3,6,9,12,15,18,21,24,27\r\n");

    std::ofstream(folder / "effects.tmp", std::ios::binary) << "#TRUE#,\"Night, soft\",1,2,3,4,5,6,7,8,9,30\r\n";
    Equaliser again(out, folder.path().string());
    again.display = eq.display;
    again.load();
    EXPECT_TRUE(again.on());
    EXPECT_EQ(again.text(), "Night, soft");
    EXPECT_EQ(again.position(0), 1);
    EXPECT_EQ(again.position(9), 30);
    EXPECT_EQ(lines[3], "EQL:Night, soft");
    ASSERT_EQ(out.gains().size(), 10u);
    EXPECT_EQ(out.gains()[0], -14.0f);
    EXPECT_EQ(out.gains()[9], 15.0f);
    EXPECT_EQ(out.bands.at(out.chain[4]).hz, 1000.0f);
    EXPECT_EQ(out.bands.at(out.chain[4]).semitones, 18.0f);
}

TEST_F(EqualiserTest, DamagedStateFileKeepsDefaultsFromWhereItFails)
{
    std::ofstream(folder / "effects.tmp", std::ios::binary) << "#TRUE#,\"Warm\",20,21,oops,1,1,1,1,1,1,1\r\n";
    eq.load();
    EXPECT_TRUE(eq.on());
    EXPECT_EQ(eq.text(), "Warm");
    EXPECT_EQ(eq.position(0), 20);
    EXPECT_EQ(eq.position(1), 21);
    EXPECT_EQ(eq.position(2), 15);
    EXPECT_EQ(eq.position(3), 15);

    Equaliser other(out, folder.path().string());
    std::ofstream(folder / "effects.tmp", std::ios::binary) << "maybe";
    other.load();
    EXPECT_FALSE(other.on());
    EXPECT_EQ(other.text(), "Flat");
}

TEST_F(EqualiserTest, SwitchingRebuildsTheChainAndRestoresTheGains)
{
    eq.load();
    eq.setPosition(4, 30);
    eq.setPosition(0, 3);
    out.calls.clear();
    eq.setOn(true);
    EXPECT_EQ(lines[3], "EQL:Flat");
    EXPECT_EQ(out.calls.front(), "pause");
    EXPECT_EQ(out.calls[1], "disable");
    EXPECT_EQ(std::count(out.calls.begin(), out.calls.end(), "enable"), 10);
    EXPECT_EQ(out.calls.back(), "resume");
    const std::vector<float> on = out.gains();
    EXPECT_EQ(on, (std::vector<float>{-12, 0, 0, 0, 15, 0, 0, 0, 0, 0}));

    eq.setOn(false);
    EXPECT_EQ(lines[3], "EQL:Off");
    EXPECT_TRUE(out.chain.empty());
    // Moved while off: nothing audible, and the next switch-on takes the position.
    eq.setPosition(9, 20);
    EXPECT_TRUE(out.chain.empty());
    eq.setOn(true);
    EXPECT_EQ(out.gains(), (std::vector<float>{-12, 0, 0, 0, 15, 0, 0, 0, 0, 5}));
    // A band move retunes without rebuilding.
    out.calls.clear();
    eq.setPosition(2, 10);
    EXPECT_TRUE(out.calls.empty());
    EXPECT_EQ(out.gains()[2], -5.0f);
    eq.setPosition(12, 0); // no such band
    eq.setPosition(1, 99);
    EXPECT_EQ(eq.position(1), 30);
    eq.centreAll();
    EXPECT_EQ(out.gains(), std::vector<float>(10, 0.0f));
}

TEST_F(EqualiserTest, SavedPresetPutsBand9FirstAndLoadsBack)
{
    eq.load();
    for (int b = 0; b < 10; ++b)
        eq.setPosition(b, b + 10);
    EXPECT_EQ(eq.savePreset("Mine"), "");
    EXPECT_EQ(*readWholeFile(folder / "presets/Mine.eqf"), "19,10,11,12,13,14,15,16,17,18\r\n");
    EXPECT_EQ(eq.text(), "Mine");
    EXPECT_EQ(eq.presets(), std::vector<std::string>{"Mine"});
    EXPECT_EQ(eq.selected(), 0);

    eq.centreAll();
    eq.setOn(true);
    EXPECT_TRUE(eq.selectPreset(0));
    for (int b = 0; b < 10; ++b)
        EXPECT_EQ(eq.position(b), b + 10) << b;
    EXPECT_EQ(lines[3], "EQL:Mine");
    EXPECT_EQ(out.gains()[9], 4.0f);

    // Saving again under the same name replaces the file.
    eq.setPosition(9, 0);
    EXPECT_EQ(eq.savePreset("Mine"), "");
    EXPECT_EQ(*readWholeFile(folder / "presets/Mine.eqf"), "0,10,11,12,13,14,15,16,17,18\r\n");
    EXPECT_EQ(eq.savePreset(""), "");
}

TEST_F(EqualiserTest, UnusableNamesAreRefusedAndNothingIsWrittenOutside)
{
    eq.load();
    for (const std::string& name : std::vector<std::string>{"../escape", "a/b", "back\\slash", "..", "say \"hi\"", "tab\tname",
                                   std::string(239, 'x')}) {
        const std::string message = eq.savePreset(name);
        EXPECT_NE(message, "") << name;
        EXPECT_NE(message.find("not saved"), std::string::npos) << message;
    }
    EXPECT_TRUE(eq.presets().empty());
    EXPECT_FALSE(fs::exists(folder / "escape.eqf"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "presets"), fs::directory_iterator()), 0);
    EXPECT_EQ(eq.savePreset(std::string(238, 'y')), "");
    EXPECT_EQ(eq.savePreset("Dots. In. Name"), "");
}

TEST_F(EqualiserTest, FailedSaveSaysSoAndLeavesNothingBehind)
{
    eq.load();
    // A folder that cannot take files (read-only for a user; a plain file even for root).
    fs::remove(folder / "presets");
    std::ofstream(folder / "presets") << "";
    const std::string message = eq.savePreset("Locked");
    EXPECT_NE(message.find("could not be saved"), std::string::npos) << message;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
    EXPECT_EQ(eq.text(), "Flat");

    if (geteuid() != 0) {
        fs::remove(folder / "presets");
        fs::create_directory(folder / "presets");
        fs::permissions(folder / "presets", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_NE(eq.savePreset("Locked").find("could not be saved"), std::string::npos);
        fs::permissions(folder / "presets", fs::perms::owner_all);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder / "presets"), fs::directory_iterator()), 0);
    }
}

TEST_F(EqualiserTest, StepButtonsWrapAndClear)
{
    preset("A", "1,1,1,1,1,1,1,1,1,1\r\n");
    preset("b", "2,2,2,2,2,2,2,2,2,2\r\n");
    preset("C", "3,3,3,3,3,3,3,3,3,3\r\n");
    std::ofstream(folder / "presets" / "notes.txt") << "not a preset";
    eq.load();
    EXPECT_EQ(eq.presets(), (std::vector<std::string>{"A", "b", "C"}));
    EXPECT_EQ(eq.selected(), -1);

    eq.nextPreset();
    EXPECT_EQ(eq.selected(), 0);
    EXPECT_EQ(eq.position(5), 1);
    eq.nextPreset();
    eq.nextPreset();
    EXPECT_EQ(eq.text(), "C");
    // ">" on the last selects and loads the first.
    eq.nextPreset();
    EXPECT_EQ(eq.selected(), 0);
    EXPECT_EQ(eq.position(5), 1);
    // "<" on the first clears the selection and loads nothing; the next "<" takes the last.
    eq.setPosition(5, 20);
    eq.previousPreset();
    EXPECT_EQ(eq.selected(), -1);
    EXPECT_EQ(eq.position(5), 20);
    eq.previousPreset();
    EXPECT_EQ(eq.selected(), 2);
    EXPECT_EQ(eq.position(5), 3);

    Equaliser empty(out, (folder / "nothing").string());
    empty.load();
    empty.nextPreset();
    empty.previousPreset();
    EXPECT_EQ(empty.selected(), -1);
}

TEST_F(EqualiserTest, ShortPresetKeepsWhatWasReadAndLeavesTheLine)
{
    preset("Short", "20,21,22\r\n");
    eq.load();
    eq.setOn(true);
    lines[3] = "unchanged";
    EXPECT_FALSE(eq.selectPreset(0));
    EXPECT_EQ(eq.position(9), 20);
    EXPECT_EQ(eq.position(0), 21);
    EXPECT_EQ(eq.position(1), 22);
    EXPECT_EQ(eq.position(2), 15);
    EXPECT_EQ(lines[3], "unchanged");
}

TEST_F(EqualiserTest, DeleteRemovesOnlyThePresetsFile)
{
    preset("Gone", "1,1,1,1,1,1,1,1,1,1\r\n");
    preset("Kept", "2,2,2,2,2,2,2,2,2,2\r\n");
    eq.load();
    eq.selectPreset(0);
    eq.deletePreset();
    EXPECT_EQ(eq.presets(), std::vector<std::string>{"Kept"});
    EXPECT_EQ(eq.text(), "No Preset Selected");
    EXPECT_EQ(eq.selected(), -1);
    EXPECT_EQ(eq.position(0), 1) << "the bands stay";
    // Deleting a missing file changes nothing else.
    eq.deletePreset();
    EXPECT_EQ(eq.presets(), std::vector<std::string>{"Kept"});

    // A name from an edited state file never reaches outside the folder.
    std::ofstream(folder / "victim.eqf") << "x";
    std::ofstream(folder / "effects.tmp", std::ios::binary) << "#FALSE#,\"../victim\",15,15,15,15,15,15,15,15,15,15\r\n";
    Equaliser edited(out, folder.path().string());
    edited.load();
    EXPECT_EQ(edited.text(), "../victim");
    edited.deletePreset();
    EXPECT_TRUE(fs::exists(folder / "victim.eqf"));
}

TEST(EqualiserStarterPresets, ShippedPresetsReadWhole)
{
    const char* dist = std::getenv("SONAVEIL_DIST");
    if (!dist || !fs::exists(fs::path(dist) / "presets/Flat.eqf"))
        GTEST_SKIP() << "no program folder";
    FakeOutput out;
    Equaliser eq(out, dist);
    eq.load();
    ASSERT_GE(eq.presets().size(), 5u);
    for (int i = 0; i < int(eq.presets().size()); ++i)
        EXPECT_TRUE(eq.selectPreset(i)) << eq.presets()[std::size_t(i)];
    const auto flat = std::find(eq.presets().begin(), eq.presets().end(), "Flat");
    ASSERT_NE(flat, eq.presets().end());
    eq.selectPreset(int(flat - eq.presets().begin()));
    for (int b = 0; b < 10; ++b)
        EXPECT_EQ(eq.position(b), 15);
}
