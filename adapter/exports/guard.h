// The one guard of the exported functions. Each exported function that takes a device number
// names what it wants to do with that camera (a SlotUse); the guard judges it against the table
// of registry/slot_state.h before anything else runs, and only a slot it admitted reaches the
// subsystems.
#pragma once

#include <cstdint>

#include "registry/slot.h"

namespace korvex {

// The slot of device (1..10) when use is allowed in its state. Otherwise Refuse, and null; a
// device number outside 1..10 is refused the same way, as Closed (it has no slot).
Slot* Admit(const char* function, int32_t device, SlotUse use);

// A refusal: noted, and shown as "Please open device first!" when the table says so.
void Refuse(const char* function, int32_t device, SlotState state, SlotUse use);

// Every refusal of an exported function passes here, naming the function, the device number and
// the state that refused the use.
void NoteRefusal(const char* function, int32_t device, SlotState state, SlotUse use);

// The exported function's work on an admitted slot, or 0 when the guard refused.
template <typename Result, typename Work>
Result Guarded(const char* function, int32_t device, SlotUse use, Work work) {
    Slot* slot = Admit(function, device, use);
    return slot == nullptr ? Result{0} : work(*slot);
}

// The same for a function whose work belongs to no camera: it runs without a slot. A device number
// outside 1..10 has no slot and is judged as Closed, which use's row allows too.
template <typename Result, typename Work>
Result GuardedIgnoringDevice(const char* function, int32_t device, SlotUse use, Work work) {
    const Slot* slot = FindSlot(device);
    const SlotState state = slot == nullptr ? SlotState::Closed : slot->state();
    if (Judge(use, state) == Verdict::Allow) return work();
    Refuse(function, device, state, use);
    return Result{0};
}

}  // namespace korvex
