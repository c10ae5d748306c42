// The set-up that snap, stream and record share: check the options, find and open the camera,
// read what it is, send the settings and learn the frame size.
#pragma once

#include <cstdint>

#include "camera_identity.h"
#include "camera_session.h"
#include "capture_options.h"

namespace korvex::cli {

// A camera opened and set as the options ask, not yet capturing. Throws CliError: kExitUsage for
// options the parser cannot check, kExitCamera for a missing camera or a refused setting.
struct PreparedCamera {
    explicit PreparedCamera(const CaptureOptions& options);

    // Starts continuous capture; throws CliError(kExitCamera).
    void Start() { session.StartCapture(device); }

    // In this order: the camera is checked, then opened, then read and set.
    const int16_t device;
    CameraSession session;
    const CameraIdentity identity;
    const FrameSize size;
    const bool colour;  // whether exports ask for colour
};

}  // namespace korvex::cli
