// Opening, allocating, restarting and closing cameras: the order in which the table-wide
// operations run the slots' own lifecycle methods, and the settings file read at open and written
// at close. Argument checks, refusals and messages belong to the guard (exports/).
#pragma once

#include <cstdint>

#include "registry/slot.h"

namespace korvex {

// Forgets every slot's session, then begins cameras 1..count (1..10) and reads their ratios.
// False when a camera could not be begun; the cameras before it stay open.
bool OpenCameras(int16_t count);

// Allocates the open cameras 1..device count in order. refusedDevice is the first camera whose
// state refuses allocation (the cameras before it are allocated), 0 when none did.
struct Allocation {
    int16_t result;
    int32_t refusedDevice;
    SlotState refusedState;
};
Allocation AllocateCameras();

// Stores the ratios of cameras 1..device count, then closes them.
void CloseCameras();

int16_t RestartCamera(Slot& slot);
int16_t GetDeviceTotal();

}  // namespace korvex
