#include "registry/frame_buffers.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

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
    void* block = ::operator new (header + rgbBytes + 2 * rawBytes, std::align_val_t{kAlignment}, std::nothrow);
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
    ::operator delete (static_cast<void*>(buffers), std::align_val_t{kAlignment});
}

bool HoldsFrame(const FrameBuffers& buffers, int32_t width, int32_t height) {
    if (width < 0 || height < 0) return false;
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) <= buffers.pixelCapacity;
}

const uint8_t* NewestFrame(const Slot& slot, const FrameBuffers& buffers) {
    return buffers.rawBuffers[slot.lastBufferIndex.load() == 1 ? 1 : 0];
}

FrameBuffers* ReplaceFrameBuffers(Slot& slot, FrameBuffers* fresh) {
    FrameBuffers* old = slot.buffers_.exchange(fresh);
    WaitForBufferReaders(slot);
    return old;
}

void WaitForBufferReaders(Slot& slot) {
    // Blocks (no spinning): the last lease returned wakes this.
    for (int32_t readers = slot.bufferReaders_.load(); readers != 0; readers = slot.bufferReaders_.load()) {
        slot.bufferReaders_.wait(readers);
    }
}

// Sequentially consistent on both sides: either the reader sees the new state or block, or the
// one who changed them sees the reader's count and waits for it.
BufferLease::BufferLease(Slot& slot) : slot_(slot), buffers_(nullptr) {
    slot_.bufferReaders_.fetch_add(1);
    if (Judge(SlotUse::ReadFrames, slot_.state()) == Verdict::Allow) buffers_ = slot_.buffers_.load();
}

BufferLease::~BufferLease() {
    if (slot_.bufferReaders_.fetch_sub(1) == 1) slot_.bufferReaders_.notify_all();
}

}  // namespace korvex
