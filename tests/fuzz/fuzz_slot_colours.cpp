// The stored-ratio routines keep their ratios in the cameras' colour; the fuzzer needs no cameras,
// so it gives them a colour of its own instead of the colour room's.
#include "colour/colour_tables.h"
#include "registry/slot.h"

namespace korvex {

SlotColour& ColourOf(int32_t index) {
    static SlotColour colours[kSlotCount]{};
    return colours[index];
}

}  // namespace korvex
