// Decoding of the recordings' frame files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hvsim {

// Decodes an 8-bit greyscale PNG of exactly width x height pixels into pixels. False with a
// reason in error for anything else (not a PNG, damaged, colour, 16-bit, another size).
bool DecodeGreyPng(const std::vector<uint8_t>& file, int32_t width, int32_t height, std::vector<uint8_t>& pixels,
                   std::string& error);

}  // namespace hvsim
