#include "exports/guard.h"

#include "exports/messages.h"

namespace korvex {

void NoteRefusal(const char* /*function*/, int32_t /*device*/, SlotState /*state*/, SlotUse /*use*/) {}

void Refuse(const char* function, int32_t device, SlotState state, SlotUse use) {
    NoteRefusal(function, device, state, use);
    if (FindSlot(device) != nullptr && Judge(use, state) == Verdict::AskToOpen) ShowMessage(MessageId::OpenDeviceFirst);
}

Slot* Admit(const char* function, int32_t device, SlotUse use) {
    Slot* slot = FindSlot(device);
    const SlotState state = slot == nullptr ? SlotState::Closed : slot->state();
    if (slot != nullptr && Judge(use, state) == Verdict::Allow) return slot;
    Refuse(function, device, state, use);
    return nullptr;
}

}  // namespace korvex
