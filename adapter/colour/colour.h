// White balance, colour tables and gamma, on a slot the guard has admitted.
#pragma once

#include <cstdint>

#include "registry/slot.h"

namespace korvex {

int16_t AutoWhiteBalance(Slot& slot);
int16_t SetWhiteBalanceRatio(Slot& slot, int16_t blue, int16_t red);
int16_t ResetLutTable(Slot& slot);
int16_t SetGamma(Slot& slot, int16_t value);

}  // namespace korvex
