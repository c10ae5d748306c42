// Handles, argument checks and the settings the camera library stores.
#include "sim_fixture.h"

namespace {

int32_t KX_CALL IgnoreFrame(SnapInfo*) { return 1; }

// Every operation taking a handle, called with the given one and otherwise valid arguments.
std::vector<HVSTATUS> CallAllWithHandle(HHV handle) {
    static uint8_t pixels[2][1280 * 1024];
    uint8_t* buffers[2] = {pixels[0], pixels[1]};
    int32_t value = 0, size = 4, input = 2, output = 0, length = sizeof(ControlRecord);
    ControlRecord record{HV_CONTROL_STATUS_QUERY, &input, 4, &output, 4, 0};
    return {EndHVDevice(handle),
            HVGetDeviceInfo(handle, HV_INFO_TYPE_CODE, &value, &size),
            HVSetResolution(handle, 0),
            HVSetOutputWindow(handle, 0, 0, 64, 64),
            HVSetSnapMode(handle, 0),
            HVAGCControl(handle, 16, 16),
            HVAECControl(handle, 1, 100),
            HVADCControl(handle, 0, 1),
            HVOpenSnap(handle, IgnoreFrame, nullptr),
            HVStartSnap(handle, buffers, 2),
            HVSnapShot(handle, buffers, 1),
            HVCloseSnap(handle),
            HVTriggerShot(handle),
            HVSetTriggerPolarity(handle, 1),
            HVSetStrobePolarity(handle, 1),
            HVSetSnapSpeed(handle, 1),
            HVSetBlanking(handle, 10, 10),
            HVCommand(handle, HV_COMMAND_CONTROL, &record, &length)};
}

using Handles = SimTest;

TEST_F(Handles, UnknownZeroAndEndedHandlesAreRefusedEverywhere) {
    HHV ended = Begin(1);
    ASSERT_EQ(EndHVDevice(ended), 0);
    for (HHV handle : {HHV{0}, HHV{12345}, ended}) {
        for (HVSTATUS status : CallAllWithHandle(handle)) EXPECT_EQ(status, HVSIM_STATUS_INVALID_HANDLE) << handle;
    }
    EXPECT_EQ(State(1).capturing, 0);
}

TEST_F(Handles, BeginChecksDeviceAndPointer) {
    HHV handle = 77;
    EXPECT_NE(BeginHVDevice(0, &handle), 0);
    EXPECT_NE(BeginHVDevice(3, &handle), 0);
    EXPECT_EQ(handle, 77u);
    EXPECT_NE(BeginHVDevice(1, nullptr), 0);
    EXPECT_NE(HVGetDeviceTotal(nullptr), 0);
    HHV first = Begin(1), second = Begin(2);
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, 0u);
    EXPECT_NE(first, second);
    EXPECT_EQ(State(1).open, 1);
}

TEST_F(Handles, SecondBeginGivesFreshHandleAndRetiresTheOld) {
    HHV old = Begin(1);
    std::vector<uint8_t> a(1280 * 1024), b(1280 * 1024);
    uint8_t* buffers[2] = {a.data(), b.data()};
    hvsim_set_manual_frames(1);
    ASSERT_EQ(HVStartSnap(old, buffers, 2), 0);
    HHV fresh = Begin(1);
    EXPECT_NE(fresh, old);
    EXPECT_EQ(State(1).capturing, 0);
    EXPECT_EQ(HVSetSnapMode(old, 0), HVSIM_STATUS_INVALID_HANDLE);
    EXPECT_EQ(HVSetSnapMode(fresh, 0), 0);
}

