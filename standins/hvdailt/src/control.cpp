// Pending: control stubs until the simulator lands.
#include "hvsim_control.h"

extern "C" {
void hvsim_reset(void) {  }
int32_t hvsim_configure(const char* cameras) { (void)cameras; return -1; }
int32_t hvsim_set_type_code(int32_t device, int32_t typeCode) { (void)device; (void)typeCode; return -1; }
int32_t hvsim_set_resolutions(int32_t device, const ResolutionEntry* entries, int32_t count) { (void)device; (void)entries; (void)count; return -1; }
int32_t hvsim_set_serial(int32_t device, const char* serial) { (void)device; (void)serial; return -1; }
int32_t hvsim_set_hw_version(int32_t device, int32_t version) { (void)device; (void)version; return -1; }
int32_t hvsim_set_camera_status(int32_t device, int32_t status) { (void)device; (void)status; return -1; }
void hvsim_fail(HvSimOp op, int32_t status, int32_t first, int32_t count) { (void)op; (void)status; (void)first; (void)count;  }
void hvsim_clear_faults(void) {  }
int32_t hvsim_log_count(void) { return -1; }
int32_t hvsim_log_get(int32_t index, HvSimCall* call) { (void)index; (void)call; return -1; }
void hvsim_log_clear(void) {  }
const char* hvsim_op_name(HvSimOp op) { (void)op; return ""; }
int32_t hvsim_set_callback_slot(int32_t slot, HVSnapCallback callback) { (void)slot; (void)callback; return -1; }
void hvsim_set_manual_frames(int32_t enabled) { (void)enabled;  }
int32_t hvsim_deliver_frames(int32_t device, int32_t count) { (void)device; (void)count; return -1; }
void hvsim_set_noise(int32_t enabled) { (void)enabled;  }
int64_t hvsim_frame_interval_us(int32_t device) { (void)device; return -1; }
int32_t hvsim_decode_stamp(const uint8_t* image, int32_t width, int32_t height, int32_t bytesPerPixel, HvSimStamp* stamp) { (void)image; (void)width; (void)height; (void)bytesPerPixel; (void)stamp; return -1; }
int32_t hvsim_get_state(int32_t device, HvSimCameraState* state) { (void)device; (void)state; return -1; }
int32_t hvsim_get_defaults(int32_t device, HvSimCameraState* state) { (void)device; (void)state; return -1; }
}
