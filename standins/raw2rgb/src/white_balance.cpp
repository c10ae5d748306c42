#include "white_balance.h"

#include <algorithm>

namespace raw2rgb {

bool EstimateWhiteBalance(const std::uint8_t* bgr, std::size_t pixels, WhiteBalance* result) {
    std::uint64_t sumB = 0;
    std::uint64_t sumG = 0;
    std::uint64_t sumR = 0;
    for (std::size_t i = 0; i < pixels; ++i, bgr += 3) {
        const std::uint8_t b = bgr[0];
        const std::uint8_t g = bgr[1];
        const std::uint8_t r = bgr[2];
        const std::uint8_t top = std::max({b, g, r});
        if (top >= kClippedLevel || top < kBlackLevel) continue;
        sumB += b;
        sumG += g;
        sumR += r;
    }
    // The pixel count cancels out of meanG / meanR, so the sums are compared directly.
    if (sumB == 0 || sumG == 0 || sumR == 0) {
        *result = {1.0, 1.0, 1.0};
        return false;
    }
    const auto g = static_cast<double>(sumG);
    *result = {g / static_cast<double>(sumR), 1.0, g / static_cast<double>(sumB)};
    return true;
}

}  // namespace raw2rgb
