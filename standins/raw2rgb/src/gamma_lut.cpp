#include "gamma_lut.h"

#include <algorithm>
#include <cmath>

namespace raw2rgb {

void FillGammaLut(std::uint8_t* lut, double gamma) {
    const bool usable = std::isfinite(gamma) && gamma > 0.0;
    const double exponent = usable ? 1.0 / gamma : 1.0;  // inf for a subnormal gamma: still defined
    lut[0] = 0;
    for (int i = 1; i < 255; ++i) {
        const double value = 255.0 * std::pow(i / 255.0, exponent);
        lut[i] = static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
    }
    lut[255] = 255;
}

}  // namespace raw2rgb
