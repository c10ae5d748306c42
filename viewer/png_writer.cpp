#include "png_writer.h"

#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace korvex::viewer {

bool WritePng(const std::string& path, const uint8_t* pixels, int width, int height, int channels) {
    if (width < 1 || height < 1 || pixels == nullptr) return false;
    return stbi_write_png(path.c_str(), width, height, channels, pixels, width * channels) != 0;
}

bool WriteBgrxPng(const std::string& path, const uint8_t* bgrx, int width, int height, bool grey) {
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    const int channels = grey ? 1 : 3;
    std::vector<uint8_t> packed(pixels * static_cast<std::size_t>(channels));
    for (std::size_t p = 0; p < pixels; ++p) {
        if (grey) {
            packed[p] = bgrx[4 * p];
            continue;
        }
        packed[3 * p] = bgrx[4 * p + 2];
        packed[3 * p + 1] = bgrx[4 * p + 1];
        packed[3 * p + 2] = bgrx[4 * p];
    }
    return WritePng(path, packed.data(), width, height, channels);
}

}  // namespace korvex::viewer
