// Gain, converter, blanking, snap and trigger settings: passed straight through to the camera.
#include <cstdarg>
#include <cstdio>

#include "HVDAILT.h"
#include "control/control.h"
#include "registry/slot.h"
#include "camera/camera_calls.h"
#include "diagnostics/log.h"

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

// One line per setting: what was sent and whether the camera took it; kNotLookedAt for the
// settings whose answer is ignored.
constexpr int16_t kNotLookedAt = -1;
void NoteSetting(const Slot& slot, int16_t result, const char* format, ...) KX_LOG_PRINTF(3, 4);
void NoteSetting(const Slot& slot, int16_t result, const char* format, ...) {
    if (!diagnostics::LogEnabled(diagnostics::Domain::Control, diagnostics::Level::Info)) return;
    char what[96];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(what, sizeof what, format, arguments);
    va_end(arguments);
    KX_LOG(diagnostics::Domain::Control, diagnostics::Level::Info, slot.index() + 1, "%s: %s", what,
           result == kNotLookedAt ? "sent, the answer not looked at"
           : result == 1          ? "applied"
                                  : "refused");
}

}  // namespace

int16_t SetGain(Slot& slot, int16_t mode, int16_t value) {
    if (mode != 0) return 1;  // only mode 0 (all channels) has anything to send
    const int16_t result = FromStatus(SendToAllChannels(HVAGCControl, slot.handle(), value));
    NoteSetting(slot, result, "gain %d on all four channels", int{value});
    return result;
}

int16_t SetChannelGain(Slot& slot, int16_t channel, int16_t value) {
    // Formed in 8 bits and not checked: channels 0..3 give codes 16..19.
    const auto code = static_cast<uint8_t>(static_cast<uint8_t>(channel) + kFirstChannelCode);
    const int16_t result = FromStatus(camera::HVAGCControl(slot.number(), slot.handle(), code, value));
    NoteSetting(slot, result, "gain %d on channel %d", int{value}, int{channel});
    return result;
}

int16_t SetADCLevel(Slot& slot, int16_t level) {
    const int16_t result = FromStatus(camera::HVADCControl(slot.number(), slot.handle(), kAdcLevel, level));
    NoteSetting(slot, result, "converter level %d", int{level});
    return result;
}

int16_t EnableADC(Slot& slot, int16_t flag) {
    const int16_t result =
        FromStatus(camera::HVADCControl(slot.number(), slot.handle(), kAdcEnable, flag == 1 ? 1 : 0));
    NoteSetting(slot, result, "converter %s", flag == 1 ? "on" : "off");
    return result;
}

int16_t SetADCValue(Slot& slot, int16_t value) {
    if (value < kAdcValueMin || value > kAdcValueMax) {
        NoteSetting(slot, 0, "converter value %d outside -255..264", int{value});
        return 0;
    }
    const int16_t result = FromStatus(SendToAllChannels(HVADCControl, slot.handle(), value));
    NoteSetting(slot, result, "converter value %d on all four channels", int{value});
    return result;
}

int16_t SetBlanking(Slot& slot, int16_t first, int16_t second) {
    const int16_t result = FromStatus(camera::HVSetBlanking(slot.number(), slot.handle(), first, second));
    NoteSetting(slot, result, "blanking %d and %d", int{first}, int{second});
    return result;
}

int16_t SetSnapMode(Slot& slot, int16_t mode) {
    const int16_t result = FromStatus(camera::HVSetSnapMode(slot.number(), slot.handle(), mode));
    NoteSetting(slot, result, "snap mode %d (0 continuous, 1..3 triggered)", int{mode});
    return result;
}

// The three flag settings report success whatever the camera answers.
int16_t SetSnapSpeed(Slot& slot, int16_t flag) {
    (void)camera::HVSetSnapSpeed(slot.number(), slot.handle(), OneOrZero(flag));
    NoteSetting(slot, kNotLookedAt, "snap speed %d", OneOrZero(flag));
    return 1;
}

int16_t SetTriggerPolarity(Slot& slot, int16_t flag) {
    (void)camera::HVSetTriggerPolarity(slot.number(), slot.handle(), OneOrZero(flag));
    NoteSetting(slot, kNotLookedAt, "trigger polarity %d", OneOrZero(flag));
    return 1;
}

int16_t SetStrobePolarity(Slot& slot, int16_t flag) {
    (void)camera::HVSetStrobePolarity(slot.number(), slot.handle(), OneOrZero(flag));
    NoteSetting(slot, kNotLookedAt, "strobe polarity %d", OneOrZero(flag));
    return 1;
}

int16_t TriggerShot(Slot& slot) {
    const int16_t result = FromStatus(camera::HVTriggerShot(slot.number(), slot.handle()));
    NoteSetting(slot, result, "%s", "software trigger");
    return result;
}

}  // namespace korvex
