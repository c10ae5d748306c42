// Checks for decimal options. A plain range check lets NaN through (every comparison with it is
// false), so these refuse anything that is not a finite number first.
#pragma once

#include <CLI/CLI.hpp>

namespace korvex::cli {

// A validator for a finite decimal number within lowest..highest.
CLI::Validator FiniteIn(double lowest, double highest);

}  // namespace korvex::cli
