// A recording folder, in the format `korvex record` and the viewer write and the simulated cameras
// replay (KORVEX_SIM_CAMERAS=replay:<folder>): frame-000000.png, ... (the raw frames, mosaic or
// grey, as 8-bit grey PNG files) and recording.txt (format=1, model, width, height, bayer_layout
// 0..4, exposure, frames, then "frame=<index> <timestamp_us>" per frame, the time since frame 0 in
// microseconds, as a comment line in the file says).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace korvex::image {

struct RecordingInfo {
    std::string model;
    int width = 0;
    int height = 0;
    int bayerLayout = 0;                // 1..4, 0 for a monochrome recording
    std::string exposure = "default";   // "10 ms" when the recorder set it
    std::string writer;                 // named in the description's comment line when not empty
    std::vector<int64_t> timestampsUs;  // one per frame, from 0 at the first
};

enum class RecordingResult { kWritten, kStopped, kFailed };

struct RecordingOutcome {
    RecordingResult result = RecordingResult::kWritten;
    std::filesystem::path failedFile;  // the file or folder that could not be written, on kFailed
    std::string reason;                // the system's message, when it gave one
};

// Writes frame-000000.png ... and then recording.txt (last, so that a folder with it is complete)
// into folder, creating it, and first removes an earlier recording.txt that would describe the
// frames being replaced. frames holds the frames one after the other, width x height bytes each.
// Asks stopRequested (when given) before each file and returns kStopped, leaving the folder
// incomplete, when it says yes. Throws nothing.
RecordingOutcome WriteRecording(const std::filesystem::path& folder, const RecordingInfo& info, const uint8_t* frames,
                                const std::function<bool()>& stopRequested = {});

}  // namespace korvex::image
