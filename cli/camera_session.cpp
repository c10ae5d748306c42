#include "camera_session.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "exit_status.h"
#include "korvex.h"
#include "stored_ratios.h"

namespace korvex::cli {
namespace {

constexpr int16_t kMostCameras = 10;

// The interface takes ratios in hundredths: a stored ratio comes back to the nearest hundredth.
int16_t Hundredths(double ratio) { return static_cast<int16_t>(std::clamp(std::lround(ratio * 100.0), 1L, 32767L)); }

void PutBack(int16_t device) {
    const StoredRatios stored = ReadStoredRatios(device);
    ZqSetWhiteBalanceRatio(device, Hundredths(stored.blue), Hundredths(stored.red));
}

}  // namespace

int16_t CountCameras() {
    const int16_t total = ZqGetDeviceTotal();
    if (total < 0) throw CliError(kExitCamera, "the camera library cannot tell how many cameras there are");
    return std::min(total, kMostCameras);
}

void RequireCamera(int16_t device) {
    const int16_t total = CountCameras();
    if (device > total) {
        throw CliError(kExitCamera,
                       "camera " + std::to_string(device) + " not found: " + std::to_string(total) + " camera(s) seen");
    }
}

CameraSession::CameraSession(int16_t count) {
    // No ZqCloseDevice after a failed open: it would store ratios that were never read.
    if (ZqOpenDevice(count) != 1) {
        throw CliError(kExitCamera, "could not open cameras 1.." + std::to_string(count));
    }
    if (ZqAllocateResources() != 1) {
        ZqCloseDevice();
        throw CliError(kExitCamera, "could not allocate buffers for cameras 1.." + std::to_string(count));
    }
}

CameraSession::~CameraSession() {
    if (capturing_ != 0) ZqStopGrab(capturing_);
    if (putBack_ != 0) PutBack(putBack_);
    ZqCloseDevice();
}

void CameraSession::StartCapture(int16_t device) {
    if (ZqStartGrab(device) != 1)
        throw CliError(kExitCamera, "camera " + std::to_string(device) + " did not start capture");
    capturing_ = device;
}

}  // namespace korvex::cli
