#include "controls/scomboboxmodel.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace sonaveil;
using sonaveil::controls::ComboPaintOp;
using sonaveil::controls::SComboBoxModel;
using Key = SComboBoxModel::Key;
using Look = SComboBoxModel::Look;

namespace {

SComboBoxModel listOf(std::initializer_list<const char*> texts)
{
    SComboBoxModel m;
    for (const char* t : texts)
        m.AddItem(t);
    return m;
}

SComboBoxModel numbered(int n)
{
    SComboBoxModel m;
    for (int i = 1; i <= n; ++i)
        m.AddItem("Item " + std::to_string(i));
    return m;
}

// The first drawing step of a kind at a place, or null.
const ComboPaintOp* opAt(const std::vector<ComboPaintOp>& ops, ComboPaintOp::Kind kind, int x, int y)
{
    for (const auto& op : ops)
        if (op.kind == kind && op.x == x && op.y == y)
            return &op;
    return nullptr;
}

} // namespace

TEST(SComboBoxModel, ItemsCountFromOneAndAnEmptyListCountsMinusOne)
{
    SComboBoxModel m;
    std::vector<int> totals;
    m.onTotalItems = [&](int n) { totals.push_back(n); };
    EXPECT_EQ(m.ListCount(), -1);
    EXPECT_EQ(m.NewIndex(), -1);
    EXPECT_EQ(m.ListIndex(), -1);
    m.AddItem("MP3");
    m.AddItem("");
    SComboBoxModel::ItemData pcm;
    pcm.tag = "pcm";
    m.AddItem("WAV", pcm);
    EXPECT_EQ(m.ListCount(), 3);
    EXPECT_EQ(m.NewIndex(), 3);
    EXPECT_EQ(m.MaxListLength(), 3);
    EXPECT_EQ(m.item(2)->text, " ");
    EXPECT_EQ(m.ItemTag(3), "pcm");
    EXPECT_EQ(m.ItemTag(4), "");
    EXPECT_EQ(m.ItemTag(0), "");
    EXPECT_EQ(totals, (std::vector<int>{1, 2, 3}));

    m.setListIndex(0);
    EXPECT_EQ(m.ListIndex(), -1);
    m.setListIndex(4);
    EXPECT_EQ(m.ListIndex(), -1);
    m.setListIndex(1);
    EXPECT_EQ(m.Text(), "MP3");
    m.textEdited("MP", 0); // no item: no selection
    EXPECT_EQ(m.ListIndex(), -1);
    m.setListIndex(3);
    EXPECT_EQ(m.ListIndex(), 3);
    EXPECT_EQ(m.Text(), "WAV");

    m.RemoveItem(1);
    EXPECT_EQ(m.ListCount(), 2);
    EXPECT_EQ(m.selectedIndex(), 2); // still WAV
    EXPECT_EQ(m.item(1)->sortKey, 1);
    EXPECT_EQ(m.item(2)->sortKey, 2);
    m.ItemEnabled(7, false); // no such item: ignored
    m.Clear();
    EXPECT_EQ(m.ListCount(), -1);
    EXPECT_EQ(m.Text(), "");
    EXPECT_EQ(m.ListIndex(), -1);
    EXPECT_EQ(totals.back(), 0);
    m.RemoveItem(1); // on an empty list: nothing
    EXPECT_EQ(m.ListCount(), -1);
}

TEST(SComboBoxModel, FindItemTextModes)
{
    auto m = listOf({"Cab", "ab", "AB", "xyz"});
    EXPECT_EQ(m.FindItemText("ab", 0), 1); // contains, any case
    EXPECT_EQ(m.FindItemText("YZ", 0), 4);
    EXPECT_EQ(m.FindItemText("ab", 1), 2); // equal, any case
    EXPECT_EQ(m.FindItemText("Ab", 1), 2);
    EXPECT_EQ(m.FindItemText("AB", 2), 3); // identical
    EXPECT_EQ(m.FindItemText("aB", 2), -1);
    EXPECT_EQ(m.FindItemText("", 0), -1);
    EXPECT_EQ(m.FindItemText("ab", 3), -1);
    EXPECT_EQ(m.FindItemText("ab", -1), -1);
    EXPECT_EQ(m.FindItemText("q", 0), -1);
}

