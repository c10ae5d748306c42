// A small PNG writer for the demo's snapshots: 8-bit grey or 24-bit colour, stored uncompressed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace demo {

// pixels: rows of width pixels, channels bytes each (1 = grey, 3 = R,G,B), no padding.
bool WritePng(const std::string& path, const std::vector<uint8_t>& pixels, int width, int height, int channels);

}  // namespace demo
