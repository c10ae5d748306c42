#include "number_checks.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace korvex::cli {
namespace {

std::string Shortest(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

CLI::Validator FiniteIn(double lowest, double highest) {
    const std::string range = Shortest(lowest) + ".." + Shortest(highest);
    return CLI::Validator(
        [lowest, highest, range](const std::string& text) {
            char* end = nullptr;
            const double value = std::strtod(text.c_str(), &end);
            if (end == text.c_str() || *end != '\0' || !std::isfinite(value))
                return "'" + text + "' is not a finite number";
            if (value < lowest || value > highest) return "'" + text + "' is not within " + range;
            return std::string();
        },
        "NUMBER in " + range);
}

CLI::Validator WholeIn(long lowest, long highest) {
    const std::string range = std::to_string(lowest) + ".." + std::to_string(highest);
    return CLI::Validator(
        [lowest, highest, range](const std::string& text) {
            char* end = nullptr;
            errno = 0;
            const long value = std::strtol(text.c_str(), &end, 10);
            if (end == text.c_str() || *end != '\0' || errno == ERANGE)
                return "'" + text + "' is not a whole number in " + range;
            if (value < lowest || value > highest) return "'" + text + "' is not within " + range;
            return std::string();
        },
        range);
}

}  // namespace korvex::cli
