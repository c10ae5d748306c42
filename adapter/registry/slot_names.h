// Names of a slot's states, events and uses, as the diagnostic log writes them.
#pragma once

#include "registry/slot_state.h"

namespace korvex {

const char* StateName(SlotState state);  // "Closed", "Open", ...
const char* EventName(SlotEvent event);  // "Begun", "BuffersGiven", ...

// The first state, in the table's order, in which use is allowed: what a refused call needs.
SlotState NeededState(SlotUse use);

}  // namespace korvex