TEST(SComboBoxModel, SortKeysListAndOrder)
{
    SComboBoxModel m;
    m.AddItem("b");
    SComboBoxModel::ItemData at;
    at.position = 1;
    m.AddItem("c", at); // taken by b: own index
    at.position = 5;
    m.AddItem("a", at); // outside 1..count-1: own index
    EXPECT_EQ(m.item(2)->sortKey, 2);
    EXPECT_EQ(m.item(3)->sortKey, 3);
    m.setListIndex(1); // b
    m.OrderList(2);
    EXPECT_EQ(m.item(1)->text, "a");
    EXPECT_EQ(m.item(3)->text, "c");
    EXPECT_EQ(m.selectedIndex(), 2);
    m.OrderList(1);
    EXPECT_EQ(m.item(1)->text, "c");
    m.OrderList(0);
    EXPECT_EQ(m.item(1)->text, "c");
    EXPECT_EQ(m.List(3), "a");
    EXPECT_EQ(m.selectedIndex(), 3);
    EXPECT_EQ(m.highlighted(), 3);
    EXPECT_NE(m.GetControlVersion().find("SComboBox"), std::string::npos);

    SComboBoxModel::ItemData off;
    off.enabled = false;
    m.ChangeItem(2, "B", off);
    EXPECT_FALSE(m.item(2)->enabled);
    EXPECT_EQ(m.item(2)->color, SComboBoxModel::lightened(m.DisabledColor, 176));
}

TEST(SComboBoxModel, ListLengthAndVisibleRows)
{
    // Three items with the rows stored as -1: three rows, no scroll bar.
    SComboBoxModel three;
    three.setMaxListLength(-1);
    three.setNumberItemsToShow(-1);
    EXPECT_EQ(three.storedNumberItemsToShow(), -1);
    for (const char* t : {"a", "b", "c"})
        three.AddItem(t);
    EXPECT_EQ(three.MaxListLength(), 3);
    three.open();
    EXPECT_EQ(three.visibleRows(), 3);
    EXPECT_EQ(three.listHeight(), 60);
    EXPECT_FALSE(three.scrollBarShown());

    // Ten items: seven rows and the scroll bar, scrolling through three more.
    SComboBoxModel ten;
    ten.setMaxListLength(-1);
    ten.setNumberItemsToShow(-1);
    for (int i = 1; i <= 10; ++i)
        ten.AddItem("Item " + std::to_string(i));
    ten.open();
    EXPECT_EQ(ten.NumberItemsToShow(), 7);
    EXPECT_EQ(ten.visibleRows(), 7);
    EXPECT_TRUE(ten.scrollBarShown());
    EXPECT_EQ(ten.scrollMax(), 3);

    auto m = numbered(12);
    m.setMaxListLength(20); // above the count: the count
    EXPECT_EQ(m.MaxListLength(), 12);
    m.setMaxListLength(0);
    EXPECT_EQ(m.MaxListLength(), 12);
    m.setMaxListLength(9);
    EXPECT_EQ(m.MaxListLength(), 9);
    m.setNumberItemsToShow(5);
    EXPECT_EQ(m.NumberItemsToShow(), 5);
    m.setNumberItemsToShow(9); // not below MaxListLength: MaxListLength - 8
    EXPECT_EQ(m.NumberItemsToShow(), 1);
    m.setMaxListLength(6);
    m.setNumberItemsToShow(1); // MaxListLength not above 8: ListCount
    EXPECT_EQ(m.NumberItemsToShow(), 12);

    SComboBoxModel empty;
    empty.setMaxListLength(4);
    EXPECT_EQ(empty.MaxListLength(), -1);
    empty.open();
    EXPECT_EQ(empty.listHeight(), SComboBoxModel::kEmptyListHeight);
}

