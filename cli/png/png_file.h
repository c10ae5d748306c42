// PNG files through stb_image_write: 8-bit grey, or colour from the adapter's B,G,R,0 pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvex::png {

// pixels: rows of width pixels, channels bytes each (1 = grey, 3 = R,G,B), no padding.
bool Write(const std::string& path, const uint8_t* pixels, int width, int height, int channels);

// B,G,R,0 pixels (as the adapter exports colour) to R,G,B.
std::vector<uint8_t> BgrxToRgb(const uint8_t* bgrx, std::size_t pixelCount);

}  // namespace korvex::png
