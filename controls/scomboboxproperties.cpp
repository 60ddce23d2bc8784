#include "controls/scomboboxmodel.h"

// The properties a SComboBox keeps in its container's stored layout.

namespace sonaveil::controls {

namespace {

struct ColorProperty {
    const char* name;
    ColorValue SComboBoxModel::*member;
    ColorValue fallback;
};

const ColorProperty kColors[] = {
    {"ArrowColor", &SComboBoxModel::ArrowColor, rgb(49, 106, 197)},
    {"BackColor", &SComboBoxModel::BackColor, rgb(255, 255, 255)},
    {"DisabledColor", &SComboBoxModel::DisabledColor, rgb(128, 128, 128)},
    {"GradientColor1", &SComboBoxModel::GradientColor1, rgb(120, 178, 218)},
    {"GradientColor2", &SComboBoxModel::GradientColor2, rgb(158, 221, 255)},
    {"HighLightBorderColor", &SComboBoxModel::HighLightBorderColor, rgb(49, 106, 197)},
    {"HighLightColorText", &SComboBoxModel::HighLightColorText, rgb(255, 255, 255)},
    {"ListColor", &SComboBoxModel::ListColor, rgb(255, 255, 255)},
    {"NormalBorderColor", &SComboBoxModel::NormalBorderColor, rgb(239, 237, 222)},
    {"NormalColorText", &SComboBoxModel::NormalColorText, rgb(49, 106, 197)},
    {"SelectBorderColor", &SComboBoxModel::SelectBorderColor, rgb(49, 106, 197)},
    {"SelectListBorderColor", &SComboBoxModel::SelectListBorderColor, rgb(8, 36, 107)},
    {"SelectListColor", &SComboBoxModel::SelectListColor, rgb(49, 106, 197)},
    {"ShadowColorText", &SComboBoxModel::ShadowColorText, rgb(105, 105, 105)},
};

struct IntProperty {
    const char* name;
    int SComboBoxModel::*member;
    int fallback;
};

const IntProperty kIntegers[] = {
    {"Alignment", &SComboBoxModel::Alignment, 0},
    {"ListPositionShow", &SComboBoxModel::ListPositionShow, 0},
    {"MousePointer", &SComboBoxModel::MousePointer, 0},
    {"OfficeAppearance", &SComboBoxModel::OfficeAppearance, 0},
    {"XpAppearance", &SComboBoxModel::XpAppearance, 1},
    {"Style", &SComboBoxModel::Style, 0},
};

} // namespace

void SComboBoxModel::readProperties(const PropertyBag& bag, const std::string& containerName)
{
    for (const auto& p : kColors)
        this->*p.member = ColorValue(bag.readInteger(p.name, p.fallback)) & 0xFFFFFF;
    for (const auto& p : kIntegers)
        this->*p.member = int(bag.readInteger(p.name, p.fallback));
    AutoCompleteWord = bag.readBoolean("AutoCompleteWord", false);
    ListGradient = bag.readBoolean("ListGradient", false);
    Font = bag.readText("Font", "");
    setAppearanceCombo(int(bag.readInteger("AppearanceCombo", 1)));
    setMaxListLength(int(bag.readInteger("MaxListLength", 10)));
    setNumberItemsToShow(int(bag.readInteger("NumberItemsToShow", 7)));
    setEnabled(bag.readBoolean("Enabled", true));
    setText(bag.readText("Text", containerName));
}

void SComboBoxModel::writeProperties(PropertyBag& bag, const std::string& containerName) const
{
    for (const auto& p : kColors)
        if (this->*p.member != p.fallback)
            bag.write(p.name, std::int64_t(this->*p.member));
    for (const auto& p : kIntegers)
        if (this->*p.member != p.fallback)
            bag.write(p.name, std::int64_t(this->*p.member));
    if (AutoCompleteWord)
        bag.write("AutoCompleteWord", true);
    if (ListGradient)
        bag.write("ListGradient", true);
    if (!Font.empty())
        bag.write("Font", Font);
    if (m_appearance != 1)
        bag.write("AppearanceCombo", std::int64_t(m_appearance));
    if (m_maxListLength != 10)
        bag.write("MaxListLength", std::int64_t(m_maxListLength));
    if (m_itemsToShow != 7)
        bag.write("NumberItemsToShow", std::int64_t(m_itemsToShow));
    if (!m_enabled)
        bag.write("Enabled", false);
    if (m_text != containerName)
        bag.write("Text", m_text);
}

} // namespace sonaveil::controls
