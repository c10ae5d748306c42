// The adapter's one way into the camera library: a wrapper for each of its operations, generated
// from the operation list (hvdailt_operations.h), with the library's own names and parameters.
//
//   const HVSTATUS status = camera::HVSetResolution(handle, mode);
//
// With the camera domain's log off a wrapper costs one relaxed load and a branch before the call.
// Otherwise it times the call and logs it: at debug every call with its arguments, status and
// duration, at warn every call that failed. The adapter makes no camera call from the snap
// callback thread, so these lines never come from it.
#pragma once

#include <cstdint>

#include "HVDAILT.h"
#include "diagnostics/log.h"
#include "hvdailt_operations.h"

namespace korvex::camera {

namespace detail {
// The call made and logged.
#define KX_CAMERA_LOGGED_DECLARATION(returnType, name, ...) \
    returnType Logged##name(HVDAILT_MAP(HVDAILT_PARAMETER_DECLARATION, __VA_ARGS__));
HVDAILT_OPERATIONS(KX_CAMERA_LOGGED_DECLARATION)
#undef KX_CAMERA_LOGGED_DECLARATION

// Warn is the least verbose level a camera call logs at: below it, nothing is logged.
inline bool CallsLogged() { return diagnostics::LogEnabled(diagnostics::Domain::Camera, diagnostics::Level::Warn); }
}  // namespace detail

#define KX_CAMERA_WRAPPER(returnType, name, ...)                                                                  \
    inline returnType name(HVDAILT_MAP(HVDAILT_PARAMETER_DECLARATION, __VA_ARGS__)) {                             \
        if (detail::CallsLogged()) return detail::Logged##name(HVDAILT_MAP(HVDAILT_PARAMETER_NAME, __VA_ARGS__)); \
        return ::name(HVDAILT_MAP(HVDAILT_PARAMETER_NAME, __VA_ARGS__));                                          \
    }
HVDAILT_OPERATIONS(KX_CAMERA_WRAPPER)
#undef KX_CAMERA_WRAPPER

}  // namespace korvex::camera
