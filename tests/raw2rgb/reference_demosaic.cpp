#include "reference_demosaic.h"

namespace raw2rgb_test {

const char* LayoutCell(int layout) {
    static const char* const cells[] = {"BGGR", "GBRG", "GRBG", "RGGB"};
    return cells[layout - 1];
}

std::vector<std::uint8_t> ReferenceDemosaic(const std::uint8_t* mosaic, int width, int height, int layout,
                                            const std::uint8_t* lutR, const std::uint8_t* lutG,
                                            const std::uint8_t* lutB) {
    const char* cell = LayoutCell(layout);
    auto colour = [&](int x, int y) { return cell[(y % 2) * 2 + (x % 2)]; };
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int own = mosaic[y * width + x];
            // For each wanted colour: own value if it is the site's colour, else the rounded mean
            // of the in-image neighbours of that colour, else own value when there are none.
            auto channel = [&](char wanted) {
                if (colour(x, y) == wanted) return own;
                int sum = 0;
                int n = 0;
                for (int ny = y - 1; ny <= y + 1; ++ny)
                    for (int nx = x - 1; nx <= x + 1; ++nx) {
                        if (nx < 0 || ny < 0 || nx >= width || ny >= height) continue;
                        if (colour(nx, ny) != wanted) continue;
                        sum += mosaic[ny * width + nx];
                        ++n;
                    }
                return n == 0 ? own : (sum + n / 2) / n;
            };
            out.push_back(lutB[channel('B')]);
            out.push_back(lutG[channel('G')]);
            out.push_back(lutR[channel('R')]);
        }
    }
    return out;
}

}  // namespace raw2rgb_test
