// Continuous capture, manual frames, snapshots, triggers, stopping and frame timing.
#include <chrono>
#include <thread>

#include "sim_fixture.h"

namespace {

using namespace std::chrono_literals;

struct Buffers {
    explicit Buffers(size_t bytes) : a(bytes, 0xCD), b(bytes, 0xCD) {}
    std::vector<uint8_t> a, b;
    uint8_t* pointers[2] = {a.data(), b.data()};
};

std::atomic<int> slowCallbackMs{0};

int32_t KX_CALL SlowCallback(SnapInfo* info) {
    if (slowCallbackMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(slowCallbackMs.load()));
    return CallbackRecorder::Callback(info);
}

// How long a wait for frames may take before the test counts them as never coming: far beyond any
// load, so that only a camera that stopped delivering fails.
constexpr auto kHangGuard = 60s;

bool WaitForCount(int target, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (CallbackRecorder::count < target) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

HvSimStamp StampOf(const std::vector<uint8_t>& frame, int32_t width, int32_t height) {
    HvSimStamp stamp{-1, -1, -1};
    EXPECT_EQ(hvsim_decode_stamp(frame.data(), width, height, 1, &stamp), 0);
    return stamp;
}

class Capture : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        CallbackRecorder::Clear();
        slowCallbackMs = 0;
    }
    // Device 1 open, with a small fast window: 1 ms frames.
    HHV OpenFast(Buffers& buffers, void* userValue = nullptr) {
        HHV handle = Begin(1);
        EXPECT_EQ(HVSetOutputWindow(handle, 0, 0, 96, 32), 0);
        EXPECT_EQ(HVAECControl(handle, 1, 1), 0);
        EXPECT_EQ(HVOpenSnap(handle, SlowCallback, userValue), 0);
        EXPECT_EQ(HVStartSnap(handle, buffers.pointers, 2), 0);
        return handle;
    }
};

TEST_F(Capture, FramesAlternateBetweenBuffersWithFullSnapInfo) {
    hvsim_set_manual_frames(1);
    Buffers buffers(1280 * 1024);
    HHV handle = Begin(1);
    ASSERT_EQ(HVOpenSnap(handle, CallbackRecorder::Callback, reinterpret_cast<void*>(42)), 0);
    ASSERT_EQ(HVStartSnap(handle, buffers.pointers, 2), 0);
    EXPECT_EQ(State(1).capturing, 1);
    ASSERT_EQ(hvsim_deliver_frames(1, 3), 3);
    ASSERT_EQ(hvsim_deliver_frames(1, 2), 2);
    ASSERT_EQ(CallbackRecorder::count, 5);
    for (int i = 0; i < 5; ++i) {
        const SnapInfo& info = CallbackRecorder::infos[i];
        EXPECT_EQ(info.handle, handle);
        EXPECT_EQ(info.device, 1);
        EXPECT_EQ(info.bufferIndex, i % 2);
        EXPECT_EQ(info.userValue, 42);
    }
    const HvSimStamp last = StampOf(buffers.a, 1280, 1024), previous = StampOf(buffers.b, 1280, 1024);
    EXPECT_EQ(last.frame, 4);
    EXPECT_EQ(last.bufferIndex, 0);
    EXPECT_EQ(previous.frame, 3);
    EXPECT_EQ(previous.bufferIndex, 1);
    EXPECT_EQ(last.device, 1);
    EXPECT_EQ(State(1).framesDelivered, 5);
    EXPECT_EQ(HVStartSnap(handle, buffers.pointers, 2), HVSIM_STATUS_BAD_STATE);
}

TEST_F(Capture, ManualModeMakesNoFramesOfItsOwn) {
    hvsim_set_manual_frames(1);
    Buffers buffers(96 * 32);
    HHV handle = OpenFast(buffers);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(CallbackRecorder::count, 0);
    EXPECT_EQ(hvsim_deliver_frames(1, 1), 1);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(CallbackRecorder::count, 1);
    EXPECT_EQ(hvsim_deliver_frames(2, 1), 0);  // not capturing
    EXPECT_EQ(hvsim_deliver_frames(9, 1), 0);
    ASSERT_EQ(HVCloseSnap(handle), 0);
    EXPECT_EQ(hvsim_deliver_frames(1, 1), 0);
}

