// The slot's frame event, shared between host threads and the camera library's callback threads.
//
// Anyone who signals or waits on the event first takes hold of it under the slot's eventUsers
// count; whoever replaces or removes it waits for that count to drop before closing it. A waiter
// keeps its own reference for the length of its wait, so closing never pulls the event from
// under it.
#pragma once

#include "registry/device_table.h"

namespace korvex {

// Signals the slot's event, if it has one.
void SignalSlotEvent(DeviceSlot& slot);

// A reference of the caller's own to the slot's event, or 0 when it has none. Close it after use.
platform::FrameEvent HoldSlotEvent(DeviceSlot& slot);

// Puts event (or 0) in the slot and closes the event it replaces, once no callback can still
// be signalling it.
void ReplaceSlotEvent(DeviceSlot& slot, platform::FrameEvent event);

}  // namespace korvex
