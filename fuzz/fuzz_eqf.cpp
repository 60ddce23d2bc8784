// Equaliser presets (.eqf): every band read is a slider position.
#include "player/equaliser/eqpreset.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace sonaveil::player;
    const auto bands = EqualiserBands::parsePresetText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!bands)
        return 0;
    for (int p : bands->positions)
        if (p < 0 || p > 30)
            std::abort();
    return 0;
}
