#include "exports/guard.h"

#include "diagnostics/log.h"
#include "exports/messages.h"
#include "registry/slot_names.h"

namespace korvex {

void NoteRefusal(const char* function, int32_t device, SlotState state, SlotUse use) {
    using diagnostics::Domain;
    using diagnostics::Level;
    if (FindSlot(device) == nullptr) {
        KX_LOG(Domain::Guard, Level::Info, diagnostics::kNoCamera, "%s refused: there is no camera %d (1..%d)",
               function, static_cast<int>(device), kSlotCount);
        return;
    }
    KX_LOG(Domain::Guard, Level::Info, static_cast<int>(device), "%s refused: camera is %s, needs %s", function,
           StateName(state), StateName(NeededState(use)));
}

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
