// The player's command line: whatever parses gives back arguments that parse alike.
#include "player/desktop/commandline.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace sonaveil::player;
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += char(data[i]);
    }
    std::string error;
    const auto line = CommandLine::parse(args, error);
    if (!line)
        return 0;
    const auto again = CommandLine::parse(line->arguments(), error);
    if (!again || again->steps != line->steps || again->tray != line->tray)
        std::abort();
    return 0;
}
