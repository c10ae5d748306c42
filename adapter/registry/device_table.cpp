#include "registry/device_table.h"

#include "registry/messages.h"

namespace korvex {
namespace {

// Every field zero but the two library-wide values with their own defaults. Not constinit: MinGW's
// std::mutex (winpthreads) has no constant constructor, so there the table is initialised when the
// library loads, before any entry can run.
DeviceTable table{};

}  // namespace

DeviceTable& Table() { return table; }

DeviceSlot* FindSlot(int32_t device) {
    if (device < 1 || device > kSlotCount) return nullptr;
    return &table.slots[device - 1];
}

DeviceSlot* GuardSlot(int32_t device, SlotUse use) {
    DeviceSlot* slot = FindSlot(device);
    if (slot == nullptr) return nullptr;
    switch (Judge(use, slot->state.load())) {
        case Verdict::Allow: return slot;
        case Verdict::Refuse: return nullptr;
        case Verdict::AskToOpen: ShowMessage(MessageId::OpenDeviceFirst); return nullptr;
    }
    return nullptr;
}

DeviceSlot* RequireOpen(int32_t device) { return GuardSlot(device, SlotUse::Control); }

}  // namespace korvex
