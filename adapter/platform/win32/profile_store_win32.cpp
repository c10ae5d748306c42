// Settings file on Windows: the private-profile service, given the bare file name, so that
// Windows keeps the file in its own folder and lays out its text.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// <windows.h> maps WriteProfileString to its win.ini function WriteProfileStringA; ours is a
// different function of the same name.
#undef WriteProfileString

#include <cstring>

#include "platform/profile_store.h"

namespace korvex::platform {

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
        allStored = WritePrivateProfileStringA(entry.section, entry.key, entry.value, fileName) != FALSE && allStored;
    }
    return allStored;
}

// Compared key by key through the service; a stored text reads back as the service gives it, and a
// missing key, told apart by a default no real value has, as null. (A stored text equal to that
// default reads as a number the way a missing key does, so mistaking one for the other is harmless.)
bool WriteChangedProfileStrings(const ProfileEntry* entries, uint32_t count, const char* fileName,
                                ProfileValueHolds holds) {
    constexpr const char* kMissing = "<missing>";
    for (uint32_t i = 0; i < count; ++i) {
        char stored[kProfileValueSize];
        ReadProfileString(entries[i].section, entries[i].key, kMissing, stored, kProfileValueSize, fileName);
        const bool missing = std::strcmp(stored, kMissing) == 0;
        if (!holds(missing ? nullptr : stored, entries[i].value)) return WriteProfileStrings(entries, count, fileName);
    }
    return true;
}

bool WriteProfileString(const char* section, const char* key, const char* value, const char* fileName) {
    const ProfileEntry entry{section, key, value};
    return WriteProfileStrings(&entry, 1, fileName);
}

}  // namespace korvex::platform
