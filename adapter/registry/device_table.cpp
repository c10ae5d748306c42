#include "registry/device_table.h"

#include "registry/messages.h"

namespace korvex {
namespace {

// Constant-initialised: every field zero but the two library-wide values with their own defaults.
constinit DeviceTable table{};

}  // namespace

DeviceTable& Table() { return table; }

DeviceSlot* FindSlot(int32_t device) {
    if (device < 1 || device > kSlotCount) return nullptr;
    return &table.slots[device - 1];
}

DeviceSlot* RequireOpen(int32_t device) {
    DeviceSlot* slot = FindSlot(device);
    if (slot == nullptr) return nullptr;
    if (slot->handle == 0) {
        ShowMessage(MessageId::OpenDeviceFirst);
        return nullptr;
    }
    return slot;
}

}  // namespace korvex
