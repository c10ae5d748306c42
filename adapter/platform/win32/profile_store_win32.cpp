// Settings file on Windows: the private-profile service, given the bare file name, so that
// Windows keeps the file in its own folder and lays out its text.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// <windows.h> maps WriteProfileString to its win.ini function WriteProfileStringA; ours is a
// different function of the same name.
#undef WriteProfileString

#include "diagnostics/log.h"
#include "platform/profile_store.h"

namespace korvex::platform {
namespace {

// A key the service could not store, in the log with the system's own text for the error.
void LogWriteFailure(const ProfileEntry& entry, const char* fileName) {
    const DWORD error = GetLastError();
    char text[256] = "";
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        text, sizeof text, nullptr);
    KX_LOG(diagnostics::Domain::Settings, diagnostics::Level::Error, diagnostics::kNoCamera,
           "settings file %s: write of [%s] %s failed: %s (error %lu)", fileName, entry.section, entry.key,
           length != 0 ? text : "no text for it", static_cast<unsigned long>(error));
}

}  // namespace

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
        if (WritePrivateProfileStringA(entry.section, entry.key, entry.value, fileName) != FALSE) continue;
        LogWriteFailure(entry, fileName);
        allStored = false;
    }
    return allStored;
}

// The service is left to store every close's ratios, as it always has on Windows: hosts and tests
// there expect a close to write them (the check is made where the adapter keeps the file itself).
bool WriteChangedProfileStrings(const ProfileEntry* entries, uint32_t count, const char* fileName,
                                ProfileValueHolds /*holds*/) {
    return WriteProfileStrings(entries, count, fileName);
}

bool WriteProfileString(const char* section, const char* key, const char* value, const char* fileName) {
    const ProfileEntry entry{section, key, value};
    return WriteProfileStrings(&entry, 1, fileName);
}

}  // namespace korvex::platform
