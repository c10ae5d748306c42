// The parts of the settings file that do not depend on the platform: the number grammar, the
// value format and the section names.
#include <charconv>
#include <limits>
#include <string>

#include "settings_file.h"

namespace korvex::settings {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double ParseStoredNumber(const char* text) {
    const char* p = text;
    while (IsBlank(*p)) ++p;
    // Rebuild the number in from_chars' grammar: the d/D exponent becomes e.
    std::string number;
    if (*p == '+' || *p == '-') number += *p++;
    bool anyDigit = false;
    for (; IsDigit(*p); ++p, anyDigit = true) number += *p;
    if (*p == '.') {
        number += *p++;
        for (; IsDigit(*p); ++p, anyDigit = true) number += *p;
    }
    if (!anyDigit) return 0.0;
    if (*p == 'e' || *p == 'E' || *p == 'd' || *p == 'D') {
        const char* q = p + 1;
        std::string exponent = "e";
        if (*q == '+' || *q == '-') exponent += *q++;
        if (IsDigit(*q)) {
            for (; IsDigit(*q); ++q) exponent += *q;
            number += exponent;
        }
    }
    const bool negative = number.front() == '-';
    const char* first = number.data() + ((number.front() == '+' || negative) ? 1 : 0);
    double value = 0.0;
    auto [end, error] = std::from_chars(first, number.data() + number.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Too large gives an infinity, too small zero, as the C library's conversion does.
        const bool tiny = number.find("e-") != std::string::npos;
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

double RatioFromText(const char* text) {
    const double ratio = ParseStoredNumber(text != nullptr ? text : kDefaultText);
    return ratio == 0.0 ? 1.0 : ratio;
}

std::string FormatStoredRatio(double ratio) {
    char text[400];  // fixed notation of the largest double needs 309 digits before the point
    auto [end, error] = std::to_chars(text, text + sizeof text, ratio, std::chars_format::fixed, 6);
    if (error != std::errc()) return "0.000000";
    return std::string(text, end);
}

std::string SectionName(int32_t slotIndex) { return "Video Parameter" + std::to_string(slotIndex); }

const char* OutcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::kRead: return "read";
        case Outcome::kAbsent: return "absent";
        case Outcome::kRefused: return "refused";
        case Outcome::kWritten: return "written";
        case Outcome::kUnchanged: return "unchanged";
        case Outcome::kFailed: return "failed";
    }
    return "failed";
}

}  // namespace korvex::settings
