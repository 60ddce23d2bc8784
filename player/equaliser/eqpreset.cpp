#include "player/equaliser/eqpreset.h"

#include "common/textrecord.h"

#include <algorithm>

namespace sonaveil::player {

std::string EqualiserBands::toPresetText() const
{
    TextRecordWriter w;
    w.integer(positions[9]);
    for (int band = 0; band < 9; ++band)
        w.integer(positions[std::size_t(band)]);
    return w.bytes();
}

std::optional<EqualiserBands> EqualiserBands::parsePresetText(std::string_view text)
{
    TextRecordReader reader(text);
    const auto fields = reader.take(10);
    if (!fields)
        return std::nullopt;
    EqualiserBands bands;
    for (int i = 0; i < 10; ++i) {
        const auto v = fieldToInt16((*fields)[std::size_t(i)]);
        if (!v)
            return std::nullopt;
        // Set on a band's slider a position is held to the slider's range; so it is here, where
        // it may go to the filters directly.
        bands.positions[std::size_t(i == 0 ? 9 : i - 1)] = std::clamp(int(*v), 0, 2 * kFlatPosition);
    }
    return bands;
}

} // namespace sonaveil::player
