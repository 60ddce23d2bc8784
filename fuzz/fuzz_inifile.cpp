// Reading a key from, and writing a key into, any settings file.
#include "common/inifile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace sonaveil;
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    IniFile::valueIn(content, "Startup", "Display");
    const std::string written = IniFile::withValue(content, "Startup", "Display", "2");
    // The key just written reads back.
    const auto back = IniFile::valueIn(written, "Startup", "Display");
    if (!back || *back != "2")
        std::abort();
    return 0;
}
