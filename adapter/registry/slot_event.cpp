#include "registry/slot_event.h"

#include <chrono>

namespace korvex {
namespace {

using Clock = std::chrono::steady_clock;

// Moves framesTaken up to framesArrived; false when no frame arrived since the last take.
bool TakeFrame(Slot& slot) {
    uint32_t taken = slot.framesTaken.load();
    for (uint32_t arrived = slot.framesArrived.load(); arrived != taken; arrived = slot.framesArrived.load()) {
        if (slot.framesTaken.compare_exchange_weak(taken, arrived)) return true;
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

void CountFrame(Slot& slot) {
    slot.framesArrived.fetch_add(1);
    platform::SignalFrameEvent(slot.frameEvent.load());
}

void WakeWaiters(Slot& slot) {
    slot.wakeGeneration.fetch_add(1);
    platform::SignalFrameEvent(slot.frameEvent.load());
}

void ForgetFrames(Slot& slot) { slot.framesTaken.store(slot.framesArrived.load()); }

FrameWait WaitForFrame(Slot& slot, uint32_t timeoutMs) {
    // The generation is read before the state: a stop that makes the state idle afterwards also
    // raises the generation afterwards, so this waiter either sees idle or sees the change.
    const uint32_t generation = slot.wakeGeneration.load();
    if (slot.state() != SlotState::Capturing) return FrameWait::Frame;
    const platform::FrameEvent event = slot.frameEvent.load();
    const Clock::time_point start = Clock::now();
    for (;;) {
        if (TakeFrame(slot)) {
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