TEST_F(Capture, CloseSnapReturnsOnlyAfterTheLastCallback) {
    Buffers buffers(96 * 32);
    slowCallbackMs = 15;
    HHV handle = OpenFast(buffers);
    ASSERT_TRUE(WaitForCount(2, kHangGuard));
    ASSERT_EQ(HVCloseSnap(handle), 0);
    const int atReturn = CallbackRecorder::count;
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(CallbackRecorder::count, atReturn);
    EXPECT_EQ(State(1).capturing, 0);
    EXPECT_EQ(HVCloseSnap(handle), 0);  // closing an idle camera is harmless
}

TEST_F(Capture, EndDeviceStopsCaptureFirst) {
    Buffers buffers(96 * 32);
    slowCallbackMs = 10;
    HHV handle = OpenFast(buffers);
    ASSERT_TRUE(WaitForCount(1, kHangGuard));
    ASSERT_EQ(EndHVDevice(handle), 0);
    const int atReturn = CallbackRecorder::count;
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(CallbackRecorder::count, atReturn);
    EXPECT_EQ(State(1).open, 0);
}

TEST_F(Capture, RepeatedStartAndStopRacingFastFrames) {
    Buffers buffers(96 * 32);
    HHV handle = OpenFast(buffers);
    for (int round = 0; round < 20; ++round) {
        std::this_thread::sleep_for(2ms);
        ASSERT_EQ(HVCloseSnap(handle), 0);
        ASSERT_EQ(HVOpenSnap(handle, SlowCallback, nullptr), 0);
        ASSERT_EQ(HVStartSnap(handle, buffers.pointers, 2), 0);
    }
    hvsim_reset();  // stops the capture as well
    const int atReset = CallbackRecorder::count;
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(CallbackRecorder::count, atReset);
}

std::atomic<HVSTATUS> closeFromCallback{0};
std::atomic<int> selfStopCalls{0};

int32_t KX_CALL ClosingCallback(SnapInfo* info) {
    if (selfStopCalls++ == 0) {
        closeFromCallback = HVCloseSnap(info->handle);
        hvsim_reset();  // must not wait for this very callback either
    }
    return 1;
}

TEST_F(Capture, StopCallsFromTheCallbackItselfDoNotDeadlock) {
    selfStopCalls = 0;
    closeFromCallback = 0;
    hvsim_set_manual_frames(1);
    Buffers buffers(1280 * 1024);
    HHV handle = Begin(1);
    ASSERT_EQ(HVOpenSnap(handle, ClosingCallback, nullptr), 0);
    ASSERT_EQ(HVStartSnap(handle, buffers.pointers, 2), 0);
    EXPECT_EQ(hvsim_deliver_frames(1, 3), 1);  // the reset ended the capture after the first
    EXPECT_EQ(closeFromCallback, HVSIM_STATUS_BAD_STATE);
    EXPECT_EQ(selfStopCalls, 1);
    EXPECT_EQ(State(1).open, 0);
}

TEST_F(Capture, SnapShotFillsTheFirstBufferWithoutCallback) {
    hvsim_set_manual_frames(1);
    Buffers buffers(640 * 512);
    HHV handle = Begin(2);
    ASSERT_EQ(HVOpenSnap(handle, CallbackRecorder::Callback, nullptr), 0);
    ASSERT_EQ(HVSetResolution(handle, 1), 0);
    ASSERT_EQ(HVSnapShot(handle, buffers.pointers, 1), 0);
    const HvSimStamp stamp = StampOf(buffers.a, 640, 512);
    EXPECT_EQ(stamp.device, 2);
    EXPECT_EQ(stamp.bufferIndex, 0);
    EXPECT_EQ(stamp.frame, 0);
    EXPECT_EQ(buffers.b[0], 0xCD);
    EXPECT_EQ(CallbackRecorder::count, 0);
    ASSERT_EQ(HVSnapShot(handle, buffers.pointers, 1), 0);
    EXPECT_EQ(StampOf(buffers.a, 640, 512).frame, 1);
}

