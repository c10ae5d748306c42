// Bayer layouts: which colour each site of the mosaic carries.
#pragma once

#include <cstdint>

namespace raw2rgb {

// A colour's value is also its byte offset in an output pixel, which is stored B, G, R.
enum class Colour : std::uint8_t { Blue = 0, Green = 1, Red = 2 };

inline constexpr int kChannels = 3;

// The mosaic repeats a 2 x 2 cell; cell[y & 1][x & 1] is the colour of site (x, y).
struct BayerLayout {
    Colour cell[2][2];

    [[nodiscard]] constexpr Colour At(int x, int y) const { return cell[y & 1][x & 1]; }
};

// Layout codes 1..4 name the top-left cell: 1 = B G / G R, 2 = G B / R G, 3 = G R / B G,
// 4 = R G / G B. Returns false, leaving *layout untouched, for any other code.
[[nodiscard]] bool LayoutFromCode(std::int32_t code, BayerLayout* layout);

}  // namespace raw2rgb
