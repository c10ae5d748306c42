// The cross-hair through the exported interface: switch, parameters and drawn examples.
#include <set>
#include <utility>

#include "capture_support.h"

namespace korvex::test {
namespace {

constexpr int16_t kMono = 2;

class CrossTest : public AcquisitionTest {
protected:
    void SetUp() override {
        AcquisitionTest::SetUp();
        OpenAndAllocate(2);
        ZqSetTimeout(0);
    }
    // The red pixels of a mono export with the cross on, as (row, column) pairs. The idle
    // camera's frame is all 128, so red can only be the cross.
    std::set<std::pair<int, int>> RedPixels(int16_t w, int16_t h) {
        Destination out(static_cast<std::size_t>(w) * h * 4);
        EXPECT_EQ(ZqExportImageData(kMono, out.data(), w, h, 0, 1), 1);
        EXPECT_TRUE(out.GuardsIntact());
        std::set<std::pair<int, int>> red;
        for (int i = 0; i < h; ++i) {
            for (int j = 0; j < w; ++j) {
                const std::size_t p = 4 * (static_cast<std::size_t>(i) * w + j);
                if (out[p] == 0 && out[p + 1] == 0 && out[p + 2] == 255 && out[p + 3] == 0) {
                    red.insert({i, j});
                } else {
                    EXPECT_TRUE(out[p] == 128 && out[p + 1] == 128 && out[p + 2] == 128 && out[p + 3] == 0);
                }
            }
        }
        return red;
    }
    static std::set<std::pair<int, int>> Block(int rowFirst, int rowLast, int colFirst, int colLast) {
        std::set<std::pair<int, int>> block;
        for (int i = rowFirst; i <= rowLast; ++i) {
            for (int j = colFirst; j <= colLast; ++j) block.insert({i, j});
        }
        return block;
    }
};

TEST_F(CrossTest, SwitchResultsAndParameterStore) {
    EXPECT_EQ(ZqEnableCross(0, 1), 0);
    EXPECT_EQ(ZqEnableCross(0, 2), 0);  // no change: still on
    EXPECT_EQ(ZqSetCrossPara(-5, 1, 0, 3, 2, 1), 1);
    EXPECT_EQ(RedPixels(4, 2), (std::set<std::pair<int, int>>{{0, 2}, {1, 1}, {1, 2}, {1, 3}}));
    EXPECT_EQ(ZqEnableCross(7, 0), 1);
    EXPECT_EQ(ZqEnableCross(0, -1), 0);  // no change: still off
    Destination grey(8);
    EXPECT_EQ(ZqExportImageData(kMono, grey.data(), 4, 2, 0, 1), 1);
    EXPECT_TRUE(grey.GuardsIntact());  // one byte a pixel again
    EXPECT_TRUE(TakeCalls().empty());
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(CrossTest, SettingsNeedNoOpenCamera) {
    ASSERT_EQ(ZqCloseDevice(), 1);
    EXPECT_EQ(ZqSetCrossPara(3, 100, 50, 41, 21, 3), 1);
    EXPECT_EQ(ZqEnableCross(3, 1), 0);
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(CrossTest, WorkedExampleCentredAtRow60Column120) {
    ZqEnableCross(0, 1);
    ZqSetCrossPara(0, 100, 50, 41, 21, 3);
    std::set<std::pair<int, int>> expected = Block(59, 61, 100, 140);
    for (auto part : {Block(50, 58, 119, 121), Block(62, 70, 119, 121)}) expected.insert(part.begin(), part.end());
    EXPECT_EQ(RedPixels(160, 80), expected);
    // Clipped by a frame that ends inside the box.
    std::set<std::pair<int, int>> clipped;
    for (auto pixel : expected) {
        if (pixel.first < 60 && pixel.second < 120) clipped.insert(pixel);
    }
    EXPECT_EQ(RedPixels(120, 60), clipped);
}

TEST_F(CrossTest, ThicknessBeyondWidthIsCutToTheBoxInTheBand) {
    ZqEnableCross(0, 1);
    ZqSetCrossPara(0, 3, 1, 2, 6, 5);
    std::set<std::pair<int, int>> expected = Block(2, 6, 3, 4);
    for (auto part : {Block(1, 1, 2, 6)}) expected.insert(part.begin(), part.end());
    EXPECT_EQ(RedPixels(10, 9), expected);
}

TEST_F(CrossTest, EvenThicknessAndDegenerateBoxes) {
    ZqEnableCross(0, 1);
    ZqSetCrossPara(0, 0, 0, 6, 20, 4);  // band rows 8..11 around the centre row 10
    std::set<std::pair<int, int>> expected = Block(8, 11, 0, 5);
    for (auto part : {Block(0, 7, 1, 4), Block(12, 19, 1, 4)}) expected.insert(part.begin(), part.end());
    EXPECT_EQ(RedPixels(8, 24), expected);

    ZqSetCrossPara(0, 2, 2, 0, 6, 1);  // no horizontal bar: vertical bar with a gap at row 5
    expected = Block(2, 4, 2, 2);
    expected.insert({6, 2});
    expected.insert({7, 2});
    EXPECT_EQ(RedPixels(8, 10), expected);

    for (int16_t thickness : std::initializer_list<int16_t>{0, -1, -4}) {
        ZqSetCrossPara(0, 1, 1, 5, 5, thickness);
        EXPECT_TRUE(RedPixels(8, 8).empty()) << thickness;
    }
    ZqSetCrossPara(0, -40, -40, 10, 10, 3);  // wholly outside
    EXPECT_TRUE(RedPixels(8, 8).empty());
}

TEST_F(CrossTest, ExtremeValuesDrawWithoutOverflow) {
    ZqEnableCross(0, 1);
    ZqSetCrossPara(0, 32767, 32767, 32767, 32767, 32767);
    EXPECT_TRUE(RedPixels(8, 8).empty());
    ZqSetCrossPara(0, -32768, -32768, 32767, 32767, 32767);
    // Band rows -16384 - 0 .. -32768+16383-16383+32766: rows 0..2 of 3; columns [-32768, -1): none.
    // Bar columns the same span as the band rows; bar rows [-32768, -1): none.
    EXPECT_TRUE(RedPixels(3, 3).empty());
    ZqSetCrossPara(0, -32768, -32768, -32768, -32768, 32767);
    EXPECT_TRUE(RedPixels(3, 3).empty());
}

}  // namespace
}  // namespace korvex::test
