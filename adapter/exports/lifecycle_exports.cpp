// Exported entry points: lifecycle.
#include "exports/guard.h"
#include "exports/messages.h"
#include "korvex.h"
#include "lifecycle/lifecycle.h"

using korvex::Guarded;
using korvex::SlotUse;

extern "C" {

KX_API int16_t KX_CALL ZqOpenDevice(int16_t count) {
    if (count < 1) {
        korvex::ShowMessage(korvex::MessageId::DeviceNumberBelowOne);
        return 0;
    }
    if (count > korvex::kSlotCount) {
        korvex::ShowMessage(korvex::MessageId::TooManyDevices);
        return 0;
    }
    if (korvex::OpenCameras(count)) return 1;
    korvex::ShowMessage(korvex::MessageId::OpenDeviceError);
    return 0;
}

// Each open camera is judged in turn, as allocation reaches it.
KX_API int16_t KX_CALL ZqAllocateResources(void) {
    const korvex::Allocation allocation = korvex::AllocateCameras();
    if (allocation.refusedDevice != 0) {
        korvex::Refuse(__func__, allocation.refusedDevice, allocation.refusedState, SlotUse::Allocate);
    }
    return allocation.result;
}

KX_API int16_t KX_CALL ZqCloseDevice(void) {
    korvex::CloseCameras();
    return 1;
}

KX_API int16_t KX_CALL ZqRestatDevice(int16_t device) {
    return Guarded<int16_t>(__func__, device, SlotUse::Unchecked, korvex::RestartCamera);
}

KX_API int16_t KX_CALL ZqGetDeviceTotal(void) { return korvex::GetDeviceTotal(); }
}
