// Placeholders until camera control lands; every call is refused.
#include "control/control.h"

namespace korvex {

int16_t SetShutter(int16_t, int16_t, int16_t) { return 0; }
int16_t SetResolution(int16_t, int16_t) { return 0; }
int16_t SetAOI(int16_t, int16_t, int16_t, int16_t, int16_t) { return 0; }
int16_t GetImageWidth(int16_t) { return 0; }
int16_t GetImageHeight(int16_t) { return 0; }
int16_t SetGain(int16_t, int16_t, int16_t) { return 0; }
int16_t SetChannelGain(int16_t, int16_t, int16_t) { return 0; }
int16_t SetADCLevel(int16_t, int16_t) { return 0; }
int16_t EnableADC(int16_t, int16_t) { return 0; }
int16_t SetADCValue(int16_t, int16_t) { return 0; }
int16_t SetBlanking(int16_t, int16_t, int16_t) { return 0; }
int16_t SetSnapMode(int16_t, int16_t) { return 0; }
int16_t SetSnapSpeed(int16_t, int16_t) { return 0; }
int16_t SetTriggerPolarity(int16_t, int16_t) { return 0; }
int16_t SetStrobePolarity(int16_t, int16_t) { return 0; }
int16_t TriggerShot(int16_t) { return 0; }
uint8_t GetDeviceType(int16_t, uint8_t*) { return 0; }
uint8_t GetDeviceSeriesNum(int16_t, uint8_t*) { return 0; }
uint8_t GetHardwareVersion(int16_t, uint8_t*) { return 0; }
int16_t GetLastStatus(int16_t) { return 0; }

}  // namespace korvex
