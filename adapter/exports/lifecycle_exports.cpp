// Exported entry points: lifecycle.
#include "korvex.h"
#include "registry/lifecycle.h"

extern "C" {

KX_API int16_t KX_CALL ZqOpenDevice(int16_t count) { return korvex::OpenDevice(count); }
KX_API int16_t KX_CALL ZqAllocateResources(void) { return korvex::AllocateResources(); }
KX_API int16_t KX_CALL ZqCloseDevice(void) { return korvex::CloseDevice(); }
KX_API int16_t KX_CALL ZqRestatDevice(int16_t device) { return korvex::RestatDevice(device); }
KX_API int16_t KX_CALL ZqGetDeviceTotal(void) { return korvex::GetDeviceTotal(); }
}
