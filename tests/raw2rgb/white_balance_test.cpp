// GetWhiteBalanceRatio: grey-world ratios on synthetic images with known answers.
#include "Raw2Rgb.h"
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

struct Bgr {
    std::uint8_t b, g, r;
};

std::vector<std::uint8_t> ImageOf(const std::vector<Bgr>& pixels) {
    std::vector<std::uint8_t> bytes;
    for (const auto& p : pixels) bytes.insert(bytes.end(), {p.b, p.g, p.r});
    return bytes;
}

struct Ratios {
    double r = -7.0, g = -7.0, b = -7.0;  // sentinel: "not written"
};

std::int32_t estimate(const std::vector<std::uint8_t>& bgr, int width, int height, Ratios& out) {
    return GetWhiteBalanceRatio(bgr.data(), width, height, &out.r, &out.g, &out.b);
}

TEST(GetWhiteBalanceRatio, CastImageGivesRatiosThatEqualiseTheMeans) {
    // Half the pixels (40, 100, 200), half (60, 100, 100): means B 50, G 100, R 150.
    std::vector<Bgr> pixels;
    for (int i = 0; i < 6; ++i) pixels.push_back(i % 2 ? Bgr{40, 100, 200} : Bgr{60, 100, 100});
    Ratios ratios;
    ASSERT_EQ(1, estimate(ImageOf(pixels), 3, 2, ratios));
    EXPECT_DOUBLE_EQ(100.0 / 150.0, ratios.r);
    EXPECT_DOUBLE_EQ(1.0, ratios.g);
    EXPECT_DOUBLE_EQ(2.0, ratios.b);
}

TEST(GetWhiteBalanceRatio, ClippedAndNearBlackPixelsAreIgnored) {
    std::vector<Bgr> pixels(100, Bgr{80, 120, 60});
    pixels[3] = {250, 10, 10};     // clipped blue
    pixels[17] = {10, 255, 10};    // clipped green
    pixels[50] = {100, 100, 251};  // clipped red
    pixels[60] = {9, 9, 9};        // near black
    pixels[61] = {0, 0, 0};
    Ratios ratios;
    ASSERT_EQ(1, estimate(ImageOf(pixels), 10, 10, ratios));
    EXPECT_DOUBLE_EQ(2.0, ratios.r);
    EXPECT_DOUBLE_EQ(1.0, ratios.g);
    EXPECT_DOUBLE_EQ(1.5, ratios.b);

    // Just inside the limits: one channel at 10 makes a dark pixel usable, 249 is not clipped.
    const std::vector<Bgr> edge = {{10, 0, 0}, {0, 249, 0}, {5, 5, 10}};
    ASSERT_EQ(1, estimate(ImageOf(edge), 3, 1, ratios));
    EXPECT_DOUBLE_EQ(254.0 / 10.0, ratios.r);
    EXPECT_DOUBLE_EQ(254.0 / 15.0, ratios.b);
}

TEST(GetWhiteBalanceRatio, LargeImageSumsDoNotOverflow) {
    // 4096 x 4096 pixels of 249 would overflow a 32-bit sum.
    const std::vector<std::uint8_t> bgr(4096u * 4096u * 3u, 249);
    Ratios ratios;
    ASSERT_EQ(1, estimate(bgr, 4096, 4096, ratios));
    EXPECT_DOUBLE_EQ(1.0, ratios.r);
    EXPECT_DOUBLE_EQ(1.0, ratios.b);
}

// Images with nothing to estimate from give the neutral ratios 1.0 and report 0; never inf or NaN.
TEST(GetWhiteBalanceRatio, DegenerateImagesGiveNeutralFiniteRatios) {
    const std::vector<std::vector<Bgr>> images = {
        std::vector<Bgr>(12, Bgr{0, 0, 0}),        // all black
        std::vector<Bgr>(12, Bgr{255, 255, 255}),  // all clipped
        std::vector<Bgr>(12, Bgr{0, 100, 100}),    // no blue at all
        std::vector<Bgr>(12, Bgr{100, 100, 0}),    // no red at all
        std::vector<Bgr>(12, Bgr{100, 0, 100}),    // no green at all
    };
    for (const auto& pixels : images) {
        Ratios ratios;
        EXPECT_EQ(0, estimate(ImageOf(pixels), 4, 3, ratios));
        EXPECT_EQ(1.0, ratios.r);
        EXPECT_EQ(1.0, ratios.g);
        EXPECT_EQ(1.0, ratios.b);
    }
}

// Invalid arguments return 0 and leave every output as it was.
TEST(GetWhiteBalanceRatio, InvalidArgumentsWriteNothing) {
    const auto bgr = ImageOf(std::vector<Bgr>(4, Bgr{50, 60, 70}));
    double r = -7.0, g = -7.0, b = -7.0;
    EXPECT_EQ(0, GetWhiteBalanceRatio(nullptr, 2, 2, &r, &g, &b));
    EXPECT_EQ(0, GetWhiteBalanceRatio(bgr.data(), 0, 2, &r, &g, &b));
    EXPECT_EQ(0, GetWhiteBalanceRatio(bgr.data(), 2, -1, &r, &g, &b));
    EXPECT_EQ(0, GetWhiteBalanceRatio(bgr.data(), 2, 2, nullptr, &g, &b));
    EXPECT_EQ(0, GetWhiteBalanceRatio(bgr.data(), 2, 2, &r, nullptr, &b));
    EXPECT_EQ(0, GetWhiteBalanceRatio(bgr.data(), 2, 2, &r, &g, nullptr));
    EXPECT_EQ(-7.0, r);
    EXPECT_EQ(-7.0, g);
    EXPECT_EQ(-7.0, b);
}

}  // namespace
