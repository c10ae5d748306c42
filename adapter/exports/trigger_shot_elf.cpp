// ZqTriggerShot, and ZqSetTrigerShot as a second name of the very same function (an ELF alias).
#include "control/control.h"
#include "exports/guard.h"
#include "korvex.h"

extern "C" {

KX_API int16_t KX_CALL ZqTriggerShot(int16_t device) {
    return korvex::Guarded<int16_t>(__func__, device, korvex::SlotUse::Control, korvex::TriggerShot);
}
KX_API int16_t KX_CALL ZqSetTrigerShot(int16_t device) __attribute__((alias("ZqTriggerShot")));
}
