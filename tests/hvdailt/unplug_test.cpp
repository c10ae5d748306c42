// Cameras unplugged and plugged back in: no frames and failing calls after the pull, the two calls
// that let a host release its buffers, and a fresh session after the replug.
#include <thread>

#include "sim_fixture.h"

namespace {

struct Buffers {
    explicit Buffers(size_t bytes) : a(bytes, 0), b(bytes, 0) {}
    std::vector<uint8_t> a, b;
    uint8_t* pointers[2] = {a.data(), b.data()};
};

constexpr size_t kFullFrame = 1280 * 1024;

class Unplug : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        CallbackRecorder::Clear();
        hvsim_set_manual_frames(1);
    }
    static HHV StartCapture(int32_t device, Buffers& buffers) {
        const HHV handle = Begin(device);
        EXPECT_EQ(HVOpenSnap(handle, CallbackRecorder::Callback, nullptr), 0);
        EXPECT_EQ(HVStartSnap(handle, buffers.pointers, 2), 0);
        return handle;
    }
};

TEST_F(Unplug, PulledCameraFailsEveryCallUntilEndedAndComesBackFreshAfterReplug) {
    Buffers buffers(kFullFrame);
    const HHV handle = StartCapture(1, buffers);
    ASSERT_EQ(HVSetOutputWindow(handle, 0, 0, 640, 480), 0);
    ASSERT_EQ(hvsim_deliver_frames(1, 2), 2);
    ASSERT_EQ(hvsim_unplug(1), 0);
    EXPECT_EQ(hvsim_deliver_frames(1, 3), 0);
    EXPECT_EQ(CallbackRecorder::count, 2);

    int32_t value = 0, size = 4;
    uint8_t* one[1] = {buffers.a.data()};
    ControlRecord record{};
    int32_t length = sizeof record;
    const struct {
        const char* call;
        HVSTATUS status;
    } calls[] = {
        {"HVGetDeviceInfo", HVGetDeviceInfo(handle, HV_INFO_TYPE_CODE, &value, &size)},
        {"HVSetResolution", HVSetResolution(handle, 0)},
        {"HVSetOutputWindow", HVSetOutputWindow(handle, 0, 0, 64, 16)},
        {"HVSetSnapMode", HVSetSnapMode(handle, 1)},
        {"HVAGCControl", HVAGCControl(handle, 16, 20)},
        {"HVAECControl", HVAECControl(handle, 1, 100)},
        {"HVADCControl", HVADCControl(handle, 0, 1)},
        {"HVOpenSnap", HVOpenSnap(handle, CallbackRecorder::Callback, nullptr)},
        {"HVStartSnap", HVStartSnap(handle, buffers.pointers, 2)},
        {"HVSnapShot", HVSnapShot(handle, one, 1)},
        {"HVTriggerShot", HVTriggerShot(handle)},
        {"HVSetTriggerPolarity", HVSetTriggerPolarity(handle, 1)},
        {"HVSetStrobePolarity", HVSetStrobePolarity(handle, 1)},
        {"HVSetSnapSpeed", HVSetSnapSpeed(handle, 1)},
        {"HVSetBlanking", HVSetBlanking(handle, 1, 1)},
        {"HVCommand", HVCommand(handle, HV_COMMAND_CONTROL, &record, &length)},
    };
    for (const auto& c : calls) EXPECT_EQ(c.status, HVSIM_STATUS_UNPLUGGED) << c.call;
    EXPECT_EQ(value, 0);  // nothing written through a failing call

    // Stop fails but the capture thread is gone; end succeeds: the buffers are the host's again.
    EXPECT_EQ(HVCloseSnap(handle), HVSIM_STATUS_UNPLUGGED);
    EXPECT_EQ(State(1).capturing, 0);
    EXPECT_EQ(EndHVDevice(handle), 0);
    EXPECT_EQ(CallbackRecorder::count, 2);
    HHV next = 0;
    EXPECT_EQ(BeginHVDevice(1, &next), HVSIM_STATUS_UNPLUGGED);
    EXPECT_EQ(next, 0u);

    ASSERT_EQ(hvsim_replug(1), 0);
    const HHV fresh = StartCapture(1, buffers);
    EXPECT_NE(fresh, handle);
    EXPECT_EQ(HVSetResolution(handle, 0), HVSIM_STATUS_INVALID_HANDLE);
    EXPECT_EQ(State(1).windowWidth, 1280);  // power cycled: default settings
    ASSERT_EQ(hvsim_deliver_frames(1, 1), 1);
    EXPECT_EQ(CallbackRecorder::count, 3);
    EXPECT_EQ(HVCloseSnap(fresh), 0);
    EXPECT_EQ(EndHVDevice(fresh), 0);
}

