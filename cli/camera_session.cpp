#include "camera_session.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <span>
#include <string>

#include "exit_status.h"
#include "korvex.h"
#include "ratio_hundredths.h"
#include "settings_file.h"

namespace korvex::cli {
namespace {

constexpr int kRed = 0;
constexpr int kBlue = 2;

// The ratio the adapter holds after being given a ratio in hundredths.
double FromHundredths(int16_t hundredths) { return hundredths * 0.01; }

bool StoreAlike(double a, double b) { return settings::FormatStoredRatio(a) == settings::FormatStoredRatio(b); }

settings::Ratios ReadStored(int16_t device) {
    settings::Ratios ratios[settings::kMaxCameras]{};
    settings::ReadStoredRatios(std::span(ratios, static_cast<std::size_t>(device)));
    return ratios[device - 1];
}

// The interface carries red and blue in hundredths and no green, so the close stores the put-back
// ratios rounded. Once closed, the stored three go back exactly, unless the file no longer holds
// the put-back red and blue (another process stored ratios meanwhile).
void RestoreExactly(int16_t device, const settings::Ratios& stored, int16_t redPutBack, int16_t bluePutBack) {
    const int32_t slot = device - 1;
    settings::StoreRatios(std::span(&slot, 1), [&](int32_t, settings::Ratios& now) {
        if (!StoreAlike(now.values[kRed], FromHundredths(redPutBack))) return;
        if (!StoreAlike(now.values[kBlue], FromHundredths(bluePutBack))) return;
        now = stored;  // green too, which the interface cannot set (an automatic balance changes it)
    });
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
    if (putBack_ == 0) {
        ZqCloseDevice();
        return;
    }
    const int16_t red = Hundredths(stored_.values[kRed]);
    const int16_t blue = Hundredths(stored_.values[kBlue]);
    const bool putBack = ZqSetWhiteBalanceRatio(putBack_, blue, red) == 1;
    ZqCloseDevice();
    if (putBack) RestoreExactly(putBack_, stored_, red, blue);
}

void CameraSession::PutBackStoredWhiteBalance(int16_t device) {
    putBack_ = device;
    stored_ = ReadStored(device);
}

void RequireWritableSettings() {
    const settings::Report report = settings::CheckWritable();
    if (report.outcome == settings::Outcome::kWritten) return;
    throw CliError(kExitIo, "--save: cannot write the settings file " + report.path + ": " + report.reason);
}

void CameraSession::StartCapture(int16_t device) {
    if (ZqStartGrab(device) != 1)
        throw CliError(kExitCamera, "camera " + std::to_string(device) + " did not start capture");
    capturing_ = device;
}

}  // namespace korvex::cli
