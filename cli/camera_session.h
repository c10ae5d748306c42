// One use of the cameras from opening to closing: the tool's only owner of adapter state.
#pragma once

#include <cstdint>

#include "settings_file.h"

namespace korvex::cli {

// Opens cameras 1..count (the adapter opens cameras from 1), allocates their buffers, and on
// destruction stops capture and closes them. Throws CliError(kExitCamera) when the cameras
// cannot be opened.
class CameraSession {
public:
    explicit CameraSession(int16_t count);
    ~CameraSession();
    CameraSession(const CameraSession&) = delete;
    CameraSession& operator=(const CameraSession&) = delete;

    // Starts continuous capture on one of the open cameras; throws CliError(kExitCamera).
    void StartCapture(int16_t device);

    // Reads camera device's stored ratios now and, at closing, puts its red and blue ratios back
    // to them, so that the settings file keeps exactly what it held: a white balance chosen for
    // one run stays in it.
    void PutBackStoredWhiteBalance(int16_t device);

private:
    int16_t capturing_ = 0;  // the camera whose capture this session started, 0 for none
    int16_t putBack_ = 0;    // the camera whose stored ratios are put back, 0 for none
    settings::Ratios stored_{};
};

// The number of cameras the camera library sees (the adapter drives the first ten). Throws
// CliError(kExitCamera) when the library cannot tell, and CliError(kExitUsage) when it sees none
// because the simulated cameras' list (KORVEX_SIM_CAMERAS) is not one it can use.
int16_t CamerasSeen();

// Checks that the settings file can be written now, before a white balance is chosen to be saved
// in it; throws CliError(kExitIo) with the system's reason.
void RequireWritableSettings();

// CamerasSeen, at most the adapter's ten.
int16_t CountCameras();

inline constexpr int16_t kMostCameras = 10;

// Checks that camera device is one of those seen; throws CliError(kExitCamera) naming it.
void RequireCamera(int16_t device);

}  // namespace korvex::cli
