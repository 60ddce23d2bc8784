// "startup.tmp" as the start-up reads it.
#include "player/presets/playeroptions.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace sonaveil::player;
    const auto stored = StartupFile::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (stored && !(StartupFile::parse(stored->toText()) == stored))
        std::abort();
    return 0;
}
