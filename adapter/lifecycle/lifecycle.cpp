#include "lifecycle/lifecycle.h"

#include <mutex>

#include "colour/colour_tables.h"
#include "colour/stored_ratios.h"
#include "camera/camera_calls.h"
#include "control/identification.h"
#include "control/resolution_list.h"
#include "diagnostics/log.h"

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
    const ResolutionList list(slot.number(), slot.handle());
    const std::size_t pixels = LargestFrame(list);
    if (pixels == 0) return false;
    const ResolutionEntry first = *list.at(0);
    return slot.Allocate(AllocationPlan{pixels, first.width, first.height}, PrepareColourForAllocation);
}

using diagnostics::Domain;
using diagnostics::Level;

// One info line per camera an open has begun: model and serial number. The queries are made
// only when the line shows, so that a quiet log changes no camera call.
void NoteOpened(SlotTable& table, int16_t count) {
    if (!diagnostics::LogEnabled(Domain::Lifecycle, Level::Info)) return;
    KX_LOG(Domain::Lifecycle, Level::Info, diagnostics::kNoCamera, "opened %d camera(s)", static_cast<int>(count));
    for (int32_t device = 1; device <= count; ++device) {
        const HHV handle = table.slots[device - 1].handle();
        int32_t typeCode = -1;
        int32_t size = sizeof typeCode;
        (void)camera::HVGetDeviceInfo(device, handle, HV_INFO_TYPE_CODE, &typeCode, &size);
        char serial[257] = {};
        size = 256;
        if (camera::HVGetDeviceInfo(device, handle, HV_INFO_SERIAL, serial, &size) != 0) serial[0] = '\0';
        const char* model = ModelName(typeCode);
        KX_LOG(Domain::Lifecycle, Level::Info, device, "open: model %s (type code %d), serial %s, handle %u",
               model == nullptr ? "unknown" : model, static_cast<int>(typeCode), serial, static_cast<unsigned>(handle));
    }
}

}  // namespace

bool OpenCameras(int16_t count) {
    SlotTable& table = Slots();
    std::lock_guard lock(table.lifecycle);
    for (Slot& slot : table.slots) slot.Forget();
    for (int32_t device = 1; device <= count; ++device) {
        if (!table.slots[device - 1].Begin(device)) {
            KX_LOG(Domain::Lifecycle, Level::Warn, device, "open failed: the camera could not be begun");
            return false;
        }
    }
    table.deviceCount.store(count);
    NoteOpened(table, count);
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
    const int32_t count = table.deviceCount.load();
    for (int32_t s = 0; s < count; ++s) table.slots[s].Close();
    KX_LOG(Domain::Lifecycle, Level::Info, diagnostics::kNoCamera, "closed %d camera(s)", static_cast<int>(count));
}

int16_t RestartCamera(Slot& slot) { return slot.Restart(slot.index() + 1) ? 1 : 0; }

int16_t GetDeviceTotal() {
    int32_t count = -1;
    if (camera::HVGetDeviceTotal(diagnostics::kNoCamera, &count) != 0) return -1;
    return static_cast<int16_t>(count);
}

}  // namespace korvex
