// Allocation of a camera's pixel buffers, and safe hand-over between readers and the lifecycle.
//
// Exports, grabs and white balance read a slot's buffers from host threads while another host
// thread may close the camera or allocate again. A reader holds a BufferLease while it uses the
// buffers. Whoever takes buffers away first makes them unreachable for new leases (a state that
// refuses reading, or another block) and then blocks until the leases still out are returned
// before it frees the block. No lease is held across a frame wait; a grab holds one across its
// snapshot, since the camera writes into the buffers meanwhile.
#pragma once

#include <cstddef>
#include <cstdint>

#include "registry/slot.h"

namespace korvex {

// A block for pixels pixels, every byte 0x80; null when memory runs out.
FrameBuffers* AllocateFrameBuffers(std::size_t pixels);
void FreeFrameBuffers(FrameBuffers* buffers);

// The one rule for whether a width x height frame fits the buffers: neither size negative, and
// the pixel count within the capacity. An empty frame fits.
bool HoldsFrame(const FrameBuffers& buffers, int32_t width, int32_t height);

// The raw buffer that received the newest frame.
const uint8_t* NewestFrame(const Slot& slot, const FrameBuffers& buffers);

// Puts fresh (or null) in the slot and returns the block it replaces, once no lease uses it.
FrameBuffers* ReplaceFrameBuffers(Slot& slot, FrameBuffers* fresh);

// Blocks until every lease taken before is returned.
void WaitForBufferReaders(Slot& slot);

// For a frame callback, before it signals the frame: the camera writes the frame after next into
// the buffer readers may have just read; reading the lease count (every lease change is a
// read-modify-write, so this acquires them all) orders every read finished before this point
// ahead of those writes. Only a reader still holding its lease meanwhile can meet them: a late
// export, which then finds the frame changed (MayHaveBeenRefilled) and does not hand it over.
void OrderFinishedReadsBeforeRefill(Slot& slot);

class BufferLease {
public:
    explicit BufferLease(Slot& slot);
    ~BufferLease();
    BufferLease(const BufferLease&) = delete;
    BufferLease& operator=(const BufferLease&) = delete;

    // The slot's buffers, or null when it has none or its state allows no reading (closed).
    FrameBuffers* get() const { return buffers_; }

private:
    Slot& slot_;
    FrameBuffers* buffers_;
};

}  // namespace korvex
