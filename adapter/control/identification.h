// Camera identification: the maker's model names by type code.
#pragma once

#include <cstdint>

namespace korvex {

// The model name of a type code, at most 8 characters, or null for a code without one (26, 33,
// 34, 37, 43..55, anything above 59 and every negative code).
const char* ModelName(int32_t typeCode);

}  // namespace korvex
