// A recording folder in the format `korvex record` writes and the simulated cameras replay
// (KORVEX_SIM_CAMERAS=replay:<folder>): frame-000000.png, ... (the raw frames, mosaic or grey, as
// 8-bit grey PNG files) and recording.txt (format=1, model, width, height, bayer_layout 0..4,
// exposure, frames, then "frame=<index> <timestamp_us>" per frame).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvex::viewer {

struct RecordingInfo {
    std::string model;
    int width = 0;
    int height = 0;
    int bayerLayout = 0;                // 1..4, 0 for a monochrome recording
    std::vector<int64_t> timestampsUs;  // one per frame, from 0 at the first
};

// Writes the frames (width x height bytes each, one after the other), then recording.txt last, so
// that a folder holding it is complete. Creates the folder. False when something could not be
// written.
bool WriteRecording(const std::string& folder, const RecordingInfo& info, const uint8_t* frames);

}  // namespace korvex::viewer
