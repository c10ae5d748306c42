// The logged half of the camera-library wrappers: the call, its duration, and one line.
#include "camera/camera_calls.h"

#include <cinttypes>
#include <cstdio>

#include "diagnostics/camera_status.h"
#include "registry/slot.h"

namespace korvex::camera::detail {
namespace {

using diagnostics::Domain;
using diagnostics::Level;

// A call's arguments as text, "2, 0x55d0c0, &4": numbers as numbers, pointers as addresses, and
// the integers the library writes back through a pointer as &value, read after the call.
class ArgumentText {
public:
    void Add(int32_t value) { Append("%" PRId32, value); }
    void Add(uint32_t value) { Append("%" PRIu32, value); }  // handles, AEC values
    void Add(uint8_t value) { Append("%u", unsigned{value}); }
    void Add(HVSnapCallback callback) { Append("%p", reinterpret_cast<void*>(callback)); }
    // Counts, sizes and handles the library writes back: the value after the call.
    void Add(int32_t* value) {
        if (value == nullptr) return Append("%s", "(nil)");
        Append("&%" PRId32, *value);
    }
    void Add(HHV* value) {
        if (value == nullptr) return Append("%s", "(nil)");
        Append("&%" PRIu32, *value);
    }
    template <typename T>
    void Add(T* pointer) {
        Append("%p", static_cast<const void*>(pointer));
    }
    const char* Text() const { return text_; }

private:
    template <typename... Values>
    void Append(const char* format, Values... values) {
        if (length_ != 0) Write(", ");
        Write(format, values...);
    }
    template <typename... Values>
    void Write(const char* format, Values... values) {
        if (length_ >= sizeof text_) return;
        const int written = std::snprintf(text_ + length_, sizeof text_ - length_, format, values...);
        if (written > 0) length_ += static_cast<std::size_t>(written);
    }

    char text_[160] = {};
    std::size_t length_ = 0;
};

// The camera number (1..10) of the slot holding handle, or none.
int CameraOf(HHV handle) {
    if (handle == 0) return diagnostics::kNoCamera;
    for (const Slot& slot : Slots().slots)
        if (slot.handle() == handle) return slot.index() + 1;
    return diagnostics::kNoCamera;
}

// BeginHVDevice names its camera by number; the other calls by handle, or not at all.
int CameraOfCall(int32_t device, HHV* /*handle*/) { return device >= 1 && device <= kSlotCount ? device : 0; }
int CameraOfCall(int32_t* /*count*/) { return diagnostics::kNoCamera; }
template <typename... Rest>
int CameraOfCall(HHV handle, Rest... /*rest*/) {
    return CameraOf(handle);
}

void NoteCall(const char* name, int camera, const ArgumentText& arguments, HVSTATUS status, int64_t microseconds) {
    if (status != 0) {
        KX_LOG(Domain::Camera, Level::Warn, camera, "%s(%s) failed with status %" PRId32 " (%s) after %" PRId64 " us",
               name, arguments.Text(), status, diagnostics::CameraStatusWords(status), microseconds);
        return;
    }
    KX_LOG(Domain::Camera, Level::Debug, camera, "%s(%s) -> %" PRId32 " in %" PRId64 " us", name, arguments.Text(),
           status, microseconds);
}

}  // namespace

// The camera number is taken before the call (the handle a call names is the slot's until the
// slot drops it), the arguments after it, so that what the library wrote back is shown.
#define KX_CAMERA_LOGGED_DEFINITION(returnType, name, ...)                                  \
    returnType Logged##name(HVDAILT_MAP(HVDAILT_PARAMETER_DECLARATION, __VA_ARGS__)) {      \
        const int camera = CameraOfCall(HVDAILT_MAP(HVDAILT_PARAMETER_NAME, __VA_ARGS__));  \
        const int64_t start = diagnostics::LogClockMicroseconds();                          \
        const returnType status = ::name(HVDAILT_MAP(HVDAILT_PARAMETER_NAME, __VA_ARGS__)); \
        const int64_t elapsed = diagnostics::LogClockMicroseconds() - start;                \
        ArgumentText arguments;                                                             \
        KX_CAMERA_ADD_ARGUMENTS(__VA_ARGS__);                                               \
        NoteCall(#name, camera, arguments, status, elapsed);                                \
        return status;                                                                      \
    }
#define KX_CAMERA_ADD_ARGUMENT(type, name) arguments.Add(name)
#define KX_CAMERA_ADD_ARGUMENTS(...) (HVDAILT_MAP(KX_CAMERA_ADD_ARGUMENT, __VA_ARGS__))
HVDAILT_OPERATIONS(KX_CAMERA_LOGGED_DEFINITION)
#undef KX_CAMERA_LOGGED_DEFINITION

}  // namespace korvex::camera::detail
