// The camera-library calls, each logged when the camera domain asks for it: the call, its duration,
// and one line with the camera number the caller gave.
#include "camera/camera_calls.h"

#include <cinttypes>
#include <cstdio>
#include <type_traits>

#include "diagnostics/camera_status.h"
#include "diagnostics/log.h"
#include "hvdailt_operations.h"

namespace korvex::camera {
namespace {

using diagnostics::Domain;
using diagnostics::Level;

// Warn is the least verbose level a camera call logs at: below it, nothing is logged.
bool CallsLogged() { return diagnostics::LogEnabled(Domain::Camera, Level::Warn); }

int64_t Now() { return diagnostics::LogClockMicroseconds(); }

// A call's arguments as text, "2, 0x55d0c0, &4": numbers as numbers, pointers as addresses, and
// the integers the library writes back through a pointer as &value, read after the call.
class ArgumentText {
public:
    ArgumentText& Signed(int32_t value) { return Append("%" PRId32, value); }
    ArgumentText& Unsigned(uint32_t value) { return Append("%" PRIu32, value); }  // handles, codes, AEC values
    ArgumentText& Address(const void* pointer) { return Append("%p", pointer); }
    ArgumentText& Callback(HVSnapCallback callback) { return Address(reinterpret_cast<void*>(callback)); }
    ArgumentText& WrittenBack(const int32_t* value) {
        return value == nullptr ? Append("%s", "(nil)") : Append("&%" PRId32, *value);
    }
    ArgumentText& WrittenBack(const HHV* value) {
        return value == nullptr ? Append("%s", "(nil)") : Append("&%" PRIu32, *value);
    }
    const char* Text() const { return text_; }

private:
    template <typename Value>
    ArgumentText& Append(const char* format, Value value) {
        if (length_ != 0) Write("%s", ", ");
        Write(format, value);
        return *this;
    }
    template <typename Value>
    void Write(const char* format, Value value) {
        if (length_ >= sizeof text_) return;
        const int written = std::snprintf(text_ + length_, sizeof text_ - length_, format, value);
        if (written > 0) length_ += static_cast<std::size_t>(written);
    }

