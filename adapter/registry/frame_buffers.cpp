#include "registry/frame_buffers.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <thread>

namespace korvex {
namespace {

constexpr std::size_t kAlignment = 64;

constexpr std::size_t RoundUp(std::size_t n) { return (n + kAlignment - 1) / kAlignment * kAlignment; }

}  // namespace

FrameBuffers* AllocateFrameBuffers(std::size_t pixels) {
    // One block: the header, then the working buffer (3 bytes a pixel), then the two raw buffers.
    constexpr std::size_t kMaxPixels = (std::numeric_limits<std::size_t>::max() - 4 * kAlignment) / 8;
    if (pixels == 0 || pixels > kMaxPixels) return nullptr;
    const std::size_t header = RoundUp(sizeof(FrameBuffers));
    const std::size_t rgbBytes = RoundUp(pixels * 3);
    const std::size_t rawBytes = RoundUp(pixels);
    void* block = ::operator new(header + rgbBytes + 2 * rawBytes, std::align_val_t{kAlignment}, std::nothrow);
    if (block == nullptr) return nullptr;
    auto* bytes = static_cast<uint8_t*>(block);
    std::memset(bytes + header, 0x80, rgbBytes + 2 * rawBytes);
    auto* buffers = new (block) FrameBuffers{};
    buffers->pixelCapacity = pixels;
    buffers->rgbBuffer = bytes + header;
    buffers->rawBuffers[0] = bytes + header + rgbBytes;
    buffers->rawBuffers[1] = bytes + header + rgbBytes + rawBytes;
    return buffers;
}

void FreeFrameBuffers(FrameBuffers* buffers) {
    if (buffers == nullptr) return;
    buffers->~FrameBuffers();
    ::operator delete(static_cast<void*>(buffers), std::align_val_t{kAlignment});
}

bool HoldsFrame(const FrameBuffers& buffers, int32_t width, int32_t height) {
    if (width < 0 || height < 0) return false;
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) <= buffers.pixelCapacity;
}

FrameBuffers* DetachFrameBuffers(DeviceSlot& slot) { return slot.buffers.exchange(nullptr); }

void WaitForBufferReaders(DeviceSlot& slot) {
    // Readers hold a lease only while they copy or convert one frame, never across a wait.
    while (slot.bufferUsers.load() != 0) std::this_thread::yield();
}

// Sequentially consistent on both sides: either the reader sees the detached (null) pointer, or
// the closer sees the reader's count and waits for it.
BufferLease::BufferLease(DeviceSlot& slot) : slot_(slot) {
    slot_.bufferUsers.fetch_add(1);
    buffers_ = slot_.buffers.load();
}

BufferLease::~BufferLease() { slot_.bufferUsers.fetch_sub(1); }

}  // namespace korvex
