// The frame files are decoded with stb_image, limited to PNG. The header's bit depth and colour
// type are checked first, since stb_image would quietly widen other kinds to 8-bit grey.
#include "png_reader.h"

#include <cstring>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#include <stb_image.h>

namespace hvsim {
namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kHeaderEnd = 26;  // signature, IHDR length and name, size, bit depth, colour type
constexpr size_t kBitDepthAt = 24, kColourTypeAt = 25;

uint32_t BigEndian32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

bool CheckHeader(const std::vector<uint8_t>& file, int32_t width, int32_t height, std::string& error) {
    if (file.size() < kHeaderEnd || std::memcmp(file.data(), kSignature, sizeof kSignature) != 0 ||
        std::memcmp(file.data() + 12, "IHDR", 4) != 0) {
        error = "is not a PNG file";
        return false;
    }
    if (file[kBitDepthAt] != 8 || file[kColourTypeAt] != 0) {
        error = "is not an 8-bit greyscale PNG (bit depth " + std::to_string(file[kBitDepthAt]) + ", colour type " +
                std::to_string(file[kColourTypeAt]) + ")";
        return false;
    }
    const uint32_t fileWidth = BigEndian32(file.data() + 16), fileHeight = BigEndian32(file.data() + 20);
    if (fileWidth != static_cast<uint32_t>(width) || fileHeight != static_cast<uint32_t>(height)) {
        error = "is " + std::to_string(fileWidth) + "x" + std::to_string(fileHeight) + ", not " +
                std::to_string(width) + "x" + std::to_string(height);
        return false;
    }
    return true;
}

}  // namespace

bool DecodeGreyPng(const std::vector<uint8_t>& file, int32_t width, int32_t height, std::vector<uint8_t>& pixels,
                   std::string& error) {
    if (!CheckHeader(file, width, height, error)) return false;
    int x = 0, y = 0, channels = 0;
    stbi_uc* decoded = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &x, &y, &channels, 1);
    if (decoded == nullptr) {
        error = std::string("cannot be decoded (") + stbi_failure_reason() + ")";
        return false;
    }
    pixels.assign(decoded, decoded + static_cast<size_t>(width) * static_cast<size_t>(height));
    stbi_image_free(decoded);
    return true;
}

}  // namespace hvsim
