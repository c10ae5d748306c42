// White balance, table reset and gamma on a slot set up by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <utility>

#include "Raw2Rgb.h"
#include "colour/colour.h"
#include "colour/colour_tables.h"
#include "exports/guard.h"
#include "registry/frame_buffers.h"
#include "slot_test_access.h"

namespace korvex {
namespace {

constexpr int16_t kDevice = 4;

// The colour functions as the exported ones call them: through the guard, with their own uses.
int16_t AutoWhiteBalance(int16_t device) {
    return Guarded<int16_t>("ZqAutoWhiteBalance", device, SlotUse::ReadFrames, korvex::AutoWhiteBalance);
}
int16_t SetWhiteBalanceRatio(int16_t device, int16_t blue, int16_t red) {
    return Guarded<int16_t>("ZqSetWhiteBalanceRatio", device, SlotUse::Control,
                            [&](Slot& slot) { return korvex::SetWhiteBalanceRatio(slot, blue, red); });
}
int16_t ResetLutTable(int16_t device) {
    return Guarded<int16_t>("ZqResetLutTable", device, SlotUse::Unchecked, korvex::ResetLutTable);
}
int16_t SetGamma(int16_t device, int16_t value) {
    return Guarded<int16_t>("ZqSetGamma", device, SlotUse::Unchecked,
                            [&](Slot& slot) { return korvex::SetGamma(slot, value); });
}

class Colour : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("KORVEX_DIALOG", "true", 1);  // a message box that dismisses itself
        slot_ = FindSlot(kDevice);
        colour_ = &ColourOf(kDevice - 1);
        SlotTestAccess::Set(*slot_, 0x1234, SlotState::Allocated);  // open and allocated, as far as the guard can tell
        colour_->ratioR = 1.1;
        colour_->ratioG = 1.0;
        colour_->ratioB = 0.9;
        BuildSlotTables(*colour_);
        ColourTablesChange change(colour_->tables);
        std::memset(change.tables().green, 7, 256);
        change.Publish();
    }
    void TearDown() override {
        FreeFrameBuffers(ReplaceFrameBuffers(*slot_, nullptr));
        SlotTestAccess::Set(*slot_, 0, SlotState::Closed);
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
        FreeFrameBuffers(SlotTestAccess::ExchangeBuffers(*slot_, buffers));
        SlotTestAccess::SetNewestFrame(*slot_, 1);  // no frame counted, the newest in buffer 1
        slot_->SetGeometry(SlotGeometry{0, width, height});
        slot_->RecordExport(ExportRecord{static_cast<int16_t>(width), static_cast<int16_t>(height), BAYER_BG_GR});
    }

    static void ExpectTable(const uint8_t* table, double ratio) {
        uint8_t expected[256];
        BuildColourTable(ratio, expected);
        EXPECT_EQ(std::memcmp(table, expected, 256), 0) << "table of ratio " << ratio;
    }

    // The published tables, copied.
    ColourTableSet Tables() const {
        HeldColourTables held(colour_->tables);
        return held.get();
    }

    Slot* slot_ = nullptr;
    SlotColour* colour_ = nullptr;
};

TEST_F(Colour, ManualBalanceMultipliesHundredthsBlueBeforeRedAndLeavesGreen) {
    EXPECT_EQ(SetWhiteBalanceRatio(kDevice, 100, 100), 1);
    EXPECT_EQ(colour_->ratioR, 1.0);
    EXPECT_EQ(colour_->ratioB, 1.0);
    ExpectTable(Tables().red, 1.0);
    EXPECT_EQ(Tables().green[200], 7);

    EXPECT_EQ(SetWhiteBalanceRatio(kDevice, 57, 0), 1);
    EXPECT_EQ(colour_->ratioB, 57 * 0.01);
    EXPECT_EQ(Tables().blue[100], 57);  // 57 / 100.0 would give 56
    const ColourTableSet zeroRed = Tables();
    for (uint8_t entry : zeroRed.red) ASSERT_EQ(entry, 0);

    EXPECT_EQ(SetWhiteBalanceRatio(kDevice, 200, 50), 1);
    EXPECT_EQ(Tables().blue[127], 254);
    EXPECT_EQ(Tables().blue[128], 255);
    EXPECT_EQ(Tables().red[255], 127);

    EXPECT_EQ(SetWhiteBalanceRatio(kDevice, 50, 200), 1);
    EXPECT_EQ(colour_->ratioR, 2.0);
    EXPECT_EQ(colour_->ratioB, 0.5);
    EXPECT_EQ(colour_->ratioG, 1.0);
    EXPECT_EQ(Tables().green[200], 7);
}

TEST_F(Colour, ManualBalanceNeedsAnOpenCamera) {
    SlotTestAccess::Set(*slot_, 0, SlotState::Closed);
    EXPECT_EQ(SetWhiteBalanceRatio(kDevice, 50, 200), 0);
    EXPECT_EQ(colour_->ratioR, 1.1);
    EXPECT_EQ(Tables().red[10], 11);
}

