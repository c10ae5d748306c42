// The snap callbacks, called directly as the camera library would, with good and bad records.
#include <gtest/gtest.h>

#include <utility>

#include "acquisition/acquisition.h"
#include "registry/slot.h"
#include "registry/slot_event.h"
#include "slot_test_access.h"

namespace korvex {
namespace {

using platform::WaitResult;

class SnapCallbackTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int32_t k = 1; k <= kSlotCount; ++k) {
            CameraSlot(k).ProvideFrameEvent();
            SlotTestAccess::SetNewestFrame(CameraSlot(k), 0);
        }
    }
    static Slot& CameraSlot(int32_t device) { return Slots().slots[device - 1]; }
    static WaitResult Poll(int32_t device) { return platform::WaitFrameEvent(CameraSlot(device).frameEvent(), 0); }
    static int32_t Call(int32_t k, int32_t device, int32_t index) {
        SnapInfo info{1, device, index, 0};
        return SnapCallbackFor(k)(&info);
    }
};

TEST_F(SnapCallbackTest, OneCallbackPerCamera) {
    EXPECT_EQ(SnapCallbackFor(0), nullptr);
    EXPECT_EQ(SnapCallbackFor(11), nullptr);
    for (int32_t a = 1; a <= kSlotCount; ++a) {
        ASSERT_NE(SnapCallbackFor(a), nullptr);
        for (int32_t b = a + 1; b <= kSlotCount; ++b) EXPECT_NE(SnapCallbackFor(a), SnapCallbackFor(b));
    }
}

TEST_F(SnapCallbackTest, RecordsTheIndexAndSignalsOnlyItsOwnCamera) {
    EXPECT_EQ(Call(3, 3, 1), 1);
    EXPECT_EQ(NewestBufferIndex(CameraSlot(3)), 1);
    for (int32_t k = 1; k <= kSlotCount; ++k) {
        EXPECT_EQ(Poll(k), k == 3 ? WaitResult::Signalled : WaitResult::TimedOut) << k;
    }
    // The index goes to the slot the record names; the signal to the callback's own camera.
    EXPECT_EQ(Call(4, 6, 1), 1);
    EXPECT_EQ(NewestBufferIndex(CameraSlot(6)), 1);
    EXPECT_EQ(Poll(4), WaitResult::Signalled);
    EXPECT_EQ(Poll(6), WaitResult::TimedOut);
}

TEST_F(SnapCallbackTest, BadRecordsChangeNothing) {
    SlotTestAccess::SetNewestFrame(CameraSlot(2), 1);
    for (auto [device, index] : {std::pair{0, 0}, {11, 1}, {-1, 0}, {2, 2}, {2, -1}, {2, 0x10000}}) {
        EXPECT_EQ(Call(2, device, index), 1);
    }
    EXPECT_EQ(SnapCallbackFor(2)(nullptr), 1);
    EXPECT_EQ(NewestBufferIndex(CameraSlot(2)), 1);
    for (int32_t k = 1; k <= kSlotCount; ++k) EXPECT_EQ(Poll(k), WaitResult::TimedOut) << k;
}

TEST_F(SnapCallbackTest, CameraWithoutEventOnlyRecords) {
    platform::CloseFrameEvent(SlotTestAccess::TakeFrameEvent(CameraSlot(5)));
    EXPECT_EQ(Call(5, 5, 1), 1);
    EXPECT_EQ(NewestBufferIndex(CameraSlot(5)), 1);
    EXPECT_EQ(Poll(5), WaitResult::Failed);
}

}  // namespace
}  // namespace korvex
