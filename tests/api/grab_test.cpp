// Single-frame grab and how it differs from an export.
#include "capture_support.h"

namespace korvex::test {
namespace {

constexpr int16_t kColour = 1;
constexpr int16_t kMono = 2;

class GrabTest : public AcquisitionTest {
protected:
    void SetUp() override {
        AcquisitionTest::SetUp();
        OpenAndAllocate(2);
        width_ = SensorWidth(kMono);
    }
    int16_t width_ = 0;
};

TEST_F(GrabTest, RefusalsMakeNoCameraCall) {
    Destination out(64);
    EXPECT_EQ(ZqGrabSingle(3, out.data(), 2, 2, 0, 1), 0);
    EXPECT_EQ(TakeMessageTexts(), std::vector<std::string>{"Please open device first!"});
    EXPECT_EQ(ZqGrabSingle(0, out.data(), 2, 2, 0, 1), 0);
    EXPECT_EQ(ZqGrabSingle(kMono, out.data(), -2, 2, 0, 1), 0);
    EXPECT_EQ(ZqGrabSingle(kMono, nullptr, 2, 2, 0, 1), 0);
    EXPECT_EQ(ZqGrabSingle(kMono, out.data(), width_, static_cast<int16_t>(SensorHeight(kMono) + 1), 0, 1), 0);
    EXPECT_TRUE(TakeCalls().empty());
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_TRUE(out.Untouched());
}

TEST_F(GrabTest, GrabNeverDrawsTheCrossAndWritesOnlyItsPixels) {
    ZqEnableCross(0, 1);
    ZqSetCrossPara(0, 0, 0, 8, 2, 2);  // would cover every pixel of an 8x2 export
    Destination grey(16);
    ASSERT_EQ(ZqGrabSingle(kMono, grey.data(), 8, 2, 0, 1), 1);
    EXPECT_EQ(grey.FirstWritten(), 0u);
    EXPECT_TRUE(grey.GuardsIntact());
    Destination colour(64);
    ASSERT_EQ(ZqGrabSingle(kColour, colour.data(), 8, 2, 1, 1), 1);
    EXPECT_TRUE(colour.GuardsIntact());
    int red = 0;
    for (std::size_t p = 0; p < 16; ++p) {
        EXPECT_EQ(colour[4 * p + 3], 0);
        red += colour[4 * p] == 0 && colour[4 * p + 1] == 0 && colour[4 * p + 2] == 255;
    }
    EXPECT_LT(red, 16);
    const std::vector<HvSimCall> calls = TakeCalls();
    ASSERT_EQ(Names(calls), (std::vector<std::string>{"HVSnapShot", "HVSnapShot"}));
    EXPECT_EQ(calls[0].args[1], 1);
}

TEST_F(GrabTest, ColourGrabWithALayoutOutsideOneToFourIsRefused) {
    // The converter knows only layouts 1..4, so a colour grab with any other code would deliver
    // an earlier picture: it is refused before the snap, with nothing written. Grey needs no layout.
    for (const int16_t layout : {int16_t{7}, int16_t{0}, int16_t{-1}}) {
        Destination refused(8 * 2 * 4);
        EXPECT_EQ(ZqGrabSingle(kColour, refused.data(), 8, 2, 1, layout), 0) << layout;
        EXPECT_TRUE(refused.Untouched()) << layout;
    }
    EXPECT_TRUE(TakeCalls().empty());
    Destination grey(8 * 2);
    EXPECT_EQ(ZqGrabSingle(kMono, grey.data(), 8, 2, 0, 7), 1);

    // An export clamps the same code to 1 instead.
    Destination grabbed(8 * 2 * 4);
    ASSERT_EQ(ZqGrabSingle(kColour, grabbed.data(), 8, 2, 1, 1), 1);
    Destination exported(8 * 2 * 4);
    ASSERT_EQ(ZqExportImageData(kColour, exported.data(), 8, 2, 1, 7), 1);
    EXPECT_TRUE(std::equal(grabbed.data(), grabbed.data() + grabbed.size(), exported.data()));
}

TEST_F(GrabTest, FailedSnapStillDeliversTheFirstBuffer) {
    Destination first(static_cast<std::size_t>(width_) * HVSIM_STAMP_HEIGHT);
    ASSERT_EQ(ZqGrabSingle(kMono, first.data(), width_, HVSIM_STAMP_HEIGHT, 0, 1), 1);
    hvsim_fail(HVSIM_HVSnapShot, -4, 1, 1);
    Destination again(first.size());
    EXPECT_EQ(ZqGrabSingle(kMono, again.data(), width_, HVSIM_STAMP_HEIGHT, 0, 1), 0);
    EXPECT_TRUE(std::equal(first.data(), first.data() + first.size() + Destination::kGuardBytes, again.data()));
}

TEST_F(GrabTest, IdleExportDeliversTheGrabbedFrameAgain) {
    Destination grabbed(static_cast<std::size_t>(width_) * HVSIM_STAMP_HEIGHT);
    ASSERT_EQ(ZqGrabSingle(kMono, grabbed.data(), width_, HVSIM_STAMP_HEIGHT, 0, 1), 1);
    const HvSimStamp stamp = Stamp(grabbed, width_, HVSIM_STAMP_HEIGHT, 1);
    EXPECT_EQ(stamp.device, kMono);
    Destination exported(grabbed.size());
    ASSERT_EQ(ZqExportImageData(kMono, exported.data(), width_, HVSIM_STAMP_HEIGHT, 0, 1), 1);
    EXPECT_TRUE(std::equal(grabbed.data(), grabbed.data() + grabbed.size(), exported.data()));
}

TEST_F(GrabTest, GrabLeavesTheFrameSignalAndNewestBufferAlone) {
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    ASSERT_EQ(hvsim_deliver_frames(kMono, 2), 2);  // newest in buffer 1
    ASSERT_EQ(ZqStopGrab(kMono), 1);
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    ZqSetTimeout(0);
    Destination out(static_cast<std::size_t>(width_) * HVSIM_STAMP_HEIGHT);
    (void)ZqGrabSingle(kMono, out.data(), width_, HVSIM_STAMP_HEIGHT, 0, 1);                // into buffer 0
    EXPECT_EQ(ZqExportImageData(kMono, out.data(), width_, HVSIM_STAMP_HEIGHT, 0, 1), -1);  // no signal
    ASSERT_EQ(ZqStopGrab(kMono), 1);
    ASSERT_EQ(ZqExportImageData(kMono, out.data(), width_, HVSIM_STAMP_HEIGHT, 0, 1), 1);
    EXPECT_EQ(Stamp(out, width_, HVSIM_STAMP_HEIGHT, 1).bufferIndex, 1);
}

// While capture may run (capturing, or a stop the camera library refused) the camera refills raw
// buffer 0 under a snap: a grab then could not be whole, so it is refused before any camera call.
TEST_F(GrabTest, GrabWhileCaptureMayRunIsRefusedWithoutACameraCall) {
    Destination out(static_cast<std::size_t>(width_) * HVSIM_STAMP_HEIGHT);
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    TakeCalls();
    EXPECT_EQ(ZqGrabSingle(kMono, out.data(), width_, HVSIM_STAMP_HEIGHT, 0, 1), 0);
    EXPECT_TRUE(out.Untouched());
    EXPECT_TRUE(TakeCalls().empty());
    hvsim_fail(HVSIM_HVCloseSnap, -9, 1, 1);
    ASSERT_EQ(ZqStopGrab(kMono), 0);
    TakeCalls();
    EXPECT_EQ(ZqGrabSingle(kMono, out.data(), width_, HVSIM_STAMP_HEIGHT, 0, 1), 0);
    EXPECT_TRUE(out.Untouched());
    EXPECT_TRUE(TakeCalls().empty());
    ASSERT_EQ(ZqStopGrab(kMono), 1);
    EXPECT_EQ(ZqGrabSingle(kMono, out.data(), width_, HVSIM_STAMP_HEIGHT, 0, 1), 1);
    EXPECT_EQ(Names(TakeCalls()), (std::vector<std::string>{"HVCloseSnap", "HVSnapShot"}));
}

}  // namespace
}  // namespace korvex::test
