// Settings file on Windows: the private-profile service, given the bare file name, so that
// Windows keeps the file in its own folder and lays out its text.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// <windows.h> maps WriteProfileString to its win.ini function WriteProfileStringA; ours is a
// different function of the same name.
#undef WriteProfileString

#include "platform/profile_store.h"

namespace korvex::platform {

uint32_t ReadProfileString(const char* section, const char* key, const char* defaultValue, char* out,
                           uint32_t size, const char* fileName) {
    if (out == nullptr || size == 0) return 0;
    return GetPrivateProfileStringA(section, key, defaultValue, out, size, fileName);
}

bool WriteProfileString(const char* section, const char* key, const char* value, const char* fileName) {
    return WritePrivateProfileStringA(section, key, value, fileName) != FALSE;
}

}  // namespace korvex::platform
