// Each camera's white-balance ratios, kept in the settings file between uses of the library
// (settings_file.h says where and how).
#pragma once

#include <cstdint>

namespace korvex {

// Reads the ratios of cameras 1..count into their slots, from one reading of the file. The
// ratios then count as unchanged until a white balance sets them.
void LoadStoredRatios(int32_t count);

// Writes the three keys of cameras 1..count in one replacement of the file, creating it when
// absent: a camera's own ratios when a white balance changed them since they were read, else the
// ratios the file holds at that moment, so that a process that changed nothing never undoes
// another's store. A file that cannot be written keeps its content.
void SaveStoredRatios(int32_t count);

}  // namespace korvex
