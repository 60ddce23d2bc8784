#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace sonaveil::audio {

// Float samples (-1 … 1) to signed 16-bit, as the sound server's own conversion does: scaled
// by 32768, rounded to the nearest step (ties to even), clipped to -32768 … 32767. A NaN, which
// only a broken filter could make, becomes silence rather than a full-scale click.
inline std::int16_t toPcm16(float sample)
{
    float scaled = sample * 32768.0f;
    if (!(scaled == scaled))
        return 0;
    scaled = scaled < 32767.0f ? scaled : 32767.0f;
    scaled = scaled > -32768.0f ? scaled : -32768.0f;
    return static_cast<std::int16_t>(std::nearbyint(scaled));
}

inline void toPcm16(const float* in, std::int16_t* out, std::size_t samples)
{
    for (std::size_t i = 0; i < samples; ++i)
        out[i] = toPcm16(in[i]);
}

} // namespace sonaveil::audio
