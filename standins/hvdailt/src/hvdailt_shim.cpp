// libHVDAILT: the camera library's 20 exported functions, generated from their one list, each
// forwarding to the simulator in libhvsim. Nothing else is exported (version script on ELF,
// module definition file on Windows).

#if !defined(_WIN32)
#pragma GCC visibility push(default)
#endif
#include "HVDAILT.h"
#if !defined(_WIN32)
#pragma GCC visibility pop
#endif

#include "sdk_entry.h"

extern "C" {

#define HVDAILT_FORWARD(returnType, name, ...)                                         \
    returnType KX_CALL name(HVDAILT_MAP(HVDAILT_PARAMETER_DECLARATION, __VA_ARGS__)) { \
        return hvsim_sdk_##name(HVDAILT_MAP(HVDAILT_PARAMETER_NAME, __VA_ARGS__));     \
    }
HVDAILT_OPERATIONS(HVDAILT_FORWARD)
#undef HVDAILT_FORWARD

}  // extern "C"
