#pragma once

#include <cmath>
#include <cstdint>

namespace sonaveil {

// Nearest integer, halves going to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
// Written out rather than relying on the floating-point environment's rounding mode.
inline std::int64_t roundHalfEven(double x)
{
    const double lower = std::floor(x);
    const double diff = x - lower;
    std::int64_t r = static_cast<std::int64_t>(lower);
    if (diff > 0.5 || (diff == 0.5 && (r % 2 != 0)))
        ++r;
    return r;
}

} // namespace sonaveil
