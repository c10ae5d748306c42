// The library's camera slots: ten Slots, the device count and the frame-wait timeout.
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

// What allocation gives a slot: buffers for the largest mode of the camera's list, and the size
// of its first mode, the one allocation puts the camera in.
struct AllocationPlan {
    std::size_t pixels;
    int32_t width;
    int32_t height;
};

// A published frame as one value: its count since the library was loaded (high 32 bits) and the
// raw buffer it is in, 0 or 1 (low 32 bits).
using FrameMark = uint64_t;

// What an export that passed its wait asked for.
struct ExportRecord {
    int16_t width;
    int16_t height;
    int32_t layout;  // 1..4, after the clamp
};

// A camera's frame geometry as the library set it.
struct SlotGeometry {
    int32_t resolutionMode;
    int32_t width;  // current row length: resolution width, or the window width
    int32_t height;
};

// One camera's life. Its state, session handle, dropped session and buffers are private: only the
// lifecycle methods below change them, each under the slot's lock, making the lifecycle's camera
// calls and moving the state by the table of registry/slot_state.h through Move. Readers of the
// state, handle and buffers outside the lock use atomics; readers of the buffers hold a
// BufferLease (registry/frame_buffers.h). Calls that the table does not allow are refused by the
// guard (exports/guard.h) before they reach a slot.
class Slot {
public:
    SlotState state() const { return state_.load(); }
    HHV handle() const { return handle_.load(); }
    // Camera index 0..9 (camera number - 1).
    int32_t index() const;
    // Camera number 1..10, as the host and the log name it.
    int32_t number() const { return index() + 1; }

    // Open's first step for every slot: a capture still running is stopped, because once its
    // handle is dropped nothing could stop it and its buffers could never be released; then the
    // session is dropped.
    void Forget();
    // Begins camera device (1..10) in the slot, ending a dropped session first. False, with
    // nothing written into the slot, when BeginHVDevice fails.
    bool Begin(int32_t device);
    // Puts the camera in mode 0, runs prepareColour (the colour tables are published before the
    // buffers, so that no frame is converted with tables not built yet), then gives the slot
    // buffers for plan.pixels and the geometry of mode 0. False when any of it fails.
    bool Allocate(const AllocationPlan& plan, void (*prepareColour)(int32_t index));
    // ZqStartGrab's and ZqStopGrab's work on an admitted slot: results as exported.
    int16_t Start(HVSnapCallback callback);
    int16_t Stop();
    // Ends the session and releases the buffers unless a session may still write into them.
    void Close();
    // Ends the session and begins it again (ZqRestatDevice).
    bool Restart(int32_t device);
    // A single snap's turn: work runs under the slot's lock, so that capture cannot start
    // meanwhile, and only while capture cannot run (the state may have changed since the guard
    // judged it); otherwise 0 and work does not run.
    template <typename Work>
    int16_t WithCaptureStopped(Work work) {
        std::lock_guard turn(lifecycle_);
        if (CaptureMayRun(state_.load())) return 0;
        return work();
    }

    // Frames, between the snap callbacks and the exports (registry/slot_event.cpp). The snap
    // callbacks publish each frame as one FrameMark, its count and the buffer it is in, then
    // signal the event; exports take frames by moving the taken count up to the published one,
    // and read the buffer published with that count. Stop, close and restart raise the wake
    // generation, which makes every waiter return without a frame.
    platform::FrameEvent frameEvent() const { return frameEvent_.load(); }
    // The slot's event, created on first use under the slot's lock; 0 only when it cannot be.
    platform::FrameEvent ProvideFrameEvent();
    // The callback's part for a frame in buffer index (0 or 1): its count and buffer as one value.
    void PublishFrame(int32_t bufferIndex);
    // The same split in two, for a callback whose record names another slot: that slot records the
    // buffer, this one counts the frame.
    void RecordBufferIndex(int32_t bufferIndex);
    void CountFrame();
    FrameMark newestFrame() const { return newestFrame_.load(); }
    // Moves the taken count up to the newest frame's and gives that frame; false when none
    // arrived since the last take.
    bool TakeNewestFrame(FrameMark& taken);
    // Frames published before now count as taken: a new capture starts afresh.
    void ForgetFrames();
    uint32_t wakeGeneration() const { return wakeGeneration_.load(); }
    // Raises the wake generation and signals the event.
    void WakeWaiters();

    // The latest export that passed its wait, written by exports and read by automatic white
    // balance (which the host runs on the camera's exporting thread). One value.
    void RecordExport(ExportRecord record);
    ExportRecord lastExport() const;

    // Geometry, one value: set by allocation and the resolution and window functions, read by
    // exposure and white balance. A reader never sees a mode with another mode's size.
    SlotGeometry geometry() const;
    // A resolution mode and its size (allocation, ZqSetResolution).
    void SetGeometry(const SlotGeometry& geometry);
    // An output window: its width becomes the row length; mode and height stay the resolution's.
    void SetRowLength(int32_t width);

private:
    friend class BufferLease;
    friend FrameBuffers* ReplaceFrameBuffers(Slot& slot, FrameBuffers* fresh);
    friend void WaitForBufferReaders(Slot& slot);
    friend void OrderFinishedReadsBeforeRefill(Slot& slot);
    friend struct SlotTestAccess;  // tests set a slot up by hand

    // The one place where the slot's state changes.
    void Move(SlotEvent event);
    bool BuffersPinned() const;
    void NoteBuffersKept(const char* what) const;
    void KeepUnendedSession(HHV session);
    void EndUnendedSession();
    void EndSession();
    bool BeginSession(int32_t device);
    bool ProvideBuffers(std::size_t pixels);

    std::mutex lifecycle_;  // held by every method above; a table-wide operation takes the table's first
    std::atomic<SlotState> state_;
    std::atomic<HHV> handle_;  // 0 unless Open, Allocated, Capturing or StopFailed
    HHV unendedSession_;       // the dropped session of a Dropped slot
    std::atomic<FrameBuffers*> buffers_;
    std::atomic<int32_t> bufferReaders_;

    std::atomic<platform::FrameEvent> frameEvent_;
    std::atomic<FrameMark> newestFrame_;
    std::atomic<uint32_t> framesTaken_;
    std::atomic<uint32_t> wakeGeneration_;
    std::atomic<uint64_t> lastExport_;  // ExportRecord packed: width (bits 0..15), height, layout

    mutable std::mutex geometryLock_;  // held only to copy geometry_ in or out
    SlotGeometry geometry_{};
};

struct SlotTable {
    Slot slots[kSlotCount];
    std::mutex lifecycle;  // open, allocate and close: one at a time, before any slot's lock
    std::atomic<int32_t> deviceCount{1};
    std::atomic<int32_t> waitTimeoutMs{kDefaultWaitTimeoutMs};
};

// The one table of the process. Zero at load but for deviceCount 1 and waitTimeoutMs 5000.
SlotTable& Slots();

// The slot of device number 1..10, or null for any other number. It judges nothing: the guard
// in exports/ does.
Slot* FindSlot(int32_t device);

}  // namespace korvex
