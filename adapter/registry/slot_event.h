// A slot's frames and wake-ups, between the snap callbacks and the exports that wait for them.
//
// Each slot has one frame event for the library's whole life, created at its first capture and
// never closed, so no thread can be left holding a closed event. The event only wakes waiters:
// what counts is the slot's frame count and wake generation, which a waiter checks in a loop
// around each wait on a steady-clock deadline. A signal left over from an earlier capture, a
// stop or a close therefore costs a waiter one extra turn of its loop and nothing more.
#pragma once

#include <cstdint>

#include "registry/slot.h"

namespace korvex {

// The slot's event, created on first use; 0 only when it cannot be created.
platform::FrameEvent ProvideSlotEvent(Slot& slot);

// The snap callback's part: the frame is counted, then the event signalled.
void CountFrame(Slot& slot);

// Makes every export that waits on the slot return without a frame (stop, close, restart).
void WakeWaiters(Slot& slot);

// Frames that arrived before now are not waited for: a new capture starts afresh.
void ForgetFrames(Slot& slot);

enum class FrameWait { Frame, TimedOut, Woken };

// Takes the newest frame: at once when one arrived since the last export took one, else waits up
// to timeoutMs (platform::kWaitForever: no limit; 0: only tests). Woken when stop, close or restart
// came first. A slot that is not capturing gives Frame at once: its newest buffer is the frame.
FrameWait WaitForFrame(Slot& slot, uint32_t timeoutMs);

}  // namespace korvex
