#include "camera_session.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "exit_status.h"
#include "korvex.h"
#include "ratio_hundredths.h"
#include "stored_ratios.h"

namespace korvex::cli {
namespace {

void PutBack(int16_t device) {
    const StoredRatios stored = ReadStoredRatios(device);
    ZqSetWhiteBalanceRatio(device, Hundredths(stored.blue), Hundredths(stored.red));
}

}  // namespace

int16_t CamerasSeen() {
    const int16_t total = ZqGetDeviceTotal();
    if (total < 0) throw CliError(kExitCamera, "the camera library cannot tell how many cameras there are");
    // The simulated cameras have none only when their list is unusable; an unset or empty list
    // gives the default pair.
    const char* simulated = std::getenv("KORVEX_SIM_CAMERAS");
    if (total == 0 && simulated != nullptr && *simulated != '\0') {
        throw CliError(kExitUsage, std::string("no cameras: KORVEX_SIM_CAMERAS=") + simulated +
                                       " is not a list of simulated cameras (model names, type codes or "
                                       "replay:<folder>, separated by commas)");
    }
    return total;
}

int16_t CountCameras() { return std::min(CamerasSeen(), kMostCameras); }

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
