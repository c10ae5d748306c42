// The colour of the ten cameras, zero at load: the tables before the first allocation, and ratios
// that no settings file has been read into yet.
#include "colour/colour_tables.h"
#include "registry/slot.h"

namespace korvex {
namespace {

SlotColour colours[kSlotCount]{};

}  // namespace

SlotColour& ColourOf(int32_t index) { return colours[index]; }

}  // namespace korvex
