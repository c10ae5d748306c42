#include "image_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

#include "replacing_file.h"

// Only the encoders that hand their bytes to a callback: their own file writing checks nothing.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace korvex::image {
namespace {

// The one list of formats: the first extension of each is the one shown.
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

std::string ShownExtensions() {
    std::string list;
    std::optional<Format> previous;
    for (const auto& [name, format] : kExtensions) {
        if (format == previous) continue;  // .jpeg is another name of .jpg
        list += (list.empty() ? "" : ", ") + std::string(name);
        previous = format;
    }
    return list;
}

void ToFile(void* context, void* data, int size) {
    static_cast<ReplacingFile*>(context)->Write(data, static_cast<std::size_t>(size));
}

// The encoder's result: 0 when it could not encode (out of memory).
int Encode(ReplacingFile& file, Format format, const uint8_t* pixels, int width, int height, int channels,
           int quality) {
    switch (format) {
        case Format::kPng:
            return stbi_write_png_to_func(ToFile, &file, width, height, channels, pixels, width * channels);
        case Format::kBmp: return stbi_write_bmp_to_func(ToFile, &file, width, height, channels, pixels);
        case Format::kTga: return stbi_write_tga_to_func(ToFile, &file, width, height, channels, pixels);
        case Format::kJpeg:
            return stbi_write_jpg_to_func(ToFile, &file, width, height, channels, pixels, std::clamp(quality, 1, 100));
    }
    return 0;
}

}  // namespace

std::optional<Format> FormatOfPath(const std::string& path) {
    const std::string extension = LowerExtension(path);
    for (const auto& [name, format] : kExtensions) {
        if (extension == name) return format;
    }
    return std::nullopt;
}

const std::string& FormatList() {
    static const std::string list = ShownExtensions();
    return list;
}

WriteResult WriteImage(const std::string& path, Format format, const uint8_t* pixels, int width, int height,
                       int channels, int quality) {
    if (width < 1 || height < 1 || pixels == nullptr) return {false, "no image to write"};
    ReplacingFile file(path);
    if (Encode(file, format, pixels, width, height, channels, quality) == 0)
        return {false, "the image could not be encoded"};
    return file.Commit();
}

bool Write(const std::string& path, Format format, const uint8_t* pixels, int width, int height, int channels,
           int quality) {
    return WriteImage(path, format, pixels, width, height, channels, quality).written;
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
