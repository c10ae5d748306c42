#include "control/identification.h"

#include <array>
#include <charconv>
#include <cstring>
#include <memory>
#include <new>

#include "HVDAILT.h"
#include "control/control.h"
#include "registry/slot.h"
#include "camera/camera_calls.h"

namespace korvex {
namespace {

// Index = type code. Code 37 belongs to the HV30xx exposure family but has no known model name.
constexpr std::array<const char*, 60> kModelNames{
    "HV1300UC", "HV2000UC", "HV1301UC", "HV2001UC", "HV3000UC", "HV1300UM", "HV1302UC", "HV2002UC",  // 0..7
    "HV3102UC", "HV1302UM", "HV1300FC", "HV2000FC", "HV3100FC", "HV1300FM", "HV1303UC", "HV2003UC",  // 8..15
    "HV3103UC", "HV1303UM", "SV1300FM", "SV1300FC", "SV1310FC", "SV1310FM", "SV1311FC", "SV1311FM",  // 16..23
    "SV400FC",  "SV400FM",  nullptr,    "SV1410FC", "SV1410FM", "SV1420FC", "SV1420FM", "SV2000FC",  // 24..31
    "SV2000FM", nullptr,    nullptr,    "HV1350UC", "HV2050UC", nullptr,    "HV1350UM", "HV1360UC",  // 32..39
    "HV2060UC", "HV3160UC", "HV1360UM", nullptr,    nullptr,    nullptr,    nullptr,    nullptr,     // 40..47
    nullptr,    nullptr,    nullptr,    nullptr,    nullptr,    nullptr,    nullptr,    nullptr,     // 48..55
    "HV1351UC", "HV2051UC", "HV3151UC", "HV1351UM",                                                  // 56..59
};

constexpr std::size_t kNameBytes = 10;
constexpr std::size_t kSerialAreaBytes = 256;
constexpr std::size_t kSerialBytes = 30;
constexpr int32_t kLongSerialBytes = 64 * 1024;  // beyond this a reported size is not believed
constexpr std::size_t kVersionBytes = 10;
constexpr int32_t kVersionSize = sizeof(int32_t);

constexpr int32_t kStatusQueryInput = 2;

// A reported size the area cannot take (too large, or negative) is replaced by the area's own
// size, so that the camera library can never write past it.
int32_t SizeWithin(int32_t reported, int32_t capacity) {
    return reported < 0 || reported > capacity ? capacity : reported;
}

// The two-call query of an information kind: its size first, then its content into area, with
// the size never above the area's own. Returns the status of the second call.
HVSTATUS QueryInto(int cameraNumber, HHV handle, int32_t kind, void* area, int32_t areaBytes) {
    int32_t size = 0;
    (void)camera::HVGetDeviceInfo(cameraNumber, handle, kind, nullptr, &size);
    size = SizeWithin(size, areaBytes);
    return camera::HVGetDeviceInfo(cameraNumber, handle, kind, area, &size);
}

// Reads the serial-number text and writes its first 30 bytes into start, zero-padded. The usual area holds 256
// bytes; since the camera library refuses a buffer smaller than the size it reported, a longer
// serial is read whole into a zeroed area of its own size. Returns the status of the second call.
HVSTATUS QuerySerialStart(int cameraNumber, HHV handle, uint8_t* start) {
    int32_t size = 0;
    (void)camera::HVGetDeviceInfo(cameraNumber, handle, HV_INFO_SERIAL, nullptr, &size);
    char usual[kSerialAreaBytes] = {};
    char* area = usual;
    std::unique_ptr<char[]> whole;
    if (size > static_cast<int32_t>(kSerialAreaBytes) && size <= kLongSerialBytes) {
        whole.reset(new (std::nothrow) char[static_cast<std::size_t>(size)]());
        if (whole != nullptr) area = whole.get();
    }
    if (area == usual) size = SizeWithin(size, static_cast<int32_t>(kSerialAreaBytes));
    const HVSTATUS status = camera::HVGetDeviceInfo(cameraNumber, handle, HV_INFO_SERIAL, area, &size);
    std::memcpy(start, area, kSerialBytes);
    return status;
}

// Writes the version as decimal text ("-" first when negative), zero-terminated; text holds at
// least 12 bytes, enough for any 32-bit value.
void FormatHardwareVersion(int32_t version, char* text) {
    char* end = std::to_chars(text, text + 11, version).ptr;
    *end = '\0';
}

}  // namespace

const char* ModelName(int32_t typeCode) {
    const auto index = static_cast<uint32_t>(typeCode);  // negative codes read as above 59
    return index < kModelNames.size() ? kModelNames[index] : nullptr;
}

uint8_t GetDeviceType(Slot& slot, uint8_t* buffer) {
    if (buffer == nullptr) return 0;

    char name[kNameBytes] = {};
    int32_t typeCode = 0;
    int32_t size = sizeof typeCode;
    const HVSTATUS status = camera::HVGetDeviceInfo(slot.number(), slot.handle(), HV_INFO_TYPE_CODE, &typeCode, &size);
    // A failed query reports no name rather than the name of the code the buffer started with.
    const char* model = status == 0 ? ModelName(typeCode) : nullptr;
    if (model != nullptr) std::memcpy(name, model, std::strlen(model) + 1);
    std::memcpy(buffer, name, kNameBytes);
    return status == 0 ? 1 : 0;
}

uint8_t GetDeviceSeriesNum(Slot& slot, uint8_t* buffer) {
    if (buffer == nullptr) return 0;

    // A serial of 30 characters or more arrives cut, without its terminator.
    return QuerySerialStart(slot.number(), slot.handle(), buffer) == 0 ? 1 : 0;
}

uint8_t GetHardwareVersion(Slot& slot, uint8_t* buffer) {
    if (buffer == nullptr) return 0;

    char text[kSerialAreaBytes] = {};
    int32_t version = 0;
    const HVSTATUS status = QueryInto(slot.number(), slot.handle(), HV_INFO_HW_VERSION, &version, kVersionSize);
    // An unanswered query leaves the version at 0, which reads "0". Ten-character texts fill the
    // ten bytes with no terminator, and an eleven-character one loses its last digit.
    FormatHardwareVersion(version, text);
    std::memcpy(buffer, text, kVersionBytes);
    return status == 0 ? 1 : 0;
}

int16_t GetLastStatus(Slot& slot) {
    int32_t input = kStatusQueryInput;
    int32_t output = 0;
    ControlRecord record{HV_CONTROL_STATUS_QUERY, &input, sizeof input, &output, sizeof output, 0};
    int32_t length = sizeof record;
    if (camera::HVCommand(slot.number(), slot.handle(), HV_COMMAND_CONTROL, &record, &length) != 0) return 0;
    return output == 0 ? 1 : -1;
}

}  // namespace korvex
