// Continuous capture: start, stop, the frame wait and the ten snap callbacks.
#include <array>
#include <atomic>
#include <cstddef>
#include <mutex>
#include <utility>

#include "acquisition/acquisition.h"
#include "registry/device_table.h"
#include "registry/frame_buffers.h"
#include "registry/slot_event.h"

namespace korvex {
namespace {

// The camera writes the frame after next into the buffer readers may have just read; reading the
// lease count here (every lease change is a read-modify-write, so this acquires them all) orders
// every read finished before this frame's signal ahead of those writes. Only a reader still
// holding its lease meanwhile can meet them: the torn frame of a late export.
void OrderFinishedReadsBeforeRefill(DeviceSlot& slot) { (void)slot.bufferReaders.load(std::memory_order_acquire); }

// What every callback does for its own camera k. Only the record's device number and buffer
// index are read; a record that names no slot or no buffer of the pair changes nothing.
int32_t OnSnap(int32_t k, const SnapInfo* info) {
    if (info == nullptr) return 1;
    const int32_t device = info->device;
    const int32_t index = info->bufferIndex;
    DeviceSlot* recorded = FindSlot(device);
    if (recorded == nullptr || (index != 0 && index != 1)) return 1;
    recorded->lastBufferIndex.store(index);  // before the count: the export that takes it reads it
    OrderFinishedReadsBeforeRefill(Table().slots[k - 1]);
    CountFrame(Table().slots[k - 1]);
    return 1;
}

template <int32_t K>
int32_t KX_CALL SnapCallback(SnapInfo* info) {
    return OnSnap(K, info);
}

template <int32_t... K>
constexpr auto MakeCallbacks(std::integer_sequence<int32_t, K...>) {
    return std::array<HVSnapCallback, sizeof...(K)>{SnapCallback<K + 1>...};
}

constexpr auto kCallbacks = MakeCallbacks(std::make_integer_sequence<int32_t, kSlotCount>{});

}  // namespace

HVSnapCallback SnapCallbackFor(int32_t device) {
    if (device < 1 || device > kSlotCount) return nullptr;
    return kCallbacks[static_cast<std::size_t>(device - 1)];
}

int16_t StartGrab(int16_t device) {
    DeviceSlot* slot = GuardSlot(device, SlotUse::StartCapture);
    if (slot == nullptr) return 0;
    std::lock_guard lock(slot->lifecycle);
    if (Judge(SlotUse::StartCapture, slot->state.load()) != Verdict::Allow) return 0;  // closed meanwhile
    FrameBuffers* buffers = slot->buffers.load();
    if (buffers == nullptr || ProvideSlotEvent(*slot) == 0) return 0;
    const HHV handle = slot->handle.load();
    WakeWaiters(*slot);  // a restart ends the waits on the capture it replaces
    // Without the callback no frame would reach an export: nothing is started.
    if (HVOpenSnap(handle, SnapCallbackFor(device), nullptr) != 0) return 0;
    ForgetFrames(*slot);
    // An export still reading a frame of the earlier capture finishes before the camera writes
    // into the buffers again.
    WaitForBufferReaders(*slot);
    // Capturing from here on even if the start is refused: the camera library promises nothing
    // about its buffers after a failed call, so they stay guarded until a stop is confirmed.
    slot->state.store(Next(slot->state.load(), SlotEvent::CaptureStarted));
    // rawBuffers lives in the buffer block, which stays put while the camera may write into it.
    return HVStartSnap(handle, buffers->rawBuffers, 2) == 0 ? 1 : 0;
}

int16_t StopGrab(int16_t device) {
    DeviceSlot* slot = GuardSlot(device, SlotUse::StopCapture);
    if (slot == nullptr) return 0;
    std::lock_guard lock(slot->lifecycle);
    if (Judge(SlotUse::StopCapture, slot->state.load()) != Verdict::Allow) return 0;  // closed meanwhile
    const HVSTATUS status = HVCloseSnap(slot->handle.load());
    // A failed stop leaves the capture possibly running: the slot keeps guarding its buffers.
    slot->state.store(Next(slot->state.load(), status == 0 ? SlotEvent::StopConfirmed : SlotEvent::StopUnconfirmed));
    WakeWaiters(*slot);
    return status == 0 ? 1 : 0;
}

int16_t SetTimeout(int16_t milliseconds) {
    Table().waitTimeoutMs.store(milliseconds);  // sign-extended: -1 later reads as wait forever
    return 1;
}

}  // namespace korvex
