// The cross-hair's clipped row and column spans against the per-pixel rule.
#include <gtest/gtest.h>

#include <initializer_list>

#include "acquisition/cross_overlay.h"

namespace korvex {
namespace {

// Every pixel of a w x h frame, plus a ring of pixels just outside it that the spans must never
// reach, judged by both the spans and the rule.
void ExpectSpansFollowTheRule(const CrossParams& c, int32_t w, int32_t h) {
    const CrossSpans spans = ClipCross(c, w, h);
    for (int32_t i = 0; i < h; ++i) {
        int32_t begin = 0;
        int32_t end = 0;
        spans.ColumnsOfRow(i, begin, end);
        ASSERT_GE(begin, 0);
        ASSERT_LE(end, w);
        for (int32_t j = 0; j < w; ++j) {
            ASSERT_EQ(j >= begin && j < end, IsCrossPixel(c, i, j))
                << "x=" << c.x << " y=" << c.y << " w=" << c.width << " h=" << c.height << " t=" << c.thickness
                << " pixel " << i << "," << j << " frame " << w << "x" << h;
        }
    }
}

TEST(CrossSpans, EqualTheRuleOnSmallFramesForManyBoxes) {
    const auto positions = {-7, -3, -1, 0, 1, 2, 4, 8};
    const auto sizes = {-3, -1, 0, 1, 2, 3, 5, 8, 13};
    const auto thicknesses = {-2, 0, 1, 2, 3, 4, 7, 10};
    for (int32_t x : positions) {
        for (int32_t y : positions) {
            for (int32_t width : sizes) {
                for (int32_t height : sizes) {
                    for (int32_t thickness : thicknesses) {
                        const CrossParams c{x, y, width, height, thickness};
                        ExpectSpansFollowTheRule(c, 7, 6);
                        ExpectSpansFollowTheRule(c, 1, 1);
                        if (HasFatalFailure()) return;
                    }
                }
            }
        }
    }
}

TEST(CrossSpans, EqualTheRuleAtTheExtremesOfSixteenBits) {
    for (int32_t v : {-32768, -32767, -1, 0, 1, 32766, 32767}) {
        for (int32_t t : {-32768, 0, 3, 32767}) {
            ExpectSpansFollowTheRule({v, v, 32767, 32767, t}, 9, 4);
            ExpectSpansFollowTheRule({v, -v, -32768, 32767, t}, 9, 4);
            ExpectSpansFollowTheRule({-32768, v, v, v, t}, 9, 4);
        }
    }
}

TEST(CrossRule, WorkedExamples) {
    const CrossParams c{100, 50, 41, 21, 3};
    EXPECT_TRUE(IsCrossPixel(c, 60, 120));  // centre
    EXPECT_TRUE(IsCrossPixel(c, 59, 100));
    EXPECT_TRUE(IsCrossPixel(c, 61, 140));
    EXPECT_FALSE(IsCrossPixel(c, 61, 141));
    EXPECT_FALSE(IsCrossPixel(c, 58, 100));
    EXPECT_TRUE(IsCrossPixel(c, 50, 119));
    EXPECT_TRUE(IsCrossPixel(c, 70, 121));
    EXPECT_FALSE(IsCrossPixel(c, 71, 120));
    EXPECT_FALSE(IsCrossPixel(c, 50, 122));

    const CrossParams even{0, 0, 0, 20, 4};  // band rows 8..11 around row 10
    EXPECT_TRUE(IsCrossPixel(even, 7, 1));   // bar columns -2..1
    EXPECT_FALSE(IsCrossPixel(even, 7, 2));
    EXPECT_FALSE(IsCrossPixel(even, 8, 0));  // width 0: no horizontal bar, a gap in the vertical one
    EXPECT_TRUE(IsCrossPixel(even, 7, -2));
    EXPECT_TRUE(IsCrossPixel(even, 12, 1));

    const CrossParams wide{3, 1, 2, 6, 5};  // thickness above width
    for (int32_t j = 0; j < 9; ++j) {
        EXPECT_EQ(IsCrossPixel(wide, 1, j), j >= 2 && j <= 6) << j;
        EXPECT_EQ(IsCrossPixel(wide, 4, j), j == 3 || j == 4) << j;
    }
    EXPECT_FALSE(IsCrossPixel({0, 0, 0, 0, 0}, 0, 0));
}

}  // namespace
}  // namespace korvex
