/* The camera library's 20 operations as libhvsim implements them. libHVDAILT's exported functions
 * forward here one to one; the arguments and results are those of HVDAILT.h. These entry points
 * use the platform's default calling convention, the exported wrappers the camera library's. */
#ifndef HVSIM_SDK_ENTRY_H
#define HVSIM_SDK_ENTRY_H

#include "hvsim_control.h"

#ifdef __cplusplus
extern "C" {
#endif

HVSIM_API HVSTATUS hvsim_sdk_begin_device(int32_t device, HHV* handle);
HVSIM_API HVSTATUS hvsim_sdk_end_device(HHV handle);
HVSIM_API HVSTATUS hvsim_sdk_get_device_total(int32_t* count);
HVSIM_API HVSTATUS hvsim_sdk_get_device_info(HHV handle, int32_t kind, void* buffer, int32_t* size);
HVSIM_API HVSTATUS hvsim_sdk_set_resolution(HHV handle, int32_t mode);
HVSIM_API HVSTATUS hvsim_sdk_set_output_window(HHV handle, int32_t left, int32_t top, int32_t width, int32_t height);
HVSIM_API HVSTATUS hvsim_sdk_set_snap_mode(HHV handle, int32_t mode);
HVSIM_API HVSTATUS hvsim_sdk_agc_control(HHV handle, uint8_t code, int32_t value);
HVSIM_API HVSTATUS hvsim_sdk_aec_control(HHV handle, uint8_t code, uint32_t value);
HVSIM_API HVSTATUS hvsim_sdk_adc_control(HHV handle, uint8_t code, int32_t value);
HVSIM_API HVSTATUS hvsim_sdk_open_snap(HHV handle, HVSnapCallback callback, void* userValue);
HVSIM_API HVSTATUS hvsim_sdk_start_snap(HHV handle, uint8_t** buffers, int32_t count);
HVSIM_API HVSTATUS hvsim_sdk_snap_shot(HHV handle, uint8_t** buffers, int32_t count);
HVSIM_API HVSTATUS hvsim_sdk_close_snap(HHV handle);
HVSIM_API HVSTATUS hvsim_sdk_trigger_shot(HHV handle);
HVSIM_API HVSTATUS hvsim_sdk_set_trigger_polarity(HHV handle, int32_t polarity);
HVSIM_API HVSTATUS hvsim_sdk_set_strobe_polarity(HHV handle, int32_t polarity);
HVSIM_API HVSTATUS hvsim_sdk_set_snap_speed(HHV handle, int32_t speed);
HVSIM_API HVSTATUS hvsim_sdk_set_blanking(HHV handle, int32_t first, int32_t second);
HVSIM_API HVSTATUS hvsim_sdk_command(HHV handle, int32_t command, ControlRecord* record, int32_t* length);

#ifdef __cplusplus
}
#endif

#endif
