// Exported entry points: exposure, geometry, controls, identification.
#include "control/control.h"
#include "korvex.h"

extern "C" {

KX_API int16_t KX_CALL ZqSetShutter(int16_t device, int16_t unit, int16_t value) {
    return korvex::SetShutter(device, unit, value);
}

KX_API int16_t KX_CALL ZqSetResolution(int16_t device, int16_t mode) { return korvex::SetResolution(device, mode); }
KX_API int16_t KX_CALL ZqSetAOI(int16_t device, int16_t left, int16_t top, int16_t width, int16_t height) {
    return korvex::SetAOI(device, left, top, width, height);
}
KX_API int16_t KX_CALL ZqGetImageWidth(int16_t device) { return korvex::GetImageWidth(device); }
KX_API int16_t KX_CALL ZqGetImageHeight(int16_t device) { return korvex::GetImageHeight(device); }

KX_API int16_t KX_CALL ZqSetGain(int16_t device, int16_t mode, int16_t value) {
    return korvex::SetGain(device, mode, value);
}
KX_API int16_t KX_CALL ZqSetChannelGain(int16_t device, int16_t channel, int16_t value) {
    return korvex::SetChannelGain(device, channel, value);
}
KX_API int16_t KX_CALL ZqSetADCLevel(int16_t device, int16_t level) { return korvex::SetADCLevel(device, level); }
KX_API int16_t KX_CALL ZqEnableADC(int16_t device, int16_t flag) { return korvex::EnableADC(device, flag); }
KX_API int16_t KX_CALL ZqSetADCValue(int16_t device, int16_t value) { return korvex::SetADCValue(device, value); }
KX_API int16_t KX_CALL ZqSetBlanking(int16_t device, int16_t first, int16_t second) {
    return korvex::SetBlanking(device, first, second);
}
KX_API int16_t KX_CALL ZqSetSnapMode(int16_t device, int16_t mode) { return korvex::SetSnapMode(device, mode); }
KX_API int16_t KX_CALL ZqSetSnapSpeed(int16_t device, int16_t flag) { return korvex::SetSnapSpeed(device, flag); }
KX_API int16_t KX_CALL ZqSetTriggerPolarity(int16_t device, int16_t flag) {
    return korvex::SetTriggerPolarity(device, flag);
}
KX_API int16_t KX_CALL ZqSetStrobePolarity(int16_t device, int16_t flag) {
    return korvex::SetStrobePolarity(device, flag);
}

KX_API uint8_t KX_CALL ZqGetDeviceType(int16_t device, uint8_t* buffer) {
    return korvex::GetDeviceType(device, buffer);
}
KX_API uint8_t KX_CALL ZqGetDeviceSeriesNum(int16_t device, uint8_t* buffer) {
    return korvex::GetDeviceSeriesNum(device, buffer);
}
KX_API uint8_t KX_CALL ZqGetHardwareVersion(int16_t device, uint8_t* buffer) {
    return korvex::GetHardwareVersion(device, buffer);
}
KX_API int16_t KX_CALL ZqGetLastStatus(int16_t device) { return korvex::GetLastStatus(device); }
}
