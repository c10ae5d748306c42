// The simulated camera models: the maker's model-name table and, per type code, the parameters a
// simulated camera starts from. Everything here is data; the simulator reads it at configuration.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "HVDAILT.h"

namespace hvsim {

// How a family reads out its sensor and takes its exposure. The row length (pixel clocks per row)
// of each family is the one its exposure-in-rows conversion assumes.
enum class Family {
    Rows13,   // HV13xx and codes without a family: rows of width + 244 clocks
    Rows20,   // HV20xx: rows of max(width + 358, 617) clocks
    Rows30,   // HV30xx/HV31xx: max(width + 511, 647), or max(width + 837, 1305) in mode 1
    SvDirect  // SV series: exposure given as a time unit and a value, rows of width + 300 clocks
};

struct ModelInfo {
    int32_t typeCode = 0;
    const char* name = nullptr;  // null for a code without a model name
    Family family = Family::Rows13;
    bool colour = true;
    int32_t bayerLayout = 1;                   // 1..4 for colour sensors
    std::vector<ResolutionEntry> resolutions;  // full sensor first
    int32_t hwVersion = 0;
};

// Named defaults of every simulated camera's settings, before any call changes them.
struct SettingDefaults {
    static constexpr int32_t kGain = 16;                 // unity gain, codes 16..19
    static constexpr double kNominalExposureUs = 10000;  // the exposure that gives unity brightness
    static constexpr int32_t kSvExposureUnit = 1;        // SV: milliseconds
    static constexpr int32_t kSvExposureValue = 10;
    static constexpr int32_t kCameraStatus = 0;
};

constexpr int64_t kPixelClockHz = 24000000;

// The model of any type code: named codes from the table, every other code a plausible camera.
ModelInfo ModelForCode(int32_t typeCode);

// The maker's model name of a type code, or null when the code has none.
const char* ModelName(int32_t typeCode);

// A camera token as KORVEX_SIM_CAMERAS holds it: a model name (any letter case) or a decimal type
// code. Empty when it is neither.
std::optional<int32_t> ParseCameraToken(std::string_view token);

// Every model name of the table, comma-separated, for messages.
std::string ModelNameList();

// The type code a replayed camera reports when its recording names no model: one without a name.
constexpr int32_t kNamelessTypeCode = -1;

// The serial-number text of a simulated camera: the SV models carry long ones.
std::string DefaultSerial(const ModelInfo& model, int32_t device);

// Pixel clocks per sensor row of a frame width in a resolution mode.
int64_t RowLengthClocks(Family family, int32_t width, int32_t resolutionMode);

// Largest exposure in rows that the camera takes (control code 1).
uint32_t MaxExposureRows(Family family);

// The exposure in rows that gives the nominal exposure time at the full sensor width.
uint32_t DefaultExposureRows(const ModelInfo& model);

}  // namespace hvsim
