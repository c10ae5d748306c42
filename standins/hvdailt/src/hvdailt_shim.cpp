// libHVDAILT: the camera library's 20 exported functions, each forwarding to the simulator in
// libhvsim. Nothing else is exported (version script on ELF, module definition file on Windows).

#if !defined(_WIN32)
#pragma GCC visibility push(default)
#endif
#include "HVDAILT.h"
#if !defined(_WIN32)
#pragma GCC visibility pop
#endif

#include "sdk_entry.h"

extern "C" {

HVSTATUS KX_CALL BeginHVDevice(int32_t device, HHV* handle) { return hvsim_sdk_begin_device(device, handle); }
HVSTATUS KX_CALL EndHVDevice(HHV handle) { return hvsim_sdk_end_device(handle); }
HVSTATUS KX_CALL HVGetDeviceTotal(int32_t* count) { return hvsim_sdk_get_device_total(count); }
HVSTATUS KX_CALL HVGetDeviceInfo(HHV handle, int32_t kind, void* buffer, int32_t* size) {
    return hvsim_sdk_get_device_info(handle, kind, buffer, size);
}
HVSTATUS KX_CALL HVSetResolution(HHV handle, int32_t mode) { return hvsim_sdk_set_resolution(handle, mode); }
HVSTATUS KX_CALL HVSetOutputWindow(HHV handle, int32_t left, int32_t top, int32_t width, int32_t height) {
    return hvsim_sdk_set_output_window(handle, left, top, width, height);
}
HVSTATUS KX_CALL HVSetSnapMode(HHV handle, int32_t mode) { return hvsim_sdk_set_snap_mode(handle, mode); }
HVSTATUS KX_CALL HVAGCControl(HHV handle, uint8_t code, int32_t value) {
    return hvsim_sdk_agc_control(handle, code, value);
}
HVSTATUS KX_CALL HVAECControl(HHV handle, uint8_t code, uint32_t value) {
    return hvsim_sdk_aec_control(handle, code, value);
}
HVSTATUS KX_CALL HVADCControl(HHV handle, uint8_t code, int32_t value) {
    return hvsim_sdk_adc_control(handle, code, value);
}
HVSTATUS KX_CALL HVOpenSnap(HHV handle, HVSnapCallback callback, void* userValue) {
    return hvsim_sdk_open_snap(handle, callback, userValue);
}
HVSTATUS KX_CALL HVStartSnap(HHV handle, uint8_t** buffers, int32_t count) {
    return hvsim_sdk_start_snap(handle, buffers, count);
}
HVSTATUS KX_CALL HVSnapShot(HHV handle, uint8_t** buffers, int32_t count) {
    return hvsim_sdk_snap_shot(handle, buffers, count);
}
HVSTATUS KX_CALL HVCloseSnap(HHV handle) { return hvsim_sdk_close_snap(handle); }
HVSTATUS KX_CALL HVTriggerShot(HHV handle) { return hvsim_sdk_trigger_shot(handle); }
HVSTATUS KX_CALL HVSetTriggerPolarity(HHV handle, int32_t polarity) {
    return hvsim_sdk_set_trigger_polarity(handle, polarity);
}
HVSTATUS KX_CALL HVSetStrobePolarity(HHV handle, int32_t polarity) {
    return hvsim_sdk_set_strobe_polarity(handle, polarity);
}
HVSTATUS KX_CALL HVSetSnapSpeed(HHV handle, int32_t speed) { return hvsim_sdk_set_snap_speed(handle, speed); }
HVSTATUS KX_CALL HVSetBlanking(HHV handle, int32_t first, int32_t second) {
    return hvsim_sdk_set_blanking(handle, first, second);
}
HVSTATUS KX_CALL HVCommand(HHV handle, int32_t command, ControlRecord* record, int32_t* length) {
    return hvsim_sdk_command(handle, command, record, length);
}

}  // extern "C"