TEST_F(Capture, TriggerReleasesExactlyOneFrame) {
    Buffers buffers(96 * 32);
    HHV handle = Begin(1);
    ASSERT_EQ(HVSetOutputWindow(handle, 0, 0, 96, 32), 0);
    ASSERT_EQ(HVAECControl(handle, 1, 1), 0);
    EXPECT_EQ(HVTriggerShot(handle), HVSIM_STATUS_BAD_STATE);  // not capturing
    ASSERT_EQ(HVSetSnapMode(handle, 1), 0);
    ASSERT_EQ(HVOpenSnap(handle, CallbackRecorder::Callback, nullptr), 0);
    ASSERT_EQ(HVStartSnap(handle, buffers.pointers, 2), 0);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(CallbackRecorder::count, 0);
    ASSERT_EQ(HVTriggerShot(handle), 0);
    ASSERT_TRUE(WaitForCount(1, kHangGuard));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(CallbackRecorder::count, 1);
    ASSERT_EQ(HVSetSnapMode(handle, 0), 0);
    EXPECT_EQ(HVTriggerShot(handle), HVSIM_STATUS_BAD_STATE);  // free-running
}

TEST_F(Capture, FramesTakeTheWindowSize) {
    hvsim_set_manual_frames(1);
    Buffers buffers(1280 * 1024);
    HHV handle = Begin(1);
    ASSERT_EQ(HVSetResolution(handle, 1), 0);
    ASSERT_EQ(HVSetOutputWindow(handle, 10, 20, 100, 60), 0);
    ASSERT_EQ(HVOpenSnap(handle, CallbackRecorder::Callback, nullptr), 0);
    ASSERT_EQ(HVStartSnap(handle, buffers.pointers, 2), 0);
    ASSERT_EQ(hvsim_deliver_frames(1, 1), 1);
    EXPECT_EQ(StampOf(buffers.a, 100, 60).device, 1);
    EXPECT_NE(buffers.a[100 * 60 - 1], 0xCD);
    for (size_t i = 100 * 60; i < buffers.a.size(); i += 997) ASSERT_EQ(buffers.a[i], 0xCD) << i;
}

TEST_F(Capture, FrameIntervalFollowsReadoutAndExposure) {
    ASSERT_EQ(hvsim_configure("HV1300UC,HV3000UC,HV2000UC,SV400FM"), 4);
    // Readout: rows x row length at 24 MHz.
    EXPECT_EQ(hvsim_frame_interval_us(1), 1024 * (1280 + 244) / 24);
    EXPECT_EQ(hvsim_frame_interval_us(2), 1536 * (2048 + 511) / 24);
    EXPECT_EQ(hvsim_frame_interval_us(3), 1200 * (1600 + 358) / 24);
    EXPECT_EQ(hvsim_frame_interval_us(4), 582 * (782 + 300) / 24);
    EXPECT_EQ(hvsim_frame_interval_us(5), -1);
    HHV hv30 = Begin(2);
    ASSERT_EQ(HVSetResolution(hv30, 1), 0);  // mode 1 reads longer rows
    EXPECT_EQ(hvsim_frame_interval_us(2), 768 * (1024 + 837) / 24);
    // Exposure longer than the readout.
    HHV hv13 = Begin(1);
    ASSERT_EQ(HVAECControl(hv13, 1, 2000), 0);
    EXPECT_EQ(hvsim_frame_interval_us(1), int64_t{2000} * 1524 / 24);
    HHV sv = Begin(4);
    ASSERT_EQ(HVAECControl(sv, 3, 2), 0);
    ASSERT_EQ(HVAECControl(sv, 2, 1), 0);
    EXPECT_EQ(hvsim_frame_interval_us(4), 1000000);
    // Blanking lengthens rows and adds rows.
    ASSERT_EQ(HVAECControl(hv13, 1, 1), 0);
    ASSERT_EQ(HVSetBlanking(hv13, 100, 10), 0);
    EXPECT_EQ(hvsim_frame_interval_us(1), (1024 + 10) * (1280 + 244 + 100) / 24);
}

// The third frame never comes before three readout intervals have passed since the start: an
// order that a loaded machine cannot change (it can only make frames later). How close to the
// readout pace frames come is a matter of speed, for a benchmark.
TEST_F(Capture, FullSensorFramesComeNoFasterThanTheReadout) {
    ASSERT_EQ(hvsim_configure("HV3000UC"), 1);
    Buffers buffers(2048 * 1536);
    HHV handle = Begin(1);
    ASSERT_EQ(HVOpenSnap(handle, CallbackRecorder::Callback, nullptr), 0);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(HVStartSnap(handle, buffers.pointers, 2), 0);
    ASSERT_TRUE(WaitForCount(3, kHangGuard));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(HVCloseSnap(handle), 0);
    EXPECT_GE(elapsed, std::chrono::microseconds(3 * hvsim_frame_interval_us(1)));  // ~0.49 s
}

}  // namespace
