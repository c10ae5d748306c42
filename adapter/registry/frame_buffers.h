// Allocation of a camera's pixel buffers, and safe hand-over between readers and the closer.
//
// Exports, grabs and white balance read a slot's buffers from host threads while another host
// thread may close the camera. A reader holds a BufferLease while it uses the buffers; closing
// detaches the block (so later readers find none) and then waits for the leases still out before
// it frees the block. No lock is taken and nothing waits on a frame while it holds a lease.
#pragma once

#include <cstddef>

#include "registry/device_table.h"

namespace korvex {

// A block for pixels pixels, every byte 0x80; null when memory runs out.
FrameBuffers* AllocateFrameBuffers(std::size_t pixels);
void FreeFrameBuffers(FrameBuffers* buffers);

// True when a width x height frame fits the buffers: neither size negative, and the pixel count
// within the capacity. An empty frame fits.
bool HoldsFrame(const FrameBuffers& buffers, int32_t width, int32_t height);

// Takes the slot's buffers away from new readers; the caller frees them after WaitForReaders.
FrameBuffers* DetachFrameBuffers(DeviceSlot& slot);
void WaitForBufferReaders(DeviceSlot& slot);

class BufferLease {
public:
    explicit BufferLease(DeviceSlot& slot);
    ~BufferLease();
    BufferLease(const BufferLease&) = delete;
    BufferLease& operator=(const BufferLease&) = delete;

    // The slot's buffers, or null when it has none.
    FrameBuffers* get() const { return buffers_; }

private:
    DeviceSlot& slot_;
    FrameBuffers* buffers_;
};

}  // namespace korvex
