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

inline uint32_t FrameCount(FrameMark frame) { return static_cast<uint32_t>(frame >> 32); }
inline int32_t FrameBufferIndex(FrameMark frame) { return static_cast<uint32_t>(frame) == 1 ? 1 : 0; }

// The buffer index of the newest frame published to the slot.
int32_t NewestBufferIndex(const Slot& slot);

enum class FrameWait { Frame, TimedOut, Woken };

// Takes the newest frame: at once when one arrived since the last export took one, else waits up
// to timeoutMs (platform::kWaitForever: no limit; 0: only tests). Woken when stop, close or restart
// came first. A slot that is not capturing gives Frame at once: its newest buffer is the frame.
// On Frame, taken is the frame taken, with its buffer.
FrameWait WaitForFrame(Slot& slot, uint32_t timeoutMs, FrameMark& taken);

// For a reader that has finished reading the buffer of taken: true when the camera may have begun
// to refill that buffer meanwhile, so that what was read may hold rows of a later frame. With two
// buffers, the frame after next goes into the buffer just read, and the camera may begin it as
// soon as the next frame is published: any change of the published frame since the take counts.
bool MayHaveBeenRefilled(const Slot& slot, FrameMark taken);

}  // namespace korvex
