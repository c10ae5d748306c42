// Exposure times as a user types them: a whole number and a unit, "10ms", "500 us", "2s".
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace korvex::cli {

struct Exposure {
    int16_t unit;   // as ZqSetShutter takes it: 0 = microseconds, 1 = milliseconds, 2 = seconds
    int16_t value;  // 1..32767
};

// Nothing when the text is not a number 1..32767 followed by us, ms or s.
std::optional<Exposure> ParseExposure(const std::string& text);

// "10 ms": how the time is shown and stored in recordings.
std::string ExposureText(const Exposure& exposure);

}  // namespace korvex::cli
