// Percentiles of export times for the stream command.
#pragma once

#include <vector>

namespace korvex::cli {

// The p-th percentile (0..100, nearest rank) of the samples; 0 when there are none.
double Percentile(std::vector<double> samples, double p);

}  // namespace korvex::cli
