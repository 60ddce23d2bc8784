#include "audio/output.h"

namespace sonaveil::audio {

std::unique_ptr<Output> makePulseOutput()
{
    return nullptr;
}

std::vector<OutputDevice> listPulseSinks(int)
{
    return {};
}

} // namespace sonaveil::audio