TEST(SComboBoxModel, EditingWithAndWithoutCompletion)
{
    auto m = listOf({"Unlimited", "10 minutes", "1 hour", "Off"});
    m.ItemEnabled(4, false);
    auto r = m.textEdited("1 hour", 0);
    EXPECT_EQ(r.text, "1 hour");
    EXPECT_EQ(m.selectedIndex(), 3);
    m.textEdited("1 hou", 0);
    EXPECT_EQ(m.selectedIndex(), -1);
    m.textEdited("Off", 0); // disabled items are never chosen
    EXPECT_EQ(m.selectedIndex(), -1);
    m.setText("Unlimited");
    EXPECT_EQ(m.selectedIndex(), 1);

    m.AutoCompleteWord = true;
    m.setText("1"); // the program's text is never completed
    EXPECT_EQ(m.Text(), "1");
    r = m.textEdited("un", 'N');
    EXPECT_EQ(r.text, "unlimited");
    EXPECT_EQ(r.selectionStart, 2);
    EXPECT_EQ(r.selectionLength, 7);
    EXPECT_EQ(m.selectedIndex(), -1); // "unlimited" is no item as typed
    r = m.textEdited("Unl", 'L');
    EXPECT_EQ(r.text, "Unlimited");
    EXPECT_EQ(m.selectedIndex(), 1);
    EXPECT_EQ(m.Text(), "Unlimited");
    r = m.textEdited("1", '1');
    EXPECT_EQ(r.text, "10 minutes");
    EXPECT_EQ(m.selectedIndex(), 2);
    // Deleting leaves the text as the user made it.
    r = m.textEdited("1", 8);
    EXPECT_EQ(r.text, "1");
    EXPECT_EQ(r.selectionLength, 0);
    EXPECT_EQ(m.selectedIndex(), -1);
    r = m.textEdited("Off", 46);
    EXPECT_EQ(m.selectedIndex(), -1);
    r = m.textEdited("ou", 'U'); // inside a word only: no completion
    EXPECT_EQ(r.text, "ou");
    EXPECT_EQ(m.selectedIndex(), -1);
}

TEST(SComboBoxModel, KeyboardMovesTheHighlightAndChooses)
{
    auto m = numbered(10);
    m.setNumberItemsToShow(4);
    int chosen = -1;
    m.onSelectionMade = [&](const std::string&, int index) { chosen = index; };
    ASSERT_TRUE(m.key(Key::F4));
    EXPECT_TRUE(m.isOpen());
    EXPECT_EQ(m.look(), Look::Open);
    // Each key, the item highlighted after it and where the list is scrolled (-1: not checked).
    const struct {
        Key key;
        int highlighted, scroll;
    } steps[] = {
        {Key::Down, 1, -1}, {Key::PageDown, 4, -1}, {Key::PageDown, 7, 3}, {Key::End, 10, 6},
        {Key::Down, 10, -1}, {Key::PageUp, 6, -1}, {Key::Home, 1, 0}, {Key::Up, 1, -1},
    };
    for (const auto& step : steps) {
        m.key(step.key);
        EXPECT_EQ(m.highlighted(), step.highlighted) << int(step.key);
        if (step.scroll >= 0) {
            EXPECT_EQ(m.scrollValue(), step.scroll) << int(step.key);
        }
    }
    EXPECT_EQ(m.selectedIndex(), -1); // moving only highlights
    m.ItemEnabled(2, false);
    m.key(Key::Down);
    EXPECT_EQ(m.highlighted(), 3); // over the disabled row
    m.key(Key::Up);
    EXPECT_EQ(m.highlighted(), 1); // and back over it
    m.key(Key::Down);
    m.key(Key::Enter);
    EXPECT_FALSE(m.isOpen());
    EXPECT_EQ(chosen, 3);
    EXPECT_EQ(m.Text(), "Item 3");
    m.key(Key::F4);
    m.key(Key::Escape);
    EXPECT_FALSE(m.isOpen());
    EXPECT_EQ(m.look(), Look::Hover);
    EXPECT_FALSE(m.key(Key::Escape));
}

TEST(SComboBoxModel, TheHighlightLeavingTheVisibleRowsScrollsByOneRow)
{
    auto m = numbered(20);
    m.setNumberItemsToShow(7);
    m.key(Key::F4);
    ASSERT_EQ(m.scrollValue(), 0);
    for (int row = 1; row <= 20; ++row) {
        m.key(Key::Down);
        ASSERT_EQ(m.highlighted(), row);
        // The highlighted row is the last visible one once the list has to scroll.
        EXPECT_EQ(m.scrollValue(), std::max(0, row - 7)) << "row " << row;
    }
    for (int row = 19; row >= 1; --row) {
        m.key(Key::Up);
        EXPECT_EQ(m.scrollValue(), std::min(13, row - 1)) << "row " << row;
    }
}

