// Exported entry points: capture, delivery and the cross-hair.
#include "acquisition/acquisition.h"
#include "exports/guard.h"
#include "korvex.h"

using korvex::Guarded;
using korvex::Slot;
using korvex::SlotUse;

extern "C" {

KX_API int16_t KX_CALL ZqStartGrab(int16_t device) {
    return Guarded<int16_t>(__func__, device, SlotUse::StartCapture, korvex::StartGrab);
}
KX_API int16_t KX_CALL ZqStopGrab(int16_t device) {
    return Guarded<int16_t>(__func__, device, SlotUse::StopCapture, korvex::StopGrab);
}
KX_API int16_t KX_CALL ZqSetTimeout(int16_t milliseconds) { return korvex::SetTimeout(milliseconds); }

KX_API int16_t KX_CALL ZqExportImageData(int16_t device, uint8_t* destination, int16_t width, int16_t height,
                                         int16_t colour, int16_t layout) {
    return Guarded<int16_t>(__func__, device, SlotUse::ReadFrames, [&](Slot& slot) {
        return korvex::ExportImageData(slot, destination, width, height, colour, layout);
    });
}

KX_API int16_t KX_CALL ZqGrabSingle(int16_t device, uint8_t* destination, int16_t width, int16_t height, int16_t colour,
                                    int16_t layout) {
    return Guarded<int16_t>(__func__, device, SlotUse::Grab, [&](Slot& slot) {
        return korvex::GrabSingle(slot, destination, width, height, colour, layout);
    });
}

// The overlay belongs to no camera: the device number is ignored (the AnyCamera row of the table).
KX_API int16_t KX_CALL ZqEnableCross(int16_t device, int16_t flag) {
    return korvex::GuardedIgnoringDevice<int16_t>(__func__, device, SlotUse::AnyCamera,
                                                  [&] { return korvex::EnableCross(flag); });
}

KX_API int16_t KX_CALL ZqSetCrossPara(int16_t device, int16_t x, int16_t y, int16_t width, int16_t height,
                                      int16_t thickness) {
    return korvex::GuardedIgnoringDevice<int16_t>(__func__, device, SlotUse::AnyCamera,
                                                  [&] { return korvex::SetCrossPara(x, y, width, height, thickness); });
}
}
