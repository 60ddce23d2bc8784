// Preset files (.svp, previous.tmp): a record that parses writes back to one that parses alike.
#include "player/presets/presetrecord.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace sonaveil::player;
    const auto record = PresetRecord::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!record)
        return 0;
    for (auto c : record->checks)
        if (c < 0 || c > 2)
            std::abort();
    const auto again = PresetRecord::parse(record->toText());
    if (!again || !(*again == *record))
        std::abort();
    return 0;
}
