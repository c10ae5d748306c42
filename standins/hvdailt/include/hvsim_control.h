/* Test-only control of the simulated camera library.
 *
 * The simulated cameras live in libhvsim; libHVDAILT exports only the camera library's own
 * functions and forwards them here. Tests and the demo link libhvsim to configure cameras, inject
 * failures, read the call log, deliver frames on demand and decode frame stamps. Nothing here is
 * part of the adapter or of the camera library's binary contract.
 *
 * Every function is thread-safe. Device numbers count from 1, as in BeginHVDevice. */
#pragma once

#include <stdint.h>

#include "HVDAILT.h"

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#if defined(HVSIM_BUILDING)
#define HVSIM_API __declspec(dllexport)
#else
#define HVSIM_API __declspec(dllimport)
#endif
#else
#define HVSIM_API __attribute__((visibility("default")))
#endif

/* The 20 operations of the camera library, in the order of its declaration: HVSIM_<operation>. */
typedef enum HvSimOp {
#define HVSIM_OP_ENUMERATOR(returnType, name, ...) HVSIM_##name,
    HVDAILT_OPERATIONS(HVSIM_OP_ENUMERATOR) /* HVSIM_BeginHVDevice = 0, HVSIM_EndHVDevice, ... */
#undef HVSIM_OP_ENUMERATOR
    HVSIM_OP_COUNT
} HvSimOp;

/* Statuses the simulated camera library returns besides 0 (success). Injected faults return
 * whatever status hvsim_fail was given. */
enum {
    HVSIM_STATUS_INVALID_HANDLE = -1,    /* handle 0, unknown, or of a camera since ended */
    HVSIM_STATUS_INVALID_PARAMETER = -2, /* null pointer, code or value out of range */
    HVSIM_STATUS_BAD_STATE = -3,         /* e.g. starting a capture twice, trigger while free-running */
    HVSIM_STATUS_BUFFER_TOO_SMALL = -4,  /* HVGetDeviceInfo: size below what the kind needs */
    HVSIM_STATUS_NOT_SUPPORTED = -5,     /* a code this camera family does not have */
    HVSIM_STATUS_FAULT = -6,             /* the call could not be completed (out of memory, a system error) */
    HVSIM_STATUS_UNPLUGGED = -7          /* the camera was unplugged (hvsim_unplug) */
};

/* ---- configuration ---------------------------------------------------------------------- */

/* Returns the simulator to its state at load: cameras from KORVEX_SIM_CAMERAS (unset or empty:
 * the default pair), every camera closed and idle, no faults, an empty call log, free-running
 * frames. Stops any capture thread first. A value with an unusable entry leaves no cameras and
 * writes hvsim_configuration_error() as one line on standard error, as at load. */
HVSIM_API void hvsim_reset(void);

/* Replaces the camera set, as KORVEX_SIM_CAMERAS would: comma-separated model names, decimal
 * type codes or replay:<recording folder> entries (empty: the default pair). Returns the number
 * of cameras, or -1 with nothing changed when an entry cannot be used (unknown model name, a
 * folder that is not a readable recording, more than 16 cameras); hvsim_configuration_error()
 * then says which entry and why. */
HVSIM_API int32_t hvsim_configure(const char* cameras);

/* Why the latest configuration (hvsim_configure, hvsim_reset or the library's first use) failed,
 * naming the entry and the names that exist; "" when it worked. The text stays valid until this
 * thread calls here again. */
HVSIM_API const char* hvsim_configuration_error(void);

/* Per-camera overrides, for tests. Each returns 0, or -1 for a device number that does not exist.
 * A resolution list of 0 entries makes the list query report size 0. */
HVSIM_API int32_t hvsim_set_type_code(int32_t device, int32_t typeCode);
HVSIM_API int32_t hvsim_set_resolutions(int32_t device, const ResolutionEntry* entries, int32_t count);
HVSIM_API int32_t hvsim_set_serial(int32_t device, const char* serial);
HVSIM_API int32_t hvsim_set_hw_version(int32_t device, int32_t version);
HVSIM_API int32_t hvsim_set_camera_status(int32_t device, int32_t status); /* the status query's output */

/* ---- fault injection -------------------------------------------------------------------- */

/* From now on, calls number first .. first + count - 1 of op (counted from 1 at this call) fail
 * with status, which must be non-zero; count -1 means every call from first on. A failing call
 * returns the status and changes nothing, and writes nothing through its pointers. */
HVSIM_API void hvsim_fail(HvSimOp op, int32_t status, int32_t first, int32_t count);
HVSIM_API void hvsim_clear_faults(void);

/* ---- call log --------------------------------------------------------------------------- */

/* One entry per call into the camera library, in call order. args holds the integer arguments
 * after the handle in call order, widened to 32 bits (a pointer argument is logged as 1 when
 * non-null and 0 when null; the callback of HVOpenSnap as its slot number 1..10 when it is one
 * of the adapter's, else 1). BeginHVDevice logs its device number in args[0]; HVGetDeviceTotal
 * has no handle. */
typedef struct HvSimCall {
    HvSimOp op;
    HHV handle;
    int32_t argCount;
    int64_t args[6];
    HVSTATUS status; /* what the call returned */
} HvSimCall;

HVSIM_API int32_t hvsim_log_count(void);
HVSIM_API int32_t hvsim_log_get(int32_t index, HvSimCall* call); /* 0, or -1 out of range */
HVSIM_API void hvsim_log_clear(void);
HVSIM_API const char* hvsim_op_name(HvSimOp op);

