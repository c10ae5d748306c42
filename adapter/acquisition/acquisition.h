// Continuous capture, frame export, the cross-hair overlay and single-frame grabs.
//
// Capture state of an open, allocated camera (frameEvent and capturing live in its DeviceSlot):
//
//   state      frameEvent  camera library               entered by
//   Idle       0           no capture, no callback      load; ZqStopGrab
//   Capturing  an event    SnapCallback k registered,   ZqStartGrab passing its checks
//                          frames land in raw buffer 0, 1, 0, ...
//
// The camera library calls SnapCallback k on its own thread for each frame: it records the
// buffer index and then signals the event. An export waits on the event (holding its own
// reference, no lock, no buffer lease), then leases the buffers and delivers the newest one.
#pragma once

#include <cstdint>

#include "HVDAILT.h"

namespace korvex {

int16_t StartGrab(int16_t device);
int16_t StopGrab(int16_t device);
int16_t SetTimeout(int16_t milliseconds);
int16_t ExportImageData(int16_t device, uint8_t* destination, int16_t width, int16_t height, int16_t colour,
                        int16_t layout);
int16_t GrabSingle(int16_t device, uint8_t* destination, int16_t width, int16_t height, int16_t colour,
                   int16_t layout);
int16_t EnableCross(int16_t flag);
int16_t SetCrossPara(int16_t x, int16_t y, int16_t width, int16_t height, int16_t thickness);

// Camera device's own snap callback (device 1..10), or null for any other number.
HVSnapCallback SnapCallbackFor(int32_t device);

}  // namespace korvex
