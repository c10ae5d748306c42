// The resolution modes a camera accepts, for `info` and for the message when a mode is refused.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvex::cli {

struct ResolutionMode {
    int16_t mode, width, height;
};

// The modes the camera accepts, tried in order from 0; the camera is left in mode 0.
std::vector<ResolutionMode> ResolutionModes(int16_t device);

// "0: 1280x1024, 1: 640x512", or "none accepted".
std::string ModesText(const std::vector<ResolutionMode>& modes);

}  // namespace korvex::cli
