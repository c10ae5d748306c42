#include "cameras.h"

#include <cstdint>
#include <cstdio>

#include "korvex.h"

namespace korvex::viewer {
namespace {

constexpr int kMaxModes = 16;

std::string Text(const uint8_t* bytes, std::size_t size) {
    std::size_t length = 0;
    while (length < size && bytes[length] != 0) ++length;
    return std::string(reinterpret_cast<const char*>(bytes), length);
}

// The interface cannot list the modes, so each is tried in turn until the camera refuses one;
// the camera is left in mode 0, where allocation put it. A size the interface's 16-bit numbers
// cannot carry comes back below 1: such a camera gets no modes and a note in `refusal`.
std::vector<FrameSize> ProbeModes(int16_t device, std::string& refusal) {
    std::vector<FrameSize> modes;
    for (int16_t mode = 0; mode < kMaxModes; ++mode) {
        if (ZqSetResolution(device, mode) != 1) break;
        const FrameSize size{ZqGetImageWidth(device), ZqGetImageHeight(device)};
        if (size.width < 1 || size.height < 1) {
            refusal = "camera " + std::to_string(device) + " not shown: its frames in mode " + std::to_string(mode) +
                      " are wider or taller than the 32767 pixels the interface can describe";
            return {};
        }
        modes.push_back(size);
    }
    if (!modes.empty()) ZqSetResolution(device, 0);
    return modes;
}

CameraInfo Describe(int16_t device) {
    CameraInfo info;
    info.device = device;
    uint8_t model[10] = {};
    uint8_t serial[30] = {};
    ZqGetDeviceType(device, model);
    ZqGetDeviceSeriesNum(device, serial);
    info.model = Text(model, sizeof model);
    info.serial = Text(serial, sizeof serial);
    info.colourSensor = !info.model.empty() && info.model.back() == 'C';
    std::string refusal;
    info.modes = ProbeModes(device, refusal);
    if (!refusal.empty()) std::fprintf(stderr, "korvex-viewer: %s\n", refusal.c_str());
    return info;
}

}  // namespace

std::vector<CameraInfo> OpenCameras(std::string& error) {
    const int16_t total = ZqGetDeviceTotal();
    if (total < 1) {
        error = "no camera found";
        return {};
    }
    const int16_t count = total > 10 ? int16_t{10} : total;
    if (ZqOpenDevice(count) != 1 || ZqAllocateResources() != 1) {
        error = "the cameras could not be opened";
        ZqCloseDevice();
        return {};
    }
    std::vector<CameraInfo> cameras;
    for (int16_t device = 1; device <= count; ++device) {
        CameraInfo info = Describe(device);
        if (!info.modes.empty()) cameras.push_back(std::move(info));
    }
    if (cameras.empty()) error = "no camera can be shown";
    // Exports poll, so that an export's time is that of a frame that is ready, not of the wait.
    ZqSetTimeout(0);
    return cameras;
}

void CloseCameras() { ZqCloseDevice(); }

}  // namespace korvex::viewer