TEST(SComboBoxModel, MouseOverAndOnTheOpenList)
{
    auto m = numbered(10);
    m.setNumberItemsToShow(5);
    m.ItemEnabled(4, false);
    std::vector<int> chosen;
    m.onSelectionMade = [&](const std::string&, int index) { chosen.push_back(index); };
    m.setHover(true);
    EXPECT_EQ(m.look(), Look::Hover);
    m.pressed(1);
    ASSERT_TRUE(m.isOpen());
    m.hoverList(45);
    EXPECT_EQ(m.highlighted(), 3);
    m.hoverList(65); // a disabled row: no highlight change
    EXPECT_EQ(m.highlighted(), 3);
    m.clickList(65);
    EXPECT_TRUE(m.isOpen());
    EXPECT_TRUE(chosen.empty());
    m.scrollTo(99);
    EXPECT_EQ(m.scrollValue(), 5);
    m.hoverList(5);
    EXPECT_EQ(m.highlighted(), 6);
    m.clickList(95);
    EXPECT_FALSE(m.isOpen());
    EXPECT_EQ(chosen, std::vector<int>{10});
    EXPECT_EQ(m.Text(), "Item 10");
    EXPECT_EQ(m.look(), Look::Normal);

    // Opening shows the selection; another press closes.
    m.scrollTo(0);
    m.pressed(1);
    EXPECT_EQ(m.scrollValue(), 5);
    EXPECT_EQ(m.highlighted(), 10);
    m.pressed(2);
    EXPECT_FALSE(m.isOpen());
    m.pressed(2);
    EXPECT_FALSE(m.isOpen());
    m.setEnabled(false);
    m.pressed(1);
    EXPECT_FALSE(m.isOpen());
    EXPECT_EQ(m.look(), Look::Disabled);
}

TEST(SComboBoxModel, ColourRules)
{
    EXPECT_EQ(SComboBoxModel::lightened(rgb(60, 96, 146), 176), rgb(194, 205, 221));
    EXPECT_EQ(SComboBoxModel::lightened(rgb(60, 96, 146), 5), rgb(63, 99, 148));
    EXPECT_EQ(SComboBoxModel::lightened(rgb(99, 143, 190), 49), rgb(128, 164, 202));
    EXPECT_EQ(SComboBoxModel::lightened(rgb(203, 219, 232), 49), rgb(212, 225, 236));
    EXPECT_EQ(SComboBoxModel::lightened(rgb(192, 192, 192), 85), rgb(213, 213, 213));
    EXPECT_EQ(SComboBoxModel::brightened(rgb(192, 192, 255)), rgb(211, 211, 255));
    EXPECT_EQ(SComboBoxModel::brightened(rgb(255, 255, 255)), rgb(255, 255, 255));
}

