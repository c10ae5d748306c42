#include "capture_setup.h"

namespace korvex::cli {
namespace {

int16_t CheckedDevice(const CaptureOptions& options) {
    CheckCaptureOptions(options);
    const auto device = static_cast<int16_t>(options.device);
    RequireCamera(device);
    return device;
}

}  // namespace

PreparedCamera::PreparedCamera(const CaptureOptions& options)
    : device(CheckedDevice(options)),
      session(device),
      identity(ReadIdentity(device)),
      size(ApplyCaptureOptions(options, identity.model)),
      colour(WantsColour(options, identity)) {}

}  // namespace korvex::cli
