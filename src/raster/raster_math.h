#pragma once

// Conversions shared by the raster operations. Every real-to-integer
// conversion of the engine truncates toward zero; values from damaged files
// can be far outside the int range, so they are clamped first instead of
// overflowing.

#include <climits>
#include <cmath>
#include <cstdint>

namespace raster {

inline int TruncToInt(double v) {
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (v <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(v);
}

// Rounds half away from zero, as qRound does, clamped to the int range.
inline int RoundToInt(double v) {
    return TruncToInt(v >= 0 ? v + 0.5 : v - 0.5);
}

inline int ClampToInt(int64_t v) {
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

// One thirtieth as the single-precision constant the offsets and zoom use.
constexpr float kThirtieth = 0.033333335f;

} // namespace raster
