// White balance, table reset and gamma on a slot set up by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "Raw2Rgb.h"
#include "colour/colour.h"
#include "registry/colour_tables.h"
#include "registry/device_table.h"
#include "registry/frame_buffers.h"

namespace korvex {
namespace {

constexpr int16_t kDevice = 4;

class Colour : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("KORVEX_DIALOG", "true", 1);  // a message box that dismisses itself
        slot_ = FindSlot(kDevice);
        slot_->handle = 0x1234;  // open, as far as the guard can tell
        slot_->ratioR = 1.1;
        slot_->ratioG = 1.0;
        slot_->ratioB = 0.9;
        std::memset(slot_->lutG, 7, sizeof slot_->lutG);
    }
    void TearDown() override {
        FreeFrameBuffers(DetachFrameBuffers(*slot_));
        slot_->handle = 0;
    }

    // Gives the slot a width x height frame in raw buffer 1 with these values at the red, green
    // and blue sites of a B G / G R mosaic, as the latest export of that size would leave it.
    void GiveMosaic(int32_t width, int32_t height, uint8_t red, uint8_t green, uint8_t blue) {
        const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        FrameBuffers* buffers = AllocateFrameBuffers(pixels);
        ASSERT_NE(buffers, nullptr);
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                const bool evenRow = y % 2 == 0, evenColumn = x % 2 == 0;
                buffers->rawBuffers[1][y * width + x] =
                    evenRow && evenColumn ? blue : (!evenRow && !evenColumn ? red : green);
            }
        }
        FreeFrameBuffers(slot_->buffers.exchange(buffers));
        slot_->lastBufferIndex = 1;
        slot_->width = slot_->exportWidth = width;
        slot_->height = slot_->exportHeight = height;
        slot_->exportLayout = BAYER_BG_GR;
    }

    static void ExpectTable(const uint8_t* table, double ratio) {
        uint8_t expected[256];
        BuildColourTable(ratio, expected);
        EXPECT_EQ(std::memcmp(table, expected, 256), 0) << "table of ratio " << ratio;
    }

    DeviceSlot* slot_ = nullptr;
};

TEST_F(Colour, ManualBalanceMultipliesHundredthsBlueBeforeRedAndLeavesGreen) {
    EXPECT_EQ(SetWhiteBalanceRatio(kDevice, 100, 100), 1);
    EXPECT_EQ(slot_->ratioR, 1.0);
    EXPECT_EQ(slot_->ratioB, 1.0);
    ExpectTable(slot_->lutR, 1.0);
    EXPECT_EQ(slot_->lutG[200], 7);

    EXPECT_EQ(SetWhiteBalanceRatio(kDevice, 57, 0), 1);
    EXPECT_EQ(slot_->ratioB, 57 * 0.01);
    EXPECT_EQ(slot_->lutB[100], 57);  // 57 / 100.0 would give 56
    for (uint8_t entry : slot_->lutR) ASSERT_EQ(entry, 0);

    EXPECT_EQ(SetWhiteBalanceRatio(kDevice, 200, 50), 1);
    EXPECT_EQ(slot_->lutB[127], 254);
    EXPECT_EQ(slot_->lutB[128], 255);
    EXPECT_EQ(slot_->lutR[255], 127);

    EXPECT_EQ(SetWhiteBalanceRatio(kDevice, 50, 200), 1);
    EXPECT_EQ(slot_->ratioR, 2.0);
    EXPECT_EQ(slot_->ratioB, 0.5);
    EXPECT_EQ(slot_->ratioG, 1.0);
    EXPECT_EQ(slot_->lutG[200], 7);
}

TEST_F(Colour, ManualBalanceNeedsAnOpenCamera) {
    slot_->handle = 0;
    EXPECT_EQ(SetWhiteBalanceRatio(kDevice, 50, 200), 0);
    EXPECT_EQ(slot_->ratioR, 1.1);
    EXPECT_EQ(slot_->lutR[10], 0);
}

TEST_F(Colour, GammaIsTheIntegerQuotientOfTheValueByTenWithinOneToHundred) {
    uint8_t curve[256];
    EXPECT_EQ(SetGamma(kDevice, 25), 1);
    SetGammaLut(curve, 2.0);
    EXPECT_EQ(std::memcmp(slot_->lutR, curve, 256), 0);
    EXPECT_EQ(std::memcmp(slot_->lutG, curve, 256), 0);
    EXPECT_EQ(std::memcmp(slot_->lutB, curve, 256), 0);
    SetGammaLut(curve, 2.5);
    EXPECT_NE(std::memcmp(slot_->lutR, curve, 256), 0);

    EXPECT_EQ(SetGamma(kDevice, 100), 1);
    SetGammaLut(curve, 10.0);
    EXPECT_EQ(std::memcmp(slot_->lutB, curve, 256), 0);

    for (int16_t value : {int16_t{15}, int16_t{9}}) {  // 1.0 and 0.0
        EXPECT_EQ(SetGamma(kDevice, value), 1);
        SetGammaLut(curve, value / 10);
        EXPECT_EQ(std::memcmp(slot_->lutG, curve, 256), 0) << value;
    }

    std::memset(slot_->lutR, 3, 256);
    EXPECT_EQ(SetGamma(kDevice, 0), 0);
    EXPECT_EQ(SetGamma(kDevice, 101), 0);
    EXPECT_EQ(SetGamma(kDevice, -5), 0);
    EXPECT_EQ(slot_->lutR[0], 3);
    EXPECT_EQ(slot_->ratioR, 1.1);
}

