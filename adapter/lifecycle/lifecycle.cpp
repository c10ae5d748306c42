#include "lifecycle/lifecycle.h"

#include <mutex>

#include "colour/colour_tables.h"
#include "colour/stored_ratios.h"
#include "control/resolution_list.h"

namespace korvex {
namespace {

// The pixel count of the largest entry of the list, or 0 when it has no usable entry.
std::size_t LargestFrame(const ResolutionList& list) {
    std::size_t largest = 0;
    for (int32_t mode = 0; mode < list.count(); ++mode) {
        const ResolutionEntry* entry = list.at(mode);
        if (entry->width <= 0 || entry->height <= 0) return 0;
        const std::size_t pixels = static_cast<std::size_t>(entry->width) * static_cast<std::size_t>(entry->height);
        if (pixels > largest) largest = pixels;
    }
    return largest;
}

// Allocation of one open camera. The camera is put in mode 0 so that the slot's geometry is the
// camera's, and the buffers hold the largest mode of its list, so that every mode fits them.
bool AllocateSlot(Slot& slot) {
    const ResolutionList list(slot.handle());
    const std::size_t pixels = LargestFrame(list);
    if (pixels == 0) return false;
    const ResolutionEntry first = *list.at(0);
    return slot.Allocate(AllocationPlan{pixels, first.width, first.height}, PrepareColourForAllocation);
}

}  // namespace

bool OpenCameras(int16_t count) {
    SlotTable& table = Slots();
    std::lock_guard lock(table.lifecycle);
    for (Slot& slot : table.slots) slot.Forget();
    for (int32_t device = 1; device <= count; ++device) {
        if (!table.slots[device - 1].Begin(device)) return false;
    }
    table.deviceCount.store(count);
    LoadStoredRatios(count);
    return true;
}

Allocation AllocateCameras() {
    SlotTable& table = Slots();
    std::lock_guard lock(table.lifecycle);
    for (int32_t s = 0; s < table.deviceCount.load(); ++s) {
        Slot& slot = table.slots[s];
        const SlotState state = slot.state();
        if (Judge(SlotUse::Allocate, state) != Verdict::Allow) return Allocation{0, s + 1, state};
        if (!AllocateSlot(slot)) return Allocation{0, 0, state};
    }
    return Allocation{1, 0, SlotState::Closed};
}

void CloseCameras() {
    SlotTable& table = Slots();
    std::lock_guard lock(table.lifecycle);
    SaveStoredRatios(table.deviceCount.load());
    for (int32_t s = 0; s < table.deviceCount.load(); ++s) table.slots[s].Close();
}

int16_t RestartCamera(Slot& slot) { return slot.Restart(slot.index() + 1) ? 1 : 0; }

int16_t GetDeviceTotal() {
    int32_t count = -1;
    if (HVGetDeviceTotal(&count) != 0) return -1;
    return static_cast<int16_t>(count);
}

}  // namespace korvex
