// Camera control: exposure, geometry, gain and converter, timing and trigger, identification.
#pragma once

#include <cstdint>

namespace korvex {

int16_t SetShutter(int16_t device, int16_t unit, int16_t value);

int16_t SetResolution(int16_t device, int16_t mode);
int16_t SetAOI(int16_t device, int16_t left, int16_t top, int16_t width, int16_t height);
int16_t GetImageWidth(int16_t device);
int16_t GetImageHeight(int16_t device);

int16_t SetGain(int16_t device, int16_t mode, int16_t value);
int16_t SetChannelGain(int16_t device, int16_t channel, int16_t value);
int16_t SetADCLevel(int16_t device, int16_t level);
int16_t EnableADC(int16_t device, int16_t flag);
int16_t SetADCValue(int16_t device, int16_t value);
int16_t SetBlanking(int16_t device, int16_t first, int16_t second);
int16_t SetSnapMode(int16_t device, int16_t mode);
int16_t SetSnapSpeed(int16_t device, int16_t flag);
int16_t SetTriggerPolarity(int16_t device, int16_t flag);
int16_t SetStrobePolarity(int16_t device, int16_t flag);
int16_t TriggerShot(int16_t device);

uint8_t GetDeviceType(int16_t device, uint8_t* buffer);
uint8_t GetDeviceSeriesNum(int16_t device, uint8_t* buffer);
uint8_t GetHardwareVersion(int16_t device, uint8_t* buffer);
int16_t GetLastStatus(int16_t device);

}  // namespace korvex
