#pragma once

#include "common/propertybag.h"
#include "common/types.h"

#include <functional>
#include <string>
#include <vector>

namespace sonaveil::controls {

// One drawing step of a face, in pixels of the surface it is drawn on.
struct ComboPaintOp {
    enum Kind {
        FillRect,   // x, y, w, h filled with c1
        Frame,      // one-pixel outline of x, y, w, h in c1
        VGradient,  // x, y, w, h from c1 at the top to c2 at the bottom
        HGradient,  // x, y, w, h from c1 at the left to c2 at the right
        Arrow,      // a downward triangle w wide, h high, top-left at x, y, in c1
        Text,       // text in x, y, w, h, in c1, aligned by align (0 left, 1 right, 2 centre)
    };
    Kind kind = FillRect;
    int x = 0, y = 0, w = 0, h = 0;
    ColorValue c1 = 0, c2 = 0;
    std::string text;
    int align = 0;
};

// What AddItem and ChangeItem take beside the text.
struct ComboItemData {
    ColorValue color = 0;
    bool enabled = true;
    int position = 0; // a free sort key from 1 to count - 1, else the item's own index
    std::string tag;
    std::string text2;
};

// The drop-down list without a widget: the one-based item list, selection and text rules, the
// open list with its scroll position and highlighted row, the keyboard, and both faces.
class SComboBoxModel {
public:
    enum class Look { Normal, Hover, Open, Disabled };
    enum class Key { Up, Down, PageUp, PageDown, Home, End, Enter, Escape, F4 };

    struct Item {
        std::string text;
        ColorValue color = 0;
        bool enabled = true;
        int sortKey = 0;
        std::string tag;
        std::string text2;
        bool hasPicture = false;
    };
    using ItemData = ComboItemData;
    // What the edit box shows after a text change, with the characters to select.
    struct EditResult {
        std::string text;
        int selectionStart = 0;
        int selectionLength = 0;
    };

    static constexpr int kRowHeight = 20;     // pixels per list row (300 twips)
    static constexpr int kEmptyListHeight = 16; // 240 twips
    static constexpr int kButtonWidth = 18;
    static constexpr int kScrollBarWidth = 18;
    static constexpr int kTextLeft = 8;

    SComboBoxModel();

    // Notifications to the widget and the host.
    std::function<void()> onRedraw;
    std::function<void(const std::string& text, int index)> onSelectionMade;
    std::function<void(int count)> onTotalItems;
    // The edit box must show this text (and select part of it).
    std::function<void(const EditResult&)> onShowText;
    std::function<void(bool open)> onOpenChanged;

    // Items, numbered from 1.
    void AddItem(const std::string& text, const ItemData& data = ItemData());
    void ChangeItem(int index, const std::string& text, const ItemData& data = ItemData());
    void RemoveItem(int index);
    void Clear();
    void ItemEnabled(int index, bool enabled);
    // The item's text; makes it the selected and highlighted one.
    std::string List(int index);
    // compare 0: contains, any case; 1: equal, any case; 2: identical. -1 when none.
    int FindItemText(const std::string& text, int compare) const;
    // 1: descending, 2: ascending, by bytes.
    void OrderList(int order);
    std::string ItemTag(int index) const;
    std::string GetControlVersion() const;
    const Item* item(int index) const;
    int count() const { return int(m_items.size()); }

    // Reading also sets Text to the selected item's text.
    int ListIndex();
    int selectedIndex() const { return m_selected; }
    void setListIndex(int index);
    int ListCount() const { return m_items.empty() ? -1 : count(); }
    int NewIndex() const { return m_items.empty() ? -1 : count(); }
    const std::string& Text() const { return m_text; }
    void setText(const std::string& text);

    int MaxListLength() const;
    void setMaxListLength(int length);
    // Reading fixes a negative stored value for good once the list has items.
    int NumberItemsToShow();
    void setNumberItemsToShow(int rows);
    int storedNumberItemsToShow() const { return m_itemsToShow; }

    // The edit box's text changed; lastKey is the code of the key last released in it
    // (8 Backspace, 46 Delete; 0 when the change did not come from a key).
    EditResult textEdited(const std::string& typed, int lastKey);

    // Looks and the open list.
    Look look() const { return m_look; }
    bool isOpen() const { return m_open; }
    void open();
    void close();
    // A mouse press on the control outside the edit box: button 1 left.
    void pressed(int button);
    void setHover(bool over);
    void focusLost();
    // Pointer over the open list at y pixels from its top; a click there.
    void hoverList(int y);
    void clickList(int y);
    // The scroll bar moved.
    void scrollTo(int value);
    // Keys while the control has the focus; true when the key was used.
    bool key(Key key);

    int highlighted() const { return m_highlighted; }
    int scrollValue() const { return m_scroll; }
    int scrollMax() const;
    bool scrollBarShown();
    int visibleRows();
    int listHeight();

    // Faces: the closed control at its size, and the open list.
    std::vector<ComboPaintOp> face(int width, int height) const;
    std::vector<ComboPaintOp> listFace(int width, int height) const;

    // Colour rules.
    static ColorValue lightened(ColorValue c, int k);
    static ColorValue brightened(ColorValue c);

    // Properties.
    int Alignment = 0;
    int appearanceCombo() const { return m_appearance; }
    void setAppearanceCombo(int look);
    ColorValue ArrowColor = rgb(49, 106, 197);
    bool AutoCompleteWord = false;
    ColorValue BackColor = rgb(255, 255, 255);
    ColorValue DisabledColor = rgb(128, 128, 128);
    bool enabled() const { return m_enabled; }
    void setEnabled(bool on);
    std::string Font; // empty: the container's font
    ColorValue GradientColor1 = rgb(120, 178, 218);
    ColorValue GradientColor2 = rgb(158, 221, 255);
    ColorValue HighLightBorderColor = rgb(49, 106, 197);
    ColorValue HighLightColorText = rgb(255, 255, 255);
    ColorValue ListColor = rgb(255, 255, 255);
    bool ListGradient = false;
    int ListPositionShow = 0;
    int MousePointer = 0;
    ColorValue NormalBorderColor = rgb(239, 237, 222);
    ColorValue NormalColorText = rgb(49, 106, 197);
    int OfficeAppearance = 0;
    int XpAppearance = 1;
    ColorValue SelectBorderColor = rgb(49, 106, 197);
    ColorValue SelectListBorderColor = rgb(8, 36, 107);
    ColorValue SelectListColor = rgb(49, 106, 197);
    ColorValue ShadowColorText = rgb(105, 105, 105);
    int Style = 0;
    // Property changes made directly above take effect with changed().
    void changed() { redraw(); }

    void readProperties(const PropertyBag& bag, const std::string& containerName);
    void writeProperties(PropertyBag& bag, const std::string& containerName) const;

private:
    void redraw();
    void select(int index, bool scroll);
    void showText(const EditResult& r);
    void keepVisible(int index);
    int rowAt(int y) const;
    int selectExactEnabled(const std::string& text) const;

    std::vector<Item> m_items;
    int m_selected = -1;
    int m_highlighted = -1;
    int m_scroll = 0;
    std::string m_text;
    std::string m_longest;
    int m_maxListLength = 10;
    int m_itemsToShow = 7;
    int m_appearance = 1;
    bool m_enabled = true;
    bool m_open = false;
    bool m_hover = false;
    Look m_look = Look::Normal;
};

} // namespace sonaveil::controls
