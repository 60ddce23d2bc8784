#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace sonaveil::player {

// The ten equaliser bands: slider positions 0 … 30, gain = position − 15 dB.
struct EqualiserBands {
    static constexpr std::array<float, 10> kCentresHz = {80, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};
    static constexpr float kBandwidthSemitones = 18.0f;
    static constexpr int kFlatPosition = 15;

    std::array<int, 10> positions{15, 15, 15, 15, 15, 15, 15, 15, 15, 15}; // bands 0 … 9

    static float gainDb(int position) { return float(position - kFlatPosition); }

    // An equaliser preset file: one line of ten integers, band 9 first, then bands 0 … 8.
    std::string toPresetText() const;
    // Reads the ten fields as 16-bit integers (nothing when one is not), each held to 0 … 30.
    static std::optional<EqualiserBands> parsePresetText(std::string_view text);
};

} // namespace sonaveil::player
