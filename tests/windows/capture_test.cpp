// Capture, export, single grab and the cross-hair through Win32 events, with frames delivered on
// demand by the simulator and identified by the stamp each one carries.
#include <future>
#include <vector>

#include "korvex_library.h"

namespace korvex::test {
namespace {

class WinCaptureTest : public WinApiTest {
protected:
    void SetUp() override {
        WinApiTest::SetUp();
        OpenAndAllocate(2);
        width_ = kx_->GetImageWidth(1);
        height_ = kx_->GetImageHeight(1);
        ASSERT_GE(width_, HVSIM_STAMP_WIDTH);
        ASSERT_GE(height_, HVSIM_STAMP_HEIGHT);
    }
    // Exports camera 1 as grey (colour 0) or B,G,R,0 (colour 1); -2 when the result was not 1.
    int32_t ExportedFrame(int16_t colour, int32_t* bufferIndex = nullptr) {
        const int32_t bytes = colour == 1 ? 4 : 1;
        std::vector<uint8_t> image(static_cast<std::size_t>(width_) * height_ * bytes);
        const int16_t result = kx_->ExportImageData(1, image.data(), width_, height_, colour, 1);
        if (result != 1) return result;
        HvSimStamp stamp{};
        if (hvsim_decode_stamp(image.data(), width_, height_, bytes, &stamp) != 0) return -2;
        if (bufferIndex != nullptr) *bufferIndex = stamp.bufferIndex;
        return stamp.device == 1 ? stamp.frame : -3;
    }
    int16_t width_ = 0;
    int16_t height_ = 0;
};

TEST_F(WinCaptureTest, EachExportGetsTheNewestFrameAndConsumesTheSignal) {
    ASSERT_EQ(kx_->StartGrab(1), 1);
    ASSERT_EQ(hvsim_deliver_frames(1, 1), 1);
    int32_t index = -1;
    EXPECT_EQ(ExportedFrame(0, &index), 0);
    EXPECT_EQ(index, 0);
    ASSERT_EQ(kx_->SetTimeout(0), 1);
    EXPECT_EQ(ExportedFrame(0), -1);  // no new frame: the auto-reset event was consumed
    ASSERT_EQ(hvsim_deliver_frames(1, 3), 3);
    EXPECT_EQ(ExportedFrame(1, &index), 3);  // three signals collapse into one wait
    EXPECT_EQ(index, 1);
    EXPECT_EQ(ExportedFrame(1), -1);
    EXPECT_EQ(kx_->StopGrab(1), 1);
}

// One capture carries frames as long as the camera sends them. A fault that builds up frame by
// frame in the camera's thread, such as a callback called with the wrong calling convention (each
// call leaves the caller's stack 4 bytes off on 32-bit Windows), shows only after a few frames.
TEST_F(WinCaptureTest, OneCaptureCarriesHundredsOfFrames) {
    constexpr int kBatches = 40;
    constexpr int kFramesPerBatch = 10;
    // The smallest frames that carry a stamp, so that 400 of them come fast under emulation too.
    ASSERT_EQ(kx_->SetAOI(1, 0, 0, HVSIM_STAMP_WIDTH, HVSIM_STAMP_HEIGHT), 1);
    width_ = HVSIM_STAMP_WIDTH;
    height_ = HVSIM_STAMP_HEIGHT;
    ASSERT_EQ(kx_->StartGrab(1), 1);
    for (int batch = 1; batch <= kBatches; ++batch) {
        ASSERT_EQ(hvsim_deliver_frames(1, kFramesPerBatch), kFramesPerBatch);
        ASSERT_EQ(ExportedFrame(0), batch * kFramesPerBatch - 1);  // the newest, whole
    }
    EXPECT_EQ(kx_->StopGrab(1), 1);
}

TEST_F(WinCaptureTest, AFrameOnAnotherCameraDoesNotWakeThisOne) {
    ASSERT_EQ(kx_->StartGrab(1), 1);
    ASSERT_EQ(kx_->StartGrab(2), 1);
    ASSERT_EQ(kx_->SetTimeout(50), 1);
    ASSERT_EQ(hvsim_deliver_frames(2, 2), 2);
    EXPECT_EQ(ExportedFrame(0), -1);
    EXPECT_EQ(kx_->StopGrab(2), 1);
    EXPECT_EQ(kx_->StopGrab(1), 1);
}

TEST_F(WinCaptureTest, CloseWakesAnExportThatWaitsWithoutLimit) {
    ASSERT_EQ(kx_->StartGrab(1), 1);
    ASSERT_EQ(kx_->SetTimeout(-1), 1);
    std::vector<uint8_t> image(static_cast<std::size_t>(width_) * height_);
    auto waiting =
        std::async(std::launch::async, [&] { return kx_->ExportImageData(1, image.data(), width_, height_, 0, 1); });
    EXPECT_EQ(waiting.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    EXPECT_EQ(kx_->CloseDevice(), 1);
    ASSERT_EQ(waiting.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_NE(waiting.get(), -1);
}

TEST_F(WinCaptureTest, ASingleGrabDeliversAStampedFrameWithoutCapture) {
    std::vector<uint8_t> image(static_cast<std::size_t>(width_) * height_ * 4);
    ASSERT_EQ(kx_->GrabSingle(1, image.data(), width_, height_, 1, 1), 1);
    HvSimStamp stamp{};
    ASSERT_EQ(hvsim_decode_stamp(image.data(), width_, height_, 4, &stamp), 0);
    EXPECT_EQ(stamp.device, 1);
    EXPECT_EQ(stamp.bufferIndex, 0);
}

TEST_F(WinCaptureTest, TheCrossHairIsDrawnRedIntoAGreyExport) {
    EXPECT_EQ(kx_->EnableCross(0, 1), 0);  // enabling answers 0
    EXPECT_EQ(kx_->SetCrossPara(0, 100, 50, 41, 21, 3), 1);
    ASSERT_EQ(kx_->StartGrab(1), 1);
    ASSERT_EQ(hvsim_deliver_frames(1, 1), 1);
    std::vector<uint8_t> image(static_cast<std::size_t>(width_) * height_ * 4, 0xEE);
    ASSERT_EQ(kx_->ExportImageData(1, image.data(), width_, height_, 0, 1), 1);
    auto isRed = [&](int32_t row, int32_t column) {
        const uint8_t* p = &image[(static_cast<std::size_t>(row) * width_ + column) * 4];
        return p[0] == 0 && p[1] == 0 && p[2] == 255 && p[3] == 0;
    };
    int32_t red = 0;
    for (int32_t row = 0; row < height_; ++row) {
        for (int32_t column = 0; column < width_; ++column) red += isRed(row, column) ? 1 : 0;
    }
    EXPECT_EQ(red, 41 * 3 + 18 * 3);  // horizontal band rows 59..61, vertical bar columns 119..121
    EXPECT_TRUE(isRed(60, 120));
    EXPECT_TRUE(isRed(59, 100));
    EXPECT_TRUE(isRed(61, 140));
    EXPECT_FALSE(isRed(61, 141));
    EXPECT_TRUE(isRed(50, 119));
    EXPECT_TRUE(isRed(70, 121));
    EXPECT_FALSE(isRed(71, 121));
    EXPECT_EQ(kx_->EnableCross(0, 0), 1);
    EXPECT_EQ(kx_->StopGrab(1), 1);
}

}  // namespace
}  // namespace korvex::test
