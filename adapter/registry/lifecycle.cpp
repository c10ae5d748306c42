#include "registry/lifecycle.h"

#include "registry/colour_tables.h"
#include "registry/device_table.h"
#include "registry/frame_buffers.h"
#include "registry/messages.h"
#include "registry/resolution_list.h"
#include "registry/slot_event.h"
#include "registry/stored_ratios.h"

namespace korvex {
namespace {

// Gives the slot buffers for pixels pixels. A capturing camera keeps the buffers the camera
// library is writing into, as long as they are large enough. False when it cannot.
bool ProvideBuffers(DeviceSlot& slot, std::size_t pixels) {
    FrameBuffers* current = slot.buffers.load();
    if (slot.capturing && current != nullptr) return current->pixelCapacity >= pixels;
    FrameBuffers* fresh = AllocateFrameBuffers(pixels);
    if (fresh == nullptr) return false;
    FrameBuffers* old = slot.buffers.exchange(fresh);
    WaitForBufferReaders(slot);
    FreeFrameBuffers(old);
    return true;
}

// Allocation of one open camera: geometry from the first resolution entry, buffers, tables.
bool AllocateSlot(DeviceSlot& slot) {
    ResolutionList list(slot.handle);
    const ResolutionEntry* full = list.at(0);
    if (full == nullptr || full->width <= 0 || full->height <= 0) return false;
    const std::size_t pixels = static_cast<std::size_t>(full->width) * static_cast<std::size_t>(full->height);
    if (!ProvideBuffers(slot, pixels)) return false;
    slot.width = full->width;
    slot.height = full->height;
    if (slot.ratioR == 0.0 || slot.ratioG == 0.0 || slot.ratioB == 0.0) {
        slot.ratioR = slot.ratioG = slot.ratioB = 1.0;
    }
    BuildSlotTables(slot);
    slot.resolutionMode = 0;
    return true;
}

// Ends one camera at close: readers lose the buffers first, so that an export woken by the
// signal finds the camera without buffers instead of reading memory being released.
void CloseSlot(DeviceSlot& slot) {
    FrameBuffers* buffers = DetachFrameBuffers(slot);
    SignalSlotEvent(slot);
    EndHVDevice(slot.handle);
    slot.handle = 0;
    slot.capturing = false;  // ending the camera ends its capture
    WaitForBufferReaders(slot);
    FreeFrameBuffers(buffers);
}

}  // namespace

int16_t OpenDevice(int16_t count) {
    if (count < 1) {
        ShowMessage(MessageId::DeviceNumberBelowOne);
        return 0;
    }
    if (count > kSlotCount) {
        ShowMessage(MessageId::TooManyDevices);
        return 0;
    }
    DeviceTable& table = Table();
    for (DeviceSlot& slot : table.slots) slot.handle = 0;
    for (int32_t device = 1; device <= count; ++device) {
        if (BeginHVDevice(device, &table.slots[device - 1].handle) != 0) {
            ShowMessage(MessageId::OpenDeviceError);
            return 0;
        }
    }
    table.deviceCount = count;
    LoadStoredRatios(count);
    return 1;
}

int16_t AllocateResources() {
    DeviceTable& table = Table();
    for (int32_t s = 0; s < table.deviceCount; ++s) {
        DeviceSlot& slot = table.slots[s];
        if (slot.handle == 0) {
            ShowMessage(MessageId::OpenDeviceFirst);
            return 0;
        }
        if (!AllocateSlot(slot)) return 0;
    }
    return 1;
}

int16_t CloseDevice() {
    DeviceTable& table = Table();
    SaveStoredRatios(table.deviceCount);
    for (int32_t s = 0; s < table.deviceCount; ++s) CloseSlot(table.slots[s]);
    return 1;
}

int16_t RestatDevice(int16_t device) {
    DeviceSlot* slot = FindSlot(device);
    if (slot == nullptr) return 0;
    EndHVDevice(slot->handle);
    slot->handle = 0;
    return BeginHVDevice(device, &slot->handle) == 0 ? 1 : 0;
}

int16_t GetDeviceTotal() {
    int32_t count = -1;
    if (HVGetDeviceTotal(&count) != 0) return -1;
    return static_cast<int16_t>(count);
}

}  // namespace korvex
