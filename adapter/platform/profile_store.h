// Settings file access by section and key, in the Windows private-profile text layout:
// "[section]" lines followed by "key=value" lines. Section and key names match without regard
// to case. The file name is bare; the platform chooses the folder.
#pragma once

#include <cstdint>

namespace korvex::platform {

// Copies the value of key in section into out (at most size - 1 characters and a terminating
// zero), or defaultValue when the file, section or key is missing. Surrounding blanks and one
// pair of surrounding quotes are dropped. Returns the number of characters copied.
uint32_t ReadProfileString(const char* section, const char* key, const char* defaultValue, char* out,
                           uint32_t size, const char* fileName);

// Sets key in section to value, adding the section or key when missing and keeping every other
// line of the file as it was. The file is replaced as a whole or not at all. False on failure.
bool WriteProfileString(const char* section, const char* key, const char* value, const char* fileName);

}  // namespace korvex::platform
