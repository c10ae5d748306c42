#include "registry/slot.h"

namespace korvex {
namespace {

// Every field zero but the two library-wide values with their own defaults. Not constinit: MinGW's
// std::mutex (winpthreads) has no constant constructor, so there the table is initialised when the
// library loads, before any entry can run.
SlotTable table{};

}  // namespace

SlotTable& Slots() { return table; }

Slot* FindSlot(int32_t device) {
    if (device < 1 || device > kSlotCount) return nullptr;
    return &table.slots[device - 1];
}

int32_t Slot::index() const { return static_cast<int32_t>(this - table.slots); }

}  // namespace korvex
