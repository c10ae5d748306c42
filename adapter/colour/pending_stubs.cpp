// Placeholders until colour processing lands; every call is refused.
#include "colour/colour.h"

namespace korvex {

int16_t AutoWhiteBalance(int16_t) { return 0; }
int16_t SetWhiteBalanceRatio(int16_t, int16_t, int16_t) { return 0; }
int16_t ResetLutTable(int16_t) { return 0; }
int16_t SetGamma(int16_t, int16_t) { return 0; }

}  // namespace korvex
