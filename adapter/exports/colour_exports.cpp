// Exported entry points: white balance, colour tables and gamma.
#include "colour/colour.h"
#include "exports/guard.h"
#include "korvex.h"

using korvex::Guarded;
using korvex::Slot;
using korvex::SlotUse;

extern "C" {

KX_API int16_t KX_CALL ZqAutoWhiteBalance(int16_t device) {
    return Guarded<int16_t>(__func__, device, SlotUse::ReadFrames, korvex::AutoWhiteBalance);
}
KX_API int16_t KX_CALL ZqSetWhiteBalanceRatio(int16_t device, int16_t blue, int16_t red) {
    return Guarded<int16_t>(__func__, device, SlotUse::Control,
                            [&](Slot& slot) { return korvex::SetWhiteBalanceRatio(slot, blue, red); });
}
KX_API int16_t KX_CALL ZqResetLutTable(int16_t device) {
    return Guarded<int16_t>(__func__, device, SlotUse::Unchecked, korvex::ResetLutTable);
}
KX_API int16_t KX_CALL ZqSetGamma(int16_t device, int16_t value) {
    return Guarded<int16_t>(__func__, device, SlotUse::Unchecked,
                            [&](Slot& slot) { return korvex::SetGamma(slot, value); });
}
}
