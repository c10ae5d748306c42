// Exposure time: turning a host time (value and unit) into what the camera takes.
#pragma once

#include <cstdint>
#include <optional>

namespace korvex {

// Camera families by how they take an exposure.
enum class ExposureClass {
    SvDirect,     // SV models: unit and value sent as given
    Hv2Rows,      // HV20xx: rows of max(width + 358, 617) clocks, half-down rounding after + 1
    Hv3Rows,      // HV30xx/31xx: rows chosen by resolution mode, half-down rounding
    DefaultRows,  // HV13xx and every unknown code: rows of width + 244 clocks, truncated
};

ExposureClass ClassifyExposure(int32_t typeCode);

// Exposure in row periods for a row-counting class, clamped to 1..the class's upper limit.
// Empty for SvDirect (nothing to compute) and for a unit outside 0..2 (no clock rate exists).
// The time in clocks is formed in 64 bits, so long times clamp instead of wrapping.
std::optional<uint32_t> ExposureRows(ExposureClass exposureClass, int32_t unit, int32_t value, int32_t width,
                                     int32_t resolutionMode);

}  // namespace korvex
