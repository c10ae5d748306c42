// Camera set configuration and the identification queries the adapter makes.
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "sim_fixture.h"

namespace {

void SetCamerasVariable(const char* value) {
#if defined(_WIN32)
    _putenv_s("KORVEX_SIM_CAMERAS", value != nullptr ? value : "");
#else
    if (value != nullptr) {
        setenv("KORVEX_SIM_CAMERAS", value, 1);
    } else {
        unsetenv("KORVEX_SIM_CAMERAS");
    }
#endif
}

int32_t TypeCodeOf(int32_t device) {
    HHV handle = 0;
    EXPECT_EQ(BeginHVDevice(device, &handle), 0);
    int32_t code = -99, size = 4;
    EXPECT_EQ(HVGetDeviceInfo(handle, HV_INFO_TYPE_CODE, &code, &size), 0);
    EndHVDevice(handle);
    return code;
}

int32_t DeviceTotal() {
    int32_t count = -1;
    EXPECT_EQ(HVGetDeviceTotal(&count), 0);
    return count;
}

using Configuration = SimTest;

TEST_F(Configuration, DefaultIsOneColourAndOneMonoCamera) {
    ASSERT_EQ(DeviceTotal(), 2);
    EXPECT_EQ(State(1).colour, 1);
    EXPECT_EQ(State(2).colour, 0);
    EXPECT_EQ(State(2).bayerLayout, 0);
    EXPECT_GE(State(1).bayerLayout, 1);
    EXPECT_LE(State(1).bayerLayout, 4);
}

TEST_F(Configuration, AcceptsNamesInAnyCaseAndDecimalCodes) {
    EXPECT_EQ(hvsim_configure("HV1300UC, sv1410fm ,41,26,-3"), 5);
    ASSERT_EQ(DeviceTotal(), 5);
    EXPECT_EQ(TypeCodeOf(1), 0);
    EXPECT_EQ(TypeCodeOf(2), 28);
    EXPECT_EQ(TypeCodeOf(3), 41);
    EXPECT_EQ(TypeCodeOf(4), 26);
    EXPECT_EQ(TypeCodeOf(5), -3);
    EXPECT_EQ(State(2).colour, 0);  // ...FM is monochrome
    EXPECT_EQ(State(3).sensorWidth, 2048);
}

TEST_F(Configuration, UnknownNameChangesNothing) {
    ASSERT_EQ(hvsim_configure("HV2000UC,SV400FC,HV3000UC"), 3);
    EXPECT_EQ(hvsim_configure("HV2000UC,NOSUCH1"), -1);
    EXPECT_EQ(hvsim_configure("12x"), -1);
    EXPECT_EQ(DeviceTotal(), 3);
    EXPECT_EQ(State(2).sensorWidth, 782);
    EXPECT_EQ(State(2).sensorHeight, 582);
}

TEST_F(Configuration, EnvironmentIsReadAtReset) {
    SetCamerasVariable("HV3102UC,SV2000FM,HV1351UM");
    hvsim_reset();
    EXPECT_EQ(DeviceTotal(), 3);
    EXPECT_EQ(TypeCodeOf(1), 8);
    EXPECT_EQ(TypeCodeOf(3), 59);
    SetCamerasVariable("HV1300UC,BOGUS");
    testing::internal::CaptureStderr();
    hvsim_reset();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(DeviceTotal(), 0);  // a typo is an error, not a stand-in set of cameras
    HHV handle = 0;
    EXPECT_NE(BeginHVDevice(1, &handle), 0);
    EXPECT_EQ(said, std::string("hvsim: ") + hvsim_configuration_error() + "\n");
    EXPECT_NE(said.find("\"BOGUS\""), std::string::npos) << said;
    SetCamerasVariable(nullptr);
    hvsim_reset();
    EXPECT_EQ(DeviceTotal(), 2);
}

TEST_F(Configuration, ColourModelsCoverAllFourBayerLayouts) {
    ASSERT_EQ(hvsim_configure("HV1300UC,HV2000UC,HV1301UC,HV2001UC,HV3000UC,SV1410FC"), 6);
    std::set<int32_t> layouts;
    for (int32_t device = 1; device <= 6; ++device) layouts.insert(State(device).bayerLayout);
    EXPECT_EQ(layouts, (std::set<int32_t>{1, 2, 3, 4}));
}

TEST_F(Configuration, ResetRestoresDefaultSettings) {
    HHV handle = Begin(1);
    ASSERT_EQ(HVAGCControl(handle, 17, 40), 0);
    ASSERT_EQ(HVSetResolution(handle, 1), 0);
    hvsim_reset();
    HvSimCameraState defaults{};
    ASSERT_EQ(hvsim_get_defaults(1, &defaults), 0);
    const HvSimCameraState now = State(1);
    EXPECT_EQ(now.open, 0);
    EXPECT_EQ(now.gain[1], defaults.gain[1]);
    EXPECT_EQ(now.resolutionMode, 0);
    EXPECT_EQ(now.exposureRows, defaults.exposureRows);
    EXPECT_GT(defaults.exposureRows, 0u);
}

using DeviceInfo = SimTest;

TEST_F(DeviceInfo, TwoCallProtocolForListSerialAndVersion) {
    HHV handle = Begin(1);
    int32_t size = 0;
    ASSERT_EQ(HVGetDeviceInfo(handle, HV_INFO_RESOLUTIONS, nullptr, &size), 0);
    ASSERT_EQ(size, 3 * static_cast<int32_t>(sizeof(ResolutionEntry)));
    ResolutionEntry modes[3] = {};
    ASSERT_EQ(HVGetDeviceInfo(handle, HV_INFO_RESOLUTIONS, modes, &size), 0);
    EXPECT_EQ(modes[0].width, 1280);
    EXPECT_EQ(modes[0].height, 1024);
    EXPECT_EQ(modes[2].width, 320);

    ASSERT_EQ(hvsim_set_serial(1, "KVX-TEST-42"), 0);
    ASSERT_EQ(HVGetDeviceInfo(handle, HV_INFO_SERIAL, nullptr, &size), 0);
    EXPECT_EQ(size, 12);
    char serial[256];
    std::memset(serial, 'x', sizeof serial);
    ASSERT_EQ(HVGetDeviceInfo(handle, HV_INFO_SERIAL, serial, &size), 0);
    EXPECT_STREQ(serial, "KVX-TEST-42");

    ASSERT_EQ(hvsim_set_hw_version(1, -123), 0);
    ASSERT_EQ(HVGetDeviceInfo(handle, HV_INFO_HW_VERSION, nullptr, &size), 0);
    EXPECT_EQ(size, 4);
    int32_t version = 0;
    ASSERT_EQ(HVGetDeviceInfo(handle, HV_INFO_HW_VERSION, &version, &size), 0);
    EXPECT_EQ(version, -123);
}

TEST_F(DeviceInfo, TooSmallSizeFailsAndWritesNothing) {
    HHV handle = Begin(1);
    unsigned char buffer[64];
    std::memset(buffer, 0xEE, sizeof buffer);
    for (int32_t kind : {HV_INFO_TYPE_CODE, HV_INFO_RESOLUTIONS, HV_INFO_SERIAL, HV_INFO_HW_VERSION}) {
        int32_t needed = 0;
        ASSERT_EQ(HVGetDeviceInfo(handle, kind, nullptr, &needed), 0) << kind;
        int32_t size = needed - 1;
        EXPECT_EQ(HVGetDeviceInfo(handle, kind, buffer, &size), HVSIM_STATUS_BUFFER_TOO_SMALL) << kind;
        EXPECT_EQ(size, needed - 1) << kind;
        for (unsigned char b : buffer) ASSERT_EQ(b, 0xEE) << kind;
    }
}

TEST_F(DeviceInfo, EmptyListLongSerialAndBadArguments) {
    HHV handle = Begin(1);
    ASSERT_EQ(hvsim_set_resolutions(1, nullptr, 0), 0);
    int32_t size = 99;
    ASSERT_EQ(HVGetDeviceInfo(handle, HV_INFO_RESOLUTIONS, nullptr, &size), 0);
    EXPECT_EQ(size, 0);

    const std::string longSerial(40, 'S');
    ASSERT_EQ(hvsim_set_serial(1, longSerial.c_str()), 0);
    ASSERT_EQ(HVGetDeviceInfo(handle, HV_INFO_SERIAL, nullptr, &size), 0);
    EXPECT_EQ(size, 41);

    int32_t value = 0;
    size = 4;
    EXPECT_EQ(HVGetDeviceInfo(handle, 2, &value, &size), HVSIM_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(HVGetDeviceInfo(handle, 7, nullptr, &size), HVSIM_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(HVGetDeviceInfo(handle, HV_INFO_TYPE_CODE, &value, nullptr), HVSIM_STATUS_INVALID_PARAMETER);
}

TEST_F(DeviceInfo, SvModelsCarrySerialsLongerThanThirtyBytes) {
    ASSERT_EQ(hvsim_configure("SV1410FM"), 1);
    HHV handle = Begin(1);
    int32_t size = 0;
    ASSERT_EQ(HVGetDeviceInfo(handle, HV_INFO_SERIAL, nullptr, &size), 0);
    EXPECT_GT(size, 31);
    EXPECT_LE(size, 256);
}

TEST_F(DeviceInfo, StatusQueryReturnsTheCameraStatus) {
    HHV handle = Begin(2);
    ASSERT_EQ(hvsim_set_camera_status(2, 7), 0);
    int32_t input = 2, output = -1, length = sizeof(ControlRecord);
    ControlRecord record{HV_CONTROL_STATUS_QUERY, &input, 4, &output, 4, 0};
    ASSERT_EQ(HVCommand(handle, HV_COMMAND_CONTROL, &record, &length), 0);
    EXPECT_EQ(output, 7);

    output = -1;
    int32_t wrongLength = length + 4;
    EXPECT_NE(HVCommand(handle, HV_COMMAND_CONTROL, &record, &wrongLength), 0);
    EXPECT_NE(HVCommand(handle, 255, &record, &length), 0);
    input = 3;
    EXPECT_NE(HVCommand(handle, HV_COMMAND_CONTROL, &record, &length), 0);
    input = 2;
    record.code = 15;
    EXPECT_NE(HVCommand(handle, HV_COMMAND_CONTROL, &record, &length), 0);
    EXPECT_EQ(output, -1);
    EXPECT_NE(HVCommand(0, HV_COMMAND_CONTROL, &record, &length), 0);
}

}  // namespace
