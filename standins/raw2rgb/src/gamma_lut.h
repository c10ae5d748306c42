// Gamma curves as 256-entry tables.
#pragma once

#include <cstdint>

namespace raw2rgb {

// entry i = round(255 * (i / 255) ^ (1 / gamma)), entry 0 = 0 and entry 255 = 255. A gamma that
// is not a finite number above zero (0.0, negative, NaN, infinite) gives the identity table.
void FillGammaLut(std::uint8_t* lut, double gamma);

}  // namespace raw2rgb
