#include "latency_stats.h"

#include <algorithm>
#include <cmath>

namespace korvex::cli {

double Percentile(std::vector<double> samples, double p) {
    if (samples.empty()) return 0.0;
    const double rank = std::ceil(p / 100.0 * static_cast<double>(samples.size()));
    const auto index = static_cast<std::size_t>(std::clamp(rank, 1.0, static_cast<double>(samples.size()))) - 1;
    std::nth_element(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(index), samples.end());
    return samples[index];
}

}  // namespace korvex::cli
