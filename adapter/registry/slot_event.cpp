#include "registry/slot_event.h"

#include <atomic>
#include <chrono>

namespace korvex {
namespace {

using Clock = std::chrono::steady_clock;

constexpr FrameMark kOneFrame = FrameMark{1} << 32;
constexpr FrameMark kIndexBits = 0xFFFFFFFF;

// What is left of timeoutMs since start; 0 when it has passed.
uint32_t RemainingMs(Clock::time_point start, uint32_t timeoutMs) {
    if (timeoutMs == platform::kWaitForever) return platform::kWaitForever;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    return elapsed >= timeoutMs ? 0 : timeoutMs - static_cast<uint32_t>(elapsed);
}

// The camera writes into a buffer after the callback of the frame before has returned. This
// orders the publication before those writes, so that a reader who finds a frame unchanged after
// reading has read nothing of them (MayHaveBeenRefilled).
void OrderPublicationBeforeRefill() { std::atomic_thread_fence(std::memory_order_release); }

}  // namespace

platform::FrameEvent Slot::ProvideFrameEvent() {
    platform::FrameEvent event = frameEvent_.load();
    if (event != 0) return event;
    // Creation runs under the slot's lifecycle lock; the atomic store publishes the event to the
    // callbacks and waiters that read it without the lock.
    event = platform::CreateFrameEvent();
    frameEvent_.store(event);
    return event;
}

void Slot::PublishFrame(int32_t bufferIndex) {
    FrameMark newest = newestFrame_.load();
    while (!newestFrame_.compare_exchange_weak(
        newest, (newest & ~kIndexBits) + kOneFrame + static_cast<uint32_t>(bufferIndex))) {}
    OrderPublicationBeforeRefill();
    platform::SignalFrameEvent(frameEvent_.load());
}

void Slot::RecordBufferIndex(int32_t bufferIndex) {
    FrameMark newest = newestFrame_.load();
    while (!newestFrame_.compare_exchange_weak(newest, (newest & ~kIndexBits) + static_cast<uint32_t>(bufferIndex))) {}
    OrderPublicationBeforeRefill();
}

void Slot::CountFrame() {
    newestFrame_.fetch_add(kOneFrame);
    OrderPublicationBeforeRefill();
    platform::SignalFrameEvent(frameEvent_.load());
}

bool Slot::TakeNewestFrame(FrameMark& taken) {
    uint32_t count = framesTaken_.load();
    for (FrameMark newest = newestFrame_.load(); FrameCount(newest) != count; newest = newestFrame_.load()) {
        if (framesTaken_.compare_exchange_weak(count, FrameCount(newest))) {
            taken = newest;
            return true;
        }
    }
    return false;
}

void Slot::ForgetFrames() { framesTaken_.store(FrameCount(newestFrame_.load())); }

void Slot::WakeWaiters() {
    wakeGeneration_.fetch_add(1);
    platform::SignalFrameEvent(frameEvent_.load());
}

int32_t NewestBufferIndex(const Slot& slot) { return FrameBufferIndex(slot.newestFrame()); }

FrameWait WaitForFrame(Slot& slot, uint32_t timeoutMs, FrameMark& taken) {
    // The generation is read before the state: a stop that makes the state idle afterwards also
    // raises the generation afterwards, so this waiter either sees idle or sees the change.
    const uint32_t generation = slot.wakeGeneration();
    if (slot.state() != SlotState::Capturing) {
        taken = slot.newestFrame();
        return FrameWait::Frame;
    }
    const platform::FrameEvent event = slot.frameEvent();
    const Clock::time_point start = Clock::now();
    // The signals of the frames about to be taken are spent: cleared before the take, not after
    // it, so that the frame is read as soon after its take as can be (the camera may begin to
    // refill its buffer from the next frame on). A frame that comes in between leaves its signal,
    // which costs the next wait one turn of its loop.
    (void)platform::WaitFrameEvent(event, 0);
    for (;;) {
        if (slot.TakeNewestFrame(taken)) return FrameWait::Frame;
        if (slot.wakeGeneration() != generation) {
            platform::SignalFrameEvent(event);  // one signal wakes one waiter: pass it on
            return FrameWait::Woken;
        }
        const uint32_t remaining = RemainingMs(start, timeoutMs);
        if (remaining == 0 || event == 0) return FrameWait::TimedOut;
        (void)platform::WaitFrameEvent(event, remaining);
    }
}

bool MayHaveBeenRefilled(const Slot& slot, FrameMark taken) {
    std::atomic_thread_fence(std::memory_order_acquire);  // the frame's reads come before this load
    return slot.newestFrame() != taken;
}

}  // namespace korvex
