// White-balance ratios as the interface takes them.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace korvex::cli {

// A ratio in hundredths, the nearest one within what the interface can carry (1..32767).
inline int16_t Hundredths(double ratio) {
    return static_cast<int16_t>(std::clamp(std::lround(ratio * 100.0), 1L, 32767L));
}

}  // namespace korvex::cli
