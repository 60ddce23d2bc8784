#include "player/colours/colourscheme.h"

#include "common/textrecord.h"

namespace sonaveil::player {

namespace {

constexpr std::int64_t kLargestColour = 0xFFFFFF;

bool validFlag(std::int16_t flag) { return flag == 0 || flag == 1; }

} // namespace

std::string colourText(ColorValue value)
{
    return std::to_string(value);
}

std::optional<ColorValue> colourOf(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    const auto n = fieldToInteger(text);
    if (!n || *n < 0 || *n > kLargestColour)
        return std::nullopt;
    return ColorValue(*n);
}

std::optional<ColorValue> ColourScheme::colour(SchemeColour which) const
{
    switch (which) {
    case SchemeColour::ButtonText:
        if (buttonText < 0 || buttonText > kLargestColour)
            return std::nullopt;
        return ColorValue(buttonText);
    case SchemeColour::ButtonBack: return colourOf(buttonBack);
    case SchemeColour::Rollover: return colourOf(rollover);
    case SchemeColour::Gradient1: return colourOf(gradient1);
    case SchemeColour::Gradient2: return colourOf(gradient2);
    case SchemeColour::Text: return colourOf(text);
    case SchemeColour::Background: return colourOf(background);
    case SchemeColour::Form: return colourOf(form);
    }
    return std::nullopt;
}

void ColourScheme::setColour(SchemeColour which, ColorValue value)
{
    value &= 0xFFFFFFu;
    switch (which) {
    case SchemeColour::ButtonText: buttonText = std::int32_t(value); break;
    case SchemeColour::ButtonBack: buttonBack = colourText(value); break;
    case SchemeColour::Rollover: rollover = colourText(value); break;
    case SchemeColour::Gradient1: gradient1 = colourText(value); break;
    case SchemeColour::Gradient2: gradient2 = colourText(value); break;
    case SchemeColour::Text: text = colourText(value); break;
    case SchemeColour::Background: background = colourText(value); break;
    case SchemeColour::Form: form = colourText(value); break;
    }
}

std::string SchemeSnapshot::bytes(const ColourScheme& s)
{
    TextRecordWriter w;
    w.integer(s.buttonText)
        .text(s.buttonBack)
        .text(s.rollover)
        .text(s.background)
        .text(s.text)
        .text(s.gradient1)
        .text(s.gradient2)
        .integer(s.palette)
        .text(s.form)
        .integer(s.imageFlag);
    return w.bytes();
}

std::optional<ColourScheme> SchemeSnapshot::parse(std::string_view content)
{
    TextRecordReader r(content);
    const auto f = r.take(10);
    if (!f)
        return std::nullopt;
    const auto buttonText = fieldToInt32((*f)[0]);
    const auto palette = fieldToInt16((*f)[7]);
    const auto flag = fieldToInt16((*f)[9]);
    if (!buttonText || !palette || !ColourScheme::validPalette(*palette) || !flag || !validFlag(*flag))
        return std::nullopt;
    ColourScheme s;
    s.buttonText = *buttonText;
    s.buttonBack = (*f)[1];
    s.rollover = (*f)[2];
    s.background = (*f)[3];
    s.text = (*f)[4];
    s.gradient1 = (*f)[5];
    s.gradient2 = (*f)[6];
    s.palette = *palette;
    s.form = (*f)[8];
    s.imageFlag = *flag;
    return s;
}

std::string SchemeFile::bytes(const ColourScheme& s)
{
    TextRecordWriter w;
    w.text(s.gradient1)
        .text(s.gradient2)
        .text(s.buttonBack)
        .integer(s.buttonText)
        .text(s.form)
        .integer(s.palette)
        .text(s.background)
        .text(s.text)
        .integer(s.imageFlag);
    return w.bytes();
}

SchemeFile::Fields SchemeFile::parse(std::string_view content)
{
    Fields f;
    TextRecordReader r(content);
    auto text = [&r](std::optional<std::string>& into) {
        into = r.next();
        return into.has_value();
    };
    if (!text(f.gradient1) || !text(f.gradient2) || !text(f.buttonBack))
        return f;
    const auto buttonText = r.next();
    if (!buttonText || !(f.buttonText = fieldToInt32(*buttonText)))
        return f;
    if (!text(f.form))
        return f;
    const auto palette = r.next();
    if (!palette || !(f.palette = fieldToInt16(*palette)) || !ColourScheme::validPalette(*f.palette)) {
        f.palette.reset();
        return f;
    }
    if (!text(f.background) || !text(f.text))
        return f;
    const auto box = r.next();
    if (!box || !(f.imageBox = fieldToInt16(*box)) || !validFlag(*f.imageBox)) {
        f.imageBox.reset();
        return f;
    }
    f.complete = true;
    return f;
}

} // namespace sonaveil::player
