// The adapter's one way into the camera library: a function for each of its operations, with the
// library's own name and parameters after the number of the camera the call is for (1..10, or
// diagnostics::kNoCamera for a call about no camera), which its log line carries.
//
//   const HVSTATUS status = camera::HVSetResolution(slot.number(), slot.handle(), mode);
//
// With the camera domain's log off a function makes one relaxed load and a branch before the
// library's call. Otherwise it times the call and logs it: at debug every call with its arguments,
// status and duration, at warn every call that failed. The adapter makes no camera call from the
// snap callback thread, so these lines never come from it.
#pragma once

#include <cstdint>

#include "HVDAILT.h"

namespace korvex::camera {

HVSTATUS BeginHVDevice(int camera, int32_t device, HHV* handle);
HVSTATUS EndHVDevice(int camera, HHV handle);
HVSTATUS HVGetDeviceTotal(int camera, int32_t* count);
HVSTATUS HVGetDeviceInfo(int camera, HHV handle, int32_t kind, void* buffer, int32_t* size);
HVSTATUS HVSetResolution(int camera, HHV handle, int32_t mode);
HVSTATUS HVSetOutputWindow(int camera, HHV handle, int32_t left, int32_t top, int32_t width, int32_t height);
HVSTATUS HVSetSnapMode(int camera, HHV handle, int32_t mode);
HVSTATUS HVAGCControl(int camera, HHV handle, uint8_t code, int32_t value);
HVSTATUS HVAECControl(int camera, HHV handle, uint8_t code, uint32_t value);
HVSTATUS HVADCControl(int camera, HHV handle, uint8_t code, int32_t value);
HVSTATUS HVOpenSnap(int camera, HHV handle, HVSnapCallback callback, void* userValue);
HVSTATUS HVStartSnap(int camera, HHV handle, uint8_t** buffers, int32_t count);
HVSTATUS HVSnapShot(int camera, HHV handle, uint8_t** buffers, int32_t count);
HVSTATUS HVCloseSnap(int camera, HHV handle);
HVSTATUS HVTriggerShot(int camera, HHV handle);
HVSTATUS HVSetTriggerPolarity(int camera, HHV handle, int32_t polarity);
HVSTATUS HVSetStrobePolarity(int camera, HHV handle, int32_t polarity);
HVSTATUS HVSetSnapSpeed(int camera, HHV handle, int32_t speed);
HVSTATUS HVSetBlanking(int camera, HHV handle, int32_t first, int32_t second);
HVSTATUS HVCommand(int camera, HHV handle, int32_t command, ControlRecord* record, int32_t* length);

}  // namespace korvex::camera
