// A per-channel histogram of a displayed frame, with the clipped pixels (value 255) counted:
// what exposure is set by.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace korvex::viewer {

struct Histogram {
    static constexpr int kBins = 64;                 // four levels a bin: fine enough to set exposure by
    int channels = 0;                                // 3 (R, G, B) for colour frames, 1 for grey
    std::array<std::array<float, kBins>, 3> bins{};  // fraction of the pixels in each bin
    std::array<std::size_t, 3> clipped{};            // pixels at 255, per channel
    std::size_t pixels = 0;
};

// bgrx: pixelCount pixels of B,G,R,X; grey frames have B = G = R.
Histogram MakeHistogram(const uint8_t* bgrx, std::size_t pixelCount, bool grey);

}  // namespace korvex::viewer
