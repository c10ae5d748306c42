// Opening, allocating, restarting and closing cameras, seen through the exported functions and
// the camera-library call log.
#include <string>
#include <vector>

#include "api_fixture.h"

namespace korvex::test {
namespace {

using Strings = std::vector<std::string>;

using Lifecycle = ApiTest;

TEST_F(Lifecycle, OpenRefusesCountsOutsideOneToTenWithTheirMessages) {
    EXPECT_EQ(ZqOpenDevice(0), 0);
    EXPECT_EQ(ZqOpenDevice(-3), 0);
    EXPECT_EQ(ZqOpenDevice(11), 0);
    EXPECT_EQ(TakeMessageTexts(), (Strings{"The device num can't smaller than 1", "The device num can't smaller than 1",
                                           "Too many device!"}));
    EXPECT_TRUE(TakeCalls().empty());
}

TEST_F(Lifecycle, OpenBeginsCamerasInOrderAndTenIsAllowed) {
    ASSERT_EQ(hvsim_configure("HV1300UC,HV1300UM,HV2000UC,HV3102UC,SV1410FM,HV1300UC,HV1300UC,HV1300UC,"
                              "HV1300UC,HV1300UC"),
              10);
    EXPECT_EQ(ZqOpenDevice(10), 1);
    const auto calls = TakeCalls();
    ASSERT_EQ(calls.size(), 10u);
    for (int k = 0; k < 10; ++k) {
        EXPECT_EQ(calls[k].op, HVSIM_BeginHVDevice);
        EXPECT_EQ(calls[k].args[0], k + 1);
    }
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(Lifecycle, AFailedOpenShowsItsMessageAndKeepsTheEarlierDeviceCount) {
    hvsim_fail(HVSIM_BeginHVDevice, 7, 2, 1);  // the second camera fails
    EXPECT_EQ(ZqOpenDevice(2), 0);
    EXPECT_EQ(TakeMessageTexts(), Strings{"Open device error!"});
    EXPECT_EQ(Names(TakeCalls()), (Strings{"BeginHVDevice", "BeginHVDevice"}));

    // The count is still 1: allocation and closing reach camera 1 only.
    EXPECT_EQ(ZqAllocateResources(), 1);
    const auto allocation = TakeCalls();
    EXPECT_EQ(Names(allocation), (Strings{"HVGetDeviceInfo", "HVGetDeviceInfo", "HVSetResolution"}));
    for (const HvSimCall& call : allocation) EXPECT_EQ(call.handle, allocation[0].handle);
    EXPECT_EQ(ZqCloseDevice(), 1);
    EXPECT_EQ(Names(TakeCalls()), Strings{"EndHVDevice"});
}

TEST_F(Lifecycle, AllocateBeforeAnyOpenLooksAtCameraOneAndAsksToOpen) {
    EXPECT_EQ(ZqAllocateResources(), 0);
    EXPECT_EQ(TakeMessageTexts(), Strings{"Please open device first!"});
    EXPECT_TRUE(TakeCalls().empty());
}

// Each camera's list is read with the two-call protocol, then the camera is put in mode 0, the
// mode the library then reports.
TEST_F(Lifecycle, AllocateReadsEachResolutionListWithTheTwoCallProtocol) {
    ASSERT_EQ(ZqOpenDevice(2), 1);
    TakeCalls();
    EXPECT_EQ(ZqAllocateResources(), 1);
    const auto calls = TakeCalls();
    ASSERT_EQ(calls.size(), 6u);
    for (int camera = 0; camera < 2; ++camera) {
        for (int i = 0; i < 2; ++i) {
            const HvSimCall& call = calls[3 * camera + i];
            EXPECT_EQ(call.op, HVSIM_HVGetDeviceInfo);
            EXPECT_EQ(call.args[0], 1) << "resolution list";
            EXPECT_EQ(call.args[1], i) << "null buffer first, then a buffer";
        }
        EXPECT_EQ(calls[3 * camera + 2].op, HVSIM_HVSetResolution);
        EXPECT_EQ(calls[3 * camera + 2].args[0], 0);
    }
    EXPECT_NE(calls[0].handle, calls[3].handle);
}

TEST_F(Lifecycle, AllocateStopsAtTheFirstCameraThatIsNotOpen) {
    ASSERT_EQ(ZqOpenDevice(2), 1);
    ASSERT_EQ(ZqRestatDevice(2), 1);
    hvsim_fail(HVSIM_BeginHVDevice, 5, 1, 1);
    EXPECT_EQ(ZqRestatDevice(2), 0);  // camera 2 now counts as closed
    TakeCalls();
    EXPECT_EQ(ZqAllocateResources(), 0);
    EXPECT_EQ(TakeMessageTexts(), Strings{"Please open device first!"});
    EXPECT_EQ(Names(TakeCalls()),
              (Strings{"HVGetDeviceInfo", "HVGetDeviceInfo", "HVSetResolution"}));  // camera 1 was done
}

TEST_F(Lifecycle, AllocateRefusesAListItCannotRead) {
    ASSERT_EQ(ZqOpenDevice(1), 1);
    hvsim_fail(HVSIM_HVGetDeviceInfo, 9, 1, 1);
    EXPECT_EQ(ZqAllocateResources(), 0);
    hvsim_fail(HVSIM_HVGetDeviceInfo, 9, 2, 1);
    EXPECT_EQ(ZqAllocateResources(), 0);
    ASSERT_EQ(hvsim_set_resolutions(1, nullptr, 0), 0);
    EXPECT_EQ(ZqAllocateResources(), 0);
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(Lifecycle, AFrameTooLargeForMemoryIsRefusedAndTheCameraKeepsItsBuffers) {
    OpenAndAllocate(1);
    const ResolutionEntry huge{2147483647, 2147483647};
    ASSERT_EQ(hvsim_set_resolutions(1, &huge, 1), 0);
    EXPECT_EQ(ZqAllocateResources(), 0);
    // The earlier buffers are still there: an export of the old size works.
    std::vector<uint8_t> frame(64 * 64);
    EXPECT_EQ(ZqExportImageData(1, frame.data(), 64, 64, 0, 1), 1);
    EXPECT_EQ(frame[0], 0x80);
}

TEST_F(Lifecycle, AllocatingAgainReplacesIdleBuffersAndKeepsThoseBeingCapturedInto) {
    OpenAndAllocate(1);
    EXPECT_EQ(ZqAllocateResources(), 1);  // the first buffers are released (leak checkers see it)
    ASSERT_EQ(ZqStartGrab(1), 1);
    ASSERT_EQ(hvsim_deliver_frames(1, 1), 1);
    EXPECT_EQ(ZqAllocateResources(), 1);  // capture goes on into the same buffers
    ASSERT_EQ(hvsim_deliver_frames(1, 1), 1);
    const int16_t width = ZqGetImageWidth(1), height = ZqGetImageHeight(1);
    std::vector<uint8_t> frame(static_cast<std::size_t>(width) * height);
    ASSERT_EQ(ZqExportImageData(1, frame.data(), width, height, 0, 1), 1);
    HvSimStamp stamp{};
    ASSERT_EQ(hvsim_decode_stamp(frame.data(), width, height, 1, &stamp), 0);
    EXPECT_EQ(stamp.frame, 1);
    EXPECT_EQ(ZqStopGrab(1), 1);
}

TEST_F(Lifecycle, CloseEndsEveryOpenedCameraAndAlwaysReturnsOne) {
    OpenAndAllocate(2);
    hvsim_fail(HVSIM_EndHVDevice, 3, 1, -1);
    EXPECT_EQ(ZqCloseDevice(), 1);
    const auto calls = TakeCalls();
    EXPECT_EQ(Names(calls), (Strings{"EndHVDevice", "EndHVDevice"}));
    // Closing again ends handle 0 for each camera and still returns 1.
    EXPECT_EQ(ZqCloseDevice(), 1);
    const auto again = TakeCalls();
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again[0].handle, 0u);
    EXPECT_EQ(again[1].handle, 0u);
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(Lifecycle, RestatEndsAndBeginsOneCameraWithoutAnOpenTest) {
    ASSERT_EQ(hvsim_configure("HV1300UC,HV1300UM,HV1300UC,HV1300UC,HV1300UC"), 5);
    ASSERT_EQ(ZqOpenDevice(3), 1);
    TakeCalls();
    EXPECT_EQ(ZqRestatDevice(5), 1);
    const auto calls = TakeCalls();
    ASSERT_EQ(Names(calls), (Strings{"EndHVDevice", "BeginHVDevice"}));
    EXPECT_EQ(calls[0].handle, 0u);
    EXPECT_EQ(calls[1].args[0], 5);
    // Camera 5 now passes the open test, but allocation and closing do not reach it.
    EXPECT_EQ(ZqAllocateResources(), 1);
    for (const HvSimCall& call : TakeCalls()) EXPECT_NE(call.handle, calls[1].handle);
    EXPECT_EQ(ZqRestatDevice(6), 0);  // no sixth camera
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(Lifecycle, DeviceTotalReportsTheSdkCountOrMinusOne) {
    EXPECT_EQ(ZqGetDeviceTotal(), 2);
    ASSERT_EQ(hvsim_configure("HV1300UC,HV1300UM,HV2000UC"), 3);
    EXPECT_EQ(ZqGetDeviceTotal(), 3);
    hvsim_fail(HVSIM_HVGetDeviceTotal, 1, 1, 1);
    EXPECT_EQ(ZqGetDeviceTotal(), -1);
}

TEST_F(Lifecycle, DeviceNumbersOutsideOneToTenTouchNothing) {
    OpenAndAllocate(2);
    uint8_t buffer[64] = {};
    for (int16_t device : {int16_t{0}, int16_t{-1}, int16_t{11}, int16_t{32767}, int16_t{-32768}}) {
        EXPECT_EQ(ZqRestatDevice(device), 0);
        EXPECT_EQ(ZqStartGrab(device), 0);
        EXPECT_EQ(ZqStopGrab(device), 0);
        EXPECT_EQ(ZqExportImageData(device, buffer, 2, 2, 1, 1), 0);
        EXPECT_EQ(ZqGrabSingle(device, buffer, 2, 2, 1, 1), 0);
        EXPECT_EQ(ZqAutoWhiteBalance(device), 0);
        EXPECT_EQ(ZqSetWhiteBalanceRatio(device, 100, 100), 0);
        EXPECT_EQ(ZqResetLutTable(device), 0);
        EXPECT_EQ(ZqSetGamma(device, 10), 0);
        EXPECT_EQ(ZqSetShutter(device, 1, 10), 0);
        EXPECT_EQ(ZqSetResolution(device, 0), 0);
        EXPECT_EQ(ZqSetAOI(device, 0, 0, 8, 8), 0);
        EXPECT_EQ(ZqGetImageWidth(device), 0);
        EXPECT_EQ(ZqGetImageHeight(device), 0);
        EXPECT_EQ(ZqSetGain(device, 0, 1), 0);
        EXPECT_EQ(ZqSetChannelGain(device, 0, 1), 0);
        EXPECT_EQ(ZqSetADCLevel(device, 1), 0);
        EXPECT_EQ(ZqEnableADC(device, 1), 0);
        EXPECT_EQ(ZqSetADCValue(device, 1), 0);
        EXPECT_EQ(ZqSetBlanking(device, 1, 1), 0);
        EXPECT_EQ(ZqSetSnapMode(device, 0), 0);
        EXPECT_EQ(ZqSetSnapSpeed(device, 1), 0);
        EXPECT_EQ(ZqSetTriggerPolarity(device, 1), 0);
        EXPECT_EQ(ZqSetStrobePolarity(device, 1), 0);
        EXPECT_EQ(ZqTriggerShot(device), 0);
        EXPECT_EQ(ZqSetTrigerShot(device), 0);
        EXPECT_EQ(ZqGetDeviceType(device, buffer), 0);
        EXPECT_EQ(ZqGetDeviceSeriesNum(device, buffer), 0);
        EXPECT_EQ(ZqGetHardwareVersion(device, buffer), 0);
        EXPECT_EQ(ZqGetLastStatus(device), 0);
    }
    for (uint8_t byte : buffer) ASSERT_EQ(byte, 0);
    EXPECT_TRUE(TakeCalls().empty());
    EXPECT_TRUE(TakeMessages().empty());
}

}  // namespace
}  // namespace korvex::test