TEST(SComboBoxModel, AppearanceTwentyOneInItsFourLooks)
{
    auto m = listOf({"MP3"});
    m.setAppearanceCombo(21);
    const int W = 100, H = 21;
    struct Expect {
        Look look;
        ColorValue outline, button, top, bottom, arrow, inner;
    };
    const ColorValue arrow = m.ArrowColor;
    const Expect looks[] = {
        {Look::Normal, rgb(60, 96, 146), rgb(63, 99, 148), rgb(99, 143, 190), rgb(203, 219, 232), arrow, rgb(174, 198, 224)},
        {Look::Open, rgb(60, 96, 146), rgb(63, 99, 148), rgb(99, 143, 190), rgb(203, 219, 232), arrow, rgb(174, 198, 224)},
        {Look::Hover, rgb(60, 96, 146), rgb(63, 99, 148), rgb(128, 164, 202), rgb(212, 225, 236),
            SComboBoxModel::lightened(arrow, 89), rgb(174, 198, 224)},
        {Look::Disabled, rgb(194, 205, 221), rgb(195, 205, 221), rgb(206, 220, 234), rgb(238, 243, 247), rgb(213, 213, 213),
            rgb(229, 237, 245)},
    };
    for (const auto& e : looks) {
        SComboBoxModel c = listOf({"MP3"});
        c.setAppearanceCombo(21);
        if (e.look == Look::Hover)
            c.setHover(true);
        if (e.look == Look::Open)
            c.open();
        if (e.look == Look::Disabled)
            c.setEnabled(false);
        ASSERT_EQ(c.look(), e.look);
        const auto ops = c.face(W, H);
        ASSERT_NE(opAt(ops, ComboPaintOp::Frame, 0, 0), nullptr);
        EXPECT_EQ(opAt(ops, ComboPaintOp::Frame, 0, 0)->c1, e.outline);
        ASSERT_NE(opAt(ops, ComboPaintOp::Frame, W - 18, 0), nullptr);
        EXPECT_EQ(opAt(ops, ComboPaintOp::Frame, W - 18, 0)->c1, e.button);
        const auto* fill = opAt(ops, ComboPaintOp::VGradient, W - 16, 2);
        ASSERT_NE(fill, nullptr);
        EXPECT_EQ(fill->c1, e.top);
        EXPECT_EQ(fill->c2, e.bottom);
        const auto* inner = opAt(ops, ComboPaintOp::Frame, 1, 1);
        ASSERT_NE(inner, nullptr);
        EXPECT_EQ(inner->c1, e.inner);
        bool arrowFound = false;
        for (const auto& op : ops)
            if (op.kind == ComboPaintOp::Arrow) {
                arrowFound = true;
                EXPECT_EQ(op.c1, e.arrow);
                EXPECT_GE(op.x, W - 18);
                EXPECT_LE(op.x + op.w, W);
            }
        EXPECT_TRUE(arrowFound);
    }
    // The outline is drawn last, over the button's frame.
    EXPECT_EQ(m.face(W, H).back().kind, ComboPaintOp::Frame);
    EXPECT_EQ(m.face(W, H).back().x, 0);
    m.setAppearanceCombo(-4);
    EXPECT_EQ(m.appearanceCombo(), 1);
}

TEST(SComboBoxModel, PropertiesStoreOnlyWhatDiffersFromTheDefaults)
{
    SComboBoxModel m;
    m.readProperties(PropertyBag(), "SComboBox1");
    EXPECT_EQ(m.Text(), "SComboBox1");
    // Loading applies the defaults through the setting rules: on an empty list both lengths
    // become -1, the values the recorder's layouts hold.
    PropertyBag none;
    m.writeProperties(none, "SComboBox1");
    EXPECT_EQ(none.names(), (std::vector<std::string>{"maxlistlength", "numberitemstoshow"}));
    EXPECT_EQ(none.readInteger("MaxListLength", 0), -1);

    // The recorder's lists, as its window layout stores them.
    PropertyBag bag;
    bag.write("appearancecombo", std::int64_t(21));
    bag.write("maxlistlength", std::int64_t(-1));
    bag.write("numberitemstoshow", std::int64_t(-1));
    bag.write("listgradient", true);
    bag.write("gradientcolor1", std::int64_t(rgb(192, 192, 255)));
    bag.write("normalcolortext", std::int64_t(rgb(255, 255, 255)));
    bag.write("text", std::string("MP3"));
    SComboBoxModel r;
    r.readProperties(bag, "Combo1");
    EXPECT_EQ(r.appearanceCombo(), 21);
    EXPECT_TRUE(r.ListGradient);
    EXPECT_EQ(r.NormalColorText, rgb(255, 255, 255));
    EXPECT_EQ(r.Text(), "MP3");
    EXPECT_EQ(r.MaxListLength(), -1);
    for (const char* t : {"MP3", "WAV"})
        r.AddItem(t);
    EXPECT_EQ(r.NumberItemsToShow(), 2);
    PropertyBag again;
    r.writeProperties(again, "Combo1");
    EXPECT_EQ(again.readInteger("AppearanceCombo", 0), 21);
    EXPECT_EQ(again.readText("Text", ""), "MP3");
    EXPECT_FALSE(again.contains("BackColor"));
}
