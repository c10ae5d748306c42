// Image files through stb_image_write: 8-bit grey or R,G,B pixels as PNG, BMP, TGA or JPEG, the
// format chosen by the file's extension. Every file is written beside its destination, each write
// checked, flushed to the disk and then moved into place: a failed write leaves the destination
// as it was and says why.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvex::image {

enum class Format { kPng, kBmp, kTga, kJpeg };

// The format a file name asks for by its extension (any letter case; .jpeg as .jpg), nothing
// for any other extension.
std::optional<Format> FormatOfPath(const std::string& path);

// The extensions accepted, for messages and help texts: ".png, .bmp, .tga, .jpg".
const std::string& FormatList();

inline constexpr int kDefaultJpegQuality = 90;

// Whether a file was written and, when not, why (the system's message where it gave one).
struct WriteResult {
    bool written = false;
    std::string reason;
};

// pixels: rows of width pixels, channels bytes each (1 = grey, 3 = R,G,B), no padding. quality
// (1..100) applies to JPEG only. A destination that is a link is followed; one that exists and
// is not a regular file (a device, a folder) is refused.
WriteResult WriteImage(const std::string& path, Format format, const uint8_t* pixels, int width, int height,
                       int channels, int quality = kDefaultJpegQuality);

// As WriteImage, true when the file was written.
bool Write(const std::string& path, Format format, const uint8_t* pixels, int width, int height, int channels,
           int quality = kDefaultJpegQuality);

// As Write, the format from the extension; false also for an extension of no format.
bool Write(const std::string& path, const uint8_t* pixels, int width, int height, int channels);

// B,G,R,0 pixels (as the adapter exports colour) to R,G,B.
std::vector<uint8_t> BgrxToRgb(const uint8_t* bgrx, std::size_t pixelCount);

}  // namespace korvex::image
