// Exported entry points: white balance, colour tables and gamma.
#include "colour/colour.h"
#include "korvex.h"

extern "C" {

KX_API int16_t KX_CALL ZqAutoWhiteBalance(int16_t device) { return korvex::AutoWhiteBalance(device); }
KX_API int16_t KX_CALL ZqSetWhiteBalanceRatio(int16_t device, int16_t blue, int16_t red) {
    return korvex::SetWhiteBalanceRatio(device, blue, red);
}
KX_API int16_t KX_CALL ZqResetLutTable(int16_t device) { return korvex::ResetLutTable(device); }
KX_API int16_t KX_CALL ZqSetGamma(int16_t device, int16_t value) { return korvex::SetGamma(device, value); }
}
