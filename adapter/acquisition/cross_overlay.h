// The cross-hair: one overlay for all cameras, a horizontal and a vertical bar of one common
// thickness crossing at the middle of a bounding box.
//
// Rule for the pixel in row i, column j (halves truncate toward zero, so half of -3 is -1):
//   top  = y + height/2 - thickness/2;   band rows top .. top + thickness - 1
//   left = x + width/2 - thickness/2;    bar columns left .. left + thickness - 1
//   in a band row:  red exactly when x <= j < x + width (the vertical bar is not consulted)
//   elsewhere:      red exactly when y <= i < y + height and j is a bar column
#pragma once

#include <cstdint>

namespace korvex {

struct CrossParams {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    int32_t thickness;
};

// Whether ZqEnableCross turned the overlay on; read once per export.
bool CrossEnabled();

// The overlay's current box and thickness (the enabled flag is read apart, once per export).
CrossParams CurrentCrossParams();

// The rule above, one pixel at a time: the reference that CrossSpans must reproduce.
bool IsCrossPixel(const CrossParams& cross, int32_t i, int32_t j);

// The cross of one frame as half-open row and column ranges, clipped to the frame; an empty
// range has begin == end. Rows of the band take the band columns; other rows of the bar take
// the bar columns.
struct CrossSpans {
    int32_t bandRowBegin, bandRowEnd;
    int32_t bandColumnBegin, bandColumnEnd;
    int32_t barRowBegin, barRowEnd;
    int32_t barColumnBegin, barColumnEnd;

    // The red columns [begin, end) of row i.
    void ColumnsOfRow(int32_t i, int32_t& begin, int32_t& end) const {
        if (i >= bandRowBegin && i < bandRowEnd) {
            begin = bandColumnBegin;
            end = bandColumnEnd;
        } else if (i >= barRowBegin && i < barRowEnd) {
            begin = barColumnBegin;
            end = barColumnEnd;
        } else {
            begin = end = 0;
        }
    }
};

CrossSpans ClipCross(const CrossParams& cross, int32_t frameWidth, int32_t frameHeight);

int16_t EnableCross(int16_t flag);
int16_t SetCrossPara(int16_t x, int16_t y, int16_t width, int16_t height, int16_t thickness);

}  // namespace korvex
