// A slot set up by hand, as far as its guard and readers can tell, for tests that need no camera.
#pragma once

#include "registry/slot.h"

namespace korvex {

struct SlotTestAccess {
    static void Set(Slot& slot, HHV handle, SlotState state) {
        slot.handle_.store(handle);
        slot.state_.store(state);
    }
    static FrameBuffers* Buffers(Slot& slot) { return slot.buffers_.load(); }
    static FrameBuffers* ExchangeBuffers(Slot& slot, FrameBuffers* buffers) { return slot.buffers_.exchange(buffers); }
    static void SetNewestFrame(Slot& slot, FrameMark frame) { slot.newestFrame_.store(frame); }
    static platform::FrameEvent TakeFrameEvent(Slot& slot) { return slot.frameEvent_.exchange(0); }
};

}  // namespace korvex
