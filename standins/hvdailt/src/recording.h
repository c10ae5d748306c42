// A recording replayed as a camera: a folder of raw frames (frame-000000.png, ...: 8-bit grey PNG
// files of the frame's bytes as the camera delivered them, mosaic or grey) and recording.txt
// (model, size, Bayer layout, exposure and each frame's timestamp, one key=value a line).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hvsim {

struct Recording {
    std::string folder;
    std::string model;  // as the recorder read it; empty for a type without a name
    int32_t width = 0, height = 0;
    int32_t bayerLayout = 0;                   // 1..4 for a colour mosaic, 0 for grey
    std::vector<int64_t> timestampsUs;         // one per frame, never decreasing
    std::vector<std::vector<uint8_t>> frames;  // width x height bytes each
};

// Reads the folder's recording.txt and every frame it lists. Null with a reason in error when the
// folder is not a readable recording.
std::shared_ptr<const Recording> LoadRecording(const std::string& folder, std::string& error);

// Microseconds between the frame numbered frameNumber (counting on across loops) and the one
// before it: the recorded interval, or the mean interval when the recording starts over. 0 for a
// single-frame recording, which has no interval of its own.
int64_t ReplayIntervalUs(const Recording& recording, int64_t frameNumber);

// Writes the window (left, top, width, height) of recorded frame frameNumber modulo the frame
// count, row by row; pixels outside the recording come out 0.
void CopyRecordedWindow(const Recording& recording, int64_t frameNumber, int32_t left, int32_t top, int32_t width,
                        int32_t height, uint8_t* destination);

}  // namespace hvsim
