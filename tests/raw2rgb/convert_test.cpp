// ConvertBayer2Rgb against the naive reference, byte for byte, on every layout and many sizes,
// with guards proving that nothing outside the source is read and nothing past the destination
// is written.
#include "Raw2Rgb.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#if defined(__unix__)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "reference_demosaic.h"

namespace {

using raw2rgb_test::ReferenceDemosaic;
using Lut = std::array<std::uint8_t, 256>;

constexpr std::uint8_t kGuard = 0xA5;
constexpr std::size_t kGuardBytes = 64;

Lut RandomLut(std::mt19937& rng) {
    Lut lut{};
    std::uniform_int_distribution<int> byte(0, 255);
    for (auto& entry : lut) entry = static_cast<std::uint8_t>(byte(rng));
    return lut;
}

// Source bytes placed against an inaccessible page, either right after the data (reads past the
// end fault) or right before it (reads before the start fault). Plain memory where pages cannot
// be protected; ASan covers that case.
class GuardedSource {
public:
    enum class Fence { After, Before };

    GuardedSource(const std::vector<std::uint8_t>& bytes, Fence fence) {
#if defined(__unix__)
        page_ = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        const std::size_t dataPages = (bytes.size() + page_ - 1) / page_;
        length_ = (dataPages + 2) * page_;
        void* base = mmap(nullptr, length_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (base == MAP_FAILED) throw std::runtime_error("mmap failed");
        base_ = static_cast<std::uint8_t*>(base);
        mprotect(base_, page_, PROT_NONE);
        mprotect(base_ + (dataPages + 1) * page_, page_, PROT_NONE);
        std::uint8_t* first = base_ + page_;
        data_ = fence == Fence::Before ? first : first + dataPages * page_ - bytes.size();
#else
        (void)fence;
        storage_ = bytes;
        data_ = storage_.data();
#endif
        std::copy(bytes.begin(), bytes.end(), data_);
    }
    GuardedSource(const GuardedSource&) = delete;
    GuardedSource& operator=(const GuardedSource&) = delete;
    ~GuardedSource() {
#if defined(__unix__)
        munmap(base_, length_);
#endif
    }

    [[nodiscard]] const std::uint8_t* data() const { return data_; }

private:
    std::uint8_t* data_ = nullptr;
#if defined(__unix__)
    std::uint8_t* base_ = nullptr;
    std::size_t page_ = 0;
    std::size_t length_ = 0;
#else
    std::vector<std::uint8_t> storage_;
#endif
};

struct Size {
    int width;
    int height;
};

// Tiny images (every site a border), widths around the 16- and 32-pixel blocks of the fast
// kernels and around their pixel pairs, and a camera-sized frame.
const Size kSizes[] = {{1, 1},  {1, 2},    {2, 1},  {2, 2},  {3, 3},  {5, 7},  {1, 9},  {9, 1},   {2, 6},    {6, 2},
                       {3, 17}, {17, 3},   {18, 4}, {19, 5}, {20, 3}, {33, 9}, {34, 6}, {35, 35}, {36, 4},   {49, 11},
                       {64, 8}, {101, 13}, {31, 4}, {32, 5}, {63, 4}, {65, 5}, {95, 3}, {97, 6},  {640, 480}};

std::string SizeName(const testing::TestParamInfo<std::tuple<Size, int>>& info) {
    const auto& [size, layout] = info.param;
    return std::to_string(size.width) + "x" + std::to_string(size.height) + "_layout" + std::to_string(layout);
}

class ConvertMatchesReference : public testing::TestWithParam<std::tuple<Size, int>> {};

TEST_P(ConvertMatchesReference, ByteForByteWithGuards) {
    const auto& [size, layout] = GetParam();
    std::mt19937 rng(static_cast<unsigned>(size.width * 7919 + size.height * 31 + layout));
    const Lut lutR = RandomLut(rng);
    const Lut lutG = RandomLut(rng);
    const Lut lutB = RandomLut(rng);
    const std::size_t n = static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height);
    std::vector<std::uint8_t> mosaic(n);
    std::uniform_int_distribution<int> byte(0, 255);
    for (auto& v : mosaic) v = static_cast<std::uint8_t>(byte(rng));

