// quietdeck-render's command line: the input split at NUL bytes into arguments.
#include "arguments.h"
#include "tools/quietdeck-render/renderoptions.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace sonaveil::render;
    const std::vector<std::string> args = argumentsOf(data, size);
    std::string error;
    const auto options = parseRenderOptions(args, error);
    if (options && (!std::isfinite(options->seconds) || options->seconds <= 0 || options->seconds > 86400))
        std::abort();
    return 0;
}
