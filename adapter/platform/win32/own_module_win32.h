// The module (DLL or program) that holds this code, for its file name and its resources.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace korvex::platform {

HMODULE OwnModule();

}  // namespace korvex::platform
