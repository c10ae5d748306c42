#include "colour/colour_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace korvex {
namespace {

struct TableCase {
    double ratio;
    int entry;
    int expected;
};

TEST(ColourTables, EntriesFollowTruncationSaturationAndWrap) {
    const TableCase cases[] = {
        {1.0, 0, 0},     {1.0, 200, 200},   {1.0, 255, 255},  // identity
        {0.0, 0, 0},     {0.0, 255, 0},                       // all zero
        {2.0, 127, 254}, {2.0, 128, 255},                     // saturates at 255
        {1.5, 169, 253}, {1.5, 170, 255},                     // 253.5 truncated; 255 from 255 up
        {0.999, 1, 0},   {0.999, 255, 254},                   // truncation, not rounding
        {0.57, 100, 56},                                      // 100 x 0.57 lies just below 57
        {-1.0, 0, 0},    {-1.0, 1, 255},    {-1.0, 2, 254},   // negative ratios wrap modulo 256
    };
    for (const TableCase& c : cases) {
        uint8_t table[256];
        BuildColourTable(c.ratio, table);
        EXPECT_EQ(table[c.entry], c.expected) << "ratio " << c.ratio << " entry " << c.entry;
    }
}

TEST(ColourTables, RatiosBeyondThirtyTwoBitsGiveDefinedTables) {
    const double inf = std::numeric_limits<double>::infinity();
    uint8_t table[256];

    BuildColourTable(1.0e7, table);  // products from 1e7 to 2.55e9 cross 2^31
    EXPECT_EQ(table[0], 0);
    for (int i = 1; i < 256; ++i) ASSERT_EQ(table[i], 255) << i;

    BuildColourTable(inf, table);
    EXPECT_EQ(table[0], 0);  // 0 x inf is NaN
    EXPECT_EQ(table[1], 255);

    BuildColourTable(-1.0e10, table);
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[255], 0);

    BuildColourTable(std::nan(""), table);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(table[i], 0) << i;
}

}  // namespace
}  // namespace korvex
