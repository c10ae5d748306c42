// A recording folder: raw frames as 8-bit grey PNG files and a plain-text description.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace korvex::cli {

struct RecordingInfo {
    std::string model;
    int width = 0;
    int height = 0;
    int bayerLayout = 0;                // 1..4, 0 for a monochrome recording
    std::string exposure = "default";   // "10 ms" when the recorder set it
    std::vector<int64_t> timestampsUs;  // one per frame, from 0 at the first
};

// Writes frame-000000.png ... and then recording.txt (last, so that a folder with it is complete)
// into a new, empty folder. frames holds the frames one after the other, width x height bytes
// each. Asks stopRequested before each file and returns false, leaving the folder incomplete,
// when it says yes. Throws CliError(kExitIo) naming the file that could not be written.
bool WriteRecording(const std::filesystem::path& folder, const RecordingInfo& info, const uint8_t* frames,
                    const std::function<bool()>& stopRequested);

// Whether a folder's entries are those of a recording (recording.txt and frame-*.png), so that
// replacing it loses nothing else.
bool HoldsOnlyRecording(const std::filesystem::path& folder);

}  // namespace korvex::cli
