// Automatic and manual white balance: ratios and the colour tables built from them.
#include <cmath>
#include <cstddef>

#include "Raw2Rgb.h"
#include "colour/colour.h"
#include "registry/colour_tables.h"
#include "registry/device_table.h"
#include "registry/frame_buffers.h"

namespace korvex {
namespace {

constexpr double kHundredth = 0.01;  // hundredths become factors by this multiplication

// A frame of at least one pixel that the buffers hold.
bool FitsBuffers(int32_t width, int32_t height, const FrameBuffers& buffers) {
    return width > 0 && height > 0 && HoldsFrame(buffers, width, height);
}

// Converts the newest raw frame with identity tables, as the latest export saw it, and estimates
// the ratios over the camera's own frame size. False, with the ratios untouched, when there is
// no frame to estimate from or the estimate is not a finite number.
bool EstimateRatios(DeviceSlot& slot) {
    BufferLease lease(slot);
    const FrameBuffers* buffers = lease.get();
    if (buffers == nullptr) return false;
    if (!FitsBuffers(slot.exportWidth, slot.exportHeight, *buffers)) return false;  // no export yet
    if (!FitsBuffers(slot.width, slot.height, *buffers)) return false;
    const int32_t index = slot.lastBufferIndex.load() == 1 ? 1 : 0;
    ConvertBayer2Rgb(buffers->rgbBuffer, buffers->rawBuffers[index], slot.exportWidth, slot.exportHeight, 1,
                     slot.lutR, slot.lutG, slot.lutB, 0, slot.exportLayout);
    double red = 1.0, green = 1.0, blue = 1.0;
    GetWhiteBalanceRatio(buffers->rgbBuffer, slot.width, slot.height, &red, &green, &blue);
    if (!std::isfinite(red) || !std::isfinite(green) || !std::isfinite(blue)) return false;
    slot.ratioR = red;
    slot.ratioG = green;
    slot.ratioB = blue;
    return true;
}

}  // namespace

int16_t AutoWhiteBalance(int16_t device) {
    DeviceSlot* slot = FindSlot(device);
    if (slot == nullptr) return 0;
    // Identity first, so the estimate sees the frame's own colours whatever ratios or gamma the
    // tables held.
    ResetSlotTables(*slot);
    EstimateRatios(*slot);
    BuildSlotTables(*slot);
    return 1;
}

int16_t SetWhiteBalanceRatio(int16_t device, int16_t blue, int16_t red) {
    DeviceSlot* slot = RequireOpen(device);
    if (slot == nullptr) return 0;
    slot->ratioR = red * kHundredth;
    slot->ratioB = blue * kHundredth;
    BuildColourTable(slot->ratioR, slot->lutR);
    BuildColourTable(slot->ratioB, slot->lutB);
    return 1;
}

}  // namespace korvex
