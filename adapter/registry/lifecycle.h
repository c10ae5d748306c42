// Opening, allocating, restarting and closing cameras.
#pragma once

#include <cstdint>

namespace korvex {

int16_t OpenDevice(int16_t count);
int16_t AllocateResources();
int16_t CloseDevice();
int16_t RestatDevice(int16_t device);
int16_t GetDeviceTotal();

}  // namespace korvex
