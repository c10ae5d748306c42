#include "registry/lifecycle.h"

#include <mutex>

#include "registry/colour_tables.h"
#include "registry/device_table.h"
#include "registry/frame_buffers.h"
#include "registry/messages.h"
#include "registry/resolution_list.h"
#include "registry/slot_event.h"
#include "registry/stored_ratios.h"

namespace korvex {
namespace {

void Move(DeviceSlot& slot, SlotEvent event) { slot.state.store(Next(slot.state.load(), event)); }

// The camera library may write into the slot's buffers: a capture of the current session that
// no stop confirmed, or a dropped session that no end confirmed.
bool BuffersPinned(const DeviceSlot& slot) { return CaptureMayRun(slot.state.load()) || slot.unendedSession != 0; }

// Keeps a session whose end was not confirmed. Should an earlier one be kept already, the
// buffers both may write into are given up for good: never released, never used again.
void KeepUnendedSession(DeviceSlot& slot, HHV session) {
    if (slot.unendedSession == 0) {
        slot.unendedSession = session;
        return;
    }
    (void)ReplaceFrameBuffers(slot, nullptr);
}

// Ends the session kept by KeepUnendedSession, if any.
void EndUnendedSession(DeviceSlot& slot) {
    if (slot.unendedSession != 0 && EndHVDevice(slot.unendedSession) == 0) slot.unendedSession = 0;
}

// Ends the slot's session (also handle 0, which the camera library refuses) and drops it.
void EndSession(DeviceSlot& slot) {
    const bool captureMayRun = CaptureMayRun(slot.state.load());
    const HHV handle = slot.handle.load();
    Move(slot, SlotEvent::Ended);  // from here guards refuse and new leases find no buffers
    WakeWaiters(slot);
    WaitForBufferReaders(slot);
    EndUnendedSession(slot);  // an earlier session first: this one may take its place
    const HVSTATUS status = EndHVDevice(handle);
    slot.handle.store(0);
    if (captureMayRun && status != 0) KeepUnendedSession(slot, handle);
}

// Begins camera device in the slot. False, with nothing written into the slot, when it fails.
bool BeginSession(DeviceSlot& slot, int32_t device) {
    HHV handle = 0;
    if (BeginHVDevice(device, &handle) != 0) return false;
    slot.handle.store(handle);
    Move(slot, slot.buffers.load() != nullptr ? SlotEvent::BegunWithBuffers : SlotEvent::Begun);
    return true;
}

// Open forgets every session: a capture still running is stopped first, because once its handle
// is dropped nothing could stop it, and its buffers could never be released.
void ForgetSession(DeviceSlot& slot) {
    std::lock_guard lock(slot.lifecycle);
    const HHV handle = slot.handle.load();
    if (CaptureMayRun(slot.state.load())) {
        const HVSTATUS status = HVCloseSnap(handle);
        if (status != 0) KeepUnendedSession(slot, handle);
        Move(slot, status == 0 ? SlotEvent::StopConfirmed : SlotEvent::StopUnconfirmed);
    }
    Move(slot, SlotEvent::Ended);
    WakeWaiters(slot);
    slot.handle.store(0);
}

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

// Gives the slot buffers for pixels pixels. Buffers the camera library may write into are kept
// (content too), as long as they are large enough. False when it cannot.
bool ProvideBuffers(DeviceSlot& slot, std::size_t pixels) {
    FrameBuffers* current = slot.buffers.load();
    if (BuffersPinned(slot) && current != nullptr) return current->pixelCapacity >= pixels;
    FrameBuffers* fresh = AllocateFrameBuffers(pixels);
    if (fresh == nullptr) return false;
    FreeFrameBuffers(ReplaceFrameBuffers(slot, fresh));
    return true;
}

// Allocation of one open camera. The camera is put in mode 0 so that the slot's geometry is the
// camera's, and the buffers hold the largest mode of its list, so that every mode fits them. The
// colour tables are published before the buffers, so no frame is converted with unbuilt tables.
bool AllocateSlot(DeviceSlot& slot) {
    std::lock_guard lock(slot.lifecycle);
    const HHV handle = slot.handle.load();
    const ResolutionList list(handle);
    const std::size_t pixels = LargestFrame(list);
    if (pixels == 0) return false;
    const ResolutionEntry first = *list.at(0);
    if (HVSetResolution(handle, 0) != 0) return false;
    if (slot.ratioR == 0.0 || slot.ratioG == 0.0 || slot.ratioB == 0.0) {
        slot.ratioR = slot.ratioG = slot.ratioB = 1.0;
    }
    BuildSlotTables(slot);
    if (!ProvideBuffers(slot, pixels)) return false;
    slot.width.store(first.width);
    slot.height.store(first.height);
    slot.resolutionMode.store(0);
    Move(slot, SlotEvent::BuffersGiven);
    return true;
}

// Ends one camera at close. Its buffers go only when nothing may write into them any more.
void CloseSlot(DeviceSlot& slot) {
    std::lock_guard lock(slot.lifecycle);
    EndSession(slot);
    if (!BuffersPinned(slot)) FreeFrameBuffers(ReplaceFrameBuffers(slot, nullptr));
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
    bool begun = true;
    {
        std::lock_guard lock(table.lifecycle);
        for (DeviceSlot& slot : table.slots) ForgetSession(slot);
        for (int32_t device = 1; device <= count && begun; ++device) {
            DeviceSlot& slot = table.slots[device - 1];
            std::lock_guard slotLock(slot.lifecycle);
            EndUnendedSession(slot);
            begun = BeginSession(slot, device);
        }
        if (begun) {
            table.deviceCount.store(count);
            LoadStoredRatios(count);
        }
    }
    if (!begun) ShowMessage(MessageId::OpenDeviceError);
    return begun ? 1 : 0;
}

int16_t AllocateResources() {
    DeviceTable& table = Table();
    std::unique_lock lock(table.lifecycle);
    for (int32_t s = 0; s < table.deviceCount.load(); ++s) {
        DeviceSlot& slot = table.slots[s];
        if (Judge(SlotUse::Allocate, slot.state.load()) != Verdict::Allow) {
            lock.unlock();
            ShowMessage(MessageId::OpenDeviceFirst);
            return 0;
        }
        if (!AllocateSlot(slot)) return 0;
    }
    return 1;
}

int16_t CloseDevice() {
    DeviceTable& table = Table();
    std::lock_guard lock(table.lifecycle);
    SaveStoredRatios(table.deviceCount.load());
    for (int32_t s = 0; s < table.deviceCount.load(); ++s) CloseSlot(table.slots[s]);
    return 1;
}

int16_t RestatDevice(int16_t device) {
    DeviceSlot* slot = FindSlot(device);
    if (slot == nullptr) return 0;
    std::lock_guard lock(slot->lifecycle);
    EndSession(*slot);
    return BeginSession(*slot, device) ? 1 : 0;
}

int16_t GetDeviceTotal() {
    int32_t count = -1;
    if (HVGetDeviceTotal(&count) != 0) return -1;
    return static_cast<int16_t>(count);
}

}  // namespace korvex
