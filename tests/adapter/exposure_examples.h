// Known exposure settings and the row counts the camera must receive for them, shared by the
// computation's own tests and the tests through ZqSetShutter.
#pragma once

#include <cstdint>

namespace korvex::test {

// Type codes that stand for each row-counting family.
inline constexpr int32_t kDefaultRowsCode = 0;  // HV1300UC
inline constexpr int32_t kHv2RowsCode = 1;      // HV2000UC
inline constexpr int32_t kHv3RowsCode = 4;      // HV3000UC

struct ExposureExample {
    int32_t typeCode;
    int16_t unit;
    int16_t value;
    int32_t width;
    int32_t resolutionMode;
    uint32_t rows;
};

inline constexpr ExposureExample kExposureExamples[] = {
    {kDefaultRowsCode, 1, 10, 1280, 0, 157},  // 157.598 truncated, not rounded
    {kDefaultRowsCode, 0, 1, 1280, 0, 1},     // 0.133 -> 0, raised to 1
    {kDefaultRowsCode, 2, 1, 1280, 0, 15748},
    {kDefaultRowsCode, 2, 2, 1280, 0, 16383},   // 31496 clamps to the limit
    {kDefaultRowsCode, 1, -1, 1280, 0, 16383},  // -15 reads as above the limit
    {kDefaultRowsCode, 0, -10, 1280, 0, 1},     // -0.039 truncates to 0
    {kDefaultRowsCode, 0, 0, 1280, 0, 1},       // a zero time
    {kHv2RowsCode, 1, 10, 1600, 0, 124},        // 123.666 rounds up
    {kHv2RowsCode, 1, 10, 200, 0, 390},         // row length floored at 617
    {kHv2RowsCode, 0, 32, 274, 0, 2},           // exactly 2.5 rounds down
    {kHv2RowsCode, 2, 1, 1600, 0, 12258},       // 12258.497 stays
    {kHv2RowsCode, 0, 0, 1600, 0, 1},           // 1.09
    {kHv3RowsCode, 1, 10, 2048, 0, 94},
    {kHv3RowsCode, 1, 10, 2048, 2, 94},  // mode 2 shares mode 0's timing
    {kHv3RowsCode, 1, 10, 1024, 1, 129},
    {kHv3RowsCode, 1, 10, 100, 0, 371},      // row length floored at 647
    {kHv3RowsCode, 1, 10, 400, 1, 184},      // row length floored at 1305
    {kHv3RowsCode, 0, 90, 163, 0, 3},        // exactly 3.5 rounds down
    {kHv3RowsCode, 2, 30, 100, 0, 1048575},  // 1112828 clamps to the limit
    // Clock counts beyond 32 bits are exact: 179 s would wrap to a small positive count.
    {kDefaultRowsCode, 2, 90, 1280, 0, 16383},
    {kDefaultRowsCode, 2, 100, 1280, 0, 16383},
    {kDefaultRowsCode, 2, 179, 1280, 0, 16383},
    {kDefaultRowsCode, 2, -179, 1280, 0, 16383},
    {kHv3RowsCode, 2, 179, 2048, 0, 1048575},
    {kHv3RowsCode, 2, 32767, 100, 0, 1048575},
};

}  // namespace korvex::test