TEST_F(Colour, GammaIsTheIntegerQuotientOfTheValueByTenWithinOneToHundred) {
    uint8_t curve[256];
    EXPECT_EQ(SetGamma(kDevice, 25), 1);
    SetGammaLut(curve, 2.0);
    EXPECT_EQ(std::memcmp(Tables().red, curve, 256), 0);
    EXPECT_EQ(std::memcmp(Tables().green, curve, 256), 0);
    EXPECT_EQ(std::memcmp(Tables().blue, curve, 256), 0);
    SetGammaLut(curve, 2.5);
    EXPECT_NE(std::memcmp(Tables().red, curve, 256), 0);

    EXPECT_EQ(SetGamma(kDevice, 100), 1);
    SetGammaLut(curve, 10.0);
    EXPECT_EQ(std::memcmp(Tables().blue, curve, 256), 0);

    for (int16_t value : {int16_t{15}, int16_t{9}}) {  // 1.0 and 0.0
        EXPECT_EQ(SetGamma(kDevice, value), 1);
        SetGammaLut(curve, value / 10);
        EXPECT_EQ(std::memcmp(Tables().green, curve, 256), 0) << value;
    }

    {
        ColourTablesChange change(colour_->tables);
        std::memset(change.tables().red, 3, 256);
        change.Publish();
    }
    EXPECT_EQ(SetGamma(kDevice, 0), 0);
    EXPECT_EQ(SetGamma(kDevice, 101), 0);
    EXPECT_EQ(SetGamma(kDevice, -5), 0);
    EXPECT_EQ(Tables().red[0], 3);
    EXPECT_EQ(colour_->ratioR, 1.1);
}

TEST_F(Colour, ManualBalanceAfterGammaReplacesOnlyRedAndBlue) {
    uint8_t curve[256];
    SetGammaLut(curve, 3.0);
    ASSERT_EQ(SetGamma(kDevice, 30), 1);
    ASSERT_EQ(SetWhiteBalanceRatio(kDevice, 100, 100), 1);
    ExpectTable(Tables().red, 1.0);
    EXPECT_EQ(std::memcmp(Tables().green, curve, 256), 0);
}

TEST_F(Colour, ResetGivesIdentityTablesAndKeepsTheRatios) {
    EXPECT_EQ(ResetLutTable(kDevice), 1);
    ExpectTable(Tables().red, 1.0);
    ExpectTable(Tables().green, 1.0);
    ExpectTable(Tables().blue, 1.0);
    EXPECT_EQ(colour_->ratioR, 1.1);
    EXPECT_EQ(colour_->ratioB, 0.9);
    SlotTestAccess::Set(*slot_, 0, SlotState::Allocated);
    EXPECT_EQ(ResetLutTable(kDevice), 1);  // no open test
}

TEST_F(Colour, AutomaticBalanceEqualisesTheChannelsOfTheNewestFrame) {
    GiveMosaic(16, 12, 160, 80, 40);
    ASSERT_EQ(SetGamma(kDevice, 30), 1);  // neither gamma nor earlier ratios reach the estimate
    EXPECT_EQ(AutoWhiteBalance(kDevice), 1);
    EXPECT_NEAR(colour_->ratioR, 0.5, 1e-9);
    EXPECT_NEAR(colour_->ratioG, 1.0, 1e-9);
    EXPECT_NEAR(colour_->ratioB, 2.0, 1e-9);
    ExpectTable(Tables().red, colour_->ratioR);
    ExpectTable(Tables().blue, colour_->ratioB);
    // The working buffer holds the frame converted with identity tables.
    FrameBuffers* buffers = SlotTestAccess::Buffers(*slot_);
    EXPECT_EQ(buffers->rgbBuffer[0], 40);
    EXPECT_EQ(buffers->rgbBuffer[1], 80);
    EXPECT_EQ(buffers->rgbBuffer[2], 160);
}

// Whatever keeps the estimate from a usable answer, the call reports 0 and the earlier ratios
// and tables (here with a hand-set green table) stay exactly as they were.
TEST_F(Colour, AutomaticBalanceThatCannotEstimateKeepsRatiosAndTables) {
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"no buffers", [] {}},
        {"no export yet",
         [this] {
             GiveMosaic(8, 8, 100, 100, 100);
             slot_->RecordExport(ExportRecord{0, 0, BAYER_BG_GR});
         }},
        {"export larger than the buffers",
         [this] {
             GiveMosaic(8, 8, 100, 100, 100);
             slot_->RecordExport(ExportRecord{9, 8, BAYER_BG_GR});
         }},
        {"black frame, which the estimate answers with 0", [this] { GiveMosaic(8, 8, 0, 0, 0); }},
    };
    const ColourTableSet before = Tables();
    for (const auto& [name, prepare] : cases) {
        prepare();
        EXPECT_EQ(AutoWhiteBalance(kDevice), 0) << name;
        EXPECT_EQ(colour_->ratioR, 1.1) << name;
        EXPECT_EQ(colour_->ratioG, 1.0) << name;
        EXPECT_EQ(colour_->ratioB, 0.9) << name;
        const ColourTableSet after = Tables();
        EXPECT_EQ(std::memcmp(&after, &before, sizeof before), 0) << name;
    }
}

TEST_F(Colour, DeviceNumbersOutsideTheTableAreRefused) {
    EXPECT_EQ(AutoWhiteBalance(0), 0);
    EXPECT_EQ(ResetLutTable(11), 0);
    EXPECT_EQ(SetGamma(-1, 10), 0);
    EXPECT_EQ(SetWhiteBalanceRatio(11, 1, 1), 0);
}

}  // namespace
}  // namespace korvex
