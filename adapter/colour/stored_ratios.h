// Each camera's white-balance ratios, kept in the settings file between uses of the library.
//
// Section "Video Parameter<slot index>" (camera 1 is "Video Parameter0"), keys "RGain", "GGain",
// "BGain", values written with six decimals. A missing, empty, non-numeric or zero value reads
// as 1.0.
#pragma once

#include <cstdint>
#include <string>

namespace korvex {

inline constexpr const char* kSettingsFileName = "Korvex.ini";

// Reads the ratios of cameras 1..count into their slots.
void LoadStoredRatios(int32_t count);

// Writes the ratios of cameras 1..count in one replacement of the file. A file that cannot be
// written keeps its content.
void SaveStoredRatios(int32_t count);

// The stored text's leading number: blanks, a sign, digits with an optional point, and an
// optional exponent introduced by e, E, d or D. Text without such a number gives 0.0; overflow
// gives an infinity of the number's sign. No hexadecimal, infinity or not-a-number words.
double ParseStoredNumber(const char* text);

// A ratio as stored: fixed notation, six decimals, a point whatever the locale.
std::string FormatStoredRatio(double ratio);

}  // namespace korvex
