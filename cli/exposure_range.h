// What a camera makes of an exposure time. The interface cannot read an exposure back, so the
// tool works it out as the adapter does: the HV cameras take a count of row periods of a 24 MHz
// clock, turned from the time by a formula of the family (the row length from the row width, and
// for HV30xx/31xx from the resolution mode), and clamped to 1..the family's limit. SV cameras take
// the time as sent, within limits of their own that nobody can read.
#pragma once

#include <optional>
#include <string>

#include "exposure_text.h"

namespace korvex::cli {

struct ExposureLimits {
    double shortestS;  // the time one row stands for
    double longestS;   // the time the family's most rows stand for
};

struct AppliedExposure {
    double seconds;  // the time the rows sent stand for
    int clamped;     // -1 raised to the shortest, 0 as asked (to a row), 1 cut to the longest
};

// The range of a model at a row width (the window's, or the mode's) and resolution mode; nothing
// for an SV model or a name of no known family.
std::optional<ExposureLimits> ExposureRangeOf(const std::string& model, int width, int mode);

// What the camera gets for a requested exposure; nothing where ExposureRangeOf gives nothing.
std::optional<AppliedExposure> AppliedExposureOf(const std::string& model, Exposure requested, int width, int mode);

// "1.04 s", "56 us": a time in seconds in the unit that reads best, three significant digits.
std::string SecondsText(double seconds);

}  // namespace korvex::cli
