// Camera control: exposure, geometry, gain and converter, timing and trigger, identification, on
// a slot the guard has admitted.
#pragma once

#include <cstdint>

#include "registry/slot.h"

namespace korvex {

int16_t SetShutter(Slot& slot, int16_t unit, int16_t value);

int16_t SetResolution(Slot& slot, int16_t mode);
int16_t SetAOI(Slot& slot, int16_t left, int16_t top, int16_t width, int16_t height);
int16_t GetImageWidth(Slot& slot);
int16_t GetImageHeight(Slot& slot);

int16_t SetGain(Slot& slot, int16_t mode, int16_t value);
int16_t SetChannelGain(Slot& slot, int16_t channel, int16_t value);
int16_t SetADCLevel(Slot& slot, int16_t level);
int16_t EnableADC(Slot& slot, int16_t flag);
int16_t SetADCValue(Slot& slot, int16_t value);
int16_t SetBlanking(Slot& slot, int16_t first, int16_t second);
int16_t SetSnapMode(Slot& slot, int16_t mode);
int16_t SetSnapSpeed(Slot& slot, int16_t flag);
int16_t SetTriggerPolarity(Slot& slot, int16_t flag);
int16_t SetStrobePolarity(Slot& slot, int16_t flag);
int16_t TriggerShot(Slot& slot);

uint8_t GetDeviceType(Slot& slot, uint8_t* buffer);
uint8_t GetDeviceSeriesNum(Slot& slot, uint8_t* buffer);
uint8_t GetHardwareVersion(Slot& slot, uint8_t* buffer);
int16_t GetLastStatus(Slot& slot);

}  // namespace korvex
