// The library's whole state: ten camera slots, the device count, the frame wait and the cross-hair.
//
// Slot life (capture lies on top of Open and Allocated):
//
//   state      handle    buffers    entered by
//   Closed     0         none       load; ZqCloseDevice
//   Open       non-zero  none       ZqOpenDevice (cameras 1..n); ZqRestatDevice
//   Allocated  non-zero  all three  ZqAllocateResources
//   Capturing  non-zero  all three  ZqStartGrab (frameEvent set); left by ZqStopGrab
//
// Everything is fixed-size and static: nothing here is created or destroyed at run time except
// the frame buffers and the frame event that a slot points to.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "HVDAILT.h"
#include "platform/frame_event.h"
#include "registry/colour_tables.h"

namespace korvex {

inline constexpr int kSlotCount = 10;
inline constexpr int32_t kDefaultWaitTimeoutMs = 5000;

// The three pixel buffers of an allocated camera, in one block so that a reader sees a
// consistent set. rawBuffers stays at a fixed address for as long as the block lives, because
// the camera library keeps the array it was handed for capture.
struct FrameBuffers {
    std::size_t pixelCapacity;  // width x height at allocation: what each raw buffer holds
    uint8_t* rgbBuffer;         // pixelCapacity x 3 bytes, B,G,R as the converter writes them
    uint8_t* rawBuffers[2];     // pixelCapacity bytes each: Bayer mosaic or grey
};

struct DeviceSlot {
    HHV handle;  // 0: the camera is not open

    // Shared with the snap callbacks, which run on the camera library's threads.
    std::atomic<platform::FrameEvent> frameEvent;
    std::atomic<int32_t> lastBufferIndex;
    std::atomic<int32_t> eventUsers;  // callbacks and waiters that are taking hold of frameEvent
    bool capturing;                   // HVStartSnap was called and ZqStopGrab has not run

    // Recorded by the latest export that passed its wait; read by automatic white balance.
    int32_t exportLayout;
    int32_t exportHeight;
    int32_t exportWidth;

    int32_t resolutionMode;
    int32_t height;
    int32_t width;  // current row length: resolution width, or the window width

    // Null when the camera has no buffers. Readers hold bufferUsers while they use them, so that
    // closing can detach the block and wait for them before it frees it.
    std::atomic<FrameBuffers*> buffers;
    std::atomic<int32_t> bufferUsers;

    // Colour: host threads change the ratios and the tables only inside a ColourTablesChange turn;
    // conversions take the published tables through HeldColourTables (registry/colour_tables.h).
    double ratioR;
    double ratioG;
    double ratioB;
    SlotColourTables colourTables;
};

struct CrossOverlay {
    std::atomic<int32_t> enabled;
    std::atomic<int32_t> x;
    std::atomic<int32_t> y;
    std::atomic<int32_t> width;
    std::atomic<int32_t> height;
    std::atomic<int32_t> thickness;
};

struct DeviceTable {
    DeviceSlot slots[kSlotCount];
    int32_t deviceCount = 1;
    std::atomic<int32_t> waitTimeoutMs{kDefaultWaitTimeoutMs};
    CrossOverlay cross;
};

// The one table of the process. Zero at load but for deviceCount 1 and waitTimeoutMs 5000.
DeviceTable& Table();

// The slot of device number 1..10, or null for any other number.
DeviceSlot* FindSlot(int32_t device);

// The slot of device number 1..10 when the camera is open. A closed camera shows "Please open
// device first!" and gives null; a number outside 1..10 gives null with no message.
DeviceSlot* RequireOpen(int32_t device);

}  // namespace korvex