TEST_F(Unplug, EndAfterAPullStopsFreeRunningCaptureWithNoLaterCallback) {
    hvsim_set_manual_frames(0);
    Buffers buffers(kFullFrame);
    const HHV handle = Begin(1);
    ASSERT_EQ(HVSetOutputWindow(handle, 0, 0, 96, 32), 0);
    ASSERT_EQ(HVAECControl(handle, 1, 1), 0);
    ASSERT_EQ(HVOpenSnap(handle, CallbackRecorder::Callback, nullptr), 0);
    ASSERT_EQ(HVStartSnap(handle, buffers.pointers, 2), 0);
    CallbackRecorder::AwaitCount(3);
    ASSERT_EQ(hvsim_unplug(1), 0);
    const int pulledAt = CallbackRecorder::count;
    std::this_thread::yield();
    EXPECT_EQ(CallbackRecorder::count, pulledAt);
    EXPECT_EQ(State(1).framesDelivered, pulledAt);
    EXPECT_EQ(EndHVDevice(handle), 0);
    CallbackRecorder::closed = true;
    EXPECT_EQ(CallbackRecorder::afterClose, 0);
    EXPECT_EQ(State(1).open, 0);
}

TEST_F(Unplug, SnapshotWaitingForItsFrameFailsWhenPulled) {
    hvsim_set_manual_frames(0);
    Buffers buffers(kFullFrame);
    const HHV handle = Begin(1);
    ASSERT_EQ(HVAECControl(handle, 1, 16383), 0);  // about a second of exposure
    HVSTATUS shot = 0;
    std::thread snapshot([&] {
        uint8_t* one[1] = {buffers.a.data()};
        shot = HVSnapShot(handle, one, 1);
    });
    ASSERT_EQ(hvsim_unplug(1), 0);
    snapshot.join();
    EXPECT_EQ(shot, HVSIM_STATUS_UNPLUGGED);
    EXPECT_EQ(EndHVDevice(handle), 0);
}

TEST_F(Unplug, TheCameraListUnplugsAtAFrameOrATime) {
    ASSERT_EQ(hvsim_configure("HV1300UC@unplug=3frames,HV1300UM@unplug=0ms"), 2) << hvsim_configuration_error();
    Buffers first(kFullFrame), second(kFullFrame);
    const HHV handle = StartCapture(1, first);
    EXPECT_EQ(hvsim_deliver_frames(1, 5), 3);  // frames 0..2, then the pull in place of frame 3
    EXPECT_EQ(HVSetSnapMode(handle, 0), HVSIM_STATUS_UNPLUGGED);
    EXPECT_EQ(EndHVDevice(handle), 0);

    const HHV other = StartCapture(2, second);
    EXPECT_EQ(hvsim_deliver_frames(2, 1), 0);  // pulled as capture began
    EXPECT_EQ(HVTriggerShot(other), HVSIM_STATUS_UNPLUGGED);
    EXPECT_EQ(EndHVDevice(other), 0);
    EXPECT_EQ(CallbackRecorder::count, 3);

    // Once per configuration: after a replug the camera stays in.
    ASSERT_EQ(hvsim_replug(1), 0);
    const HHV again = StartCapture(1, first);
    EXPECT_EQ(hvsim_deliver_frames(1, 2), 2);
    EXPECT_EQ(EndHVDevice(again), 0);
}

}  // namespace
