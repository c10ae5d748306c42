// Draws a histogram: one line per channel in its colour, and the share of clipped pixels.
#pragma once

#include "histogram.h"

namespace korvex::viewer {

void DrawHistogram(const Histogram& histogram);

}  // namespace korvex::viewer
