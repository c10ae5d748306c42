/* A host written in C that links Korvex.dll through its import library, as an outside program
 * would. It names all 37 functions, so the program only starts when every one of them resolves to
 * an export of Korvex.dll, then drives one simulated camera through a capture.
 * Prints "c host: ok" and exits 0 when every call gave the expected result. */
#include <stdio.h>

#include "korvex.h"

typedef void (*AnyFunction)(void);

/* Each function's address, so that the linker imports all of them. */
static const AnyFunction kEveryExport[] = {
    (AnyFunction)ZqAllocateResources,  (AnyFunction)ZqAutoWhiteBalance,
    (AnyFunction)ZqCloseDevice,        (AnyFunction)ZqEnableADC,
    (AnyFunction)ZqEnableCross,        (AnyFunction)ZqExportImageData,
    (AnyFunction)ZqGetDeviceSeriesNum, (AnyFunction)ZqGetDeviceTotal,
    (AnyFunction)ZqGetDeviceType,      (AnyFunction)ZqGetHardwareVersion,
    (AnyFunction)ZqGetImageHeight,     (AnyFunction)ZqGetImageWidth,
    (AnyFunction)ZqGetLastStatus,      (AnyFunction)ZqGrabSingle,
    (AnyFunction)ZqOpenDevice,         (AnyFunction)ZqResetLutTable,
    (AnyFunction)ZqRestatDevice,       (AnyFunction)ZqSetADCLevel,
    (AnyFunction)ZqSetADCValue,        (AnyFunction)ZqSetAOI,
    (AnyFunction)ZqSetBlanking,        (AnyFunction)ZqSetChannelGain,
    (AnyFunction)ZqSetCrossPara,       (AnyFunction)ZqSetGain,
    (AnyFunction)ZqSetGamma,           (AnyFunction)ZqSetResolution,
    (AnyFunction)ZqSetShutter,         (AnyFunction)ZqSetSnapMode,
    (AnyFunction)ZqSetSnapSpeed,       (AnyFunction)ZqSetStrobePolarity,
    (AnyFunction)ZqSetTimeout,         (AnyFunction)ZqSetTrigerShot,
    (AnyFunction)ZqSetTriggerPolarity, (AnyFunction)ZqSetWhiteBalanceRatio,
    (AnyFunction)ZqStartGrab,          (AnyFunction)ZqStopGrab,
    (AnyFunction)ZqTriggerShot,
};

static int failures = 0;

static void Expect(const char* what, int got, int wanted) {
    if (got == wanted) return;
    printf("c host: %s gave %d, expected %d\n", what, got, wanted);
    ++failures;
}

int main(void) {
    static uint8_t grey[2048 * 2048];
    const int exports = (int)(sizeof kEveryExport / sizeof kEveryExport[0]);
    int16_t width = 0;
    int16_t height = 0;
    int missing = 0;
    for (int i = 0; i < exports; ++i) missing += kEveryExport[i] == NULL;
    Expect("functions named", exports - missing, 37);

    Expect("ZqOpenDevice(1)", ZqOpenDevice(1), 1);
    Expect("ZqAllocateResources()", ZqAllocateResources(), 1);
    width = ZqGetImageWidth(1);
    height = ZqGetImageHeight(1);
    Expect("a frame fits", width > 0 && height > 0 && (long)width * height <= (long)sizeof grey, 1);
    Expect("ZqSetSnapMode(1, 1) (triggered)", ZqSetSnapMode(1, 1), 1);
    Expect("ZqStartGrab(1)", ZqStartGrab(1), 1);
    Expect("ZqSetTrigerShot(1)", ZqSetTrigerShot(1), 1);
    Expect("ZqExportImageData after ZqSetTrigerShot", ZqExportImageData(1, grey, width, height, 0, 1), 1);
    Expect("ZqTriggerShot(1)", ZqTriggerShot(1), 1);
    Expect("ZqExportImageData after ZqTriggerShot", ZqExportImageData(1, grey, width, height, 0, 1), 1);
    Expect("ZqStopGrab(1)", ZqStopGrab(1), 1);
    Expect("ZqCloseDevice()", ZqCloseDevice(), 1);
    if (failures == 0) printf("c host: ok\n");
    return failures == 0 ? 0 : 1;
}
