// The viewer's state: the cameras, the ones shown (each with its stream, the settings its
// controls last applied and its texture), and what holds for all cameras.
#pragma once

#include <SDL.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "camera_stream.h"
#include "cameras.h"
#include "imgui.h"

namespace korvex::viewer {

// The settings as last applied: the interface cannot read them back. The white-balance ratios
// start at the stored ones, which the adapter applied at open.
struct CameraSettings {
    int exposureValue = 10;
    int exposureUnit = 1;  // 0 µs, 1 ms, 2 s, as ZqSetShutter takes it
    int gain = 16;         // all channels
    std::array<int, 4> channelGain = {16, 16, 16, 16};
    int mode = 0;
    std::array<int, 4> window = {0, 0, 0, 0};  // left, top, width, height within the mode
    bool colour = false;
    int layout = 1;
    float whiteBalanceRed = 1.0f;
    float whiteBalanceBlue = 1.0f;
    bool whiteBalanceAuto = false;  // the latest ratios came from the estimate (not readable)
    int gamma = 10;                 // tenths, as ZqSetGamma takes it
};

// The cross-hair is one for all cameras.
struct CrossHair {
    bool on = false;
    int x = 600, y = 472, width = 80, height = 80, thickness = 3;
};

struct CameraView {
    std::unique_ptr<CameraStream> stream;
    CameraSettings settings;
    DisplayFrame frame;
    long framesShown = 0;
    SDL_Texture* texture = nullptr;
    FrameSize textureSize;
    ImVec2 imageMin, imageMax;  // where the image was drawn in the latest frame
    bool drawingWindow = false;
    ImVec2 dragStart;        // in frame pixels, while a window is being drawn
    std::string saveResult;  // where the latest snapshot went, or why it did not
};

inline constexpr int kExitSaveFailed = 4;  // as the tool's exit code for a file not written

struct ViewerState {
    std::vector<CameraInfo> cameras;
    std::vector<std::unique_ptr<CameraView>> views;  // the cameras shown, left to right
    std::size_t active = 0;                          // the view whose controls are shown
    CrossHair crossHair;
    bool paused = false;
    bool markClipped = false;
    bool quit = false;
    int exitCode = 0;  // kExitSaveFailed once a snapshot or recording was not written
    std::string outputFolder = ".";
};

}  // namespace korvex::viewer
