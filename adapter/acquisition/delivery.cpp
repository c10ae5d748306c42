// Frame delivery: the export of the newest captured frame and the single-frame grab.
//
// Both check the request against the slot's buffers before they do anything else, and write
// exactly width x height pixels. Nothing here allocates: the work happens in the slot's working
// buffer and the host's destination.
#include <cstddef>
#include <cstring>

#include "Raw2Rgb.h"
#include "acquisition/acquisition.h"
#include "acquisition/cross_overlay.h"
#include "acquisition/pixel_rows.h"
#include "registry/device_table.h"
#include "registry/frame_buffers.h"
#include "registry/slot_event.h"

namespace korvex {
namespace {

// The request fits the buffers: sizes not negative, a destination, buffers present and large
// enough for width x height pixels.
bool Fits(const FrameBuffers* buffers, const uint8_t* destination, int16_t width, int16_t height) {
    return buffers != nullptr && destination != nullptr && HoldsFrame(*buffers, width, height);
}

bool CurrentlyFits(DeviceSlot& slot, const uint8_t* destination, int16_t width, int16_t height) {
    BufferLease lease(slot);
    return Fits(lease.get(), destination, width, height);
}

// Writes one frame from raw into destination. colour: demosaic through the slot's tables and
// write B,G,R,0; otherwise grey, one byte a pixel, or v,v,v,0 when a cross is drawn. cross,
// when given, is the cross-hair already clipped to this frame.
void Deliver(DeviceSlot& slot, FrameBuffers& buffers, const uint8_t* raw, uint8_t* destination, int32_t width,
             int32_t height, bool colour, int32_t layout, const CrossSpans* cross) {
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (pixels == 0) return;
    uint8_t* work = buffers.rgbBuffer;
    if (colour) {
        (void)ConvertBayer2Rgb(work, raw, width, height, 1, slot.lutR, slot.lutG, slot.lutB, 0, layout);
    } else {
        std::memcpy(work, raw, pixels);
    }
    if (cross == nullptr) {
        if (colour) {
            pixels::ExpandBgr(work, destination, pixels);
        } else {
            std::memcpy(destination, work, pixels);
        }
        return;
    }
    // Row by row: the picture first, then the row's red run over it.
    const std::size_t rowPixels = static_cast<std::size_t>(width);
    const std::size_t sourceStride = colour ? 3 * rowPixels : rowPixels;
    for (int32_t i = 0; i < height; ++i) {
        const uint8_t* source = work + static_cast<std::size_t>(i) * sourceStride;
        uint8_t* row = destination + static_cast<std::size_t>(i) * 4 * rowPixels;
        if (colour) {
            pixels::ExpandBgr(source, row, rowPixels);
        } else {
            pixels::GreyToBgra(source, row, rowPixels);
        }
        int32_t begin = 0;
        int32_t end = 0;
        cross->ColumnsOfRow(i, begin, end);
        if (begin < end) pixels::FillRed(row + 4 * static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
    }
}

}  // namespace

int16_t ExportImageData(int16_t device, uint8_t* destination, int16_t width, int16_t height, int16_t colour,
                        int16_t layout) {
    DeviceSlot* slot = FindSlot(device);
    if (slot == nullptr) return 0;
    const int32_t clampedLayout = (layout < 1 || layout > 4) ? 1 : layout;
    // A request that cannot be served is refused before it consumes a frame signal.
    if (!CurrentlyFits(*slot, destination, width, height)) return 0;

    // The wait holds a reference to the event of its own and nothing else, so that stop and
    // close never wait for it. No event (not capturing) means no wait.
    const platform::FrameEvent event = HoldSlotEvent(*slot);
    const platform::WaitResult waited =
        event != 0 ? platform::WaitFrameEvent(event, static_cast<uint32_t>(Table().waitTimeoutMs.load()))
                   : platform::WaitResult::Failed;
    platform::CloseFrameEvent(event);
    if (waited == platform::WaitResult::TimedOut) return -1;

    // The camera may have been closed during the wait; close detaches the buffers before it
    // wakes us, so a closed camera shows up here as missing buffers.
    BufferLease lease(*slot);
    FrameBuffers* buffers = lease.get();
    if (!Fits(buffers, destination, width, height)) return 0;

    slot->exportHeight = height;
    slot->exportWidth = width;
    slot->exportLayout = clampedLayout;
    const bool crossOn = Table().cross.enabled.load() == 1;
    const int32_t index = slot->lastBufferIndex.load() == 1 ? 1 : 0;
    CrossSpans spans{};
    if (crossOn) spans = ClipCross(CurrentCrossParams(), width, height);
    Deliver(*slot, *buffers, buffers->rawBuffers[index], destination, width, height, colour == 1, clampedLayout,
            crossOn ? &spans : nullptr);
    return 1;
}

int16_t GrabSingle(int16_t device, uint8_t* destination, int16_t width, int16_t height, int16_t colour,
                   int16_t layout) {
    DeviceSlot* slot = RequireOpen(device);
    if (slot == nullptr) return 0;
    BufferLease lease(*slot);
    FrameBuffers* buffers = lease.get();
    if (!Fits(buffers, destination, width, height)) return 0;
    const HVSTATUS status = HVSnapShot(slot->handle, buffers->rawBuffers, 1);
    // A failed snap still delivers what raw buffer 0 holds. The layout goes to the converter
    // as given, and a grab never draws the cross-hair.
    Deliver(*slot, *buffers, buffers->rawBuffers[0], destination, width, height, colour == 1, layout, nullptr);
    return status == 0 ? 1 : 0;
}

}  // namespace korvex
