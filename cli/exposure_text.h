// Exposure times as a user types them: a number and a unit, "10ms", "1.5ms", "500 us", "2s".
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace korvex::cli {

struct Exposure {
    int16_t unit;   // as ZqSetShutter takes it: 0 = microseconds, 1 = milliseconds, 2 = seconds
    int16_t value;  // 1..32767
};

// The time in the unit typed when it is a whole number 1..32767 there, else in the coarsest finer
// unit where it is one ("1.5ms" is 1500 us), else in the finest coarser one ("40000us" is 40 ms).
// Nothing when the text is not a finite number followed by us, ms or s, or when no unit holds it
// as a whole number 1..32767 (finer than 1 us, longer than 32767 s, 40001 us).
std::optional<Exposure> ParseExposure(const std::string& text);

// "10 ms": how the time is shown and stored in recordings.
std::string ExposureText(const Exposure& exposure);

}  // namespace korvex::cli
