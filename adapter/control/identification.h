// Camera identification: the maker's model names by type code, and the version text.
#pragma once

#include <cstdint>

namespace korvex {

// The model name of a type code, at most 8 characters, or null for a code without one (26, 33,
// 34, 37, 43..55, anything above 59 and every negative code).
const char* ModelName(int32_t typeCode);

// Writes the version as decimal text ("-" first when negative) into the first bytes of text,
// zero-terminated; text must hold at least 12 bytes.
void FormatHardwareVersion(int32_t version, char* text);

}  // namespace korvex
