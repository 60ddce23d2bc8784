// The quick-slot list "preset.txt", read from a real file as the player does.
#include "common/atomicfile.h"
#include "player/presets/presetfiles.h"

#include <cstdlib>
#include <fstream>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace sonaveil::player;
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("sonaveil-fuzz-preset-" + std::to_string(::getpid()) + ".txt");
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    QuickSlots slots(file);
    slots.read();
    for (int i = -1; i <= QuickSlots::kCount; ++i)
        slots.caption(i);
    return 0;
}
