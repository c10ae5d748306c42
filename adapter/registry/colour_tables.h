// Colour tables: 256 entries that map a channel's value through a white-balance ratio.
#pragma once

#include <cstdint>

namespace korvex {

// Entry i is i x ratio truncated toward zero, 255 from 255 up, and taken modulo 256 below 0
// (so a negative ratio wraps: -1 gives 255). Products beyond the 32-bit range, which only a
// hand-edited settings file can give, are defined too: 255 above, 0 below, 0 for NaN.
void BuildColourTable(double ratio, uint8_t table[256]);

void BuildIdentityTable(uint8_t table[256]);

struct DeviceSlot;

// The slot's lutR, lutG and lutB built from ratioR, ratioG and ratioB.
void BuildSlotTables(DeviceSlot& slot);

// The slot's three tables made the identity; the ratios stay.
void ResetSlotTables(DeviceSlot& slot);

}  // namespace korvex
