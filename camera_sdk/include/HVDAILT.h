/* The camera maker's control and capture library, as the adapter calls it.
 * Any build of it (the maker's, the simulated one, a test double) must match these shapes. */
#ifndef KORVEX_SDK_HVDAILT_H
#define KORVEX_SDK_HVDAILT_H

#include <stdint.h>

#include "kx_call.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t HVSTATUS; /* 0 = success, anything else = failure */
typedef uint32_t HHV;     /* opaque camera handle, 0 = none */

typedef struct SnapInfo { /* what the SDK hands a snap callback, one per frame */
    HHV handle;           /* the camera's handle */
    int32_t device;       /* the device number given to BeginHVDevice */
    int32_t bufferIndex;  /* index, in the array given to HVStartSnap, of the buffer just filled */
    int32_t userValue;    /* the value given to HVOpenSnap */
} SnapInfo;

typedef int32_t(KX_CALL* HVSnapCallback)(SnapInfo* info); /* returns 1 */

typedef struct ResolutionEntry {
    int32_t width;
    int32_t height;
} ResolutionEntry;

typedef struct ControlRecord { /* six fields: 24 bytes on a 32-bit target */
    int32_t code;
    void* input;
    int32_t inputSize;
    void* output;
    int32_t outputSize;
    int32_t reserved; /* 0 */
} ControlRecord;

/* Device-information kinds for HVGetDeviceInfo. Kinds 1, 3 and 6 use two calls: a null buffer
 * first writes the size in bytes, a second call with a buffer of that size fills it. */
enum {
    HV_INFO_TYPE_CODE = 0,   /* int32_t, one call, size 4 */
    HV_INFO_RESOLUTIONS = 1, /* ResolutionEntry array, full sensor first */
    HV_INFO_SERIAL = 3,      /* serial-number text, at most 256 bytes */
    HV_INFO_HW_VERSION = 6   /* int32_t */
};

/* HVCommand's only command, and its control code for the camera status query. */
enum { HV_COMMAND_CONTROL = 256, HV_CONTROL_STATUS_QUERY = 14 };

HVSTATUS KX_CALL BeginHVDevice(int32_t device, HHV* handle);
HVSTATUS KX_CALL EndHVDevice(HHV handle);
HVSTATUS KX_CALL HVGetDeviceTotal(int32_t* count);
HVSTATUS KX_CALL HVGetDeviceInfo(HHV handle, int32_t kind, void* buffer, int32_t* size);
HVSTATUS KX_CALL HVSetResolution(HHV handle, int32_t mode);
HVSTATUS KX_CALL HVSetOutputWindow(HHV handle, int32_t left, int32_t top, int32_t width, int32_t height);
HVSTATUS KX_CALL HVSetSnapMode(HHV handle, int32_t mode);
HVSTATUS KX_CALL HVAGCControl(HHV handle, uint8_t code, int32_t value);
HVSTATUS KX_CALL HVAECControl(HHV handle, uint8_t code, uint32_t value);
HVSTATUS KX_CALL HVADCControl(HHV handle, uint8_t code, int32_t value);
HVSTATUS KX_CALL HVOpenSnap(HHV handle, HVSnapCallback callback, void* userValue);
HVSTATUS KX_CALL HVStartSnap(HHV handle, uint8_t** buffers, int32_t count);
HVSTATUS KX_CALL HVSnapShot(HHV handle, uint8_t** buffers, int32_t count);
HVSTATUS KX_CALL HVCloseSnap(HHV handle);
HVSTATUS KX_CALL HVTriggerShot(HHV handle);
HVSTATUS KX_CALL HVSetTriggerPolarity(HHV handle, int32_t polarity);
HVSTATUS KX_CALL HVSetStrobePolarity(HHV handle, int32_t polarity);
HVSTATUS KX_CALL HVSetSnapSpeed(HHV handle, int32_t speed);
HVSTATUS KX_CALL HVSetBlanking(HHV handle, int32_t first, int32_t second);
HVSTATUS KX_CALL HVCommand(HHV handle, int32_t command, ControlRecord* record, int32_t* length);

#ifdef __cplusplus
}
#endif

#endif