TEST_F(Colour, ManualBalanceAfterGammaReplacesOnlyRedAndBlue) {
    uint8_t curve[256];
    SetGammaLut(curve, 3.0);
    ASSERT_EQ(SetGamma(kDevice, 30), 1);
    ASSERT_EQ(SetWhiteBalanceRatio(kDevice, 100, 100), 1);
    ExpectTable(slot_->lutR, 1.0);
    EXPECT_EQ(std::memcmp(slot_->lutG, curve, 256), 0);
}

TEST_F(Colour, ResetGivesIdentityTablesAndKeepsTheRatios) {
    EXPECT_EQ(ResetLutTable(kDevice), 1);
    ExpectTable(slot_->lutR, 1.0);
    ExpectTable(slot_->lutG, 1.0);
    ExpectTable(slot_->lutB, 1.0);
    EXPECT_EQ(slot_->ratioR, 1.1);
    EXPECT_EQ(slot_->ratioB, 0.9);
    slot_->handle = 0;
    EXPECT_EQ(ResetLutTable(kDevice), 1);  // no open test
}

TEST_F(Colour, AutomaticBalanceEqualisesTheChannelsOfTheNewestFrame) {
    GiveMosaic(16, 12, 160, 80, 40);
    ASSERT_EQ(SetGamma(kDevice, 30), 1);  // neither gamma nor earlier ratios reach the estimate
    EXPECT_EQ(AutoWhiteBalance(kDevice), 1);
    EXPECT_NEAR(slot_->ratioR, 0.5, 1e-9);
    EXPECT_NEAR(slot_->ratioG, 1.0, 1e-9);
    EXPECT_NEAR(slot_->ratioB, 2.0, 1e-9);
    ExpectTable(slot_->lutR, slot_->ratioR);
    ExpectTable(slot_->lutB, slot_->ratioB);
    // The working buffer holds the frame converted with identity tables.
    FrameBuffers* buffers = slot_->buffers.load();
    EXPECT_EQ(buffers->rgbBuffer[0], 40);
    EXPECT_EQ(buffers->rgbBuffer[1], 80);
    EXPECT_EQ(buffers->rgbBuffer[2], 160);
}

TEST_F(Colour, AutomaticBalanceWithNothingToEstimateKeepsTheRatios) {
    // No buffers at all.
    EXPECT_EQ(AutoWhiteBalance(kDevice), 1);
    EXPECT_EQ(slot_->ratioR, 1.1);
    ExpectTable(slot_->lutR, 1.1);
    ExpectTable(slot_->lutG, 1.0);

    // Buffers, but no export yet (export geometry 0 x 0).
    GiveMosaic(8, 8, 100, 100, 100);
    slot_->exportWidth = slot_->exportHeight = 0;
    EXPECT_EQ(AutoWhiteBalance(kDevice), 1);
    EXPECT_EQ(slot_->ratioB, 0.9);

    // An export geometry larger than the buffers.
    slot_->exportWidth = 9;
    slot_->exportHeight = 8;
    EXPECT_EQ(AutoWhiteBalance(kDevice), 1);
    EXPECT_EQ(slot_->ratioB, 0.9);
}

TEST_F(Colour, AutomaticBalanceOfABlackFrameStoresFiniteRatios) {
    GiveMosaic(8, 8, 0, 0, 0);
    EXPECT_EQ(AutoWhiteBalance(kDevice), 1);
    EXPECT_TRUE(std::isfinite(slot_->ratioR));
    EXPECT_TRUE(std::isfinite(slot_->ratioG));
    EXPECT_TRUE(std::isfinite(slot_->ratioB));
}

TEST_F(Colour, DeviceNumbersOutsideTheTableAreRefused) {
    EXPECT_EQ(AutoWhiteBalance(0), 0);
    EXPECT_EQ(ResetLutTable(11), 0);
    EXPECT_EQ(SetGamma(-1, 10), 0);
    EXPECT_EQ(SetWhiteBalanceRatio(11, 1, 1), 0);
}

}  // namespace
}  // namespace korvex
