// The white-balance ratios kept in the settings file, read the way the adapter reads them at open.
#pragma once

#include <cstdint>

namespace korvex::cli {

struct StoredRatios {
    double red = 1.0;
    double blue = 1.0;
};

// Camera device's stored red and blue ratios; 1.0 for a ratio that is absent, zero or unreadable
// (as the adapter takes it). Reads only a regular file and never changes it.
StoredRatios ReadStoredRatios(int16_t device);

}  // namespace korvex::cli
