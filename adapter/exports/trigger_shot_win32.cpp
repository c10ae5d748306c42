// ZqTriggerShot; the module definition file exports it a second time as ZqSetTrigerShot.
#include "control/control.h"
#include "exports/guard.h"
#include "korvex.h"

extern "C" KX_API int16_t KX_CALL ZqTriggerShot(int16_t device) {
    return korvex::Guarded<int16_t>(__func__, device, korvex::SlotUse::Control, korvex::TriggerShot);
}