TEST_F(Handles, NullPointersAreRefused) {
    HHV handle = Begin(1);
    uint8_t pixels[16];
    uint8_t* withNull[2] = {pixels, nullptr};
    int32_t length = sizeof(ControlRecord);
    EXPECT_EQ(HVOpenSnap(handle, nullptr, nullptr), HVSIM_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(HVStartSnap(handle, nullptr, 2), HVSIM_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(HVStartSnap(handle, withNull, 2), HVSIM_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(HVSnapShot(handle, nullptr, 1), HVSIM_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(HVCommand(handle, HV_COMMAND_CONTROL, nullptr, &length), HVSIM_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(State(1).capturing, 0);
}

using Settings = SimTest;

TEST_F(Settings, ResolutionAndWindowStayInsideTheSensor) {
    HHV handle = Begin(1);
    EXPECT_NE(HVSetResolution(handle, 3), 0);
    EXPECT_NE(HVSetResolution(handle, -1), 0);
    ASSERT_EQ(HVSetResolution(handle, 1), 0);
    HvSimCameraState s = State(1);
    EXPECT_EQ(s.windowWidth, 640);
    EXPECT_EQ(s.windowHeight, 512);
    EXPECT_NE(HVSetOutputWindow(handle, 1, 0, 640, 512), 0);
    EXPECT_NE(HVSetOutputWindow(handle, 0, 0, 0, 10), 0);
    EXPECT_NE(HVSetOutputWindow(handle, -2, 0, 10, 10), 0);
    ASSERT_EQ(HVSetOutputWindow(handle, 100, 50, 540, 462), 0);
    s = State(1);
    EXPECT_EQ(s.windowLeft, 100);
    EXPECT_EQ(s.windowTop, 50);
    EXPECT_EQ(s.windowWidth, 540);
    EXPECT_EQ(s.windowHeight, 462);
    ASSERT_EQ(HVSetResolution(handle, 0), 0);  // a new mode shows the whole of it again
    EXPECT_EQ(State(1).windowWidth, 1280);
}

TEST_F(Settings, ExposureCodesFollowTheCameraFamily) {
    ASSERT_EQ(hvsim_configure("HV1300UC,HV3000UC,SV400FC"), 3);
    HHV hv13 = Begin(1), hv30 = Begin(2), sv = Begin(3);
    EXPECT_EQ(HVAECControl(hv13, 1, 16383), 0);
    EXPECT_NE(HVAECControl(hv13, 1, 16384), 0);
    EXPECT_NE(HVAECControl(hv13, 1, 0), 0);
    EXPECT_EQ(HVAECControl(hv13, 2, 5), HVSIM_STATUS_NOT_SUPPORTED);
    EXPECT_EQ(HVAECControl(hv30, 1, 1048575), 0);
    EXPECT_EQ(State(2).exposureRows, 1048575u);
    EXPECT_EQ(HVAECControl(sv, 3, 0), 0);
    EXPECT_EQ(HVAECControl(sv, 2, 250), 0);
    EXPECT_NE(HVAECControl(sv, 3, 3), 0);
    EXPECT_EQ(HVAECControl(sv, 1, 10), HVSIM_STATUS_NOT_SUPPORTED);
    EXPECT_EQ(State(3).exposureUnit, 0);
    EXPECT_EQ(State(3).exposureValue, 250);
}

TEST_F(Settings, ChangingTheTypeCodeChangesTheExposureFamily) {
    HHV handle = Begin(1);
    ASSERT_EQ(hvsim_set_type_code(1, 24), 0);
    EXPECT_EQ(HVAECControl(handle, 3, 1), 0);
    EXPECT_EQ(HVAECControl(handle, 1, 100), HVSIM_STATUS_NOT_SUPPORTED);
    EXPECT_EQ(hvsim_set_type_code(3, 24), -1);
}

TEST_F(Settings, PassThroughControlsAreStoredAndRangeChecked) {
    HHV handle = Begin(1);
    EXPECT_EQ(HVAGCControl(handle, 18, 33), 0);
    EXPECT_NE(HVAGCControl(handle, 20, 33), 0);
    EXPECT_NE(HVAGCControl(handle, 16, -1), 0);
    EXPECT_EQ(HVADCControl(handle, 0, 2), 0);
    EXPECT_EQ(HVADCControl(handle, 1, 1), 0);
    EXPECT_EQ(HVADCControl(handle, 19, 264), 0);
    EXPECT_EQ(HVADCControl(handle, 16, -255), 0);
    EXPECT_NE(HVADCControl(handle, 17, 265), 0);
    EXPECT_NE(HVADCControl(handle, 1, 2), 0);
    EXPECT_EQ(HVSetSnapMode(handle, 1), 0);
    EXPECT_NE(HVSetSnapMode(handle, 9), 0);
    EXPECT_EQ(HVSetSnapSpeed(handle, 1), 0);
    EXPECT_EQ(HVSetTriggerPolarity(handle, 1), 0);
    EXPECT_EQ(HVSetStrobePolarity(handle, 1), 0);
    EXPECT_NE(HVSetStrobePolarity(handle, 2), 0);
    EXPECT_EQ(HVSetBlanking(handle, 120, 30), 0);
    EXPECT_NE(HVSetBlanking(handle, -1, 30), 0);
    const HvSimCameraState s = State(1);
    EXPECT_EQ(s.gain[2], 33);
    EXPECT_EQ(s.adcLevel, 2);
    EXPECT_EQ(s.adcEnabled, 1);
    EXPECT_EQ(s.adcValue[3], 264);
    EXPECT_EQ(s.adcValue[0], -255);
    EXPECT_EQ(s.snapMode, 1);
    EXPECT_EQ(s.snapSpeed, 1);
    EXPECT_EQ(s.triggerPolarity, 1);
    EXPECT_EQ(s.strobePolarity, 1);
    EXPECT_EQ(s.blankingFirst, 120);
    EXPECT_EQ(s.blankingSecond, 30);
}

}  // namespace
