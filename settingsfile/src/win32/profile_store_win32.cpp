// Settings file on Windows: the private-profile service, given the bare file name, so that
// Windows keeps the file in its own folder and lays out its text.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// <windows.h> maps WriteProfileString to its win.ini function WriteProfileStringA; ours is a
// different function of the same name.
#undef WriteProfileString

#include "profile_store.h"

namespace korvex::settings {

uint32_t ReadProfileString(const char* section, const char* key, const char* defaultValue, char* out, uint32_t size,
                           const char* fileName) {
    if (out == nullptr || size == 0) return 0;
    return GetPrivateProfileStringA(section, key, defaultValue, out, size, fileName);
}

// The service keeps the file's text itself, so each key is one call.
void ReadProfileStrings(ProfileQuery* queries, uint32_t count, const char* defaultValue, const char* fileName) {
    for (uint32_t i = 0; i < count; ++i) {
        ReadProfileString(queries[i].section, queries[i].key, defaultValue, queries[i].value, kProfileValueSize,
                          fileName);
    }
}

// The service has no batch form: one call per key, each of which it stores itself.
bool WriteProfileStrings(const ProfileEntry* entries, uint32_t count, const char* fileName) {
    bool allStored = true;
    for (uint32_t i = 0; i < count; ++i) {
        const ProfileEntry& entry = entries[i];
        if (WritePrivateProfileStringA(entry.section, entry.key, entry.value, fileName) == FALSE) allStored = false;
    }
    return allStored;
}

bool WriteProfileString(const char* section, const char* key, const char* value, const char* fileName) {
    const ProfileEntry entry{section, key, value};
    return WriteProfileStrings(&entry, 1, fileName);
}

}  // namespace korvex::settings