    const auto expected =
        ReferenceDemosaic(mosaic.data(), size.width, size.height, layout, lutR.data(), lutG.data(), lutB.data());
    for (auto fence : {GuardedSource::Fence::After, GuardedSource::Fence::Before}) {
        const GuardedSource source(mosaic, fence);
        std::vector<std::uint8_t> out(n * 3 + kGuardBytes, kGuard);
        ASSERT_EQ(1, ConvertBayer2Rgb(out.data(), source.data(), size.width, size.height, 1, lutR.data(), lutG.data(),
                                      lutB.data(), 0, layout));
        for (std::size_t i = 0; i < n * 3; ++i) {
            ASSERT_EQ(expected[i], out[i])
                << "pixel " << (i / 3) % size.width << "," << (i / 3) / size.width << " channel "
                << "BGR"[i % 3];
        }
        for (std::size_t i = n * 3; i < out.size(); ++i) ASSERT_EQ(kGuard, out[i]) << "written past the end";
    }
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, ConvertMatchesReference,
                         testing::Combine(testing::ValuesIn(kSizes), testing::Values(1, 2, 3, 4)), SizeName);

// Constant tables tag each output byte, so a channel written through the wrong table shows.
TEST(ConvertBayer2Rgb, ChannelsGoThroughTheirOwnTables) {
    Lut lutR{};
    Lut lutG{};
    Lut lutB{};
    lutR.fill(200);
    lutG.fill(100);
    lutB.fill(50);
    const std::vector<std::uint8_t> mosaic(40 * 6, 77);
    for (int layout = 1; layout <= 4; ++layout) {
        std::vector<std::uint8_t> out(mosaic.size() * 3);
        ASSERT_EQ(
            1, ConvertBayer2Rgb(out.data(), mosaic.data(), 40, 6, 1, lutR.data(), lutG.data(), lutB.data(), 0, layout));
        for (std::size_t i = 0; i < out.size(); i += 3) {
            ASSERT_EQ(50, out[i]);
            ASSERT_EQ(100, out[i + 1]);
            ASSERT_EQ(200, out[i + 2]);
        }
    }
}

// Known values on a 4 x 4 R G / G B mosaic with identity tables: the interior red site (2, 2)
// and green site (1, 2), and the corner blue site (3, 3).
TEST(ConvertBayer2Rgb, KnownInteriorAndCornerValues) {
    Lut identity{};
    std::iota(identity.begin(), identity.end(), std::uint8_t{0});
    // clang-format off
    const std::uint8_t mosaic[16] = {
        10,  20,  30,  40,   // R G R G
        50,  60,  70,  80,   // G B G B
        90, 100, 110, 120,   // R G R G
       130, 140, 150, 161};  // G B G B
    // clang-format on
    std::uint8_t out[48];
    ASSERT_EQ(1, ConvertBayer2Rgb(out, mosaic, 4, 4, 1, identity.data(), identity.data(), identity.data(), 0, 4));
    auto pixel = [&](int x, int y) {
        return std::array<int, 3>{out[(y * 4 + x) * 3], out[(y * 4 + x) * 3 + 1], out[(y * 4 + x) * 3 + 2]};
    };
    // (2, 2) red 110: green (70 + 150 + 100 + 120 + 2) / 4 = 110, blue (60 + 80 + 140 + 161 + 2) / 4 = 110.
    EXPECT_EQ((std::array<int, 3>{110, 110, 110}), pixel(2, 2));
    // (1, 2) green 100 on a red row: red (90 + 110 + 1) / 2 = 100, blue (60 + 140 + 1) / 2 = 100.
    EXPECT_EQ((std::array<int, 3>{100, 100, 100}), pixel(1, 2));
    // (3, 3) blue 161: green from (3, 2) and (2, 3): (120 + 150 + 1) / 2 = 135; red from (2, 2) = 110.
    EXPECT_EQ((std::array<int, 3>{161, 135, 110}), pixel(3, 3));
}

TEST(ConvertBayer2Rgb, NonZeroFlipWritesRowsBottomUp) {
    std::mt19937 rng(5);
    const Lut lutR = RandomLut(rng);
    const Lut lutG = RandomLut(rng);
    const Lut lutB = RandomLut(rng);
    const int w = 37;
    const int h = 9;
    std::vector<std::uint8_t> mosaic(w * h);
    for (auto& v : mosaic) v = static_cast<std::uint8_t>(rng());
    std::vector<std::uint8_t> upright(w * h * 3);
    std::vector<std::uint8_t> flipped(w * h * 3 + kGuardBytes, kGuard);
    ASSERT_EQ(1, ConvertBayer2Rgb(upright.data(), mosaic.data(), w, h, 1, lutR.data(), lutG.data(), lutB.data(), 0, 3));
    ASSERT_EQ(1, ConvertBayer2Rgb(flipped.data(), mosaic.data(), w, h, 1, lutR.data(), lutG.data(), lutB.data(), 1, 3));
    const std::size_t row = w * 3;
    for (int y = 0; y < h; ++y)
        EXPECT_EQ(0, std::memcmp(upright.data() + y * row, flipped.data() + (h - 1 - y) * row, row)) << "row " << y;
    EXPECT_TRUE(std::all_of(flipped.begin() + w * h * 3, flipped.end(), [](std::uint8_t b) { return b == kGuard; }));
}

TEST(ConvertBayer2Rgb, MethodIsNotExamined) {
    std::mt19937 rng(9);
    const Lut lut = RandomLut(rng);
    std::vector<std::uint8_t> mosaic(21 * 5);
    for (auto& v : mosaic) v = static_cast<std::uint8_t>(rng());
    std::vector<std::uint8_t> first(mosaic.size() * 3);
    std::vector<std::uint8_t> other(mosaic.size() * 3);
    ASSERT_EQ(1, ConvertBayer2Rgb(first.data(), mosaic.data(), 21, 5, 1, lut.data(), lut.data(), lut.data(), 0, 2));
    ASSERT_EQ(1, ConvertBayer2Rgb(other.data(), mosaic.data(), 21, 5, 0, lut.data(), lut.data(), lut.data(), 0, 2));
    EXPECT_EQ(first, other);
}

// Refused calls return 0 and leave the destination as it was. Layout codes outside 1..4 are
// refused (single grabs pass the host's code through unchanged), as are null pointers and sizes
// of 0 or less.
TEST(ConvertBayer2Rgb, RefusedCallsWriteNothing) {
    Lut lut{};
    std::iota(lut.begin(), lut.end(), std::uint8_t{0});
    const std::vector<std::uint8_t> mosaic(8 * 8, 100);
    std::vector<std::uint8_t> out(8 * 8 * 3, kGuard);
    const std::uint8_t* l = lut.data();
    const std::uint8_t* src = mosaic.data();
    std::uint8_t* dst = out.data();
    for (int layout : {0, 5, 7, -1, 255, 65536 + 1})
        EXPECT_EQ(0, ConvertBayer2Rgb(dst, src, 8, 8, 1, l, l, l, 0, layout)) << "layout " << layout;
    EXPECT_EQ(0, ConvertBayer2Rgb(nullptr, src, 8, 8, 1, l, l, l, 0, 1));
    EXPECT_EQ(0, ConvertBayer2Rgb(dst, nullptr, 8, 8, 1, l, l, l, 0, 1));
    EXPECT_EQ(0, ConvertBayer2Rgb(dst, src, 8, 8, 1, nullptr, l, l, 0, 1));
    EXPECT_EQ(0, ConvertBayer2Rgb(dst, src, 8, 8, 1, l, nullptr, l, 0, 1));
    EXPECT_EQ(0, ConvertBayer2Rgb(dst, src, 8, 8, 1, l, l, nullptr, 0, 1));
    for (auto [w, h] : {std::pair{0, 8}, std::pair{8, 0}, std::pair{-1, 8}, std::pair{8, -3}, std::pair{0, 0}})
        EXPECT_EQ(0, ConvertBayer2Rgb(dst, src, w, h, 1, l, l, l, 0, 1)) << w << "x" << h;
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](std::uint8_t b) { return b == kGuard; }));
}

}  // namespace
