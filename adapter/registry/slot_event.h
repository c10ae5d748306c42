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

// The snap callback's part: a frame in buffer index (0 or 1) is counted on counted and recorded
// in recorded, then counted's event is signalled. When both are one slot, the count and the index
// are published together, so that an export takes a frame and its buffer as one.
void PublishFrame(Slot& counted, Slot& recorded, int32_t index);

// The buffer index of the newest frame published to the slot.
int32_t NewestBufferIndex(const Slot& slot);

// Makes every export that waits on the slot return without a frame (stop, close, restart).
void WakeWaiters(Slot& slot);

// Frames that arrived before now are not waited for: a new capture starts afresh.
void ForgetFrames(Slot& slot);

enum class FrameWait { Frame, TimedOut, Woken };

// Takes the newest frame: at once when one arrived since the last export took one, else waits up
// to timeoutMs (platform::kWaitForever: no limit; 0: only tests). Woken when stop, close or restart
// came first. A slot that is not capturing gives Frame at once: its newest buffer is the frame.
// On Frame, bufferIndex is the buffer of the frame taken.
FrameWait WaitForFrame(Slot& slot, uint32_t timeoutMs, int32_t& bufferIndex);

}  // namespace korvex