    char text_[160] = {};
    std::size_t length_ = 0;
};

void NoteCall(int camera, const char* name, HVSTATUS status, int64_t microseconds, const ArgumentText& arguments) {
    if (status != 0) {
        KX_LOG(Domain::Camera, Level::Warn, camera, "%s(%s) failed with status %" PRId32 " (%s) after %" PRId64 " us",
               name, arguments.Text(), status, diagnostics::CameraStatusWords(status), microseconds);
        return;
    }
    KX_LOG(Domain::Camera, Level::Debug, camera, "%s(%s) -> %" PRId32 " in %" PRId64 " us", name, arguments.Text(),
           status, microseconds);
}

}  // namespace

// Each function below: unlogged, the library's call alone. Logged, the call between two clock
// readings, then its arguments (after the call, so that what the library wrote back is shown).

HVSTATUS BeginHVDevice(int camera, int32_t device, HHV* handle) {
    if (!CallsLogged()) return ::BeginHVDevice(device, handle);
    const int64_t start = Now();
    const HVSTATUS status = ::BeginHVDevice(device, handle);
    const int64_t elapsed = Now() - start;
    NoteCall(camera, "BeginHVDevice", status, elapsed, ArgumentText().Signed(device).WrittenBack(handle));
    return status;
}

HVSTATUS EndHVDevice(int camera, HHV handle) {
    if (!CallsLogged()) return ::EndHVDevice(handle);
    const int64_t start = Now();
    const HVSTATUS status = ::EndHVDevice(handle);
    const int64_t elapsed = Now() - start;
    NoteCall(camera, "EndHVDevice", status, elapsed, ArgumentText().Unsigned(handle));
    return status;
}

HVSTATUS HVGetDeviceTotal(int camera, int32_t* count) {
    if (!CallsLogged()) return ::HVGetDeviceTotal(count);
    const int64_t start = Now();
    const HVSTATUS status = ::HVGetDeviceTotal(count);
    const int64_t elapsed = Now() - start;
    NoteCall(camera, "HVGetDeviceTotal", status, elapsed, ArgumentText().WrittenBack(count));
    return status;
}

HVSTATUS HVGetDeviceInfo(int camera, HHV handle, int32_t kind, void* buffer, int32_t* size) {
    if (!CallsLogged()) return ::HVGetDeviceInfo(handle, kind, buffer, size);
    const int64_t start = Now();
    const HVSTATUS status = ::HVGetDeviceInfo(handle, kind, buffer, size);
    const int64_t elapsed = Now() - start;
    NoteCall(camera, "HVGetDeviceInfo", status, elapsed,
             ArgumentText().Unsigned(handle).Signed(kind).Address(buffer).WrittenBack(size));
    return status;
}

HVSTATUS HVSetResolution(int camera, HHV handle, int32_t mode) {
    if (!CallsLogged()) return ::HVSetResolution(handle, mode);
    const int64_t start = Now();
    const HVSTATUS status = ::HVSetResolution(handle, mode);
    const int64_t elapsed = Now() - start;
    NoteCall(camera, "HVSetResolution", status, elapsed, ArgumentText().Unsigned(handle).Signed(mode));
    return status;
}

HVSTATUS HVSetOutputWindow(int camera, HHV handle, int32_t left, int32_t top, int32_t width, int32_t height) {
    if (!CallsLogged()) return ::HVSetOutputWindow(handle, left, top, width, height);
    const int64_t start = Now();
    const HVSTATUS status = ::HVSetOutputWindow(handle, left, top, width, height);
    const int64_t elapsed = Now() - start;
    NoteCall(camera, "HVSetOutputWindow", status, elapsed,
             ArgumentText().Unsigned(handle).Signed(left).Signed(top).Signed(width).Signed(height));
    return status;
}

HVSTATUS HVSetSnapMode(int camera, HHV handle, int32_t mode) {
    if (!CallsLogged()) return ::HVSetSnapMode(handle, mode);
    const int64_t start = Now();
    const HVSTATUS status = ::HVSetSnapMode(handle, mode);
    const int64_t elapsed = Now() - start;
    NoteCall(camera, "HVSetSnapMode", status, elapsed, ArgumentText().Unsigned(handle).Signed(mode));
    return status;
}

HVSTATUS HVAGCControl(int camera, HHV handle, uint8_t code, int32_t value) {
    if (!CallsLogged()) return ::HVAGCControl(handle, code, value);
    const int64_t start = Now();
    const HVSTATUS status = ::HVAGCControl(handle, code, value);
    const int64_t elapsed = Now() - start;
    NoteCall(camera, "HVAGCControl", status, elapsed, ArgumentText().Unsigned(handle).Unsigned(code).Signed(value));
    return status;
}

HVSTATUS HVAECControl(int camera, HHV handle, uint8_t code, uint32_t value) {
    if (!CallsLogged()) return ::HVAECControl(handle, code, value);
    const int64_t start = Now();
    const HVSTATUS status = ::HVAECControl(handle, code, value);
    const int64_t elapsed = Now() - start;
    NoteCall(camera, "HVAECControl", status, elapsed, ArgumentText().Unsigned(handle).Unsigned(code).Unsigned(value));
    return status;
}

HVSTATUS HVADCControl(int camera, HHV handle, uint8_t code, int32_t value) {
    if (!CallsLogged()) return ::HVADCControl(handle, code, value);
    const int64_t start = Now();
    const HVSTATUS status = ::HVADCControl(handle, code, value);
    const int64_t elapsed = Now() - start;
    NoteCall(camera, "HVADCControl", status, elapsed, ArgumentText().Unsigned(handle).Unsigned(code).Signed(value));
    return status;
}

HVSTATUS HVOpenSnap(int camera, HHV handle, HVSnapCallback callback, void* userValue) {
    if (!CallsLogged()) return ::HVOpenSnap(handle, callback, userValue);
    const int64_t start = Now();
    const HVSTATUS status = ::HVOpenSnap(handle, callback, userValue);
    const int64_t elapsed = Now() - start;
    NoteCall(camera, "HVOpenSnap", status, elapsed,
             ArgumentText().Unsigned(handle).Callback(callback).Address(userValue));
    return status;
}

HVSTATUS HVStartSnap(int camera, HHV handle, uint8_t** buffers, int32_t count) {
    if (!CallsLogged()) return ::HVStartSnap(handle, buffers, count);
    const int64_t start = Now();
    const HVSTATUS status = ::HVStartSnap(handle, buffers, count);
    const int64_t elapsed = Now() - start;
    NoteCall(camera, "HVStartSnap", status, elapsed, ArgumentText().Unsigned(handle).Address(buffers).Signed(count));
    return status;
}

HVSTATUS HVSnapShot(int camera, HHV handle, uint8_t** buffers, int32_t count) {
    if (!CallsLogged()) return ::HVSnapShot(handle, buffers, count);
    const int64_t start = Now();
    const HVSTATUS status = ::HVSnapShot(handle, buffers, count);
    const int64_t elapsed = Now() - start;
    NoteCall(camera, "HVSnapShot", status, elapsed, ArgumentText().Unsigned(handle).Address(buffers).Signed(count));
    return status;
}

HVSTATUS HVCloseSnap(int camera, HHV handle) {
    if (!CallsLogged()) return ::HVCloseSnap(handle);
    const int64_t start = Now();
    const HVSTATUS status = ::HVCloseSnap(handle);
    const int64_t elapsed = Now() - start;
    NoteCall(camera, "HVCloseSnap", status, elapsed, ArgumentText().Unsigned(handle));
    return status;
}

HVSTATUS HVTriggerShot(int camera, HHV handle) {
    if (!CallsLogged()) return ::HVTriggerShot(handle);
    const int64_t start = Now();
    const HVSTATUS status = ::HVTriggerShot(handle);
    const int64_t elapsed = Now() - start;
    NoteCall(camera, "HVTriggerShot", status, elapsed, ArgumentText().Unsigned(handle));
    return status;
}

HVSTATUS HVSetTriggerPolarity(int camera, HHV handle, int32_t polarity) {
    if (!CallsLogged()) return ::HVSetTriggerPolarity(handle, polarity);
    const int64_t start = Now();
    const HVSTATUS status = ::HVSetTriggerPolarity(handle, polarity);
    const int64_t elapsed = Now() - start;
    NoteCall(camera, "HVSetTriggerPolarity", status, elapsed, ArgumentText().Unsigned(handle).Signed(polarity));
    return status;
}

HVSTATUS HVSetStrobePolarity(int camera, HHV handle, int32_t polarity) {
    if (!CallsLogged()) return ::HVSetStrobePolarity(handle, polarity);
    const int64_t start = Now();
    const HVSTATUS status = ::HVSetStrobePolarity(handle, polarity);
    const int64_t elapsed = Now() - start;
    NoteCall(camera, "HVSetStrobePolarity", status, elapsed, ArgumentText().Unsigned(handle).Signed(polarity));
    return status;
}

HVSTATUS HVSetSnapSpeed(int camera, HHV handle, int32_t speed) {
    if (!CallsLogged()) return ::HVSetSnapSpeed(handle, speed);
    const int64_t start = Now();
    const HVSTATUS status = ::HVSetSnapSpeed(handle, speed);
    const int64_t elapsed = Now() - start;
    NoteCall(camera, "HVSetSnapSpeed", status, elapsed, ArgumentText().Unsigned(handle).Signed(speed));
    return status;
}

HVSTATUS HVSetBlanking(int camera, HHV handle, int32_t first, int32_t second) {
    if (!CallsLogged()) return ::HVSetBlanking(handle, first, second);
    const int64_t start = Now();
    const HVSTATUS status = ::HVSetBlanking(handle, first, second);
    const int64_t elapsed = Now() - start;
    NoteCall(camera, "HVSetBlanking", status, elapsed, ArgumentText().Unsigned(handle).Signed(first).Signed(second));
    return status;
}

HVSTATUS HVCommand(int camera, HHV handle, int32_t command, ControlRecord* record, int32_t* length) {
    if (!CallsLogged()) return ::HVCommand(handle, command, record, length);
    const int64_t start = Now();
    const HVSTATUS status = ::HVCommand(handle, command, record, length);
    const int64_t elapsed = Now() - start;
    NoteCall(camera, "HVCommand", status, elapsed,
             ArgumentText().Unsigned(handle).Signed(command).Address(record).WrittenBack(length));
    return status;
}

// Every operation of the library's list has its function above, with the library's parameters
// after the camera number.
#define KX_CAMERA_PARAMETER_TYPE(type, name) type
#define KX_CAMERA_CALL_LISTED(returnType, name, ...)                                                              \
    static_assert(                                                                                                \
        std::is_same_v<decltype(&name), returnType (*)(int, HVDAILT_MAP(KX_CAMERA_PARAMETER_TYPE, __VA_ARGS__))>, \
        #name " differs from the camera library's operation");
HVDAILT_OPERATIONS(KX_CAMERA_CALL_LISTED)
#undef KX_CAMERA_CALL_LISTED
#undef KX_CAMERA_PARAMETER_TYPE

}  // namespace korvex::camera
