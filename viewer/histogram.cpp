#include "histogram.h"

namespace korvex::viewer {

Histogram MakeHistogram(const uint8_t* bgrx, std::size_t pixelCount, bool grey) {
    Histogram histogram;
    histogram.channels = grey ? 1 : 3;
    histogram.pixels = pixelCount;
    std::array<std::array<std::size_t, 256>, 3> counts{};
    // Channel 0 is red (byte 2), 1 green (byte 1), 2 blue (byte 0); grey is read from byte 0.
    constexpr int kByteOf[3] = {2, 1, 0};
    for (std::size_t p = 0; p < pixelCount; ++p) {
        const uint8_t* pixel = bgrx + 4 * p;
        for (int c = 0; c < histogram.channels; ++c) ++counts[c][pixel[grey ? 0 : kByteOf[c]]];
    }
    if (pixelCount == 0) return histogram;
    const float scale = 1.0f / static_cast<float>(pixelCount);
    for (int c = 0; c < histogram.channels; ++c) {
        for (int v = 0; v < 256; ++v)
            histogram.bins[c][v * Histogram::kBins / 256] += static_cast<float>(counts[c][v]) * scale;
        histogram.clipped[c] = counts[c][255];
    }
    return histogram;
}

}  // namespace korvex::viewer
