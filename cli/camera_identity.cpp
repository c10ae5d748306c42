#include "camera_identity.h"

#include <array>
#include <cstring>

#include "korvex.h"

namespace korvex::cli {
namespace {

// The getters write a fixed count of bytes, zero-padded but not always terminated.
template <std::size_t kSize>
std::string FixedText(uint8_t(KX_CALL* getter)(int16_t, uint8_t*), int16_t device) {
    std::array<uint8_t, kSize + 1> bytes{};
    getter(device, bytes.data());
    return std::string(reinterpret_cast<const char*>(bytes.data()),
                       strnlen(reinterpret_cast<const char*>(bytes.data()), kSize));
}

}  // namespace

CameraIdentity ReadIdentity(int16_t device) {
    return {FixedText<10>(ZqGetDeviceType, device), FixedText<30>(ZqGetDeviceSeriesNum, device),
            FixedText<10>(ZqGetHardwareVersion, device)};
}

SensorKind KindOfModel(const std::string& model) {
    if (model.empty()) return SensorKind::kUnknown;
    switch (model.back()) {
        case 'C': return SensorKind::kColour;
        case 'M': return SensorKind::kMonochrome;
        default: return SensorKind::kUnknown;
    }
}

const char* KindName(SensorKind kind) {
    switch (kind) {
        case SensorKind::kColour: return "colour";
        case SensorKind::kMonochrome: return "monochrome";
        case SensorKind::kUnknown: return "unknown";
    }
    return "unknown";
}

}  // namespace korvex::cli
