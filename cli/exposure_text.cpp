#include "exposure_text.h"

#include <array>
#include <charconv>

namespace korvex::cli {
namespace {

constexpr std::array<const char*, 3> kUnitNames = {"us", "ms", "s"};

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::optional<Exposure> ParseExposure(const std::string& text) {
    const std::string trimmed = Trim(text);
    int value = 0;
    const char* end = trimmed.data() + trimmed.size();
    const auto [rest, error] = std::from_chars(trimmed.data(), end, value);
    if (error != std::errc() || rest == trimmed.data() || value < 1 || value > 32767) return std::nullopt;
    const std::string unit = Trim(std::string(rest, end));
    for (std::size_t code = 0; code < kUnitNames.size(); ++code) {
        if (unit == kUnitNames[code]) return Exposure{static_cast<int16_t>(code), static_cast<int16_t>(value)};
    }
    return std::nullopt;
}

std::string ExposureText(const Exposure& exposure) {
    return std::to_string(exposure.value) + " " + kUnitNames[static_cast<std::size_t>(exposure.unit)];
}

}  // namespace korvex::cli
