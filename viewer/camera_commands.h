// Each control's setting, applied through the exported functions on the camera's capture
// thread; what came of it ("gain set") becomes the camera's latest result line.
#pragma once

#include "viewer_state.h"

namespace korvex::viewer {

void ShowCamera(ViewerState& state, std::size_t cameraIndex);
void HideCamera(ViewerState& state, std::size_t viewIndex);

void ApplyExposure(CameraView& view);
void ApplyGain(CameraView& view);
void ApplyChannelGain(CameraView& view, int channel);
void ApplyMode(CameraView& view);    // the window becomes the whole mode
void ApplyWindow(CameraView& view);  // frames then have the window's size
void ApplyColour(CameraView& view);  // colour or grey, Bayer layout
void ApplyWhiteBalance(CameraView& view);
void AutoWhiteBalance(CameraView& view);
void ApplyGamma(CameraView& view);
void ResetColourTables(CameraView& view);
void ApplyCrossHair(ViewerState& state);  // one for all cameras

// Pauses or resumes every camera shown.
void TogglePause(ViewerState& state);
// Writes the frame on show as <folder>/korvex-<device>-<n>.png, n the first number free, and
// says where (or why not) on the panel and the terminal.
void Snapshot(ViewerState& state, CameraView& view);
// Starts a recording, or stops it and writes it into <folder>/korvex-<device>-recording-<n>.
void ToggleRecording(ViewerState& state, CameraView& view);

}  // namespace korvex::viewer
