// quietdeck-render's command line: the input split at NUL bytes into arguments.
#include "tools/quietdeck-render/renderoptions.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace sonaveil::render;
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += char(data[i]);
    }
    std::string error;
    const auto options = parseRenderOptions(args, error);
    if (options && (!std::isfinite(options->seconds) || options->seconds <= 0 || options->seconds > 86400))
        std::abort();
    return 0;
}
