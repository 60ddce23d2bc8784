#include "recorder/capture/wavformat.h"

namespace sonaveil::recorder {

std::optional<WavFormat> formatOfFlag(int flag)
{
    for (const Quality& q : kQualities)
        if (q.flag == flag)
            return q.format;
    return std::nullopt;
}

int flagOfFormat(const WavFormat& format)
{
    for (const Quality& q : kQualities)
        if (q.format == format)
            return q.flag;
    return 0;
}

std::optional<int> qualityIndexOfFlag(int flag)
{
    for (std::size_t i = 0; i < kQualities.size(); ++i)
        if (kQualities[i].flag == flag)
            return int(i);
    return std::nullopt;
}

} // namespace sonaveil::recorder
