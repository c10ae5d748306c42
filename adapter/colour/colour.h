// White balance, colour tables and gamma.
#pragma once

#include <cstdint>

namespace korvex {

int16_t AutoWhiteBalance(int16_t device);
int16_t SetWhiteBalanceRatio(int16_t device, int16_t blue, int16_t red);
int16_t ResetLutTable(int16_t device);
int16_t SetGamma(int16_t device, int16_t value);

}  // namespace korvex
