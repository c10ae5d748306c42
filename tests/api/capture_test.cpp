// Continuous capture through the exported interface, with frames delivered on demand.
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "capture_support.h"

namespace korvex::test {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr int16_t kColour = 1;  // HV1300UC in the simulator's default pair
constexpr int16_t kMono = 2;    // HV1300UM

// Returns once thread tid (of this process) is asleep, e.g. in an export's wait for a frame.
void AwaitAsleep(long tid) {
    const std::string path = "/proc/self/task/" + std::to_string(tid) + "/stat";
    for (;;) {
        std::ifstream in(path);
        std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::size_t end = stat.rfind(')');  // the state follows the parenthesised name
        if (end != std::string::npos && end + 2 < stat.size() && stat[end + 2] == 'S') return;
        std::this_thread::sleep_for(milliseconds(1));  // no event tells of it: look again, without spinning
    }
}

class CaptureTest : public AcquisitionTest {
protected:
    void SetUp() override {
        AcquisitionTest::SetUp();
        OpenAndAllocate(2);
        width_ = SensorWidth(kMono);
    }
    // Exports the stamp rows of the mono camera and decodes them.
    int16_t ExportStamp(HvSimStamp& stamp) {
        Destination out(static_cast<std::size_t>(width_) * HVSIM_STAMP_HEIGHT);
        const int16_t result = ZqExportImageData(kMono, out.data(), width_, HVSIM_STAMP_HEIGHT, 0, 1);
        stamp = Stamp(out, width_, HVSIM_STAMP_HEIGHT, 1);
        return result;
    }
    int16_t width_ = 0;
};

TEST_F(CaptureTest, StartRefusesClosedCamerasAndCamerasWithoutBuffers) {
    EXPECT_EQ(ZqStartGrab(0), 0);
    EXPECT_EQ(ZqStartGrab(11), 0);
    EXPECT_EQ(ZqStopGrab(-3), 0);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(ZqStartGrab(3), 0);  // not open
    EXPECT_EQ(ZqStopGrab(3), 0);
    EXPECT_EQ(TakeMessageTexts(), (std::vector<std::string>{"Please open device first!", "Please open device first!"}));
    EXPECT_TRUE(TakeCalls().empty());

    ASSERT_EQ(ZqCloseDevice(), 1);
    ASSERT_EQ(ZqOpenDevice(1), 1);  // open again, but no buffers
    hvsim_log_clear();
    EXPECT_EQ(ZqStartGrab(1), 0);
    EXPECT_TRUE(TakeCalls().empty());
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(CaptureTest, StartRegistersTheCallbackAndStartsIntoBothBuffers) {
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    const std::vector<HvSimCall> calls = TakeCalls();
    ASSERT_EQ(Names(calls), (std::vector<std::string>{"HVOpenSnap", "HVStartSnap"}));
    EXPECT_EQ(calls[0].args[0], 1);  // a callback
    EXPECT_EQ(calls[0].args[1], 0);  // user value 0
    EXPECT_EQ(calls[1].args[0], 1);  // the buffer array
    EXPECT_EQ(calls[1].args[1], 2);
    EXPECT_EQ(State(kMono).capturing, 1);
    EXPECT_EQ(hvsim_deliver_frames(kMono, 1), 1);

    EXPECT_EQ(ZqStopGrab(kMono), 1);
    EXPECT_EQ(Names(TakeCalls()), (std::vector<std::string>{"HVCloseSnap"}));
    EXPECT_EQ(State(kMono).capturing, 0);
}

TEST_F(CaptureTest, FailedStartKeepsTheEventSoExportsWaitTheirTimeout) {
    hvsim_fail(HVSIM_HVStartSnap, -7, 1, 1);
    EXPECT_EQ(ZqStartGrab(kMono), 0);
    ZqSetTimeout(30);
    HvSimStamp stamp{};
    const auto start = Clock::now();
    EXPECT_EQ(ExportStamp(stamp), -1);
    EXPECT_GE(Clock::now() - start, milliseconds(25));
}

TEST_F(CaptureTest, StopResultsFollowTheCameraLibraryAndTheEventGoesAnyway) {
    // Never started, started, stopped twice: each result is what HVCloseSnap reported.
    for (int round = 0; round < 3; ++round) {
        if (round == 1) {
            ASSERT_EQ(ZqStartGrab(kMono), 1);
        }
        hvsim_log_clear();
        const int16_t result = ZqStopGrab(kMono);
        const std::vector<HvSimCall> calls = TakeCalls();
        ASSERT_EQ(Names(calls), (std::vector<std::string>{"HVCloseSnap"}));
        EXPECT_EQ(result, calls[0].status == 0 ? 1 : 0) << round;
    }

    ASSERT_EQ(ZqStartGrab(kMono), 1);
    hvsim_fail(HVSIM_HVCloseSnap, -9, 1, 1);
    EXPECT_EQ(ZqStopGrab(kMono), 0);
    ZqSetTimeout(-1);  // with the event gone the export must not wait at all
    HvSimStamp stamp{};
    EXPECT_EQ(ExportStamp(stamp), 1);
}

TEST_F(CaptureTest, TimeoutZeroOnlyTestsForAFrame) {
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    EXPECT_EQ(ZqSetTimeout(0), 1);
    HvSimStamp stamp{};
    // Many exports with no frame: were 0 taken as any wait (the default is 5 s), they would outlast
    // the test's time limit. No clock is read, so a loaded machine cannot fail it.
    for (int n = 0; n < 100; ++n) ASSERT_EQ(ExportStamp(stamp), -1) << n;
    ASSERT_EQ(hvsim_deliver_frames(kMono, 1), 1);
    EXPECT_EQ(ExportStamp(stamp), 1);
    EXPECT_EQ(stamp.frame, 0);
    EXPECT_EQ(ExportStamp(stamp), -1);
}

TEST_F(CaptureTest, ShortTimeoutGivesMinusOneAndKeepsTheRecordedExport) {
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    ASSERT_EQ(hvsim_deliver_frames(kMono, 1), 1);
    HvSimStamp stamp{};
    ASSERT_EQ(ExportStamp(stamp), 1);

    ZqSetTimeout(40);
    Destination out(8 * 4);
    const auto start = Clock::now();
    EXPECT_EQ(ZqExportImageData(kMono, out.data(), 8, 4, 1, 3), -1);
    EXPECT_GE(Clock::now() - start, milliseconds(35));
    EXPECT_TRUE(out.Untouched());
}

TEST_F(CaptureTest, InfiniteTimeoutWaitsForTheNextFrame) {
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    ZqSetTimeout(-1);
    Destination out(static_cast<std::size_t>(width_) * HVSIM_STAMP_HEIGHT);
    auto result = ExportLater(kMono, out, width_, HVSIM_STAMP_HEIGHT, 0);
    EXPECT_TRUE(StillRunning(result, milliseconds(150)));
    EXPECT_TRUE(out.Untouched());
    ASSERT_EQ(hvsim_deliver_frames(kMono, 1), 1);
    EXPECT_EQ(result.get(), 1);
    EXPECT_EQ(Stamp(out, width_, HVSIM_STAMP_HEIGHT, 1).frame, 0);
}

TEST_F(CaptureTest, CloseWakesAWaitingExportWhichWritesNothing) {
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    ZqSetTimeout(-1);
    Destination out(static_cast<std::size_t>(width_) * HVSIM_STAMP_HEIGHT);
    auto result = ExportLater(kMono, out, width_, HVSIM_STAMP_HEIGHT, 0);
    EXPECT_TRUE(StillRunning(result, milliseconds(100)));
    EXPECT_EQ(ZqCloseDevice(), 1);
    ASSERT_FALSE(StillRunning(result, milliseconds(5000)));
    EXPECT_EQ(result.get(), 0);
    EXPECT_TRUE(out.Untouched());
    EXPECT_EQ(ZqExportImageData(kMono, out.data(), 8, 2, 0, 1), 0);  // no buffers any more
}

TEST_F(CaptureTest, SignalsCollapseAndTheExportTakesTheNewestBuffer) {
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    ZqSetTimeout(0);
    ASSERT_EQ(hvsim_deliver_frames(kMono, 3), 3);  // buffers 0, 1, 0
    HvSimStamp stamp{};
    ASSERT_EQ(ExportStamp(stamp), 1);
    EXPECT_EQ(stamp.device, kMono);
    EXPECT_EQ(stamp.frame, 2);
    EXPECT_EQ(stamp.bufferIndex, 0);
    EXPECT_EQ(ExportStamp(stamp), -1);  // the three signals were one

    ASSERT_EQ(hvsim_deliver_frames(kMono, 1), 1);
    ASSERT_EQ(ExportStamp(stamp), 1);
    EXPECT_EQ(stamp.frame, 3);
    EXPECT_EQ(stamp.bufferIndex, 1);
}

TEST_F(CaptureTest, FramesOfOneCameraDoNotWakeAnother) {
    ASSERT_EQ(ZqStartGrab(kColour), 1);
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    ZqSetTimeout(-1);
    Destination out(static_cast<std::size_t>(width_) * HVSIM_STAMP_HEIGHT);
    auto waiting = ExportLater(kMono, out, width_, HVSIM_STAMP_HEIGHT, 0);
    ASSERT_EQ(hvsim_deliver_frames(kColour, 2), 2);
    EXPECT_TRUE(StillRunning(waiting, milliseconds(150)));
    ASSERT_EQ(hvsim_deliver_frames(kMono, 1), 1);
    EXPECT_EQ(waiting.get(), 1);
    EXPECT_EQ(Stamp(out, width_, HVSIM_STAMP_HEIGHT, 1).device, kMono);

    ZqSetTimeout(0);
    Destination colour(8 * 2 * 4);
    EXPECT_EQ(ZqExportImageData(kColour, colour.data(), 8, 2, 1, 1), 1);  // its own two frames
    EXPECT_EQ(ZqExportImageData(kColour, colour.data(), 8, 2, 1, 1), -1);
}

TEST_F(CaptureTest, IdleCameraExportsAtOnceFromTheAllocationFill) {
    ZqSetTimeout(-1);
    Destination out(8 * 2);
    ASSERT_EQ(ZqExportImageData(kMono, out.data(), 8, 2, 0, 1), 1);
    for (std::size_t i = 0; i < out.size(); ++i) EXPECT_EQ(out[i], 128) << i;
    EXPECT_TRUE(out.GuardsIntact());
}

TEST_F(CaptureTest, SecondStartReplacesTheEventAndCaptureGoesOn) {
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    EXPECT_EQ(ZqStartGrab(kMono), 0);  // the camera library refuses a second start
    EXPECT_EQ(State(kMono).capturing, 1);
    ZqSetTimeout(2000);
    ASSERT_EQ(hvsim_deliver_frames(kMono, 1), 1);
    HvSimStamp stamp{};
    EXPECT_EQ(ExportStamp(stamp), 1);  // the live event is the new one
    EXPECT_EQ(stamp.frame, 0);
    EXPECT_EQ(ZqStopGrab(kMono), 1);
}

TEST_F(CaptureTest, StopDuringFreeRunningCapture) {
    hvsim_set_manual_frames(0);
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    ZqSetTimeout(5000);
    HvSimStamp first{};
    HvSimStamp second{};
    ASSERT_EQ(ExportStamp(first), 1);
    ASSERT_EQ(ExportStamp(second), 1);
    EXPECT_GT(second.frame, first.frame);
    EXPECT_EQ(ZqStopGrab(kMono), 1);
    EXPECT_EQ(State(kMono).capturing, 0);
    const int64_t delivered = State(kMono).framesDelivered;
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_EQ(State(kMono).framesDelivered, delivered);
    HvSimStamp after{};
    EXPECT_EQ(ExportStamp(after), 1);  // idle again: no wait, the newest buffer
    EXPECT_GE(after.frame, second.frame);
}

TEST_F(CaptureTest, AnExportKeepsTheFormatItBeganWith) {
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    ZqSetTimeout(-1);
    ZqEnableCross(0, 0);
    ZqSetCrossPara(0, 0, 0, 8, 8, 2);
    const std::size_t pixels = static_cast<std::size_t>(width_) * HVSIM_STAMP_HEIGHT;
    Destination out(pixels * 4);  // room for B,G,R,0, so that a wrong format shows without harm
    std::atomic<long> tid{0};
    int16_t result = 0;
    std::thread exporter([&] {
        tid.store(syscall(SYS_gettid));
        tid.notify_one();
        result = ZqExportImageData(kMono, out.data(), width_, HVSIM_STAMP_HEIGHT, 0, 1);
    });
    tid.wait(0);
    AwaitAsleep(tid.load());
    ZqEnableCross(0, 1);  // while the grey export waits: it stays grey, one byte a pixel
    const int32_t delivered = hvsim_deliver_frames(kMono, 1);
    exporter.join();
    ZqEnableCross(0, 0);
    ASSERT_EQ(delivered, 1);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Stamp(out, width_, HVSIM_STAMP_HEIGHT, 1).frame, 0);
    std::size_t beyond = 0;
    for (std::size_t i = pixels; i < pixels * 4; ++i) beyond += out[i] != Destination::kFill ? 1 : 0;
    EXPECT_EQ(beyond, 0u);
}

}  // namespace
}  // namespace korvex::test
