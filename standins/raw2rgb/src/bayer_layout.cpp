#include "bayer_layout.h"

namespace raw2rgb {

bool layout_from_code(std::int32_t code, BayerLayout* layout)
{
    constexpr Colour B = Colour::Blue;
    constexpr Colour G = Colour::Green;
    constexpr Colour R = Colour::Red;
    switch (code) {
    case 1: *layout = {{{B, G}, {G, R}}}; return true;
    case 2: *layout = {{{G, B}, {R, G}}}; return true;
    case 3: *layout = {{{G, R}, {B, G}}}; return true;
    case 4: *layout = {{{R, G}, {G, B}}}; return true;
    default: return false;
    }
}

}  // namespace raw2rgb
