#include "registry/slot_names.h"

#include <cstddef>

namespace korvex {

const char* StateName(SlotState state) {
    static constexpr const char* kNames[kSlotStateCount] = {"Closed",    "Open",       "Allocated",
                                                            "Capturing", "StopFailed", "Dropped"};
    return kNames[static_cast<std::size_t>(state)];
}

const char* EventName(SlotEvent event) {
    static constexpr const char* kNames[kSlotEventCount] = {"Begun",          "BegunWithBuffers", "BuffersGiven",
                                                            "CaptureStarted", "StopConfirmed",    "StopUnconfirmed",
                                                            "Ended",          "Dropped",          "DroppedEnded"};
    return kNames[static_cast<std::size_t>(event)];
}

SlotState NeededState(SlotUse use) {
    for (int state = 0; state < kSlotStateCount; ++state) {
        if (Judge(use, static_cast<SlotState>(state)) == Verdict::Allow) return static_cast<SlotState>(state);
    }
    return SlotState::Open;  // every use is allowed somewhere; kept for completeness
}

}  // namespace korvex
