// The camera list as KORVEX_SIM_CAMERAS and hvsim_configure give it: comma-separated entries,
// each a model name (any letter case), a decimal type code, or replay:<folder> for a recording
// replayed as a camera, optionally followed by @unplug=<N>ms or @unplug=<N>frames: the camera is
// unplugged N milliseconds after its first capture start, or in place of its frame number N.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "recording.h"

namespace hvsim {

constexpr size_t kMaxCameras = 16;

struct CameraEntry {
    int32_t typeCode = 0;
    std::shared_ptr<const Recording> recording;  // null for a simulated camera
    int64_t unplugAfterMs = -1;                  // -1: not unplugged by the list
    int64_t unplugAtFrame = -1;
};

// Reads every entry of text (empty text: none). False, with a message that names the unusable
// entry and what would be accepted, when any entry cannot be used.
bool ParseCameraList(const std::string& text, std::vector<CameraEntry>& entries, std::string& error);

}  // namespace hvsim
