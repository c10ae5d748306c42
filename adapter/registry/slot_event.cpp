#include "registry/slot_event.h"

#include <thread>

namespace korvex {
namespace {

// Counts the caller as a user of the slot's event for as long as it lives.
class EventUse {
public:
    explicit EventUse(DeviceSlot& slot) : slot_(slot) { slot_.eventUsers.fetch_add(1); }
    ~EventUse() { slot_.eventUsers.fetch_sub(1); }
    EventUse(const EventUse&) = delete;
    EventUse& operator=(const EventUse&) = delete;
    platform::FrameEvent event() const { return slot_.frameEvent.load(); }

private:
    DeviceSlot& slot_;
};

}  // namespace

void SignalSlotEvent(DeviceSlot& slot) {
    EventUse use(slot);
    if (platform::FrameEvent event = use.event()) platform::SignalFrameEvent(event);
}

platform::FrameEvent HoldSlotEvent(DeviceSlot& slot) {
    EventUse use(slot);
    platform::FrameEvent event = use.event();
    return event ? platform::RetainFrameEvent(event) : 0;
}

void ReplaceSlotEvent(DeviceSlot& slot, platform::FrameEvent event) {
    platform::FrameEvent old = slot.frameEvent.exchange(event);
    if (old == 0) return;
    while (slot.eventUsers.load() != 0) std::this_thread::yield();  // a signal or a hold in progress
    platform::CloseFrameEvent(old);
}

}  // namespace korvex
