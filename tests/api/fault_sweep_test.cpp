// Fault-injection sweep: every camera-library call of every exported function that makes one
// fails in turn, with a camera capturing and one idle. After each failure a health check gives
// whatever capture survived frames to write (AddressSanitizer catches a write into released
// buffers; LeakSanitizer a buffer lost), reallocates, closes, opens again and exports a frame
// whose stamp is the camera's newest. Functions that make no camera-library call (export,
// white balance, tables, gamma, cross-hair, timeout) have nothing to fail here.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "capture_support.h"

namespace korvex::test {
namespace {

constexpr int16_t kIdle = 1;     // colour camera, allocated, not capturing
constexpr int16_t kRunning = 2;  // mono camera, capturing
constexpr int32_t kStatus = -77;

struct Scenario {
    std::string name;
    std::function<void()> call;
};

// gtest prints a parameter in test names and failures; the scenario's name says it all.
void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

uint8_t scratch[64 * 16 * 4];  // destination of the grab and the identification getters

std::vector<Scenario> Scenarios() {
    return {
        {"OpenDevice", [] { ZqOpenDevice(2); }},
        {"AllocateResources", [] { ZqAllocateResources(); }},
        {"CloseDevice", [] { ZqCloseDevice(); }},
        {"RestatRunning", [] { ZqRestatDevice(kRunning); }},
        {"RestatIdle", [] { ZqRestatDevice(kIdle); }},
        {"GetDeviceTotal", [] { ZqGetDeviceTotal(); }},
        {"StartGrab", [] { ZqStartGrab(kIdle); }},
        {"StartGrabAgain", [] { ZqStartGrab(kRunning); }},
        {"StopGrab", [] { ZqStopGrab(kRunning); }},
        {"GrabSingle", [] { ZqGrabSingle(kIdle, scratch, 64, 16, 1, 1); }},
        {"SetShutter", [] { ZqSetShutter(kRunning, 1, 10); }},
        {"SetResolution", [] { ZqSetResolution(kRunning, 1); }},
        {"SetAOI", [] { ZqSetAOI(kRunning, 0, 0, 640, 480); }},
        {"GetImageWidth", [] { ZqGetImageWidth(kRunning); }},
        {"GetImageHeight", [] { ZqGetImageHeight(kRunning); }},
        {"SetGain", [] { ZqSetGain(kRunning, 0, 20); }},
        {"SetChannelGain", [] { ZqSetChannelGain(kRunning, 1, 20); }},
        {"SetADCLevel", [] { ZqSetADCLevel(kRunning, 2); }},
        {"EnableADC", [] { ZqEnableADC(kRunning, 1); }},
        {"SetADCValue", [] { ZqSetADCValue(kRunning, 10); }},
        {"SetBlanking", [] { ZqSetBlanking(kRunning, 10, 10); }},
        {"SetSnapMode", [] { ZqSetSnapMode(kRunning, 1); }},
        {"SetSnapSpeed", [] { ZqSetSnapSpeed(kRunning, 1); }},
        {"SetTriggerPolarity", [] { ZqSetTriggerPolarity(kRunning, 1); }},
        {"SetStrobePolarity", [] { ZqSetStrobePolarity(kRunning, 1); }},
        {"TriggerShot", [] { ZqTriggerShot(kRunning); }},
        {"SetTrigerShot", [] { ZqSetTrigerShot(kRunning); }},
        {"GetDeviceType", [] { ZqGetDeviceType(kRunning, scratch); }},
        {"GetDeviceSeriesNum", [] { ZqGetDeviceSeriesNum(kRunning, scratch); }},
        {"GetHardwareVersion", [] { ZqGetHardwareVersion(kRunning, scratch); }},
        {"GetLastStatus", [] { ZqGetLastStatus(kRunning); }},
    };
}

class FaultSweep : public AcquisitionTest, public ::testing::WithParamInterface<Scenario> {
protected:
    // Two cameras open and allocated, the second capturing with one frame delivered.
    void Arrange() {
        ZqCloseDevice();
        hvsim_reset();
        hvsim_set_manual_frames(1);
        ASSERT_EQ(ZqOpenDevice(2), 1);
        ASSERT_EQ(ZqAllocateResources(), 1);
        ASSERT_EQ(ZqStartGrab(kRunning), 1);
        ASSERT_EQ(hvsim_deliver_frames(kRunning, 1), 1);
        TakeMessages();
        hvsim_log_clear();
    }

    void CheckHealth(const std::string& what) {
        SCOPED_TRACE(what);
        hvsim_clear_faults();
        ZqAllocateResources();
        // Whatever still captures writes into the buffers it was given.
        for (int16_t k = 1; k <= 2; ++k) hvsim_deliver_frames(k, 2);
        ZqCloseDevice();
        for (int16_t k = 1; k <= 2; ++k) hvsim_deliver_frames(k, 1);

        ASSERT_EQ(ZqOpenDevice(2), 1);
        ASSERT_EQ(ZqAllocateResources(), 1);
        ASSERT_EQ(ZqStartGrab(kRunning), 1);
        ASSERT_EQ(hvsim_deliver_frames(kRunning, 1), 1);
        ZqSetTimeout(2000);
        const int16_t width = SensorWidth(kRunning);
        Destination out(static_cast<std::size_t>(width) * HVSIM_STAMP_HEIGHT);
        ASSERT_EQ(ZqExportImageData(kRunning, out.data(), width, HVSIM_STAMP_HEIGHT, 0, 1), 1);
        const HvSimStamp stamp = Stamp(out, width, HVSIM_STAMP_HEIGHT, 1);
        EXPECT_EQ(stamp.device, kRunning);
        EXPECT_EQ(stamp.frame, State(kRunning).framesDelivered - 1);
        EXPECT_EQ(ZqStopGrab(kRunning), 1);
        EXPECT_EQ(ZqCloseDevice(), 1);
        TakeMessages();
    }
};

TEST_P(FaultSweep, EachCameraCallFailsInTurnAndTheCamerasStayHealthy) {
    const Scenario& scenario = GetParam();
    Arrange();
    scenario.call();
    const std::vector<HvSimCall> calls = TakeCalls();
    ASSERT_FALSE(calls.empty()) << "no camera call to fail";
    for (std::size_t i = 0; i < calls.size(); ++i) {
        // The failing call is the n-th call of its operation within the function.
        int32_t nth = 0;
        for (std::size_t j = 0; j <= i; ++j) nth += calls[j].op == calls[i].op;
        Arrange();
        hvsim_fail(calls[i].op, kStatus, nth, 1);
        scenario.call();
        CheckHealth(scenario.name + ": call " + std::to_string(i + 1) + " " + hvsim_op_name(calls[i].op) + " fails");
    }
    RecordProperty("FailedCalls", static_cast<int>(calls.size()));
}

INSTANTIATE_TEST_SUITE_P(EveryFunction, FaultSweep, ::testing::ValuesIn(Scenarios()),
                         [](const ::testing::TestParamInfo<Scenario>& param) { return param.param.name; });

}  // namespace
}  // namespace korvex::test
