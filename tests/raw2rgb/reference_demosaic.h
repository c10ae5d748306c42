// Naive per-pixel bilinear demosaic, written independently of the library, used as the oracle.
#pragma once

#include <cstdint>
#include <vector>

namespace raw2rgb_test {

// Layout code 1..4 to the colours of the top-left 2 x 2 cell, read row by row.
const char* LayoutCell(int layout);

// Writes width * height B, G, R pixels for the mosaic, top row first, through the tables.
std::vector<std::uint8_t> ReferenceDemosaic(const std::uint8_t* mosaic, int width, int height, int layout,
                                            const std::uint8_t* lutR, const std::uint8_t* lutG,
                                            const std::uint8_t* lutB);

}  // namespace raw2rgb_test
