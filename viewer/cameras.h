// The cameras the viewer drives: opened together at start, closed together at the end, each
// described once (model, serial number, colour, the resolution modes it accepts).
#pragma once

#include <string>
#include <vector>

namespace korvex::viewer {

struct FrameSize {
    int width = 0;
    int height = 0;
};

struct CameraInfo {
    int device = 0;  // 1..10, as the interface counts
    std::string model;
    std::string serial;
    bool colourSensor = false;     // model names ending in C are Bayer colour sensors
    std::vector<FrameSize> modes;  // resolution modes in list order; mode 0 is set at allocation
};

// Opens every camera the camera library sees, allocates their buffers and sets a zero export
// timeout (the capture threads poll). Returns the cameras, or
// an empty list with the reason in `error`.
std::vector<CameraInfo> OpenCameras(std::string& error);

// Closes every camera (the adapter stores their white-balance ratios, as for any host).
void CloseCameras();

}  // namespace korvex::viewer
