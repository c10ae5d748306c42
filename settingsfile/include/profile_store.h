// Settings file access by section and key, in the Windows private-profile text layout:
// "[section]" lines followed by "key=value" lines. Section and key names match without regard
// to case. The file name is bare; the platform chooses the folder. Where the platform reads the
// file itself, it reads only a regular file of at most a size limit, opened without blocking;
// any other file reads as missing and is never replaced. The ratios (settings_file.h) are read
// and stored by the same rules; this key-by-key form serves tools and tests that compare the
// platforms.
#pragma once

#include <cstdint>

namespace korvex::settings {

// One key to set: section, key and value text, each zero-terminated.
struct ProfileEntry {
    const char* section;
    const char* key;
    const char* value;
};

// The longest value text a read keeps, its terminating zero included.
inline constexpr uint32_t kProfileValueSize = 250;

// One key to read: section and key, each zero-terminated, and the value text read for them.
struct ProfileQuery {
    const char* section;
    const char* key;
    char value[kProfileValueSize];
};

// Copies the value of key in section into out (at most size - 1 characters and a terminating
// zero), or defaultValue when the file, section or key is missing. Surrounding blanks and one
// pair of surrounding quotes are dropped. Returns the number of characters copied.
uint32_t ReadProfileString(const char* section, const char* key, const char* defaultValue, char* out, uint32_t size,
                           const char* fileName);

// ReadProfileString for every query, from one reading of the file.
void ReadProfileStrings(ProfileQuery* queries, uint32_t count, const char* defaultValue, const char* fileName);

// Sets every entry, in order, adding sections and keys when missing and keeping every other line
// of the file as it was. Where the platform replaces files itself, all entries reach the file in
// one replacement, whole or not at all. False when any entry could not be stored.
bool WriteProfileStrings(const ProfileEntry* entries, uint32_t count, const char* fileName);

// WriteProfileStrings for a single entry.
bool WriteProfileString(const char* section, const char* key, const char* value, const char* fileName);

}  // namespace korvex::settings
