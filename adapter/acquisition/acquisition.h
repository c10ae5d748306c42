// Continuous capture, frame export, the cross-hair overlay and single-frame grabs.
//
// Capture moves a slot between Allocated and Capturing (and StopFailed when the camera library
// refuses a stop), as the table in registry/slot_state.h says. The camera library calls
// SnapCallback k on its own thread for each frame: it records the buffer index, counts the frame
// and signals the slot's event. An export takes the newest frame by its count, waiting on the
// event in a loop when none is new (no lock, no buffer lease meanwhile), then leases the buffers
// and delivers the newest one. Stop, close and restart wake every waiting export.
#pragma once

#include <cstdint>

#include "HVDAILT.h"
#include "registry/slot.h"

namespace korvex {

// The functions that take a slot work on one the guard has admitted.
int16_t StartGrab(Slot& slot);
int16_t StopGrab(Slot& slot);
int16_t SetTimeout(int16_t milliseconds);
int16_t ExportImageData(Slot& slot, uint8_t* destination, int16_t width, int16_t height, int16_t colour,
                        int16_t layout);
int16_t GrabSingle(Slot& slot, uint8_t* destination, int16_t width, int16_t height, int16_t colour, int16_t layout);
int16_t EnableCross(int16_t flag);
int16_t SetCrossPara(int16_t x, int16_t y, int16_t width, int16_t height, int16_t thickness);

// Camera device's own snap callback (device 1..10), or null for any other number.
HVSnapCallback SnapCallbackFor(int32_t device);

}  // namespace korvex
