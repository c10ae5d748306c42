#include "png_file.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace korvex::png {

bool Write(const std::string& path, const uint8_t* pixels, int width, int height, int channels) {
    if (width < 1 || height < 1 || pixels == nullptr) return false;
    return stbi_write_png(path.c_str(), width, height, channels, pixels, width * channels) != 0;
}

std::vector<uint8_t> BgrxToRgb(const uint8_t* bgrx, std::size_t pixelCount) {
    std::vector<uint8_t> rgb(pixelCount * 3);
    for (std::size_t p = 0; p < pixelCount; ++p) {
        rgb[3 * p] = bgrx[4 * p + 2];
        rgb[3 * p + 1] = bgrx[4 * p + 1];
        rgb[3 * p + 2] = bgrx[4 * p];
    }
    return rgb;
}

}  // namespace korvex::png
