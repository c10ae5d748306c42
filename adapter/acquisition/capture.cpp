// Continuous capture: start, stop (the slot's own lifecycle methods), the timeout and the ten
// snap callbacks.
#include <array>
#include <cstddef>
#include <utility>

#include "acquisition/acquisition.h"
#include "diagnostics/log.h"
#include "registry/frame_buffers.h"
#include "registry/slot.h"
#include "registry/slot_event.h"

namespace korvex {
namespace {

// What every callback does for its own camera k. Only the record's device number and buffer
// index are read; a record that names no slot or no buffer of the pair changes nothing.
int32_t OnSnap(int32_t k, const SnapInfo* info) {
    if (info == nullptr) return 1;
    const int32_t device = info->device;
    const int32_t index = info->bufferIndex;
    Slot* recorded = FindSlot(device);
    if (recorded == nullptr || (index != 0 && index != 1)) return 1;
    Slot& slot = Slots().slots[k - 1];
    OrderFinishedReadsBeforeRefill(slot);
    if (recorded == &slot) {
        slot.PublishFrame(index);
    } else {
        recorded->RecordBufferIndex(index);
        slot.CountFrame();
    }
    // Trace only: the one level that may write from the camera's callback thread.
    KX_LOG(diagnostics::Domain::Capture, diagnostics::Level::Trace, k, "frame callback: buffer %d, frame %u",
           static_cast<int>(index), static_cast<unsigned>(FrameCount(slot.newestFrame())));
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

int16_t StartGrab(Slot& slot) { return slot.Start(SnapCallbackFor(slot.index() + 1)); }

int16_t StopGrab(Slot& slot) { return slot.Stop(); }

int16_t SetTimeout(int16_t milliseconds) {
    Slots().waitTimeoutMs.store(milliseconds);  // sign-extended: -1 later reads as wait forever
    return 1;
}

}  // namespace korvex
