#include "synth/endless.h"

namespace sonaveil::synth {

bool hasEndless(int)
{
    return false;
}

std::unique_ptr<audio::Generator> makeEndless(int, std::uint64_t)
{
    return nullptr;
}

} // namespace sonaveil::synth
