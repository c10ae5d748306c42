// Capture and lifecycle when the camera library fails or the host stops, closes or restarts
// while exports wait: buffers stay alive while the camera may write into them, every waiter
// wakes, and the library's geometry stays the camera's. Frames written into released buffers
// show up under AddressSanitizer.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "capture_support.h"

namespace korvex::test {
namespace {

using std::chrono::milliseconds;
using Strings = std::vector<std::string>;

constexpr int16_t kColour = 1;
constexpr int16_t kMono = 2;

class LifecycleFaults : public AcquisitionTest {
protected:
    void SetUp() override {
        AcquisitionTest::SetUp();
        OpenAndAllocate(2);
        width_ = SensorWidth(kMono);
    }
    // Exports the stamp rows of the mono camera; the stamp's frame number, or -1 without one.
    int32_t ExportedFrame(int16_t expectedResult = 1) {
        Destination out(static_cast<std::size_t>(width_) * HVSIM_STAMP_HEIGHT);
        EXPECT_EQ(ZqExportImageData(kMono, out.data(), width_, HVSIM_STAMP_HEIGHT, 0, 1), expectedResult);
        return Stamp(out, width_, HVSIM_STAMP_HEIGHT, 1).frame;
    }
    int16_t width_ = 0;
};

TEST_F(LifecycleFaults, AFailedStopKeepsTheBuffersTheCameraStillWritesInto) {
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    hvsim_fail(HVSIM_HVCloseSnap, -9, 1, 1);
    EXPECT_EQ(ZqStopGrab(kMono), 0);
    EXPECT_EQ(State(kMono).capturing, 1);
    EXPECT_EQ(ZqAllocateResources(), 1);  // must not release what the camera writes into
    ASSERT_EQ(hvsim_deliver_frames(kMono, 1), 1);
    EXPECT_EQ(ExportedFrame(), 0);  // the frame landed in the buffers the slot still uses
    // A stop that succeeds confirms the end: the next allocation may replace the buffers.
    EXPECT_EQ(ZqStopGrab(kMono), 1);
    EXPECT_EQ(ZqAllocateResources(), 1);
    EXPECT_EQ(ExportedFrame(), -1);  // fresh buffers hold the allocation fill
}

TEST_F(LifecycleFaults, AFailedEndAtCloseKeepsTheBuffersUntilALaterEndSucceeds) {
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    const std::vector<HvSimCall> started = TakeCalls();
    const HHV session = started.at(0).handle;
    hvsim_fail(HVSIM_EndHVDevice, -9, 2, 1);  // camera 2's end fails
    EXPECT_EQ(ZqCloseDevice(), 1);
    ASSERT_EQ(hvsim_deliver_frames(kMono, 2), 2);  // still capturing: into the kept buffers
    TakeCalls();
    EXPECT_EQ(ZqCloseDevice(), 1);  // tries the unended session again
    bool endedAgain = false;
    for (const HvSimCall& call : TakeCalls()) endedAgain |= call.op == HVSIM_EndHVDevice && call.handle == session;
    EXPECT_TRUE(endedAgain);
    EXPECT_EQ(State(kMono).capturing, 0);
}

TEST_F(LifecycleFaults, OpeningAgainStopsCaptureBeforeItForgetsTheSession) {
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    hvsim_fail(HVSIM_BeginHVDevice, -9, 2, 1);  // the re-open fails at camera 2
    EXPECT_EQ(ZqOpenDevice(2), 0);
    EXPECT_EQ(TakeMessageTexts(), Strings{"Open device error!"});
    EXPECT_EQ(ZqCloseDevice(), 1);
    EXPECT_EQ(State(kMono).capturing, 0);  // nothing writes into what close released
    EXPECT_EQ(hvsim_deliver_frames(kMono, 1), 0);
}

// Stop, close and a second start each wake an export that waits, and it writes nothing.
TEST_F(LifecycleFaults, StopCloseAndRestartWakeEveryWaiter) {
    const std::vector<std::pair<std::string, std::function<void()>>> wakers = {
        {"stop", [] { EXPECT_EQ(ZqStopGrab(kMono), 1); }},
        {"stop then close",
         [] {
             ZqStopGrab(kMono);
             ZqCloseDevice();
         }},
        {"close", [] { EXPECT_EQ(ZqCloseDevice(), 1); }},
        {"start again", [] { ZqStartGrab(kMono); }},
    };
    for (const auto& [name, wake] : wakers) {
        ASSERT_EQ(ZqOpenDevice(2), 1);
        ASSERT_EQ(ZqAllocateResources(), 1);
        ASSERT_EQ(ZqStartGrab(kMono), 1) << name;
        ZqSetTimeout(10000);
        Destination first(static_cast<std::size_t>(width_) * HVSIM_STAMP_HEIGHT);
        Destination second(first.size());
        auto one = ExportLater(kMono, first, width_, HVSIM_STAMP_HEIGHT, 0);
        auto two = ExportLater(kMono, second, width_, HVSIM_STAMP_HEIGHT, 0);
        EXPECT_TRUE(StillRunning(one, milliseconds(100))) << name;
        wake();
        ASSERT_FALSE(StillRunning(one, milliseconds(5000))) << name;
        ASSERT_FALSE(StillRunning(two, milliseconds(5000))) << name;
        EXPECT_EQ(one.get(), 0) << name;
        EXPECT_EQ(two.get(), 0) << name;
        EXPECT_TRUE(first.Untouched()) << name;
        EXPECT_TRUE(second.Untouched()) << name;
        ZqStopGrab(kMono);
        ZqCloseDevice();
    }
}

TEST_F(LifecycleFaults, NoStaleFrameEventAfterCloseAndReopen) {
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    ASSERT_EQ(ZqCloseDevice(), 1);  // without a stop
    ASSERT_EQ(ZqOpenDevice(2), 1);
    ASSERT_EQ(ZqAllocateResources(), 1);
    ZqSetTimeout(10000);
    Destination out(static_cast<std::size_t>(width_) * HVSIM_STAMP_HEIGHT);
    for (int round = 0; round < 2; ++round) {  // the first may eat close's wake-up; neither waits
        auto idle = ExportLater(kMono, out, width_, HVSIM_STAMP_HEIGHT, 0);
        ASSERT_FALSE(StillRunning(idle, milliseconds(5000))) << round;
        EXPECT_EQ(idle.get(), 1) << round;
    }
    // Started again, an export waits for a frame of the new capture, not a signal of the old.
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    ZqSetTimeout(0);
    EXPECT_EQ(ExportedFrame(-1), -1);
}

TEST_F(LifecycleFaults, ARefusedCallbackRegistrationFailsTheStartAndStartsNothing) {
    hvsim_fail(HVSIM_HVOpenSnap, -9, 1, 1);
    EXPECT_EQ(ZqStartGrab(kMono), 0);
    EXPECT_EQ(Names(TakeCalls()), Strings{"HVOpenSnap"});
    EXPECT_EQ(State(kMono).capturing, 0);
    ZqSetTimeout(-1);
    EXPECT_EQ(ExportedFrame(), -1);  // not capturing: exported at once from the allocation fill
}

TEST_F(LifecycleFaults, AllocationPutsTheCameraInTheModeTheLibraryReports) {
    ASSERT_EQ(ZqSetResolution(kColour, 1), 1);
    ASSERT_EQ(ZqAllocateResources(), 1);
    const HvSimCameraState camera = State(kColour);
    EXPECT_EQ(ZqGetImageWidth(kColour), camera.windowWidth);
    EXPECT_EQ(ZqGetImageHeight(kColour), camera.windowHeight);
    // An export at the reported size carries the camera's own stamp.
    ASSERT_EQ(ZqStartGrab(kColour), 1);
    ASSERT_EQ(hvsim_deliver_frames(kColour, 1), 1);
    const int16_t width = ZqGetImageWidth(kColour), height = ZqGetImageHeight(kColour);
    Destination out(static_cast<std::size_t>(width) * height * 4);
    ASSERT_EQ(ZqExportImageData(kColour, out.data(), width, height, 1, static_cast<int16_t>(camera.bayerLayout)), 1);
    EXPECT_EQ(Stamp(out, width, height, 4).device, kColour);
}

TEST_F(LifecycleFaults, BuffersHoldTheLargestModeWhereverTheListPutsIt) {
    const ResolutionEntry smallFirst[] = {{640, 480}, {1280, 1024}, {320, 240}};
    ASSERT_EQ(hvsim_set_resolutions(kMono, smallFirst, 3), 0);
    ASSERT_EQ(ZqAllocateResources(), 1);
    ASSERT_EQ(ZqSetResolution(kMono, 1), 1);
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    ASSERT_EQ(hvsim_deliver_frames(kMono, 1), 1);
    Destination out(1280 * 1024);
    ASSERT_EQ(ZqExportImageData(kMono, out.data(), 1280, 1024, 0, 1), 1);
    EXPECT_EQ(Stamp(out, 1280, 1024, 1).frame, 0);
    EXPECT_TRUE(out.GuardsIntact());
}

}  // namespace
}  // namespace korvex::test
