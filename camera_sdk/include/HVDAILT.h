/* The camera maker's control and capture library, as the adapter calls it.
 * Any build of it (the maker's, the simulated one, a test double) must match these shapes. */
#pragma once

#include <stdint.h>

#include "hvdailt_operations.h"
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

/* The 20 operations, declared from their one list. */
#define HVDAILT_DECLARE(returnType, name, ...) \
    returnType KX_CALL name(HVDAILT_MAP(HVDAILT_PARAMETER_DECLARATION, __VA_ARGS__));
HVDAILT_OPERATIONS(HVDAILT_DECLARE)
#undef HVDAILT_DECLARE

#ifdef __cplusplus
}
#endif
