// Gain, converter, blanking, snap and trigger settings: passed straight through to the camera.
#include "HVDAILT.h"
#include "control/control.h"
#include "registry/slot.h"
#include "camera/camera_calls.h"

namespace korvex {
namespace {

// Codes 16..19 address the four gain (or converter) channels.
constexpr uint8_t kFirstChannelCode = 16;
constexpr uint8_t kChannelCount = 4;

constexpr uint8_t kAdcLevel = 0;
constexpr uint8_t kAdcEnable = 1;

constexpr int16_t kAdcValueMin = -255;
constexpr int16_t kAdcValueMax = 264;

int16_t FromStatus(HVSTATUS status) { return status == 0 ? 1 : 0; }

// Sends value on all four channels; the earlier statuses are not looked at, only the last counts.
template <typename Control>
HVSTATUS SendToAllChannels(Control control, HHV handle, int32_t value) {
    HVSTATUS status = 0;
    for (uint8_t i = 0; i < kChannelCount; ++i) {
        status = control(handle, static_cast<uint8_t>(kFirstChannelCode + i), value);
    }
    return status;
}

int32_t OneOrZero(int16_t flag) { return flag != 0 ? 1 : 0; }

}  // namespace

int16_t SetGain(Slot& slot, int16_t mode, int16_t value) {
    if (mode != 0) return 1;  // only mode 0 (all channels) has anything to send
    return FromStatus(SendToAllChannels(HVAGCControl, slot.handle(), value));
}

int16_t SetChannelGain(Slot& slot, int16_t channel, int16_t value) {
    // Formed in 8 bits and not checked: channels 0..3 give codes 16..19.
    const auto code = static_cast<uint8_t>(static_cast<uint8_t>(channel) + kFirstChannelCode);
    return FromStatus(camera::HVAGCControl(slot.number(), slot.handle(), code, value));
}

int16_t SetADCLevel(Slot& slot, int16_t level) {
    return FromStatus(camera::HVADCControl(slot.number(), slot.handle(), kAdcLevel, level));
}

int16_t EnableADC(Slot& slot, int16_t flag) {
    return FromStatus(camera::HVADCControl(slot.number(), slot.handle(), kAdcEnable, flag == 1 ? 1 : 0));
}

int16_t SetADCValue(Slot& slot, int16_t value) {
    if (value < kAdcValueMin || value > kAdcValueMax) return 0;
    return FromStatus(SendToAllChannels(HVADCControl, slot.handle(), value));
}

int16_t SetBlanking(Slot& slot, int16_t first, int16_t second) {
    return FromStatus(camera::HVSetBlanking(slot.number(), slot.handle(), first, second));
}

int16_t SetSnapMode(Slot& slot, int16_t mode) {
    return FromStatus(camera::HVSetSnapMode(slot.number(), slot.handle(), mode));
}

// The three flag settings report success whatever the camera answers.
int16_t SetSnapSpeed(Slot& slot, int16_t flag) {
    (void)camera::HVSetSnapSpeed(slot.number(), slot.handle(), OneOrZero(flag));
    return 1;
}

int16_t SetTriggerPolarity(Slot& slot, int16_t flag) {
    (void)camera::HVSetTriggerPolarity(slot.number(), slot.handle(), OneOrZero(flag));
    return 1;
}

int16_t SetStrobePolarity(Slot& slot, int16_t flag) {
    (void)camera::HVSetStrobePolarity(slot.number(), slot.handle(), OneOrZero(flag));
    return 1;
}

int16_t TriggerShot(Slot& slot) { return FromStatus(camera::HVTriggerShot(slot.number(), slot.handle())); }

}  // namespace korvex
