#include "controls/scomboboxmodel.h"

#include <algorithm>
#include <cctype>
#include <chrono>

namespace sonaveil::controls {
namespace {

std::string lower(const std::string& s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool startsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && lower(text.substr(0, prefix.size())) == lower(prefix);
}

} // namespace

SComboBoxModel::SComboBoxModel() = default;

// ---- colour rules ----

ColorValue SComboBoxModel::lightened(ColorValue c, int k)
{
    k = std::clamp(k, 0, 255);
    auto part = [k](int v) { return k + (255 - k) * v / 255; };
    return rgb(part(redOf(c)), part(greenOf(c)), part(blueOf(c)));
}

ColorValue SComboBoxModel::brightened(ColorValue c)
{
    auto part = [](int v) { return std::min(255, v + 76 - 19 * ((v + 32) / 64)); };
    return rgb(part(redOf(c)), part(greenOf(c)), part(blueOf(c)));
}

// ---- items ----

void SComboBoxModel::AddItem(const std::string& text, const ItemData& data)
{
    Item item;
    item.text = text.empty() ? " " : text;
    item.enabled = data.enabled;
    item.color = data.enabled ? data.color : DisabledColor;
    item.tag = data.tag;
    item.text2 = data.text2;
    const int newCount = count() + 1;
    const bool free = data.position >= 1 && data.position <= newCount - 1
        && std::none_of(m_items.begin(), m_items.end(), [&](const Item& i) { return i.sortKey == data.position; });
    item.sortKey = free ? data.position : newCount;
    if (item.text.size() > m_longest.size())
        m_longest = item.text;
    m_items.push_back(std::move(item));
    setMaxListLength(count());
    if (onTotalItems)
        onTotalItems(count());
    redraw();
}

void SComboBoxModel::ChangeItem(int index, const std::string& text, const ItemData& data)
{
    if (index < 1 || index > count())
        return;
    Item& item = m_items[index - 1];
    item.text = text.empty() ? " " : text;
    item.enabled = data.enabled;
    item.color = data.enabled ? data.color : lightened(DisabledColor, 176);
    item.tag = data.tag;
    item.text2 = data.text2;
    const bool free = data.position >= 1 && data.position <= count() - 1
        && std::none_of(m_items.begin(), m_items.end(), [&](const Item& i) { return i.sortKey == data.position; });
    if (free)
        item.sortKey = data.position;
    if (item.text.size() > m_longest.size())
        m_longest = item.text;
    redraw();
}

void SComboBoxModel::RemoveItem(int index)
{
    if (m_items.empty() || index < 1 || index > count())
        return;
    m_items.erase(m_items.begin() + (index - 1));
    for (int i = 0; i < count(); ++i)
        m_items[i].sortKey = i + 1;
    // The selection and highlight keep to their items.
    auto follow = [index](int& at) {
        if (at == index)
            at = -1;
        else if (at > index)
            --at;
    };
    follow(m_selected);
    follow(m_highlighted);
    m_longest.clear();
    for (const auto& i : m_items)
        if (i.text.size() > m_longest.size())
            m_longest = i.text;
    if (m_maxListLength > count())
        m_maxListLength = ListCount();
    m_scroll = std::clamp(m_scroll, 0, scrollMax());
    if (onTotalItems)
        onTotalItems(count());
    redraw();
}

void SComboBoxModel::Clear()
{
    m_items.clear();
    m_longest.clear();
    m_selected = -1;
    m_highlighted = -1;
    m_scroll = 0;
    m_text.clear();
    if (m_maxListLength > 0)
        m_maxListLength = -1;
    showText({m_text, 0, 0});
    if (onTotalItems)
        onTotalItems(0);
    redraw();
}

void SComboBoxModel::ItemEnabled(int index, bool enabled)
{
    if (index < 1 || index > count())
        return;
    m_items[index - 1].enabled = enabled;
    redraw();
}

std::string SComboBoxModel::List(int index)
{
    if (index < 1 || index > count())
        return {};
    m_selected = m_highlighted = index;
    keepVisible(index);
    redraw();
    return m_items[index - 1].text;
}

int SComboBoxModel::FindItemText(const std::string& text, int compare) const
{
    if (text.empty() || compare < 0 || compare > 2)
        return -1;
    const std::string wanted = lower(text);
    for (int i = 0; i < count(); ++i) {
        const std::string& t = m_items[i].text;
        const bool match = compare == 0 ? lower(t).find(wanted) != std::string::npos
            : compare == 1             ? lower(t) == wanted
                                       : t == text;
        if (match)
            return i + 1;
    }
    return -1;
}

void SComboBoxModel::OrderList(int order)
{
    if (order != 1 && order != 2)
        return;
    const Item* selected = m_selected >= 1 ? &m_items[m_selected - 1] : nullptr;
    const std::string selectedText = selected ? selected->text : std::string();
    // Each position in turn receives the smallest (largest) of the rest.
    for (int i = 0; i < count(); ++i) {
        int best = i;
        for (int j = i + 1; j < count(); ++j) {
            const bool better = order == 2 ? m_items[j].text < m_items[best].text : m_items[j].text > m_items[best].text;
            if (better)
                best = j;
        }
        if (best != i)
            std::swap(m_items[i], m_items[best]);
    }
    if (selected) {
        m_selected = FindItemText(selectedText, 2);
        m_highlighted = m_selected;
    }
    redraw();
}

std::string SComboBoxModel::ItemTag(int index) const
{
    if (index < 1 || index > count())
        return {};
    return m_items[index - 1].tag;
}

std::string SComboBoxModel::GetControlVersion() const
{
    const auto now = std::chrono::system_clock::now();
    const auto ymd = std::chrono::year_month_day(std::chrono::floor<std::chrono::days>(now));
    return "SComboBox 1.0 (c) " + std::to_string(int(ymd.year())) + " Sonaveil";
}

const SComboBoxModel::Item* SComboBoxModel::item(int index) const
{
    if (index < 1 || index > count())
        return nullptr;
    return &m_items[index - 1];
}

// ---- selection and text ----

int SComboBoxModel::ListIndex()
{
    if (m_items.empty() || m_selected < 1)
        return -1;
    m_text = m_items[m_selected - 1].text;
    showText({m_text, 0, 0});
    return m_selected;
}

void SComboBoxModel::setListIndex(int index)
{
    if (index < 1 || index > count())
        return;
    select(index, true);
    m_text = m_items[index - 1].text;
    showText({m_text, 0, 0});
    redraw();
}

void SComboBoxModel::select(int index, bool scroll)
{
    m_selected = index;
    m_highlighted = index;
    if (scroll && index >= 1)
        keepVisible(index);
}

int SComboBoxModel::selectExactEnabled(const std::string& text) const
{
    for (int i = 0; i < count(); ++i)
        if (m_items[i].enabled && m_items[i].text == text)
            return i + 1;
    return -1;
}

void SComboBoxModel::setText(const std::string& text)
{
    // Showing the text in the edit box selects the item it names; a text the program sets is
    // shown as given, never completed.
    m_text = text;
    const int found = selectExactEnabled(text);
    if (found >= 1)
        select(found, true);
    else
        m_selected = -1;
    showText({m_text, int(m_text.size()), 0});
    redraw();
}

void SComboBoxModel::showText(const EditResult& r)
{
    if (onShowText)
        onShowText(r);
}

SComboBoxModel::EditResult SComboBoxModel::textEdited(const std::string& typed, int lastKey)
{
    EditResult r{typed, int(typed.size()), 0};
    auto selectOrClear = [this](int found) {
        if (found >= 1) {
            select(found, true);
        } else {
            m_selected = -1;
        }
    };
    if (!AutoCompleteWord || lastKey == 8 || lastKey == 46 || typed.empty()) {
        // Deleting must not complete again what the user just took away.
        selectOrClear(selectExactEnabled(typed));
        m_text = typed;
        redraw();
        return r;
    }
    int found = -1;
    for (int i = 0; i < count(); ++i)
        if (m_items[i].enabled && startsWithNoCase(m_items[i].text, typed)) {
            found = i + 1;
            break;
        }
    if (found < 1) {
        m_selected = -1;
        m_text = typed;
        redraw();
        return r;
    }
    r.text = typed + m_items[found - 1].text.substr(typed.size());
    r.selectionStart = int(typed.size());
    r.selectionLength = int(r.text.size() - typed.size());
    selectOrClear(selectExactEnabled(r.text));
    m_text = r.text;
    redraw();
    return r;
}

// ---- list lengths ----

int SComboBoxModel::MaxListLength() const
{
    return m_maxListLength < 0 ? ListCount() : m_maxListLength;
}

void SComboBoxModel::setMaxListLength(int length)
{
    m_maxListLength = (length > 0 && length <= count()) ? length : ListCount();
    m_scroll = std::clamp(m_scroll, 0, std::max(0, scrollMax()));
}

int SComboBoxModel::NumberItemsToShow()
{
    if (m_itemsToShow < 0)
        m_itemsToShow = MaxListLength() > 8 ? 7 : MaxListLength();
    return m_itemsToShow;
}

void SComboBoxModel::setNumberItemsToShow(int rows)
{
    const int maxLength = MaxListLength();
    if (rows > 1 && rows < maxLength)
        m_itemsToShow = rows;
    else
        m_itemsToShow = maxLength > 8 ? maxLength - 8 : ListCount();
}

int SComboBoxModel::scrollMax() const
{
    const int rows = m_itemsToShow < 0 ? (MaxListLength() > 8 ? 7 : MaxListLength()) : m_itemsToShow;
    return std::max(0, MaxListLength() - rows);
}

bool SComboBoxModel::scrollBarShown()
{
    return NumberItemsToShow() < MaxListLength();
}

int SComboBoxModel::visibleRows()
{
    if (m_items.empty())
        return 0;
    const int rows = NumberItemsToShow();
    return count() > rows ? std::max(1, rows) : count();
}

int SComboBoxModel::listHeight()
{
    const int rows = visibleRows();
    return rows == 0 ? kEmptyListHeight : rows * kRowHeight;
}

void SComboBoxModel::keepVisible(int index)
{
    const int rows = std::max(1, visibleRows());
    if (index - 1 < m_scroll)
        m_scroll = index - 1;
    else if (index - 1 >= m_scroll + rows)
        m_scroll = index - rows;
    m_scroll = std::clamp(m_scroll, 0, scrollMax());
}

// ---- looks, opening, mouse ----

void SComboBoxModel::setAppearanceCombo(int look)
{
    m_appearance = std::max(1, look);
    redraw();
}

void SComboBoxModel::setEnabled(bool on)
{
    m_enabled = on;
    if (!on) {
        if (m_open)
            close();
        m_hover = false;
    }
    m_look = on ? (m_hover ? Look::Hover : Look::Normal) : Look::Disabled;
    redraw();
}

void SComboBoxModel::open()
{
    if (m_open || !m_enabled)
        return;
    ListIndex();
    m_highlighted = m_selected;
    NumberItemsToShow();
    m_scroll = std::clamp(m_scroll, 0, scrollMax());
    const int exact = FindItemText(m_text, 2);
    if (exact >= 1) {
        m_selected = m_highlighted = exact;
    }
    if (m_selected >= 1)
        keepVisible(m_selected);
    m_open = true;
    m_look = Look::Open;
    if (onOpenChanged)
        onOpenChanged(true);
    redraw();
}

void SComboBoxModel::close()
{
    if (!m_open)
        return;
    m_open = false;
    m_look = m_enabled ? Look::Hover : Look::Disabled;
    if (onOpenChanged)
        onOpenChanged(false);
    redraw();
}

void SComboBoxModel::pressed(int button)
{
    if (!m_enabled)
        return;
    if (button == 1 && !m_open)
        open();
    else
        close();
}

void SComboBoxModel::setHover(bool over)
{
    m_hover = over;
    if (!m_enabled) {
        m_look = Look::Disabled;
    } else if (!m_open) {
        m_look = over ? Look::Hover : Look::Normal;
    }
    redraw();
}

void SComboBoxModel::focusLost()
{
    // A list left open when the focus goes elsewhere would float over other windows.
    close();
    m_look = !m_enabled ? Look::Disabled : (m_hover ? Look::Hover : Look::Normal);
    redraw();
}

int SComboBoxModel::rowAt(int y) const
{
    if (y < 0)
        return -1;
    return y / kRowHeight + m_scroll + 1;
}

void SComboBoxModel::hoverList(int y)
{
    const int index = rowAt(y);
    if (index < 1 || index > count() || !m_items[index - 1].enabled)
        return;
    if (index != m_highlighted) {
        m_highlighted = index;
        redraw();
    }
}

void SComboBoxModel::clickList(int y)
{
    int index = rowAt(y);
    if (index < 1 || m_items.empty())
        return;
    index = std::min(index, count());
    if (!m_items[index - 1].enabled)
        return;
    select(index, true);
    m_text = m_items[index - 1].text;
    showText({m_text, 0, 0});
    m_open = false;
    m_look = Look::Normal;
    if (onOpenChanged)
        onOpenChanged(false);
    m_hover = true; // the pointer is still near; the hover check decides from here
    redraw();
    if (onSelectionMade)
        onSelectionMade(m_text, index);
}

void SComboBoxModel::scrollTo(int value)
{
    m_scroll = std::clamp(value, 0, scrollMax());
    redraw();
}

bool SComboBoxModel::key(Key key)
{
    if (!m_enabled)
        return false;
    const int rows = std::max(1, NumberItemsToShow());
    auto moveTo = [this](int index) {
        if (m_items.empty())
            return;
        index = std::clamp(index, 1, count());
        // Disabled rows cannot be chosen; step over them in the direction of travel.
        const int dir = index >= m_highlighted ? 1 : -1;
        int i = index;
        while (i >= 1 && i <= count() && !m_items[i - 1].enabled)
            i += dir;
        if (i < 1 || i > count())
            return;
        m_highlighted = i;
        keepVisible(i);
        redraw();
    };
    const int from = m_highlighted >= 1 ? m_highlighted : 0;
    switch (key) {
    case Key::Up: moveTo(from <= 1 ? 1 : from - 1); return true;
    case Key::Down: moveTo(from + 1); return true;
    case Key::PageUp: moveTo(from - rows); return true;
    case Key::PageDown: moveTo(from + rows - 1); return true;
    case Key::Home: moveTo(1); return true;
    case Key::End: moveTo(count()); return true;
    case Key::F4:
        if (m_open)
            close();
        else
            open();
        return true;
    case Key::Enter:
        if (!m_open)
            return false;
        if (m_highlighted >= 1 && m_highlighted <= count() && m_items[m_highlighted - 1].enabled) {
            // Choosing with the keyboard works as a click on the highlighted row.
            clickList((m_highlighted - 1 - m_scroll) * kRowHeight);
            m_look = Look::Hover;
            redraw();
        } else {
            close();
        }
        return true;
    case Key::Escape:
        if (!m_open)
            return false;
        close();
        return true;
    }
    return false;
}

void SComboBoxModel::redraw()
{
    if (onRedraw)
        onRedraw();
}

} // namespace sonaveil::controls
