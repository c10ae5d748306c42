// Korvex.ini through the private-profile service, by the bare name the adapter uses (the Windows
// folder).
#include <windows.h>

#include <cstdlib>
#include <string>

#include "stored_ratios.h"

namespace korvex::cli {
namespace {

double ReadRatio(const std::string& section, const char* key) {
    char text[64] = {};
    GetPrivateProfileStringA(section.c_str(), key, "1.00", text, sizeof text, "Korvex.ini");
    const double value = std::strtod(text, nullptr);
    return value > 0.0 && value < 1e6 ? value : 1.0;
}

}  // namespace

StoredRatios ReadStoredRatios(int16_t device) {
    const std::string section = "Video Parameter" + std::to_string(device - 1);
    return {ReadRatio(section, "RGain"), ReadRatio(section, "BGain")};
}

}  // namespace korvex::cli
