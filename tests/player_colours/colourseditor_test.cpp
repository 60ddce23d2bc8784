#include "player/colours/colourseditor.h"

#include "tempfolder.h"

#include <fstream>

#include <gtest/gtest.h>

using namespace sonaveil;
using namespace sonaveil::player;
namespace fs = std::filesystem;

namespace {

class Host : public ColoursEditorHost {
public:
    void docolors() override { ++colours; }
    void refresh() override { ++refreshes; }
    void information(const std::string& text) override { informations.push_back(text); }
    void message(const std::string& text) override { messages.push_back(text); }

    int colours = 0;
    int refreshes = 0;
    std::vector<std::string> informations;
    std::vector<std::string> messages;
};

ColourScheme scheme(int palette, const std::string& background, int flag = 1)
{
    ColourScheme s;
    s.buttonText = 255;
    s.buttonBack = "100";
    s.gradient1 = "1";
    s.gradient2 = "2";
    s.text = "300";
    s.background = background;
    s.form = "400";
    s.palette = std::int16_t(palette);
    s.imageFlag = std::int16_t(flag);
    return s;
}

class ColoursEditorTest : public ::testing::Test {
protected:
    ColoursEditorTest()
    {
        SchemeLibrary lib(prog.path());
        lib.save("Default", scheme(2, "396308"));
        lib.save("Dawn", scheme(4, "15660794", 0));
        lib.save("Night", scheme(9, "1446424", 0));
        held = scheme(5, "7");
        held.rollover = "99";
    }

    void write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(SchemeLibrary(prog.path()).folder() / name, std::ios::binary) << bytes;
    }

    TempFolder prog;
    ColourScheme held;
    Host host;
    ColoursEditor editor{held, prog.path(), &host};
};

} // namespace

TEST_F(ColoursEditorTest, OpeningShowsTheHeldSchemeAndTheList)
{
    held.imageFlag = 0;
    editor.open();
    EXPECT_EQ(editor.names(), (std::vector<std::string>{"Dawn", "Default", "Night"}));
    EXPECT_EQ(editor.listText(), "Select");
    EXPECT_EQ(editor.selected(), -1);
    EXPECT_FALSE(editor.imageBox());
    EXPECT_TRUE(editor.formEnabled());
    EXPECT_EQ(editor.samplePalette(), 5);
    EXPECT_EQ(editor.barPosition(), 7);
    EXPECT_EQ(host.colours, 1);
    EXPECT_EQ(held.imageFlag, 0);
}

TEST_F(ColoursEditorTest, TheBarGivesTwelveMinusItsPosition)
{
    editor.open();
    for (auto [position, palette] : {std::pair{3, 9}, {0, 12}, {12, 0}, {-4, 12}, {40, 0}}) {
        editor.setBarPosition(position);
        EXPECT_EQ(editor.samplePalette(), palette) << position;
        EXPECT_EQ(held.palette, palette) << position;
        EXPECT_TRUE(ColourScheme::validPalette(held.palette));
    }
}

TEST_F(ColoursEditorTest, TheImageBoxSetsTheFlagAndTheFormColourSwatch)
{
    editor.open();
    const int before = host.colours;
    editor.setImageBox(false);
    EXPECT_EQ(held.imageFlag, 0);
    EXPECT_TRUE(editor.formEnabled());
    editor.setImageBox(true);
    EXPECT_EQ(held.imageFlag, 1);
    EXPECT_FALSE(editor.formEnabled());
    EXPECT_EQ(host.colours, before + 2);
}

TEST_F(ColoursEditorTest, AChosenColourIsHeldAndShown)
{
    editor.open();
    const int before = host.colours;
    editor.chooseColour(SchemeColour::Rollover, rgb(10, 20, 30));
    EXPECT_EQ(held.rollover, colourText(rgb(10, 20, 30)));
    // Black is a colour like any other.
    editor.chooseColour(SchemeColour::ButtonText, 0);
    EXPECT_EQ(held.buttonText, 0);
    // The form colour is held too, so that it can be applied.
    editor.chooseColour(SchemeColour::Form, rgb(1, 2, 3));
    EXPECT_EQ(held.form, colourText(rgb(1, 2, 3)));
    EXPECT_EQ(host.colours, before + 3);
}

TEST_F(ColoursEditorTest, LoadingASchemeSetsEveryValueButTheRollover)
{
    editor.open();
    editor.select(2); // Night
    EXPECT_EQ(editor.listText(), "Night");
    ColourScheme expected = scheme(9, "1446424", 0);
    expected.rollover = "99";
    EXPECT_EQ(held, expected);
    EXPECT_EQ(editor.samplePalette(), 9);
    EXPECT_FALSE(editor.imageBox());
    EXPECT_TRUE(host.informations.empty());
}

TEST_F(ColoursEditorTest, StepsThroughTheListBothWays)
{
    editor.open();
    // "<" with nothing selected: the last; ">" on the last: the first, loaded.
    editor.previous();
    EXPECT_EQ(editor.selected(), 2);
    EXPECT_EQ(held.palette, 9);
    editor.next();
    EXPECT_EQ(editor.selected(), 0);
    EXPECT_EQ(editor.listText(), "Dawn");
    EXPECT_EQ(held.palette, 4);
    EXPECT_EQ(held.imageFlag, 0);
    // "<" from the first empties the selection and loads nothing.
    editor.previous();
    EXPECT_EQ(editor.selected(), -1);
    EXPECT_EQ(held.palette, 4);
    // ">" with nothing selected: the first.
    editor.next();
    EXPECT_EQ(editor.selected(), 0);
    editor.next();
    EXPECT_EQ(editor.listText(), "Default");
    EXPECT_EQ(held.palette, 2);
    EXPECT_TRUE(host.informations.empty());
}

