// The player's command line: whatever parses gives back arguments that parse alike.
#include "arguments.h"
#include "player/desktop/commandline.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace sonaveil::player;
    const std::vector<std::string> args = argumentsOf(data, size);
    std::string error;
    const auto line = CommandLine::parse(args, error);
    if (!line)
        return 0;
    const auto again = CommandLine::parse(line->arguments(), error);
    if (!again || again->steps != line->steps || again->tray != line->tray)
        std::abort();
    return 0;
}
