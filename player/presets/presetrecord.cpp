#include "player/presets/presetrecord.h"

#include "common/textrecord.h"
#include "player/core/channelmodel.h"

namespace sonaveil::player {

std::string PresetRecord::toText() const
{
    TextRecordWriter w;
    for (std::int16_t c : checks)
        w.integer(c);
    for (std::int32_t s : sliders)
        w.integer(s);
    return w.bytes();
}

std::optional<PresetRecord> PresetRecord::parse(std::string_view text)
{
    TextRecordReader reader(text);
    const auto fields = reader.take(kFieldCount);
    if (!fields)
        return std::nullopt;
    PresetRecord record;
    for (std::size_t i = 0; i < record.checks.size(); ++i) {
        const auto v = fieldToInt16((*fields)[i]);
        if (!v || *v < 0 || *v > 2)
            return std::nullopt;
        record.checks[i] = *v;
    }
    for (std::size_t i = 0; i < record.sliders.size(); ++i) {
        const std::string& field = (*fields)[record.checks.size() + i];
        const bool last = i + 1 == record.sliders.size();
        std::optional<std::int32_t> v = fieldToInt32(field);
        if (last && !fieldToInt16(field))
            v.reset(); // the last position is read as a 16-bit integer
        if (!v)
            return std::nullopt;
        record.sliders[i] = *v;
    }
    return record;
}

PresetRecord PresetRecord::capture(const ChannelModel& model)
{
    PresetRecord record;
    for (int s = 1; s <= kSoundCount; ++s)
        record.checks[std::size_t(s - 1)] = std::int16_t(model.check(s));
    const auto& order = catalogue::sliderRecordOrder();
    for (std::size_t i = 0; i < order.size(); ++i)
        record.sliders[i] = model.slider(order[i]);
    return record;
}

void PresetRecord::applyTo(ChannelModel& model) const
{
    for (int s = 1; s <= kSoundCount; ++s)
        model.setCheck(s, CheckState(checks[std::size_t(s - 1)]));
    const auto& order = catalogue::sliderRecordOrder();
    for (std::size_t i = 0; i < order.size(); ++i)
        model.setSlider(order[i], sliders[i]);
    for (int slider : order)
        if (slider != kUnusedSlider)
            model.runSliderUpdate(slider);
}

} // namespace sonaveil::player
