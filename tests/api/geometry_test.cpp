// Resolution, output window and the reported image size. The row width the setters leave in the
// slot shows in the row count a following ZqSetShutter sends (HV20xx family: 10 ms gives 148
// rows at width 1280 and 242 at width 640).
#include <cstdint>
#include <string>
#include <vector>

#include "api_fixture.h"

namespace korvex::test {
namespace {

using Strings = std::vector<std::string>;

class Geometry : public ApiTest {
protected:
    // Camera 1 (1280 x 1024, then 640 x 512 and 320 x 256) counted as an HV20xx for exposure.
    void SetUp() override {
        ApiTest::SetUp();
        ASSERT_EQ(hvsim_set_type_code(1, 1), 0);
    }

    // The rows a 10 ms exposure sends with the slot's current row width.
    int64_t RowsForTenMs() {
        TakeCalls();
        EXPECT_EQ(ZqSetShutter(1, 1, 10), 1);
        const auto calls = TakeCalls();
        return calls.empty() ? -1 : calls.back().args[1];
    }
};

TEST_F(Geometry, AModeTheCameraRefusesStillBecomesTheSlotsGeometry) {
    OpenAndAllocate(1);
    hvsim_fail(HVSIM_HVSetResolution, 4, 1, 1);
    EXPECT_EQ(ZqSetResolution(1, 1), 0);
    EXPECT_EQ(Names(TakeCalls()), (Strings{"HVGetDeviceInfo", "HVGetDeviceInfo", "HVSetResolution"}));
    EXPECT_EQ(RowsForTenMs(), 242);
    EXPECT_EQ(ZqGetImageWidth(1), 640);
    EXPECT_EQ(ZqGetImageHeight(1), 512);
    EXPECT_EQ(ZqSetResolution(1, 0), 1);
    EXPECT_EQ(RowsForTenMs(), 148);
}

TEST_F(Geometry, TheWindowSetsOnlyTheRowWidthAndTheGettersKeepReportingTheMode) {
    OpenAndAllocate(1);
    EXPECT_EQ(ZqSetAOI(1, 8, 4, 640, 480), 1);
    const auto calls = TakeCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].op, HVSIM_HVSetOutputWindow);
    EXPECT_EQ(std::vector<int64_t>(calls[0].args, calls[0].args + 4), (std::vector<int64_t>{8, 4, 640, 480}));
    EXPECT_EQ(RowsForTenMs(), 242);
    EXPECT_EQ(ZqGetImageWidth(1), 1280);
    EXPECT_EQ(ZqGetImageHeight(1), 1024);
}

TEST_F(Geometry, ARefusedWindowKeepsItsWidthAndReturnsTheStatusLow16Bits) {
    OpenAndAllocate(1);
    for (const auto& [status, result] :
         {std::pair<int32_t, int16_t>{0x10000, 0}, {0x10001, 1}, {-2, -2}, {0x12345, 0x2345}}) {
        hvsim_fail(HVSIM_HVSetOutputWindow, status, 1, 1);
        EXPECT_EQ(ZqSetAOI(1, 0, 0, 640, 480), result) << status;
    }
    EXPECT_EQ(RowsForTenMs(), 242);
}

TEST_F(Geometry, WindowsWithANegativeSizeOrTooLargeForTheBuffersAreRefused) {
    OpenAndAllocate(1);
    EXPECT_EQ(ZqSetAOI(1, 0, 0, -1, 480), 0);
    EXPECT_EQ(ZqSetAOI(1, 0, 0, 640, -1), 0);
    EXPECT_EQ(ZqSetAOI(1, 0, 0, 1281, 1024), 0);
    EXPECT_TRUE(TakeCalls().empty());
    EXPECT_EQ(RowsForTenMs(), 148);
    EXPECT_EQ(ZqSetAOI(1, 0, 0, 1280, 1024), 1);  // the full buffer is allowed
}

