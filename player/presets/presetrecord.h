#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sonaveil::player {

class ChannelModel;

// A mix as a preset file holds it: the 35 check states, then the 102 slider positions in the
// order ucSlider1 … ucSlider97, ucSlider99 … ucSlider103.
struct PresetRecord {
    static constexpr int kFieldCount = 137;
    std::array<std::int16_t, 35> checks{};
    std::array<std::int32_t, 102> sliders{};

    // One line: 137 integers separated by commas, ended by CR LF.
    std::string toText() const;
    // Reads the first 137 fields of `text` with the lenient record rule. Every field is checked
    // before anything is returned: a check state must be 0, 1 or 2, a slider position a 32-bit
    // integer, field 137 a 16-bit one. Nothing when any of them is wrong or missing.
    static std::optional<PresetRecord> parse(std::string_view text);

    // The model's current mix.
    static PresetRecord capture(const ChannelModel& model);
    // Applies the record to the model as a load does: check states 1 … 35 (sounds that change
    // start or stop at once), then the slider positions, then every slider's change action in
    // the order 1 … 30, 32, 33 … 97, 99 … 103.
    void applyTo(ChannelModel& model) const;

    bool operator==(const PresetRecord&) const = default;
};

} // namespace sonaveil::player
