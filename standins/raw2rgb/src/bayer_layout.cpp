#include "bayer_layout.h"

namespace raw2rgb {

bool LayoutFromCode(std::int32_t code, BayerLayout* layout) {
    constexpr Colour kB = Colour::Blue;
    constexpr Colour kG = Colour::Green;
    constexpr Colour kR = Colour::Red;
    switch (code) {
        case 1: *layout = {{{kB, kG}, {kG, kR}}}; return true;
        case 2: *layout = {{{kG, kB}, {kR, kG}}}; return true;
        case 3: *layout = {{{kG, kR}, {kB, kG}}}; return true;
        case 4: *layout = {{{kR, kG}, {kG, kB}}}; return true;
        default: return false;
    }
}

}  // namespace raw2rgb
