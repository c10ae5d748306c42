// Settings file access by section and key, in the Windows private-profile text layout:
// "[section]" lines followed by "key=value" lines. Section and key names match without regard
// to case. The file name is bare; the platform chooses the folder.
#pragma once

#include <cstdint>

namespace korvex::platform {

// One key to set: section, key and value text, each zero-terminated.
struct ProfileEntry {
    const char* section;
    const char* key;
    const char* value;
};

// Copies the value of key in section into out (at most size - 1 characters and a terminating
// zero), or defaultValue when the file, section or key is missing. Surrounding blanks and one
// pair of surrounding quotes are dropped. Returns the number of characters copied.
uint32_t ReadProfileString(const char* section, const char* key, const char* defaultValue, char* out, uint32_t size,
                           const char* fileName);

// Sets every entry, in order, adding sections and keys when missing and keeping every other line
// of the file as it was. Where the platform replaces files itself, all entries reach the file in
// one replacement, whole or not at all. False when any entry could not be stored.
bool WriteProfileStrings(const ProfileEntry* entries, uint32_t count, const char* fileName);

// WriteProfileStrings for a single entry.
bool WriteProfileString(const char* section, const char* key, const char* value, const char* fileName);

}  // namespace korvex::platform
