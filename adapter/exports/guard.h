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

}  // namespace korvex
