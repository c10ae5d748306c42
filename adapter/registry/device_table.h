// The library's whole state: ten camera slots, the device count, the frame wait and the cross-hair.
//
// Everything is fixed-size and static: nothing here is created or destroyed at run time except
// the frame buffers a slot points to. A slot's frame event is created once, at its first capture,
// and lives as long as the library. The slot's life is one SlotState (registry/slot_state.h).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "HVDAILT.h"
#include "platform/frame_event.h"
#include "registry/colour_tables.h"
#include "registry/slot_state.h"

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

// Fields grouped by who writes them and under which rule.
struct DeviceSlot {
    // Capture: written by host threads under lifecycle only (a table-wide operation takes the
    // table's lock first). Readers of state, handle and buffers outside the lock use atomics;
    // readers of the buffers hold a BufferLease (registry/frame_buffers.h).
    std::mutex lifecycle;
    std::atomic<SlotState> state;
    std::atomic<HHV> handle;  // 0 unless Open, Allocated, Capturing or StopFailed
    HHV unendedSession;       // a dropped session whose end was not confirmed; it may still write
    std::atomic<FrameBuffers*> buffers;
    std::atomic<int32_t> bufferReaders;

    // Frames: the snap callbacks store the index and count the frame, then signal the event;
    // exports take frames by moving framesTaken up to framesArrived. Stop, close and restart
    // raise wakeGeneration, which makes every waiter return without a frame.
    std::atomic<platform::FrameEvent> frameEvent;
    std::atomic<int32_t> lastBufferIndex;
    std::atomic<uint32_t> framesArrived;
    std::atomic<uint32_t> framesTaken;
    std::atomic<uint32_t> wakeGeneration;

    // Export record: the latest export that passed its wait, written by exports and read by
    // automatic white balance (which the host runs on the camera's exporting thread).
    std::atomic<int32_t> exportLayout;
    std::atomic<int32_t> exportHeight;
    std::atomic<int32_t> exportWidth;

    // Geometry: host threads (allocation, resolution, window); read by exposure and white balance.
    std::atomic<int32_t> resolutionMode;
    std::atomic<int32_t> height;
    std::atomic<int32_t> width;  // current row length: resolution width, or the window width

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
    std::mutex lifecycle;  // open, allocate and close: one at a time, before any slot's lock
    std::atomic<int32_t> deviceCount{1};
    std::atomic<int32_t> waitTimeoutMs{kDefaultWaitTimeoutMs};
    CrossOverlay cross;
};

// The one table of the process. Zero at load but for deviceCount 1 and waitTimeoutMs 5000.
DeviceTable& Table();

// The slot of device number 1..10, or null for any other number.
DeviceSlot* FindSlot(int32_t device);

// The slot of device number 1..10 when use is allowed in its state (the table of
// registry/slot_state.h). A refusal that the table marks with the open message shows "Please
// open device first!"; every refusal, and a number outside 1..10, gives null.
DeviceSlot* GuardSlot(int32_t device, SlotUse use);

// GuardSlot(device, SlotUse::Control): the check of every function that needs an open camera.
DeviceSlot* RequireOpen(int32_t device);

}  // namespace korvex
