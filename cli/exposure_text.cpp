#include "exposure_text.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace korvex::cli {
namespace {

constexpr std::array<const char*, 3> kUnitNames = {"us", "ms", "s"};
constexpr double kLargestValue = 32767.0;

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::optional<std::size_t> UnitCode(const std::string& name) {
    for (std::size_t code = 0; code < kUnitNames.size(); ++code) {
        if (name == kUnitNames[code]) return code;
    }
    return std::nullopt;
}

// value in unit code as a whole count 1..32767 of that unit alone; nothing when it is not one.
std::optional<Exposure> WholeIn(double value, std::size_t unit) {
    const double whole = std::round(value);
    if (whole < 1.0 || whole > kLargestValue || std::fabs(value - whole) > 1e-9 * whole) return std::nullopt;
    return Exposure{static_cast<int16_t>(unit), static_cast<int16_t>(whole)};
}

// value in unit code, as a whole count of that unit, else of a finer one, else of a coarser one
// ("40000us" is 40 ms): the same time in a unit the interface can carry.
std::optional<Exposure> WholeCount(double value, std::size_t code) {
    double inUnit = value;
    for (std::size_t unit = code + 1; unit-- > 0; inUnit *= 1000.0) {
        if (const auto exposure = WholeIn(inUnit, unit)) return exposure;
    }
    inUnit = value;
    for (std::size_t unit = code + 1; unit < kUnitNames.size(); ++unit) {
        inUnit /= 1000.0;
        if (const auto exposure = WholeIn(inUnit, unit)) return exposure;
    }
    return std::nullopt;
}

}  // namespace

std::optional<Exposure> ParseExposure(const std::string& text) {
    const std::string trimmed = Trim(text);
    if (trimmed.empty() || !(std::isdigit(static_cast<unsigned char>(trimmed[0])) || trimmed[0] == '.'))
        return std::nullopt;  // no sign, no "nan" or "inf"
    char* rest = nullptr;
    const double value = std::strtod(trimmed.c_str(), &rest);
    if (rest == trimmed.c_str() || !std::isfinite(value) || value <= 0.0) return std::nullopt;
    const std::optional<std::size_t> code = UnitCode(Trim(rest));
    if (!code) return std::nullopt;
    return WholeCount(value, *code);
}

std::string ExposureText(const Exposure& exposure) {
    return std::to_string(exposure.value) + " " + kUnitNames[static_cast<std::size_t>(exposure.unit)];
}

}  // namespace korvex::cli
