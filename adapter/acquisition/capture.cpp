// Continuous capture: start, stop, the frame wait and the ten snap callbacks.
#include <array>
#include <cstddef>
#include <utility>

#include "acquisition/acquisition.h"
#include "registry/device_table.h"
#include "registry/frame_buffers.h"
#include "registry/slot_event.h"

namespace korvex {
namespace {

// What every callback does for its own camera k. Only the record's device number and buffer
// index are read; a record that names no slot or no buffer of the pair changes nothing.
int32_t OnSnap(int32_t k, const SnapInfo* info) {
    if (info == nullptr) return 1;
    const int32_t device = info->device;
    const int32_t index = info->bufferIndex;
    DeviceSlot* recorded = FindSlot(device);
    if (recorded == nullptr || (index != 0 && index != 1)) return 1;
    recorded->lastBufferIndex.store(index);  // before the signal: the woken export reads it
    SignalSlotEvent(Table().slots[k - 1]);
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
    DeviceSlot* slot = RequireOpen(device);
    if (slot == nullptr) return 0;
    BufferLease lease(*slot);
    FrameBuffers* buffers = lease.get();
    if (buffers == nullptr) return 0;  // frames would have nowhere to land
    // A failed creation leaves no event: capture still starts and exports then do not wait.
    ReplaceSlotEvent(*slot, platform::CreateFrameEvent());
    (void)HVOpenSnap(slot->handle, SnapCallbackFor(device), nullptr);
    slot->capturing = true;
    // rawBuffers lives in the buffer block, which stays put until the camera is closed.
    return HVStartSnap(slot->handle, buffers->rawBuffers, 2) == 0 ? 1 : 0;
}

int16_t StopGrab(int16_t device) {
    DeviceSlot* slot = RequireOpen(device);
    if (slot == nullptr) return 0;
    const HVSTATUS status = HVCloseSnap(slot->handle);
    slot->capturing = false;
    ReplaceSlotEvent(*slot, 0);  // closes the event once no callback is signalling it
    return status == 0 ? 1 : 0;
}

int16_t SetTimeout(int16_t milliseconds) {
    Table().waitTimeoutMs.store(milliseconds);  // sign-extended: -1 later reads as wait forever
    return 1;
}

}  // namespace korvex
