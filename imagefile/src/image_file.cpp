#include "image_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace korvex::image {
namespace {

constexpr std::array<std::pair<const char*, Format>, 5> kExtensions = {{
    {".png", Format::kPng},
    {".bmp", Format::kBmp},
    {".tga", Format::kTga},
    {".jpg", Format::kJpeg},
    {".jpeg", Format::kJpeg},
}};

std::string LowerExtension(const std::string& path) {
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && slash > dot)) return {};
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

}  // namespace

std::optional<Format> FormatOfPath(const std::string& path) {
    const std::string extension = LowerExtension(path);
    for (const auto& [name, format] : kExtensions) {
        if (extension == name) return format;
    }
    return std::nullopt;
}

const char* FormatList() { return ".png, .bmp, .tga, .jpg"; }

bool Write(const std::string& path, Format format, const uint8_t* pixels, int width, int height, int channels,
           int quality) {
    if (width < 1 || height < 1 || pixels == nullptr) return false;
    const char* file = path.c_str();
    switch (format) {
        case Format::kPng: return stbi_write_png(file, width, height, channels, pixels, width * channels) != 0;
        case Format::kBmp: return stbi_write_bmp(file, width, height, channels, pixels) != 0;
        case Format::kTga: return stbi_write_tga(file, width, height, channels, pixels) != 0;
        case Format::kJpeg:
            return stbi_write_jpg(file, width, height, channels, pixels, std::clamp(quality, 1, 100)) != 0;
    }
    return false;
}

bool Write(const std::string& path, const uint8_t* pixels, int width, int height, int channels) {
    const std::optional<Format> format = FormatOfPath(path);
    return format && Write(path, *format, pixels, width, height, channels);
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

}  // namespace korvex::image
