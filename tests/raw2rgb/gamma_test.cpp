// SetGammaLut: the curve, its fixed endpoints, and the table for gammas that are not usable.
#include "Raw2Rgb.h"
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

using Lut = std::array<std::uint8_t, 256>;

Lut GammaTable(double gamma) {
    Lut lut{};
    lut.fill(0x5A);
    EXPECT_EQ(1, SetGammaLut(lut.data(), gamma));
    return lut;
}

bool IsIdentity(const Lut& lut) {
    for (int i = 0; i < 256; ++i)
        if (lut[i] != i) return false;
    return true;
}

TEST(SetGammaLut, OneIsTheIdentity) { EXPECT_TRUE(IsIdentity(GammaTable(1.0))); }

TEST(SetGammaLut, CurveValuesEndpointsAndOrder) {
    const Lut two = GammaTable(2.0);
    EXPECT_EQ(128, two[64]);  // 255 * sqrt(64 / 255) = 127.75
    EXPECT_EQ(16, two[1]);    // 255 * sqrt(1 / 255) = 15.97
    const Lut half = GammaTable(0.5);
    EXPECT_EQ(16, half[64]);  // 255 * (64 / 255)^2 = 16.06
    EXPECT_EQ(0, half[7]);    // 0.19 rounds to 0
    for (double gamma : {0.1, 0.5, 2.0, 10.0, 1e6}) {
        const Lut lut = GammaTable(gamma);
        EXPECT_EQ(0, lut[0]) << gamma;
        EXPECT_EQ(255, lut[255]) << gamma;
        for (int i = 1; i < 256; ++i) ASSERT_LE(lut[i - 1], lut[i]) << "gamma " << gamma << " entry " << i;
    }
}

// Gamma 0.0 is what the adapter passes for host values 1..9; it and every other value that is
// not a finite number above zero fill the identity table.
TEST(SetGammaLut, UnusableGammaGivesIdentity) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double gamma : {0.0, -0.0, -1.0, -2.5, nan, inf, -inf}) EXPECT_TRUE(IsIdentity(GammaTable(gamma))) << gamma;
}

TEST(SetGammaLut, NullTableIsRefused) { EXPECT_EQ(0, SetGammaLut(nullptr, 2.0)); }

}  // namespace
