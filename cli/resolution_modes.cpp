#include "resolution_modes.h"

#include "korvex.h"

namespace korvex::cli {
namespace {

constexpr int16_t kMostModes = 64;

}  // namespace

std::vector<ResolutionMode> ResolutionModes(int16_t device) {
    std::vector<ResolutionMode> modes;
    for (int16_t mode = 0; mode < kMostModes && ZqSetResolution(device, mode) == 1; ++mode)
        modes.push_back({mode, ZqGetImageWidth(device), ZqGetImageHeight(device)});
    ZqSetResolution(device, 0);
    return modes;
}

std::string ModesText(const std::vector<ResolutionMode>& modes) {
    std::string text;
    for (const ResolutionMode& m : modes)
        text += (text.empty() ? "" : ", ") + std::to_string(m.mode) + ": " + std::to_string(m.width) + "x" +
                std::to_string(m.height);
    return text.empty() ? "none accepted" : text;
}

}  // namespace korvex::cli