TEST_F(ColoursEditorTest, StepsInAnEmptyListAreIgnored)
{
    fs::remove_all(SchemeLibrary(prog.path()).folder());
    editor.open();
    editor.previous();
    editor.next();
    EXPECT_EQ(editor.selected(), -1);
    EXPECT_EQ(editor.listText(), "Select");
    EXPECT_TRUE(host.informations.empty());
}

TEST_F(ColoursEditorTest, SavingWritesTheFileAndListsIt)
{
    editor.open();
    held = scheme(11, "123");
    held.rollover = "77";
    EXPECT_EQ(editor.save(std::string("Bedroom")), ColoursEditor::SaveResult::Saved);
    EXPECT_EQ(editor.library().read("Bedroom"), SchemeFile::bytes(held));
    EXPECT_EQ(editor.names(), (std::vector<std::string>{"Bedroom", "Dawn", "Default", "Night"}));
    EXPECT_EQ(editor.listText(), "Bedroom");
    EXPECT_EQ(editor.selected(), 0);
    // Replacing a scheme keeps one entry.
    EXPECT_EQ(editor.save(std::string("Night")), ColoursEditor::SaveResult::Saved);
    EXPECT_EQ(editor.names().size(), 4u);
    EXPECT_EQ(editor.library().read("Night"), SchemeFile::bytes(held));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ColoursEditorTest, AnEmptyAnswerOrCancelSavesNothing)
{
    editor.open();
    EXPECT_EQ(editor.save(std::nullopt), ColoursEditor::SaveResult::Nothing);
    EXPECT_EQ(editor.save(std::string()), ColoursEditor::SaveResult::Nothing);
    EXPECT_EQ(editor.names().size(), 3u);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ColoursEditorTest, ANameOutsideTheFolderGivesTheSaveMessage)
{
    editor.open();
    // A double quote is refused too: the name is never kept in part.
    for (const char* name : {"../Escape", "a/b", "..", "tab\tname", "My \"Night\" scheme"}) {
        EXPECT_EQ(editor.save(std::string(name)), ColoursEditor::SaveResult::Failed) << name;
    }
    ASSERT_EQ(host.messages.size(), 5u);
    EXPECT_EQ(host.messages[0], "The file could not be saved. Please try again ensuring you have not used special "
                                "characters (!/<>&*$%) in the name ");
    EXPECT_FALSE(fs::exists(prog / "config" / "Escape.clr"));
    EXPECT_EQ(editor.names().size(), 3u);
    EXPECT_EQ(editor.listText(), "Select");
}

TEST_F(ColoursEditorTest, ANameTooLongIsRefusedWithTheLimitAndTheLongestOneSaves)
{
    editor.open();
    const std::string longest(238, 'n');
    EXPECT_EQ(editor.save(longest), ColoursEditor::SaveResult::Saved);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(editor.save(longest + "n"), ColoursEditor::SaveResult::Failed);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "This scheme name is too long; please use at most 238 characters (fewer with accented "
                                "letters).");
    EXPECT_EQ(host.messages[0].find(prog.path().string()), std::string::npos);
    // 120 accented letters take 240 bytes: too long, though fewer letters than the limit.
    std::string accented;
    for (int i = 0; i < 120; ++i)
        accented += "\xC3\xA9";
    EXPECT_EQ(editor.save(accented), ColoursEditor::SaveResult::Failed);
    EXPECT_EQ(editor.names().size(), 4u);
}

TEST_F(ColoursEditorTest, DeletingEmptiesTheTextAndRefillsTheList)
{
    editor.open();
    editor.select(0); // Dawn
    editor.remove();
    EXPECT_EQ(editor.names(), (std::vector<std::string>{"Default", "Night"}));
    EXPECT_EQ(editor.listText(), "No Preset Selected");
    EXPECT_EQ(editor.selected(), -1);
    // Deleting what is not there is ignored.
    editor.remove();
    EXPECT_EQ(editor.names().size(), 2u);
    EXPECT_TRUE(host.informations.empty());
}

TEST_F(ColoursEditorTest, RestoreDefaultLoadsTheDefaultScheme)
{
    editor.open();
    editor.restoreDefault();
    EXPECT_EQ(editor.listText(), "Default");
    EXPECT_EQ(editor.selected(), 1);
    EXPECT_EQ(held.palette, 2);
    EXPECT_EQ(held.background, "396308");
    // Without the file: the load message, nothing changed.
    SchemeLibrary(prog.path()).remove("Default");
    held.palette = 8;
    editor.restoreDefault();
    EXPECT_EQ(held.palette, 8);
    EXPECT_EQ(host.informations, std::vector<std::string>{"There was an error loading the configuration!"});
}

TEST_F(ColoursEditorTest, ABrokenFileKeepsWhatWasReadBeforeTheFault)
{
    write("Broken.clr", "\"11\",\"22\",\"33\",44,\"55\",13,\"77\",\"88\",1\r\n");
    editor.open();
    const ColourScheme before = held;
    const int colours = host.colours;
    EXPECT_FALSE(editor.loadScheme("Broken"));
    EXPECT_EQ(host.informations, std::vector<std::string>{"There was an error loading the configuration!"});
    EXPECT_EQ(held.gradient1, "11");
    EXPECT_EQ(held.gradient2, "22");
    EXPECT_EQ(held.buttonBack, "33");
    EXPECT_EQ(held.buttonText, 44);
    EXPECT_EQ(held.form, "55");
    EXPECT_EQ(held.palette, before.palette);
    EXPECT_EQ(held.background, before.background);
    EXPECT_EQ(held.text, before.text);
    EXPECT_EQ(held.imageFlag, before.imageFlag);
    // The windows show what is held.
    EXPECT_EQ(host.colours, colours + 1);
}