TEST_F(Geometry, ModesOutsideTheListTooLargeOrUnreadableAreRefusedBeforeTheCameraHearsOfThem) {
    const ResolutionEntry smallFirst[] = {{640, 480}, {1280, 1024}, {320, 240}};
    ASSERT_EQ(hvsim_set_resolutions(1, smallFirst, 3), 0);
    OpenAndAllocate(1);  // buffers for 1280 x 1024, the largest mode; mode 0 is 640 x 480
    // A list that grew after allocation: its new mode is too large for the buffers.
    const ResolutionEntry grown[] = {{640, 480}, {1280, 1024}, {320, 240}, {1600, 1200}};
    ASSERT_EQ(hvsim_set_resolutions(1, grown, 4), 0);
    for (const int16_t mode : {int16_t{4}, int16_t{-1}, int16_t{3}}) {
        EXPECT_EQ(ZqSetResolution(1, mode), 0) << mode;
        EXPECT_EQ(Names(TakeCalls()), (Strings{"HVGetDeviceInfo", "HVGetDeviceInfo"})) << mode;
    }
    hvsim_fail(HVSIM_HVGetDeviceInfo, 6, 2, 1);  // the list itself cannot be read
    EXPECT_EQ(ZqSetResolution(1, 2), 0);
    EXPECT_EQ(Names(TakeCalls()), (Strings{"HVGetDeviceInfo", "HVGetDeviceInfo"}));
    EXPECT_EQ(RowsForTenMs(), 242);  // still 640 wide
    EXPECT_EQ(ZqSetResolution(1, 2), 1);
}

TEST_F(Geometry, EachCameraReportsTheEntryOfItsOwnMode) {
    OpenAndAllocate(2);
    ASSERT_EQ(ZqSetResolution(2, 1), 1);
    EXPECT_EQ(ZqGetImageWidth(1), 1280);
    EXPECT_EQ(ZqGetImageHeight(1), 1024);
    EXPECT_EQ(ZqGetImageWidth(2), 640);
    EXPECT_EQ(ZqGetImageHeight(2), 512);
}

TEST_F(Geometry, SizesOf32768AndMoreComeBackAsNegative16BitValues) {
    const ResolutionEntry wide[] = {{40000, 32768}};
    ASSERT_EQ(hvsim_set_resolutions(1, wide, 1), 0);
    ASSERT_EQ(ZqOpenDevice(1), 1);
    EXPECT_EQ(ZqGetImageWidth(1), 40000 - 65536);
    EXPECT_EQ(ZqGetImageHeight(1), -32768);
}

TEST_F(Geometry, GettersGiveMinusOneWhenTheListCannotBeReadOrLacksTheMode) {
    OpenAndAllocate(1);
    for (const int32_t failingCall : {1, 2}) {
        hvsim_fail(HVSIM_HVGetDeviceInfo, 3, failingCall, 1);
        EXPECT_EQ(ZqGetImageWidth(1), -1);
        hvsim_fail(HVSIM_HVGetDeviceInfo, 3, failingCall, 1);
        EXPECT_EQ(ZqGetImageHeight(1), -1);
    }
    ASSERT_EQ(ZqSetResolution(1, 2), 1);
    const ResolutionEntry one[] = {{1280, 1024}};
    ASSERT_EQ(hvsim_set_resolutions(1, one, 1), 0);
    EXPECT_EQ(ZqGetImageWidth(1), -1);
    EXPECT_EQ(ZqGetImageHeight(1), -1);
}

TEST_F(Geometry, EveryCallOnAClosedCameraShowsTheMessageOnce) {
    EXPECT_EQ(ZqSetResolution(1, 0), 0);
    EXPECT_EQ(ZqSetAOI(1, 0, 0, 64, 64), 0);
    EXPECT_EQ(ZqGetImageWidth(1), 0);
    EXPECT_EQ(ZqGetImageHeight(1), 0);
    EXPECT_EQ(TakeMessageTexts(), Strings(4, "Please open device first!"));
    EXPECT_EQ(ZqGetImageWidth(11), 0);
    EXPECT_EQ(ZqSetAOI(0, 0, 0, 64, 64), 0);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_TRUE(TakeCalls().empty());
}

TEST_F(Geometry, AWindowMakesTheDeliveredFrameSmaller) {
    OpenAndAllocate(2);
    ASSERT_EQ(ZqSetAOI(2, 0, 0, 640, 480), 1);
    std::vector<uint8_t> frame(1280 * 1024, 0);
    ASSERT_EQ(ZqGrabSingle(2, frame.data(), 640, 480, 0, 0), 1);
    HvSimStamp stamp{};
    ASSERT_EQ(hvsim_decode_stamp(frame.data(), 640, 480, 1, &stamp), 0);  // rows are 640 wide
    EXPECT_EQ(stamp.device, 2);
    // Read back at full size: past the window's 640 x 480 pixels the buffer keeps its fill.
    ASSERT_EQ(ZqGrabSingle(2, frame.data(), 1280, 1024, 0, 0), 1);
    for (std::size_t i = 640 * 480; i < frame.size(); i += 997) ASSERT_EQ(frame[i], 0x80) << i;
}

}  // namespace
}  // namespace korvex::test
