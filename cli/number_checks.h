// Checks for number options, in the tool's words: "'x' is not a whole number", "'300' is not
// within 0..255". A plain range check lets NaN through (every comparison with it is false), so
// the decimal check refuses anything that is not a finite number first.
#pragma once

#include <CLI/CLI.hpp>

namespace korvex::cli {

// A validator for a finite decimal number within lowest..highest.
CLI::Validator FiniteIn(double lowest, double highest);

// A validator for a whole number within lowest..highest.
CLI::Validator WholeIn(long lowest, long highest);

}  // namespace korvex::cli
