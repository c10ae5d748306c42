// Exports against a camera that makes frames as fast as the simulator can, each frame stamped at
// its top and bottom: every frame handed over is whole, and newer than the one before.
//
// Nothing here paces the camera around the exports: it delivers frames in a loop on a thread of
// its own until the exporter has made its count of exports. Each export blocks on the frame event
// (no polling), so the work is bounded by the count of exports, not by time.
#include <atomic>
#include <thread>

#include "capture_support.h"

namespace korvex::test {
namespace {

constexpr int16_t kColour = 1;  // HV1300UC in the simulator's default pair
constexpr int16_t kMono = 2;    // HV1300UM

// Delivers manual frames to a capturing camera, back to back, until destroyed.
class FreeRunningCamera {
public:
    explicit FreeRunningCamera(int16_t device)
        : thread_([this, device] {
              while (!stop_.load()) hvsim_deliver_frames(device, 16);
          }) {}
    ~FreeRunningCamera() {
        stop_.store(true);
        thread_.join();
    }
    FreeRunningCamera(const FreeRunningCamera&) = delete;
    FreeRunningCamera& operator=(const FreeRunningCamera&) = delete;

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class FreeRunningTest : public AcquisitionTest {
protected:
    void SetUp() override {
        AcquisitionTest::SetUp();
        OpenAndAllocate(2);
        hvsim_set_tear_stamp(1);
        ZqSetTimeout(5000);  // a frame is always coming: only a stalled camera would time out
    }

    // The frame number of an image stamped at top and bottom, or -1 when the two differ or either
    // is unreadable: a frame made of two.
    static int32_t WholeFrame(const Destination& image, int16_t width, int16_t height, int32_t bytesPerPixel) {
        HvSimStamp top{};
        HvSimStamp bottom{};
        const std::size_t lastRows =
            static_cast<std::size_t>(height - HVSIM_STAMP_HEIGHT) * static_cast<std::size_t>(width) * bytesPerPixel;
        if (hvsim_decode_stamp(image.data(), width, height, bytesPerPixel, &top) != 0) return -1;
        if (hvsim_decode_stamp(image.data() + lastRows, width, HVSIM_STAMP_HEIGHT, bytesPerPixel, &bottom) != 0) {
            return -1;
        }
        return top.frame == bottom.frame ? top.frame : -1;
    }

    struct Tally {
        int delivered = 0;
        int torn = 0;      // frames whose number frameOf could not read whole
        int notNewer = 0;  // frames no newer than the newest before
    };

    // Makes exports of device against a free-running camera into out; frameOf gives a delivered
    // image's frame number, or -1 for a frame made of two.
    template <typename FrameOf>
    static Tally ExportFreeRunning(int16_t device, int exports, int16_t width, int16_t height, int16_t colour,
                                   Destination& out, FrameOf frameOf) {
        Tally tally;
        FreeRunningCamera camera(device);
        int32_t previous = -1;
        for (int n = 0; n < exports; ++n) {
            if (ZqExportImageData(device, out.data(), width, height, colour, 1) != 1) continue;
            ++tally.delivered;
            const int32_t frame = frameOf(out);
            if (frame < 0) {
                ++tally.torn;
                continue;
            }
            if (frame <= previous) ++tally.notNewer;
            previous = std::max(previous, frame);
        }
        return tally;
    }
};

// 64 x 16 grey frames: the smallest the stamp allows, so that frames come as fast as they can.
// An export that read a buffer the camera refilled would hand over the frame after next (or a mix
// of the two), and the next export would take that frame again.
TEST_F(FreeRunningTest, EveryExportDeliversAFrameNewerThanTheOneBefore) {
    constexpr int kExports = 4000;
    ASSERT_EQ(ZqSetAOI(kMono, 0, 0, HVSIM_STAMP_WIDTH, HVSIM_STAMP_HEIGHT), 1);
    ASSERT_EQ(ZqStartGrab(kMono), 1);
    Destination out(std::size_t{HVSIM_STAMP_WIDTH} * HVSIM_STAMP_HEIGHT);
    const Tally tally = ExportFreeRunning(
        kMono, kExports, HVSIM_STAMP_WIDTH, HVSIM_STAMP_HEIGHT, 0, out,
        [](const Destination& image) { return Stamp(image, HVSIM_STAMP_WIDTH, HVSIM_STAMP_HEIGHT, 1).frame; });
    EXPECT_EQ(tally.notNewer + tally.torn, 0) << "of " << tally.delivered << " delivered";
    EXPECT_GT(tally.delivered, kExports / 2);  // frames keep coming: a whole one is nearly always there
    RecordProperty("Delivered", tally.delivered);
    EXPECT_EQ(ZqStopGrab(kMono), 1);
}

// A colour export of a whole 320 x 256 frame demosaics it, which takes longer than the simulator
// takes to make the next two: the buffer it reads is often refilled meanwhile. Such a frame must
// never be handed over; the frames that are must be whole and each newer than the one before.
TEST_F(FreeRunningTest, ASlowExporterIsNeverHandedATornFrame) {
    constexpr int kExports = 600;
    constexpr int16_t kWidth = 320;
    constexpr int16_t kHeight = 256;
    ASSERT_EQ(ZqSetResolution(kColour, 2), 1);
    ASSERT_EQ(ZqStartGrab(kColour), 1);
    Destination out(std::size_t{kWidth} * kHeight * 4);
    const Tally tally = ExportFreeRunning(kColour, kExports, kWidth, kHeight, 1, out, [](const Destination& image) {
        return WholeFrame(image, kWidth, kHeight, 4);
    });
    EXPECT_EQ(tally.torn, 0) << "of " << tally.delivered << " delivered";
    EXPECT_EQ(tally.notNewer, 0);
    EXPECT_GT(tally.delivered, 0);  // the others found no frame whole: -1
    RecordProperty("Delivered", tally.delivered);
    RecordProperty("Torn", tally.torn);
    EXPECT_EQ(ZqStopGrab(kColour), 1);
}

}  // namespace
}  // namespace korvex::test
