// Pending: every operation refuses until the simulator lands.
#include "sdk_entry.h"

extern "C" {
HVSTATUS hvsim_sdk_begin_device(int32_t device, HHV* handle) { (void)device; (void)handle; return HVSIM_STATUS_INVALID_HANDLE; }
HVSTATUS hvsim_sdk_end_device(HHV handle) { (void)handle; return HVSIM_STATUS_INVALID_HANDLE; }
HVSTATUS hvsim_sdk_get_device_total(int32_t* count) { (void)count; return HVSIM_STATUS_INVALID_HANDLE; }
HVSTATUS hvsim_sdk_get_device_info(HHV handle, int32_t kind, void* buffer, int32_t* size) { (void)handle; (void)kind; (void)buffer; (void)size; return HVSIM_STATUS_INVALID_HANDLE; }
HVSTATUS hvsim_sdk_set_resolution(HHV handle, int32_t mode) { (void)handle; (void)mode; return HVSIM_STATUS_INVALID_HANDLE; }
HVSTATUS hvsim_sdk_set_output_window(HHV handle, int32_t left, int32_t top, int32_t width, int32_t height) { (void)handle; (void)left; (void)top; (void)width; (void)height; return HVSIM_STATUS_INVALID_HANDLE; }
HVSTATUS hvsim_sdk_set_snap_mode(HHV handle, int32_t mode) { (void)handle; (void)mode; return HVSIM_STATUS_INVALID_HANDLE; }
HVSTATUS hvsim_sdk_agc_control(HHV handle, uint8_t code, int32_t value) { (void)handle; (void)code; (void)value; return HVSIM_STATUS_INVALID_HANDLE; }
HVSTATUS hvsim_sdk_aec_control(HHV handle, uint8_t code, uint32_t value) { (void)handle; (void)code; (void)value; return HVSIM_STATUS_INVALID_HANDLE; }
HVSTATUS hvsim_sdk_adc_control(HHV handle, uint8_t code, int32_t value) { (void)handle; (void)code; (void)value; return HVSIM_STATUS_INVALID_HANDLE; }
HVSTATUS hvsim_sdk_open_snap(HHV handle, HVSnapCallback callback, void* userValue) { (void)handle; (void)callback; (void)userValue; return HVSIM_STATUS_INVALID_HANDLE; }
HVSTATUS hvsim_sdk_start_snap(HHV handle, uint8_t** buffers, int32_t count) { (void)handle; (void)buffers; (void)count; return HVSIM_STATUS_INVALID_HANDLE; }
HVSTATUS hvsim_sdk_snap_shot(HHV handle, uint8_t** buffers, int32_t count) { (void)handle; (void)buffers; (void)count; return HVSIM_STATUS_INVALID_HANDLE; }
HVSTATUS hvsim_sdk_close_snap(HHV handle) { (void)handle; return HVSIM_STATUS_INVALID_HANDLE; }
HVSTATUS hvsim_sdk_trigger_shot(HHV handle) { (void)handle; return HVSIM_STATUS_INVALID_HANDLE; }
HVSTATUS hvsim_sdk_set_trigger_polarity(HHV handle, int32_t polarity) { (void)handle; (void)polarity; return HVSIM_STATUS_INVALID_HANDLE; }
HVSTATUS hvsim_sdk_set_strobe_polarity(HHV handle, int32_t polarity) { (void)handle; (void)polarity; return HVSIM_STATUS_INVALID_HANDLE; }
HVSTATUS hvsim_sdk_set_snap_speed(HHV handle, int32_t speed) { (void)handle; (void)speed; return HVSIM_STATUS_INVALID_HANDLE; }
HVSTATUS hvsim_sdk_set_blanking(HHV handle, int32_t first, int32_t second) { (void)handle; (void)first; (void)second; return HVSIM_STATUS_INVALID_HANDLE; }
HVSTATUS hvsim_sdk_command(HHV handle, int32_t command, ControlRecord* record, int32_t* length) { (void)handle; (void)command; (void)record; (void)length; return HVSIM_STATUS_INVALID_HANDLE; }
}
