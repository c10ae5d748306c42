// Grey-world white-balance estimate over 3-byte B, G, R pixels.
#pragma once

#include <cstddef>
#include <cstdint>

namespace raw2rgb {

// Pixels with any channel at or above this are clipped and take no part in the estimate.
inline constexpr std::uint8_t kClippedLevel = 250;
// Pixels with every channel below this are near black and take no part either.
inline constexpr std::uint8_t kBlackLevel = 10;

struct WhiteBalance {
    double red;
    double green;
    double blue;
};

// Ratios that equalise the channel means of the usable pixels, green fixed at 1.0:
// red = meanG / meanR, blue = meanG / meanB. Returns false, and neutral ratios 1.0, when no pixel
// is usable or a channel's mean over the usable pixels is zero.
bool EstimateWhiteBalance(const std::uint8_t* bgr, std::size_t pixels, WhiteBalance* result);

}  // namespace raw2rgb
