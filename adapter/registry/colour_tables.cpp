#include "registry/colour_tables.h"

#include <cmath>

#include "registry/device_table.h"

namespace korvex {
namespace {

uint8_t TableEntry(double product) {
    if (std::isnan(product)) return 0;
    if (product >= 255.0) return 255;
    if (product <= -2147483649.0) return 0;  // its truncation would not fit 32 bits
    const int32_t truncated = static_cast<int32_t>(product);
    return static_cast<uint8_t>(truncated & 0xFF);
}

}  // namespace

void BuildColourTable(double ratio, uint8_t table[256]) {
    for (int i = 0; i < 256; ++i) table[i] = TableEntry(i * ratio);
}

void BuildIdentityTable(uint8_t table[256]) {
    for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(i);
}

void BuildSlotTables(DeviceSlot& slot) {
    BuildColourTable(slot.ratioR, slot.lutR);
    BuildColourTable(slot.ratioG, slot.lutG);
    BuildColourTable(slot.ratioB, slot.lutB);
}

void ResetSlotTables(DeviceSlot& slot) {
    BuildIdentityTable(slot.lutR);
    BuildIdentityTable(slot.lutG);
    BuildIdentityTable(slot.lutB);
}

}  // namespace korvex