/* Names the adapter's per-device snap callback slot (1..10) for the call log; a callback that was
 * never named is logged as 1, a null one as 0. Kept across hvsim_reset. Returns 0, or -1 for a
 * slot out of range. */
HVSIM_API int32_t hvsim_set_callback_slot(int32_t slot, HVSnapCallback callback);

/* ---- frames ----------------------------------------------------------------------------- */

/* Manual frame mode: capture threads produce no frame of their own; each hvsim_deliver_frames
 * call makes count frames on the camera's capture thread (buffer index alternating 0, 1, 0, ...
 * continuously across calls) and returns after their callbacks have returned. Returns the number
 * delivered (0 when the camera is not capturing). */
HVSIM_API void hvsim_set_manual_frames(int32_t enabled);
HVSIM_API int32_t hvsim_deliver_frames(int32_t device, int32_t count);

/* Pulls a camera's cable, as a person or a hub reset would: from now on it makes no frames, and
 * the session of its handle (if it was begun) is lost for good. Every call on that handle then
 * fails with HVSIM_STATUS_UNPLUGGED, except two, so that a host can let go of its buffers:
 * HVCloseSnap stops and joins the capture thread and then fails (HVSIM_STATUS_UNPLUGGED), and
 * EndHVDevice stops and joins it, ends the session and returns 0. BeginHVDevice on an unplugged
 * camera fails with HVSIM_STATUS_UNPLUGGED; HVGetDeviceTotal still counts it, so device numbers
 * stay. Returns after any frame or snapshot in progress has been written and called back
 * (except when called from the camera's own snap callback): no frame is written after it.
 * 0, or -1 for an unknown device.
 *
 * hvsim_replug plugs it back in with its default settings (a power cycle): BeginHVDevice gives a
 * fresh handle and capture works again; the lost session's handle keeps failing. 0, or -1. */
HVSIM_API int32_t hvsim_unplug(int32_t device);
HVSIM_API int32_t hvsim_replug(int32_t device);

/* Sensor noise on or off (default off), for tests that compare frames. */
HVSIM_API void hvsim_set_noise(int32_t enabled);

/* Tear stamp on or off (default off): every rendered frame at least 2 x HVSIM_STAMP_HEIGHT rows
 * high then carries its stamp a second time, at its bottom-left (its last HVSIM_STAMP_HEIGHT
 * rows), after the rest of the frame. A frame read while the camera refilled its buffer shows two
 * different stamps; decode the bottom one by passing the address of the frame's last
 * HVSIM_STAMP_HEIGHT rows to hvsim_decode_stamp. Replayed recordings keep their own pixels. */
HVSIM_API void hvsim_set_tear_stamp(int32_t enabled);

/* Time between two free-running frames of the camera with its current settings, in
 * microseconds: the longer of the sensor readout and the exposure. -1 for an unknown device. */
HVSIM_API int64_t hvsim_frame_interval_us(int32_t device);

/* The stamp every simulated frame carries at its top-left: which camera, which frame (counting
 * from 0 per camera since hvsim_reset), and which buffer index it was written to. */
typedef struct HvSimStamp {
    int32_t device;
    int32_t frame;
    int32_t bufferIndex;
} HvSimStamp;

/* The stamp is 16 x 4 blocks of 4 x 4 pixels: 64 x 16 pixels. A frame narrower or lower than
 * that carries no stamp. */
#define HVSIM_STAMP_WIDTH 64
#define HVSIM_STAMP_HEIGHT 16

/* Decodes the stamp of an image whose rows are width pixels of bytesPerPixel bytes each:
 * 1 for a raw or grey frame, 4 for an exported B,G,R,0 frame, 3 for the converter's output.
 * Returns 0, or -1 when no valid stamp is found. */
HVSIM_API int32_t hvsim_decode_stamp(const uint8_t* image, int32_t width, int32_t height, int32_t bytesPerPixel,
                                     HvSimStamp* stamp);

/* ---- camera state, as the camera library was told it ------------------------------------ */

typedef struct HvSimCameraState {
    int32_t open;      /* begun and not ended */
    int32_t capturing; /* HVStartSnap succeeded and HVCloseSnap not yet called */
    int32_t typeCode;
    int32_t resolutionMode;
    int32_t windowLeft, windowTop, windowWidth, windowHeight; /* current frame geometry */
    int32_t snapMode;                                         /* 0 continuous, other values triggered */
    int32_t snapSpeed, triggerPolarity, strobePolarity;
    int32_t blankingFirst, blankingSecond;
    int32_t gain[4]; /* codes 16..19 */
    int32_t adcLevel, adcEnabled, adcValue[4];
    int32_t exposureUnit, exposureValue; /* SV models: control codes 3 and 2 */
    uint32_t exposureRows;               /* other models: control code 1 */
    int64_t framesDelivered;
    int32_t colour;                    /* 1 for a Bayer-mosaic colour sensor, 0 for a monochrome one */
    int32_t bayerLayout;               /* 1..4 as the converter names it (colour sensors), 0 for mono */
    int32_t sensorWidth, sensorHeight; /* the first entry of the resolution list */
} HvSimCameraState;

HVSIM_API int32_t hvsim_get_state(int32_t device, HvSimCameraState* state); /* 0, or -1 */

/* The state the camera has after hvsim_reset (closed, idle, every setting at its model's
 * default, e.g. the default exposureRows). 0, or -1 for an unknown device. */
HVSIM_API int32_t hvsim_get_defaults(int32_t device, HvSimCameraState* state);

#ifdef __cplusplus
}
#endif
