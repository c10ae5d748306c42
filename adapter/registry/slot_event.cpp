#include "registry/slot_event.h"

#include <chrono>

namespace korvex {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint64_t kOneFrame = uint64_t{1} << 32;

uint32_t CountOf(uint64_t frame) { return static_cast<uint32_t>(frame >> 32); }
int32_t IndexOf(uint64_t frame) { return static_cast<uint32_t>(frame) == 1 ? 1 : 0; }

// Moves framesTaken up to the published count and gives the buffer published with that count;
// false when no frame arrived since the last take.
bool TakeFrame(Slot& slot, int32_t& bufferIndex) {
    uint32_t taken = slot.framesTaken.load();
    for (uint64_t newest = slot.newestFrame.load(); CountOf(newest) != taken; newest = slot.newestFrame.load()) {
        if (slot.framesTaken.compare_exchange_weak(taken, CountOf(newest))) {
            bufferIndex = IndexOf(newest);
            return true;
        }
    }
    return false;
}

// What is left of timeoutMs since start; 0 when it has passed.
uint32_t RemainingMs(Clock::time_point start, uint32_t timeoutMs) {
    if (timeoutMs == platform::kWaitForever) return platform::kWaitForever;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    return elapsed >= timeoutMs ? 0 : timeoutMs - static_cast<uint32_t>(elapsed);
}

}  // namespace

platform::FrameEvent ProvideSlotEvent(Slot& slot) {
    platform::FrameEvent event = slot.frameEvent.load();
    if (event != 0) return event;
    // Creation runs under the slot's lifecycle lock; the atomic store publishes the event to the
    // callbacks and waiters that read it without the lock.
    event = platform::CreateFrameEvent();
    slot.frameEvent.store(event);
    return event;
}

void PublishFrame(Slot& counted, Slot& recorded, int32_t index) {
    if (&counted == &recorded) {
        uint64_t newest = counted.newestFrame.load();
        while (!counted.newestFrame.compare_exchange_weak(
            newest, (newest & ~uint64_t{0xFFFFFFFF}) + kOneFrame + static_cast<uint32_t>(index))) {}
    } else {
        uint64_t newest = recorded.newestFrame.load();
        while (!recorded.newestFrame.compare_exchange_weak(
            newest, (newest & ~uint64_t{0xFFFFFFFF}) + static_cast<uint32_t>(index))) {}
        counted.newestFrame.fetch_add(kOneFrame);
    }
    platform::SignalFrameEvent(counted.frameEvent.load());
}

int32_t NewestBufferIndex(const Slot& slot) { return IndexOf(slot.newestFrame.load()); }

void WakeWaiters(Slot& slot) {
    slot.wakeGeneration.fetch_add(1);
    platform::SignalFrameEvent(slot.frameEvent.load());
}

void ForgetFrames(Slot& slot) { slot.framesTaken.store(CountOf(slot.newestFrame.load())); }

FrameWait WaitForFrame(Slot& slot, uint32_t timeoutMs, int32_t& bufferIndex) {
    // The generation is read before the state: a stop that makes the state idle afterwards also
    // raises the generation afterwards, so this waiter either sees idle or sees the change.
    const uint32_t generation = slot.wakeGeneration.load();
    if (slot.state() != SlotState::Capturing) {
        bufferIndex = NewestBufferIndex(slot);
        return FrameWait::Frame;
    }
    const platform::FrameEvent event = slot.frameEvent.load();
    const Clock::time_point start = Clock::now();
    for (;;) {
        if (TakeFrame(slot, bufferIndex)) {
            // The signals of the frames taken are spent: clear them, so the next wait blocks.
            (void)platform::WaitFrameEvent(event, 0);
            return FrameWait::Frame;
        }
        if (slot.wakeGeneration.load() != generation) {
            platform::SignalFrameEvent(event);  // one signal wakes one waiter: pass it on
            return FrameWait::Woken;
        }
        const uint32_t remaining = RemainingMs(start, timeoutMs);
        if (remaining == 0 || event == 0) return FrameWait::TimedOut;
        (void)platform::WaitFrameEvent(event, remaining);
    }
}

}  // namespace korvex
