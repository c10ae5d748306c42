// Exported entry points: exposure, geometry, controls, identification. Blanking and the last
// status are Unchecked: a closed camera is passed handle 0, which the camera library refuses.
#include "control/control.h"
#include "exports/guard.h"
#include "korvex.h"

using korvex::Guarded;
using korvex::Slot;
using korvex::SlotUse;

extern "C" {

KX_API int16_t KX_CALL ZqSetShutter(int16_t device, int16_t unit, int16_t value) {
    return Guarded<int16_t>(__func__, device, SlotUse::Control,
                            [&](Slot& slot) { return korvex::SetShutter(slot, unit, value); });
}

KX_API int16_t KX_CALL ZqSetResolution(int16_t device, int16_t mode) {
    return Guarded<int16_t>(__func__, device, SlotUse::Control,
                            [&](Slot& slot) { return korvex::SetResolution(slot, mode); });
}
KX_API int16_t KX_CALL ZqSetAOI(int16_t device, int16_t left, int16_t top, int16_t width, int16_t height) {
    return Guarded<int16_t>(__func__, device, SlotUse::Control,
                            [&](Slot& slot) { return korvex::SetAOI(slot, left, top, width, height); });
}
KX_API int16_t KX_CALL ZqGetImageWidth(int16_t device) {
    return Guarded<int16_t>(__func__, device, SlotUse::Control, korvex::GetImageWidth);
}
KX_API int16_t KX_CALL ZqGetImageHeight(int16_t device) {
    return Guarded<int16_t>(__func__, device, SlotUse::Control, korvex::GetImageHeight);
}

KX_API int16_t KX_CALL ZqSetGain(int16_t device, int16_t mode, int16_t value) {
    return Guarded<int16_t>(__func__, device, SlotUse::Control,
                            [&](Slot& slot) { return korvex::SetGain(slot, mode, value); });
}
KX_API int16_t KX_CALL ZqSetChannelGain(int16_t device, int16_t channel, int16_t value) {
    return Guarded<int16_t>(__func__, device, SlotUse::Control,
                            [&](Slot& slot) { return korvex::SetChannelGain(slot, channel, value); });
}
KX_API int16_t KX_CALL ZqSetADCLevel(int16_t device, int16_t level) {
    return Guarded<int16_t>(__func__, device, SlotUse::Control,
                            [&](Slot& slot) { return korvex::SetADCLevel(slot, level); });
}
KX_API int16_t KX_CALL ZqEnableADC(int16_t device, int16_t flag) {
    return Guarded<int16_t>(__func__, device, SlotUse::Control,
                            [&](Slot& slot) { return korvex::EnableADC(slot, flag); });
}
KX_API int16_t KX_CALL ZqSetADCValue(int16_t device, int16_t value) {
    return Guarded<int16_t>(__func__, device, SlotUse::Control,
                            [&](Slot& slot) { return korvex::SetADCValue(slot, value); });
}
KX_API int16_t KX_CALL ZqSetBlanking(int16_t device, int16_t first, int16_t second) {
    return Guarded<int16_t>(__func__, device, SlotUse::Unchecked,
                            [&](Slot& slot) { return korvex::SetBlanking(slot, first, second); });
}
KX_API int16_t KX_CALL ZqSetSnapMode(int16_t device, int16_t mode) {
    return Guarded<int16_t>(__func__, device, SlotUse::Control,
                            [&](Slot& slot) { return korvex::SetSnapMode(slot, mode); });
}
KX_API int16_t KX_CALL ZqSetSnapSpeed(int16_t device, int16_t flag) {
    return Guarded<int16_t>(__func__, device, SlotUse::Control,
                            [&](Slot& slot) { return korvex::SetSnapSpeed(slot, flag); });
}
KX_API int16_t KX_CALL ZqSetTriggerPolarity(int16_t device, int16_t flag) {
    return Guarded<int16_t>(__func__, device, SlotUse::Control,
                            [&](Slot& slot) { return korvex::SetTriggerPolarity(slot, flag); });
}
KX_API int16_t KX_CALL ZqSetStrobePolarity(int16_t device, int16_t flag) {
    return Guarded<int16_t>(__func__, device, SlotUse::Control,
                            [&](Slot& slot) { return korvex::SetStrobePolarity(slot, flag); });
}

KX_API uint8_t KX_CALL ZqGetDeviceType(int16_t device, uint8_t* buffer) {
    return Guarded<uint8_t>(__func__, device, SlotUse::Control,
                            [&](Slot& slot) { return korvex::GetDeviceType(slot, buffer); });
}
KX_API uint8_t KX_CALL ZqGetDeviceSeriesNum(int16_t device, uint8_t* buffer) {
    return Guarded<uint8_t>(__func__, device, SlotUse::Control,
                            [&](Slot& slot) { return korvex::GetDeviceSeriesNum(slot, buffer); });
}
KX_API uint8_t KX_CALL ZqGetHardwareVersion(int16_t device, uint8_t* buffer) {
    return Guarded<uint8_t>(__func__, device, SlotUse::Control,
                            [&](Slot& slot) { return korvex::GetHardwareVersion(slot, buffer); });
}
KX_API int16_t KX_CALL ZqGetLastStatus(int16_t device) {
    return Guarded<int16_t>(__func__, device, SlotUse::Unchecked, korvex::GetLastStatus);
}
}
