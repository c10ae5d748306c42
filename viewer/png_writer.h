// PNG files through stb_image_write (Debian libstb-dev).
#pragma once

#include <cstdint>
#include <string>

namespace korvex::viewer {

// channels: 1 grey, 3 R,G,B. Returns false when the file could not be written.
bool WritePng(const std::string& path, const uint8_t* pixels, int width, int height, int channels);

// A displayed frame (B,G,R,X) as a PNG file: grey frames as 1 channel, others as R,G,B.
bool WriteBgrxPng(const std::string& path, const uint8_t* bgrx, int width, int height, bool grey);

}  // namespace korvex::viewer
