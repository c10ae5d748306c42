// The fast pixel kernels against their scalar versions, at every length around the vector
// step and at unaligned addresses, with guard bytes after the output.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "acquisition/pixel_rows.h"

namespace korvex::pixels {
namespace {

constexpr std::size_t kGuard = 32;
constexpr uint8_t kFill = 0xC3;

using Kernel = void (*)(const uint8_t*, uint8_t*, std::size_t);

void ExpectSameAsScalar(Kernel fast, Kernel scalar, std::size_t sourceBytesPerPixel) {
    std::mt19937 random(7);
    for (std::size_t count = 0; count < 100; ++count) {
        for (std::size_t offset = 0; offset < 3; ++offset) {
            std::vector<uint8_t> source(offset + count * sourceBytesPerPixel + 1);
            for (uint8_t& b : source) b = static_cast<uint8_t>(random());
            std::vector<uint8_t> expected(offset + 4 * count + kGuard, kFill);
            std::vector<uint8_t> actual(expected);
            scalar(source.data() + offset, expected.data() + offset, count);
            fast(source.data() + offset, actual.data() + offset, count);
            ASSERT_EQ(actual, expected) << "count " << count << " offset " << offset;
        }
    }
}

TEST(PixelRows, FastExpansionMatchesScalar) { ExpectSameAsScalar(ExpandBgr, ExpandBgrScalar, 3); }

// The streaming form at every place of the destination within a 32-byte line (and off 4-byte
// boundaries, where it keeps plain stores), around the aligned head and the 32-pixel step.
TEST(PixelRows, StreamingExpansionMatchesScalar) {
    std::mt19937 random(11);
    for (std::size_t count : {0, 1, 7, 31, 32, 33, 38, 39, 40, 63, 64, 65, 71, 72, 73, 100, 129}) {
        std::vector<uint8_t> source(3 * count + 1);
        for (uint8_t& b : source) b = static_cast<uint8_t>(random());
        for (std::size_t offset = 0; offset < 48; ++offset) {
            std::vector<uint8_t> expected(offset + 4 * count + kGuard, kFill);
            std::vector<uint8_t> actual(expected);
            ExpandBgrScalar(source.data(), expected.data() + offset, count);
            ExpandBgrStreaming(source.data(), actual.data() + offset, count);
            ASSERT_EQ(actual, expected) << "count " << count << " offset " << offset;
        }
    }
}

// A frame large enough for ExpandBgr to stream, ending off the 32-pixel step.
TEST(PixelRows, LargeFrameExpansionMatchesScalar) {
    const std::size_t count = kStreamingPixels + 37;
    std::vector<uint8_t> source(3 * count);
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i * 7 + i / 4099);
    std::vector<uint8_t> expected(4 + 4 * count + kGuard, kFill);
    std::vector<uint8_t> actual(expected);
    ExpandBgrScalar(source.data(), expected.data() + 4, count);
    ExpandBgr(source.data(), actual.data() + 4, count);
    ASSERT_TRUE(actual == expected);
}

TEST(PixelRows, FastGreyMatchesScalar) { ExpectSameAsScalar(GreyToBgra, GreyToBgraScalar, 1); }

TEST(PixelRows, ScalarVersionsWriteTheFormats) {
    const uint8_t bgr[6] = {1, 2, 3, 4, 5, 6};
    uint8_t out[12] = {};
    ExpandBgrScalar(bgr, out, 2);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 8), (std::vector<uint8_t>{1, 2, 3, 0, 4, 5, 6, 0}));
    GreyToBgraScalar(bgr, out, 2);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 8), (std::vector<uint8_t>{1, 1, 1, 0, 2, 2, 2, 0}));
    FillRed(out, 3);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 12), (std::vector<uint8_t>{0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0}));
}

}  // namespace
}  // namespace korvex::pixels
